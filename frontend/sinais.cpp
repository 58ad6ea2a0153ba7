#include "frontend/sinais.h"

#include "drawing/ficheiro.h"

#include <csignal>
#include <unistd.h>

namespace tavrelo {

namespace {

constexpr int SINAIS[] = {SIGINT,  SIGTERM, SIGHUP,  SIGPIPE, SIGQUIT,
                          SIGUSR1, SIGUSR2, SIGALRM, SIGXFSZ};
constexpr int SAIDA_POR_SINAL = 128;

extern "C" void AoSinalDeFim(int ASinal) {
    TerminarPeloSinal(ASinal);
}

} // namespace

std::span<const int> SinaisDeFim() {
    return SINAIS;
}

void TerminarPeloSinal(int ASinal) noexcept {
    ApagarTemporariosPendentes();
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

bool PrepararProcesso() {
    const bool descritores = ProtegerDescritoresPadrao();
    InstalarSinaisDeFim(AoSinalDeFim);
    return descritores;
}

} // namespace tavrelo
