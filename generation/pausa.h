// Where the threads that make one book hold while its front end waits for an answer.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace tavrelo {

// Each thread of a book passes the pause before every step it begins (a puzzle made ahead
// of its turn, a page, a piece of a file) and waits there while the pause is held. Holds
// nest: the threads go on once every hold is released.
class TPausa {
  public:
    void Segurar();
    void Soltar();
    // Returns at once unless the pause is held; then waits for its release.
    void Passar();
    // The steps begun past the pause so far: while the pause is held, this does not change.
    int64_t Passagens() const;

  private:
    mutable std::mutex FTrinco;
    std::condition_variable FSolta;
    int32_t FSeguras = 0;
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
