// Vocabulary shared by the whole engine: orders, cells, sums, the book
// configuration, the filled square and the one exception class.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tavrelo {

class EVelt : public std::runtime_error {
  public:
    explicit EVelt(const std::string& AMensagem) : std::runtime_error(AMensagem) {}
};

// The six orders in the order the user chooses them; per-order tables use this index.
inline constexpr std::array<int32_t, 6> TamanhosSuportados = {8, 12, 16, 7, 11, 13};

int32_t SomaMagica(int32_t N);
int32_t SomaComplementar(int32_t N);
int32_t TamanhoDoIndice(int32_t AIndice);
int32_t IndiceDoTamanho(int32_t N);
bool TamanhoValido(int32_t N);

struct TConfigLivro {
    int32_t NumPuzzles = 0;
    int32_t N = 0;
    int32_t Nivel = 0; // 0 = Progressiva, 1..5 = one level for every puzzle
    std::string Titulo;
    bool Caminho = false; // solutions printed with their deduction hints
    uint32_t Semente = 0;
};

struct TSolucao {
    int32_t N = 0;
    std::vector<int32_t> Valores; // N² cells, row-major
};

// Toroidal read: row and column are first brought into 0..N-1.
int32_t ValorEm(const TSolucao& ASolucao, int32_t ALinha, int32_t AColuna);

// Grid helpers. a modulo n brought into 0..n-1 (C++'s % keeps the sign of a).
inline constexpr int32_t Modulo(int32_t a, int32_t n) {
    return ((a % n) + n) % n;
}

// The centre cell of an odd order; -1 for an even order, which has none.
inline constexpr int32_t CentroDaGrelha(int32_t N) {
    return N % 2 != 0 ? (N * N - 1) / 2 : -1;
}

// The value in cell ACelula of a grid; 0 (empty) where the grid has no such cell.
inline int32_t ValorDaCasa(std::span<const int32_t> AGrelha, size_t ACelula) {
    return ACelula < AGrelha.size() ? AGrelha[ACelula] : 0;
}

// "L3C5": the row and column of a cell, counted from 1, as the book names cells.
std::string NomeDaCasa(int32_t N, int32_t ACelula);

// The text without the blanks and control characters at either end; the bytes of accented
// letters are kept.
std::string SemBrancos(const std::string& ATexto);

// printf-style formatting into a std::string, for the system's exact messages.
std::string Formatar(const char* AFormato, ...) __attribute__((format(printf, 1, 2)));

// The length in bytes of the well-formed UTF-8 sequence that starts at byte AInicio, with
// its code point in APonto; 0 when the bytes there are not UTF-8 (a stray or missing
// continuation byte, an overlong form, a surrogate, a value beyond U+10FFFF).
size_t SequenciaUtf8(std::string_view ATexto, size_t AInicio, uint32_t& APonto);

} // namespace tavrelo
