// What the fuzz targets share: a failed property stops the run with a line that says which,
// and libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace teste_fuzz {

[[noreturn]] inline void Falhar(const char* APropriedade) {
    std::fprintf(stderr, "propriedade falhada: %s\n", APropriedade);
    std::abort();
}

inline void Exigir(bool ACondicao, const char* APropriedade) {
    if (!ACondicao) {
        Falhar(APropriedade);
    }
}

} // namespace teste_fuzz
