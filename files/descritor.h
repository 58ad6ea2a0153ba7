// An open file descriptor owned by one object, and writing every byte of a text to one.
#pragma once

#include <cstdint>
#include <string_view>

namespace tavrelo {

// Closes its descriptor when it goes; -1 holds none.
class TDescritor {
  public:
    TDescritor() = default;
    explicit TDescritor(int ADescritor) noexcept : FDescritor(ADescritor) {}
    ~TDescritor() { Fechar(); }
    TDescritor(TDescritor&& AOutro) noexcept : FDescritor(AOutro.Largar()) {}
    TDescritor& operator=(TDescritor&& AOutro) noexcept;
    TDescritor(const TDescritor&) = delete;
    TDescritor& operator=(const TDescritor&) = delete;

    int operator*() const noexcept { return FDescritor; }
    bool Aberto() const noexcept { return FDescritor >= 0; }
    // Gives the descriptor up without closing it.
    int Largar() noexcept;
    // Closes it; the errno of close, or 0. EINTR counts as closed, as Linux closes it anyway.
    int Fechar() noexcept;

  private:
    int FDescritor = -1;
};

struct TEscritaCompleta {
    int Erro = 0;          // 0, or the errno that stopped the writing
    uint64_t Escritos = 0; // bytes that reached the descriptor
};

// Writes the whole of ATexto, going on after an interruption and waiting where the descriptor
// was left non-blocking by whoever opened it.
TEscritaCompleta EscreverTudo(int ADescritor, std::string_view ATexto) noexcept;

} // namespace tavrelo
