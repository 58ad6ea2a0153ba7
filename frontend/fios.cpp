#include "frontend/fios.h"

#include "files/sinais.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <pthread.h>
#include <sched.h>
#include <string_view>

namespace tavrelo {

namespace {

// The number in TAVRELO_TRABALHADORES, or 0 when it holds none from 1 to the maximum.
int32_t TrabalhadoresPedidos() {
    const char* texto = std::getenv("TAVRELO_TRABALHADORES");
    if (texto == nullptr) {
        return 0;
    }
    const std::string_view v(texto);
    if (v.size() != 1 || v[0] < '1' || v[0] > '0' + MAX_TRABALHADORES) {
        return 0;
    }
    return v[0] - '0';
}

} // namespace

int32_t TrabalhadoresDoLivro() {
    if (const int32_t pedidos = TrabalhadoresPedidos(); pedidos > 0) {
        return pedidos;
    }
    cpu_set_t processadores;
    CPU_ZERO(&processadores);
    if (::sched_getaffinity(0, sizeof processadores, &processadores) != 0) {
        return 1;
    }
    return std::clamp<int32_t>(CPU_COUNT(&processadores), 1, MAX_TRABALHADORES);
}

std::thread IniciarFioSemSinais(std::function<void()> ACorpo) {
    // The terminating signals sent from outside are left to the main thread. SIGPIPE is
    // raised by a thread's own write and is left to it: blocked, it would turn into a write
    // error instead of the quiet end of a closed pipe.
    sigset_t bloqueados;
    sigemptyset(&bloqueados);
    for (const int s : SinaisDeFim()) {
        if (s != SIGPIPE) {
            sigaddset(&bloqueados, s);
        }
    }
    // The new thread inherits the mask in force when it is made; the caller's is put back.
    sigset_t antes;
    pthread_sigmask(SIG_BLOCK, &bloqueados, &antes);
    struct TRepor {
        const sigset_t& Antes;
        ~TRepor() { pthread_sigmask(SIG_SETMASK, &Antes, nullptr); }
    } repor{antes};
    return std::thread(std::move(ACorpo));
}

} // namespace tavrelo
