#include "frontend/pdf_lido.h"

#include "files/descritor.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <linux/close_range.h>
#include <mutex>
#include <new>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tavrelo {

namespace {

constexpr const char* NOME_DO_LEITOR = "tavrelo-leitor-pdf";

// The most the reader may say: its longest first line and the longest Keywords it passes on.
constexpr size_t MAXIMO_DA_SAIDA = 64 + MAXIMO_DAS_PALAVRAS;

std::mutex g_TrincoDoLeitor;

std::string& LeitorDefinido() {
    static std::string definido;
    return definido;
}

// The folder of the running program, or empty when the system does not say.
std::string PastaDoPrograma() {
    std::vector<char> caminho(static_cast<size_t>(PATH_MAX) + 1);
    const ssize_t n = ::readlink("/proc/self/exe", caminho.data(), caminho.size());
    if (n <= 0 || static_cast<size_t>(n) >= caminho.size()) {
        return {};
    }
    const std::string programa(caminho.data(), static_cast<size_t>(n));
    return programa.substr(0, programa.rfind('/'));
}

bool ProgramaExiste(const std::string& ACaminho) {
    struct stat info {};
    return ::stat(ACaminho.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// One limit of the reader (ABrando, the one that warns, and ADuro), never above the one this
// process already has: a lower limit that the user set holds for the reader too.
void Limitar(int ARecurso, rlim_t ABrando, rlim_t ADuro) noexcept {
    rlimit limite{};
    if (::getrlimit(ARecurso, &limite) != 0) {
        return;
    }
    limite.rlim_max = std::min(limite.rlim_max, ADuro);
    limite.rlim_cur = std::min({limite.rlim_cur, ABrando, limite.rlim_max});
    ::setrlimit(ARecurso, &limite);
}

struct TDescritoresDoFilho {
    int Pdf, Saida, Nulo, ErroDoExec;
};

// In the child, between fork and exec: only calls that are safe there.
[[noreturn]] void TornarSeLeitor(const TDescritoresDoFilho& AD, const char* APrograma,
                                 char* const* AArgumentos, pid_t APai) noexcept {
    // The handlers of this program are not the reader's: every signal back to its default,
    // then none held back (the thread that forked may hold them all).
    struct sigaction padrao {};
    padrao.sa_handler = SIG_DFL;
    sigemptyset(&padrao.sa_mask);
    for (int sinal = 1; sinal < NSIG; ++sinal) {
        if (sinal != SIGKILL && sinal != SIGSTOP) {
            ::sigaction(sinal, &padrao, nullptr);
        }
    }
    // The reader ends with this program, however it ends.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != APai) {
        ::_exit(127);
    }
    if (::dup2(AD.Pdf, STDIN_FILENO) < 0 || ::dup2(AD.Saida, STDOUT_FILENO) < 0 ||
        ::dup2(AD.Nulo, STDERR_FILENO) < 0) {
        ::_exit(127);
    }
    // Nothing else of this program's goes with it.
    ::close_range(STDERR_FILENO + 1, ~0u, CLOSE_RANGE_CLOEXEC);
    Limitar(RLIMIT_AS, MEMORIA_DO_LEITOR, MEMORIA_DO_LEITOR);
    // SIGXCPU at the first limit, SIGKILL a second later.
    Limitar(RLIMIT_CPU, PROCESSADOR_DO_LEITOR, PROCESSADOR_DO_LEITOR + 1);
    Limitar(RLIMIT_FSIZE, 0, 0);
    Limitar(RLIMIT_CORE, 0, 0);
    Limitar(RLIMIT_NOFILE, 32, 32);
    sigset_t nenhum;
    sigemptyset(&nenhum);
    ::sigprocmask(SIG_SETMASK, &nenhum, nullptr);
    ::execve(APrograma, AArgumentos, environ);
    const int erro = errno;
    const ssize_t escrito = ::write(AD.ErroDoExec, &erro, sizeof erro);
    (void)escrito;
    ::_exit(127);
}

// Whether this process runs under a limit on its address space lower than the reader's own:
// the reader then has that lower one.
bool MemoriaDoAmbiente() {
    rlimit limite{};
    return ::getrlimit(RLIMIT_AS, &limite) == 0 && limite.rlim_cur != RLIM_INFINITY &&
           limite.rlim_cur < MEMORIA_DO_LEITOR;
}

// The reader, started; Erro is set when it could not be.
struct TLeitorIniciado {
    pid_t Processo = -1;
    TDescritor Saida;
    TDescritor ErroDoExec;
    int Erro = 0;
};

TLeitorIniciado IniciarLeitor(int APdf, const std::string& APrograma) {
    TLeitorIniciado r;
    const TDescritor nulo(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    int saida[2] = {-1, -1};
    int erroDoExec[2] = {-1, -1};
    if (!nulo.Aberto() || ::pipe2(saida, O_CLOEXEC) != 0) {
        r.Erro = errno;
        return r;
    }
    r.Saida = TDescritor(saida[0]);
    const TDescritor escrita(saida[1]);
    if (::pipe2(erroDoExec, O_CLOEXEC) != 0) {
        r.Erro = errno;
        return r;
    }
    r.ErroDoExec = TDescritor(erroDoExec[0]);
    const TDescritor erroEscrito(erroDoExec[1]);
    std::string programa = APrograma;
    char* const argumentos[] = {programa.data(), nullptr};
    const TDescritoresDoFilho descritores{APdf, *escrita, *nulo, *erroEscrito};
    const pid_t pai = ::getpid();
    // Every signal held back across the fork, so that no handler of this program runs in the
    // child before it has put them all back to their defaults.
    sigset_t todos, antes;
    sigfillset(&todos);
    ::pthread_sigmask(SIG_BLOCK, &todos, &antes);
    r.Processo = ::fork();
    if (r.Processo == 0) {
        TornarSeLeitor(descritores, programa.c_str(), argumentos, pai);
    }
    const int erro = errno;
    ::pthread_sigmask(SIG_SETMASK, &antes, nullptr);
    if (r.Processo < 0) {
        r.Erro = erro;
    }
    return r;
}

int Esperar(pid_t AProcesso) {
    int estado = 0;
    while (::waitpid(AProcesso, &estado, 0) < 0 && errno == EINTR) {
    }
    return estado;
}

} // namespace

std::optional<TRespostaLida> LerRespostaDoLeitor(std::string_view ASaida) {
    const size_t fim = ASaida.find('\n');
    if (fim == std::string_view::npos) {
        return std::nullopt;
    }
    const auto linha =
        std::find(std::begin(LINHAS_DO_LEITOR), std::end(LINHAS_DO_LEITOR), ASaida.substr(0, fim));
    if (linha == std::end(LINHAS_DO_LEITOR)) {
        return std::nullopt;
    }
    TRespostaLida r;
    r.Tipo = static_cast<TRespostaDoLeitor>(linha - std::begin(LINHAS_DO_LEITOR));
    const std::string_view resto = ASaida.substr(fim + 1);
    if (r.Tipo == TRespostaDoLeitor::rlPalavras && resto.size() <= MAXIMO_DAS_PALAVRAS) {
        r.Palavras = std::string(resto);
    } else if (!resto.empty()) {
        return std::nullopt;
    }
    return r;
}

std::string CaminhoDoLeitor() {
    {
        const std::lock_guard<std::mutex> l(g_TrincoDoLeitor);
        if (!LeitorDefinido().empty()) {
            return LeitorDefinido();
        }
    }
    // Installed, the reader is in libexec/tavrelo under the programs' prefix; built, in
    // libexec/tavrelo of the build folder, where tavrelo-cli is, one above the window.
    const std::string pasta = PastaDoPrograma() + "/";
    const std::string lugares[] = {pasta + TAVRELO_LEITOR_INSTALADO,
                                   pasta + TAVRELO_PASTA_DO_LEITOR,
                                   pasta + "../" + TAVRELO_PASTA_DO_LEITOR};
    for (const std::string& lugar : lugares) {
        const std::string programa =
            std::filesystem::path(lugar + "/" + NOME_DO_LEITOR).lexically_normal().string();
        if (ProgramaExiste(programa)) {
            return programa;
        }
    }
    return std::filesystem::path(lugares[0] + "/" + NOME_DO_LEITOR).lexically_normal().string();
}

void DefinirLeitor(std::string APrograma) {
    const std::lock_guard<std::mutex> l(g_TrincoDoLeitor);
    LeitorDefinido() = std::move(APrograma);
}

TLeituraDoPdf LerPdf(int ADescritor, const std::atomic<bool>* AParar) {
    TLeituraDoPdf r;
    const std::string programa = CaminhoDoLeitor();
    if (!ProgramaExiste(programa)) {
        r.Falha = TFalhaDoLeitor::flSemLeitor;
        return r;
    }
    const bool memoriaDoAmbiente = MemoriaDoAmbiente();
    TLeitorIniciado leitor = IniciarLeitor(ADescritor, programa);
    if (leitor.Processo < 0) {
        if (leitor.Erro == ENOMEM) {
            throw std::bad_alloc();
        }
        r.Falha = TFalhaDoLeitor::flNaoArrancou;
        r.Erro = leitor.Erro;
        return r;
    }

    // What it says, to its end, as long as it keeps within its time and what it may say.
    using TRelogio = std::chrono::steady_clock;
    const TRelogio::time_point prazo = TRelogio::now() + std::chrono::seconds(SEGUNDOS_DO_LEITOR);
    std::string saida;
    bool parado = false;
    bool cancelada = false;
    for (;;) {
        if (AParar != nullptr && AParar->load()) {
            cancelada = parado = true;
        } else if (TRelogio::now() >= prazo || saida.size() > MAXIMO_DA_SAIDA) {
            parado = true;
        }
        if (parado) {
            ::kill(leitor.Processo, SIGKILL);
            break;
        }
        pollfd espera{*leitor.Saida, POLLIN, 0};
        if (::poll(&espera, 1, 50) <= 0) {
            continue;
        }
        char bloco[4096];
        const ssize_t n = ::read(*leitor.Saida, bloco, sizeof bloco);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
            break;
        }
        if (n > 0) {
            saida.append(bloco, static_cast<size_t>(n));
        }
    }
    const int estado = Esperar(leitor.Processo);
    int erroDoExec = 0;
    const bool naoExecutou =
        ::read(*leitor.ErroDoExec, &erroDoExec, sizeof erroDoExec) == sizeof erroDoExec;

    if (cancelada) {
        r.Falha = TFalhaDoLeitor::flCancelada;
        return r;
    }
    // A program short of memory under a limit lower than the reader's own: the machine, or
    // the user's limit, is short, whatever the PDF.
    const bool curto = memoriaDoAmbiente && !parado;
    if (naoExecutou) {
        if (erroDoExec == ENOMEM) {
            throw std::bad_alloc();
        }
        r.Falha =
            erroDoExec == ENOENT ? TFalhaDoLeitor::flSemLeitor : TFalhaDoLeitor::flNaoArrancou;
        r.Erro = erroDoExec;
        return r;
    }
    if (parado || WIFSIGNALED(estado)) {
        if (curto) {
            throw std::bad_alloc();
        }
        // Past its processor time (SIGXCPU, then SIGKILL) or its memory (a library that cannot
        // go on without memory aborts, or faults), or stopped here.
        const bool terminado = WIFSIGNALED(estado) && WTERMSIG(estado) != SIGTERM &&
                               WTERMSIG(estado) != SIGINT && WTERMSIG(estado) != SIGHUP;
        r.Falha =
            parado || terminado ? TFalhaDoLeitor::flForaDosLimites : TFalhaDoLeitor::flSemResposta;
        return r;
    }
    const std::optional<TRespostaLida> resposta = LerRespostaDoLeitor(saida);
    if (!resposta) {
        if (curto) {
            throw std::bad_alloc(); // the loader could not map the reader's libraries
        }
        r.Falha = WEXITSTATUS(estado) == 127 ? TFalhaDoLeitor::flNaoArrancou
                                             : TFalhaDoLeitor::flSemResposta;
        return r;
    }
    if (resposta->Tipo == TRespostaDoLeitor::rlSemMemoria) {
        if (curto) {
            throw std::bad_alloc();
        }
        r.Falha = TFalhaDoLeitor::flForaDosLimites;
        return r;
    }
    r.Resposta = std::move(*resposta);
    return r;
}

} // namespace tavrelo
