// Running text: greedy word wrapping measured on the surface, the 12 pt paragraph, and the
// two rules pages written for the book's order.
#pragma once

#include "drawing/canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavrelo {

// A set of levels 0..7, one bit per level.
struct TNiveis {
    uint8_t Bits = 0;
    bool Contem(int32_t ANivel) const {
        return ANivel >= 0 && ANivel <= 7 && ((Bits >> ANivel) & 1) != 0;
    }
    bool operator==(const TNiveis&) const = default;
};

std::vector<std::string> QuebrarLinhas(IVeltCanvas& Canvas, const std::string& Texto,
                                       double LarguraMax, double TamanhoPt);

// Draws the wrapped paragraph at 12 pt from Y, lines 6.15 mm apart; returns the Y below it.
double DesenharParagrafo(IVeltCanvas& Canvas, double Y, const std::string& Texto, double LarguraMax,
                         double X);

TNiveis NiveisDoPlano(const std::vector<int32_t>& Plano);

void PaginaRegras(IVeltCanvas& Canvas, int32_t N);
void PaginaComoSeResolve(IVeltCanvas& Canvas, int32_t N, TNiveis Niveis);

} // namespace tavrelo
