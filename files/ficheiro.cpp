#include "files/ficheiro.h"

#include "core/tipos.h"
#include "files/alvo.h"
#include "files/sinais.h"
#include "files/temporarios.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tavrelo {

namespace {

const char* const SAIDA_PADRAO = "-";

// Which of the descriptors 0, 1 and 2 were closed when the program started.
std::array<std::atomic<bool>, 3> g_FechadoNoInicio{};

[[noreturn]] void Falhar(const std::string& ACaminho, int AErro) {
    throw EVelt(MensagemDeFalha(ACaminho, MotivoDoErro(AErro)));
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

// A stream to the socket AAlvo, reached through its held folder where the path fits.
int LigarAoSocket(const TAlvo& AAlvo) {
    sockaddr_un endereco{};
    endereco.sun_family = AF_UNIX;
    const std::string pelaPasta =
        "/proc/self/fd/" + std::to_string(*AAlvo.Pasta) + "/" + AAlvo.Nome;
    const std::string& nome = pelaPasta.size() < sizeof endereco.sun_path ? pelaPasta : AAlvo.Final;
    if (nome.size() >= sizeof endereco.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(endereco.sun_path, nome.c_str(), nome.size() + 1);
    TDescritor s(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!s.Aberto() ||
        ::connect(*s, reinterpret_cast<const sockaddr*>(&endereco), sizeof endereco) != 0) {
        return -1;
    }
    return s.Largar();
}

// Opens the stream AAlvo (a device, FIFO or socket, or another program's stream) into
// AFluxo; 0, or the reason it cannot be written.
int AbrirFluxo(const TAlvo& AAlvo, TDescritor& AFluxo) {
    const bool socket = S_ISSOCK(AAlvo.Info.st_mode);
    if (socket) {
        AFluxo = TDescritor(LigarAoSocket(AAlvo));
    } else {
        // Not through a link put in its place since it was looked at; /proc's links to
        // another program's streams are what is opened, though.
        const int semLigacao = AAlvo.DeProcesso ? 0 : O_NOFOLLOW;
        do {
            AFluxo = TDescritor(::openat(*AAlvo.Pasta, AAlvo.Nome.c_str(),
                                         O_WRONLY | O_NOCTTY | O_CLOEXEC | semLigacao));
        } while (!AFluxo.Aberto() && errno == EINTR);
    }
    if (!AFluxo.Aberto()) {
        return errno == ELOOP && !AAlvo.DeProcesso ? ERRO_DESTINO_MUDOU : errno;
    }
    struct stat aberto {};
    if (::fstat(*AFluxo, &aberto) != 0) {
        return errno;
    }
    if (!socket && (aberto.st_dev != AAlvo.Info.st_dev || aberto.st_ino != AAlvo.Info.st_ino)) {
        return ERRO_DESTINO_MUDOU; // something else was put there meanwhile
    }
    return 0;
}

} // namespace

bool FechadoNoInicio(int ADescritor) noexcept {
    return ADescritor >= STDIN_FILENO && ADescritor <= STDERR_FILENO &&
           g_FechadoNoInicio[static_cast<size_t>(ADescritor)];
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

TFicheiroAtomico::TFicheiroAtomico(std::string ACaminho) : FCaminho(std::move(ACaminho)) {
    if (FCaminho.empty() || FCaminho.back() == '/') {
        throw EVelt(MensagemDeFalha(FCaminho, "falta o nome do ficheiro"));
    }
    TAlvo alvo = ResolverAlvo(FCaminho);
    if (alvo.Erro != 0) {
        Falhar(FCaminho, alvo.Erro);
    }
    FFinal = alvo.Final;
    switch (alvo.Tipo) {
    case TTipoDeAlvo::taDescritor:
        FFluxo = true;
        FDescritor = TDescritor(CopiarDescritor(alvo.Descritor));
        if (!FDescritor.Aberto()) {
            const int erro = errno;
            if (alvo.Descritor == STDOUT_FILENO && g_FechadoNoInicio[STDOUT_FILENO]) {
                throw EVelt(FCaminho == SAIDA_PADRAO
                                ? MensagemDeFalha(FCaminho, "está fechada")
                                : MensagemDeFalha(FCaminho, "a saída padrão está fechada"));
            }
            Falhar(FCaminho, erro);
        }
        return;
    case TTipoDeAlvo::taOutro:
        FFluxo = true;
        if (const int erro = AbrirFluxo(alvo, FDescritor); erro != 0) {
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
    FPasta = std::move(alvo.Pasta);
    FNome = std::move(alvo.Nome);
    CriarTemporario();
}

void TFicheiroAtomico::CriarTemporario() {
    // A hidden name beside the final target: same folder, so the final rename stays on one
    // file system and is atomic. Made and registered with the signals held back, so that no
    // handler can end the program in between and leave it unknown.
    std::string nome = ModeloEscondido(*FPasta, FNome);
    FTemporario.reserve(nome.size());
    const TSinaisRetidos retidos;
    int erro = 0;
    for (int tentativa = 0; tentativa < 100 && !FDescritor.Aberto(); ++tentativa) {
        NomeAoAcaso(nome);
        FDescritor = TDescritor(::openat(
            *FPasta, nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        erro = errno;
        if (!FDescritor.Aberto() && erro != EEXIST) {
            break;
        }
    }
    struct stat escrito {};
    if (!FDescritor.Aberto()) {
        Falhar(FCaminho, erro);
    }
    FTemporario = nome;
    FLugar = RegistarTemporario(*FPasta, FTemporario);
    if (::fstat(*FDescritor, &escrito) != 0) {
        Falhar(FCaminho, errno);
    }
    FDispositivo = escrito.st_dev;
    FInode = escrito.st_ino;
}

TFicheiroAtomico::~TFicheiroAtomico() {
    Descartar();
}

bool TFicheiroAtomico::TemporarioEhOMeu() const noexcept {
    struct stat t {};
    return ::fstatat(*FPasta, FTemporario.c_str(), &t, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(t.st_mode) && t.st_dev == FDispositivo && t.st_ino == FInode;
}

void TFicheiroAtomico::Esquecer() noexcept {
    RetirarTemporario(FLugar);
    FLugar = -1;
    FTemporario.clear();
}

void TFicheiroAtomico::Descartar() {
    FDescritor.Fechar();
    if (!FTemporario.empty()) {
        // Removed before it is forgotten: a signal in between still finds it. A name that is
        // no longer the file written is not this writer's to remove.
        if (TemporarioEhOMeu() && ::unlinkat(*FPasta, FTemporario.c_str(), 0) != 0 &&
            errno != ENOENT) {
            FErroDoDeixado = errno;
            FDeixado.swap(FTemporario);
        }
        Esquecer();
    }
}

std::string TFicheiroAtomico::AvisoDoTemporario() {
    if (FDeixado.empty()) {
        return {};
    }
    std::string aviso = " O ficheiro temporário " + OndeFicou(FDeixado) +
                        " não pôde ser apagado (" + MotivoDoErro(FErroDoDeixado) +
                        "): pode apagá-lo.";
    FDeixado.clear();
    return aviso;
}

std::string TFicheiroAtomico::Onde() const {
    if (FFluxo || !FPasta.Aberto()) {
        return FCaminho;
    }
    // The folder of the final target, as its path now names it, is still the one held.
    const size_t barra = FFinal.rfind('/');
    const std::string pasta = barra == std::string::npos ? "." : FFinal.substr(0, barra + 1);
    struct stat agora {
    }, segura{};
    if (::stat(pasta.c_str(), &agora) == 0 && ::fstat(*FPasta, &segura) == 0 &&
        agora.st_dev == segura.st_dev && agora.st_ino == segura.st_ino) {
        return FCaminho;
    }
    const std::string onde = CaminhoDaPasta(*FPasta);
    return onde.empty() ? FCaminho : (onde == "/" ? onde : onde + "/") + FNome;
}

void TFicheiroAtomico::Escrever(std::string_view ATexto) {
    if (!FDescritor.Aberto()) {
        throw EVelt("TFicheiroAtomico.Escrever: ficheiro ja fechado");
    }
    const TEscritaCompleta escrita = EscreverTudo(*FDescritor, ATexto);
    FEscritos += escrita.Escritos;
    if (escrita.Erro != 0) {
        Falhar(FCaminho, escrita.Erro);
    }
}

bool TFicheiroAtomico::Recomecar() {
    if (FFluxo || !FDescritor.Aberto()) {
        return FFluxo && FEscritos == 0;
    }
    if (::ftruncate(*FDescritor, 0) != 0 || ::lseek(*FDescritor, 0, SEEK_SET) != 0) {
        return false;
    }
    FEscritos = 0;
    return true;
}

void TFicheiroAtomico::Confirmar() {
    TFicheiroAtomico* const este = this;
    ConfirmarJuntos(std::span<TFicheiroAtomico* const>(&este, 1));
}

// ---------------------------------------------------------------------------
// The steps of putting the file in place

void TFicheiroAtomico::Completar(int AFalha) {
    if (!FDescritor.Aberto()) {
        throw EVelt("TFicheiroAtomico.Confirmar: ficheiro ja fechado");
    }
    if (AFalha != 0) {
        Falhar(FCaminho, AFalha);
    }
    if (!FFluxo) {
        if (FMudarDono && ::fchown(*FDescritor, FDono, FGrupo) != 0) {
            // Only the superuser may give a file away; the group, where the user is in it.
            [[maybe_unused]] const int grupo =
                ::fchown(*FDescritor, static_cast<uid_t>(-1), FGrupo);
        }
        if (::fchmod(*FDescritor, static_cast<mode_t>(FModo)) != 0 || ::fsync(*FDescritor) != 0) {
            Falhar(FCaminho, errno);
        }
    }
    if (const int erro = FDescritor.Fechar(); erro != 0) {
        Falhar(FCaminho, erro);
    }
}

int TFicheiroAtomico::Verificar(bool& AExiste) const noexcept {
    AExiste = false;
    if (!TemporarioEhOMeu()) {
        // The whole folder gone, or the file alone, is not a file swapped for another.
        struct stat pasta {
        }, temporario{};
        if (::fstat(*FPasta, &pasta) == 0 && pasta.st_nlink == 0) {
            return ERRO_PASTA_APAGADA;
        }
        if (::fstatat(*FPasta, FTemporario.c_str(), &temporario, AT_SYMLINK_NOFOLLOW) != 0 &&
            errno == ENOENT) {
            return ERRO_TEMPORARIO_APAGADO;
        }
        return ERRO_TEMPORARIO_TROCADO;
    }
    struct stat destino {};
    if (::fstatat(*FPasta, FNome.c_str(), &destino, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? 0 : errno;
    }
    if (S_ISDIR(destino.st_mode)) {
        return EISDIR;
    }
    AExiste = true;
    return S_ISREG(destino.st_mode) ? 0 : ERRO_DESTINO_MUDOU;
}

int TFicheiroAtomico::GuardarAntigo(std::string& AAntigo, bool& AMovido,
                                    int AFalha) const noexcept {
    AMovido = false;
    int erro = AFalha;
    for (int tentativa = 0; tentativa <= 100; ++tentativa) {
        NomeAoAcaso(AAntigo);
        if (erro == 0 && ::linkat(*FPasta, FNome.c_str(), *FPasta, AAntigo.c_str(), 0) != 0) {
            erro = errno;
        }
        if (erro == EPERM || erro == EOPNOTSUPP || erro == EMLINK || erro == ENOSYS) {
            // No hard link here (a FAT disk): the older file itself steps aside until the new
            // one takes its place. It was checked just before to be a regular file.
            erro = ::renameat(*FPasta, FNome.c_str(), *FPasta, AAntigo.c_str()) == 0 ? 0 : errno;
            AMovido = erro == 0;
        }
        if (erro != EEXIST) {
            break;
        }
        erro = 0;
    }
    return erro;
}

int TFicheiroAtomico::Substituir(int AFalha) noexcept {
    int erro = AFalha;
    if (erro == 0 && ::renameat(*FPasta, FTemporario.c_str(), *FPasta, FNome.c_str()) != 0) {
        erro = errno;
    }
    if (erro == 0) {
        Esquecer(); // the hidden name is the target's now
    }
    return erro;
}

int TFicheiroAtomico::Repor(const std::string& AAntigo, bool AGuardado) const noexcept {
    const bool feito = AGuardado ? ::renameat(*FPasta, AAntigo.c_str(), *FPasta, FNome.c_str()) == 0
                                 : ::unlinkat(*FPasta, FNome.c_str(), 0) == 0;
    return feito ? 0 : errno;
}

int TFicheiroAtomico::SoltarAntigo(const std::string& AAntigo, bool AVoltar) const noexcept {
    const bool feito = AVoltar ? ::renameat(*FPasta, AAntigo.c_str(), *FPasta, FNome.c_str()) == 0
                               : ::unlinkat(*FPasta, AAntigo.c_str(), 0) == 0;
    return feito ? 0 : errno;
}

std::string TFicheiroAtomico::OndeFicou(const std::string& AAntigo) const {
    std::string pasta = CaminhoDaPasta(*FPasta);
    if (pasta.empty()) {
        const size_t barra = FFinal.rfind('/');
        pasta = barra == std::string::npos ? "." : FFinal.substr(0, barra);
    }
    return NomeParaMostrar((pasta == "/" ? pasta : pasta + "/") + AAntigo);
}

} // namespace tavrelo
