#include "files/sinais.h"

#include "files/ficheiro.h"

#include <array>
#include <atomic>
#include <iterator>
#include <pthread.h>
#include <unistd.h>

namespace tavrelo {

namespace {

// The faults: what a bug or a broken library raises, and what another program may send too.
constexpr int FALHAS[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT};

std::atomic<TLimpezaFinal> g_LimpezaFinal{nullptr};
std::atomic<TAoPedido> g_AoPedido{nullptr};
std::atomic<TRespostaAosSinais> g_Resposta{TRespostaAosSinais::rsTerminar};
std::atomic<int> g_Pedido{0};
static_assert(std::atomic<TLimpezaFinal>::is_always_lock_free);
static_assert(std::atomic<TAoPedido>::is_always_lock_free);
static_assert(std::atomic<TRespostaAosSinais>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);

// What each fault did before, for the fault to end the program as it would have.
struct sigaction g_AntesDasFalhas[std::size(FALHAS)];

void Limpar() noexcept {
    ApagarTemporariosPendentes();
    if (const TLimpezaFinal limpeza = g_LimpezaFinal.load()) {
        limpeza();
    }
}

extern "C" void AoSinalDeFim(int ASinal) {
    const TRespostaAosSinais resposta = g_Resposta.load();
    if (resposta == TRespostaAosSinais::rsSeguir) {
        return;
    }
    if (resposta == TRespostaAosSinais::rsParar && SinalDePedido(ASinal)) {
        int nenhum = 0;
        if (g_Pedido.compare_exchange_strong(nenhum, ASinal)) {
            if (const TAoPedido aoPedido = g_AoPedido.load()) {
                aoPedido(ASinal);
            }
            return;
        }
    }
    TerminarPeloSinal(ASinal);
}

extern "C" void SemEfeito(int) {}

extern "C" void AoErroFatal(int ASinal, siginfo_t* AInfo, void*) {
    // kill from another program: an order to end, like any other signal.
    const bool deFora = AInfo != nullptr && AInfo->si_code <= 0 && AInfo->si_pid != ::getpid();
    if (deFora) {
        TerminarPeloSinal(ASinal);
    }
    Limpar();
    static const char aviso[] = "\nO programa terminou por um erro interno.\n";
    const ssize_t escrito = ::write(STDERR_FILENO, aviso, sizeof aviso - 1);
    (void)escrito;
    // The fault ends the program by the action there was before. A fault of the processor
    // comes again when the instruction is run again; one the program sent itself (abort) is
    // sent again, and arrives once this handler returns.
    for (size_t i = 0; i < std::size(FALHAS); ++i) {
        if (FALHAS[i] == ASinal) {
            ::sigaction(ASinal, &g_AntesDasFalhas[i], nullptr);
        }
    }
    if (AInfo == nullptr || AInfo->si_code <= 0) {
        ::raise(ASinal);
    }
}

// Sets AAccao for ASinal where it still has its default action: a signal the program was
// started with ignored stays ignored (SIGPIPE aside), and one that something else already
// handles (a profiler's SIGPROF) is left to it.
void SeLivre(int ASinal, const struct sigaction& AAccao) {
    struct sigaction antes {};
    if (::sigaction(ASinal, nullptr, &antes) != 0) {
        return;
    }
    const bool livre =
        (antes.sa_flags & SA_SIGINFO) == 0 &&
        (antes.sa_handler == SIG_DFL || (ASinal == SIGPIPE && antes.sa_handler == SIG_IGN));
    if (livre) {
        ::sigaction(ASinal, &AAccao, nullptr);
    }
}

void InstalarSinaisDeFim() {
    struct sigaction accao {};
    accao.sa_handler = AoSinalDeFim;
    sigemptyset(&accao.sa_mask);
    for (const int s : SinaisDeFim()) {
        sigaddset(&accao.sa_mask, s);
    }
    accao.sa_flags = SA_RESTART;
    for (const int s : SinaisDeFim()) {
        SeLivre(s, accao);
    }
    // Caught, not ignored: an ignored signal would stay ignored in the programs this one
    // starts (a PDF viewer).
    struct sigaction semEfeito {};
    semEfeito.sa_handler = SemEfeito;
    sigemptyset(&semEfeito.sa_mask);
    semEfeito.sa_flags = SA_RESTART;
    SeLivre(SIGXFSZ, semEfeito);
}

void InstalarLimpezaNasFalhas() {
    struct sigaction accao {};
    accao.sa_sigaction = AoErroFatal;
    sigemptyset(&accao.sa_mask);
    accao.sa_flags = SA_SIGINFO;
    for (size_t i = 0; i < std::size(FALHAS); ++i) {
        ::sigaction(FALHAS[i], &accao, &g_AntesDasFalhas[i]);
    }
}

} // namespace

std::span<const int> SinaisDeFim() {
    static const auto sinais = [] {
        struct TLista {
            std::array<int, 64> Sinais{};
            size_t N = 0;
        } lista;
        for (const int s : {SIGHUP, SIGINT, SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,
                            SIGSTKFLT, SIGXCPU, SIGVTALRM, SIGPROF, SIGIO, SIGPWR}) {
            lista.Sinais[lista.N++] = s;
        }
        for (int s = SIGRTMIN; s <= SIGRTMAX && lista.N < lista.Sinais.size(); ++s) {
            lista.Sinais[lista.N++] = s;
        }
        return lista;
    }();
    return {sinais.Sinais.data(), sinais.N};
}

bool SinalDePedido(int ASinal) noexcept {
    switch (ASinal) {
    case SIGINT:
    case SIGTERM:
    case SIGHUP:
    case SIGUSR1:
    case SIGUSR2:
    case SIGALRM:
        return true;
    default:
        return false;
    }
}

void ResponderAosSinais(TRespostaAosSinais AResposta) noexcept {
    g_Resposta.store(AResposta);
}

int PedidoDeParagem() noexcept {
    return g_Pedido.load();
}

void DefinirAoPedido(TAoPedido AAoPedido) noexcept {
    g_AoPedido.store(AAoPedido);
}

void DefinirLimpezaFinal(TLimpezaFinal ALimpeza) noexcept {
    g_LimpezaFinal.store(ALimpeza);
}

void TerminarPeloSinal(int ASinal) noexcept {
    Limpar();
    ::_exit(SaidaPeloSinal(ASinal));
}

bool PrepararProcesso() {
    const bool descritores = ProtegerDescritoresPadrao();
    InstalarSinaisDeFim();
    InstalarLimpezaNasFalhas();
    return descritores;
}

TSinaisRetidos::TSinaisRetidos() noexcept {
    sigset_t todos;
    sigfillset(&todos);
    pthread_sigmask(SIG_BLOCK, &todos, &FAntes);
}

TSinaisRetidos::~TSinaisRetidos() {
    pthread_sigmask(SIG_SETMASK, &FAntes, nullptr);
}

} // namespace tavrelo
