#include "cli/livro_json.h"

#include "core/tipos.h"

#include <algorithm>
#include <cinttypes>

namespace tavrelo {

using nlohmann::ordered_json;

namespace {

ordered_json ConfigParaJson(const TConfigLivro& AConfig) {
    ordered_json j = ordered_json::object();
    j["NumPuzzles"] = AConfig.NumPuzzles;
    j["N"] = AConfig.N;
    j["Nivel"] = AConfig.Nivel;
    j["Titulo"] = AConfig.Titulo;
    j["Caminho"] = AConfig.Caminho;
    j["Semente"] = AConfig.Semente;
    return j;
}

ordered_json PassoParaJson(const TPassoDeducao& APasso) {
    ordered_json j = ordered_json::object();
    j["Ronda"] = APasso.Ronda;
    j["Lei"] = APasso.Lei;
    j["Familia"] = static_cast<int32_t>(APasso.Familia);
    j["Celula"] = APasso.Celula;
    j["Valor"] = APasso.Valor;
    j["Parceiro"] = APasso.Parceiro;
    j["Resto"] = APasso.Resto;
    return j;
}

ordered_json ResultadoParaJson(const TResultadoSolver& AResultado) {
    ordered_json passos = ordered_json::array();
    for (const TPassoDeducao& passo : AResultado.Passos) {
        passos.push_back(PassoParaJson(passo));
    }
    ordered_json j = ordered_json::object();
    j["Resolvido"] = AResultado.Resolvido;
    j["Rondas"] = AResultado.Rondas;
    j["Passos"] = std::move(passos);
    j["Usos"] = AResultado.Usos;
    return j;
}

ordered_json PuzzleParaJson(const TPuzzle& APuzzle) {
    ordered_json j = ordered_json::object();
    j["N"] = APuzzle.N;
    j["Nivel"] = APuzzle.Nivel;
    j["Solucao"] = APuzzle.Solucao;
    j["Dados"] = APuzzle.Dados;
    j["NumPistas"] = APuzzle.NumPistas;
    j["NumPistasPiso"] = APuzzle.NumPistasPiso;
    j["Chave"] = Formatar("%016" PRIX64, APuzzle.Chave);
    j["Resultado"] = ResultadoParaJson(APuzzle.Resultado);
    return j;
}

// Strings are written as UTF-8; a byte sequence that is not UTF-8 becomes U+FFFD
// instead of stopping the export.
std::string Escalar(const ordered_json& AValor) {
    return AValor.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

bool EhSimples(const ordered_json& AValor) {
    if (AValor.is_object() || AValor.is_array()) {
        return std::all_of(AValor.begin(), AValor.end(),
                           [](const ordered_json& v) { return v.is_primitive() || v.empty(); });
    }
    return true;
}

void Escrever(const ordered_json& AValor, int ANivel, std::string& ASaida) {
    if (EhSimples(AValor)) {
        if (AValor.is_object() && !AValor.empty()) {
            // Compact, but with a blank after each separator, for reading.
            ASaida += '{';
            bool primeiro = true;
            for (const auto& [chave, valor] : AValor.items()) {
                ASaida += primeiro ? "" : ", ";
                ASaida += Escalar(ordered_json(chave)) + ": " + Escalar(valor);
                primeiro = false;
            }
            ASaida += '}';
        } else if (AValor.is_array() && !AValor.empty()) {
            ASaida += '[';
            bool primeiro = true;
            for (const ordered_json& valor : AValor) {
                ASaida += primeiro ? "" : ", ";
                ASaida += Escalar(valor);
                primeiro = false;
            }
            ASaida += ']';
        } else {
            ASaida += Escalar(AValor);
        }
        return;
    }
    const std::string margem(static_cast<size_t>(2 * (ANivel + 1)), ' ');
    const std::string margemFim(static_cast<size_t>(2 * ANivel), ' ');
    const bool objeto = AValor.is_object();
    ASaida += objeto ? "{\n" : "[\n";
    bool primeiro = true;
    for (const auto& [chave, valor] : AValor.items()) {
        ASaida += primeiro ? "" : ",\n";
        ASaida += margem;
        if (objeto) {
            ASaida += Escalar(ordered_json(chave)) + ": ";
        }
        Escrever(valor, ANivel + 1, ASaida);
        primeiro = false;
    }
    ASaida += '\n' + margemFim + (objeto ? '}' : ']');
}

ordered_json PuzzleDoLivroParaJson(const TPuzzleDoLivro& APuzzle) {
    ordered_json j = ordered_json::object();
    j["Posicao"] = APuzzle.Posicao;
    j["SubSemente"] = APuzzle.SubSemente;
    j["Puzzle"] = PuzzleParaJson(APuzzle.Puzzle);
    return j;
}

// The book without its puzzles: the list is left empty, to be written a puzzle at a time.
ordered_json LivroSemPuzzles(const TLivro& ALivro) {
    ordered_json livro = ordered_json::object();
    livro["Config"] = ConfigParaJson(ALivro.Config);
    livro["Codigo"] = ALivro.Codigo;
    livro["Plano"] = ALivro.Plano;
    livro["Cancelado"] = ALivro.Cancelado;
    livro["Puzzles"] = ordered_json::array();
    return livro;
}

} // namespace

ordered_json LivroParaJson(const TLivro& ALivro) {
    ordered_json livro = LivroSemPuzzles(ALivro);
    for (const TPuzzleDoLivro& p : ALivro.Puzzles) {
        livro["Puzzles"].push_back(PuzzleDoLivroParaJson(p));
    }
    return livro;
}

std::string TextoJson(const ordered_json& AValor) {
    std::string texto;
    Escrever(AValor, 0, texto);
    texto += '\n';
    return texto;
}

// Writes what Escrever writes for the whole book, with the list of puzzles filled in one
// puzzle at a time: the book is an object of more than plain values, so it is laid out one
// key a line, and so is a list of puzzles that is not empty.
void EscreverLivroJson(const TLivro& ALivro,
                       const std::function<void(std::string_view)>& AEscrever) {
    const ordered_json livro = LivroSemPuzzles(ALivro);
    std::string texto = "{\n";
    bool primeiro = true;
    for (const auto& [chave, valor] : livro.items()) {
        texto += primeiro ? "  " : ",\n  ";
        texto += Escalar(ordered_json(chave)) + ": ";
        primeiro = false;
        if (chave != "Puzzles" || ALivro.Puzzles.empty()) {
            Escrever(valor, 1, texto);
            continue;
        }
        texto += "[\n";
        for (size_t p = 0; p < ALivro.Puzzles.size(); ++p) {
            texto += p == 0 ? "    " : ",\n    ";
            Escrever(PuzzleDoLivroParaJson(ALivro.Puzzles[p]), 2, texto);
            AEscrever(texto);
            texto.clear();
        }
        texto += "\n  ]";
    }
    texto += "\n}\n";
    AEscrever(texto);
}

std::string TextoDoLivroJson(const TLivro& ALivro) {
    std::string texto;
    EscreverLivroJson(ALivro, [&texto](std::string_view APedaco) { texto += APedaco; });
    return texto;
}

} // namespace tavrelo
