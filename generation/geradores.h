// Random magic squares of the six orders, their canonical keys and the shuffle
// that every random permutation of the system goes through.
#pragma once

#include "core/random.h"
#include "core/tipos.h"
#include "generation/banco.h"

#include <cstdint>
#include <map>
#include <span>
#include <unordered_set>
#include <vector>

namespace tavrelo {

// The keys of the squares already used; only membership matters.
using TRegistoChaves = std::unordered_set<uint64_t>;

class TGeradorQuadrados {
  public:
    TSolucao Gerar(int32_t N, TGeradorAleatorio& ARng);
    TSolucao GerarNovo(int32_t N, TGeradorAleatorio& ARng, TRegistoChaves& ARegisto,
                       int32_t AMaxTentativas);
    int32_t NumDesenhos(int32_t N);
    TSolucao QuadradoDoDesenho(int32_t N, int32_t AIndice);

  private:
    const std::vector<TDesenho>& Desenhos(int32_t N);

    std::map<int32_t, std::vector<TDesenho>> FDesenhos;
};

// The lexicographically smallest of the square's arrangements under the eight symmetries,
// with and without complement, and (even orders only) every cyclic shift of rows and columns.
std::vector<int32_t> ArranjoCanonico(const TSolucao& ASolucao);
// FNV-1a of ArranjoCanonico, one step per cell: equal for squares that a symmetry relates.
uint64_t ChaveCanonica(const TSolucao& ASolucao);
void Baralhar(TGeradorAleatorio& ARng, std::span<int32_t> AValores);

// Cell (i, j) of the result is a cell (r, c) of AValores chosen by the code t (0..7);
// with AComplemento each value v becomes N²+1-v.
std::vector<int32_t> AplicarSimetria(std::span<const int32_t> AValores, int32_t N, int32_t t,
                                     bool AComplemento);

} // namespace tavrelo
