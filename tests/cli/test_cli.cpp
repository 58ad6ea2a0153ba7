#include "cli/opcoes.h"
#include "frontend/textos.h"

#include "../pasta_temporaria.h"
#include "../pdf_hostil.h"
#include "../regionais.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// ---------------------------------------------------------------------------
// Options

TOpcoesCli Opcoes(int32_t t, int32_t n, int32_t p, std::string titulo, bool semDicas,
                  std::optional<uint32_t> semente, std::string json, bool silencioso) {
    TOpcoesCli o;
    o.Tamanho = t;
    o.Nivel = n;
    o.NumPuzzles = p;
    o.Titulo = std::move(titulo);
    o.SemDicas = semDicas;
    o.Semente = semente;
    o.Json = std::move(json);
    o.SemPdf = true;
    o.Silencioso = silencioso;
    return o;
}

TEST(Opcoes, LeiturasAceites) {
    const struct {
        Args Argumentos;
        TOpcoesCli Esperado;
    } casos[] = {
        {{"--sem-pdf", "--json", "l.json"},
         Opcoes(8, 0, 50, "", false, std::nullopt, "l.json", false)},
        {{"-t", "12", "-n", "3", "-p", "20", "--titulo", "  Os meus puzzles\t ", "--sem-dicas",
          "-s", "0a1b2c3d", "--json", "-", "--sem-pdf", "-q"},
         Opcoes(12, 3, 20, "Os meus puzzles", true, 0x0A1B2C3Du, "-", true)},
        {{"--tamanho=16", "--nivel=p", "--puzzles=7", "--semente=FF", "--json=x", "--sem-pdf",
          "--silencioso", "--titulo=Férias"},
         Opcoes(16, 0, 7, "Férias", false, 0xFFu, "x", true)},
        {{"-t7", "-n5", "-p1", "-s00000000", "--json", "x", "--sem-pdf"},
         Opcoes(7, 5, 1, "", false, 0u, "x", false)},
        {{"-n", "Progressiva", "-s", "FFFFFFFF", "--json", "x", "--sem-pdf"},
         Opcoes(8, 0, 50, "", false, 0xFFFFFFFFu, "x", false)},
        // The last of a repeated option counts, however it is written.
        {{"-p", "3", "--puzzles=4", "--json", "a", "--json", "b", "--sem-pdf"},
         Opcoes(8, 0, 4, "", false, std::nullopt, "b", false)},
        // 0 is the Progressiva, as the book's data writes it.
        {{"-n", "0", "--json", "x", "--sem-pdf"},
         Opcoes(8, 0, 50, "", false, std::nullopt, "x", false)},
        // A value joined to its option is that value, even when it starts with "-"; flags
        // go together.
        {{"--titulo=-sol", "--json=-s.json", "--sem-pdf", "-qt12"},
         Opcoes(12, 0, 50, "-sol", false, std::nullopt, "-s.json", true)},
        // A title that is all blanks is no title.
        {{"--titulo", "   ", "--json", "x", "--sem-pdf"},
         Opcoes(8, 0, 50, "", false, std::nullopt, "x", false)},
    };
    for (const auto& c : casos) {
        const TLeituraOpcoes r = LerOpcoes(c.Argumentos);
        ASSERT_EQ(r.Accao, TAccaoCli::acGerar) << c.Argumentos[0] << ": " << r.Texto;
        EXPECT_EQ(r.Opcoes, c.Esperado) << c.Argumentos[0];
    }
}

TEST(Opcoes, OPdfEOSeuNome) {
    const struct {
        Args Argumentos;
        std::string Saida;
        std::string Json;
        std::string Pdf; // the file written
    } casos[] = {
        {{}, "", "", "Tavrelo_8x8_P_50.pdf"},
        {{"-t", "12", "-n", "3", "-p", "20"}, "", "", "Tavrelo_12x12_N3_20.pdf"},
        {{"-o", "/tmp/o meu livro.pdf"}, "/tmp/o meu livro.pdf", "", "/tmp/o meu livro.pdf"},
        {{"--saida=l.pdf", "--json", "l.json"}, "l.pdf", "l.json", "l.pdf"},
        {{"-p", "7", "--json", "-"}, "", "-", "Tavrelo_8x8_P_7.pdf"},
        {{"--saida=-sol.pdf"}, "-sol.pdf", "", "-sol.pdf"},
        {{"-o-", "--json", "l.json"}, "-", "l.json", "-"},
    };
    for (const auto& c : casos) {
        const TLeituraOpcoes r = LerOpcoes(c.Argumentos);
        ASSERT_EQ(r.Accao, TAccaoCli::acGerar) << c.Pdf << ": " << r.Texto;
        EXPECT_FALSE(r.Opcoes.SemPdf);
        EXPECT_EQ(r.Opcoes.Saida, c.Saida);
        EXPECT_EQ(r.Opcoes.Json, c.Json);
        EXPECT_EQ(CaminhoDoPdf(r.Opcoes), c.Pdf);
    }
}

TEST(Opcoes, LeiturasRecusadasDizemPorque) {
    const Args pdf = {"--sem-pdf", "--json", "x"};
    const struct {
        Args Argumentos;
        const char* Mensagem;
    } casos[] = {
        {{"-t", "abc"}, "Tamanho de grelha inválido: «abc» (8, 12, 16, 7, 11 ou 13)"},
        {{"-t", "8.0"}, "Tamanho de grelha inválido: «8.0»"},
        {{"-t", "10"}, "Tamanho de grelha inválido: «10» (8, 12, 16, 7, 11 ou 13)"},
        {{"-t", ""}, "Tamanho de grelha inválido: «» (8, 12, 16, 7, 11 ou 13)"},
        {{"-n", "X"}, "Nível inválido: «X» (de 1 a 5, ou P para a Progressiva)"},
        {{"-n", "6"}, "Nível inválido: «6» (de 1 a 5, ou P para a Progressiva)"},
        {{"--nivel="}, "Nível inválido: «» (de 1 a 5, ou P para a Progressiva)"},
        {{"-p", "dez"}, "Número de puzzles inválido: «dez» (de 1 a 100)"},
        {{"-p", "5a"}, "Número de puzzles inválido: «5a»"},
        {{"-p", "99999999999"}, "Número de puzzles inválido: «99999999999»"},
        {{"-p", "101"}, "Número de puzzles inválido: «101» (de 1 a 100)"},
        {{"-p", "-5"}, "Número de puzzles inválido: «-5» (de 1 a 100)"},
        {{"-p", ""}, "Número de puzzles inválido: «» (de 1 a 100)"},
        {{"-s", "123456789"}, "Código do livro inválido: «123456789»"},
        {{"-s", "0x1F"}, "Código do livro inválido: «0x1F»"},
        {{"-s", "G1"}, "Código do livro inválido: «G1»"},
        {{"-s", "-1"}, "Código do livro inválido: «-1»"},
        {{"-s", ""}, "Código do livro inválido: «»"},
        {{"--bogus"}, "Opção desconhecida: «--bogus»"},
        {{"-x"}, "Opção desconhecida: «-x»"},
        {{"-qx"}, "Opção desconhecida: «-qx»"},
        {{"livro.json"}, "Argumento inesperado: «livro.json»"},
        {{"--", "-t"}, "Argumento inesperado: «-t»"},
        {{"-t"}, "Falta o valor da opção -t."},
        {{"--tamanho"}, "Falta o valor da opção --tamanho."},
        {{"--json", "--sem-pdf"},
         "Falta o valor da opção --json (um valor que comece por - escreve-se "
         "--json=--sem-pdf)."},
        {{"-o", "-sol.pdf"},
         "Falta o valor da opção -o (um valor que comece por - escreve-se "
         "--saida=-sol.pdf)."},
        {{"--sem-dicas=talvez"}, "A opção --sem-dicas não leva valor: «--sem-dicas=talvez»."},
        {{"-q=1"}, "A opção -q não leva valor: «-q=1»."},
        {{"--json", ""}, "Indique o nome do ficheiro em --json"},
    };
    for (const auto& c : casos) {
        Args args = c.Argumentos;
        args.insert(args.begin(), pdf.begin(), pdf.end());
        const TLeituraOpcoes r = LerOpcoes(args);
        ASSERT_EQ(r.Accao, TAccaoCli::acErro) << c.Mensagem;
        EXPECT_EQ(r.Texto.rfind(c.Mensagem, 0), 0u) << r.Texto;
        EXPECT_NE(r.Texto.find(SugestaoDeAjuda()), std::string::npos) << r.Texto;
    }
}

