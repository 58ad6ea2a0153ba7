#include "files/sinais.h"

#include "files/ficheiro.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace tavrelo {

namespace {

constexpr int SINAIS[] = {SIGINT,  SIGTERM, SIGHUP,  SIGPIPE, SIGQUIT,
                          SIGUSR1, SIGUSR2, SIGALRM, SIGXFSZ};
constexpr int SAIDA_POR_SINAL = 128;

std::atomic<TLimpezaFinal> g_LimpezaFinal{nullptr};
static_assert(std::atomic<TLimpezaFinal>::is_always_lock_free);

void Limpar() noexcept {
    ApagarTemporariosPendentes();
    if (const TLimpezaFinal limpeza = g_LimpezaFinal.load()) {
        limpeza();
    }
}

extern "C" void AoSinalDeFim(int ASinal) {
    TerminarPeloSinal(ASinal);
}

// Runs once (SA_RESETHAND): on return the fault, or abort(), ends the program as it would have.
extern "C" void AoErroFatal(int) {
    Limpar();
    static const char aviso[] = "\nO programa terminou por um erro interno.\n";
    const ssize_t escrito = ::write(STDERR_FILENO, aviso, sizeof aviso - 1);
    (void)escrito;
}

} // namespace

std::span<const int> SinaisDeFim() {
    return SINAIS;
}

void DefinirLimpezaFinal(TLimpezaFinal ALimpeza) noexcept {
    g_LimpezaFinal.store(ALimpeza);
}

void TerminarPeloSinal(int ASinal) noexcept {
    Limpar();
    ::_exit(SAIDA_POR_SINAL + ASinal);
}

void InstalarSinaisDeFim(void (*AManipulador)(int)) {
    struct sigaction accao {};
    accao.sa_handler = AManipulador;
    sigemptyset(&accao.sa_mask);
    for (const int s : SINAIS) {
        sigaddset(&accao.sa_mask, s);
    }
    accao.sa_flags = SA_RESTART;
    for (const int s : SINAIS) {
        struct sigaction antes {};
        if (s != SIGPIPE && ::sigaction(s, nullptr, &antes) == 0 && antes.sa_handler == SIG_IGN) {
            continue;
        }
        ::sigaction(s, &accao, nullptr);
    }
}

void InstalarLimpezaNasFalhas() {
#if !defined(__SANITIZE_ADDRESS__)
    struct sigaction accao {};
    accao.sa_handler = AoErroFatal;
    sigemptyset(&accao.sa_mask);
    accao.sa_flags = static_cast<int>(SA_RESETHAND | SA_NODEFER);
    for (const int s : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        ::sigaction(s, &accao, nullptr);
    }
#endif
}

bool PrepararProcesso() {
    const bool descritores = ProtegerDescritoresPadrao();
    InstalarSinaisDeFim(AoSinalDeFim);
    InstalarLimpezaNasFalhas();
    return descritores;
}

} // namespace tavrelo
