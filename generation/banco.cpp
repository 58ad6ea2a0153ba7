#include "generation/banco.h"

#include "core/tipos.h"

#include <array>
#include <sstream>
#include <string_view>

namespace tavrelo {

namespace {

// Every row: the even numbers X, a bar, the odd numbers Y. Inside each order's block the
// rows are in ascending order of X and a row's position is its design index.
constexpr std::array<std::string_view, 10> BANCO_8 = {
    "2 6 10 14|15 17 47 49", "4 12 20 28|29 31 33 35",  "6 10 22 26|27 29 35 37",
    "8 24 40 56|1 3 5 7",    "10 14 18 22|23 25 39 41", "12 20 44 52|5 7 9 11",
    "14 18 46 50|3 5 11 13", "20 28 36 44|13 15 17 19", "22 26 38 42|11 13 19 21",
    "26 30 34 38|7 9 23 25",
};

constexpr std::array<std::string_view, 42> BANCO_12 = {
    "2 6 10 14 18 22|23 25 71 73 119 121",   "2 6 26 30 34 38|7 9 87 89 103 105",
    "2 6 42 46 50 54|55 57 71 73 87 89",     "2 6 90 94 98 102|7 9 23 25 39 41",
    "4 6 8 16 18 20|21 27 69 75 117 123",    "4 12 20 28 36 44|1 3 93 95 97 99",
    "4 12 84 92 100 108|1 3 29 31 33 35",    "6 10 22 26 38 42|3 5 91 93 99 101",
    "6 10 86 90 102 106|3 5 27 29 35 37",    "6 18 30 42 54 66|67 69 71 73 75 77",
    "6 18 78 90 102 114|19 21 23 25 27 29",  "8 12 16 32 36 40|5 7 89 91 101 103",
    "10 12 14 34 36 38|3 9 87 93 99 105",    "10 14 34 38 58 62|63 65 71 73 79 81",
    "10 14 82 86 106 110|15 17 23 25 31 33", "12 18 24 48 54 60|61 63 65 79 81 83",
    "12 36 60 84 108 132|1 3 5 7 9 11",      "14 18 22 26 30 34|11 13 83 85 107 109",
    "14 18 22 50 54 58|59 61 71 73 83 85",   "16 18 20 28 30 32|9 15 81 87 105 111",
    "16 18 20 52 54 56|57 63 69 75 81 87",   "18 30 66 78 114 126|7 9 11 13 15 17",
    "20 28 68 76 116 124|1 3 13 15 17 19",   "22 26 70 74 118 122|3 5 11 13 19 21",
    "24 36 48 96 108 120|13 15 17 19 21 23", "26 30 34 38 42 46|47 49 71 73 95 97",
    "28 30 32 40 42 44|45 51 69 75 93 99",   "28 36 44 100 108 116|1 3 21 23 25 27",
    "30 36 42 102 108 114|7 9 11 25 27 29",  "32 36 40 104 108 112|5 7 17 19 29 31",
    "34 36 38 106 108 110|3 9 15 21 27 33",  "42 54 66 78 90 102|31 33 35 37 39 41",
    "46 50 70 74 94 98|27 29 35 37 43 45",   "48 54 60 84 90 96|25 27 29 43 45 47",
    "50 54 58 86 90 94|23 25 35 37 47 49",   "52 54 56 88 90 92|21 27 33 39 45 51",
    "52 60 68 76 84 92|1 3 45 47 49 51",     "54 58 70 74 86 90|3 5 43 45 51 53",
    "56 60 64 80 84 88|5 7 41 43 53 55",     "58 60 62 82 84 86|3 9 39 45 51 57",
    "62 66 70 74 78 82|11 13 35 37 59 61",   "64 66 68 76 78 80|9 15 33 39 57 63",
};

constexpr std::array<std::string_view, 4> BANCO_16 = {
    "16 48 80 112 144 176 208 240|1 3 5 7 9 11 13 15",
    "24 40 88 104 152 168 216 232|9 11 13 15 17 19 21 23",
    "40 56 72 88 168 184 200 216|25 27 29 31 33 35 37 39",
    "72 88 104 120 136 152 168 184|57 59 61 63 65 67 69 71",
};

template <size_t K> std::vector<std::string> ComoTexto(const std::array<std::string_view, K>& A) {
    return std::vector<std::string>(A.begin(), A.end());
}

// Decimal numbers separated by single spaces.
std::vector<int32_t> LerNumeros(const std::string& ATexto) {
    std::vector<int32_t> numeros;
    std::istringstream fluxo(ATexto);
    int32_t v;
    while (fluxo >> v) {
        numeros.push_back(v);
    }
    return numeros;
}

// Row terms for the even rows (or column terms for the even columns); the odd ones are negated.
std::vector<int32_t> Termos(int32_t N, std::span<const int32_t> AValores,
                            std::span<const int32_t> APerm, std::span<const int32_t> ASinais) {
    const size_t n = static_cast<size_t>(N / 2);
    std::vector<int32_t> termos(static_cast<size_t>(N));
    for (size_t k = 0; k < n; ++k) {
        termos[k] = ASinais[k] * AValores[static_cast<size_t>(APerm[k])];
        termos[n + k] = -termos[k];
    }
    return termos;
}

} // namespace

std::vector<std::string> LinhasDoBanco(int32_t N) {
    switch (N) {
    case 8:
        return ComoTexto(BANCO_8);
    case 12:
        return ComoTexto(BANCO_12);
    case 16:
        return ComoTexto(BANCO_16);
    default:
        return {};
    }
}

TDesenho LerDesenho(const std::string& ALinha) {
    const size_t barra = ALinha.find('|');
    TDesenho d;
    d.X = LerNumeros(ALinha.substr(0, barra));
    if (barra != std::string::npos) {
        d.Y = LerNumeros(ALinha.substr(barra + 1));
    }
    return d;
}

std::vector<int32_t> MontarQuadradoPar(int32_t N, std::span<const int32_t> X,
                                       std::span<const int32_t> Y, std::span<const int32_t> PX,
                                       std::span<const int32_t> SX, std::span<const int32_t> PY,
                                       std::span<const int32_t> SY) {
    const std::vector<int32_t> A = Termos(N, X, PX, SX);
    const std::vector<int32_t> B = Termos(N, Y, PY, SY);
    const int32_t C = SomaComplementar(N);
    std::vector<int32_t> celulas(static_cast<size_t>(N) * static_cast<size_t>(N));
    for (int32_t r = 0; r < N; ++r) {
        for (int32_t c = 0; c < N; ++c) {
            const int32_t a = r % 2 == 0 ? A[static_cast<size_t>(c)] : -A[static_cast<size_t>(c)];
            const int32_t b = c % 2 == 0 ? B[static_cast<size_t>(r)] : -B[static_cast<size_t>(r)];
            celulas[static_cast<size_t>(r * N + c)] = (C + a + b) / 2;
        }
    }
    return celulas;
}

} // namespace tavrelo
