#include "files/ficheiro.h"

#include "core/tipos.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace tavrelo {

namespace {

namespace fs = std::filesystem;

// Symbolic links followed before a target is refused as a loop, as the kernel counts them.
constexpr int MAX_LIGACOES = 40;
// The random part of a hidden name, filled by mkostemp or by NomeAoAcaso.
constexpr std::string_view SUFIXO_ESCONDIDO = ".XXXXXX";

const char* const SAIDA_PADRAO = "-";

// Which of the descriptors 0, 1 and 2 were closed when the program started.
std::array<std::atomic<bool>, 3> g_FechadoNoInicio{};

[[noreturn]] void Falhar(const std::string& ACaminho, int AErro) {
    if (ACaminho == SAIDA_PADRAO) {
        throw EVelt("Não foi possível escrever na saída padrão: " + MotivoDoErro(AErro) + ".");
    }
    throw EVelt("Não foi possível gravar " + ACaminho + ": " + MotivoDoErro(AErro) + ".");
}

// The process's umask, read from /proc: umask() itself can only be read by setting it,
// which would race with files created meanwhile on other threads. Where /proc does not
// tell, the usual 022.
unsigned MascaraDoProcesso() {
    std::ifstream estado("/proc/self/status");
    std::string linha;
    while (std::getline(estado, linha)) {
        if (linha.rfind("Umask:", 0) == 0) {
            try {
                return static_cast<unsigned>(std::stoul(linha.substr(6), nullptr, 8)) & 0777u;
            } catch (const std::exception&) {
                break;
            }
        }
    }
    return 022;
}

// The temporary names of the files being written, for ApagarTemporariosPendentes. A file
// whose name finds no free place is still written; only the quick clean-up misses it.
std::array<std::atomic<const char*>, 8> g_Pendentes{};
static_assert(std::atomic<const char*>::is_always_lock_free);

void Registar(const char* ATemporario) {
    for (auto& lugar : g_Pendentes) {
        const char* livre = nullptr;
        if (lugar.compare_exchange_strong(livre, ATemporario)) {
            return;
        }
    }
}

void Retirar(const char* ATemporario) {
    for (auto& lugar : g_Pendentes) {
        const char* esperado = ATemporario;
        if (lugar.compare_exchange_strong(esperado, nullptr)) {
            return;
        }
    }
}

// Every signal held back on this thread while it lives, so that a handler that ends the
// program cannot run between two steps that must go together.
class TSinaisRetidos {
  public:
    TSinaisRetidos() {
        sigset_t todos;
        sigfillset(&todos);
        pthread_sigmask(SIG_BLOCK, &todos, &FAntes);
    }
    ~TSinaisRetidos() { pthread_sigmask(SIG_SETMASK, &FAntes, nullptr); }
    TSinaisRetidos(const TSinaisRetidos&) = delete;
    TSinaisRetidos& operator=(const TSinaisRetidos&) = delete;

