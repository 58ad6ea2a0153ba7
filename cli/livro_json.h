// A generated book as JSON: every field of the book, its puzzles and their deduction
// records, with the keys named and ordered as the records' fields.
#pragma once

#include "generation/livro.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <string_view>

namespace tavrelo {

nlohmann::ordered_json LivroParaJson(const TLivro& ALivro);

// The text of a JSON value, in UTF-8 (titles keep their accents). Objects and arrays
// of plain values (grids, counts, deduction steps) stay on one line; the rest is
// indented by two blanks per level. Ends with a newline.
std::string TextoJson(const nlohmann::ordered_json& AValor);

// The text of the book, TextoJson(LivroParaJson(ALivro)) byte for byte, written straight from
// the book (no value is built) and handed to AEscrever a piece at a time: no more than one
// puzzle is ever held as text, whatever the size of the book.
void EscreverLivroJson(const TLivro& ALivro,
                       const std::function<void(std::string_view)>& AEscrever);

// The same text whole, for a small book.
std::string TextoDoLivroJson(const TLivro& ALivro);

} // namespace tavrelo
