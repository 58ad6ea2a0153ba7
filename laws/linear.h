// The sum laws of a square as an ordered list of linear equations, and the
// checks that tell whether a filled square obeys them.
#pragma once

#include "core/tipos.h"

#include <cstdint>
#include <vector>

namespace tavrelo {

// One term: Indice is a cell 0..N²-1, or N² for the constant term (whose cell reads 1).
struct TTermo {
    int32_t Indice = 0;
    int32_t Coef = 0;
};

// The terms sum to 0; built equations list their cells first and end with (N², -K).
struct TEquacao {
    std::vector<TTermo> Termos;
};

TTermo Termo(int32_t AIndice, int32_t ACoef);

// The laws of order N in their fixed order: the position is the law index everywhere.
std::vector<TEquacao> EquacoesDoQuadrado(int32_t N);

bool VerificarPermutacao(const TSolucao& ASolucao);
bool VerificarLeis(const TSolucao& ASolucao);
bool VerificarMaisPerfeito(const TSolucao& ASolucao);
bool VerificarUltramagico(const TSolucao& ASolucao);

} // namespace tavrelo
