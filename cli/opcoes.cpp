#include "cli/opcoes.h"

#include "core/tipos.h"
#include "frontend/textos.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <charconv>
#include <filesystem>

namespace tavrelo {

namespace {

const char* const PROGRAMA = "tavrelo-cli";

std::string Citado(const std::string& ATexto) {
    return "«" + ATexto + "»";
}

TLeituraOpcoes Erro(const std::string& AMensagem, bool ASugerirAjuda = true) {
    TLeituraOpcoes r;
    r.Accao = TAccaoCli::acErro;
    r.Texto = AMensagem;
    if (ASugerirAjuda) {
        r.Texto += "\n" + SugestaoDeAjuda();
    }
    return r;
}

bool EhUtf8(const std::string& ATexto) {
    uint32_t ponto = 0;
    for (size_t i = 0, n = 0; i < ATexto.size(); i += n) {
        n = SequenciaUtf8(ATexto, i, ponto);
        if (n == 0) {
            return false;
        }
    }
    return true;
}

bool TemControlo(const std::string& ATexto) {
    for (const char c : ATexto) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            return true;
        }
    }
    return false;
}

bool IgualSemMaiusculas(const std::string& A, const std::string& B) {
    if (A.size() != B.size()) {
        return false;
    }
    for (size_t i = 0; i < A.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(A[i])) !=
            std::tolower(static_cast<unsigned char>(B[i]))) {
            return false;
        }
    }
    return true;
}

// How an option is named in messages: its long name when it has one.
std::string NomeDaOpcao(const CLI::Option& AOpcao) {
    if (!AOpcao.get_lnames().empty()) {
        return "--" + AOpcao.get_lnames().front();
    }
    return AOpcao.get_snames().empty() ? AOpcao.get_name() : "-" + AOpcao.get_snames().front();
}

// The option a CLI11 "missing or surplus value" error is about: its message names
// it, as "--tamanho: 1 required N missing" or "... arguments to --tamanho, ...".
std::string OpcaoDoErro(const CLI::App& AApp, const std::string& AMensagem) {
    for (const CLI::Option* opcao : AApp.get_options()) {
        const std::string nome = opcao->get_name();
        if (!nome.empty() && (AMensagem.rfind(nome + ":", 0) == 0 ||
                              AMensagem.find(" " + nome + ",") != std::string::npos ||
                              AMensagem.find(" " + nome + " ") != std::string::npos)) {
            return NomeDaOpcao(*opcao);
        }
    }
    return {};
}

// CLI11 gives an option its one value even when that value is the next option
// ("--json --sem-pdf"); such a value means the option's own value is missing.
bool EhNomeDeOpcao(const CLI::App& AApp, const std::string& ATexto) {
    for (const CLI::Option* opcao : AApp.get_options()) {
        for (const std::string& l : opcao->get_lnames()) {
            if (ATexto == "--" + l || ATexto.rfind("--" + l + "=", 0) == 0) {
                return true;
            }
        }
        for (const std::string& c : opcao->get_snames()) {
            if (ATexto.rfind("-" + c, 0) == 0) {
                return true;
            }
        }
    }
    return false;
}

TLeituraOpcoes TraduzirErro(const CLI::App& AApp, const CLI::ParseError& AErro) {
    const std::string mensagem = AErro.what();
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&AErro) != nullptr) {
        const std::string opcao = OpcaoDoErro(AApp, mensagem);
        if (!opcao.empty()) {
            return Erro("Falta o valor da opção " + opcao + ".");
        }
        return Erro("Falta o valor de uma opção.");
    }
    if (dynamic_cast<const CLI::ConversionError*>(&AErro) != nullptr) {
        const std::string opcao = OpcaoDoErro(AApp, mensagem);
        return Erro("A opção " + (opcao.empty() ? std::string("indicada") : opcao) +
                    " não leva valor.");
    }
    return Erro("Opções inválidas (" + mensagem + ").");
}

bool MesmoCaminho(const std::string& A, const std::string& B) {
    std::error_code erro;
    const std::filesystem::path a = std::filesystem::absolute(A, erro).lexically_normal();
    const std::filesystem::path b = std::filesystem::absolute(B, erro).lexically_normal();
    return a == b;
}

} // namespace

