#include "files/alvo.h"

#include "files/ficheiro.h"
#include "files/mensagens.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace tavrelo {

namespace {

namespace fs = std::filesystem;

// Symbolic links followed before a target is refused as a loop, as the kernel counts them.
constexpr int MAX_LIGACOES = 40;

const char* const SAIDA_PADRAO = "-";

// A path cut at its last slash: the folder ("." when there is none) and the name in it.
struct TPartes {
    std::string Pasta;
    std::string Nome;
};

TPartes Partir(const std::string& ACaminho) {
    const size_t barra = ACaminho.rfind('/');
    if (barra == std::string::npos) {
        return {".", ACaminho};
    }
    return {barra == 0 ? "/" : ACaminho.substr(0, barra), ACaminho.substr(barra + 1)};
}

// AFolder opened to be held (O_PATH), relative to the folder ADe; not open, with errno set,
// when it cannot be.
TDescritor AbrirPasta(int ADe, const std::string& APasta) {
    return TDescritor(::openat(ADe, APasta.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
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

// Whether something found in the folder APasta may be written or followed: in a folder that
// everyone may write and that is sticky (/tmp), only what belongs to this user or to the
// folder's owner, so that nobody can plant a link, FIFO or file there for another user's
// program, the superuser's above all, to write into.
bool DonoAceite(const struct stat& APasta, const struct stat& AEntrada) {
    const bool partilhada = (APasta.st_mode & S_ISVTX) != 0 && (APasta.st_mode & S_IWOTH) != 0;
    return !partilhada || AEntrada.st_uid == ::geteuid() || AEntrada.st_uid == APasta.st_uid;
}

// AAlvo's name is a descriptor of the process AProcesso (its folder is /proc/<pid>/fd).
void DescritorDeProcesso(TAlvo& AAlvo, long AProcesso) {
    const long descritor = Numero(AAlvo.Nome);
    if (AProcesso == static_cast<long>(::getpid()) && descritor >= 0) {
        AAlvo.Tipo = TTipoDeAlvo::taDescritor;
        AAlvo.Descritor = static_cast<int>(descritor);
        AAlvo.Pasta.Fechar();
        return;
    }
    // Another program's descriptor: a stream it holds is written through, but a file it has
    // open would be written over in place, neither replaced nor cut to the new length.
    AAlvo.Tipo = TTipoDeAlvo::taOutro;
    AAlvo.DeProcesso = true;
    if (::fstatat(*AAlvo.Pasta, AAlvo.Nome.c_str(), &AAlvo.Info, 0) != 0) {
        AAlvo.Erro = errno == ENOENT ? EBADF : errno;
    } else if (S_ISDIR(AAlvo.Info.st_mode)) {
        AAlvo.Erro = EISDIR;
    } else if (S_ISREG(AAlvo.Info.st_mode)) {
        AAlvo.Erro = ERRO_FICHEIRO_DE_OUTRO_PROGRAMA;
    }
}

// The kind of the final target AAlvo.Info, and whether this user may write it.
void JulgarOFinal(TAlvo& AAlvo) {
    if (S_ISDIR(AAlvo.Info.st_mode)) {
        AAlvo.Erro = EISDIR;
        return;
    }
    if (!S_ISREG(AAlvo.Info.st_mode)) {
        AAlvo.Tipo = TTipoDeAlvo::taOutro;
        return;
    }
    AAlvo.Tipo = TTipoDeAlvo::taRegular;
    // Replacing is only renaming in the folder, but a file this user may not write is not
    // this user's to replace, as cp and the shell refuse it too; the superuser may.
    if (::faccessat(*AAlvo.Pasta, AAlvo.Nome.c_str(), W_OK, AT_EACCESS) != 0) {
        AAlvo.Erro = errno;
    }
}

// The target of the link ANome in APasta; empty with errno set when it cannot be read.
std::string LerLigacao(int APasta, const std::string& ANome) {
    std::vector<char> destino(static_cast<size_t>(PATH_MAX) + 1);
    const ssize_t n = ::readlinkat(APasta, ANome.c_str(), destino.data(), destino.size());
    if (n < 0 || static_cast<size_t>(n) >= destino.size()) {
        errno = n < 0 ? errno : ENAMETOOLONG;
        return {};
    }
    return std::string(destino.data(), static_cast<size_t>(n));
}

} // namespace

std::string CaminhoDaPasta(int APasta) {
    std::vector<char> caminho(static_cast<size_t>(PATH_MAX) + 1);
    const std::string ligacao = "/proc/self/fd/" + std::to_string(APasta);
    const ssize_t n = ::readlink(ligacao.c_str(), caminho.data(), caminho.size());
    if (n <= 0 || static_cast<size_t>(n) >= caminho.size() || caminho[0] != '/') {
        return {};
    }
    return std::string(caminho.data(), static_cast<size_t>(n));
}

TAlvo ResolverAlvo(const std::string& ACaminho) {
    TAlvo alvo;
    if (ACaminho == SAIDA_PADRAO) {
        alvo.Tipo = TTipoDeAlvo::taDescritor;
        alvo.Descritor = STDOUT_FILENO;
        return alvo;
    }
    alvo.Final = ACaminho;
    TPartes partes = Partir(ACaminho);
    alvo.Pasta = AbrirPasta(AT_FDCWD, partes.Pasta);
    alvo.Nome = std::move(partes.Nome);
    for (int ligacoes = 0;; ++ligacoes) {
        struct stat pasta {};
        if (!alvo.Pasta.Aberto() || ::fstat(*alvo.Pasta, &pasta) != 0) {
            alvo.Erro = errno;
            return alvo;
        }
        if (const long processo = ProcessoDaPastaDeDescritores(CaminhoDaPasta(*alvo.Pasta));
            processo >= 0) {
            DescritorDeProcesso(alvo, processo);
            return alvo;
        }
        if (alvo.Nome.empty()) {
            alvo.Erro = EISDIR; // a link to "folder/"
            return alvo;
        }
        if (::fstatat(*alvo.Pasta, alvo.Nome.c_str(), &alvo.Info, AT_SYMLINK_NOFOLLOW) != 0) {
            // Nothing of that name: a new file, unless the name itself is wrong.
            alvo.Erro = errno == ENOENT ? 0 : errno;
            return alvo;
        }
        if (!DonoAceite(pasta, alvo.Info)) {
            alvo.Erro = EACCES;
            return alvo;
        }
        if (!S_ISLNK(alvo.Info.st_mode)) {
            break;
        }
        if (ligacoes == MAX_LIGACOES) {
            alvo.Erro = ELOOP;
            return alvo;
        }
        const std::string destino = LerLigacao(*alvo.Pasta, alvo.Nome);
        if (destino.empty()) {
            alvo.Erro = errno;
            return alvo;
        }
        alvo.Final =
            destino[0] == '/' ? destino : (fs::path(alvo.Final).parent_path() / destino).string();
        partes = Partir(destino);
        alvo.Pasta = AbrirPasta(*alvo.Pasta, partes.Pasta);
        alvo.Nome = std::move(partes.Nome);
    }
    JulgarOFinal(alvo);
    return alvo;
}

// ---------------------------------------------------------------------------
// Two names for one file

namespace {

// What MesmoFicheiro compares: a file that exists by its device and inode; a name not taken
// yet by its folder's device and inode and the name; a name in a folder that does not exist
// by its path.
struct TIdentidade {
    enum class TChave : uint8_t { ckNenhuma, ckFicheiro, ckNomeNaPasta, ckCaminho };
    TChave Chave = TChave::ckNenhuma;
    dev_t Dispositivo = 0;
    ino_t Inode = 0;
    std::string Nome;

    bool operator==(const TIdentidade&) const = default;
};

TIdentidade Identidade(const std::string& ACaminho) {
    using TChave = TIdentidade::TChave;
    TIdentidade id;
    const TAlvo alvo = ResolverAlvo(ACaminho);
    struct stat info {};
    if (alvo.Tipo == TTipoDeAlvo::taDescritor) {
        if (::fstat(alvo.Descritor, &info) == 0) {
            id = {TChave::ckFicheiro, info.st_dev, info.st_ino, {}};
        } else {
            id = {TChave::ckCaminho, 0, 0, "/proc/self/fd/" + std::to_string(alvo.Descritor)};
        }
    } else if (alvo.Erro == ENOENT && !alvo.Pasta.Aberto()) {
        id = {TChave::ckCaminho, 0, 0, fs::absolute(alvo.Final).lexically_normal().string()};
    } else if (alvo.Erro != 0) {
        return id; // names nothing that may be written: the same as nothing else
    } else if (alvo.Tipo == TTipoDeAlvo::taNovo) {
        if (::fstat(*alvo.Pasta, &info) == 0) {
            id = {TChave::ckNomeNaPasta, info.st_dev, info.st_ino, alvo.Nome};
        }
    } else {
        id = {TChave::ckFicheiro, alvo.Info.st_dev, alvo.Info.st_ino, {}};
    }
    return id;
}

} // namespace

bool MesmoFicheiro(const std::string& A, const std::string& B) {
    const TIdentidade a = Identidade(A);
    return a.Chave != TIdentidade::TChave::ckNenhuma && a == Identidade(B);
}

} // namespace tavrelo
