#include "core/random.h"

#include "core/tipos.h"

#include <chrono>

namespace tavrelo {

namespace {
constexpr uint64_t MULTIPLICADOR = 6364136223846793005ULL;
}

uint64_t Misturar64(uint64_t X) {
    uint64_t z = X + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

uint32_t DerivarSemente(uint32_t ASemente, uint32_t AIndice) {
    return static_cast<uint32_t>(Misturar64((static_cast<uint64_t>(ASemente) << 32) | AIndice));
}

uint32_t SementeDoRelogio() {
    const auto t = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch() /
                                         std::chrono::nanoseconds(1));
    return static_cast<uint32_t>(Misturar64(t ^ (t >> 32)));
}

TGeradorAleatorio::TGeradorAleatorio(uint32_t ASemente) {
    Iniciar(Misturar64(ASemente), SEQUENCIA_PADRAO);
}

void TGeradorAleatorio::Iniciar(uint64_t AEstadoInicial, uint64_t ASequencia) {
    FEstado = 0;
    FIncremento = (ASequencia << 1) | 1;
    ProximoU32();
    FEstado += AEstadoInicial;
    ProximoU32();
}

uint32_t TGeradorAleatorio::ProximoU32() {
    const uint64_t s = FEstado;
    FEstado = s * MULTIPLICADOR + FIncremento;
    const auto x = static_cast<uint32_t>(((s >> 18) ^ s) >> 27);
    const auto r = static_cast<uint32_t>(s >> 59);
    return (x >> r) | (x << ((32 - r) & 31));
}

int32_t TGeradorAleatorio::Limite(int32_t ALimite) {
    if (ALimite <= 0) {
        throw EVelt("TGeradorAleatorio.Limite: limite tem de ser positivo");
    }
    const auto n = static_cast<uint32_t>(ALimite);
    const uint32_t t = (0u - n) % n; // (2^32 - n) mod n
    uint32_t v;
    do {
        v = ProximoU32();
    } while (v < t);
    return static_cast<int32_t>(v % n);
}

uint64_t TGeradorAleatorio::Limite64(uint64_t ALimite) {
    if (ALimite == 0) {
        throw EVelt("TGeradorAleatorio.Limite64: limite tem de ser positivo");
    }
    const uint64_t t = (0ULL - ALimite) % ALimite; // (2^64 - n) mod n
    uint64_t v;
    do {
        const uint64_t alto = ProximoU32();
        const uint64_t baixo = ProximoU32();
        v = (alto << 32) | baixo;
    } while (v < t);
    return v % ALimite;
}

int32_t TGeradorAleatorio::Ponderado(std::span<const int64_t> APesos) {
    int64_t soma = 0;
    for (const int64_t p : APesos) {
        if (p < 0) {
            throw EVelt("TGeradorAleatorio.Ponderado: peso negativo");
        }
        // Both operands are non-negative, so the sum overflows exactly when it
        // would pass INT64_MAX; checked before adding to keep the arithmetic defined.
        if (p > INT64_MAX - soma) {
            throw EVelt("TGeradorAleatorio.Ponderado: soma dos pesos excede Int64");
        }
        soma += p;
    }
    if (soma == 0) {
        throw EVelt("TGeradorAleatorio.Ponderado: soma dos pesos e zero");
    }
    const uint64_t r = Limite64(static_cast<uint64_t>(soma));
    uint64_t acumulado = 0;
    for (size_t i = 0; i < APesos.size(); ++i) {
        acumulado += static_cast<uint64_t>(APesos[i]);
        if (r < acumulado) {
            return static_cast<int32_t>(i);
        }
    }
    return static_cast<int32_t>(APesos.size()) - 1;
}

int32_t TGeradorAleatorio::Entre(int32_t AMin, int32_t AMax) {
    if (AMax < AMin) {
        throw EVelt("TGeradorAleatorio.Entre: maximo menor do que o minimo");
    }
    // Wrapping 32-bit arithmetic: a span too wide for Limite arrives as 0 or negative.
    const auto span =
        static_cast<int32_t>(static_cast<uint32_t>(AMax) - static_cast<uint32_t>(AMin) + 1u);
    const int32_t k = Limite(span);
    return static_cast<int32_t>(static_cast<uint32_t>(AMin) + static_cast<uint32_t>(k));
}

double TGeradorAleatorio::Real01() {
    const uint32_t a = ProximoU32() >> 5;
    const uint32_t b = ProximoU32() >> 6;
    return (a * 67108864.0 + b) / 9007199254740992.0;
}

} // namespace tavrelo