std::string CaminhoDoPdf(const TOpcoesCli& AOpcoes) {
    return AOpcoes.Saida.empty()
               ? NomeDoFicheiro(AOpcoes.Tamanho, AOpcoes.Nivel, AOpcoes.NumPuzzles)
               : AOpcoes.Saida;
}

std::string SugestaoDeAjuda() {
    return std::string("Use ") + PROGRAMA + " --help para ver as opções.";
}

std::optional<int32_t> LerInteiro(const std::string& ATexto) {
    const std::string t = SemBrancos(ATexto);
    if (t.empty()) {
        return std::nullopt;
    }
    int32_t valor = 0;
    const char* fim = t.data() + t.size();
    const auto [resto, erro] = std::from_chars(t.data(), fim, valor);
    if (erro != std::errc() || resto != fim) {
        return std::nullopt;
    }
    return valor;
}

TLeituraOpcoes LerOpcoes(const std::vector<std::string>& AArgs) {
    CLI::App app{"Gera um livro de puzzles de quadrados mágicos.", PROGRAMA};
    app.option_defaults()->group("Opções")->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.set_help_flag("-h,--help", "mostra esta ajuda e sai");
    app.set_version_flag("--version", std::string(PROGRAMA) + " " + VersaoDoPrograma(),
                         "mostra a versão e sai");
    app.allow_extras();

    auto formato = std::make_shared<CLI::Formatter>();
    formato->label("Usage", "Utilização");
    formato->label("OPTIONS", "OPÇÕES");
    formato->column_width(26);
    app.formatter(formato);
    app.footer("O livro é o mesmo sempre que se repetem as opções e o código (-s).\n"
               "Estado de saída: 0 livro gravado; 1 o livro não pôde ser feito ou gravado;\n"
               "2 opções ou configuração inválidas; 130 interrompido (Ctrl-C).\n"
               "Exemplo: tavrelo-cli -t 12 -n 3 -p 20 -o livro.pdf --json livro.json");

    std::string tamanho, nivel, puzzles, titulo, semente, saida, json;
    bool semDicas = false, semPdf = false, silencioso = false;
    app.add_option("-t,--tamanho", tamanho, "tamanho da grelha: 8, 12, 16, 7, 11 ou 13 (8)")
        ->type_name("N");
    app.add_option("-n,--nivel", nivel, "dificuldade: nível 1 a 5, ou P, a Progressiva (P)")
        ->type_name("L");
    app.add_option("-p,--puzzles", puzzles, "número de puzzles, de 1 a 100 (50)")->type_name("K");
    app.add_option("--titulo", titulo, "título do livro (sem título por omissão)")
        ->type_name("TEXTO");
    app.add_flag("--sem-dicas", semDicas, "soluções sem as dicas de dedução");
    app.add_option("-s,--semente", semente,
                   "código do livro (1 a 8 algarismos hexadecimais): refaz esse livro")
        ->type_name("CODIGO");
    auto* opcaoSaida = app.add_option("-o,--saida", saida,
                                      "o PDF a gravar (Tavrelo_8x8_P_50.pdf, conforme as opções)")
                           ->type_name("FICHEIRO");
    auto* opcaoJson =
        app.add_option("--json", json, "grava também o livro em JSON (- para a saída padrão)")
            ->type_name("FICHEIRO");
    app.add_flag("--sem-pdf", semPdf, "não grava o PDF (usar com --json)");
    app.add_flag("-q,--silencioso", silencioso, "sem indicação de progresso");

    try {
        std::vector<std::string> invertidos(AArgs.rbegin(), AArgs.rend());
        app.parse(invertidos);
    } catch (const CLI::CallForHelp&) {
        return {TAccaoCli::acAjuda, {}, app.help()};
    } catch (const CLI::CallForVersion& e) {
        return {TAccaoCli::acVersao, {}, std::string(e.what()) + "\n"};
    } catch (const CLI::ParseError& e) {
        return TraduzirErro(app, e);
    }

    for (const CLI::Option* opcao : app.get_options()) {
        if (opcao->get_expected_min() > 0 && opcao->count() > 0 &&
            EhNomeDeOpcao(app, opcao->as<std::string>())) {
            return Erro("Falta o valor da opção " + NomeDaOpcao(*opcao) + ".");
        }
    }

    const std::vector<std::string> resto = app.remaining();
    if (!resto.empty()) {
        const std::string& a = resto.front();
        if (a.size() > 1 && a[0] == '-') {
            return Erro("Opção desconhecida: " + a);
        }
        return Erro("Argumento inesperado: " + Citado(a));
    }

    TOpcoesCli o;
    if (!tamanho.empty()) {
        const auto n = LerInteiro(tamanho);
        if (!n) {
            return Erro("Tamanho de grelha inválido: " + Citado(tamanho) +
                        " (8, 12, 16, 7, 11 ou 13)");
        }
        o.Tamanho = *n;
    }
    if (!nivel.empty()) {
        const std::string t = SemBrancos(nivel);
        if (IgualSemMaiusculas(t, "P") || IgualSemMaiusculas(t, "Progressiva")) {
            o.Nivel = 0;
        } else if (const auto n = LerInteiro(t)) {
            o.Nivel = *n;
        } else {
            return Erro("Nível inválido: " + Citado(nivel) +
                        " (de 1 a 5, ou P para a Progressiva)");
        }
    }
    if (!puzzles.empty()) {
        const auto n = LerInteiro(puzzles);
        if (!n) {
            return Erro("Número de puzzles inválido: " + Citado(puzzles) +
                        Formatar(" (de %d a %d)", MIN_PUZZLES, MAX_PUZZLES));
        }
        o.NumPuzzles = *n;
    }
    o.Titulo = SemBrancos(titulo);
    if (!EhUtf8(o.Titulo)) {
        return Erro("O título não é texto UTF-8 válido.");
    }
    if (TemControlo(o.Titulo)) {
        return Erro("O título tem de ser uma só linha, sem caracteres de controlo.");
    }
    o.SemDicas = semDicas;
    if (!semente.empty() || app.count("--semente") > 0) {
        o.Semente = LerCodigoDoLivro(semente);
        if (!o.Semente) {
            return Erro("Código do livro inválido: " + Citado(semente) +
                        " (de 1 a 8 algarismos hexadecimais, por exemplo 0A1B2C3D)");
        }
    }
    if (opcaoSaida->count() > 0 && SemBrancos(saida).empty()) {
        return Erro("Indique o nome do ficheiro PDF em --saida.");
    }
    if (opcaoJson->count() > 0 && SemBrancos(json).empty()) {
        return Erro("Indique o nome do ficheiro em --json (ou - para a saída padrão).");
    }
    o.Saida = saida;
    o.Json = json;
    o.SemPdf = semPdf;
    o.Silencioso = silencioso;

    if (o.SemPdf && o.Json.empty()) {
        return Erro("Com --sem-pdf não há nada para gravar: indique também --json FICHEIRO "
                    "(ou --json - para a saída padrão).");
    }
    if (o.SemPdf && opcaoSaida->count() > 0) {
        return Erro("As opções --saida e --sem-pdf não podem ser usadas juntas: com --sem-pdf "
                    "nenhum PDF é gravado.");
    }
    if (!o.SemPdf && !o.Json.empty() && o.Json != "-" && MesmoCaminho(CaminhoDoPdf(o), o.Json)) {
        return Erro("O PDF e o JSON não podem ser gravados no mesmo ficheiro: " + Citado(o.Json) +
                    ".");
    }
    return {TAccaoCli::acGerar, o, {}};
}

TLeituraOpcoes LerOpcoes(int argc, const char* const* argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    return LerOpcoes(args);
}

TConfigLivro ConfiguracaoDasOpcoes(const TOpcoesCli& AOpcoes, uint32_t ASementeNova) {
    TConfigLivro c;
    c.NumPuzzles = AOpcoes.NumPuzzles;
    c.N = AOpcoes.Tamanho;
    c.Nivel = AOpcoes.Nivel;
    c.Titulo = AOpcoes.Titulo;
    c.Caminho = !AOpcoes.SemDicas;
    c.Semente = AOpcoes.Semente.value_or(ASementeNova);
    return c;
}

} // namespace tavrelo
