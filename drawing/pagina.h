// The A4 page every book page is drawn on, in millimetres from its top-left corner: the
// numbers the page layouts share.
#pragma once

#include <cstdint>

namespace tavrelo {

// Every page is laid out in whole dots of this resolution, whatever it is drawn on: a PDF
// page or a picture of it on screen places every line and letter on the same dots.
inline constexpr int32_t DPI_DA_PAGINA = 300;

inline constexpr double LARGURA_PAGINA = 210;
inline constexpr double ALTURA_PAGINA = 297;
// The vertical centre line, on which centred titles stand.
inline constexpr double CENTRO_PAGINA = LARGURA_PAGINA / 2;

// The column of running text, and the margins of everything else on a page.
inline constexpr double MARGEM_ESQUERDA = 18;
inline constexpr double MARGEM_DIREITA = 192;
inline constexpr double LARGURA_COLUNA = MARGEM_DIREITA - MARGEM_ESQUERDA;

// The top of a page title's line box, and of the footer's.
inline constexpr double TOPO_TITULO = 18;
inline constexpr double TOPO_RODAPE = 283;

} // namespace tavrelo
