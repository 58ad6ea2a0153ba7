// Whole books: a configuration and its seed become every puzzle of the book.
#pragma once

#include "core/tipos.h"
#include "generation/puzzle.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tavrelo {

// How many puzzles a book may have.
inline constexpr int32_t MIN_PUZZLES = 1;
inline constexpr int32_t MAX_PUZZLES = 100;

struct TPuzzleDoLivro {
    int32_t Posicao = 0;
    uint32_t SubSemente = 0;
    TPuzzle Puzzle;

    bool operator==(const TPuzzleDoLivro&) const = default;
};

struct TLivro {
    TConfigLivro Config;
    std::string Codigo;
    std::vector<int32_t> Plano;
    std::vector<TPuzzleDoLivro> Puzzles;
    bool Cancelado = false;
};

// Called after each finished puzzle; setting ACancelar stops the book.
using TProgressoLivro = std::function<void(int32_t AFeitos, int32_t ATotal,
                                           const std::string& ATexto, bool& ACancelar)>;

void ValidarConfiguracao(const TConfigLivro& AConfig);
std::vector<int32_t> PlanoDoLivro(const TConfigLivro& AConfig);
std::string CodigoDoLivro(uint32_t ASemente);
uint32_t SubSementeDoPuzzle(uint32_t ASemente, int32_t APosicao);

class TGeradorLivro {
  public:
    TLivro Gerar(const TConfigLivro& AConfig, const TProgressoLivro& AProgresso);
};

} // namespace tavrelo