TEST(Opcoes, SemPdfSoComJsonENuncaNoMesmoFicheiro) {
    const struct {
        Args Argumentos;
        const char* Mensagem;
    } casos[] = {
        {{"--sem-pdf"}, "Com --sem-pdf não há nada para gravar"},
        {{"-o", "a.pdf", "--sem-pdf", "--json", "x"}, "As opções --saida e --sem-pdf"},
        {{"-o", "livro", "--json", "./livro"},
         "O PDF e o JSON não podem ser gravados no mesmo ficheiro: «./livro»."},
        {{"-p", "5", "--json", "Tavrelo_8x8_P_5.pdf"},
         "O PDF e o JSON não podem ser gravados no mesmo ficheiro"},
        {{"-o", "-", "--json", "-"},
         "O PDF e o JSON não podem ser gravados no mesmo ficheiro: «-»."},
    };
    for (const auto& c : casos) {
        const TLeituraOpcoes r = LerOpcoes(c.Argumentos);
        ASSERT_EQ(r.Accao, TAccaoCli::acErro) << c.Mensagem;
        EXPECT_EQ(r.Texto.rfind(c.Mensagem, 0), 0u) << r.Texto;
    }
}

// How each argument is read where forms meet: the first misuse, in the order typed, is the one
// told, named as typed; --help and --version win over any misuse; a value that merely looks
// like an option no program knows is a value.
TEST(Opcoes, FormasDosArgumentos) {
    const struct {
        Args Argumentos;
        TAccaoCli Accao;
        std::string Texto; // what the refusal starts with, or the option read
    } casos[] = {
        {{"livro.json", "--bogus"}, TAccaoCli::acErro, "Argumento inesperado: «livro.json»"},
        {{"--bogus", "livro.json"}, TAccaoCli::acErro, "Opção desconhecida: «--bogus»"},
        {{"-t", "-p", "--bogus"}, TAccaoCli::acErro, "Falta o valor da opção -t (um valor"},
        {{"--bogus=x"}, TAccaoCli::acErro, "Opção desconhecida: «--bogus=x»"},
        {{"--tam", "12"}, TAccaoCli::acErro, "Opção desconhecida: «--tam»"},
        {{"-"}, TAccaoCli::acErro, "Argumento inesperado: «-»"},
        {{"-="}, TAccaoCli::acErro, "Opção desconhecida: «-=»"},
        {{"-q-"}, TAccaoCli::acErro, "Opção desconhecida: «-q-»"},
        {{"-qt"}, TAccaoCli::acErro, "Falta o valor da opção -t."},
        {{"--help=sim"}, TAccaoCli::acErro, "A opção --help não leva valor: «--help=sim»."},
        {{"-s", "--", "x"}, TAccaoCli::acErro, "Argumento inesperado: «x»"},
        {{"--", "--help"}, TAccaoCli::acErro, "Argumento inesperado: «--help»"},
        {{"--bogus", "--help"}, TAccaoCli::acAjuda, ""},
        {{"-t", "--help"}, TAccaoCli::acAjuda, ""},
        {{"-t", "abc", "-qh"}, TAccaoCli::acAjuda, ""},
        {{"livro.json", "--version"}, TAccaoCli::acVersao, ""},
        {{"--help", "--version"}, TAccaoCli::acVersao, ""},
        {{"-p", "0", "--sem-dicas=1"}, TAccaoCli::acErro, "A opção --sem-dicas não leva valor"},
        {{"-t", "10", "-p", "0"}, TAccaoCli::acErro, "Tamanho de grelha inválido: «10»"},
    };
    for (const auto& c : casos) {
        const TLeituraOpcoes r = LerOpcoes(c.Argumentos);
        EXPECT_EQ(r.Accao, c.Accao) << c.Argumentos[0] << " " << r.Texto;
        EXPECT_EQ(r.Texto.rfind(c.Texto, 0), 0u) << r.Texto;
    }

    const struct {
        Args Argumentos;
        std::string Titulo, Saida, Json;
    } lidos[] = {
        {{"--titulo", "-x"}, "-x", "", ""},
        {{"--titulo", "--bogus"}, "--bogus", "", ""},
        {{"--titulo="}, "", "", ""},
        {{"--titulo=a=b", "-o", "--"}, "a=b", "--", ""},
        {{"-o", "-", "--json=x.json"}, "", "-", "x.json"},
        {{"--json", "-5"}, "", "", "-5"},
    };
    for (const auto& c : lidos) {
        const TLeituraOpcoes r = LerOpcoes(c.Argumentos);
        ASSERT_EQ(r.Accao, TAccaoCli::acGerar) << c.Argumentos[0] << " " << r.Texto;
        EXPECT_EQ(r.Opcoes.Titulo, c.Titulo);
        EXPECT_EQ(r.Opcoes.Saida, c.Saida);
        EXPECT_EQ(r.Opcoes.Json, c.Json);
    }
}

TEST(Opcoes, AjudaEVersao) {
    const TLeituraOpcoes ajuda = LerOpcoes(Args{"--sem-pdf", "-h"});
    ASSERT_EQ(ajuda.Accao, TAccaoCli::acAjuda);
    for (const char* s :
         {"Utilização: tavrelo-cli", "-t,--tamanho N", "-n,--nivel L", "-p,--puzzles K",
          "--titulo TEXTO", "--sem-dicas", "-s,--semente CODIGO", "-o,--saida FICHEIRO",
          "--json FICHEIRO", "--sem-pdf", "-q,--silencioso", "--version", "130"}) {
        EXPECT_NE(ajuda.Texto.find(s), std::string::npos) << s << "\n" << ajuda.Texto;
    }
    EXPECT_EQ(ajuda.Texto.find("Print this help"), std::string::npos);

    const TLeituraOpcoes versao = LerOpcoes(Args{"--version"});
    ASSERT_EQ(versao.Accao, TAccaoCli::acVersao);
    EXPECT_EQ(versao.Texto.rfind("tavrelo-cli ", 0), 0u);
}

TEST(Opcoes, ConfiguracaoDoLivro) {
    TOpcoesCli o = Opcoes(12, 3, 20, "Título", true, std::nullopt, "x", false);
    TConfigLivro c = ConfiguracaoDasOpcoes(o, 777);
    EXPECT_EQ(c.N, 12);
    EXPECT_EQ(c.Nivel, 3);
    EXPECT_EQ(c.NumPuzzles, 20);
    EXPECT_EQ(c.Titulo, "Título");
    EXPECT_FALSE(c.Caminho);
    EXPECT_EQ(c.Semente, 777u) << "without a code, the fresh seed";

    o.SemDicas = false;
    o.Semente = 0; // a given code of 0 is a code, not "none"
    c = ConfiguracaoDasOpcoes(o, 777);
    EXPECT_TRUE(c.Caminho);
    EXPECT_EQ(c.Semente, 0u);
}

// ---------------------------------------------------------------------------
// Files and folders

using PastaTemporaria = teste::TPastaTemporaria;

// ---------------------------------------------------------------------------
// The program

struct TResultadoPrograma {
    int Estado = -1; // exit status, or minus the signal that ended it
    std::string Saida;
    std::string Erros;
};

int EstadoDe(int AEstado) {
    return WIFEXITED(AEstado) ? WEXITSTATUS(AEstado) : -WTERMSIG(AEstado);
}

std::vector<char*> Argv(std::string& APrograma, Args& AArgs) {
    std::vector<char*> argv{APrograma.data()};
    for (std::string& a : AArgs) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    return argv;
}

