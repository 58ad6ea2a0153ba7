#include "cli/opcoes.h"

#include "core/tipos.h"
#include "files/ficheiro.h"
#include "files/mensagens.h"
#include "frontend/receita.h"
#include "frontend/textos.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <charconv>

namespace tavrelo {

namespace {

const char* const PROGRAMA = "tavrelo-cli";

std::string Citado(const std::string& ATexto) {
    return "«" + NomeParaMostrar(ATexto) + "»";
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

// Whether a separated value is really the next option ("--json --sem-pdf"): the value of the
// option before it is then missing.
bool PareceOpcao(CLI::App& AApp, const std::string& ATexto) {
    if (ATexto.size() < 2 || ATexto[0] != '-') {
        return false;
    }
    return AApp.get_option_no_throw(ATexto[1] == '-' ? ATexto.substr(0, ATexto.find('='))
                                                     : ATexto.substr(0, 2)) != nullptr;
}

// Reads the arguments as a careful Unix tool reads them ("--opção=valor", "--opção valor",
// "-xvalor", "-x valor", flags together as "-qh", "--" before arguments that are no option)
// into the options of AApp, which keep each value as given, even one that starts with "-".
// CLI11's own reading takes "--opção=" as asking for the next argument, and the next argument
// as a value even when it is the next option; it names the rest of "-qx" as the unknown
// option, and a missing value by the option's first name: this reading keeps a form meaning
// one thing, and names the misuse as typed. Returns the first misuse, or empty.
std::string LerArgumentos(CLI::App& AApp, const std::vector<std::string>& AArgs) {
    std::string r;
    const auto erro = [&r](const std::string& AMensagem) {
        if (r.empty()) {
            r = AMensagem;
        }
    };
    // The value of AOpcao (typed as ANome) from the next argument, when there is one that is
    // not itself an option.
    const auto valorSeguinte = [&](CLI::Option& AOpcao, const std::string& ANome, size_t& i) {
        if (i + 1 >= AArgs.size()) {
            erro("Falta o valor da opção " + ANome + ".");
        } else if (PareceOpcao(AApp, AArgs[i + 1])) {
            erro("Falta o valor da opção " + ANome + " (um valor que comece por - escreve-se --" +
                 AOpcao.get_lnames().front() + "=" + AArgs[i + 1] + ").");
        } else {
            AOpcao.add_result(AArgs[++i]);
        }
    };

    for (size_t i = 0; i < AArgs.size(); ++i) {
        const std::string& a = AArgs[i];
        if (a == "--") {
            for (size_t j = i + 1; j < AArgs.size(); ++j) {
                erro("Argumento inesperado: " + Citado(AArgs[j]));
            }
            break;
        }
        if (a.size() < 2 || a[0] != '-') {
            erro("Argumento inesperado: " + Citado(a));
            continue;
        }
        if (a[1] == '-') {
            const size_t igual = a.find('=');
            const std::string nome = a.substr(0, igual);
            CLI::Option* o = AApp.get_option_no_throw(nome);
            if (o == nullptr) {
                erro("Opção desconhecida: " + Citado(a));
            } else if (o->get_expected_min() == 0) {
                if (igual == std::string::npos) {
                    o->add_result("");
                } else {
                    erro("A opção " + nome + " não leva valor: " + Citado(a) + ".");
                }
            } else if (igual == std::string::npos) {
                valorSeguinte(*o, nome, i);
            } else {
                o->add_result(a.substr(igual + 1));
            }
            continue;
        }
        // Short options: flags may go together; the first that takes a value takes the rest
        // of the argument, or the next argument.
        for (size_t k = 1; k < a.size(); ++k) {
            const std::string nome = {'-', a[k]};
            CLI::Option* o = AApp.get_option_no_throw(nome);
            if (o == nullptr) {
                erro(k > 1 && a[k] == '=' ? "A opção -" + std::string(1, a[k - 1]) +
                                                " não leva valor: " + Citado(a) + "."
                                          : "Opção desconhecida: " + Citado(a));
                break;
            }
            if (o->get_expected_min() == 0) {
                o->add_result("");
                continue;
            }
            if (k + 1 < a.size()) {
                o->add_result(a.substr(k + 1));
            } else {
                valorSeguinte(*o, nome, i);
            }
            break;
        }
    }
    return r;
}

// The value given to the option ANome (the last, when it was given more than once).
std::string Valor(const CLI::App& AApp, const std::string& ANome) {
    const CLI::Option* o = AApp.get_option(ANome);
    return o->count() > 0 ? o->results().back() : std::string();
}

bool ForaDe(int32_t AValor, int32_t AMinimo, int32_t AMaximo) {
    return AValor < AMinimo || AValor > AMaximo;
}

// The options that choose the book, which --refazer takes from the PDF instead.
constexpr const char* OPCOES_DO_LIVRO[] = {"--tamanho", "--nivel",     "--puzzles",
                                           "--titulo",  "--sem-dicas", "--semente"};

// Puts the choices and code of the recipe of AOpcoes.Refazer into AOpcoes; the reason when the
// PDF has none. AAviso gets the warning about a recipe of another version.
std::optional<std::string> LerReceitaDasOpcoes(TOpcoesCli& AOpcoes, std::string& AAviso) {
    const TLeituraDaReceita lida = LerReceitaDoPdf(AOpcoes.Refazer);
    if (!lida.Receita) {
        return lida.Motivo;
    }
    const TConfigLivro& c = lida.Receita->Config;
    AOpcoes.Tamanho = c.N;
    AOpcoes.Nivel = c.Nivel;
    AOpcoes.NumPuzzles = c.NumPuzzles;
    AOpcoes.Titulo = c.Titulo;
    AOpcoes.SemDicas = !c.Caminho;
    AOpcoes.Semente = c.Semente;
    AAviso = AvisoDeVersao(*lida.Receita);
    return std::nullopt;
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
    app.option_defaults()->group("Opções");
    app.set_help_flag("-h,--help", "mostra esta ajuda e sai");
    const std::string versao = std::string(PROGRAMA) + " " + VersaoDoPrograma();
    app.set_version_flag("--version", versao, "mostra a versão e sai");

    auto formato = std::make_shared<CLI::Formatter>();
    formato->label("Usage", "Utilização");
    formato->label("OPTIONS", "OPÇÕES");
    formato->column_width(26);
    app.formatter(formato);
    app.footer("O livro é o mesmo sempre que se repetem as opções e o código (-s).\n"
               "Estado de saída: 0 livro gravado; 1 o livro não pôde ser feito ou gravado;\n"
               "2 opções ou configuração inválidas; 128+n parado pelo sinal n (130: Ctrl-C).\n"
               "Exemplo: tavrelo-cli -t 12 -n 3 -p 20 -o livro.pdf --json livro.json");

    app.add_option("-t,--tamanho", "tamanho da grelha: 8, 12, 16, 7, 11 ou 13 (8)")->type_name("N");
    app.add_option("-n,--nivel", "dificuldade: nível 1 a 5, ou P, a Progressiva (P)")
        ->type_name("L");
    app.add_option("-p,--puzzles", "número de puzzles, de 1 a 100 (50)")->type_name("K");
    app.add_option("--titulo", "título do livro (sem título por omissão)")->type_name("TEXTO");
    app.add_flag("--sem-dicas")->description("soluções sem as dicas de dedução");
    app.add_option("-s,--semente",
                   "código do livro (1 a 8 algarismos hexadecimais): refaz esse livro")
        ->type_name("CODIGO");
    app.add_option("-o,--saida", "o PDF a gravar (Tavrelo_8x8_P_50.pdf, conforme as opções)")
        ->type_name("FICHEIRO");
    app.add_option("--json", "grava também o livro em JSON (- para a saída padrão)")
        ->type_name("FICHEIRO");
    app.add_flag("--sem-pdf")->description("não grava o PDF (usar com --json)");
    app.add_flag("-q,--silencioso")->description("sem indicação de progresso");
    app.add_option("--refazer", "refaz o livro desse PDF pela receita que ele leva dentro")
        ->type_name("LIVRO.pdf");

    const std::string abuso = LerArgumentos(app, AArgs);
    // --version, then --help, come before any misuse.
    if (app.count("--version") > 0) {
        return {TAccaoCli::acVersao, {}, versao + "\n"};
    }
    if (app.count("--help") > 0) {
        return {TAccaoCli::acAjuda, {}, app.help()};
    }
    if (!abuso.empty()) {
        return Erro(abuso);
    }
    const std::string tamanho = Valor(app, "--tamanho"), nivel = Valor(app, "--nivel"),
                      puzzles = Valor(app, "--puzzles"), titulo = Valor(app, "--titulo"),
                      semente = Valor(app, "--semente"), saida = Valor(app, "--saida"),
                      json = Valor(app, "--json"), refazer = Valor(app, "--refazer");

    // An option given is read even when its value is empty, and checked against the values
    // the book accepts, which the message lists.
    TOpcoesCli o;
    if (app.count("--tamanho") > 0) {
        const auto n = LerInteiro(tamanho);
        if (!n || !TamanhoValido(*n)) {
            return Erro("Tamanho de grelha inválido: " + Citado(tamanho) +
                        " (8, 12, 16, 7, 11 ou 13)");
        }
        o.Tamanho = *n;
    }
    if (app.count("--nivel") > 0) {
        // 0 is the Progressiva too, as the book's data (the JSON) writes it.
        const std::string t = SemBrancos(nivel);
        const auto n = LerInteiro(t);
        if (IgualSemMaiusculas(t, "P") || IgualSemMaiusculas(t, "Progressiva")) {
            o.Nivel = 0;
        } else if (n && !ForaDe(*n, 0, 5)) {
            o.Nivel = *n;
        } else {
            return Erro("Nível inválido: " + Citado(nivel) +
                        " (de 1 a 5, ou P para a Progressiva)");
        }
    }
    if (app.count("--puzzles") > 0) {
        const auto n = LerInteiro(puzzles);
        if (!n || ForaDe(*n, MIN_PUZZLES, MAX_PUZZLES)) {
            return Erro("Número de puzzles inválido: " + Citado(puzzles) +
                        Formatar(" (de %d a %d)", MIN_PUZZLES, MAX_PUZZLES));
        }
        o.NumPuzzles = *n;
    }
    // Whether the cover can print it is judged with the configuration (VerificarTitulo).
    o.Titulo = SemBrancos(titulo);
    o.SemDicas = app.count("--sem-dicas") > 0;
    if (app.count("--semente") > 0) {
        o.Semente = LerCodigoDoLivro(semente);
        if (!o.Semente) {
            return Erro("Código do livro inválido: " + Citado(semente) +
                        " (de 1 a 8 algarismos hexadecimais, por exemplo 0A1B2C3D)");
        }
    }
    if (app.count("--saida") > 0 && SemBrancos(saida).empty()) {
        return Erro("Indique o nome do ficheiro PDF em --saida.");
    }
    if (app.count("--json") > 0 && SemBrancos(json).empty()) {
        return Erro("Indique o nome do ficheiro em --json (ou - para a saída padrão).");
    }
    o.Saida = saida;
    o.Json = json;
    o.SemPdf = app.count("--sem-pdf") > 0;
    o.Silencioso = app.count("--silencioso") > 0;

    if (app.count("--refazer") > 0) {
        if (SemBrancos(refazer).empty()) {
            return Erro("Indique o PDF do livro a refazer em --refazer.");
        }
        for (const char* opcao : OPCOES_DO_LIVRO) {
            if (app.count(opcao) > 0) {
                return Erro(std::string("A opção ") + opcao +
                            " não pode ser usada com --refazer: as escolhas do livro vêm da "
                            "receita do PDF.");
            }
        }
        o.Refazer = refazer;
    }

    if (o.SemPdf && o.Json.empty()) {
        return Erro("Com --sem-pdf não há nada para gravar: indique também --json FICHEIRO "
                    "(ou --json - para a saída padrão).");
    }
    if (o.SemPdf && app.count("--saida") > 0) {
        return Erro("As opções --saida e --sem-pdf não podem ser usadas juntas: com --sem-pdf "
                    "nenhum PDF é gravado.");
    }
    std::string aviso;
    if (!o.Refazer.empty()) {
        if (const auto motivo = LerReceitaDasOpcoes(o, aviso)) {
            return Erro(*motivo, false);
        }
    }
    // Two names for one file (the same path, a link, a hard link, "-" twice) would write
    // the JSON into the PDF.
    if (!o.SemPdf && !o.Json.empty() && MesmoFicheiro(CaminhoDoPdf(o), o.Json)) {
        return Erro("O PDF e o JSON não podem ser gravados no mesmo ficheiro: " + Citado(o.Json) +
                    ".");
    }
    for (const std::string& destino : {o.SemPdf ? std::string() : CaminhoDoPdf(o), o.Json}) {
        if (!o.Refazer.empty() && !destino.empty()) {
            if (std::string recusa = RecusaDoDestinoDoRefeito(destino, o.Refazer);
                !recusa.empty()) {
                return Erro(recusa);
            }
        }
    }
    return {TAccaoCli::acGerar, o, aviso};
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
