// The book's palette: the greys every page is drawn in, the widths of its lines, and the
// style of every kind of text, named here once. What must survive a weak printer is decided
// here: no text smaller than 7 pt, text under 8 pt dark, no line thinner than two dots at
// 300 dpi, no shade lighter than 12 % black.
#pragma once

#include "drawing/estilo.h"

#include <cstdint>

namespace tavrelo {

// Greys, 0 black to 255 white.
inline constexpr int32_t SEM_COR = -1; // no outline, no fill
inline constexpr int32_t PRETO = 0;
// Small text that is not the reader's main text: about 70 % black, still crisp at 7 pt.
inline constexpr int32_t CINZA_ESCURO = 77;
// Quiet text of 8 pt and more that should not compete with the puzzles: footers, sums.
inline constexpr int32_t CINZA_MEDIO = 128;
// Shades behind cells: the pictograms' strong block, the cells a law joins, and the lightest
// tint of the book (12 % black, the least a weak printer still shows).
inline constexpr int32_t SOMBRA_FORTE = 150;
inline constexpr int32_t SOMBRA = 200;
inline constexpr int32_t SOMBRA_CLARA = 224;
inline constexpr int32_t BRANCO = 255;

// Line widths, points. At 300 dpi one dot is 0.24 pt, too faint on paper: the thinnest line
// asks for 0.4 pt, which the page draws two dots (0.48 pt) wide.
inline constexpr double TRACO_FINO = 0.4;
inline constexpr double TRACO_MOLDURA = 0.8;     // the frame of a grid or a pictogram
inline constexpr double TRACO_DO_PERCURSO = 0.9; // the line a law follows, in its pictures

// The share of a line box above the baseline in the book's typeface (Liberation Sans, both
// weights): two lines of different sizes share a baseline when their tops differ by this
// share of the difference of their heights.
inline constexpr double ACIMA_DA_BASE = 0.81;

// Explanatory pages: rules and law diagrams.
inline constexpr TEstiloTexto ESTILO_TITULO_DA_PAGINA{.TamanhoPt = 20, .Negrito = true};
inline constexpr TEstiloTexto ESTILO_SECCAO{.TamanhoPt = 14, .Negrito = true};
inline constexpr TEstiloTexto ESTILO_SUBTITULO{.TamanhoPt = 13, .Negrito = true};
inline constexpr TEstiloTexto ESTILO_PARAGRAFO{.TamanhoPt = 12};
inline constexpr TEstiloTexto ESTILO_PARAGRAFO_NEGRITO{.TamanhoPt = 12, .Negrito = true};
inline constexpr TEstiloTexto ESTILO_TITULO_DO_PAINEL{.TamanhoPt = 11, .Negrito = true};
inline constexpr TEstiloTexto ESTILO_LEGENDA{.TamanhoPt = 9};
// The guide to the hints: what each form means, beside the forms in the hints' own style.
inline constexpr TEstiloTexto ESTILO_GUIA{.TamanhoPt = 9.5, .Cinza = CINZA_ESCURO};

// Every numbered page.
inline constexpr TEstiloTexto ESTILO_RODAPE{.TamanhoPt = 9, .Cinza = CINZA_MEDIO};

// Puzzle pages, and the grids of the solutions.
inline constexpr TEstiloTexto ESTILO_NUMERO_DO_PUZZLE{.TamanhoPt = 14, .Negrito = true};
inline constexpr TEstiloTexto ESTILO_ORDEM_DO_PUZZLE{.TamanhoPt = 13,
                                                     .Alinhamento = TAlinhamento::alCentro};
inline constexpr TEstiloTexto ESTILO_SOMAS_DO_PUZZLE{.TamanhoPt = 11,
                                                     .Alinhamento = TAlinhamento::alDireita};
// The row and column numbers around a grid, the only key to cell names such as L1C4.
inline constexpr TEstiloTexto ESTILO_COORDENADAS{.TamanhoPt = 7, .Cinza = CINZA_ESCURO};
// "Solução na página 37" beside a puzzle's number, "(página 9)" beside a solution's title.
inline constexpr TEstiloTexto ESTILO_REFERENCIA{.TamanhoPt = 9.5, .Cinza = CINZA_ESCURO};
inline constexpr TEstiloTexto ESTILO_TITULO_DA_CAIXA{
    .TamanhoPt = 9, .Cinza = CINZA_ESCURO, .Alinhamento = TAlinhamento::alCentro};

// Solution pages.
inline constexpr TEstiloTexto ESTILO_CABECALHO_DAS_SOLUCOES{
    .TamanhoPt = 16, .Negrito = true, .Alinhamento = TAlinhamento::alCentro};
inline constexpr TEstiloTexto ESTILO_TITULO_DA_SOLUCAO{.TamanhoPt = 11, .Negrito = true};
inline constexpr TEstiloTexto ESTILO_SOMAS_DA_SOLUCAO{.TamanhoPt = 9.5, .Cinza = CINZA_MEDIO};
inline constexpr TEstiloTexto ESTILO_DICA{.TamanhoPt = 9.5};
inline constexpr TEstiloTexto ESTILO_NUMERO_DA_DICA{.TamanhoPt = 9.5,
                                                    .Alinhamento = TAlinhamento::alDireita};
// The mark of a key hint, before its number, on the solution pages and in the rules that
// explain it.
inline constexpr const char* MARCA_DA_DICA_CHAVE = "\u25BA";
inline constexpr TEstiloTexto ESTILO_MARCA_DA_DICA{.TamanhoPt = 9.5,
                                                   .Alinhamento = TAlinhamento::alDireita};
inline constexpr TEstiloTexto ESTILO_FECHO_DAS_DICAS{.TamanhoPt = 9.5, .Cinza = CINZA_MEDIO};

// Editorial pages. The product's name and the book's title take the largest size that fits.
inline constexpr TEstiloTexto ESTILO_AUTOR_NA_CAPA{
    .TamanhoPt = 24, .Negrito = true, .Alinhamento = TAlinhamento::alCentro};
inline constexpr TEstiloTexto ESTILO_NOME_NA_CAPA{
    .TamanhoPt = 80, .Negrito = true, .Alinhamento = TAlinhamento::alCentro};
inline constexpr TEstiloTexto ESTILO_TITULO_NA_CAPA{
    .TamanhoPt = 34, .Negrito = true, .Alinhamento = TAlinhamento::alCentro};
inline constexpr TEstiloTexto ESTILO_CAPA{.TamanhoPt = 16, .Alinhamento = TAlinhamento::alCentro};
inline constexpr TEstiloTexto ESTILO_NOME_NO_VERSO{.TamanhoPt = 14, .Negrito = true};
inline constexpr TEstiloTexto ESTILO_PARTE{
    .TamanhoPt = 36, .Negrito = true, .Alinhamento = TAlinhamento::alCentro};
inline constexpr TEstiloTexto ESTILO_NUMERO_DO_SIMBOLO{
    .TamanhoPt = 20, .Negrito = true, .Alinhamento = TAlinhamento::alCentro};
inline constexpr TEstiloTexto ESTILO_TITULO_DA_FICHA{
    .TamanhoPt = 20, .Negrito = true, .Alinhamento = TAlinhamento::alCentro};

} // namespace tavrelo
