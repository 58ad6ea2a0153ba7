// Puzzles: a random magic square minimised to a uniquely solvable grid of givens
// at a difficulty level, with its full deduction record; and their validation.
#pragma once

#include "core/random.h"
#include "generation/geradores.h"
#include "laws/solver.h"

#include <array>
#include <cstdint>
#include <functional>
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
    // The same puzzle made ahead of its turn, as if no key were registered yet: every key
    // it asks about is appended to AConsultadas, in order, and nothing is registered. It
    // is the puzzle Gerar makes with the same draws exactly when none of those keys is in
    // the registry by the puzzle's turn, since each of them was then new there too.
    TPuzzle GerarAdiantado(int32_t N, int32_t ANivel, TGeradorAleatorio& ARng,
                           std::vector<uint64_t>& AConsultadas);
    bool Validar(const TPuzzle& APuzzle);

  private:
    // Whether a key is taken, as one puzzle's search for a new square asks it.
    using TChaveUsada = std::function<bool(uint64_t AChave)>;
    TPuzzle GerarComRegisto(int32_t N, int32_t ANivel, TGeradorAleatorio& ARng,
                            const TChaveUsada& AUsada);
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
