// The options of tavrelo-cli (LerOpcoes) from any arguments (the input cut at its zero bytes):
// the scan never raises; options it accepts are within the book's rules; and written back
// in their plainest form ("--opção=valor"), they read as the same options.
#include "cli/opcoes.h"
#include "comum.h"
#include "core/tipos.h"

#include <cstdint>
#include <string>
#include <vector>

using teste_fuzz::Exigir;

namespace {

std::vector<std::string> Argumentos(const uint8_t* ADados, size_t ATamanho) {
    std::vector<std::string> args;
    for (size_t i = 0; i < ATamanho && args.size() <= 16; ++i) {
        if (args.empty() || ADados[i] == 0) {
            args.emplace_back();
        }
        if (ADados[i] != 0) {
            args.back() += static_cast<char>(ADados[i]);
        }
    }
    return args;
}

std::vector<std::string> Escritas(const tavrelo::TOpcoesCli& AOpcoes) {
    std::vector<std::string> a = {
        "--tamanho=" + std::to_string(AOpcoes.Tamanho),
        "--nivel=" + (AOpcoes.Nivel == 0 ? std::string("P") : std::to_string(AOpcoes.Nivel)),
        "--puzzles=" + std::to_string(AOpcoes.NumPuzzles),
        "--titulo=" + AOpcoes.Titulo,
    };
    if (AOpcoes.Semente) {
        a.push_back("--semente=" + tavrelo::Formatar("%X", *AOpcoes.Semente));
    }
    if (!AOpcoes.Saida.empty()) {
        a.push_back("--saida=" + AOpcoes.Saida);
    }
    if (!AOpcoes.Json.empty()) {
        a.push_back("--json=" + AOpcoes.Json);
    }
    for (const auto& [ligado, nome] :
         {std::pair{AOpcoes.SemDicas, "--sem-dicas"}, std::pair{AOpcoes.SemPdf, "--sem-pdf"},
          std::pair{AOpcoes.Silencioso, "--silencioso"}}) {
        if (ligado) {
            a.push_back(nome);
        }
    }
    return a;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* ADados, size_t ATamanho) {
    using tavrelo::TAccaoCli;
    tavrelo::TLeituraOpcoes r;
    try {
        r = tavrelo::LerOpcoes(Argumentos(ADados, ATamanho));
    } catch (...) {
        teste_fuzz::Falhar("the scan raises nothing");
    }
    if (r.Accao != TAccaoCli::acGerar) {
        Exigir(!r.Texto.empty(), "a refusal, the help or the version has a text");
        return 0;
    }
    const tavrelo::TOpcoesCli& o = r.Opcoes;
    Exigir(tavrelo::TamanhoValido(o.Tamanho), "a size of the book");
    Exigir(o.Nivel >= 0 && o.Nivel <= 5, "a level of the book");
    Exigir(o.NumPuzzles >= 1 && o.NumPuzzles <= 100, "a number of puzzles of the book");
    Exigir(tavrelo::SemBrancos(o.Titulo) == o.Titulo, "the title without blanks at its ends");
    Exigir(!o.SemPdf || !o.Json.empty(), "something to write");
    const tavrelo::TLeituraOpcoes outra = tavrelo::LerOpcoes(Escritas(o));
    Exigir(outra.Accao == TAccaoCli::acGerar && outra.Opcoes == o,
           "written back, the same options");
    return 0;
}
