// A thread of a book's, and how a front end starts one.
#pragma once

#include <cstdint>
#include <functional>
#include <thread>

namespace tavrelo {

// A started thread, owned by one holder: a plain std::thread, or one a front end started by
// its own means (with a stack size of its choosing, say), given as a handle and the call
// that joins it. Whoever holds it joins it; a TFio that goes while its thread runs waits for
// it, where a std::thread left joinable would end the program.
class TFio {
  public:
    // Joins the thread of APega, once; never raises.
    using TJuntar = void (*)(uintptr_t APega) noexcept;

    TFio() noexcept = default;
    explicit TFio(std::thread AFio) noexcept : FFio(std::move(AFio)) {}
    TFio(uintptr_t APega, TJuntar AJuntar) noexcept : FPega(APega), FJuntar(AJuntar) {}
    TFio(TFio&& AOutro) noexcept;
    TFio& operator=(TFio&& AOutro) noexcept;
    ~TFio() { Juntar(); }
    TFio(const TFio&) = delete;
    TFio& operator=(const TFio&) = delete;

    // A thread was started and is not joined yet.
    bool Iniciado() const noexcept { return FFio.joinable() || FJuntar != nullptr; }
    // Waits for the thread to end; nothing when there is none.
    void Juntar() noexcept;

  private:
    std::thread FFio;
    uintptr_t FPega = 0;
    TJuntar FJuntar = nullptr;
};

// Starts a thread that runs ACorpo. Raises std::system_error when the system gives no
// thread (a limit on threads, or on memory for its stack), or std::bad_alloc.
using TIniciarFio = std::function<TFio(std::function<void()> ACorpo)>;

} // namespace tavrelo
