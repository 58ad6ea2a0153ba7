#include "drawing/canvas.h"

namespace tavrelo {

TPontoMm PontoMm(double X, double Y) {
    return TPontoMm{X, Y};
}

double MmParaPt(double AMm) {
    return AMm * 72.0 / 25.4;
}

} // namespace tavrelo
