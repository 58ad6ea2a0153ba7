// The next book seen before it is made: its cover, its first page of puzzles and its first
// page of solutions, drawn by the book's own page code into pictures, as its PDF will hold
// them.
#pragma once

#include "drawing/imagem.h"
#include "generation/livro.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavrelo {

struct TPaginaVista {
    std::string Nome;     // "Capa", "Puzzles", "Soluções"
    int32_t Numero = 0;   // its place in the book, from 1
    TImagemPagina Imagem; // empty when Motivo says why
    std::string Motivo;   // in place of the cover: why its title cannot be printed
};

struct TVistaDoLivro {
    std::string Codigo;
    std::vector<TPaginaVista> Paginas;
};

// How many of the book's first puzzles its first page of puzzles and its first page of
// solutions show together.
int32_t PuzzlesDaVista(const TConfigLivro& AConfig);

// Makes those puzzles, the very ones the book will hold (the same configuration and code make
// them), and draws the three pages ALargura pixels wide. AParar is asked between puzzles and
// between pages: true gives nothing back. A configuration the book refuses raises EVelt.
std::optional<TVistaDoLivro> VerLivro(const TConfigLivro& AConfig, int32_t ALargura,
                                      const std::function<bool()>& AParar = {});

} // namespace tavrelo
