#include "generation/pausa.h"

namespace tavrelo {

void TPausa::Segurar() {
    std::lock_guard<std::mutex> l(FTrinco);
    ++FSeguras;
}

void TPausa::Soltar() {
    {
        std::lock_guard<std::mutex> l(FTrinco);
        if (FSeguras == 0 || --FSeguras > 0) {
            return;
        }
    }
    FSolta.notify_all();
}

void TPausa::Passar() {
    std::unique_lock<std::mutex> l(FTrinco);
    FSolta.wait(l, [this] { return FSeguras == 0; });
    // Counted while the pause is seen open, so no step is counted after a hold began.
    ++FPassagens;
}

int64_t TPausa::Passagens() const {
    std::lock_guard<std::mutex> l(FTrinco);
    return FPassagens;
}

} // namespace tavrelo