// The built program, run with its standard output and error on pipes (its standard output
// closed when AFecharSaida). ANoFilho runs in the child just before the program starts: a
// limit, a user, a mount of its own, another standard output.
class TPrograma {
  public:
    explicit TPrograma(Args AArgs, const std::string& APasta = "", bool AFecharSaida = false,
                       const std::function<void()>& ANoFilho = {},
                       std::string APrograma = TAVRELO_CLI_PATH)
        : FArgs(std::move(AArgs)), FPrograma(std::move(APrograma)) {
        int saida[2], erros[2];
        EXPECT_EQ(::pipe(saida), 0);
        EXPECT_EQ(::pipe(erros), 0);
        std::vector<char*> argv = Argv(FPrograma, FArgs);
        FPid = ::fork();
        if (FPid == 0) {
            if (!APasta.empty() && ::chdir(APasta.c_str()) != 0) {
                ::_exit(126);
            }
            ::dup2(saida[1], STDOUT_FILENO);
            if (AFecharSaida) {
                ::close(STDOUT_FILENO);
            }
            ::dup2(erros[1], STDERR_FILENO);
            ::close(saida[0]);
            ::close(erros[0]);
            ::close(saida[1]);
            ::close(erros[1]);
            if (ANoFilho) {
                ANoFilho();
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(saida[1]);
        ::close(erros[1]);
        FSaida = saida[0];
        FErros = erros[0];
    }

    void Sinal(int ASinal) { ::kill(FPid, ASinal); }

    // The threads the program runs now.
    size_t Fios() const {
        std::error_code erro;
        size_t n = 0;
        for (fs::directory_iterator i("/proc/" + std::to_string(FPid) + "/task", erro), fim;
             !erro && i != fim; i.increment(erro)) {
            ++n;
        }
        return n;
    }

    // Reads the first AMaximo bytes of the standard output, then stops reading it, as
    // `head -c` does: whatever the program writes there next finds the pipe closed.
    std::string LerEFecharSaida(size_t AMaximo) {
        std::string lido;
        char bloco[4096];
        while (lido.size() < AMaximo) {
            const ssize_t n = ::read(FSaida, bloco, std::min(sizeof bloco, AMaximo - lido.size()));
            if (n <= 0) {
                break;
            }
            lido.append(bloco, static_cast<size_t>(n));
        }
        ::close(FSaida);
        FSaida = -1;
        return lido;
    }

    TResultadoPrograma Esperar() {
        TResultadoPrograma r;
        pollfd fds[2] = {{FSaida, POLLIN, 0}, {FErros, POLLIN, 0}};
        std::string* destinos[2] = {&r.Saida, &r.Erros};
        int abertos = (FSaida >= 0 ? 1 : 0) + 1;
        while (abertos > 0) {
            if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
                break;
            }
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP)) != 0) {
                    char bloco[65536];
                    const ssize_t n = ::read(fds[i].fd, bloco, sizeof bloco);
                    if (n > 0) {
                        destinos[i]->append(bloco, static_cast<size_t>(n));
                    } else {
                        ::close(fds[i].fd);
                        fds[i].fd = -1;
                        --abertos;
                    }
                }
            }
        }
        int estado = 0;
        ::waitpid(FPid, &estado, 0);
        r.Estado = EstadoDe(estado);
        return r;
    }

  private:
    Args FArgs;
    std::string FPrograma;
    pid_t FPid = -1;
    int FSaida = -1;
    int FErros = -1;
};

// AErros less the warning AddressSanitizer gives when a handler that ends the program runs on
// a thread whose stack it no longer knows (one of the book's, ending): a signal sent to the
// program may be taken by any thread that does not block it, and the faults' signals are
// blocked by none. The test build alone says it; what the program writes is the rest.
std::string SemAvisoDaPilha(const std::string& AErros) {
    const std::string inicio = "WARNING: ASan is ignoring requested __asan_handle_no_return";
    std::istringstream linhas(AErros);
    std::string resto, linha;
    int saltar = 0;
    while (std::getline(linhas, linha)) {
        if (linha.find(inicio) != std::string::npos) {
            saltar = 3; // the warning and its two lines of advice
        }
        if (saltar > 0) {
            --saltar;
            continue;
        }
        resto += linha + "\n";
    }
    if (!AErros.empty() && AErros.back() != '\n' && !resto.empty()) {
        resto.pop_back();
    }
    return resto;
}

TResultadoPrograma Correr(Args AArgs, const std::string& APasta = "") {
    return TPrograma(std::move(AArgs), APasta).Esperar();
}

// A reader of PDFs run on a file: its exit status and output.
TResultadoPrograma LerPdf(const std::string& AComando, const std::string& APdf) {
    const teste::TComando c = teste::CorrerComando(AComando + " '" + APdf + "'");
    TResultadoPrograma r;
    r.Estado = c.Estado;
    r.Saida = c.Saida;
    return r;
}

using Programa = PastaTemporaria;

TEST_F(Programa, RecusasSaemComEstado2ENadaGravam) {
    const std::string json = Em("livro.json");
    const std::string ajuda = "\nUse tavrelo-cli --help para ver as opções.\n";
    fs::create_directory_symlink(".", Em("aqui"));
    const struct {
        Args Argumentos;
        std::string Erros; // the whole of standard error
    } casos[] = {
        {{"-p", "101"}, "Número de puzzles inválido: «101» (de 1 a 100)" + ajuda},
        {{"-t", "10", "-p", "0"},
         "Tamanho de grelha inválido: «10» (8, 12, 16, 7, 11 ou 13)" + ajuda},
        // The level as the command line writes it, not as the engine counts it.
        {{"-n", "6"}, "Nível inválido: «6» (de 1 a 5, ou P para a Progressiva)" + ajuda},
        {{"-t", "doze"}, "Tamanho de grelha inválido: «doze» (8, 12, 16, 7, 11 ou 13)" + ajuda},
        // One file under two names, found through the folder it is in.
        {{"-o", "a.pdf", "--json", "aqui/a.pdf"},
         "O PDF e o JSON não podem ser gravados no mesmo ficheiro: «aqui/a.pdf»." + ajuda},
        {{"-o", "a.pdf", "--json", "/proc/self/cwd/a.pdf"},
         "O PDF e o JSON não podem ser gravados no mesmo ficheiro: «/proc/self/cwd/a.pdf»." +
             ajuda},
        // Titles the cover cannot print: too long for three lines, a character the typeface
        // lacks.
        {{"--titulo", std::string(25, ' ') + std::string(100, 'M') + " fim"},
         "O título é demasiado comprido: não cabe na capa, nem em três linhas.\n"},
        {{"--titulo", "Ver\xE3o"}, "O título não é texto UTF-8 válido.\n"},
        {{"--titulo", "uma\nduas"},
         "O título tem de ser uma só linha, sem caracteres de controlo.\n"},
        {{"--titulo", "Férias \xF0\x9F\x98\x80"},
         "O título tem um carácter que a letra do livro não tem: «\xF0\x9F\x98\x80» "
         "(U+1F600).\n"},
    };
    for (const auto& c : casos) {
        Args args = c.Argumentos;
        if (args[0] != "-o") {
            args.insert(args.end(), {"--sem-pdf", "--json", json});
        }
        const TResultadoPrograma r = Correr(args, FPasta.string());
        EXPECT_EQ(r.Estado, 2) << c.Erros;
        EXPECT_EQ(r.Erros, c.Erros);
        EXPECT_EQ(r.Saida, "");
    }
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"aqui"});
}

TEST_F(Programa, AjudaEVersaoNaSaidaPadrao) {
    for (const Args& args : {Args{"--help"}, Args{"--version"}}) {
        const TResultadoPrograma r = Correr(args);
        EXPECT_EQ(r.Estado, 0) << args[0];
        EXPECT_NE(r.Saida.find("tavrelo-cli"), std::string::npos) << r.Saida;
        EXPECT_EQ(r.Erros, "");
    }
}

TEST_F(Programa, GravaOLivroEDizOnde) {
    const std::string json = Em("livro.json");
    const TResultadoPrograma r = Correr({"-n", "1", "-p", "2", "-s", "0a1b2c3d", "--titulo",
                                         "  Férias  ", "--sem-dicas", "--sem-pdf", "--json", json});
    ASSERT_EQ(r.Estado, 0) << r.Erros;
    EXPECT_EQ(r.Saida, "Livro gerado: 2 puzzles. Código do livro: 0A1B2C3D\n"
                       "JSON gravado em " +
                           json + "\n");
    EXPECT_EQ(r.Erros, "") << "no progress when standard error is not a terminal";
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.json"});

    const nlohmann::ordered_json livro = nlohmann::ordered_json::parse(Ler(json));
    EXPECT_EQ(livro["Config"], nlohmann::ordered_json::parse(
                                   R"({"NumPuzzles": 2, "N": 8, "Nivel": 1, "Titulo": "Férias",
                                       "Caminho": false, "Semente": 169552957})"));
    EXPECT_EQ(livro["Codigo"], "0A1B2C3D");
    EXPECT_EQ(livro["Plano"], nlohmann::ordered_json::parse("[1, 1]"));
    EXPECT_EQ(livro["Cancelado"], false);
    ASSERT_EQ(livro["Puzzles"].size(), 2u);
    EXPECT_EQ(livro["Puzzles"][1]["Posicao"], 1);
    EXPECT_EQ(livro["Puzzles"][1]["Puzzle"]["Solucao"].size(), 64u);

    // The same code gives the same book, byte for byte, over the older file.
    const std::string primeiro = Ler(json);
    const TResultadoPrograma outra =
        Correr({"-n", "1", "-p", "2", "-s", "A1B2C3D", "--titulo", "Férias", "--sem-dicas", "-q",
                "--sem-pdf", "--json", json});
    ASSERT_EQ(outra.Estado, 0) << outra.Erros;
    EXPECT_EQ(Ler(json), primeiro);
}

