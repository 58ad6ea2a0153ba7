#include "drawing/ficheiro.h"

#include "core/tipos.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavrelo {

namespace {

[[noreturn]] void Falhar(const std::string& ACaminho, int AErro) {
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

// The permissions a new file gets: those of the file it replaces, or the usual
// 0666 less the process's umask.
unsigned ModoDoFicheiro(const std::string& ACaminho) {
    struct stat info {};
    if (::stat(ACaminho.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        return info.st_mode & 07777;
    }
    return 0666u & ~MascaraDoProcesso();
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

void Esquecer(const char* ATemporario) {
    for (auto& lugar : g_Pendentes) {
        const char* esperado = ATemporario;
        if (lugar.compare_exchange_strong(esperado, nullptr)) {
            return;
        }
    }
}

} // namespace

void ApagarTemporariosPendentes() noexcept {
    for (const auto& lugar : g_Pendentes) {
        if (const char* temporario = lugar.load()) {
            ::unlink(temporario);
        }
    }
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
    case EDQUOT:
        return "não há espaço livre no disco";
    case EISDIR:
        return "é uma pasta";
    case ENAMETOOLONG:
        return "o nome é demasiado comprido";
    case EIO:
        return "erro de entrada/saída no disco";
    default:
        return Formatar("erro do sistema %d (%s)", AErro, std::strerror(AErro));
    }
}

TFicheiroAtomico::TFicheiroAtomico(std::string ACaminho) : FCaminho(std::move(ACaminho)) {
    namespace fs = std::filesystem;
    const fs::path alvo(FCaminho);
    if (FCaminho.empty() || !alvo.has_filename()) {
        throw EVelt("Não foi possível gravar " + FCaminho + ": falta o nome do ficheiro.");
    }
    std::error_code erro;
    if (fs::is_directory(alvo, erro)) {
        Falhar(FCaminho, EISDIR);
    }
    FModo = ModoDoFicheiro(FCaminho);

    // A hidden name beside the target: same folder, so the final rename stays on one
    // file system and is atomic.
    std::string escondido(".");
    escondido += alvo.filename().string();
    escondido += ".XXXXXX";
    const fs::path modelo = alvo.parent_path() / escondido;
    const std::string textoModelo = modelo.string();
    std::vector<char> nome(textoModelo.begin(), textoModelo.end());
    nome.push_back('\0');
    FDescritor = ::mkostemp(nome.data(), O_CLOEXEC);
    if (FDescritor < 0) {
        Falhar(FCaminho, errno);
    }
    FTemporario = nome.data();
    Registar(FTemporario.c_str());
}

TFicheiroAtomico::~TFicheiroAtomico() {
    Descartar();
}

void TFicheiroAtomico::Descartar() {
    if (FDescritor >= 0) {
        ::close(FDescritor);
        FDescritor = -1;
    }
    if (!FTemporario.empty()) {
        Esquecer(FTemporario.c_str());
        ::unlink(FTemporario.c_str());
        FTemporario.clear();
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
            Falhar(FCaminho, errno);
        }
        ATexto.remove_prefix(static_cast<size_t>(n));
    }
}

void TFicheiroAtomico::Confirmar() {
    if (FDescritor < 0) {
        throw EVelt("TFicheiroAtomico.Confirmar: ficheiro ja fechado");
    }
    if (::fchmod(FDescritor, static_cast<mode_t>(FModo)) != 0 || ::fsync(FDescritor) != 0) {
        Falhar(FCaminho, errno);
    }
    const int descritor = FDescritor;
    FDescritor = -1;
    if (::close(descritor) != 0) {
        Falhar(FCaminho, errno);
    }
    if (::rename(FTemporario.c_str(), FCaminho.c_str()) != 0) {
        Falhar(FCaminho, errno);
    }
    Esquecer(FTemporario.c_str());
    FTemporario.clear();
}

} // namespace tavrelo
