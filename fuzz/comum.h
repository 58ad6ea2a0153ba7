// What the fuzz targets share: a failed property stops the run with a line that says which,
// and libFuzzer keeps the input that broke it; the rules' own reading of blanks, written
// apart from the code it checks.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

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

// ATexto without the blanks (the bytes up to ' ', controls included) at its ends.
inline std::string_view SemBrancosNasPontas(std::string_view ATexto) {
    while (!ATexto.empty() && static_cast<unsigned char>(ATexto.front()) <= ' ') {
        ATexto.remove_prefix(1);
    }
    while (!ATexto.empty() && static_cast<unsigned char>(ATexto.back()) <= ' ') {
        ATexto.remove_suffix(1);
    }
    return ATexto;
}

} // namespace teste_fuzz
