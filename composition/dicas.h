// The deduction hints under a solution: which steps of the recorded deduction are shown, and
// the text of each. Pure logic on the solver's laws and the puzzle's grids.
#pragma once

#include "laws/solver.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavrelo {

// Hints shown under one solution at most.
inline constexpr int32_t DICAS_POR_SOLUCAO = 12;

// The text of one hint, from the step and the solution's values.
std::string TextoDica(const TSolverDeducao& ASolver, std::span<const int32_t> ASolucao,
                      const TPassoDeducao& APasso);

// The steps shown as hints (indices into APassos), at most ALimite, each one using only
// givens and cells fixed by hints above it; the centre step (ACentro >= 0) leads.
std::vector<int32_t> EscolherDicas(const TSolverDeducao& ASolver, std::span<const int32_t> ADados,
                                   std::span<const TPassoDeducao> APassos, int32_t ALimite,
                                   int32_t ACentro);

} // namespace tavrelo
