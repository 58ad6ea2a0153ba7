// The two pages of law diagrams, drawn on fixed example squares, and their building blocks.
// Cells are row-major indices, named in the texts as NomeDaCasa gives them.
#pragma once

#include "drawing/canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavrelo {

// 4 × 4 pandiagonal (34), 5 × 5 ultramagic (65, C 26) and 8 × 8 most-perfect (260, C 65).
std::vector<int32_t> QuadradoDeExemplo4();
std::vector<int32_t> QuadradoDeExemplo5();
std::vector<int32_t> QuadradoDeExemplo8();

// The diagram pages of a book of order N: APagina 0 is the first, anything else the
// continuation page. The examples are the same in every book; what the texts say of the
// book's own grids is said for N.
void PaginaDiagramasPar(IVeltCanvas& Canvas, int32_t N, int32_t APagina);
void PaginaDiagramasImpar(IVeltCanvas& Canvas, int32_t N, int32_t APagina);

// Building blocks of the pages.

// Row and column are brought into 0..n-1 first, so any integers name a cell.
int32_t IndiceDaCasa(int32_t n, int32_t ALinha, int32_t AColuna);
std::vector<int32_t> PercursoDeCasas(int32_t n, int32_t ALinha0, int32_t AColuna0,
                                     int32_t APassoLinhas, int32_t APassoColunas, int32_t AConta);
// The indices 0..ATotal-1 that are in A or B, increasing.
std::vector<int32_t> UniaoDeCasas(const std::vector<int32_t>& A, const std::vector<int32_t>& B,
                                  int32_t ATotal);
// The members of A that are not in B, in A's order.
std::vector<int32_t> CasasSemAs(const std::vector<int32_t>& A, const std::vector<int32_t>& B);
bool ContemCasa(const std::vector<int32_t>& ACasas, int32_t ACasa);
// "21 + 12 + 43 + 54 = 130"
std::string TextoDaSoma(const std::vector<int32_t>& ANumeros, const std::vector<int32_t>& ACasas,
                        int32_t ASoma);
// "L1C1 + L5C5: 11 + 54 = 65"
std::string TextoDoPar(int32_t n, const std::vector<int32_t>& ANumeros, int32_t ACasaA,
                       int32_t ACasaB, int32_t ASoma);
// The pairs half a diagonal apart on ADiagonal, except the one holding ACasa: "45 + 20, 58 + 7".
std::string TextoDosOutrosPares(int32_t n, const std::vector<int32_t>& ANumeros,
                                const std::vector<int32_t>& ADiagonal, int32_t ACasa);
double TamanhoDosNumeros(int32_t n);

// How far a line in unit direction (ux, uy) stops from the centre of a number of ATamanhoPt,
// so that it never touches the digits.
double FolgaDoNumero(double ATamanhoPt, double ux, double uy);

// Title, shaded cells, grid, frame and numbers of one panel; returns the grid's top edge.
double DesenharGrelhaExemplo(IVeltCanvas& Canvas, int32_t n, const std::vector<int32_t>& ANumeros,
                             double X, double Y, double ALado, const std::vector<int32_t>& AEscuras,
                             const std::vector<int32_t>& AClaras, const std::string& ATitulo);
// The solid line through ACount cells; where it leaves the grid, an arrow out past the edge
// and another coming in from outside the opposite edge.
void DesenharPercurso(IVeltCanvas& Canvas, int32_t n, double X, double ATopo, double ACasa,
                      double ATamanhoPt, int32_t ALinha0, int32_t AColuna0, int32_t APassoLinhas,
                      int32_t APassoColunas, int32_t AConta);
// From one cell to the centre cell and on to the other, in pieces that stop short of every
// number the line passes.
void DesenharParPeloCentro(IVeltCanvas& Canvas, int32_t n, double X, double ATopo, double ACasa,
                           double ATamanhoPt, int32_t ALinha1, int32_t AColuna1, int32_t ALinha2,
                           int32_t AColuna2);
// Caption lines under a grid; returns the Y below the last.
double DesenharLegendas(IVeltCanvas& Canvas, double X, double ATopo, double ALado,
                        const std::vector<std::string>& ALinhas);
// Page title and introduction; returns the Y of the first row of panels.
double CabecalhoDiagramas(IVeltCanvas& Canvas, const std::string& ATitulo,
                          const std::string& AIntroducao);

} // namespace tavrelo