  private:
    sigset_t FAntes{};
};

// ---------------------------------------------------------------------------
// What a path names

enum class TTipoDeAlvo : uint8_t {
    taNovo,      // nothing of that name yet: a new regular file
    taRegular,   // a regular file, replaced
    taDescritor, // an open descriptor of this process ("-", or named through /proc/<pid>/fd)
    taOutro,     // a device, FIFO or socket, or a descriptor of another process
};

struct TAlvo {
    TTipoDeAlvo Tipo = TTipoDeAlvo::taNovo;
    fs::path Final;      // the path once its symbolic links are followed
    struct stat Info {}; // of the final file, for taRegular and taOutro
    int Descritor = -1;  // for taDescritor
    int Erro = 0;        // nonzero: the path names nothing that can be written
};

// The real path of a folder, or empty when it has none (it does not exist).
std::string PastaReal(const fs::path& APasta) {
    char* real = ::realpath(APasta.empty() ? "." : APasta.c_str(), nullptr);
    if (real == nullptr) {
        return {};
    }
    std::string r(real);
    std::free(real);
    return r;
}

// The digits of ATexto as a number, or -1 when it is not only digits.
long Numero(std::string_view ATexto) {
    if (ATexto.empty() || ATexto.size() > 9) {
        return -1;
    }
    long n = 0;
    for (const char c : ATexto) {
        if (c < '0' || c > '9') {
            return -1;
        }
        n = n * 10 + (c - '0');
    }
    return n;
}

// For a folder of open descriptors, /proc/<pid>/fd: the pid; else -1.
long ProcessoDaPastaDeDescritores(const std::string& APastaReal) {
    constexpr std::string_view PROC = "/proc/";
    constexpr std::string_view FD = "/fd";
    if (APastaReal.size() <= PROC.size() + FD.size() || APastaReal.rfind(PROC, 0) != 0 ||
        APastaReal.compare(APastaReal.size() - FD.size(), FD.size(), FD) != 0) {
        return -1;
    }
    return Numero(std::string_view(APastaReal)
                      .substr(PROC.size(), APastaReal.size() - PROC.size() - FD.size()));
}

// Whether the kernel would follow the link ALigacao found in the folder APasta: in a folder
// that everyone may write and that is sticky (/tmp), only a link of the follower or of the
// folder's owner is followed, so that nobody can aim another user's program, the superuser's
// above all, at a file of their choosing (fs.protected_symlinks).
bool LigacaoSegura(const fs::path& APasta, const struct stat& ALigacao) {
    struct stat pasta {};
    if (::stat(APasta.empty() ? "." : APasta.c_str(), &pasta) != 0) {
        return false;
    }
    const bool partilhada = (pasta.st_mode & S_ISVTX) != 0 && (pasta.st_mode & S_IWOTH) != 0;
    return !partilhada || ALigacao.st_uid == ::geteuid() || ALigacao.st_uid == pasta.st_uid;
}

// Follows the symbolic links of the last part of ACaminho, one at a time, so that the file
// replaced is the final target and its temporary file is made in that target's folder (the
// folders on the way may be links: the kernel follows those). A link into /proc/<pid>/fd
// names an open descriptor, not a file to replace: it stops there.
TAlvo Resolver(const std::string& ACaminho) {
    TAlvo alvo;
    if (ACaminho == SAIDA_PADRAO) {
        alvo.Tipo = TTipoDeAlvo::taDescritor;
        alvo.Descritor = STDOUT_FILENO;
        return alvo;
    }
    fs::path p(ACaminho);
    for (int ligacoes = 0;; ++ligacoes) {
        alvo.Final = p;
        const fs::path pasta = p.parent_path();
        const long processo = ProcessoDaPastaDeDescritores(PastaReal(pasta));
        if (processo >= 0) {
            const long descritor = Numero(p.filename().string());
            if (processo == static_cast<long>(::getpid()) && descritor >= 0) {
                alvo.Tipo = TTipoDeAlvo::taDescritor;
                alvo.Descritor = static_cast<int>(descritor);
            } else {
                alvo.Tipo = TTipoDeAlvo::taOutro;
            }
            return alvo;
        }
        if (::lstat(p.c_str(), &alvo.Info) != 0) {
            // Nothing of that name: a new file, unless the path itself is wrong. A folder
            // that does not exist is found when the temporary file is made.
            alvo.Erro = errno == ENOENT ? 0 : errno;
            return alvo;
        }
        if (!S_ISLNK(alvo.Info.st_mode)) {
            break;
        }
        if (ligacoes == MAX_LIGACOES) {
            alvo.Erro = ELOOP;
            return alvo;
        }
        if (!LigacaoSegura(pasta, alvo.Info)) {
            alvo.Erro = EACCES;
            return alvo;
        }
        std::vector<char> destino(static_cast<size_t>(PATH_MAX) + 1);
        const ssize_t n = ::readlink(p.c_str(), destino.data(), destino.size());
        if (n < 0 || static_cast<size_t>(n) >= destino.size()) {
            alvo.Erro = n < 0 ? errno : ENAMETOOLONG;
            return alvo;
        }
        const fs::path seguinte(std::string(destino.data(), static_cast<size_t>(n)));
        p = seguinte.is_absolute() ? seguinte : pasta / seguinte;
    }
    if (S_ISDIR(alvo.Info.st_mode)) {
        alvo.Erro = EISDIR;
    } else {
        alvo.Tipo = S_ISREG(alvo.Info.st_mode) ? TTipoDeAlvo::taRegular : TTipoDeAlvo::taOutro;
    }
    return alvo;
}

// A copy of the descriptor ADescritor of this process, for writing; -1 with errno set.
int CopiarDescritor(int ADescritor) {
    if (ADescritor <= STDERR_FILENO && g_FechadoNoInicio[static_cast<size_t>(ADescritor)]) {
        errno = EBADF; // closed when the program started: /dev/null stands in for it
        return -1;
    }
    const int modo = ::fcntl(ADescritor, F_GETFL);
    if (modo < 0) {
        return -1;
    }
    if ((modo & O_ACCMODE) == O_RDONLY) {
        errno = EBADF;
        return -1;
    }
    return ::fcntl(ADescritor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
}

// A stream to the socket named ACaminho; -1 with errno set.
int LigarAoSocket(const fs::path& ACaminho) {
    sockaddr_un endereco{};
    endereco.sun_family = AF_UNIX;
    const std::string& nome = ACaminho.native();
    if (nome.size() >= sizeof endereco.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(endereco.sun_path, nome.c_str(), nome.size() + 1);
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) {
        return -1;
    }
    if (::connect(s, reinterpret_cast<const sockaddr*>(&endereco), sizeof endereco) != 0) {
        const int erro = errno;
        ::close(s);
        errno = erro;
        return -1;
    }
    return s;
}

// A stream to a device, FIFO, socket or another process's descriptor; -1 with errno set.
int AbrirFluxo(const TAlvo& AAlvo) {
    if (S_ISSOCK(AAlvo.Info.st_mode)) {
        return LigarAoSocket(AAlvo.Final);
    }
    int d = -1;
    do {
        d = ::open(AAlvo.Final.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    } while (d < 0 && errno == EINTR);
    return d;
}

// A hidden name for AFinal: ".name.XXXXXX" in its folder, the name shortened (never inside a
// character) where the whole would be longer than the folder allows a name to be.
std::string ModeloEscondido(const fs::path& AFinal) {
    const fs::path pasta = AFinal.parent_path();
    const long limite = ::pathconf(pasta.empty() ? "." : pasta.c_str(), _PC_NAME_MAX);
    const size_t maximo = static_cast<size_t>(limite > 0 ? limite : NAME_MAX);
    const size_t extra = 1 + SUFIXO_ESCONDIDO.size();
    std::string nome = AFinal.filename().string();
    if (nome.size() + extra > maximo) {
        size_t corte = maximo > extra ? maximo - extra : 0;
        while (corte > 0 && (static_cast<unsigned char>(nome[corte]) & 0xC0u) == 0x80u) {
            --corte;
        }
        nome.resize(corte);
    }
    return (pasta / ("." + nome + std::string(SUFIXO_ESCONDIDO))).string();
}

// Fills the last six characters of ANome with letters and digits drawn at random.
void NomeAoAcaso(std::string& ANome) {
    static constexpr char LETRAS[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::atomic<uint64_t> g_Sorteio{0x9E3779B97F4A7C15u};
    uint64_t acaso = 0;
    if (::getrandom(&acaso, sizeof acaso, 0) != static_cast<ssize_t>(sizeof acaso)) {
        acaso = g_Sorteio.fetch_add(0x9E3779B97F4A7C15u) ^ static_cast<uint64_t>(::getpid());
    }
    for (size_t i = 0; i < 6; ++i) {
        ANome[ANome.size() - 6 + i] = LETRAS[acaso % (sizeof LETRAS - 1)];
        acaso /= sizeof LETRAS - 1;
    }
}

// The identity compared by MesmoFicheiro: a device and inode, or a final path.
struct TIdentidade {
    bool Resolvida = false;
    bool TemInode = false;
    dev_t Dispositivo = 0;
    ino_t Inode = 0;
    std::string Caminho;
};

TIdentidade Identidade(const std::string& ACaminho) {
    TIdentidade id;
    const TAlvo alvo = Resolver(ACaminho);
    if (alvo.Erro != 0) {
        return id;
    }
    id.Resolvida = true;
    struct stat info {};
    const bool temInfo =
        alvo.Tipo == TTipoDeAlvo::taDescritor
            ? ::fstat(alvo.Descritor, &info) == 0
            : alvo.Tipo != TTipoDeAlvo::taNovo && ::stat(alvo.Final.c_str(), &info) == 0;
    if (temInfo) {
        id.TemInode = true;
        id.Dispositivo = info.st_dev;
        id.Inode = info.st_ino;
    } else if (alvo.Tipo == TTipoDeAlvo::taDescritor) {
        id.Caminho = "/proc/self/fd/" + std::to_string(alvo.Descritor);
    } else {
        const std::string pasta = PastaReal(alvo.Final.parent_path());
        id.Caminho = pasta.empty() ? fs::absolute(alvo.Final).lexically_normal().string()
                                   : (fs::path(pasta) / alvo.Final.filename()).string();
    }
    return id;
}

} // namespace

void ApagarTemporariosPendentes() noexcept {
    for (const auto& lugar : g_Pendentes) {
        if (const char* temporario = lugar.load()) {
            ::unlink(temporario);
        }
    }
}

bool ProtegerDescritoresPadrao() noexcept {
    for (int d = STDIN_FILENO; d <= STDERR_FILENO; ++d) {
        if (::fcntl(d, F_GETFD) >= 0 || errno != EBADF) {
            continue;
        }
        // The lowest free descriptor is d itself: those below it are open by now.
        const int aberto = ::open("/dev/null", d == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (aberto != d) {
            if (aberto >= 0) {
                ::close(aberto);
            }
            return false;
        }
        g_FechadoNoInicio[static_cast<size_t>(d)] = true;
    }
    return true;
}

std::string MotivoDoErro(int AErro) {
    switch (AErro) {
    case ENOENT:
        return "a pasta não existe";
    case ENOTDIR:
        return "o caminho passa por algo que não é uma pasta";
    case EACCES:
    case EPERM:
        return "sem permissão para escrever";
    case EROFS:
        return "o disco só permite leitura";
    case ENOSPC:
        return "não há espaço livre no disco";
    case EDQUOT:
        return "a quota de disco do utilizador está esgotada";
    case EISDIR:
        return "é uma pasta";
    case ENAMETOOLONG:
        return "o nome é demasiado comprido";
    case ELOOP:
        return "há demasiadas ligações simbólicas encadeadas";
    case EMLINK:
        return "o ficheiro tem demasiadas ligações fixas";
    case EFBIG:
        return "o ficheiro excede o tamanho máximo permitido";
    case EMFILE:
        return "o programa tem demasiados ficheiros abertos";
    case ENFILE:
        return "o sistema tem demasiados ficheiros abertos";
    case EBUSY:
        return "o ficheiro ou dispositivo está ocupado";
    case ETXTBSY:
        return "o ficheiro é um programa em execução";
    case EIO:
        return "erro de entrada/saída no disco";
    case ENOMEM:
        return "não há memória suficiente";
    case EBADF:
        return "o descritor não está aberto para escrita";
    case ENXIO:
        return "o dispositivo não está disponível";
    case ECONNREFUSED:
        return "nenhum programa está à escuta nesse socket";
    case EPROTOTYPE:
        return "esse socket não aceita um fluxo de dados";
    case EPIPE:
        return "o programa que lia do outro lado já fechou a ligação";
    case EXDEV:
        return "o ficheiro está noutro sistema de ficheiros";
    case EOPNOTSUPP:
        return "o sistema de ficheiros não permite esta operação";
    case ESTALE:
        return "o ficheiro deixou de existir no servidor";
    default:
        return Formatar("erro do sistema n.º %d", AErro);
    }
}

bool MesmoFicheiro(const std::string& A, const std::string& B) {
    const TIdentidade a = Identidade(A);
    const TIdentidade b = Identidade(B);
    if (!a.Resolvida || !b.Resolvida || a.TemInode != b.TemInode) {
        return false;
    }
    return a.TemInode ? a.Dispositivo == b.Dispositivo && a.Inode == b.Inode
                      : a.Caminho == b.Caminho;
}

TFicheiroAtomico::TFicheiroAtomico(std::string ACaminho) : FCaminho(std::move(ACaminho)) {
    if (FCaminho.empty() || FCaminho.back() == '/') {
        throw EVelt("Não foi possível gravar " + FCaminho + ": falta o nome do ficheiro.");
    }
    const TAlvo alvo = Resolver(FCaminho);
    if (alvo.Erro != 0) {
        Falhar(FCaminho, alvo.Erro);
    }
    FFinal = alvo.Final.string();
    switch (alvo.Tipo) {
    case TTipoDeAlvo::taDescritor:
    case TTipoDeAlvo::taOutro:
        FFluxo = true;
        FDescritor = alvo.Tipo == TTipoDeAlvo::taDescritor ? CopiarDescritor(alvo.Descritor)
                                                           : AbrirFluxo(alvo);
        if (FDescritor < 0) {
            const int erro = errno;
            if (alvo.Tipo == TTipoDeAlvo::taDescritor && alvo.Descritor == STDOUT_FILENO &&
                g_FechadoNoInicio[STDOUT_FILENO]) {
                throw EVelt(FCaminho == SAIDA_PADRAO
                                ? std::string("Não foi possível escrever na saída padrão: está "
                                              "fechada.")
                                : "Não foi possível gravar " + FCaminho +
                                      ": a saída padrão está fechada.");
            }
            Falhar(FCaminho, erro);
        }
        return;
    case TTipoDeAlvo::taRegular:
        // The permission bits of the file replaced, less setuid and setgid: a book is no
        // program. Its owner and group too, where the process may give them.
        FModo = alvo.Info.st_mode & 01777u;
        FDono = alvo.Info.st_uid;
        FGrupo = alvo.Info.st_gid;
        FMudarDono = FDono != ::geteuid() || FGrupo != ::getegid();
        FOutrosNomes = alvo.Info.st_nlink > 1 ? alvo.Info.st_nlink - 1 : 0;
        break;
    case TTipoDeAlvo::taNovo:
        FModo = 0666u & ~MascaraDoProcesso();
        break;
    }

    // A hidden name beside the final target: same folder, so the final rename stays on one
    // file system and is atomic. Made and registered with the signals held back, so that no
    // handler can end the program in between and leave it unknown.
    std::string nome = ModeloEscondido(alvo.Final);
    FTemporario.reserve(nome.size());
    const TSinaisRetidos retidos;
    FDescritor = ::mkostemp(nome.data(), O_CLOEXEC);
    if (FDescritor < 0) {
        Falhar(FCaminho, errno);
    }
    FTemporario = nome;
    Registar(FTemporario.c_str());
}

TFicheiroAtomico::~TFicheiroAtomico() {
    Descartar();
}

void TFicheiroAtomico::Esquecer() {
    if (!FTemporario.empty()) {
        Retirar(FTemporario.c_str());
        FTemporario.clear();
    }
}

void TFicheiroAtomico::Descartar() {
    if (FDescritor >= 0) {
        ::close(FDescritor);
        FDescritor = -1;
    }
    if (!FTemporario.empty()) {
        // Removed before it is forgotten: a signal in between still finds it.
        ::unlink(FTemporario.c_str());
        Esquecer();
    }
}

void TFicheiroAtomico::Escrever(std::string_view ATexto) {
    if (FDescritor < 0) {
        throw EVelt("TFicheiroAtomico.Escrever: ficheiro ja fechado");
    }
    while (!ATexto.empty()) {
        const ssize_t n = ::write(FDescritor, ATexto.data(), ATexto.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                // A stream left non-blocking by whoever opened it: wait until it takes more.
                pollfd espera{FDescritor, POLLOUT, 0};
                ::poll(&espera, 1, -1);
                continue;
            }
            Falhar(FCaminho, errno);
        }
        ATexto.remove_prefix(static_cast<size_t>(n));
        FEscritos += static_cast<uint64_t>(n);
    }
}

// Completes the file: a regular one gets its permissions and owner and goes to the disk; a
// stream is closed. AFalha, when nonzero, is the errno this step fails with.
void TFicheiroAtomico::Fechar(int AFalha) {
    if (FDescritor < 0) {
        throw EVelt("TFicheiroAtomico.Confirmar: ficheiro ja fechado");
    }
    if (AFalha != 0) {
        Falhar(FCaminho, AFalha);
    }
    if (!FFluxo) {
        if (FMudarDono && ::fchown(FDescritor, FDono, FGrupo) != 0) {
            // Only the superuser may give a file away; the group, where the user is in it.
            [[maybe_unused]] const int grupo = ::fchown(FDescritor, static_cast<uid_t>(-1), FGrupo);
        }
        if (::fchmod(FDescritor, static_cast<mode_t>(FModo)) != 0 || ::fsync(FDescritor) != 0) {
            Falhar(FCaminho, errno);
        }
    }
    const int descritor = FDescritor;
    FDescritor = -1;
    if (::close(descritor) != 0 && errno != EINTR) {
        Falhar(FCaminho, errno);
    }
}

void TFicheiroAtomico::Confirmar() {
    TFicheiroAtomico* const este = this;
    ConfirmarJuntos(std::span<TFicheiroAtomico* const>(&este, 1));
}

bool ConfirmarJuntos(std::span<TFicheiroAtomico* const> AFicheiros,
                     const std::function<bool()>& APodeConfirmar, const TFalhaDoPasso& AFalha) {
    const auto falha = [&](TPassoDaConfirmacao APasso, size_t AIndice) {
        return AFalha ? AFalha(APasso, AIndice) : 0;
    };
    const auto descartarTodos = [&] {
        for (TFicheiroAtomico* f : AFicheiros) {
            f->Descartar();
        }
    };

    // Every file complete first. The regular files are listed, and the hidden names their
    // older files may take are made here: nothing may be allocated once a target is replaced.
    std::vector<size_t> regulares;
    std::vector<std::string> antigos(AFicheiros.size());
    try {
        for (size_t i = 0; i < AFicheiros.size(); ++i) {
            TFicheiroAtomico& f = *AFicheiros[i];
            f.Fechar(falha(TPassoDaConfirmacao::pcFechar, i));
            if (!f.FFluxo) {
                regulares.push_back(i);
                antigos[i] = ModeloEscondido(f.FFinal);
            }
        }
    } catch (...) {
        descartarTodos();
        throw;
    }

    const TSinaisRetidos retidos;
    if (APodeConfirmar && !APodeConfirmar()) {
        descartarTodos();
        return false;
    }

    // Each target replaced in turn. An older file is kept aside only where a later rename
    // could still fail, that is, for every regular file but the last.
    std::vector<char> guardado(AFicheiros.size(), 0); // its older file is under antigos[i]
    std::vector<char> movido(AFicheiros.size(), 0);   // kept by moving it, not by a hard link
    size_t substituidos = 0;
    size_t falhado = 0;
    int erro = 0;
    for (size_t k = 0; k < regulares.size(); ++k) {
        const size_t i = regulares[k];
        TFicheiroAtomico& f = *AFicheiros[i];
        struct stat info {};
        if (k + 1 < regulares.size() && ::lstat(f.FFinal.c_str(), &info) == 0) {
            for (int tentativa = 0;; ++tentativa) {
                NomeAoAcaso(antigos[i]);
                erro = falha(TPassoDaConfirmacao::pcGuardarAntigo, i);
                if (erro == 0 && ::link(f.FFinal.c_str(), antigos[i].c_str()) != 0) {
                    erro = errno;
                }
                if (erro == EPERM || erro == EOPNOTSUPP || erro == EMLINK || erro == ENOSYS) {
                    // No hard link here (a FAT disk): the older file itself steps aside until
                    // the new one takes its place.
                    erro = ::rename(f.FFinal.c_str(), antigos[i].c_str()) == 0 ? 0 : errno;
                    movido[i] = erro == 0;
                }
                if (erro != EEXIST || tentativa == 100) {
                    break;
                }
            }
            if (erro != 0) {
                falhado = i;
                break;
            }
            guardado[i] = 1;
        }
        erro = falha(TPassoDaConfirmacao::pcSubstituir, i);
        if (erro == 0 && ::rename(f.FTemporario.c_str(), f.FFinal.c_str()) != 0) {
            erro = errno;
        }
        if (erro != 0) {
            falhado = i;
            if (guardado[i] != 0) {
                // This target was not replaced: its older file only leaves the hidden name.
                if (movido[i] != 0) {
                    ::rename(antigos[i].c_str(), f.FFinal.c_str());
                } else {
                    ::unlink(antigos[i].c_str());
                }
                guardado[i] = 0;
            }
            break;
        }
        f.Esquecer();
        ++substituidos;
    }

    if (erro == 0) {
        for (size_t i = 0; i < AFicheiros.size(); ++i) {
            if (guardado[i] != 0) {
                ::unlink(antigos[i].c_str());
            }
        }
        return true;
    }

    // Back to the older files, the last replaced first; a target that was a new name is
    // removed again.
    std::vector<size_t> naoRepostos;
    naoRepostos.reserve(substituidos);
    for (size_t k = substituidos; k-- > 0;) {
        const size_t i = regulares[k];
        const TFicheiroAtomico& f = *AFicheiros[i];
        int r = falha(TPassoDaConfirmacao::pcRepor, i);
        if (r == 0) {
            const bool feito = guardado[i] != 0
                                   ? ::rename(antigos[i].c_str(), f.FFinal.c_str()) == 0
                                   : ::unlink(f.FFinal.c_str()) == 0;
            r = feito ? 0 : errno;
        }
        if (r != 0 && guardado[i] != 0) {
            naoRepostos.push_back(i);
        }
    }
    descartarTodos();
    std::string mensagem;
    try {
        Falhar(AFicheiros[falhado]->FCaminho, erro);
    } catch (const EVelt& e) {
        mensagem = e.what();
    }
    for (const size_t i : naoRepostos) {
        mensagem += " O ficheiro antigo de " + AFicheiros[i]->FCaminho +
                    " não pôde voltar ao seu lugar e ficou em " + antigos[i] + ".";
    }
    throw EVelt(mensagem);
}

} // namespace tavrelo
