// The book code as typed (LerCodigoDoLivro), against a plain reading of its rule: 1 to 8
// hexadecimal digits in either case, blanks around them ignored. A code read back from its
// printed form is the same code.
#include "comum.h"
#include "frontend/textos.h"
#include "generation/livro.h"

#include <cstdint>
#include <optional>
#include <string>

namespace {

std::optional<uint32_t> Referencia(const std::string& ATexto) {
    const std::string_view t = teste_fuzz::SemBrancosNasPontas(ATexto);
    if (t.empty() || t.size() > 8) {
        return std::nullopt;
    }
    uint32_t valor = 0;
    for (const char c : t) {
        uint32_t digito = 0;
        if (c >= '0' && c <= '9') {
            digito = static_cast<uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digito = static_cast<uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digito = static_cast<uint32_t>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        valor = valor * 16 + digito;
    }
    return valor;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* ADados, size_t ATamanho) {
    const std::string texto(reinterpret_cast<const char*>(ADados), ATamanho);
    const std::optional<uint32_t> lido = tavrelo::LerCodigoDoLivro(texto);
    teste_fuzz::Exigir(lido == Referencia(texto), "the code is read as its rule says");
    if (lido) {
        teste_fuzz::Exigir(tavrelo::LerCodigoDoLivro(tavrelo::CodigoDoLivro(*lido)) == lido,
                           "a printed code reads back as itself");
    }
    return 0;
}
