// What the PDF reader (tavrelo-leitor-pdf) answers the program that started it, on its
// standard output: one line naming the answer, and for rlPalavras the PDF's Keywords after it,
// as UTF-8, to the end. Shared by the reader and the programs, which read nothing else from
// it; standard library only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavrelo {

enum class TRespostaDoLeitor : uint8_t {
    rlPalavras,     // the Keywords follow (nothing when the PDF has none)
    rlLongas,       // Keywords longer than MAXIMO_DAS_PALAVRAS: not sent
    rlIlegivel,     // not a PDF that reads as one (damaged files are not searched)
    rlPalavraPasse, // encrypted, and the empty password does not open it (no other is tried)
    rlSemMemoria,   // the reader ran out of memory reading it
};

// The first line of each answer, without its '\n'.
inline constexpr std::string_view LINHAS_DO_LEITOR[] = {"PALAVRAS", "LONGAS", "ILEGIVEL",
                                                        "PALAVRA-PASSE", "SEM-MEMORIA"};

// The longest Keywords the reader passes on: many times the longest recipe a book can have.
inline constexpr size_t MAXIMO_DAS_PALAVRAS = 4096;

} // namespace tavrelo
