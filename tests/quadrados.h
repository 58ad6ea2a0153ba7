// Two known squares shared by the tests, and a cyclic shift.
#pragma once

#include "core/tipos.h"

namespace tavrelo::teste {

// The most-perfect square of design 0 of order 8 in its plain arrangement.
inline const TSolucao MAIS_PERFEITO_8{
    8, {41, 28, 45, 32, 39, 22, 35, 18, 40, 21, 36, 17, 42, 27, 46, 31, 57, 12, 61, 16, 55, 6,
        51, 2,  56, 5,  52, 1,  58, 11, 62, 15, 26, 43, 30, 47, 24, 37, 20, 33, 23, 38, 19, 34,
        25, 44, 29, 48, 10, 59, 14, 63, 8,  53, 4,  49, 7,  54, 3,  50, 9,  60, 13, 64}};

// The ultramagic square of order 7 that seed 1 draws (centre 25).
inline const TSolucao ULTRAMAGICO_7{7, {19, 29, 46, 14, 24, 37, 6,  39, 7,  17, 30, 48, 12,
                                        22, 10, 23, 41, 5,  15, 32, 49, 34, 47, 8,  25, 42,
                                        3,  16, 1,  18, 35, 45, 9,  27, 40, 28, 38, 2,  20,
                                        33, 43, 11, 44, 13, 26, 36, 4,  21, 31}};

// The square moved cyclically by (dr, dc).
inline TSolucao Deslocar(const TSolucao& S, int32_t dr, int32_t dc) {
    TSolucao R{S.N, std::vector<int32_t>(S.Valores.size())};
    for (int32_t l = 0; l < S.N; ++l) {
        for (int32_t c = 0; c < S.N; ++c) {
            R.Valores[static_cast<size_t>(l * S.N + c)] = ValorEm(S, l + dr, c + dc);
        }
    }
    return R;
}

} // namespace tavrelo::teste
