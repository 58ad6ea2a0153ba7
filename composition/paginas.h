// The page plan of a book and its composer, the shared page furniture (footer, order and
// sums texts), and the puzzle and solution pages.
#pragma once

#include "composition/dicas.h"
#include "drawing/canvas.h"
#include "drawing/estilo.h"
#include "generation/livro.h"
#include "laws/solver.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tavrelo {

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

// What the edition adds to a generated book: the date and the version of the program, and
// the instant the PDF says it was made (ISO 8601 in UTC; empty: when it is written).
struct TInfoLivro {
    std::string Data;
    std::string Versao;
    std::string CriadoEm{};
};

struct TGeometriaPuzzles {
    int32_t PorPagina = 0;
    double Lado = 0; // mm
};

// The layout of one "Números a colocar" box: the numbers in columns as wide as the widest
// number, each right-aligned in its column, row after row.
struct TCaixaNumeros {
    double TamanhoPt = 0;   // size of the numbers
    double AlturaLinha = 0; // mm per row of numbers
    double Intervalo = 0;   // mm between two columns
    double Coluna = 0;      // mm, the width of the widest number
    int32_t Linhas = 0;
    int32_t PorLinha = 0; // the last row may hold fewer
    double Largura = 0;   // mm
    double Altura = 0;    // mm
    bool operator==(const TCaixaNumeros&) const = default;
};

// The puzzles of a book still being made: the puzzle at AIndice (from 0) once it is committed,
// waiting for it as long as it takes; raises to stop the pages.
using TPuzzleAChegar = std::function<TPuzzleDoLivro(int32_t AIndice)>;

class TCompositorLivro {
  public:
    // Plans every page at once, so NumPaginas is known before anything is drawn.
    TCompositorLivro(const TLivro& ALivro, const TInfoLivro& AInfo);
    ~TCompositorLivro();
    TCompositorLivro(const TCompositorLivro&) = delete;
    TCompositorLivro& operator=(const TCompositorLivro&) = delete;

    int32_t NumPaginas() const;
    const std::vector<TDescPagina>& Paginas() const;

    // Draws every planned page, in order, on a fresh page of ADestino. With AChegar, the
    // book given to the constructor holds only places for its puzzles (LivroAChegar), and
    // each puzzle is taken from AChegar when a page first needs it: the pages before it
    // are drawn while it is being made.
    void Compor(IDestinoPaginas& ADestino, const TPuzzleAChegar& AChegar = {});

    // One planned page as Compor draws it, on any surface: a picture of it shows what the PDF
    // holds. The puzzles it shows must be in the book given to the constructor, or come from
    // AChegar (the second rules page works puzzles of the book). The outline and the
    // destinations that open the book's parts are Compor's.
    void DesenharPagina(IVeltCanvas& Canvas, const TDescPagina& APagina,
                        const TPuzzleAChegar& AChegar = {});

    // The page routines of the book's own pages, open so that a single page can be drawn
    // on any surface.
    void DesenharPuzzles(IVeltCanvas& Canvas, const TDescPagina& APagina);
    void DesenharSolucoes(IVeltCanvas& Canvas, const TDescPagina& APagina);
    // The solution of puzzle AIndice in the slot with top-left corner (X, Y), ALargura wide.
    void DesenharSolucao(IVeltCanvas& Canvas, int32_t AIndice, double X, double Y, double ALargura);

    // The hints under the solution of puzzle AIndice as a book with hints prints them, laid
    // out with Canvas's measure.
    TDicas DicasDaSolucao(IVeltCanvas& Canvas, int32_t AIndice);

    // The printed number of the page that shows puzzle AIndice (0-based), or its solution;
    // 0 when no page does.
    int32_t PaginaDoPuzzle(int32_t AIndice) const;
    int32_t PaginaDaSolucao(int32_t AIndice) const;

    // The solver behind the hints, made for the book's order on first use.
    TSolverDeducao& SolverDoLivro();
    bool TemSolver() const { return FSolver != nullptr; }

  private:
    void PlanearPaginas();
    void AdicionarPagina(TTipoPagina ATipo, int32_t APrimeiro);
    void CompletarPar();
    // Takes from AChegar the puzzles before AAte that are not here yet.
    void Receber(int32_t AAte, const TPuzzleAChegar& AChegar);
    void DesenharRegras(IVeltCanvas& Canvas, const TDescPagina& APagina,
                        const TPuzzleAChegar& AChegar);
    // The book's own example on the second rules page, from Y down to the footer: the first
    // moves of puzzle 001 and a list step, as their solutions' hints show them, taking the
    // puzzles it needs from AChegar.
    void DesenharExemplo(IVeltCanvas& Canvas, double Y, const TPuzzleAChegar& AChegar);
    void DesenharDiagramas(IVeltCanvas& Canvas, const TDescPagina& APagina);
    int32_t PaginaQueMostra(TTipoPagina ATipo, int32_t APorPagina, int32_t AIndice) const;

