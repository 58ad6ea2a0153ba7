#include "falhar_alocacao.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace teste {

namespace {

std::atomic<uint64_t> g_Faltam{0}; // allocations until the failure; 0: none asked for
std::atomic<bool> g_Falhou{false};

void* Alocar(std::size_t ATamanho, std::size_t AAlinhamento = 0) {
    if (g_Faltam.load(std::memory_order_relaxed) != 0 && g_Faltam.fetch_sub(1) == 1) {
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
    g_Falhou.store(false);
    g_Faltam.store(AEnesima);
}

bool AlocacaoFalhou() {
    return g_Falhou.load();
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
