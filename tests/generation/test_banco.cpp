#include "generation/banco.h"

#include "core/random.h"
#include "core/tipos.h"
#include "generation/geradores.h"
#include "laws/linear.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <set>

namespace tavrelo {
namespace {

TEST(LinhasDoBanco, NumeroDeLinhasPorOrdem) {
    const std::pair<int32_t, size_t> casos[] = {{8, 10}, {12, 42}, {16, 4}, {4, 0},
                                                {7, 0},  {10, 0},  {0, 0},  {-8, 0}};
    for (const auto& [N, linhas] : casos) {
        EXPECT_EQ(LinhasDoBanco(N).size(), linhas) << N;
    }
}

TEST(LinhasDoBanco, PrimeiraEUltimaLinhaDeCadaBloco) {
    EXPECT_EQ(LinhasDoBanco(8).front(), "2 6 10 14|15 17 47 49");
    EXPECT_EQ(LinhasDoBanco(8).back(), "26 30 34 38|7 9 23 25");
    EXPECT_EQ(LinhasDoBanco(12).front(), "2 6 10 14 18 22|23 25 71 73 119 121");
    EXPECT_EQ(LinhasDoBanco(12)[16], "12 36 60 84 108 132|1 3 5 7 9 11");
    EXPECT_EQ(LinhasDoBanco(12).back(), "64 66 68 76 78 80|9 15 33 39 57 63");
    EXPECT_EQ(LinhasDoBanco(16).front(), "16 48 80 112 144 176 208 240|1 3 5 7 9 11 13 15");
    EXPECT_EQ(LinhasDoBanco(16).back(), "72 88 104 120 136 152 168 184|57 59 61 63 65 67 69 71");
}

TEST(LerDesenho, SeparaParesEImpares) {
    const TDesenho d = LerDesenho("2 6 10 14|15 17 47 49");
    EXPECT_EQ(d.X, (std::vector<int32_t>{2, 6, 10, 14}));
    EXPECT_EQ(d.Y, (std::vector<int32_t>{15, 17, 47, 49}));
    const TDesenho g = LerDesenho("72 88 104 120 136 152 168 184|57 59 61 63 65 67 69 71");
    EXPECT_EQ(g.X.back(), 184);
    EXPECT_EQ(g.Y.front(), 57);
    EXPECT_EQ(g.Y.size(), 8u);
}

bool Crescente(const std::vector<int32_t>& v) {
    return std::adjacent_find(v.begin(), v.end(), std::greater_equal<>()) == v.end();
}

// What makes the formula give a square: X even, Y odd, ascending, N/2 each, and the N²
// signed sums ±x ±y hit every odd number from -(N²-1) to N²-1 once.
TEST(Banco, CadaDesenhoCobreOsImparesUmaVez) {
    for (const int32_t N : {8, 12, 16}) {
        const std::vector<std::string> linhas = LinhasDoBanco(N);
        std::vector<int32_t> anteriorX;
        for (size_t i = 0; i < linhas.size(); ++i) {
            const TDesenho d = LerDesenho(linhas[i]);
            SCOPED_TRACE(::testing::Message() << "N " << N << " desenho " << i);
            ASSERT_EQ(d.X.size(), static_cast<size_t>(N / 2));
            ASSERT_EQ(d.Y.size(), static_cast<size_t>(N / 2));
            EXPECT_TRUE(Crescente(d.X));
            EXPECT_TRUE(Crescente(d.Y));
            EXPECT_TRUE(
                std::all_of(d.X.begin(), d.X.end(), [](int32_t x) { return x > 0 && x % 2 == 0; }));
            EXPECT_TRUE(
                std::all_of(d.Y.begin(), d.Y.end(), [](int32_t y) { return y > 0 && y % 2 != 0; }));
            EXPECT_TRUE(anteriorX < d.X) << "ordem lexicografica do bloco";
            anteriorX = d.X;

            std::vector<int32_t> somas;
            for (const int32_t x : d.X) {
                for (const int32_t y : d.Y) {
                    somas.insert(somas.end(), {x + y, x - y, -x + y, -x - y});
                }
            }
            std::sort(somas.begin(), somas.end());
            std::vector<int32_t> impares(static_cast<size_t>(N * N));
            for (size_t k = 0; k < impares.size(); ++k) {
                impares[k] = -(N * N - 1) + 2 * static_cast<int32_t>(k);
            }
            EXPECT_EQ(somas, impares);
        }
    }
}

// Every design under the plain arrangement and under random permutations and signs.
TEST(MontarQuadradoPar, TodosOsDesenhosDaoQuadradosMaisPerfeitos) {
    TGeradorAleatorio rng(2024);
    for (const int32_t N : {8, 12, 16}) {
        const size_t n = static_cast<size_t>(N / 2);
        for (const std::string& linha : LinhasDoBanco(N)) {
            const TDesenho d = LerDesenho(linha);
            std::vector<int32_t> PX(n), PY(n), SX(n, 1), SY(n, 1);
            std::iota(PX.begin(), PX.end(), 0);
            std::iota(PY.begin(), PY.end(), 0);
            for (int arranjo = 0; arranjo < 6; ++arranjo) {
                const TSolucao S{N, MontarQuadradoPar(N, d.X, d.Y, PX, SX, PY, SY)};
                ASSERT_TRUE(VerificarPermutacao(S)) << "N " << N << " " << linha;
                ASSERT_TRUE(VerificarMaisPerfeito(S)) << "N " << N << " " << linha;
                Baralhar(rng, PX);
                Baralhar(rng, PY);
                for (size_t k = 0; k < n; ++k) {
                    SX[k] = 1 - 2 * rng.Limite(2);
                    SY[k] = 1 - 2 * rng.Limite(2);
                }
            }
        }
    }
}

} // namespace
} // namespace tavrelo
