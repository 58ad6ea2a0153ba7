// Puzzles: a random magic square minimised to a uniquely solvable grid of givens
// at a difficulty level, with its full deduction record; and their validation.
#pragma once

#include "core/random.h"
#include "generation/geradores.h"
#include "laws/solver.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <vector>

namespace tavrelo {

struct TPuzzle {
    int32_t N = 0;
    int32_t Nivel = 0;
    std::vector<int32_t> Solucao;
    std::vector<int32_t> Dados; // the givens; 0 = empty
    int32_t NumPistas = 0;
    int32_t NumPistasPiso = 0; // clues of the minimal puzzle, before any were added back
    uint64_t Chave = 0;
    TResultadoSolver Resultado;

    bool operator==(const TPuzzle&) const = default;
};

class TGeradorPuzzle {
  public:
    TGeradorPuzzle();
    ~TGeradorPuzzle();
    TGeradorPuzzle(const TGeradorPuzzle&) = delete;
    TGeradorPuzzle& operator=(const TGeradorPuzzle&) = delete;

    TPuzzle Gerar(int32_t N, int32_t ANivel, TGeradorAleatorio& ARng, TRegistoChaves& ARegisto);
    bool Validar(const TPuzzle& APuzzle);

  private:
    TSolverDeducao& SolverDoTamanho(int32_t N);
    std::vector<int32_t> MinimizarPistas(TSolverDeducao& ASolver, const TSolucao& AQuadrado,
                                         bool AComLista, TGeradorAleatorio& ARng);
    bool TentarPistas(TSolverDeducao& ASolver, const TSolucao& AQuadrado, int32_t ANivel,
                      TGeradorAleatorio& ARng, TPuzzle& APuzzle);

    std::unique_ptr<TGeradorQuadrados> FQuadrados;
    std::map<int32_t, std::unique_ptr<TSolverDeducao>> FSolvers;
};

int32_t ContarPistas(std::span<const int32_t> ADados);
std::array<int32_t, 4> PistasPorQuadrante(std::span<const int32_t> ADados, int32_t N);
bool PistasEquilibradas(std::span<const int32_t> ADados, int32_t N);

} // namespace tavrelo
