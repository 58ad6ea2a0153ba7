// Puzzles of a book made ahead of their turn on helper threads, each as if no square of the
// book were taken yet, and handed over in book order to the thread that commits them.
#pragma once

#include "generation/fio.h"
#include "generation/livro.h"
#include "generation/puzzle.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <vector>

namespace tavrelo {

// One puzzle made ahead: the puzzle or what its making raised, the keys its search for a
// new square asked about, and Validar's answer.
struct TAdiantado {
    TPuzzle Puzzle;
    std::vector<uint64_t> Consultadas;
    bool Valido = false;
    std::exception_ptr Erro;
};

class TPuzzlesAdiantados {
  public:
    // Starts up to AParalelo.Trabalhadores - 1 helpers (fewer when the system refuses a
    // thread, or the book has few puzzles). AProprio is the calling thread's own generator.
    // Raises std::bad_alloc only when the calling thread has no memory for the helpers'
    // bookkeeping; then no helper runs.
    TPuzzlesAdiantados(const TConfigLivro& AConfig, const std::vector<int32_t>& APlano,
                       const TParalelo& AParalelo, TGeradorPuzzle& AProprio);
    // Stops the helpers after the puzzle each is making, and waits for them.
    ~TPuzzlesAdiantados();
    TPuzzlesAdiantados(const TPuzzlesAdiantados&) = delete;
    TPuzzlesAdiantados& operator=(const TPuzzlesAdiantados&) = delete;

    // The helpers started.
    int32_t Ajudantes() const { return static_cast<int32_t>(FAjudantes.size()); }

    // The puzzle at APosicao, made ahead; while a helper makes it, the calling thread makes
    // later ones. Each position is received once, in increasing order. A helper that runs
    // short of memory stops helping and gives its puzzle back, which the calling thread
    // then makes; the calling thread running short itself raises std::bad_alloc (the
    // puzzle it was making is left for a later call).
    TAdiantado Receber(int32_t APosicao);

  private:
    enum class TEstado : uint8_t { vgPorFazer, vgEmCurso, vgFeita };
    struct TVaga {
        TEstado Estado = TEstado::vgPorFazer;
        TAdiantado Feito;
    };

    void Ajudar() noexcept;
    // The next position nobody has begun, now taken by the caller; -1 when there is none
    // (or the helpers are told to stop). Called with FTrinco held.
    int32_t Tomar();
    // The puzzle at APosicao, or what its making raised; AFaltouMemoria when that was
    // std::bad_alloc, which says nothing of the puzzle, only of the thread that made it.
    TAdiantado Fazer(TGeradorPuzzle& AGerador, int32_t APosicao, bool& AFaltouMemoria) const;
    // Called with FTrinco held.
    void Guardar(int32_t APosicao, TAdiantado AFeito);
    // A position begun and given up, for the calling thread to make at its turn. Called with
    // FTrinco held.
    void Devolver(int32_t APosicao);

    const int32_t FN;
    const uint32_t FSemente;
    const std::vector<int32_t> FPlano;
    TPausa* const FPausa;
    TGeradorPuzzle& FProprio;

    std::mutex FTrinco;
    std::condition_variable FFeita;
    std::vector<TVaga> FVagas;
    int32_t FProxima = 0;
    bool FParar = false;
    std::vector<TFio> FAjudantes;
};

} // namespace tavrelo
