// The 14 mm law pictograms and the row of five difficulty stars.
#pragma once

#include "drawing/canvas.h"

#include <cstdint>
#include <vector>

namespace tavrelo {

enum class TPictograma : uint8_t { pcSoma, pcQuebrada, pcBloco, pcMeia, pcPar, pcSomaImpar };

std::vector<TPictograma> PictogramasDoTamanho(int32_t N);

// The pictogram with its top-left corner at (X, Y).
void DesenharPictograma(IVeltCanvas& Canvas, TPictograma Pictograma, double X, double Y);

// Five stars ending at X, centres 2.7 mm below Y, the first Nivel filled.
void DesenharEstrelas(IVeltCanvas& Canvas, double X, double Y, int32_t Nivel);

} // namespace tavrelo
