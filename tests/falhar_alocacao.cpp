#include "falhar_alocacao.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace teste {

namespace {

std::atomic<uint64_t> g_Faltam{0}; // allocations until the failure; 0: none asked for
std::atomic<int32_t> g_Fio{0};     // the thread whose allocations count; 0: every thread
std::atomic<bool> g_Falhou{false};
thread_local int32_t t_Fio = 0;
constexpr int32_t FIOS_CONTADOS = 8;
std::atomic<uint64_t> g_Contagem[FIOS_CONTADOS]; // allocations of each marked thread

void* Alocar(std::size_t ATamanho, std::size_t AAlinhamento = 0) {
    if (t_Fio > 0 && t_Fio < FIOS_CONTADOS) {
        g_Contagem[t_Fio].fetch_add(1, std::memory_order_relaxed);
    }
    if (g_Faltam.load(std::memory_order_relaxed) != 0 &&
        (g_Fio.load(std::memory_order_relaxed) == 0 || g_Fio.load() == t_Fio) &&
        g_Faltam.fetch_sub(1) == 1) {
        g_Falhou.store(true);
        return nullptr;
    }
    const std::size_t tamanho = ATamanho == 0 ? 1 : ATamanho;
    if (AAlinhamento > alignof(std::max_align_t)) {
        return std::aligned_alloc(AAlinhamento,
                                  (tamanho + AAlinhamento - 1) / AAlinhamento * AAlinhamento);
    }
    return std::malloc(tamanho);
}

void* AlocarOuFalhar(std::size_t ATamanho, std::size_t AAlinhamento = 0) {
    void* p = Alocar(ATamanho, AAlinhamento);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

} // namespace

void FalharAlocacao(uint64_t AEnesima) {
    FalharAlocacaoNoFio(AEnesima, 0);
}

void FalharAlocacaoNoFio(uint64_t AEnesima, int32_t AFio) {
    g_Faltam.store(0);
    for (std::atomic<uint64_t>& c : g_Contagem) {
        c.store(0);
    }
    g_Falhou.store(false);
    g_Fio.store(AFio);
    g_Faltam.store(AEnesima);
}

void MarcarFio(int32_t AFio) {
    t_Fio = AFio;
}

bool AlocacaoFalhou() {
    return g_Falhou.load();
}

uint64_t Alocacoes(int32_t AFio) {
    return AFio > 0 && AFio < FIOS_CONTADOS ? g_Contagem[AFio].load() : 0;
}

} // namespace teste

void* operator new(std::size_t n) {
    return teste::AlocarOuFalhar(n);
}
void* operator new[](std::size_t n) {
    return teste::AlocarOuFalhar(n);
}
void* operator new(std::size_t n, std::align_val_t a) {
    return teste::AlocarOuFalhar(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a) {
    return teste::AlocarOuFalhar(n, static_cast<std::size_t>(a));
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    return teste::Alocar(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    return teste::Alocar(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