TEST_F(Programa, OTituloGuardaSeNaFormaComposta) {
    // e + U+0301 and a + U+0303, as some keyboards and files give them, become é and ã.
    const std::string json = Em("livro.json");
    const TResultadoPrograma r =
        Correr({"-n", "1", "-p", "1", "-s", "FF", "--titulo", "Cafe\xCC\x81 da manha\xCC\x83",
                "--sem-pdf", "--json", json});
    ASSERT_EQ(r.Estado, 0) << r.Erros;
    EXPECT_EQ(nlohmann::ordered_json::parse(Ler(json))["Config"]["Titulo"], "Café da manhã");
}

TEST_F(Programa, GravaOPdfComONomePropostoNaPastaAtual) {
    const TResultadoPrograma r = Correr({"-n", "1", "-p", "1", "-s", "FF"}, FPasta.string());
    ASSERT_EQ(r.Estado, 0) << r.Erros;
    const std::string pdf = Em("Tavrelo_8x8_N1_1.pdf");
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"Tavrelo_8x8_N1_1.pdf"});
    EXPECT_EQ(r.Saida.rfind("Livro gerado: 1 puzzle, ", 0), 0u) << r.Saida;
    EXPECT_NE(r.Saida.find(" Código do livro: 000000FF\nPDF gravado em " + pdf + "\n"),
              std::string::npos)
        << r.Saida;
    EXPECT_EQ(r.Erros, "");

    const TResultadoPrograma info = LerPdf("pdfinfo", pdf);
    EXPECT_EQ(info.Estado, 0) << info.Saida;
    EXPECT_NE(info.Saida.find("Title:           TAVRELO\n"), std::string::npos) << info.Saida;
    EXPECT_NE(info.Saida.find(std::string("Creator:         TAVRELO ") + VersaoDoPrograma() + "\n"),
              std::string::npos)
        << info.Saida;
    EXPECT_EQ(info.Saida.find("Subject:"), std::string::npos) << "a book without a title";
    EXPECT_NE(info.Saida.find("Pages:"), std::string::npos) << info.Saida;
    EXPECT_EQ(LerPdf("qpdf --check", pdf).Estado, 0);

    // The PDF and the JSON together, each where asked.
    const std::string outro = Em("sub/livro.pdf");
    const std::string json = Em("livro.json");
    fs::create_directory(Em("sub"));
    const TResultadoPrograma ambos =
        Correr({"-n", "1", "-p", "1", "-s", "FF", "-o", outro, "--json", json});
    ASSERT_EQ(ambos.Estado, 0) << ambos.Erros;
    EXPECT_NE(ambos.Saida.find("\nPDF gravado em " + outro + "\nJSON gravado em " + json + "\n"),
              std::string::npos)
        << ambos.Saida;
    EXPECT_EQ(LerPdf("qpdf --check", outro).Estado, 0);
    EXPECT_EQ(nlohmann::ordered_json::parse(Ler(json))["Codigo"], "000000FF");
}

// Run as its users run it, under their locales, the program says the same and writes the same
// bytes as under C; with SOURCE_DATE_EPOCH the PDF and its technical sheet tell that instant,
// in UTC, so two runs on any day agree.
TEST_F(Programa, OMesmoLivroEmCadaLocalEDataFixa) {
    const auto correrEm = [&](const std::string& ALocal) {
        const std::string nome = Em(ALocal);
        TResultadoPrograma r = TPrograma({"-t", "12", "-n", "P", "-p", "2", "-s", "2A", "--titulo",
                                          "Férias", "-o", nome + ".pdf", "--json", nome + ".json"},
                                         "", false,
                                         [&] {
                                             ::setenv("LOCPATH", TAVRELO_LOCAIS, 1);
                                             ::unsetenv("LC_ALL");
                                             ::setenv("LANG", ALocal.c_str(), 1);
                                             ::setenv("SOURCE_DATE_EPOCH", "1765432100", 1);
                                         })
                                   .Esperar();
        EXPECT_EQ(r.Estado, 0) << r.Erros;
        return std::tuple{r, Ler(nome + ".pdf"), Ler(nome + ".json")};
    };
    const auto [emC, pdfEmC, jsonEmC] = correrEm("C");
    for (const char* local : teste::LOCAIS_DOS_UTILIZADORES) {
        SCOPED_TRACE(local);
        const auto [r, pdf, json] = correrEm(local);
        EXPECT_EQ(r.Erros, emC.Erros);
        EXPECT_TRUE(pdf == pdfEmC);
        EXPECT_TRUE(json == jsonEmC);
        std::string saida = r.Saida;
        for (size_t i = saida.find(local); i != std::string::npos; i = saida.find(local)) {
            saida.replace(i, std::string(local).size(), "C");
        }
        EXPECT_EQ(saida, emC.Saida);
    }
    const TResultadoPrograma info = LerPdf("pdfinfo -isodates", Em("C.pdf"));
    EXPECT_NE(info.Saida.find("CreationDate:    2025-12-11T05:48:20Z"), std::string::npos)
        << info.Saida;
    const TResultadoPrograma ficha = LerPdf("pdftotext -l 99 -layout", Em("C.pdf"));
    ASSERT_EQ(ficha.Estado, 0);
    EXPECT_NE(Ler(Em("C.txt")).find("11/12/2025"), std::string::npos);
}

TEST_F(Programa, PdfImpossivelSaiComEstado1ENadaGrava) {
    std::vector<std::pair<std::string, std::string>> casos = {
        {Em("nao-existe/livro.pdf"), "a pasta não existe"},
        {FPasta.string(), "é uma pasta"},
    };
    // Permissions do not bind the superuser.
    if (::geteuid() != 0) {
        fs::create_directory(Em("fechada"));
        fs::permissions(Em("fechada"), fs::perms::owner_read | fs::perms::owner_exec);
        casos.emplace_back(Em("fechada/livro.pdf"), "sem permissão para escrever");
    }
    const std::string json = Em("livro.json");
    for (const auto& [pdf, motivo] : casos) {
        const TResultadoPrograma r = Correr({"-n", "1", "-p", "1", "-o", pdf, "--json", json});
        EXPECT_EQ(r.Estado, 1) << pdf;
        EXPECT_EQ(r.Erros, "Não foi possível gravar " + pdf + ": " + motivo + ".\n");
        EXPECT_EQ(r.Saida, "");
        EXPECT_FALSE(fs::exists(json)) << "nothing of the book is written";
    }
    if (::geteuid() != 0) {
        EXPECT_TRUE(fs::is_empty(Em("fechada")));
        fs::permissions(Em("fechada"), fs::perms::owner_all);
    }
}

TEST_F(Programa, JsonNaSaidaPadraoSemMaisNada) {
    const TResultadoPrograma r =
        Correr({"-t", "7", "-n", "2", "-p", "1", "-s", "FF", "--sem-pdf", "--json", "-"});
    ASSERT_EQ(r.Estado, 0) << r.Erros;
    const nlohmann::ordered_json livro = nlohmann::ordered_json::parse(r.Saida);
    EXPECT_EQ(livro["Codigo"], "000000FF");
    EXPECT_EQ(r.Erros, "Livro gerado: 1 puzzle. Código do livro: 000000FF\n");
    EXPECT_TRUE(Conteudo().empty());
}

