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
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tavrelo {

// Numbered hints shown under one solution at most.
inline constexpr int32_t DICAS_POR_SOLUCAO = 12;

enum class TTipoDica : uint8_t {
    tdLei,   // a law with one empty cell gives the number
    tdLista, // the list of numbers narrows cells in turn, the last narrowing leaving one number
    tdChave, // a number revealed, where no list argument fits the room
};

// An open pair law named by a narrowing: law Lei, whose only empty cells on the reader's grid
// are the narrowed cell and Parceiro, and which lacks Resto.
struct TParDaLista {
    int32_t Lei = -1;
    int32_t Parceiro = -1;
    int32_t Resto = 0;
    bool operator==(const TParDaLista&) const = default;
};

// One narrowing of the list: on what the reader holds, the open pair laws Pares (in increasing
// law index) leave Celula the numbers Valores (increasing); one number fixes the cell.
struct TEstreitamento {
    int32_t Celula = -1;
    std::vector<int32_t> Valores;
    std::vector<TParDaLista> Pares;
    bool operator==(const TEstreitamento&) const = default;
};

struct TDica {
    TTipoDica Tipo = TTipoDica::tdLei;
    int32_t Celula = -1; // the cell whose number the hint gives
    int32_t Valor = 0;
    int32_t Lei = -1;                   // tdLei: the law that gives it
    std::vector<TEstreitamento> Cadeia; // tdLista: the narrowings in turn, the last fixing Celula
    bool operator==(const TDica&) const = default;
};

// The hints of one solution in the order printed. The first NumIniciais are starters: simple
// steps that the reader could find alone, shown as examples, each following from the givens
// and the starters above it; any of them may be left out from the end of theirs. The others
// are the key hints, the ones a reader who does every simple step alone still needs: each
// holds on the reader's grid at its place (a narrowing reads the numbers still to place and
// what the narrowings above it left each cell), and with the last of them the reader's
// closure is the whole solution.
struct TDicas {
    std::vector<TDica> Dicas;
    int32_t NumIniciais = 0;
};

// The room of the column the hints are printed in: whether hints fit it, numbered from 1 in
// turn and followed by the closing line unless they fill the grid, and how many lines one hint
// takes, to tell which gives way. Without it, hints always fit and a hint takes one line for
// each of its narrowings.
struct TEspacoDasDicas {
    std::function<bool(std::span<const TDica>)> Cabem;
    std::function<int32_t(const TDica&)> LinhasDa;
};

// The hints of one puzzle, at most ALimite numbered ones, from its givens, solution and
// recorded deduction (the starters are taken from the record), within the room of AEspaco.
// The key hints come first in the budget: wherever the reader's grid stops, the list in the
// shortest sets that reach a number; where the key hints do not fit, the longest of them gives
// way to a number revealed, until they do. The starters fill what is left.
TDicas EscolherDicas(const TSolverDeducao& ASolver, std::span<const int32_t> ADados,
                     std::span<const int32_t> ASolucao, std::span<const TPassoDeducao> APassos,
                     int32_t ALimite, const TEspacoDasDicas* AEspaco = nullptr);

// Whether the givens and the numbers of ADicas fill every cell: then no simple step is left
// for the reader.
bool DicasBastam(std::span<const int32_t> ADados, std::span<const TDica> ADicas);

// The texts of one hint, one for each narrowing of a list hint, else one; a law hint's
// arithmetic reads the other cells' numbers in ASolucao.
std::vector<std::string> TextosDaDica(const TSolverDeducao& ASolver,
                                      std::span<const int32_t> ASolucao, const TDica& ADica);

} // namespace tavrelo
