#include "files/temporarios.h"

#include "files/ficheiro.h"

#include <array>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/random.h>
#include <unistd.h>

namespace tavrelo {

namespace {

// The random part of a hidden name.
constexpr std::string_view SUFIXO_ESCONDIDO = ".XXXXXX";

// One place of the table. A signal handler reads it; only its owner writes it, between
// taking it (livre → a preencher) and offering it (→ ocupado).
struct TLugar {
    enum : int { livre, aPreencher, ocupado };
    std::atomic<int> Estado{livre};
    int Pasta = -1;
    char Nome[NAME_MAX + 1] = {};
};
static_assert(std::atomic<int>::is_always_lock_free);

std::array<TLugar, 8> g_Temporarios;

} // namespace

std::string ModeloEscondido(int APasta, const std::string& ANome) {
    const long limite = ::fpathconf(APasta, _PC_NAME_MAX);
    const size_t maximo = static_cast<size_t>(limite > 0 ? limite : NAME_MAX);
    const size_t extra = 1 + SUFIXO_ESCONDIDO.size();
    std::string nome = ANome;
    if (nome.size() + extra > maximo) {
        size_t corte = maximo > extra ? maximo - extra : 0;
        while (corte > 0 && (static_cast<unsigned char>(nome[corte]) & 0xC0u) == 0x80u) {
            --corte;
        }
        nome.resize(corte);
    }
    return "." + nome + std::string(SUFIXO_ESCONDIDO);
}

void NomeAoAcaso(std::string& ANome) noexcept {
    static constexpr char LETRAS[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::atomic<uint64_t> g_Sorteio{0x9E3779B97F4A7C15u};
    uint64_t acaso = 0;
    if (::getrandom(&acaso, sizeof acaso, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof acaso)) {
        acaso = g_Sorteio.fetch_add(0x9E3779B97F4A7C15u) ^ static_cast<uint64_t>(::getpid());
    }
    for (size_t i = 0; i < 6; ++i) {
        ANome[ANome.size() - 6 + i] = LETRAS[acaso % (sizeof LETRAS - 1)];
        acaso /= sizeof LETRAS - 1;
    }
}

int RegistarTemporario(int APasta, const std::string& ANome) noexcept {
    if (ANome.size() > NAME_MAX) {
        return -1;
    }
    for (size_t i = 0; i < g_Temporarios.size(); ++i) {
        TLugar& lugar = g_Temporarios[i];
        int livre = TLugar::livre;
        if (lugar.Estado.compare_exchange_strong(livre, TLugar::aPreencher)) {
            lugar.Pasta = APasta;
            std::memcpy(lugar.Nome, ANome.c_str(), ANome.size() + 1);
            lugar.Estado.store(TLugar::ocupado);
            return static_cast<int>(i);
        }
    }
    return -1;
}

void RetirarTemporario(int ALugar) noexcept {
    if (ALugar >= 0) {
        g_Temporarios[static_cast<size_t>(ALugar)].Estado.store(TLugar::livre);
    }
}

void ApagarTemporariosPendentes() noexcept {
    for (const TLugar& lugar : g_Temporarios) {
        if (lugar.Estado.load() == TLugar::ocupado) {
            ::unlinkat(lugar.Pasta, lugar.Nome, 0);
        }
    }
}

} // namespace tavrelo
