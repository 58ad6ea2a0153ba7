// The page plan of a book and its composer, the shared page furniture (footer, order and
// sums texts), and the puzzle and solution pages.
#pragma once

#include "drawing/canvas.h"
#include "generation/livro.h"
#include "laws/solver.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavrelo {

class IDestinoPaginas;

enum class TTipoPagina : uint8_t {
    pgCapa,
    pgVerso,
    pgRegras,
    pgDiagramas,
    pgBranco,
    pgSeparador,
    pgSimbolo,
    pgPuzzles,
    pgSolucoes,
    pgFicha
};

struct TDescPagina {
    TTipoPagina Tipo = TTipoPagina::pgCapa;
    int32_t Primeiro = 0; // first puzzle, sub-page, or part (0 puzzles, 1 solutions)
    int32_t Numero = 0;   // printed page number; 0 = no footer
    bool operator==(const TDescPagina&) const = default;
};

// What the edition adds to a generated book: the date and the version of the program.
struct TInfoLivro {
    std::string Data;
    std::string Versao;
};

struct TGeometriaPuzzles {
    int32_t PorPagina = 0;
    double Lado = 0; // mm
};

class TCompositorLivro {
  public:
    // Plans every page at once, so NumPaginas is known before anything is drawn.
    TCompositorLivro(const TLivro& ALivro, const TInfoLivro& AInfo);
    ~TCompositorLivro();
    TCompositorLivro(const TCompositorLivro&) = delete;
    TCompositorLivro& operator=(const TCompositorLivro&) = delete;

    int32_t NumPaginas() const;
    const std::vector<TDescPagina>& Paginas() const;

    // Draws every planned page, in order, on a fresh page of ADestino.
    void Compor(IDestinoPaginas& ADestino);

  private:
    void PlanearPaginas();

    TLivro FLivro;
    TInfoLivro FInfo;
    std::vector<TDescPagina> FPaginas;
    std::unique_ptr<TSolverDeducao> FSolver;
};

// Today's date as dd/mm/yyyy and the version "1.0".
TInfoLivro CriarInfoLivro();

// "TAVRELO | Brovanel" and the page number; nothing for ANumero <= 0.
void DesenharRodape(IVeltCanvas& Canvas, int32_t ANumero);

// "8 × 8"
std::string TextoTamanho(int32_t N);

// "M = 260   C = 65"
std::string TextoSomas(int32_t N);

TGeometriaPuzzles GeometriaPuzzles(int32_t N);

int32_t SolucoesPorPagina(int32_t N, bool AComDicas);

} // namespace tavrelo
