// The reading of a book's recipe (LerTextoDaReceita) on any bytes, as a PDF's Keywords may
// hold: it raises nothing, it either reads a recipe or says why not, nothing it says can act
// on a terminal, and a recipe it reads written by this version is written again byte for byte
// from what was read.
#include "frontend/receita.h"
#include "comum.h"
#include "files/mensagens.h"
#include "frontend/textos.h"

#include <cstdint>
#include <string>

using teste_fuzz::Exigir;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* ADados, size_t ATamanho) {
    const std::string texto(reinterpret_cast<const char*>(ADados), ATamanho);
    tavrelo::TLeituraDaReceita r;
    try {
        r = tavrelo::LerTextoDaReceita(texto, "livro.pdf");
    } catch (...) {
        teste_fuzz::Falhar("the reading raises nothing");
    }
    Exigir(r.Receita.has_value() == r.Motivo.empty(), "a recipe, or a reason, not both");
    Exigir(!tavrelo::TemControlos(r.Motivo), "no control character in the reason");
    if (r.Receita) {
        Exigir(!tavrelo::TemControlos(tavrelo::AvisoDeVersao(*r.Receita)),
               "no control character in the warning");
    }
    if (r.Receita && r.Receita->Versao == tavrelo::VersaoDoPrograma()) {
        Exigir(tavrelo::TextoDaReceita(r.Receita->Config) == texto, "written again as it was");
    }
    return 0;
}
