// Whole books: a configuration and its seed become every puzzle of the book.
#pragma once

#include "core/tipos.h"
#include "generation/fio.h"
#include "generation/pausa.h"
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

// How a book's puzzles are made on more than one thread. Puzzle p depends on the earlier
// puzzles only through the keys of their squares, so it can be made ahead of its turn as if
// no key were taken, noting the keys it asked about; at its turn, if none of them has been
// taken meanwhile, it is the very puzzle its turn would make, and otherwise it is made again
// in turn. The book is the same whatever the number of threads. A helper that runs short of
// memory stops helping, and its puzzles are made by the threads that go on; when the calling
// thread runs short while helpers run, they go (and the memory they held with them) and it
// goes on alone: the book is still the same, and fails only when one thread alone cannot
// make it.
struct TParalelo {
    // Threads that make puzzles, the calling one included; 1 makes each puzzle in its turn.
    int32_t Trabalhadores = 1;
    // Starts each helper thread; empty: a plain std::thread. A front end's own can set up
    // what the engine knows nothing of, such as which signals the thread may take and the
    // size of its stack. A thread it cannot start (std::system_error, std::bad_alloc) is
    // done without.
    TIniciarFio IniciarFio;
    // Passed by the helpers before each puzzle they begin; may be null.
    TPausa* Pausa = nullptr;
    // Each puzzle as it is committed, in book order, on the calling thread, before the
    // progress call that counts it.
    std::function<void(const TPuzzleDoLivro& APuzzle)> AoConfirmar;
};

class TGeradorLivro {
  public:
    // Progress and cancel run on the calling thread, once per puzzle, in book order, as the
    // puzzles are committed.
    TLivro Gerar(const TConfigLivro& AConfig, const TProgressoLivro& AProgresso,
                 const TParalelo& AParalelo = {});
    // Of the last Gerar: the puzzles made ahead whose keys an earlier puzzle had taken by
    // their turn, made again in turn.
    int32_t Refeitos() const { return FRefeitos; }

  private:
    int32_t FRefeitos = 0;
};

} // namespace tavrelo
