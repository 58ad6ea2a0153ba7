// The user-facing lines about a finished, cancelled or failed book, and the file
// name proposed for a book. Shared by the front ends so both say the same thing.
#pragma once

#include <cstdint>
#include <string>

namespace tavrelo {

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

// "Não foi possível terminar o livro: " followed by the reason.
std::string MensagemLivroFalhou(const std::string& AMotivo);

// Fewest puzzles of a book at level ANivel: one per level for the Progressiva (0).
int32_t MinimoDePuzzlesDoNivel(int32_t ANivel);

// "Na dificuldade Progressiva, o livro precisa de pelo menos 5 puzzles (um por nível)."
std::string MensagemMinimoProgressiva();

} // namespace tavrelo