    TLivro FLivro;
    TInfoLivro FInfo;
    std::vector<TDescPagina> FPaginas;
    std::unique_ptr<TSolverDeducao> FSolver;
    int32_t FRecebidos = 0; // puzzles taken from a book still being made
};

// The book as the pages plan it before its puzzles exist: its configuration, code and level
// plan, and as many empty places as it asks for puzzles. A book that is written has them all.
TLivro LivroAChegar(const TConfigLivro& AConfig);

// Today's date as dd/mm/yyyy and the version "1.0". When SOURCE_DATE_EPOCH holds a number of
// seconds since 1970 (the reproducible-builds convention), the date is that instant's, in UTC,
// and the PDF says it was made then, so the same book gives the same bytes on any day.
TInfoLivro CriarInfoLivro();

// "TAVRELO | Brovanel" and the page number, the number on the outer edge (right on odd
// pages, left on even ones) and the name on the inner one; nothing for ANumero <= 0.
void DesenharRodape(IVeltCanvas& Canvas, int32_t ANumero);

// The destinations of puzzle AIndice (0-based): its number on its page, "puzzle-001", and the
// title of its solution, "solucao-001".
std::string DestinoDoPuzzle(int32_t AIndice);
std::string DestinoDaSolucao(int32_t AIndice);

// A heading that leads to its counterpart, a puzzle's number or a solution's title: ATexto
// in AEstilo from X and, a little after it, AReferencia (where the counterpart is: "Solução
// na página 37") in the style of references, unless it is empty. Both boxes link to the
// destination AOutro; the destination AProprio is the heading's own. Returns the right end
// of what was written.
double DesenharTituloLigado(IVeltCanvas& Canvas, double X, double Y, const std::string& ATexto,
                            const TEstiloTexto& AEstilo, const std::string& AReferencia,
                            const std::string& AProprio, const std::string& AOutro);

// The gap between a heading and its reference, mm.
inline constexpr double INTERVALO_DA_REFERENCIA = 3;

// The top of a line in AAoLado set beside a line in AEstilo at Y, on the same baseline.
double YAoLado(IVeltCanvas& Canvas, double Y, const TEstiloTexto& AEstilo,
               const TEstiloTexto& AAoLado);

// "8 × 8"
std::string TextoTamanho(int32_t N);

// "M = 260   C = 65"
std::string TextoSomas(int32_t N);

TGeometriaPuzzles GeometriaPuzzles(int32_t N);

int32_t SolucoesPorPagina(int32_t N, bool AComDicas);

// Left and right ends of a puzzle block (header, law band, grid and box) on its page.
void LimitesDoBloco(int32_t N, double& L, double& R);

// Size in points of the numbers of a grid of side ALado mm.
double TamanhoNumeros(int32_t N, double ALado);

// The room a grid's row numbers take on its left where nothing else leaves it, mm.
inline constexpr double FAIXA_COORDENADAS = 4;

// An N × N grid of side ALado at (X, Y). Puzzle mode shows the givens in bold; solution
// mode shows the whole solution, givens regular on grey and found numbers bold. Either way
// the rows are numbered on the left and the columns on top, small and dark grey, as the hints
// name the cells (L3C5: row 3, column 5).
void DesenharGrelha(IVeltCanvas& Canvas, int32_t N, std::span<const int32_t> ADados,
                    std::span<const int32_t> ASolucao, double X, double Y, double ALado,
                    bool AModoSolucao, double ATamanhoPt);

// 1 … N·N without the givens, in increasing order.
std::vector<int32_t> NumerosEmFalta(int32_t N, std::span<const int32_t> ADados);

// The sizes of the numbers in a box: the largest that fits, from the first down to the last.
inline constexpr double TAMANHO_MAIOR_NA_CAIXA = 10;
inline constexpr double TAMANHO_MENOR_NA_CAIXA = 8;

// Lays the box out within the space given, its numbers at the largest size that lets their
// rows fit in height; false (and ACaixa all zero) when there are no numbers or not even the
// smallest size fits.
bool MedirCaixaNumeros(IVeltCanvas& Canvas, double ALarguraMax, double AAlturaMax,
                       std::span<const int32_t> ANumeros, int32_t AColunasMax,
                       TCaixaNumeros& ACaixa);

// Draws a measured box at (X, Y); returns the Y below it.
double DesenharCaixaNumeros(IVeltCanvas& Canvas, double X, double Y, const TCaixaNumeros& ACaixa,
                            std::span<const int32_t> ANumeros);

// Side of a solution grid, mm.
double LadoSolucao(int32_t N, bool AComDicas);

} // namespace tavrelo
