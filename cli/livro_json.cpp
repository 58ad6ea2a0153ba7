#include "cli/livro_json.h"

#include "core/tipos.h"

#include <algorithm>
#include <charconv>
#include <cinttypes>
#include <type_traits>

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

} // namespace

ordered_json LivroParaJson(const TLivro& ALivro) {
    ordered_json livro = ordered_json::object();
    livro["Config"] = ConfigParaJson(ALivro.Config);
    livro["Codigo"] = ALivro.Codigo;
    livro["Plano"] = ALivro.Plano;
    livro["Cancelado"] = ALivro.Cancelado;
    livro["Puzzles"] = ordered_json::array();
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

namespace {

// The book's text written straight into one buffer, in the very layout Escrever gives the
// book's value: an object or list that holds another non-empty one is laid out one member a
// line, indented by two blanks a level; the others stay on one line.
class TEscritaJson {
  public:
    explicit TEscritaJson(std::string& ATexto) : FTexto(ATexto) {}

    void Livro(const TLivro& ALivro, const std::function<void(std::string_view)>& AEscrever) {
        FTexto += "{\n  \"Config\": ";
        Config(ALivro.Config);
        FTexto += ",\n  \"Codigo\": ";
        FTexto += Escalar(ordered_json(ALivro.Codigo));
        FTexto += ",\n  \"Plano\": ";
        Lista(ALivro.Plano);
        FTexto += ",\n  \"Cancelado\": ";
        Logico(ALivro.Cancelado);
        FTexto += ",\n  \"Puzzles\": ";
        if (ALivro.Puzzles.empty()) {
            FTexto += "[]";
        } else {
            FTexto += "[\n";
            for (size_t p = 0; p < ALivro.Puzzles.size(); ++p) {
                FTexto += p == 0 ? "    " : ",\n    ";
                PuzzleDoLivro(ALivro.Puzzles[p]);
                AEscrever(FTexto);
                FTexto.clear();
            }
            FTexto += "\n  ]";
        }
        FTexto += "\n}\n";
        AEscrever(FTexto);
    }

  private:
    template <typename T> void Numero(T AValor) {
        char texto[24];
        const auto fim = std::to_chars(texto, texto + sizeof texto, AValor).ptr;
        FTexto.append(texto, fim);
    }

    void Logico(bool AValor) { FTexto += AValor ? "true" : "false"; }

    // "Nome": value, members of a one-line object after the first.
    template <typename T> void Membro(const char* ANome, T AValor, bool APrimeiro = false) {
        FTexto += APrimeiro ? "\"" : ", \"";
        FTexto += ANome;
        FTexto += "\": ";
        if constexpr (std::is_same_v<T, bool>) {
            Logico(AValor);
        } else {
            Numero(AValor);
        }
    }

    template <typename T> void Lista(const T& AValores) {
        if (std::empty(AValores)) {
            FTexto += "[]";
            return;
        }
        FTexto += '[';
        bool primeiro = true;
        for (const auto v : AValores) {
            FTexto += primeiro ? "" : ", ";
            Numero(v);
            primeiro = false;
        }
        FTexto += ']';
    }

    // A member of an object laid out one member a line, at indentation AMargem.
    void Chave(const char* AMargem, const char* ANome, bool APrimeiro = false) {
        FTexto += APrimeiro ? "" : ",\n";
        FTexto += AMargem;
        FTexto += '"';
        FTexto += ANome;
        FTexto += "\": ";
    }

    void Config(const TConfigLivro& AConfig) {
        FTexto += '{';
        Membro("NumPuzzles", AConfig.NumPuzzles, true);
        Membro("N", AConfig.N);
        Membro("Nivel", AConfig.Nivel);
        FTexto += ", \"Titulo\": ";
        FTexto += Escalar(ordered_json(AConfig.Titulo));
        Membro("Caminho", AConfig.Caminho);
        Membro("Semente", AConfig.Semente);
        FTexto += '}';
    }

    void PuzzleDoLivro(const TPuzzleDoLivro& APuzzle) {
        FTexto += "{\n";
        Chave("      ", "Posicao", true);
        Numero(APuzzle.Posicao);
        Chave("      ", "SubSemente");
        Numero(APuzzle.SubSemente);
        Chave("      ", "Puzzle");
        Puzzle(APuzzle.Puzzle);
        FTexto += "\n    }";
    }

    void Puzzle(const TPuzzle& APuzzle) {
        const char* const margem = "        ";
        FTexto += "{\n";
        Chave(margem, "N", true);
        Numero(APuzzle.N);
        Chave(margem, "Nivel");
        Numero(APuzzle.Nivel);
        Chave(margem, "Solucao");
        Lista(APuzzle.Solucao);
        Chave(margem, "Dados");
        Lista(APuzzle.Dados);
        Chave(margem, "NumPistas");
        Numero(APuzzle.NumPistas);
        Chave(margem, "NumPistasPiso");
        Numero(APuzzle.NumPistasPiso);
        Chave(margem, "Chave");
        FTexto += '"';
        FTexto += Formatar("%016" PRIX64, APuzzle.Chave);
        FTexto += '"';
        Chave(margem, "Resultado");
        Resultado(APuzzle.Resultado);
        FTexto += "\n      }";
    }

    void Resultado(const TResultadoSolver& AResultado) {
        const char* const margem = "          ";
        FTexto += "{\n";
        Chave(margem, "Resolvido", true);
        Logico(AResultado.Resolvido);
        Chave(margem, "Rondas");
        Numero(AResultado.Rondas);
        Chave(margem, "Passos");
        if (AResultado.Passos.empty()) {
            FTexto += "[]";
        } else {
            FTexto += "[\n";
            bool primeiro = true;
            for (const TPassoDeducao& passo : AResultado.Passos) {
                FTexto += primeiro ? "            {" : ",\n            {";
                Membro("Ronda", passo.Ronda, true);
                Membro("Lei", passo.Lei);
                Membro("Familia", static_cast<int32_t>(passo.Familia));
                Membro("Celula", passo.Celula);
                Membro("Valor", passo.Valor);
                Membro("Parceiro", passo.Parceiro);
                Membro("Resto", passo.Resto);
                FTexto += '}';
                primeiro = false;
            }
            FTexto += "\n          ]";
        }
        Chave(margem, "Usos");
        Lista(AResultado.Usos);
        FTexto += "\n        }";
    }

    std::string& FTexto;
};

} // namespace

// The book is written a puzzle at a time: no more than one puzzle is ever held as text.
void EscreverLivroJson(const TLivro& ALivro,
                       const std::function<void(std::string_view)>& AEscrever) {
    std::string texto;
    TEscritaJson(texto).Livro(ALivro, AEscrever);
}

std::string TextoDoLivroJson(const TLivro& ALivro) {
    std::string texto;
    EscreverLivroJson(ALivro, [&texto](std::string_view APedaco) { texto += APedaco; });
    return texto;
}

} // namespace tavrelo
