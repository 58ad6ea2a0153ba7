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
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
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

// A socket listening at ACaminho, which takes connections without waiting for them to be
// accepted; -1 when it cannot be made.
int SocketAEscutar(const std::string& ACaminho) {
    sockaddr_un endereco{};
    endereco.sun_family = AF_UNIX;
    if (ACaminho.size() >= sizeof endereco.sun_path) {
        return -1;
    }
    std::memcpy(endereco.sun_path, ACaminho.c_str(), ACaminho.size() + 1);
    const int escuta = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    if (::bind(escuta, reinterpret_cast<const sockaddr*>(&endereco), sizeof endereco) != 0 ||
        ::listen(escuta, 1) != 0) {
        ::close(escuta);
        return -1;
    }
    return escuta;
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
    const std::string nomeSocket = Em("socket");
    const int escuta = SocketAEscutar(nomeSocket);
    ASSERT_GE(escuta, 0);
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
    // A folder everyone may write, sticky like /tmp, and in it a link, a FIFO (a reader waits on
    // it, so that writing into it would not block), a socket and a regular file.
    fs::create_directory(Em("partilhada"));
    ::chmod(Em("partilhada").c_str(), 01777);
    fs::create_symlink(Em("ficheiro"), Em("partilhada/alheia"));
    ASSERT_EQ(::mkfifo(Em("partilhada/fifo").c_str(), 0666), 0);
    const int leitor = ::open(Em("partilhada/fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(leitor, 0);
    const int escuta = SocketAEscutar(Em("partilhada/socket"));
    ASSERT_GE(escuta, 0);
    Criar(Em("partilhada/regular"), "alheio");
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
    // In the shared folder, what belongs to another user is neither followed nor written, as the
    // kernel does not follow such a link: nobody can aim the superuser's book at /etc/passwd,
    // nor plant a FIFO there for it to write into.
    for (const char* nome : {"alheia", "fifo", "socket", "regular"}) {
        const std::string alheio = Em("partilhada/") + nome;
        if (::lchown(alheio.c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)) == 0) {
            todos.emplace_back(alheio, "sem permissão para escrever");
        }
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
    EXPECT_EQ(LerAteAoFim(leitor), "") << "written into another user's FIFO";
    EXPECT_LT(::accept(escuta, nullptr, nullptr), 0) << "connected to another user's socket";
    EXPECT_EQ(Ler(Em("partilhada/regular")), "alheio");
    ::close(leitor);
    ::close(escuta);
}

// A file its owner made read-only is not replaced by its owner, as cp and the shell refuse to
// write it; the superuser may, and the file keeps its bits.
TEST_F(FicheiroAtomico, FicheiroSoDeLeitura) {
    const std::string alvo = Em("dono/livro.pdf");
    fs::create_directory(Em("dono"));
    Criar(alvo, "antigo");
    ::chmod(alvo.c_str(), 0444);
    const auto tentar = [&] {
        try {
            TFicheiroAtomico f(alvo);
            f.Escrever("novo");
            f.Confirmar();
        } catch (const EVelt& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    const std::string recusa = "Não foi possível gravar " + alvo + ": sem permissão para escrever.";
    if (::geteuid() != 0) {
        EXPECT_EQ(tentar(), recusa);
        EXPECT_EQ(Ler(alvo), "antigo");
        return;
    }
    // The owner, nobody, in a folder of its own.
    ::chmod(FPasta.c_str(), 0755);
    const passwd* ninguem = ::getpwnam("nobody");
    ASSERT_NE(ninguem, nullptr);
    ASSERT_EQ(::chown(Em("dono").c_str(), ninguem->pw_uid, ninguem->pw_gid), 0);
    ASSERT_EQ(::chown(alvo.c_str(), ninguem->pw_uid, ninguem->pw_gid), 0);
    EXPECT_EQ(teste::CorrerNumFilho([&] {
                  if (!teste::TornarSeNinguem()) {
                      return 3;
                  }
                  return tentar() == recusa ? 0 : 1;
              }),
              0);
    EXPECT_EQ(Ler(alvo), "antigo");
    EXPECT_EQ(tentar(), "") << "the superuser replaces it";
    EXPECT_EQ(Ler(alvo), "novo");
    EXPECT_EQ(Modo(alvo), 0444u);
    EXPECT_EQ(fs::directory_iterator(Em("dono"))->path(), alvo) << "nothing beside it";
}

// /proc/<pid>/fd/N of another program that has a regular file open names that file, open at
// its start and never cut: writing there would leave the older text after the book. It is
// refused, the file untouched; another program's stream is still written through.
TEST_F(FicheiroAtomico, FicheiroAbertoPorOutroPrograma) {
    Criar(Em("aberto"), std::string(1000, 'x'));
    int pronto[2], tubo[2];
    ASSERT_EQ(::pipe(pronto), 0);
    ASSERT_EQ(::pipe(tubo), 0);
    const pid_t outro = ::fork();
    if (outro == 0) {
        // Holds the file open on a descriptor of its own, and the pipe's writing end.
        const int d = ::open(Em("aberto").c_str(), O_RDWR);
        const ssize_t escrito = ::write(pronto[1], &d, sizeof d);
        (void)escrito;
        ::pause();
        ::_exit(0);
    }
    ::close(tubo[1]);
    int descritor = -1;
    ASSERT_EQ(::read(pronto[0], &descritor, sizeof descritor),
              static_cast<ssize_t>(sizeof descritor));
    const std::string proc = "/proc/" + std::to_string(outro) + "/fd/";
    std::string falha;
    try {
        TFicheiroAtomico f(proc + std::to_string(descritor));
        f.Escrever("livro");
        f.Confirmar();
    } catch (const EVelt& e) {
        falha = e.what();
    }
    EXPECT_EQ(falha, "Não foi possível gravar " + proc + std::to_string(descritor) +
                         ": é um ficheiro aberto por outro programa (indique o seu caminho).");
    EXPECT_EQ(Ler(Em("aberto")), std::string(1000, 'x'));
    {
        TFicheiroAtomico f(proc + std::to_string(tubo[1]));
        EXPECT_TRUE(f.Fluxo());
        f.Escrever("pelo tubo do outro");
        f.Confirmar();
    }
    ::kill(outro, SIGKILL);
    ::waitpid(outro, nullptr, 0);
    EXPECT_EQ(LerAteAoFim(tubo[0]), "pelo tubo do outro");
    for (const int d : {pronto[0], pronto[1], tubo[0]}) {
        ::close(d);
    }
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"aberto"});
}

// A folder mounted a second time elsewhere is one folder: a name not taken yet in it is the
// same file under both paths. Mounted in a mount namespace of a child process of its own,
// which leaves the system's mounts alone.
TEST_F(FicheiroAtomico, PastaMontadaDuasVezes) {
    fs::create_directory(Em("a"));
    fs::create_directory(Em("b"));
    Criar(Em("a/velho"), "");
    const int estado = teste::CorrerNumFilho([&] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(Em("a").c_str(), Em("b").c_str(), nullptr, MS_BIND, nullptr) != 0) {
            return 77;
        }
        const bool certo = MesmoFicheiro(Em("a/x.pdf"), Em("b/x.pdf")) &&
                           MesmoFicheiro(Em("a/velho"), Em("b/velho")) &&
                           !MesmoFicheiro(Em("a/x.pdf"), Em("b/y.pdf"));
        return certo ? 0 : 1;
    });
    if (estado == 77) {
        GTEST_SKIP() << "this machine lets no test mount a folder (unshare, mount --bind)";
    }
    EXPECT_EQ(estado, 0) << "a new name under the two mounts was not found to be one file";
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
        {"the second rename fails and the first, a new name, cannot be removed", false,
         P::pcSubstituir, 1, EIO, false, "b", true},
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
        if (c.AntigoPerdido && c.PrimeiroExiste) {
            // The new text stands where the older one could not return; the older one is kept
            // under the hidden name the message gives, and the message says which holds what.
            const size_t em = mensagem.find(" e ficou em ");
            ASSERT_NE(em, std::string::npos) << mensagem;
            const std::string escondido = mensagem.substr(em + 12, mensagem.size() - em - 13);
            EXPECT_EQ(mensagem, motivo + " " + Em("a") +
                                    " ficou com o que foi gravado agora: o que tinha antes não "
                                    "pôde voltar ao seu lugar e ficou em " +
                                    escondido + ".");
            EXPECT_EQ(Ler(Em("a")), "novo a");
            EXPECT_EQ(Ler(escondido), "antigo a");
            EXPECT_EQ(Conteudo().size(), 3u);
        } else if (c.AntigoPerdido) {
            // A name that was new keeps the new text: the message says so, not only the failure.
            EXPECT_EQ(mensagem, motivo + " " + Em("a") +
                                    " ficou com o que foi gravado agora: não existia antes, e não "
                                    "pôde ser apagado outra vez.");
            EXPECT_EQ(Ler(Em("a")), "novo a");
            EXPECT_EQ(Conteudo(), (std::vector<std::string>{"a", "b"}));
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

// Names are shown with their control characters and stray bytes escaped: a name cannot clear
// the terminal or hide part of itself; every other character, accents included, stays.
TEST(NomeParaMostrar, EscapaOQueAgeNoTerminal) {
    const struct {
        std::string Nome, Mostrado;
    } casos[] = {
        {"/tmp/Férias ção.pdf", "/tmp/Férias ção.pdf"},
        {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
        {"\x1b[2J\x1b[31mvermelho.pdf", "\\033[2J\\033[31mvermelho.pdf"},
        {"c1\xC2\x9B"
         "6n",
         "c1\\302\\2336n"},
        {"del\x7F", "del\\177"},
        {"barra\\n", "barra\\\\n"},
        {"meio\xE2\x82", "meio\\342\\202"},
        {"\xFF\xFEx", "\\377\\376x"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(NomeParaMostrar(c.Nome), c.Mostrado);
    }
    try {
        TFicheiroAtomico f("nao\x1b[2Jexiste/livro.pdf");
        ADD_FAILURE() << "a folder that does not exist";
    } catch (const EVelt& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Não foi possível gravar nao\\033[2Jexiste/livro.pdf: a pasta não existe.");
    }
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
