// A book's recipe: every choice it was made from and its code, written into its PDF's Keywords
// so that the PDF alone is enough to make the same book again (tavrelo-cli --refazer, the
// window's "Refazer um livro…").
//
// The recipe is one line of UTF-8, its fields in this order, separated by "; ":
//
//   TAVRELO-RECEITA/1; tamanho=12; nivel=3; puzzles=20; dicas=sim; codigo=0A1B2C3D;
//   programa=1.0.0; titulo=Férias de Verão; soma=C151EBB6
//
// (one line in the PDF). "TAVRELO-RECEITA/1" names the form and its version; tamanho is 8, 12,
// 16, 7, 11 or 13; nivel 1 to 5, or P for the Progressiva; puzzles 1 to 100; dicas "sim" or
// "não"; codigo the book code, eight uppercase hexadecimal digits; programa the version of the
// program that made the book, numbers separated by dots ("1.0.0", at most 15 characters);
// titulo the title as the cover prints it (Unicode's composed form, possibly empty), running
// up to the last "; soma="; soma the CRC-32 (the checksum of zlib and PNG) of every byte
// before "; soma=", as eight uppercase hexadecimal digits. Nothing else is accepted: a recipe
// changed by hand or by another program is refused, and so is any text longer than
// MAXIMO_DAS_PALAVRAS bytes. What a refusal shows of the recipe is escaped as file names are
// (NomeParaMostrar): nothing read from a PDF can act on the terminal that shows it.
#pragma once

#include "core/tipos.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace tavrelo {

inline constexpr const char* MARCA_DA_RECEITA = "TAVRELO-RECEITA/";
inline constexpr int32_t FORMA_DA_RECEITA = 1;

struct TReceitaDoLivro {
    TConfigLivro Config; // every choice, and the code as Semente
    std::string Versao;  // the version of the program that made the book
};

// The recipe of the book of AConfig made by this program.
std::string TextoDaReceita(const TConfigLivro& AConfig);

// CRC-32 as zlib and PNG compute it (zlib's own).
uint32_t Crc32(const std::string& ATexto);

// A recipe read, or why there is none to read: a Portuguese sentence that names the file.
struct TLeituraDaReceita {
    std::optional<TReceitaDoLivro> Receita;
    std::string Motivo;
};

// The recipe held in a PDF's Keywords (AOrigem names the PDF in the reasons). A text without
// the recipe's mark is "no recipe"; one with it that is not exactly a recipe of a known form,
// with the right sum, or whose choices this program would not make, is refused with its reason.
TLeituraDaReceita LerTextoDaReceita(const std::string& ATexto, const std::string& AOrigem);

// The recipe of the PDF at ACaminho, read by the PDF reader within its limits (pdf_lido.h):
// a PDF past them is refused with its reason, as is a file that is no PDF on the disk (a
// folder, FIFO, socket or device) or is larger than MAXIMO_DO_PDF. AParar, when given and set,
// stops the reading (the reason then says so). Raises std::bad_alloc when this process is
// short of memory.
TLeituraDaReceita LerReceitaDoPdf(const std::string& ACaminho,
                                  const std::atomic<bool>* AParar = nullptr);

// Empty when ADestino may take the book made again from the PDF AOrigem; else why not, to be
// shown: a book made again is never written over the PDF its recipe came from, under any of
// its names, since an original of another version could be lost.
std::string RecusaDoDestinoDoRefeito(const std::string& ADestino, const std::string& AOrigem);

// Empty when the book was made by this version of the program, else a sentence that warns the
// book made again may differ from the original.
std::string AvisoDeVersao(const TReceitaDoLivro& AReceita);

} // namespace tavrelo
