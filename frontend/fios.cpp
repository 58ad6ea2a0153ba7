#include "frontend/fios.h"

#include "files/sinais.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <pthread.h>
#include <sched.h>
#include <string_view>
#include <system_error>

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

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TAVRELO_PILHA_PREDEFINIDA 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TAVRELO_PILHA_PREDEFINIDA 1
#endif
#endif

// The thread's body, owned by the thread once it runs.
void* Correr(void* ACorpo) noexcept {
    const std::unique_ptr<std::function<void()>> corpo(static_cast<std::function<void()>*>(ACorpo));
    (*corpo)();
    return nullptr;
}

void Juntar(uintptr_t APega) noexcept {
    ::pthread_join(static_cast<pthread_t>(APega), nullptr);
}

static_assert(sizeof(pthread_t) <= sizeof(uintptr_t));

// Attributes of a thread, destroyed with it.
struct TAtributos {
    pthread_attr_t A;
    TAtributos() {
        if (const int e = ::pthread_attr_init(&A); e != 0) {
            throw std::system_error(e, std::generic_category());
        }
    }
    ~TAtributos() { ::pthread_attr_destroy(&A); }
    TAtributos(const TAtributos&) = delete;
    TAtributos& operator=(const TAtributos&) = delete;
};

} // namespace

#ifdef TAVRELO_PILHA_PREDEFINIDA
const size_t PILHA_DO_FIO = 0; // the default
#else
const size_t PILHA_DO_FIO = size_t{512} * 1024;
#endif

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

TFio IniciarFioSemSinais(std::function<void()> ACorpo) {
    // The terminating signals sent from outside are left to the main thread. SIGPIPE is
    // raised by a thread's own write and is left to it: blocked, it would turn into a write
    // error instead of the quiet end of a closed pipe.
    sigset_t bloqueados;
    ::pthread_sigmask(SIG_SETMASK, nullptr, &bloqueados);
    for (const int s : SinaisDeFim()) {
        if (s != SIGPIPE) {
            sigaddset(&bloqueados, s);
        }
    }
    TAtributos atributos;
    if (PILHA_DO_FIO != 0) {
        ::pthread_attr_setstacksize(&atributos.A, PILHA_DO_FIO);
    }
    ::pthread_attr_setsigmask_np(&atributos.A, &bloqueados);
    auto corpo = std::make_unique<std::function<void()>>(std::move(ACorpo));
    pthread_t fio{};
    if (const int e = ::pthread_create(&fio, &atributos.A, Correr, corpo.get()); e != 0) {
        throw std::system_error(e, std::generic_category());
    }
    corpo.release(); // the thread's now
    return TFio(static_cast<uintptr_t>(fio), Juntar);
}

void UmaArenaParaTodosOsFios() {
    if (std::getenv("MALLOC_ARENA_MAX") == nullptr) {
        ::mallopt(M_ARENA_MAX, 1);
    }
}

} // namespace tavrelo
