// What the program reads back from a PDF: its document information's Keywords, through
// qpdf. Kept to the standard library in its face, so that qpdf's headers stay in one file.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace tavrelo {

// The Keywords of the PDF open in AFicheiro (named AName in qpdf's messages), as UTF-8; an
// empty text when it has none; nothing when the file does not read as a PDF (damaged files
// are not searched for what they might have held). Takes over AFicheiro and closes it.
// Running out of memory is thrown as std::bad_alloc, never taken for a bad file.
std::optional<std::string> PalavrasChaveDoPdf(std::FILE* AFicheiro, const std::string& ANome);

} // namespace tavrelo