// A book's PDF carries its recipe: --refazer makes the same book from it (the same JSON),
// with -o, --json, --sem-pdf and -q as for any book, and no option that chooses the book.
TEST_F(Programa, RefazerOLivroDeUmPdf) {
    const Args livro = {"-t", "7",      "-n",       "2",          "-p",          "2",
                        "-s", "C0FFEE", "--titulo", "Verão; a=b", "--sem-dicas", "-q"};
    Args primeiro = livro;
    primeiro.insert(primeiro.end(), {"-o", "original.pdf", "--json", "original.json"});
    ASSERT_EQ(Correr(primeiro, FPasta.string()).Estado, 0);

    const TResultadoPrograma r =
        Correr({"--refazer", "original.pdf", "--json", "refeito.json", "-o", "refeito.pdf", "-q"},
               FPasta.string());
    ASSERT_EQ(r.Estado, 0) << r.Erros;
    EXPECT_EQ(r.Erros, "");
    EXPECT_EQ(Ler(Em("refeito.json")), Ler(Em("original.json")));
    // The made-again book carries the recipe too; with no -o it takes the proposed name.
    const TResultadoPrograma semNome = Correr({"--refazer=refeito.pdf", "-q"}, FPasta.string());
    ASSERT_EQ(semNome.Estado, 0) << semNome.Erros;
    EXPECT_NE(semNome.Saida.find("Tavrelo_7x7_N2_2.pdf"), std::string::npos);
    const TResultadoPrograma json =
        Correr({"--refazer", "Tavrelo_7x7_N2_2.pdf", "--sem-pdf", "--json", "-"}, FPasta.string());
    ASSERT_EQ(json.Estado, 0) << json.Erros;
    EXPECT_EQ(json.Saida, Ler(Em("original.json")));

    const std::string ajuda = "\nUse tavrelo-cli --help para ver as opções.\n";
    const std::string proprio = "O livro refeito não pode ser gravado por cima do PDF de onde vem "
                                "a receita («Tavrelo_7x7_N2_2.pdf»): escolha outro nome." +
                                ajuda;
    ASSERT_EQ(teste::CorrerComando("cd '" + FPasta.string() +
                                   "' && qpdf --empty --pages original.pdf -- paginas.pdf")
                  .Estado,
              0);
    const struct {
        Args Argumentos;
        std::string Erros;
    } recusas[] = {
        {{"--refazer", "original.pdf", "-t", "7"},
         "A opção --tamanho não pode ser usada com --refazer: as escolhas do livro vêm da "
         "receita do PDF." +
             ajuda},
        {{"-s", "1", "--refazer", "original.pdf"},
         "A opção --semente não pode ser usada com --refazer: as escolhas do livro vêm da "
         "receita do PDF." +
             ajuda},
        {{"--refazer", "original.pdf", "--sem-dicas"},
         "A opção --sem-dicas não pode ser usada com --refazer: as escolhas do livro vêm da "
         "receita do PDF." +
             ajuda},
        {{"--refazer", " "}, "Indique o PDF do livro a refazer em --refazer." + ajuda},
        {{"--refazer", "paginas.pdf"},
         "«paginas.pdf» não tem a receita de um livro do TAVRELO: não foi feito pelo TAVRELO, ou "
         "foi reescrito por um programa que a apagou.\n"},
        {{"--refazer", "original.json"}, "«original.json» não é um PDF que se consiga ler.\n"},
        {{"--refazer", "Tavrelo_7x7_N2_2.pdf"}, proprio},
        {{"--refazer", "Tavrelo_7x7_N2_2.pdf", "-o", "x.pdf", "--json", "./Tavrelo_7x7_N2_2.pdf"},
         "O livro refeito não pode ser gravado por cima do PDF de onde vem a receita "
         "(«./Tavrelo_7x7_N2_2.pdf»): escolha outro nome." +
             ajuda},
    };
    const std::vector<std::string> antes = Conteudo();
    for (const auto& c : recusas) {
        const TResultadoPrograma recusa = Correr(c.Argumentos, FPasta.string());
        EXPECT_EQ(recusa.Estado, 2) << c.Erros;
        EXPECT_EQ(recusa.Erros, c.Erros);
        EXPECT_EQ(recusa.Saida, "");
    }
    EXPECT_EQ(Conteudo(), antes);
}

// A PDF made to harm whoever reads it is refused with one line and status 2, nothing written:
// the reader stays within its bounds, and no byte of the PDF that could act on the terminal
// reaches it (the version a recipe names is shown only when it is numbers and dots).
TEST_F(Programa, RefazerDeUmPdfHostil) {
    ASSERT_EQ(Correr({"-t", "7", "-n", "1", "-p", "1", "-s", "1", "-q", "-o", "livro.pdf"},
                     FPasta.string())
                  .Estado,
              0);
    const std::string receita = LerPdf("pdfinfo", Em("livro.pdf")).Saida;
    const size_t inicio = receita.find("TAVRELO-RECEITA/1");
    ASSERT_NE(inicio, std::string::npos);
    const std::string campos = receita.substr(inicio, receita.find("; soma=", inicio) - inicio);
    const auto comPrograma = [&](const std::string& AVersao) {
        std::string t = campos;
        const size_t p = t.find("programa=") + 9;
        t.replace(p, t.find(';', p) - p, AVersao);
        const uLong soma =
            crc32(0, reinterpret_cast<const Bytef*>(t.data()), static_cast<uInt>(t.size()));
        return "<< /Keywords " + teste::TextoPdf(t + Formatar("; soma=%.8lX", soma)) + " >>";
    };
    Criar(Em("ecra.pdf"), teste::PdfComInfo(comPrograma("1\x1B[2J\x1B]0;tudo bem\x07")));
    Criar(Em("osc52.pdf"), teste::PdfComInfo(comPrograma("\x1B]52;c;b2zDoQ==\x07")));
    Criar(Em("bomba.pdf"), teste::PdfBomba(1024));
    Criar(Em("outra.pdf"), teste::PdfComInfo(comPrograma("0.9")));
    const std::vector<std::string> antes = Conteudo();
    for (const std::string pdf : {"ecra.pdf", "osc52.pdf", "bomba.pdf"}) {
        SCOPED_TRACE(pdf);
        const TResultadoPrograma r = Correr({"--refazer", pdf, "-o", "x.pdf"}, FPasta.string());
        EXPECT_EQ(r.Estado, 2);
        ASSERT_FALSE(r.Erros.empty());
        EXPECT_EQ(r.Erros.find('\n'), r.Erros.size() - 1) << r.Erros;
        for (const char c : r.Erros.substr(0, r.Erros.size() - 1)) {
            EXPECT_GE(static_cast<unsigned char>(c), 0x20u) << r.Erros;
        }
        EXPECT_EQ(Conteudo(), antes);
    }
    // A recipe of another version that names it as versions are named: made, with the warning.
    const TResultadoPrograma outra =
        Correr({"--refazer", "outra.pdf", "-o", "y.pdf", "-q"}, FPasta.string());
    EXPECT_EQ(outra.Estado, 0);
    EXPECT_EQ(outra.Erros.rfind("Este livro foi feito pela versão 0.9 do TAVRELO, e esta é a ", 0),
              0u)
        << outra.Erros;
}

// Without its PDF reader beside it, the program says what is missing and where.
TEST_F(Programa, SemOLeitorDePdf) {
    ASSERT_EQ(Correr({"-t", "7", "-n", "1", "-p", "1", "-s", "1", "-q", "-o", "livro.pdf"},
                     FPasta.string())
                  .Estado,
              0);
    fs::create_directories(Em("bin"));
    fs::copy_file(TAVRELO_CLI_PATH, Em("bin/tavrelo-cli"));
    const teste::TComando r =
        teste::CorrerComando("cd '" + FPasta.string() + "' && bin/tavrelo-cli --refazer livro.pdf");
    EXPECT_EQ(r.Estado, 2);
    EXPECT_EQ(r.Saida, "Não foi possível ler «livro.pdf»: falta o programa que lê os PDF, " +
                           (FPasta / "libexec/tavrelo/tavrelo-leitor-pdf").string() +
                           " (instale o TAVRELO outra vez).\n");
}

