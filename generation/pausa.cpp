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

void TPausa::EsperarSolta(std::unique_lock<std::mutex>& ATrinco) {
    if (FSeguras > 0) {
        ++FEsperando;
        FSolta.wait(ATrinco, [this] { return FSeguras == 0; });
        --FEsperando;
    }
    // Counted while the pause is seen open, so no step is counted after a hold began.
    ++FPassagens;
}

void TPausa::Passar() {
    std::unique_lock<std::mutex> l(FTrinco);
    EsperarSolta(l);
}

void TPausa::PassarESegurar() {
    std::unique_lock<std::mutex> l(FTrinco);
    EsperarSolta(l);
    ++FSeguras;
}

int64_t TPausa::Passagens() const {
    std::lock_guard<std::mutex> l(FTrinco);
    return FPassagens;
}

int32_t TPausa::Esperando() const {
    std::lock_guard<std::mutex> l(FTrinco);
    return FEsperando;
}

} // namespace tavrelo
