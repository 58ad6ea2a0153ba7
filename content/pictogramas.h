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

// One five-pointed star, top tip up, black or white inside.
void DesenharEstrela(IVeltCanvas& Canvas, double CX, double CY, double Raio, bool Cheia);

// Dashes of 1.4 mm every 2.4 mm from (X1, Y1), the last one cut at (X2, Y2).
void LinhaTracejada(IVeltCanvas& Canvas, double X1, double Y1, double X2, double Y2,
                    double EspessuraPt, int32_t Cinza);

// The inner lines of an N × N grid filling the Lado × Lado square at (X, Y).
void LinhasDaGrelha(IVeltCanvas& Canvas, double X, double Y, double Lado, int32_t N);

} // namespace tavrelo
