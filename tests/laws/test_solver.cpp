#include "laws/solver.h"

#include "../quadrados.h"
#include "core/random.h"
#include "fecho_simples.h"
#include "laws/linear.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>

namespace tavrelo {
namespace {

using enum TFamilia;

const std::vector<int32_t>& QUADRADO7 = teste::ULTRAMAGICO_7.Valores;
const std::vector<int32_t>& QUADRADO8 = teste::MAIS_PERFEITO_8.Valores;

TEST(SolverTabela, FamiliasPorOrdem) {
    struct Caso {
        int32_t N;
        int32_t leis;
        std::array<int32_t, NUM_FAMILIAS> familias; // laws of each family, by its value
    };
    const Caso casos[] = {
        {4, 40, {8, 2, 6, 16, 8, 0, 0}},     {5, 33, {10, 2, 8, 0, 0, 0, 13}},
        {7, 53, {14, 2, 12, 0, 0, 0, 25}},   {8, 128, {16, 2, 14, 64, 32, 0, 0}},
        {11, 105, {22, 2, 20, 0, 0, 0, 61}}, {12, 264, {24, 2, 22, 144, 72, 0, 0}},
        {13, 137, {26, 2, 24, 0, 0, 0, 85}}, {16, 448, {32, 2, 30, 256, 128, 0, 0}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.N);
        TSolverDeducao s(c.N);
        EXPECT_EQ(s.NumLeis(), c.leis);
        std::array<int32_t, NUM_FAMILIAS> familias{};
        for (int32_t j = 0; j < s.NumLeis(); ++j) {
            ++familias[static_cast<size_t>(s.Lei(j).Familia)];
        }
        EXPECT_EQ(familias, c.familias);
        // The main diagonals are the first down-right and the last down-left diagonal.
        EXPECT_EQ(s.Lei(2 * c.N).Familia, lfDiagPrincipal);
        EXPECT_EQ(s.Lei(4 * c.N - 1).Familia, lfDiagPrincipal);
        const size_t porCelula = c.N % 2 != 0 ? 5 : 9;
        for (int32_t cel = 0; cel < c.N * c.N; ++cel) {
            ASSERT_EQ(s.PorCelula(cel).size(), porCelula) << "cell " << cel;
            ASSERT_TRUE(std::is_sorted(s.PorCelula(cel).begin(), s.PorCelula(cel).end()));
        }
    }
}

TEST(SolverTabela, LeisEIndicePorCelula) {
    TSolverDeducao s8(8);
    EXPECT_EQ(s8.PorCelula(0), (std::vector<int32_t>{0, 8, 16, 17, 32, 33, 46, 120, 127}));
    EXPECT_EQ(s8.CoefPorCelula(0), std::vector<int32_t>(9, 1));
    EXPECT_EQ(s8.Lei(33).Celulas, (std::vector<int32_t>{0, 36}));
    EXPECT_EQ(s8.Lei(33).Familia, lfMeia);
    EXPECT_EQ(s8.Lei(32).Familia, lfBloco);
    EXPECT_EQ(s8.Lei(32).Constante, 130);

    TSolverDeducao s7(7);
    EXPECT_EQ(s7.PorCelula(24), (std::vector<int32_t>{3, 10, 14, 27, 52}));
    EXPECT_EQ(s7.CoefPorCelula(24), (std::vector<int32_t>{1, 1, 1, 1, 2}));
    const TLei centro = s7.Lei(52);
    EXPECT_EQ(centro.Celulas, std::vector<int32_t>{24});
    EXPECT_EQ(centro.Coefs, std::vector<int32_t>{2});
    EXPECT_EQ(centro.Constante, 50);
    EXPECT_EQ(centro.Familia, lfPar);
    EXPECT_EQ(s7.Lei(14).Familia, lfDiagPrincipal);
    EXPECT_EQ(s7.Lei(27).Familia, lfDiagPrincipal);
    EXPECT_EQ(s7.Lei(15).Familia, lfDiagQuebrada);
}

TEST(SolverTabela, ConjuntosDeFamiliasEOrdemInvalida) {
    EXPECT_EQ(FamiliasCompletas(7).Bits, 71);
    EXPECT_EQ(FamiliasCompletas(8).Bits, 31);
    EXPECT_EQ(FamiliasBasicas(13).Bits, 3);
    EXPECT_EQ(FamiliasBasicas(16).Bits, 19);
    EXPECT_FALSE(FamiliasCompletas(8).Contem(lfLista));
    EXPECT_FALSE(FamiliasCompletas(7).Contem(lfLista));
    try {
        TSolverDeducao s(6);
        FAIL() << "order 6 accepted";
    } catch (const EVelt& e) {
        EXPECT_STREQ(e.what(), "EquacoesDoQuadrado: o mais-perfeito so existe em multiplos de 4");
    }
}

TEST(SolverResolver, GrelhaCompleta) {
    TSolverDeducao s(8);
    EXPECT_TRUE(s.Fecho(QUADRADO8, FamiliasCompletas(8), false));
    const TResultadoSolver r = s.Resolver(QUADRADO8, FamiliasCompletas(8), QUADRADO8, true);
    EXPECT_TRUE(r.Resolvido);
    EXPECT_EQ(r.Rondas, 0);
    EXPECT_TRUE(r.Passos.empty());
}

TEST(SolverResolver, CentroVazioDadoPelaLeiDeMenorIndice) {
    TSolverDeducao s(7);
    std::vector<int32_t> g = QUADRADO7;
    g[24] = 0;
    struct Caso {
        TFamilias familias;
        int32_t lei;
        TFamilia familia;
    };
    for (const Caso& c : {Caso{FamiliasCompletas(7), 3, lfLinha}, Caso{{lfPar}, 52, lfPar}}) {
        const TResultadoSolver r = s.Resolver(g, c.familias, QUADRADO7, false);
        ASSERT_EQ(r.Passos.size(), 1u);
        EXPECT_EQ(r.Passos[0], (TPassoDeducao{1, c.lei, c.familia, 24, 25, -1, 0}));
        EXPECT_TRUE(r.Resolvido);
        EXPECT_EQ(r.Rondas, 1);
        std::array<int32_t, NUM_FAMILIAS> usos{};
        usos[static_cast<size_t>(c.familia)] = 1;
        EXPECT_EQ(r.Usos, usos);
    }
}

TEST(SolverResolver, GrelhasVazias) {
    const std::vector<int32_t> vazia7(49, 0);
    TSolverDeducao s7(7);
    const TResultadoSolver r7 = s7.Resolver(vazia7, FamiliasCompletas(7), QUADRADO7, false);
    ASSERT_EQ(r7.Passos.size(), 1u);
    EXPECT_EQ(r7.Passos[0], (TPassoDeducao{1, 52, lfPar, 24, 25, -1, 0}));
    EXPECT_FALSE(r7.Resolvido);
    EXPECT_EQ(r7.Rondas, 1);
    EXPECT_FALSE(s7.Fecho(vazia7, FamiliasCompletas(7), false));

    const std::vector<int32_t> vazia8(64, 0);
    TSolverDeducao s8(8);
    for (const bool lista : {false, true}) {
        const TResultadoSolver r8 = s8.Resolver(vazia8, FamiliasCompletas(8), QUADRADO8, lista);
        EXPECT_FALSE(r8.Resolvido);
        EXPECT_EQ(r8.Rondas, 0);
        EXPECT_TRUE(r8.Passos.empty());
        EXPECT_FALSE(s8.Fecho(vazia8, FamiliasCompletas(8), lista));
    }
}

TEST(SolverResolver, ValorContraASolucaoDeReferencia) {
    TSolverDeducao s(8);
    std::vector<int32_t> g = QUADRADO8;
    g[1] = 0;  // row 0 (law 0) deduces cell 1 from the others...
    g[2] = 29; // ...but cell 2 was given wrong (45 in the solution)
    try {
        s.Resolver(g, FamiliasCompletas(8), QUADRADO8, false);
        FAIL() << "no exception";
    } catch (const EVelt& e) {
        EXPECT_STREQ(e.what(), "Resolver: a lei 0 da um valor diferente da solucao");
    }
    // Without a reference the same grid is simply resolved with the law's value.
    const TResultadoSolver r = s.Resolver(g, FamiliasCompletas(8), {}, false);
    ASSERT_FALSE(r.Passos.empty());
    EXPECT_EQ(r.Passos[0].Valor, 28 + 45 - 29);
}

TEST(SolverResolver, PassoDeListaSemLeiAberta) {
    // With only the main diagonals in play, a cell off both of them is in no law:
    // the list alone gives it, with no partner.
    TSolverDeducao s(7);
    std::vector<int32_t> g = QUADRADO7;
    g[1] = 0;
    const TResultadoSolver r = s.Resolver(g, TFamilias{lfDiagPrincipal}, QUADRADO7, true);
    ASSERT_EQ(r.Passos.size(), 1u);
    EXPECT_EQ(r.Passos[0], (TPassoDeducao{1, -1, lfLista, 1, 29, -1, 0}));
    EXPECT_EQ(r.Usos[static_cast<size_t>(lfLista)], 1);
    EXPECT_TRUE(r.Resolvido);
}

TEST(SolverResolver, PassosDeListaComParceiro) {
    // Main diagonals only, with the centre and one more cell of each diagonal empty:
    // each diagonal pairs its two gaps, and together they pin all three down.
    TSolverDeducao s(7);
    std::vector<int32_t> g = QUADRADO7;
    g[8] = g[12] = g[24] = 0; // values 7, 12 and 25
    const TFamilias diagonais{lfDiagPrincipal};
    EXPECT_TRUE(s.Fecho(g, diagonais, true));
    EXPECT_FALSE(s.Fecho(g, diagonais, false));
    const TResultadoSolver r = s.Resolver(g, diagonais, QUADRADO7, true);
    ASSERT_EQ(r.Passos.size(), 3u);
    EXPECT_EQ(r.Passos[0], (TPassoDeducao{1, 14, lfLista, 8, 7, 24, 32}));
    EXPECT_EQ(r.Passos[1], (TPassoDeducao{1, 27, lfLista, 12, 12, 24, 37}));
    EXPECT_EQ(r.Passos[2], (TPassoDeducao{1, 14, lfLista, 24, 25, 8, 32}));
    EXPECT_TRUE(r.Resolvido);
    EXPECT_EQ(r.Rondas, 1);
    EXPECT_EQ(r.Usos[static_cast<size_t>(lfLista)], 3);

    // Two cells in no law of the set: the list {29, 46} cannot tell them apart.
    std::vector<int32_t> h = QUADRADO7;
    h[1] = h[2] = 0;
    const TResultadoSolver parado = s.Resolver(h, diagonais, QUADRADO7, true);
    EXPECT_FALSE(parado.Resolvido);
    EXPECT_EQ(parado.Rondas, 0);
    EXPECT_TRUE(parado.Passos.empty());
}

// Random grids: subsets of a valid square, and tampered ones (values out of range,
// repeats, wrong numbers). The fast closure must answer as the plain one does, and
// for valid subsets agree with Resolver.
TEST(SolverFecho, IgualAoFechoSimplesEmGrelhasAleatorias) {
    TGeradorAleatorio rng(2024);
    const std::vector<std::pair<int32_t, std::vector<int32_t>>> quadrados = {{7, QUADRADO7},
                                                                             {8, QUADRADO8}};
    for (const auto& [N, quadrado] : quadrados) {
        TSolverDeducao s(N);
        const teste::FechoSimples simples(s);
        const TFamilias conjuntos[] = {FamiliasCompletas(N), FamiliasBasicas(N), TFamilias{lfLinha},
                                       TFamilias(0x7F)};
        for (int k = 0; k < 400; ++k) {
            std::vector<int32_t> g = quadrado;
            const int32_t vazias = rng.Limite(N * N + 1);
            for (int32_t v = 0; v < vazias; ++v) {
                g[static_cast<size_t>(rng.Limite(N * N))] = 0;
            }
            const bool adulterada = k % 3 == 0;
            if (adulterada) {
                const int32_t estranhos[] = {-7, N * N + 1, 1, INT32_MIN, INT32_MAX, 1000000};
                for (int32_t v = 0; v < 3; ++v) {
                    g[static_cast<size_t>(rng.Limite(N * N))] = estranhos[rng.Limite(6)];
                }
            }
            for (const TFamilias f : conjuntos) {
                for (const bool lista : {false, true}) {
                    const bool esperado = simples.Fecho(g, f, lista);
                    ASSERT_EQ(s.Fecho(g, f, lista), esperado)
                        << "N=" << N << " k=" << k << " fam=" << int(f.Bits) << " lista=" << lista;
                    if (!adulterada) {
                        ASSERT_EQ(s.Resolver(g, f, quadrado, lista).Resolvido, esperado);
                    }
                }
            }
        }
    }
}

TEST(SolverFecho, GrelhasForaDoFormato) {
    TSolverDeducao s(8);
    EXPECT_FALSE(s.Fecho(std::vector<int32_t>(63, 0), FamiliasCompletas(8), true));
    EXPECT_FALSE(s.Fecho({}, FamiliasCompletas(8), true));
    EXPECT_THROW(s.Resolver(std::vector<int32_t>(65, 0), FamiliasCompletas(8), {}, true), EVelt);
    EXPECT_THROW(s.Resolver(QUADRADO8, FamiliasCompletas(8), std::vector<int32_t>(3, 1), true),
                 EVelt);
    // Every cell holding an impossible value: no law reads past its table.
    for (const int32_t v : {-1, 65, 1 << 30, INT32_MIN}) {
        const std::vector<int32_t> g(64, v);
        EXPECT_TRUE(s.Fecho(g, FamiliasCompletas(8), true)); // nothing empty: full
        std::vector<int32_t> h(64, v);
        h[9] = 0;
        h[10] = 0;
        EXPECT_FALSE(s.Fecho(h, FamiliasCompletas(8), true));
        s.Resolver(h, FamiliasCompletas(8), {}, true);
    }
}

} // namespace
} // namespace tavrelo