// The book's folder renamed while the book is made: the book goes where the folder went, and
// the line that says where names it there. The JSON, a FIFO outside the folder, holds the
// program (a FIFO waits for its reader) once the PDF's folder is held, while it is renamed.
TEST_F(Programa, PastaMudadaDuranteOLivro) {
    fs::create_directories(Em("livros"));
    ASSERT_EQ(::mkfifo(Em("dados.json").c_str(), 0600), 0);
    TPrograma programa({"-n", "1", "-p", "1", "-o", "livros/livro.pdf", "--json", "dados.json"},
                       FPasta.string());
    // The PDF's temporary file appears once its folder is held.
    for (int i = 0; i < 6000 && fs::is_empty(Em("livros")); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(fs::is_empty(Em("livros")));
    fs::rename(Em("livros"), Em("arquivo"));
    const std::string json = Ler(Em("dados.json")); // opens the FIFO: the program goes on
    const TResultadoPrograma r = programa.Esperar();
    ASSERT_EQ(r.Estado, 0) << r.Erros;
    EXPECT_FALSE(json.empty());
    EXPECT_TRUE(fs::is_regular_file(Em("arquivo/livro.pdf")));
    EXPECT_NE(r.Saida.find("PDF gravado em " + Em("arquivo/livro.pdf") + "\n"), std::string::npos)
        << r.Saida;
    EXPECT_NE(r.Saida.find("JSON gravado em " + Em("dados.json") + "\n"), std::string::npos)
        << r.Saida;
}

TEST_F(Programa, DestinoImpossivelSaiComEstado1SemGerar) {
    const std::string json = Em("nao-existe/livro.json");
    const TResultadoPrograma r =
        Correr({"-t", "16", "-n", "5", "-p", "100", "--sem-pdf", "--json", json});
    EXPECT_EQ(r.Estado, 1);
    EXPECT_EQ(r.Erros, "Não foi possível gravar " + json + ": a pasta não existe.\n");
    EXPECT_EQ(r.Saida, "");
    EXPECT_TRUE(Conteudo().empty());
}

// Waits until ACondicao holds, as long as a loaded machine may take; false if it never did.
bool EsperarAte(const std::function<bool()>& ACondicao) {
    const auto limite = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!ACondicao()) {
        if (std::chrono::steady_clock::now() > limite) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Whether the folder holds a temporary file whose name starts with APrefixo and that holds at
// least AMinimo bytes.
bool HaTemporario(const fs::path& APasta, const std::string& APrefixo, uintmax_t AMinimo) {
    for (const auto& e : fs::directory_iterator(APasta)) {
        std::error_code erro;
        if (e.path().filename().string().rfind(APrefixo, 0) == 0 &&
            fs::file_size(e.path(), erro) >= AMinimo && !erro) {
            return true;
        }
    }
    return false;
}

// Every signal that ends a program removes the temporary files and ends it with 128 + its
// number, the older files untouched. A request to stop (INT, TERM, HUP, USR1, USR2, ALRM)
// finishes the puzzle or page in course and says so; every other signal whose default is to
// end the program, the faults sent by another program too, and a second request end it at
// once.
TEST_F(Programa, CadaSinalSai128MaisONumeroENadaDeixa) {
    const std::string json = Em("livro.json");
    const std::string pdf = Em("livro.pdf");
    const std::string cancelada = "Geração cancelada aos ";
    const std::string interrompido = MensagemInterrompidoAoGravar() + "\n";
    struct TCaso {
        std::vector<int> Sinais;
        std::string Erros; // how standard error starts
        bool NasPaginas;   // sent once the PDF is being written
    };
    std::vector<TCaso> casos = {
        {{SIGINT}, cancelada, false},
        {{SIGTERM}, cancelada, false},
        {{SIGHUP}, cancelada, false},
        {{SIGUSR1}, cancelada, false},
        {{SIGUSR2}, cancelada, false},
        {{SIGALRM}, cancelada, false},
        // A second request, sent at once (two of the same signal could merge into one).
        {{SIGINT, SIGTERM}, "", false},
        // Ctrl-C while the pages are written: no puzzle is said to be cancelled.
        {{SIGINT}, interrompido, true},
    };
    for (const int s :
         {SIGQUIT, SIGPIPE, SIGSTKFLT, SIGXCPU, SIGVTALRM, SIGPROF, SIGIO, SIGPWR, SIGRTMIN,
          SIGRTMIN + 5, SIGRTMAX, SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS}) {
        casos.push_back({{s}, "", false});
    }
    for (const TCaso& c : casos) {
        SCOPED_TRACE("signal " + std::to_string(c.Sinais.front()) +
                     (c.NasPaginas ? ", pages" : ""));
        Criar(json, "antigo");
        const Args args = c.NasPaginas
                              ? Args{"-t", "8", "-n", "1", "-p", "100", "-o", pdf, "--json", json}
                              : Args{"-t", "16", "-n", "5", "-p", "100", "-o", pdf, "--json", json};
        TPrograma programa(args);
        // Until its book has begun a signal ends the program at once, without a word. The
        // pages' thread starts just after the first progress, so a second thread says the
        // puzzles are being made (a 16 × 16 book of level 5 takes a while yet); the PDF's
        // temporary file, written a block at a time, holds bytes once pages are drawn.
        ASSERT_TRUE(EsperarAte([&] {
            return c.NasPaginas ? HaTemporario(FPasta, ".livro.pdf.", 1) : programa.Fios() >= 2;
        }));
        for (const int s : c.Sinais) {
            programa.Sinal(s);
        }
        TResultadoPrograma r = programa.Esperar();
        r.Erros = SemAvisoDaPilha(r.Erros);
        EXPECT_EQ(r.Estado, 128 + c.Sinais.back()) << r.Erros;
        EXPECT_EQ(r.Erros.rfind(c.Erros, 0), 0u) << r.Erros;
        if (c.Erros.empty()) {
            EXPECT_EQ(r.Erros, "");
        }
        EXPECT_EQ(r.Saida, "");
        EXPECT_EQ(Ler(json), "antigo") << "the older file was replaced";
        EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.json"});
    }
}

// What cannot be replaced is written straight through, and stays what it was.
TEST_F(Programa, DestinosQueNaoSaoFicheiros) {
    // The PDF on standard output, complete; the messages then go to standard error.
    const std::string json = Em("livro.json");
    const TResultadoPrograma r =
        Correr({"-n", "1", "-p", "1", "-s", "FF", "-o", "-", "--json", json});
    ASSERT_EQ(r.Estado, 0) << r.Erros;
    EXPECT_EQ(r.Saida.rfind("%PDF-", 0), 0u);
    Criar(Em("saida.pdf"), r.Saida);
    EXPECT_EQ(LerPdf("qpdf --check", Em("saida.pdf")).Estado, 0);
    EXPECT_EQ(r.Erros.rfind("Livro gerado: 1 puzzle, ", 0), 0u) << r.Erros;
    EXPECT_NE(r.Erros.find("\nJSON gravado em " + json + "\n"), std::string::npos) << r.Erros;

    // A link to the program's own standard output is the standard output, not a file.
    fs::create_symlink("/proc/self/fd/1", Em("para-a-saida"));
    const TResultadoPrograma ligado =
        Correr({"-n", "1", "-p", "1", "-s", "FF", "--sem-pdf", "--json", Em("para-a-saida")});
    ASSERT_EQ(ligado.Estado, 0) << ligado.Erros;
    EXPECT_EQ(nlohmann::ordered_json::parse(ligado.Saida)["Codigo"], "000000FF");
    EXPECT_TRUE(fs::is_symlink(Em("para-a-saida")));

    // A FIFO with its reader, as --json >(jq .) gives; the reader is there before the program
    // and reads once it has ended (a one-puzzle book fits in the FIFO's buffer).
    ASSERT_EQ(::mkfifo(Em("fifo").c_str(), 0600), 0);
    const int leitor = ::open(Em("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(leitor, 0);
    const TResultadoPrograma pelaFifo =
        Correr({"-n", "1", "-p", "1", "-s", "FF", "--sem-pdf", "--json", Em("fifo")});
    EXPECT_EQ(pelaFifo.Estado, 0) << pelaFifo.Erros;
    std::string lido;
    char bloco[4096];
    ssize_t n = 0;
    while ((n = ::read(leitor, bloco, sizeof bloco)) > 0) {
        lido.append(bloco, static_cast<size_t>(n));
    }
    ::close(leitor);
    EXPECT_EQ(nlohmann::ordered_json::parse(lido)["Codigo"], "000000FF");
    EXPECT_TRUE(fs::is_fifo(Em("fifo")));

    // A link to a file elsewhere: that file is replaced, the link stays.
    fs::create_directory(Em("sub"));
    Criar(Em("sub/alvo.pdf"), "antigo");
    fs::create_symlink("sub/alvo.pdf", Em("ligacao.pdf"));
    ASSERT_EQ(Correr({"-n", "1", "-p", "1", "-o", Em("ligacao.pdf")}).Estado, 0);
    EXPECT_TRUE(fs::is_symlink(Em("ligacao.pdf")));
    EXPECT_EQ(Ler(Em("sub/alvo.pdf")).rfind("%PDF-", 0), 0u);

    // A full device (made here; only the superuser may): the book fails, the device stays a
    // device and the JSON beside it keeps its older text.
    if (::mknod(Em("cheio").c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0) {
        Criar(json, "antigo");
        const TResultadoPrograma cheio =
            Correr({"-n", "1", "-p", "1", "-o", Em("cheio"), "--json", json});
        EXPECT_EQ(cheio.Estado, 1);
        EXPECT_NE(cheio.Erros.find(Em("cheio") + ": não há espaço livre no disco."),
                  std::string::npos)
            << cheio.Erros;
        EXPECT_TRUE(fs::is_character_file(Em("cheio")));
        EXPECT_EQ(Ler(json), "antigo");
    }
    for (const auto& e : fs::recursive_directory_iterator(FPasta)) {
        EXPECT_NE(e.path().filename().string()[0], '.') << "left behind: " << e.path();
    }
}

// Standard output closed from the start, or by its reader half-way: the JSON meant for it
// cannot reach anyone, and the book says so or ends quietly, never with exit 0 or a damaged PDF.
TEST_F(Programa, SaidaPadraoFechada) {
    // The standard output named through a link, as /dev/stdout is.
    fs::create_symlink("/proc/self/fd/1", Em("saida"));
    const TResultadoPrograma ligada =
        TPrograma({"-n", "1", "-p", "1", "--sem-pdf", "--json", Em("saida")}, "", true).Esperar();
    EXPECT_EQ(ligada.Estado, 1);
    EXPECT_EQ(ligada.Erros,
              "Não foi possível gravar " + Em("saida") + ": a saída padrão está fechada.\n");
    fs::remove(Em("saida"));

    for (const bool comPdf : {false, true}) {
        Args args = {"-n", "1", "-p", "1", "--json", "-"};
        const Args destino = comPdf ? Args{"-o", Em("livro.pdf")} : Args{"--sem-pdf"};
        args.insert(args.end(), destino.begin(), destino.end());
        const TResultadoPrograma r = TPrograma(args, "", true).Esperar();
        EXPECT_EQ(r.Estado, 1);
        EXPECT_EQ(r.Erros, "Não foi possível escrever na saída padrão: está fechada.\n");
        EXPECT_TRUE(Conteudo().empty());
    }

    // Nothing printed reaches anyone: --help and --version, and where the book went (the book
    // is written).
    for (const Args& args :
         {Args{"--help"}, Args{"--version"}, Args{"-n", "1", "-p", "1", "-o", Em("livro.pdf")}}) {
        const TResultadoPrograma r = TPrograma(args, "", true).Esperar();
        EXPECT_EQ(r.Estado, 1) << args[0];
        EXPECT_EQ(r.Erros, "Não foi possível escrever na saída padrão: está fechada.\n");
    }
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.pdf"});
    fs::remove(Em("livro.pdf"));

    // tavrelo-cli -o livro.pdf --json - | head -c 100
    TPrograma programa({"-t", "12", "-n", "1", "-p", "20", "-o", Em("livro.pdf"), "--json", "-"});
    EXPECT_EQ(programa.LerEFecharSaida(100).size(), 100u);
    const TResultadoPrograma r = programa.Esperar();
    EXPECT_EQ(r.Estado, 128 + SIGPIPE);
    EXPECT_EQ(r.Erros, "");
    EXPECT_TRUE(Conteudo().empty());
}

// The program on a terminal: standard output and error on a pseudo-terminal.
std::string CorrerNumTerminal(Args AArgs, int& AEstado, unsigned short AColunas = 0) {
    std::string programa = TAVRELO_CLI_PATH;
    std::vector<char*> argv = Argv(programa, AArgs);
    int mestre = -1;
    winsize tamanho{};
    tamanho.ws_row = 24;
    tamanho.ws_col = AColunas;
    const pid_t pid = ::forkpty(&mestre, nullptr, nullptr, AColunas > 0 ? &tamanho : nullptr);
    if (pid == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    std::string texto;
    char bloco[4096];
    for (;;) {
        const ssize_t n = ::read(mestre, bloco, sizeof bloco);
        if (n > 0) {
            texto.append(bloco, static_cast<size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break; // EIO once the program has closed the terminal
        }
    }
    ::close(mestre);
    int estado = 0;
    ::waitpid(pid, &estado, 0);
    AEstado = EstadoDe(estado);
    return texto;
}

TEST_F(Programa, ProgressoSoNumTerminalESemSilencioso) {
    const std::string json = Em("livro.json");
    for (const bool silencioso : {false, true}) {
        Args args = {"-n", "1", "-p", "2", "--sem-pdf", "--json", json};
        if (silencioso) {
            args.push_back("-q");
        }
        int estado = -1;
        const std::string texto = CorrerNumTerminal(args, estado);
        EXPECT_EQ(estado, 0) << texto;
        const bool progresso =
            texto.find("\r[") != std::string::npos &&
            texto.find("2/2  A gerar o puzzle 2 de 2 (nível 1)") != std::string::npos;
        EXPECT_EQ(progresso, !silencioso) << texto;
        EXPECT_NE(texto.find("Livro gerado: 2 puzzles."), std::string::npos) << texto;
    }
}

// On a narrow terminal the progress line is cut to fit, between characters: "nível" is cut
// after its "í", never inside it.
TEST_F(Programa, ProgressoCortadoNumTerminalEstreito) {
    int estado = -1;
    const std::string texto =
        CorrerNumTerminal({"-n", "1", "-p", "2", "--sem-pdf", "--json", Em("l.json")}, estado, 60);
    EXPECT_EQ(estado, 0) << texto;
    const std::string cortada = "] 2/2  A gerar o puzzle 2 de 2 (n\xC3\xAD\x1b[K";
    EXPECT_NE(texto.find(cortada), std::string::npos) << texto;
}

// The folder is checked before the book is made: no progress ever shows.
TEST_F(Programa, DestinoImpossivelAntesDeQualquerProgresso) {
    for (const Args& destino : {Args{"--sem-pdf", "--json", Em("nao-existe/livro.json")},
                                Args{"-o", Em("nao-existe/livro.pdf")}}) {
        Args args = {"-t", "16", "-n", "5", "-p", "100"};
        args.insert(args.end(), destino.begin(), destino.end());
        int estado = -1;
        const std::string texto = CorrerNumTerminal(args, estado);
        EXPECT_EQ(estado, 1) << texto;
        EXPECT_NE(texto.find("Não foi possível gravar " + destino.back() + ": a pasta não existe."),
                  std::string::npos)
            << texto;
        EXPECT_EQ(texto.find("A preparar o livro"), std::string::npos) << texto;
    }
    EXPECT_TRUE(Conteudo().empty());
}

// A file grown past the limit the shell gave it (ulimit -f) is a failed write like any other:
// status 1 and the reason, not death by SIGXFSZ; the older files stay and nothing is left.
TEST_F(Programa, LimiteDoTamanhoDosFicheiros) {
    const std::string pdf = Em("livro.pdf");
    const std::string json = Em("livro.json");
    Criar(json, "antigo");
    const TResultadoPrograma r =
        TPrograma({"-n", "1", "-p", "2", "-o", pdf, "--json", json}, "", false, [] {
            const rlimit limite{16 * 1024, 16 * 1024};
            ::setrlimit(RLIMIT_FSIZE, &limite);
        }).Esperar();
    EXPECT_EQ(r.Estado, 1);
    EXPECT_EQ(r.Erros, "Não foi possível terminar o livro: não foi possível gravar " + pdf +
                           ": o ficheiro excede o tamanho máximo permitido.\n");
    EXPECT_EQ(Ler(json), "antigo");
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.json"});
}

// What is written to standard output must get there, as coreutils require: help, version and
// the lines of a written book that cannot be written (a full disk, made here with mknod) end
// with status 1 and the reason; the book itself is written.
TEST_F(Programa, SaidaPadraoQueNaoSeEscreve) {
    if (::mknod(Em("cheio").c_str(), S_IFCHR | 0666, ::makedev(1, 7)) != 0) {
        GTEST_SKIP() << "only the superuser may make a full device here";
    }
    const auto naSaida = [&] {
        const int cheio = ::open(Em("cheio").c_str(), O_WRONLY);
        ::dup2(cheio, STDOUT_FILENO);
        ::close(cheio);
    };
    const std::string motivo =
        "Não foi possível escrever na saída padrão: não há espaço livre no disco.\n";
    for (const Args& args :
         {Args{"--help"}, Args{"--version"}, Args{"-n", "1", "-p", "1", "-o", Em("livro.pdf")}}) {
        const TResultadoPrograma r = TPrograma(args, "", false, naSaida).Esperar();
        EXPECT_EQ(r.Estado, 1) << args[0];
        EXPECT_EQ(r.Erros, motivo);
    }
    EXPECT_EQ(Ler(Em("livro.pdf")).rfind("%PDF-", 0), 0u);
}

// A PDF asked for on standard output while that is a terminal would fill it with binary:
// refused as a usage error, with what to do instead.
TEST_F(Programa, PdfNaoVaiParaOTerminal) {
    fs::create_symlink("/proc/self/fd/1", Em("saida"));
    for (const std::string& destino : {std::string("-"), Em("saida")}) {
        int estado = -1;
        const std::string texto = CorrerNumTerminal({"-n", "1", "-p", "1", "-o", destino}, estado);
        EXPECT_EQ(estado, 2) << texto;
        EXPECT_NE(texto.find("O PDF não é escrito no terminal: redirecione a saída padrão "
                             "(tavrelo-cli -o - > livro.pdf) ou indique o ficheiro com -o."),
                  std::string::npos)
            << texto;
        EXPECT_EQ(texto.find("%PDF"), std::string::npos);
    }
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"saida"});
}

// A name with control characters is shown with them escaped, wherever the program shows it:
// it cannot clear the terminal, change its colours or its title.
TEST_F(Programa, NomesMostradosSemCaracteresDeControlo) {
    const std::string pdf = Em("a\x1b[31mb.pdf");
    const std::string json = Em("c\nd.json");
    const TResultadoPrograma r = Correr({"-n", "1", "-p", "1", "-o", pdf, "--json", json});
    ASSERT_EQ(r.Estado, 0) << r.Erros;
    EXPECT_NE(r.Saida.find("\nPDF gravado em " + Em("a\\033[31mb.pdf") + "\nJSON gravado em " +
                           Em("c\\nd.json") + "\n"),
              std::string::npos)
        << r.Saida;
    EXPECT_TRUE(fs::exists(pdf));
    EXPECT_TRUE(fs::exists(json));

    const TResultadoPrograma falha = Correr({"-n", "1", "-p", "1", "-o",
                                             Em("nao\x1b]0;x\x07"
                                                "existe/l.pdf")});
    EXPECT_EQ(falha.Estado, 1);
    EXPECT_EQ(falha.Erros, "Não foi possível gravar " + Em("nao\\033]0;x\\007existe/l.pdf") +
                               ": a pasta não existe.\n");
    const TResultadoPrograma opcao = Correr({"-t", "\x1b[2J"});
    EXPECT_EQ(opcao.Estado, 2);
    EXPECT_EQ(opcao.Erros.rfind("Tamanho de grelha inválido: «\\033[2J»", 0), 0u) << opcao.Erros;
}

// /proc/<pid>/fd/N of another program (this test) that holds a regular file open: writing
// there would leave the older text after the book. Refused, the file untouched.
TEST_F(Programa, FicheiroAbertoPorOutroProgramaNaoEEscritoPorCima) {
    const std::string antigo(200 * 1024, 'x');
    Criar(Em("aberto"), antigo);
    const int d = ::open(Em("aberto").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(d, 0);
    const std::string alvo = "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(d);
    const TResultadoPrograma r = Correr({"-n", "1", "-p", "1", "--sem-pdf", "--json", alvo});
    ::close(d);
    EXPECT_EQ(r.Estado, 1);
    EXPECT_EQ(r.Erros, "Não foi possível gravar " + alvo +
                           ": é um ficheiro aberto por outro programa (indique o seu caminho).\n");
    EXPECT_EQ(Ler(Em("aberto")), antigo);
}

// A folder mounted twice (mount --bind a b) is one folder: the PDF and the JSON asked for
// under a new name in each are one file, refused. The mount is made in the program's own
// mount namespace, which leaves the system's mounts alone.
TEST_F(Programa, PastaMontadaDuasVezesEUmaSo) {
    fs::create_directory(Em("a"));
    fs::create_directory(Em("b"));
    const TResultadoPrograma r =
        TPrograma({"-n", "1", "-p", "1", "-o", Em("a/x.pdf"), "--json", Em("b/x.pdf")}, "", false,
                  [&] {
                      if (::unshare(CLONE_NEWNS) != 0 ||
                          ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                          ::mount(Em("a").c_str(), Em("b").c_str(), nullptr, MS_BIND, nullptr) !=
                              0) {
                          ::_exit(77);
                      }
                  })
            .Esperar();
    if (r.Estado == 77) {
        GTEST_SKIP() << "this machine lets no test mount a folder (unshare, mount --bind)";
    }
    EXPECT_EQ(r.Estado, 2);
    EXPECT_EQ(r.Erros.rfind("O PDF e o JSON não podem ser gravados no mesmo ficheiro: «" +
                                Em("b/x.pdf") + "».",
                            0),
              0u)
        << r.Erros;
    EXPECT_TRUE(fs::is_empty(Em("a")));
}

// A file its owner made read-only is not replaced by its owner (here nobody, when the test
// runs as the superuser), as cp and the shell refuse it: status 1, the file as it was.
TEST_F(Programa, FicheiroSoDeLeituraDoProprioDono) {
    const std::string pdf = Em("dono/livro.pdf");
    fs::create_directory(Em("dono"));
    Criar(pdf, "antigo");
    ::chmod(pdf.c_str(), 0444);
    std::function<void()> comoDono;
    std::string programa = TAVRELO_CLI_PATH;
    if (::geteuid() == 0) {
        ::chmod(FPasta.c_str(), 0755);
        const passwd* ninguem = ::getpwnam("nobody");
        ASSERT_NE(ninguem, nullptr);
        ASSERT_EQ(::chown(Em("dono").c_str(), ninguem->pw_uid, ninguem->pw_gid), 0);
        ASSERT_EQ(::chown(pdf.c_str(), ninguem->pw_uid, ninguem->pw_gid), 0);
        if (teste::CorrerNumFilho([&] {
                return teste::TornarSeNinguem() && ::access(Em("dono").c_str(), W_OK | X_OK) == 0
                           ? 0
                           : 1;
            }) != 0) {
            GTEST_SKIP() << "nobody cannot reach " << FPasta
                         << ": the temporary folder is under a folder only its owner enters";
        }
        // The build may be under a folder only its owner enters (a home, /root): nobody runs
        // a copy of the program, and of the leak suppressions it names, from this folder.
        programa = Em("tavrelo-cli");
        fs::copy_file(TAVRELO_CLI_PATH, programa);
        std::string lsan = std::getenv("LSAN_OPTIONS") ? std::getenv("LSAN_OPTIONS") : "";
        const std::string supressoes = "suppressions=\"";
        if (const size_t i = lsan.find(supressoes); i != std::string::npos) {
            const size_t inicio = i + supressoes.size();
            const size_t fim = lsan.find('"', inicio);
            fs::copy_file(lsan.substr(inicio, fim - inicio), Em("lsan.supp"));
            lsan.replace(inicio, fim - inicio, Em("lsan.supp"));
        }
        comoDono = [lsan] {
            ::setenv("LSAN_OPTIONS", lsan.c_str(), 1);
            if (!teste::TornarSeNinguem()) {
                ::_exit(126);
            }
        };
    }
    const TResultadoPrograma r =
        TPrograma({"-n", "1", "-p", "1", "-o", pdf}, "", false, comoDono, programa).Esperar();
    EXPECT_EQ(r.Estado, 1) << r.Erros;
    EXPECT_EQ(r.Erros, "Não foi possível gravar " + pdf + ": sem permissão para escrever.\n");
    EXPECT_EQ(Ler(pdf), "antigo");
    EXPECT_EQ(fs::directory_iterator(Em("dono"))->path(), pdf) << "nothing beside it";
}

} // namespace
} // namespace tavrelo
