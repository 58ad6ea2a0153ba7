// The title check (VerificarTitulo) on any bytes: it never raises, and a title it accepts is
// what the book can hold and print: UTF-8 in its composed form, no control character, no
// blank at either end, and accepted again as it is.
#include "comum.h"
#include "core/tipos.h"
#include "frontend/textos.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utf8proc.h>

using teste_fuzz::Exigir;

namespace {

bool Composto(const std::string& ATexto) {
    utf8proc_uint8_t* nfc = utf8proc_NFC(reinterpret_cast<const utf8proc_uint8_t*>(ATexto.c_str()));
    const bool igual = nfc != nullptr && ATexto == reinterpret_cast<const char*>(nfc);
    std::free(nfc);
    return igual;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* ADados, size_t ATamanho) {
    const std::string texto(reinterpret_cast<const char*>(ADados), ATamanho);
    tavrelo::TTituloDoLivro r;
    try {
        r = tavrelo::VerificarTitulo(texto);
    } catch (...) {
        teste_fuzz::Falhar("the check raises nothing");
    }
    if (!r.Motivo.empty()) {
        return 0;
    }
    const std::string& t = r.Titulo;
    Exigir(teste_fuzz::SemBrancosNasPontas(t) == t, "no blank at either end");
    for (size_t i = 0; i < t.size();) {
        uint32_t ponto = 0;
        const size_t n = tavrelo::SequenciaUtf8(t, i, ponto);
        Exigir(n > 0, "UTF-8");
        Exigir(ponto >= 0x20 && !(ponto >= 0x7F && ponto < 0xA0), "no control character");
        i += n;
    }
    Exigir(t.find('\0') == std::string::npos && Composto(t), "in composed form");
    const tavrelo::TTituloDoLivro outra = tavrelo::VerificarTitulo(t);
    Exigir(outra.Motivo.empty() && outra.Titulo == t, "accepted again as it is");
    return 0;
}
