// The deduction hints under a solution: which deductions are shown, and the text of each.
// Pure logic on the solver's law table and the puzzle's grids; a call keeps no state beyond
// itself, so hints may be chosen on any thread while solvers run on others.
//
// The reader the hints are written for knows the rules and does every simple step alone:
// wherever a law of the square has one empty cell, they fill it, again and again. Their grid
// before a hint is that closure of the givens and the hints above it. What they cannot do
// alone is the list technique, and that is what the key hints show.
#pragma once

#include "laws/solver.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavrelo {

// Hints shown under one solution at most.
inline constexpr int32_t DICAS_POR_SOLUCAO = 12;

enum class TTipoDica : uint8_t {
    tdLei,        // a law with one empty cell gives the number
    tdLista,      // the open pair laws named leave one number
    tdCandidatos, // the open pair laws named leave only the numbers given
    tdChave,      // a number revealed, where the list fixes no open cell within the room left
};

// An open pair law named by a list or candidates hint: law Lei, whose only empty cells on the
// reader's grid are the hint's cell and Parceiro, and which lacks Resto.
struct TParDaLista {
    int32_t Lei = -1;
    int32_t Parceiro = -1;
    int32_t Resto = 0;
    bool operator==(const TParDaLista&) const = default;
};

struct TDica {
    TTipoDica Tipo = TTipoDica::tdLei;
    int32_t Celula = -1;
    std::vector<int32_t> Valores;   // the number; for tdCandidatos the numbers left, increasing
    int32_t Lei = -1;               // tdLei: the law that gives it
    std::vector<TParDaLista> Pares; // tdLista, tdCandidatos: in increasing law index
    bool operator==(const TDica&) const = default;
};

// The hints of one solution in the order printed. The first NumIniciais are starters: simple
// steps that the reader could find alone, shown as examples, each following from the givens
// and the starters above it; any of them may be left out from the end of theirs. The others
// are the key steps, each holding on the reader's grid at its place (a list or candidates
// hint reads the numbers still to place and the candidates hints above it), and with the last
// of them the reader's closure is the whole solution.
struct TDicas {
    std::vector<TDica> Dicas;
    int32_t NumIniciais = 0;
};

// The hints of one puzzle, at most ALimite, from its givens, solution and recorded deduction
// (the starters are taken from the record). The key steps come first in the budget. Where the
// list would take more than ALimite hints, they are chosen again more plainly: shorter
// candidates hints, then list hints alone, then numbers revealed alone.
TDicas EscolherDicas(const TSolverDeducao& ASolver, std::span<const int32_t> ADados,
                     std::span<const int32_t> ASolucao, std::span<const TPassoDeducao> APassos,
                     int32_t ALimite);

// Whether the givens and the numbers of ADicas fill every cell: then no simple step is left
// for the reader.
bool DicasBastam(std::span<const int32_t> ADados, std::span<const TDica> ADicas);

// The text of one hint; a law hint's arithmetic reads the other cells' numbers in ASolucao.
std::string TextoDica(const TSolverDeducao& ASolver, std::span<const int32_t> ASolucao,
                      const TDica& ADica);

} // namespace tavrelo
