#include "core/tipos.h"

#include <cstdarg>
#include <cstdio>

namespace tavrelo {

int32_t SomaMagica(int32_t N) { return N * (N * N + 1) / 2; }

int32_t SomaComplementar(int32_t N) { return N * N + 1; }

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

bool TamanhoValido(int32_t N) { return IndiceDoTamanho(N) >= 0; }

int32_t ValorEm(const TSolucao& ASolucao, int32_t ALinha, int32_t AColuna) {
    const int32_t N = ASolucao.N;
    const int32_t l = ((ALinha % N) + N) % N;
    const int32_t c = ((AColuna % N) + N) % N;
    return ASolucao.Valores[static_cast<size_t>(l * N + c)];
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

} // namespace tavrelo
