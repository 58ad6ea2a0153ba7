// The two pages of law diagrams, drawn on fixed example squares.
#pragma once

#include "drawing/canvas.h"

#include <cstdint>
#include <vector>

namespace tavrelo {

std::vector<int32_t> QuadradoDeExemplo4();
std::vector<int32_t> QuadradoDeExemplo5();
std::vector<int32_t> QuadradoDeExemplo8();

// APagina 0 is the first diagram page, anything else the continuation page.
void PaginaDiagramasPar(IVeltCanvas& Canvas, int32_t APagina);
void PaginaDiagramasImpar(IVeltCanvas& Canvas, int32_t APagina);

} // namespace tavrelo
