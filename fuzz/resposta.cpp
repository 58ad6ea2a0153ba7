// What the PDF reader answers (LerRespostaDoLeitor) on any bytes, as a reader that went wrong
// might write them: it raises nothing, takes only the answers the reader gives, and an answer
// it takes is written again byte for byte from what was read.
#include "comum.h"
#include "frontend/pdf_lido.h"

#include <cstdint>
#include <string>

using teste_fuzz::Exigir;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* ADados, size_t ATamanho) {
    const std::string saida(reinterpret_cast<const char*>(ADados), ATamanho);
    std::optional<tavrelo::TRespostaLida> r;
    try {
        r = tavrelo::LerRespostaDoLeitor(saida);
    } catch (...) {
        teste_fuzz::Falhar("the reading raises nothing");
    }
    if (!r) {
        return 0;
    }
    Exigir(r->Palavras.size() <= tavrelo::MAXIMO_DAS_PALAVRAS, "no longer Keywords than sent");
    Exigir(r->Tipo == tavrelo::TRespostaDoLeitor::rlPalavras || r->Palavras.empty(),
           "Keywords only with the answer that gives them");
    const std::string linha(tavrelo::LINHAS_DO_LEITOR[static_cast<size_t>(r->Tipo)]);
    Exigir(linha + "\n" + r->Palavras == saida, "written again as it was");
    return 0;
}
