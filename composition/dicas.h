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

// An open pair law named by a list hint: law Lei, whose only empty cells on the page are the
// hint's cell and Parceiro, and which lacks Resto.
struct TParDaLista {
    int32_t Lei = -1;
    int32_t Parceiro = -1;
    int32_t Resto = 0;
    bool operator==(const TParDaLista&) const = default;
};

// One hint: the step shown (an index into the record) and, for a list step, the open pair
// laws that leave its value on the page before it, in increasing law index.
struct TDica {
    int32_t Passo = -1;
    std::vector<TParDaLista> Pares;
    bool operator==(const TDica&) const = default;
};

// The text of one hint, from the step and the solution's values. A list step names the pairs
// given, or without them the pair of its own record.
std::string TextoDica(const TSolverDeducao& ASolver, std::span<const int32_t> ASolucao,
                      const TPassoDeducao& APasso, std::span<const TParDaLista> APares = {});

// The hints shown, at most ALimite, in the order printed: the centre step (ACentro >= 0)
// leads, then the others in the order of deduction. The page before a hint holds the givens
// and the numbers of the hints above it, and every hint holds there: a law hint's other cells
// are all on it, and a list hint's value is the only number still to place that its open
// pair laws leave (see ParesDaLista).
std::vector<TDica> EscolherDicas(const TSolverDeducao& ASolver, std::span<const int32_t> ADados,
                                 std::span<const TPassoDeducao> APassos, int32_t ALimite,
                                 int32_t ACentro);

// The list technique on a page (AGrelha, 0 = empty): the open pair laws through ACelula
// (laws of the order's families, every coefficient 1, whose only empty cells are ACelula and
// one other) each allow the numbers v still to place whose partner R - v is still to place
// and differs from v. When together they leave AValor alone, the fewest of them that do
// (the first such set in increasing law index); otherwise none.
std::vector<TParDaLista> ParesDaLista(const TSolverDeducao& ASolver,
                                      std::span<const int32_t> AGrelha, int32_t ACelula,
                                      int32_t AValor);

} // namespace tavrelo
