// The editorial pages: cover, colophon, part titles, symbol pages and the technical sheet.
#pragma once

#include "composition/paginas.h"
#include "drawing/canvas.h"
#include "generation/livro.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavrelo {

void DesenharCapa(IVeltCanvas& Canvas, const TLivro& ALivro);

// The book's title as the cover sets it, bold and centred: one line at the largest size from
// 34 pt down in steps of 2 that fits the column; failing that, lines of 16 pt broken at
// blanks, at most three, as even in width as they can be.
inline constexpr size_t LINHAS_MAX_DO_TITULO = 3;
struct TTituloDaCapa {
    std::vector<std::string> Linhas; // none for a blank title
    double TamanhoPt = 0;
    // Every line fits the column and there are at most three. When not, the lines hold the
    // whole title all the same: three of them, then the rest unbroken.
    bool Cabe = true;
};
// ATitulo loses the blanks and control characters at its ends first, as on the cover.
TTituloDaCapa TituloDaCapa(IVeltCanvas& Canvas, const std::string& ATitulo);

// The first character of ATitulo that the title's typeface lacks (it would print as an empty
// box); 0 when it has them all. Bytes that are not UTF-8 are not looked at.
uint32_t CaracterSemLetraNoTitulo(IVeltCanvas& Canvas, const std::string& ATitulo);

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
