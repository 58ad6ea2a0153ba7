// The editorial pages: cover, colophon, part titles, symbol pages and the technical sheet.
#pragma once

#include "composition/paginas.h"
#include "drawing/canvas.h"
#include "generation/livro.h"

#include <cstdint>
#include <string>

namespace tavrelo {

void DesenharCapa(IVeltCanvas& Canvas, const TLivro& ALivro);

// The colophon; ANome is the product name.
void PaginaVerso(IVeltCanvas& Canvas, const std::string& ANome);

// "Puzzles" for AParte 0, "Soluções" otherwise.
void PaginaSeparador(IVeltCanvas& Canvas, int32_t AParte);

void PaginaSimboloPar(IVeltCanvas& Canvas);
void PaginaSimboloImpar(IVeltCanvas& Canvas);

// The technical sheet, with its own page number ANumero for the footer.
void DesenharFicha(IVeltCanvas& Canvas, const TLivro& ALivro, const TInfoLivro& AInfo,
                   int32_t ANumero);

} // namespace tavrelo
