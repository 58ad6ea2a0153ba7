// Where the threads that make one book hold while its front end waits for an answer.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace tavrelo {

// Each thread of a book passes the pause before every step it begins (a puzzle made ahead
// of its turn, a page, a piece of a file) and waits there while the pause is held; a step
// already begun is finished first. Holds nest: the threads go on once every hold is
// released.
//
// Two kinds of hold: the front end's own (Segurar, from any thread, at once: a question to
// its user), and the one a thread of the book takes to call the front end (PassarESegurar:
// it waits, like any step, while the pause is held, so calls to the front end come one at
// a time and none begins while its user is being asked).
class TPausa {
  public:
    void Segurar();
    void Soltar();
    // Returns at once unless the pause is held; then waits for its release.
    void Passar();
    // Passes the pause and holds it in one step: no other hold can come between.
    void PassarESegurar();
    // The steps begun past the pause so far: while the pause is held, this does not change.
    int64_t Passagens() const;
    // The threads waiting at the pause now.
    int32_t Esperando() const;

  private:
    void EsperarSolta(std::unique_lock<std::mutex>& ATrinco);

    mutable std::mutex FTrinco;
    std::condition_variable FSolta;
    int32_t FSeguras = 0;
    int32_t FEsperando = 0;
    int64_t FPassagens = 0;
};

// Holds a pause for as long as it lives; with no pause, does nothing.
class TPausaSegura {
  public:
    explicit TPausaSegura(TPausa* APausa) : FPausa(APausa) {
        if (FPausa != nullptr) {
            FPausa->Segurar();
        }
    }
    ~TPausaSegura() {
        if (FPausa != nullptr) {
            FPausa->Soltar();
        }
    }
    TPausaSegura(const TPausaSegura&) = delete;
    TPausaSegura& operator=(const TPausaSegura&) = delete;

  private:
    TPausa* FPausa;
};

} // namespace tavrelo
