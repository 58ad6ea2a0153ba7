#include "generation/fio.h"

#include <utility>

namespace tavrelo {

TFio::TFio(TFio&& AOutro) noexcept
    : FFio(std::move(AOutro.FFio)), FPega(std::exchange(AOutro.FPega, 0)),
      FJuntar(std::exchange(AOutro.FJuntar, nullptr)) {}

TFio& TFio::operator=(TFio&& AOutro) noexcept {
    if (this != &AOutro) {
        Juntar();
        FFio = std::move(AOutro.FFio);
        FPega = std::exchange(AOutro.FPega, 0);
        FJuntar = std::exchange(AOutro.FJuntar, nullptr);
    }
    return *this;
}

void TFio::Juntar() noexcept {
    if (FFio.joinable()) {
        FFio.join();
    }
    if (FJuntar != nullptr) {
        std::exchange(FJuntar, nullptr)(FPega);
        FPega = 0;
    }
}

} // namespace tavrelo
