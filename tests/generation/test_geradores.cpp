#include "generation/geradores.h"

#include "laws/linear.h"

#include "../quadrados.h"

#include <gtest/gtest.h>

#include <numeric>

namespace tavrelo {
namespace {

bool MesmoEstado(const TGeradorAleatorio& a, const TGeradorAleatorio& b) {
    return a.Estado() == b.Estado() && a.Incremento() == b.Incremento();
}

using teste::Deslocar;

template <typename F> void EsperarErro(F&& AChamada, const std::string& AMensagem) {
    try {
        AChamada();
        ADD_FAILURE() << "sem excecao; esperava: " << AMensagem;
    } catch (const EVelt& e) {
        EXPECT_EQ(e.what(), AMensagem);
    }
}

const std::vector<int32_t>& DESENHO_8_0 = teste::MAIS_PERFEITO_8.Valores;

TEST(NumDesenhos, PorOrdem) {
    TGeradorQuadrados g;
    const std::pair<int32_t, int32_t> casos[] = {{8, 10}, {12, 42}, {16, 4}, {7, 0},
                                                 {11, 0}, {13, 0},  {10, 0}, {8, 10}};
    for (const auto& [N, num] : casos) {
        EXPECT_EQ(g.NumDesenhos(N), num) << N;
    }
}

TEST(QuadradoDoDesenho, ArranjoSimplesDoPrimeiroDesenhoDeOrdem8) {
    TGeradorQuadrados g;
    const TSolucao S = g.QuadradoDoDesenho(8, 0);
    EXPECT_EQ(S.N, 8);
    EXPECT_EQ(S.Valores, DESENHO_8_0);
}

TEST(QuadradoDoDesenho, UltimosDesenhosSaoQuadradosCertos) {
    TGeradorQuadrados g;
    for (const auto& [N, i] : {std::pair{8, 9}, {12, 41}, {16, 3}}) {
        const TSolucao S = g.QuadradoDoDesenho(N, i);
        EXPECT_EQ(S.N, N);
        EXPECT_TRUE(VerificarPermutacao(S) && VerificarMaisPerfeito(S)) << N << "/" << i;
    }
}

TEST(QuadradoDoDesenho, IndiceForaDoIntervaloLevanta) {
    TGeradorQuadrados g;
    for (const auto& [N, i] : {std::pair{8, 10}, {8, -1}, {7, 0}, {16, 4}, {10, 0}}) {
        EsperarErro([&] { g.QuadradoDoDesenho(N, i); },
                    "QuadradoDoDesenho: indice fora do intervalo");
    }
}

TEST(Baralhar, SequenciaDaSemente0) {
    // Create(0) outputs FDB46285, 7B09AB36, 15CE6E29, DDB9DB68: j = 4, 2, 0, 0.
    TGeradorAleatorio rng(0), sombra(0);
    std::vector<int32_t> v = {0, 1, 2, 3, 4};
    Baralhar(rng, v);
    EXPECT_EQ(v, (std::vector<int32_t>{1, 3, 0, 2, 4}));
    for (int i = 0; i < 4; ++i) {
        sombra.ProximoU32();
    }
    EXPECT_TRUE(MesmoEstado(rng, sombra));
}

TEST(Baralhar, ComprimentoZeroOuUmNaoSorteia) {
    TGeradorAleatorio rng(3), intacto(3);
    std::vector<int32_t> vazio, um = {7};
    Baralhar(rng, vazio);
    Baralhar(rng, um);
    EXPECT_EQ(um, std::vector<int32_t>{7});
    EXPECT_TRUE(MesmoEstado(rng, intacto));
}

TEST(AplicarSimetria, OitoCodigosEComplemento) {
    const std::vector<int32_t> base = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const std::vector<int32_t> esperado[8] = {
        {1, 2, 3, 4, 5, 6, 7, 8, 9}, {3, 6, 9, 2, 5, 8, 1, 4, 7}, {9, 8, 7, 6, 5, 4, 3, 2, 1},
        {7, 4, 1, 8, 5, 2, 9, 6, 3}, {1, 4, 7, 2, 5, 8, 3, 6, 9}, {7, 8, 9, 4, 5, 6, 1, 2, 3},
        {9, 6, 3, 8, 5, 2, 7, 4, 1}, {3, 2, 1, 6, 5, 4, 9, 8, 7},
    };
    for (int32_t t = 0; t < 8; ++t) {
        EXPECT_EQ(AplicarSimetria(base, 3, t, false), esperado[t]) << "t " << t;
        std::vector<int32_t> complemento = esperado[t];
        for (int32_t& v : complemento) {
            v = 10 - v;
        }
        EXPECT_EQ(AplicarSimetria(base, 3, t, true), complemento) << "t " << t;
    }
}

TEST(ChaveCanonica, PrimeiroDesenhoDeOrdem8) {
    TGeradorQuadrados g;
    const TSolucao S = g.QuadradoDoDesenho(8, 0);
    const std::vector<int32_t> arranjo = ArranjoCanonico(S);
    ASSERT_EQ(arranjo.size(), 64u);
    EXPECT_EQ(std::vector<int32_t>(arranjo.begin(), arranjo.begin() + 8),
              (std::vector<int32_t>{1, 16, 17, 32, 50, 63, 34, 47}));
    EXPECT_EQ(ChaveCanonica(S), 0xF8E43A017E8B5655ULL);
}

// Squares of the odd orders may not be shifted: a shifted ultramagic square is no longer one.
TEST(ChaveCanonica, SoAsOrdensParesSeDeslocam) {
    // Neither the 1 nor the 9 sits in a corner, so no symmetry or complement starts with 1;
    // only a shift could. In the 4 x 4 one, the complement's shift brings 16 15 to the end.
    const std::vector<int32_t> impar = {2, 1, 3, 4, 5, 6, 7, 9, 8};
    EXPECT_EQ(ArranjoCanonico(TSolucao{3, impar}), impar);
    const TSolucao par{4, {2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}};
    EXPECT_EQ(ArranjoCanonico(par),
              (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 15}));
}

struct TVetorSemente1 {
    int32_t N;
    std::vector<int32_t> valores;
    uint64_t chave;
};

const TVetorSemente1 SEMENTE_1[] = {
    {8,
     {44, 49, 28, 1,  32, 5,  48, 53, 30, 7, 46, 55, 42, 51, 26, 3,  36, 57, 20, 9,  24, 13,
      40, 61, 31, 6,  47, 54, 43, 50, 27, 2, 33, 60, 17, 12, 21, 16, 37, 64, 23, 14, 39, 62,
      35, 58, 19, 10, 41, 52, 25, 4,  29, 8, 45, 56, 22, 15, 38, 63, 34, 59, 18, 11},
     0xFC7E946787683E95ULL},
    {7, teste::ULTRAMAGICO_7.Valores, 0x8878C64006EACB58ULL},
};

TEST(Gerar, QuadradosDaSemente1) {
    for (const TVetorSemente1& v : SEMENTE_1) {
        TGeradorQuadrados g;
        TGeradorAleatorio rng(1);
        const TSolucao S = g.Gerar(v.N, rng);
        EXPECT_EQ(S.N, v.N);
        EXPECT_EQ(S.Valores, v.valores) << "N " << v.N;
        EXPECT_EQ(ChaveCanonica(S), v.chave) << "N " << v.N;
    }
}

// Replays one order-8 square draw by draw: design, PX, SX, PY, SY, symmetry, complement.
TEST(Gerar, OrdemDosSorteiosDeOrdem8) {
    TGeradorQuadrados g;
    TGeradorAleatorio rng(1), sombra(1);
    const TSolucao S = g.Gerar(8, rng);

    int32_t limites = 0;
    auto limite = [&](int32_t n) {
        ++limites;
        return sombra.Limite(n);
    };
    const int32_t d = limite(10);
    EXPECT_EQ(d, 5);
    auto permutacao = [&] {
        std::vector<int32_t> p = {0, 1, 2, 3};
        for (int32_t i = 3; i >= 1; --i) {
            std::swap(p[static_cast<size_t>(i)], p[static_cast<size_t>(limite(i + 1))]);
        }
        return p;
    };
    auto sinais = [&] {
        std::vector<int32_t> s(4);
        for (int32_t& x : s) {
            x = 1 - 2 * limite(2);
        }
        return s;
    };
    const std::vector<int32_t> PX = permutacao();
    const std::vector<int32_t> SX = sinais();
    const std::vector<int32_t> PY = permutacao();
    const std::vector<int32_t> SY = sinais();
    const int32_t t = limite(8);
    const int32_t c = limite(2);
    EXPECT_EQ(t, 2);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(limites, 17);

    const TDesenho desenho = LerDesenho(LinhasDoBanco(8)[static_cast<size_t>(d)]);
    const std::vector<int32_t> base = MontarQuadradoPar(8, desenho.X, desenho.Y, PX, SX, PY, SY);
    EXPECT_EQ(S.Valores, AplicarSimetria(base, 8, t, c == 1));
    EXPECT_TRUE(MesmoEstado(rng, sombra));
}

// Small bounds are practically never rejected, so each Limite is one output:
// 1 + (n-1) + n + (n-1) + n + 2 = 4n + 1 outputs for an even order.
TEST(Gerar, SaidasConsumidasPorOrdemPar) {
    TGeradorQuadrados g;
    for (const int32_t N : {8, 12, 16}) {
        for (uint32_t semente = 1; semente <= 10; ++semente) {
            TGeradorAleatorio rng(semente), sombra(semente);
            g.Gerar(N, rng);
            for (int32_t i = 0; i < 2 * N + 1; ++i) {
                sombra.ProximoU32();
            }
            EXPECT_TRUE(MesmoEstado(rng, sombra)) << "N " << N << " semente " << semente;
        }
    }
}

TEST(Gerar, TodasAsOrdensDaoQuadradosCertos) {
    TGeradorQuadrados g;
    for (const int32_t N : TamanhosSuportados) {
        for (uint32_t semente = 0; semente < 25; ++semente) {
            TGeradorAleatorio rng(semente * 7919u + static_cast<uint32_t>(N));
            const TSolucao S = g.Gerar(N, rng);
            SCOPED_TRACE(::testing::Message() << "N " << N << " semente " << semente);
            ASSERT_EQ(S.N, N);
            ASSERT_TRUE(VerificarPermutacao(S));
            ASSERT_TRUE(VerificarLeis(S));
            if (N % 2 != 0) {
                EXPECT_EQ(S.Valores[static_cast<size_t>((N * N - 1) / 2)], (N * N + 1) / 2);
            }
        }
    }
}

TEST(Gerar, SementesIguaisDaoQuadradosIguais) {
    TGeradorQuadrados a, b;
    for (const int32_t N : TamanhosSuportados) {
        TGeradorAleatorio ra(77), rb(77);
        EXPECT_EQ(a.Gerar(N, ra).Valores, b.Gerar(N, rb).Valores) << N;
        EXPECT_TRUE(MesmoEstado(ra, rb));
    }
}

TEST(Gerar, TamanhoInvalidoLevantaSemSortear) {
    TGeradorQuadrados g;
    const std::pair<int32_t, const char*> casos[] = {{10, "Gerar: tamanho invalido (10)"},
                                                     {0, "Gerar: tamanho invalido (0)"},
                                                     {4, "Gerar: tamanho invalido (4)"},
                                                     {5, "Gerar: tamanho invalido (5)"},
                                                     {-8, "Gerar: tamanho invalido (-8)"}};
    for (const auto& [N, mensagem] : casos) {
        TGeradorAleatorio rng(5), intacto(5);
        EsperarErro([&] { g.Gerar(N, rng); }, mensagem);
        EXPECT_TRUE(MesmoEstado(rng, intacto)) << N;
    }
}

TEST(ChaveCanonica, InvarianteNasSimetriasEDeslocamentos) {
    TGeradorQuadrados g;
    for (const int32_t N : TamanhosSuportados) {
        TGeradorAleatorio rng(static_cast<uint32_t>(N) * 31u);
        const TSolucao S = g.Gerar(N, rng);
        const uint64_t chave = ChaveCanonica(S);
        for (int32_t t = 0; t < 8; ++t) {
            for (const bool complemento : {false, true}) {
                const TSolucao T{N, AplicarSimetria(S.Valores, N, t, complemento)};
                EXPECT_EQ(ChaveCanonica(T), chave)
                    << "N " << N << " t " << t << " complemento " << complemento;
            }
        }
        if (N % 2 == 0) {
            for (int32_t dr = 0; dr < N; ++dr) {
                for (int32_t dc = 0; dc < N; ++dc) {
                    ASSERT_EQ(ChaveCanonica(Deslocar(S, dr, dc)), chave)
                        << "N " << N << " deslocamento " << dr << ", " << dc;
                }
            }
        }
    }
}

TEST(ChaveCanonica, QuadradosDiferentesTemChavesDiferentes) {
    TGeradorQuadrados g;
    TRegistoChaves chaves;
    for (int32_t i = 0; i < g.NumDesenhos(8); ++i) {
        EXPECT_TRUE(chaves.insert(ChaveCanonica(g.QuadradoDoDesenho(8, i))).second) << i;
    }
}

TEST(GerarNovo, RegistaAChaveDoQuadradoDevolvido) {
    TGeradorQuadrados g;
    TGeradorAleatorio rng(9), sombra(9);
    TRegistoChaves registo;
    const TSolucao S = g.GerarNovo(8, rng, registo, 3);
    EXPECT_EQ(S.Valores, g.Gerar(8, sombra).Valores);
    EXPECT_EQ(registo, (TRegistoChaves{ChaveCanonica(S)}));
    EXPECT_TRUE(MesmoEstado(rng, sombra));
}

TEST(GerarNovo, SaltaChavesJaRegistadas) {
    TGeradorQuadrados g;
    TGeradorAleatorio rng(9), sombra(9);
    const TSolucao primeiro = g.Gerar(7, sombra);
    const TSolucao segundo = g.Gerar(7, sombra);
    TRegistoChaves registo = {ChaveCanonica(primeiro)};
    const TSolucao S = g.GerarNovo(7, rng, registo, 2);
    EXPECT_EQ(S.Valores, segundo.Valores);
    EXPECT_EQ(registo.size(), 2u);
    EXPECT_TRUE(MesmoEstado(rng, sombra));
}

TEST(GerarNovo, LevantaDepoisDeAMaxTentativasSorteiosRepetidos) {
    TGeradorQuadrados g;
    const int32_t tentativas = 4;
    TGeradorAleatorio rng(13), sombra(13);
    TRegistoChaves registo;
    for (int32_t i = 0; i < tentativas; ++i) {
        registo.insert(ChaveCanonica(g.Gerar(12, sombra)));
    }
    const TRegistoChaves antes = registo;
    EsperarErro([&] { g.GerarNovo(12, rng, registo, tentativas); },
                "GerarNovo: 4 sorteios sem um quadrado novo (N = 12)");
    EXPECT_TRUE(MesmoEstado(rng, sombra));
    EXPECT_EQ(registo, antes);
}

TEST(GerarNovo, SemTentativasLevantaSemSortear) {
    TGeradorQuadrados g;
    for (const auto& [N, maximo] : {std::pair{8, 0}, {13, -2}, {10, 0}}) {
        TGeradorAleatorio rng(1), intacto(1);
        TRegistoChaves registo;
        EsperarErro([&] { g.GerarNovo(N, rng, registo, maximo); },
                    Formatar("GerarNovo: %d sorteios sem um quadrado novo (N = %d)", maximo, N));
        EXPECT_TRUE(MesmoEstado(rng, intacto));
        EXPECT_TRUE(registo.empty());
    }
}

TEST(GerarNovo, TamanhoInvalidoPassaOErroDeGerar) {
    TGeradorQuadrados g;
    TGeradorAleatorio rng(1), intacto(1);
    TRegistoChaves registo;
    EsperarErro([&] { g.GerarNovo(10, rng, registo, 5); }, "Gerar: tamanho invalido (10)");
    EXPECT_TRUE(MesmoEstado(rng, intacto));
    EXPECT_TRUE(registo.empty());
}

} // namespace
} // namespace tavrelo
