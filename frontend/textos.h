// What both front ends say and check: the lines about a finished, cancelled or failed book,
// the file name proposed for a book, and the rules of the choice of a book.
#pragma once

#include "generation/livro.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrelo {

// The choice of a book: MIN_PUZZLES to MAX_PUZZLES puzzles, typed with at most three digits;
// the difficulty items are the levels 1 to 5 (items 0 to 4) and the Progressiva (item 5).
inline constexpr int32_t DIGITOS_MAX_PUZZLES = 3;
inline constexpr int32_t ITEM_PROGRESSIVA = 5;

// The program's version, "1.0.0": the same in both programs and the desktop entry.
const char* VersaoDoPrograma();

// The status lines before the first puzzle and while the pages are written.
inline constexpr const char* TEXTO_A_PREPARAR = "A preparar o livro…";
inline constexpr const char* TEXTO_A_CRIAR_PDF = "A criar o PDF…";

// "1 puzzle", "50 puzzles": the count, a blank, then the singular or plural word.
std::string PluralDe(int32_t n, const std::string& ASingular, const std::string& APlural);

// "Tavrelo_8x8_P_50.pdf", "Tavrelo_12x12_N3_20.pdf"; ANivel 0 is the Progressiva.
std::string NomeDoFicheiro(int32_t N, int32_t ANivel, int32_t ANumPuzzles);

// "Livro gerado: 50 puzzles, 62 páginas. Código do livro: 0A1B2C3D"
std::string MensagemLivroGerado(int32_t APuzzles, int32_t APaginas, const std::string& ACodigo);

// The same line for a book written without pages (no PDF):
// "Livro gerado: 50 puzzles. Código do livro: 0A1B2C3D"
std::string MensagemLivroGerado(int32_t APuzzles, const std::string& ACodigo);

// "Geração cancelada aos 7 de 50 puzzles. Nada foi gravado."
std::string MensagemCancelada(int32_t AFeitos, int32_t ATotal);

// "Livro interrompido antes de ser gravado. Nenhum ficheiro foi alterado." A stop once the
// puzzles are made: while the pages are written, or just before the files are put in place.
std::string MensagemInterrompidoAoGravar();

// " Parte do livro já tinha sido escrita na saída padrão.": the sentence added to a stopped or
// failed book when part of it had already gone to a stream ("-" is the standard output, any
// other a path); empty when nothing had.
std::string NotaDeEscritaParcial(const std::vector<std::string>& AFluxos);

// "Aviso: livro.pdf tinha outro nome (uma ligação fixa), que continua com o ficheiro antigo."
std::string AvisoOutrosNomes(const std::string& ACaminho, uint64_t AOutros);

// "Não foi possível terminar o livro: " followed by the reason.
std::string MensagemLivroFalhou(const std::string& AMotivo);

// The reason when memory ran out, and the whole line, MensagemLivroFalhou(MOTIVO_SEM_MEMORIA),
// for a program that has no memory left to build it.
inline constexpr const char* MOTIVO_SEM_MEMORIA = "não há memória suficiente.";
inline constexpr const char* MENSAGEM_SEM_MEMORIA =
    "Não foi possível terminar o livro: não há memória suficiente.";

// Fewest puzzles of a book at level ANivel: one per level for the Progressiva (0).
int32_t MinimoDePuzzlesDoNivel(int32_t ANivel);

// Level of a difficulty item of the window: items 0..4 are levels 1..5, item 5 the
// Progressiva (0).
int32_t NivelDoItem(int32_t AItem);

// Fewest puzzles for a difficulty item: 5 for the Progressiva (item 5), else 1.
int32_t MinimoDePuzzles(int32_t AItem);

// The number of puzzles typed by the user: blanks around it are ignored; only 1 to 3 digits
// with a value from 1 to 100 are accepted. n is 0 when the text is refused.
bool LerNumPuzzles(const std::string& ATexto, int32_t& n);

// Empty when AValido, else "Indique um número de puzzles entre 1 e 100."
std::string MensagemNumPuzzles(bool AValido);

// "50 puzzles · 8 × 8 · progressiva: 10 + 10 + 10 + 10 + 10", "1 puzzle · 12 × 12 · nível 3";
// AItem is the difficulty item (5 = Progressiva).
std::string ResumoDaEscolha(int32_t n, int32_t N, int32_t AItem);

// "Está a ser gerado um livro. Cancelar e sair?"
std::string MensagemSairDuranteGeracao();

// The book code as the user types it (tavrelo-cli -s, the window's "Refazer um livro…"):
// 1 to 8 hexadecimal digits in either case, blanks around them ignored; nullopt for any
// other text ("0x1F", "-1", "123456789", "").
std::optional<uint32_t> LerCodigoDoLivro(const std::string& ATexto);

// "Na dificuldade Progressiva, o livro precisa de pelo menos 5 puzzles (um por nível)."
std::string MensagemMinimoProgressiva();

// A book's title as typed, checked against its cover.
struct TTituloDoLivro {
    // Without blanks and control characters at its ends, in Unicode's composed form (NFC):
    // what the book holds and prints.
    std::string Titulo;
    // Why the cover cannot print it, as a sentence; empty when it can.
    std::string Motivo;
};
// Both front ends refuse a book whose title has a Motivo: text that is not UTF-8, control
// characters, a character the book's typeface lacks, or a title too long for three lines of
// the cover. The cover's own typeface and layout measure it.
TTituloDoLivro VerificarTitulo(const std::string& ATitulo);

} // namespace tavrelo
