// The number of puzzles as typed in the window (LerNumPuzzles), against a plain reading of
// its rule: blanks around it ignored, 1 to 3 digits, a value from 1 to 100; n is 0 when the
// text is refused.
#include "comum.h"
#include "frontend/textos.h"

#include <cstdint>
#include <string>

namespace {

int32_t Referencia(const std::string& ATexto) {
    const std::string_view t = teste_fuzz::SemBrancosNasPontas(ATexto);
    if (t.empty() || t.size() > 3) {
        return 0;
    }
    int32_t valor = 0;
    for (const char c : t) {
        if (c < '0' || c > '9') {
            return 0;
        }
        valor = valor * 10 + (c - '0');
    }
    return valor >= 1 && valor <= 100 ? valor : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* ADados, size_t ATamanho) {
    const std::string texto(reinterpret_cast<const char*>(ADados), ATamanho);
    int32_t n = -1;
    const bool aceite = tavrelo::LerNumPuzzles(texto, n);
    const int32_t esperado = Referencia(texto);
    teste_fuzz::Exigir(n == esperado, "the number is read as its rule says");
    teste_fuzz::Exigir(aceite == (esperado != 0), "accepted exactly when it has a value");
    return 0;
}
