#include "files/ficheiro.h"

#include "core/tipos.h"

#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using FicheiroAtomico = teste::TPastaTemporaria;

// Everything a descriptor gives until its end.
std::string LerAteAoFim(int ADescritor) {
    std::string texto;
    char bloco[4096];
    ssize_t n = 0;
    while ((n = ::read(ADescritor, bloco, sizeof bloco)) > 0) {
        texto.append(bloco, static_cast<size_t>(n));
    }
    return texto;
}

TEST_F(FicheiroAtomico, SoApareceQuandoConfirmado) {
    const mode_t antes = ::umask(022);
    const std::string alvo = Em("livro.json");
    {
        TFicheiroAtomico f(alvo);
        f.Escrever("{\"a\": ");
        f.Escrever("1}\n");
        EXPECT_FALSE(fs::exists(alvo)) << "visible before it is complete";
        EXPECT_FALSE(f.Fluxo());
        f.Confirmar();
    }
    ::umask(antes);
    EXPECT_EQ(Ler(alvo), "{\"a\": 1}\n");
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.json"});
    EXPECT_EQ(Modo(alvo), 0644u) << "a new file is readable like any other, not private";

    Criar(alvo, "antigo");
    {
        TFicheiroAtomico f(alvo);
        f.Escrever("novo e incompleto");
    }
    EXPECT_EQ(Ler(alvo), "antigo") << "without Confirmar the older file stays";
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.json"});
}

// Each kind of target: what is replaced, what is written through, what stays as it was.
TEST_F(FicheiroAtomico, CadaTipoDeDestino) {
    fs::create_directory(Em("sub"));
    const std::string nomeLongo = std::string(246, 'l') + "ã" + std::string(6, 'l'); // 254 bytes
    struct TCaso {
        const char* Nome;
        std::function<std::string()> Preparar; // makes the target, returns the path given
        std::string Final;                     // the file that must hold the new text
        unsigned Modo;                         // its permission bits afterwards
    };
    const TCaso casos[] = {
        {"a regular file keeps its permission bits",
         [&] {
             Criar(Em("f"), "antigo");
             ::chmod(Em("f").c_str(), 0640);
             return Em("f");
         },
         Em("f"), 0640},
        {"setuid and setgid are not copied to the new file",
         [&] {
             Criar(Em("f"), "antigo");
             ::chmod(Em("f").c_str(), 06755);
             return Em("f");
         },
         Em("f"), 0755},
        {"a link is followed through a chain, its final target replaced",
         [&] {
             Criar(Em("sub/f"), "antigo");
             fs::create_symlink("sub/f", Em("l1"));
             fs::create_symlink(Em("l1"), Em("l2"));
             return Em("l2");
         },
         Em("sub/f"), 0644},
        {"a link to no file yet makes its target",
         [&] {
             fs::create_symlink("sub/g", Em("l"));
             return Em("l");
         },
         Em("sub/g"), 0644},
        {"a name of 254 bytes, longer than its hidden name may be", [&] { return Em(nomeLongo); },
         Em(nomeLongo), 0644},
    };
    const mode_t antes = ::umask(022);
    for (const TCaso& c : casos) {
        SCOPED_TRACE(c.Nome);
        const std::string dado = c.Preparar();
        const auto antigo = fs::symlink_status(dado).type();
        {
            TFicheiroAtomico f(dado);
            EXPECT_FALSE(f.Fluxo());
            f.Escrever("novo");
            f.Confirmar();
        }
        EXPECT_EQ(Ler(c.Final), "novo");
        EXPECT_EQ(Modo(c.Final), c.Modo);
        if (antigo == fs::file_type::symlink) {
            EXPECT_TRUE(fs::is_symlink(dado)) << "the link stays a link";
        }
        for (const auto& e : fs::recursive_directory_iterator(FPasta)) {
            EXPECT_NE(e.path().filename().string()[0], '.') << "left behind: " << e.path();
        }
        fs::remove_all(FPasta);
        fs::create_directory(FPasta);
        fs::create_directory(Em("sub"));
    }
    ::umask(antes);
}

