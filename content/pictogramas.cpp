#include "content/pictogramas.h"

namespace tavrelo {

std::vector<TPictograma> PictogramasDoTamanho(int32_t) {
    return {};
}
void DesenharPictograma(IVeltCanvas&, TPictograma, double, double) {}
void DesenharEstrelas(IVeltCanvas&, double, double, int32_t) {}

} // namespace tavrelo
