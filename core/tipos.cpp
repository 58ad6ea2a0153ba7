#include "core/tipos.h"

#include <cstdarg>
#include <cstdio>

namespace tavrelo {

int32_t SomaMagica(int32_t N) {
    return N * (N * N + 1) / 2;
}

int32_t SomaComplementar(int32_t N) {
    return N * N + 1;
}

int32_t TamanhoDoIndice(int32_t AIndice) {
    if (AIndice < 0 || AIndice > 5) {
        throw EVelt("TamanhoDoIndice: indice fora do intervalo");
    }
    return TamanhosSuportados[static_cast<size_t>(AIndice)];
}

int32_t IndiceDoTamanho(int32_t N) {
    for (size_t i = 0; i < TamanhosSuportados.size(); ++i) {
        if (TamanhosSuportados[i] == N) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

bool TamanhoValido(int32_t N) {
    return IndiceDoTamanho(N) >= 0;
}

int32_t ValorEm(const TSolucao& ASolucao, int32_t ALinha, int32_t AColuna) {
    const int32_t N = ASolucao.N;
    return ASolucao.Valores[static_cast<size_t>(Modulo(ALinha, N) * N + Modulo(AColuna, N))];
}

std::string NomeDaCasa(int32_t N, int32_t ACelula) {
    return Formatar("L%dC%d", ACelula / N + 1, ACelula % N + 1);
}

std::string SemBrancos(const std::string& ATexto) {
    size_t inicio = 0;
    size_t fim = ATexto.size();
    while (inicio < fim && static_cast<unsigned char>(ATexto[inicio]) <= ' ') {
        ++inicio;
    }
    while (fim > inicio && static_cast<unsigned char>(ATexto[fim - 1]) <= ' ') {
        --fim;
    }
    return ATexto.substr(inicio, fim - inicio);
}

std::string Formatar(const char* AFormato, ...) {
    va_list args;
    va_start(args, AFormato);
    va_list copia;
    va_copy(copia, args);
    const int n = std::vsnprintf(nullptr, 0, AFormato, copia);
    va_end(copia);
    std::string s(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) {
        std::vsnprintf(s.data(), s.size() + 1, AFormato, args);
    }
    va_end(args);
    return s;
}

size_t SequenciaUtf8(std::string_view ATexto, size_t AInicio, uint32_t& APonto) {
    const auto c = static_cast<unsigned char>(ATexto[AInicio]);
    size_t n = 0;
    if (c < 0x80) {
        APonto = c;
        return 1;
    } else if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        APonto = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        APonto = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        APonto = c & 0x07u;
    } else {
        return 0;
    }
    if (AInicio + n > ATexto.size()) {
        return 0;
    }
    for (size_t k = 1; k < n; ++k) {
        const auto d = static_cast<unsigned char>(ATexto[AInicio + k]);
        if ((d & 0xC0u) != 0x80u) {
            return 0;
        }
        APonto = (APonto << 6) | (d & 0x3Fu);
    }
    if ((n == 3 && APonto < 0x800) || (n == 4 && APonto < 0x10000) ||
        (APonto >= 0xD800 && APonto <= 0xDFFF) || APonto > 0x10FFFF) {
        return 0;
    }
    return n;
}

} // namespace tavrelo