// A file with a second name (a hard link) is replaced under the name given; the other name
// keeps the older text, and the writer says how many such names there were.
TEST_F(FicheiroAtomico, LigacaoFixaMantemOTextoAntigoNoOutroNome) {
    Criar(Em("a"), "antigo");
    fs::create_hard_link(Em("a"), Em("b"));
    TFicheiroAtomico f(Em("a"));
    EXPECT_EQ(f.OutrosNomes(), 1u);
    f.Escrever("novo");
    f.Confirmar();
    EXPECT_EQ(Ler(Em("a")), "novo");
    EXPECT_EQ(Ler(Em("b")), "antigo");
    EXPECT_EQ(Conteudo(), (std::vector<std::string>{"a", "b"}));
}

// What cannot be replaced is written through, and stays what it was. The readers are
// opened without waiting, so that a target wrongly replaced fails the test instead of
// leaving it waiting for a writer.
TEST_F(FicheiroAtomico, FluxosEscritosDiretamente) {
    // A FIFO, its reader already there.
    ASSERT_EQ(::mkfifo(Em("fifo").c_str(), 0600), 0);
    const int leitor = ::open(Em("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(leitor, 0);
    {
        TFicheiroAtomico f(Em("fifo"));
        EXPECT_TRUE(f.Fluxo());
        f.Escrever("pelo fifo");
        f.Confirmar();
    }
    EXPECT_EQ(LerAteAoFim(leitor), "pelo fifo");
    ::close(leitor);
    EXPECT_TRUE(fs::is_fifo(Em("fifo")));

    // A listening socket: the connection waits in its queue until the text is sent.
    const int escuta = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_un endereco{};
    endereco.sun_family = AF_UNIX;
    const std::string nomeSocket = Em("socket");
    ASSERT_LT(nomeSocket.size(), sizeof endereco.sun_path);
    std::memcpy(endereco.sun_path, nomeSocket.c_str(), nomeSocket.size() + 1);
    ASSERT_EQ(::bind(escuta, reinterpret_cast<const sockaddr*>(&endereco), sizeof endereco), 0);
    ASSERT_EQ(::listen(escuta, 1), 0);
    {
        TFicheiroAtomico f(nomeSocket);
        f.Escrever("pelo socket");
        f.Confirmar();
    }
    const int ligacao = ::accept(escuta, nullptr, nullptr);
    ASSERT_GE(ligacao, 0) << "nobody connected";
    EXPECT_EQ(LerAteAoFim(ligacao), "pelo socket");
    ::close(ligacao);
    ::close(escuta);
    EXPECT_TRUE(fs::is_socket(nomeSocket));

    // A link to an open descriptor of this process, as /dev/stdout is: the descriptor's own
    // stream, here a pipe; and "-", the standard output, the same way.
    int tubo[2];
    ASSERT_EQ(::pipe(tubo), 0);
    fs::create_symlink("/proc/self/fd/" + std::to_string(tubo[1]), Em("saida"));
    {
        TFicheiroAtomico f(Em("saida"));
        EXPECT_TRUE(f.Fluxo());
        f.Escrever("pelo descritor");
        f.Confirmar();
    }
    const int saida = ::dup(STDOUT_FILENO);
    ::dup2(tubo[1], STDOUT_FILENO);
    {
        TFicheiroAtomico f("-");
        f.Escrever(", pela saída padrão");
        f.Confirmar();
    }
    ::dup2(saida, STDOUT_FILENO);
    ::close(saida);
    ::close(tubo[1]);
    EXPECT_EQ(LerAteAoFim(tubo[0]), "pelo descritor, pela saída padrão");
    ::close(tubo[0]);
    EXPECT_TRUE(fs::is_symlink(Em("saida")));

    // Device nodes, made here (only the superuser may): a null device takes the text, a full
    // one refuses it; both stay devices.
    if (::mknod(Em("nulo").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0 &&
        ::mknod(Em("cheio").c_str(), S_IFCHR | 0666, ::makedev(1, 7)) == 0) {
        {
            TFicheiroAtomico f(Em("nulo"));
            f.Escrever("para nada");
            f.Confirmar();
        }
        try {
            TFicheiroAtomico f(Em("cheio"));
            f.Escrever("sem lugar");
            ADD_FAILURE() << "a full device took the text";
        } catch (const EVelt& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Não foi possível gravar " + Em("cheio") + ": não há espaço livre no disco.");
        }
        EXPECT_TRUE(fs::is_character_file(Em("nulo")));
        EXPECT_TRUE(fs::is_character_file(Em("cheio")));
    }
    EXPECT_EQ(Conteudo(), (std::vector<std::string>{"cheio", "fifo", "nulo", "saida", "socket"}))
        << "only the devices made above";
}

TEST_F(FicheiroAtomico, DestinoImpossivelFalhaLogoComOMotivo) {
    Criar(Em("ficheiro"), "");
    fs::create_symlink("volta", Em("ida"));
    fs::create_symlink("ida", Em("volta"));
    fs::create_directory(Em("pasta"));
    fs::create_symlink("pasta", Em("para-pasta"));
    // A descriptor of this process that is not open, named through /proc.
    int tubo[2];
    ASSERT_EQ(::pipe(tubo), 0);
    ::close(tubo[0]);
    ::close(tubo[1]);
    fs::create_symlink("/proc/self/fd/" + std::to_string(tubo[1]), Em("fechado"));
    const struct {
        std::string Alvo;
        const char* Motivo;
    } casos[] = {
        {Em("nao-existe/livro.json"), "a pasta não existe"},
        {FPasta.string(), "é uma pasta"},
        {Em("para-pasta"), "é uma pasta"},
        {Em("ficheiro/livro.json"), "o caminho passa por algo que não é uma pasta"},
        {Em("ida"), "há demasiadas ligações simbólicas encadeadas"},
        {Em(std::string(256, 'n')), "o nome é demasiado comprido"},
        {Em("fechado"), "o descritor não está aberto para escrita"},
    };
    std::vector<std::pair<std::string, const char*>> todos;
    for (const auto& c : casos) {
        todos.emplace_back(c.Alvo, c.Motivo);
    }
    // In a folder everyone may write, sticky like /tmp, a link of another user is not followed,
    // as the kernel does not follow it: nobody can aim the superuser's book at /etc/passwd.
    fs::create_directory(Em("partilhada"));
    ::chmod(Em("partilhada").c_str(), 01777);
    fs::create_symlink(Em("ficheiro"), Em("partilhada/alheia"));
    if (::lchown(Em("partilhada/alheia").c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)) == 0) {
        todos.emplace_back(Em("partilhada/alheia"), "sem permissão para escrever");
    }
    for (const auto& c : todos) {
        try {
            TFicheiroAtomico f(c.first);
            ADD_FAILURE() << "no error for " << c.first;
        } catch (const EVelt& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Não foi possível gravar " + c.first + ": " + c.second + ".");
        }
    }
    EXPECT_EQ(Conteudo(), (std::vector<std::string>{"fechado", "ficheiro", "ida", "para-pasta",
                                                    "partilhada", "pasta", "volta"}));
    EXPECT_EQ(Ler(Em("ficheiro")), "");
}

TEST_F(FicheiroAtomico, DoisNomesParaOMesmoFicheiro) {
    Criar(Em("a"), "");
    fs::create_hard_link(Em("a"), Em("fixa"));
    fs::create_symlink("a", Em("simbolica"));
    fs::create_symlink(".", Em("aqui"));
    fs::create_symlink("novo", Em("para-novo"));
    fs::create_symlink("/dev/stdout", Em("stdout"));
    Criar(Em("b"), "");
    int tubo[2];
    ASSERT_EQ(::pipe(tubo), 0);
    const int saida = ::dup(STDOUT_FILENO);
    ::dup2(tubo[1], STDOUT_FILENO);
    const struct {
        std::string A, B;
        bool Mesmo;
    } casos[] = {
        {Em("a"), Em("a"), true},
        {Em("a"), Em("aqui/a"), true},
        {Em("a"), "/proc/self/root" + Em("a"), true},
        {Em("a"), Em("fixa"), true},
        {Em("a"), Em("simbolica"), true},
        {Em("novo"), Em("aqui/./novo"), true},
        {Em("novo"), Em("para-novo"), true},
        {"-", "-", true},
        {"-", Em("stdout"), true},
        {"-", "/proc/self/fd/" + std::to_string(tubo[1]), true},
        {Em("a"), Em("b"), false},
        {Em("novo"), Em("outro"), false},
        {Em("a"), "-", false},
        {Em("nao-existe/a"), Em("nao-existe/./a"), true},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(MesmoFicheiro(c.A, c.B), c.Mesmo) << c.A << " / " << c.B;
    }
    ::dup2(saida, STDOUT_FILENO);
    ::close(saida);
    ::close(tubo[0]);
    ::close(tubo[1]);
}

// Two files put in place together: a failure at any step leaves both older files as they
// were and nothing beside them.
TEST_F(FicheiroAtomico, DoisFicheirosJuntosOuNenhum) {
    using P = TPassoDaConfirmacao;
    struct TCaso {
        const char* Nome;
        bool PrimeiroExiste;
        P Passo;
        size_t Ficheiro;
        int Erro;
        bool Gravados;      // both files replaced
        std::string Falha;  // the file named in the message, empty on success
        bool AntigoPerdido; // the first older file could not go back: it stays hidden, named
    };
    const TCaso casos[] = {
        {"the first file cannot reach the disk", true, P::pcFechar, 0, EIO, false, "a", false},
        {"the second file cannot reach the disk", true, P::pcFechar, 1, ENOSPC, false, "b", false},
        {"the first older file cannot be kept", true, P::pcGuardarAntigo, 0, EIO, false, "a",
         false},
        {"no hard links: the older file is moved aside", true, P::pcGuardarAntigo, 0, EPERM, true,
         "", false},
        {"the first rename fails", true, P::pcSubstituir, 0, EACCES, false, "a", false},
        {"the second rename fails", true, P::pcSubstituir, 1, EROFS, false, "b", false},
        {"the second rename fails, the first was a new name", false, P::pcSubstituir, 1, EROFS,
         false, "b", false},
        {"the second rename fails and the first cannot go back", true, P::pcSubstituir, 1, EIO,
         false, "b", true},
        {"every step succeeds", true, P::pcSubstituir, 9, 0, true, "", false},
    };
    for (const TCaso& c : casos) {
        SCOPED_TRACE(c.Nome);
        fs::remove_all(FPasta);
        fs::create_directory(FPasta);
        if (c.PrimeiroExiste) {
            Criar(Em("a"), "antigo a");
        }
        Criar(Em("b"), "antigo b");
        TFicheiroAtomico a(Em("a"));
        TFicheiroAtomico b(Em("b"));
        a.Escrever("novo a");
        b.Escrever("novo b");
        TFicheiroAtomico* const ambos[] = {&a, &b};
        const auto falha = [&](P APasso, size_t AFicheiro) {
            if (c.AntigoPerdido && APasso == P::pcRepor) {
                return EIO;
            }
            return APasso == c.Passo && AFicheiro == c.Ficheiro ? c.Erro : 0;
        };
        std::string mensagem;
        try {
            EXPECT_TRUE(ConfirmarJuntos(ambos, {}, falha));
        } catch (const EVelt& e) {
            mensagem = e.what();
        }
        if (c.Gravados) {
            EXPECT_EQ(mensagem, "");
            EXPECT_EQ(Ler(Em("a")), "novo a");
            EXPECT_EQ(Ler(Em("b")), "novo b");
            EXPECT_EQ(Conteudo(), (std::vector<std::string>{"a", "b"}));
            continue;
        }
        const std::string motivo =
            "Não foi possível gravar " + Em(c.Falha) + ": " + MotivoDoErro(c.Erro) + ".";
        EXPECT_EQ(mensagem.rfind(motivo, 0), 0u) << mensagem;
        EXPECT_EQ(Ler(Em("b")), "antigo b");
        if (c.AntigoPerdido) {
            // The new text stands where the older one could not return; the older one is kept
            // under the hidden name the message gives.
            const size_t em = mensagem.find(" e ficou em ");
            ASSERT_NE(em, std::string::npos) << mensagem;
            const std::string escondido = mensagem.substr(em + 12, mensagem.size() - em - 13);
            EXPECT_EQ(Ler(escondido), "antigo a");
            EXPECT_EQ(Conteudo().size(), 3u);
        } else if (c.PrimeiroExiste) {
            EXPECT_EQ(Ler(Em("a")), "antigo a");
            EXPECT_EQ(Conteudo(), (std::vector<std::string>{"a", "b"}));
        } else {
            EXPECT_EQ(Conteudo(), std::vector<std::string>{"b"});
        }
    }
}

// The last word before the renames is heard with every signal held back: a signal arriving
// then runs its handler only once the files are in place (or not), never half-way.
std::atomic<int> g_SinaisVistos{0};
extern "C" void ContarSinal(int) {
    g_SinaisVistos.fetch_add(1);
}

TEST_F(FicheiroAtomico, UltimaPalavraComOsSinaisRetidos) {
    struct sigaction accao {
    }, antes{};
    accao.sa_handler = ContarSinal;
    sigemptyset(&accao.sa_mask);
    ASSERT_EQ(::sigaction(SIGUSR1, &accao, &antes), 0);
    for (const bool confirmar : {false, true}) {
        SCOPED_TRACE(confirmar);
        Criar(Em("a"), "antigo");
        TFicheiroAtomico a(Em("a"));
        TFicheiroAtomico b(Em("b"));
        a.Escrever("novo");
        TFicheiroAtomico* const ambos[] = {&a, &b};
        g_SinaisVistos = 0;
        int vistosNaPergunta = -1;
        const bool feito = ConfirmarJuntos(ambos, [&] {
            ::raise(SIGUSR1);
            vistosNaPergunta = g_SinaisVistos.load();
            return confirmar;
        });
        EXPECT_EQ(feito, confirmar);
        EXPECT_EQ(vistosNaPergunta, 0) << "the handler ran while the files were being put in place";
        EXPECT_EQ(g_SinaisVistos.load(), 1) << "held back, then delivered";
        EXPECT_EQ(Ler(Em("a")), confirmar ? "novo" : "antigo");
        EXPECT_EQ(Conteudo(),
                  confirmar ? (std::vector<std::string>{"a", "b"}) : std::vector<std::string>{"a"});
        fs::remove(Em("b"));
    }
    ::sigaction(SIGUSR1, &antes, nullptr);
}

TEST(MotivoDoErro, EmPortuguesParaCadaCausaComum) {
    for (const int erro : {ENOENT, ENOTDIR,      EACCES, EPERM,  EROFS, ENOSPC, EDQUOT,
                           EISDIR, ENAMETOOLONG, ELOOP,  EMLINK, EFBIG, EMFILE, ENFILE,
                           EBUSY,  ETXTBSY,      EIO,    ENOMEM, EBADF, ENXIO,  EPIPE}) {
        const std::string motivo = MotivoDoErro(erro);
        EXPECT_EQ(motivo.find("erro do sistema"), std::string::npos) << erro << ": " << motivo;
        EXPECT_EQ(motivo.find(std::strerror(erro)), std::string::npos) << motivo;
    }
    EXPECT_EQ(MotivoDoErro(EDOM), Formatar("erro do sistema n.º %d", EDOM))
        << "an unusual errno is named by its number, not in English";
}

} // namespace
} // namespace tavrelo
