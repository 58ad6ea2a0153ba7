#include "laws/linear.h"

#include "../quadrados.h"

#include <gtest/gtest.h>

#include <numeric>
#include <utility>
#include <vector>

namespace tavrelo {
namespace {

using teste::Deslocar;
using teste::MAIS_PERFEITO_8;
using teste::ULTRAMAGICO_7;

std::vector<int32_t> Celulas(const TEquacao& e) {
    std::vector<int32_t> c;
    for (size_t i = 0; i + 1 < e.Termos.size(); ++i) {
        c.push_back(e.Termos[i].Indice);
    }
    return c;
}

int32_t Constante(const TEquacao& e) {
    return -e.Termos.back().Coef;
}

// The square plus f(l)·g(c): with the right f and g this breaks one family of laws and
// keeps all others (the checks do not look at ranges, so any integers serve).
TSolucao ComPerturbacao(const TSolucao& S, const std::vector<int32_t>& f,
                        const std::vector<int32_t>& g) {
    TSolucao R = S;
    for (int32_t l = 0; l < S.N; ++l) {
        for (int32_t c = 0; c < S.N; ++c) {
            R.Valores[static_cast<size_t>(l * S.N + c)] +=
                f[static_cast<size_t>(l)] * g[static_cast<size_t>(c)];
        }
    }
    return R;
}

// Numbers of cells of the laws that fail on S.
std::vector<size_t> TamanhosDasLeisFalhadas(const TSolucao& S) {
    std::vector<size_t> tamanhos;
    for (const TEquacao& e : EquacoesDoQuadrado(S.N)) {
        int64_t soma = 0;
        for (const TTermo& t : e.Termos) {
            soma += static_cast<int64_t>(t.Coef) *
                    (t.Indice == S.N * S.N ? 1 : S.Valores[static_cast<size_t>(t.Indice)]);
        }
        if (soma != 0) {
            tamanhos.push_back(e.Termos.size() - 1);
        }
    }
    return tamanhos;
}

TEST(EquacoesDoQuadrado, LeisEscolhidasDaOrdem8) {
    const std::vector<TEquacao> leis = EquacoesDoQuadrado(8);
    struct Caso {
        size_t lei;
        std::vector<int32_t> celulas;
        int32_t soma;
    };
    const Caso casos[] = {
        {0, {0, 1, 2, 3, 4, 5, 6, 7}, 260},
        {8, {0, 8, 16, 24, 32, 40, 48, 56}, 260},
        {15, {7, 15, 23, 31, 39, 47, 55, 63}, 260},
        {16, {0, 9, 18, 27, 36, 45, 54, 63}, 260},
        {17, {0, 15, 22, 29, 36, 43, 50, 57}, 260},
        {18, {1, 10, 19, 28, 37, 46, 55, 56}, 260},
        {31, {7, 14, 21, 28, 35, 42, 49, 56}, 260},
        {32, {0, 8, 1, 9}, 130},
        {33, {0, 36}, 65},
        {47, {7, 35}, 65},
        {48, {8, 16, 9, 17}, 130},
        {49, {8, 44}, 65},
        {94, {31, 39, 24, 32}, 130},
        {95, {31, 59}, 65},
        {96, {32, 40, 33, 41}, 130},
        {127, {63, 7, 56, 0}, 130},
    };
    for (const Caso& c : casos) {
        ASSERT_LT(c.lei, leis.size());
        EXPECT_EQ(Celulas(leis[c.lei]), c.celulas) << "lei " << c.lei;
        EXPECT_EQ(Constante(leis[c.lei]), c.soma) << "lei " << c.lei;
    }
}

TEST(EquacoesDoQuadrado, LeisEscolhidasDaOrdem7) {
    const std::vector<TEquacao> leis = EquacoesDoQuadrado(7);
    ASSERT_EQ(leis.size(), 53u);
    EXPECT_EQ(Celulas(leis[27]), (std::vector<int32_t>{6, 12, 18, 24, 30, 36, 42}));
    EXPECT_EQ(Celulas(leis[28]), (std::vector<int32_t>{0, 48}));
    EXPECT_EQ(Constante(leis[28]), 50);
    EXPECT_EQ(Celulas(leis[29]), (std::vector<int32_t>{1, 47}));
    EXPECT_EQ(Celulas(leis[51]), (std::vector<int32_t>{23, 25}));
    // The centre law is the last: one cell, coefficient 2, sum C.
    const TEquacao& centro = leis[52];
    ASSERT_EQ(centro.Termos.size(), 2u);
    EXPECT_EQ(centro.Termos[0].Indice, 24);
    EXPECT_EQ(centro.Termos[0].Coef, 2);
    EXPECT_EQ(centro.Termos[1].Indice, 49);
    EXPECT_EQ(centro.Termos[1].Coef, -50);
}

TEST(EquacoesDoQuadrado, NumeroDeLeisPorOrdem) {
    const std::pair<int32_t, size_t> casos[] = {{4, 40},   {5, 33},   {7, 53},   {8, 128},
                                                {11, 105}, {12, 264}, {13, 137}, {16, 448}};
    for (const auto& [N, total] : casos) {
        EXPECT_EQ(EquacoesDoQuadrado(N).size(), total) << N;
    }
}

// Every law of the list holds on a square of its kind and ends with its one constant term;
// each cell lies on four of the 4N line laws: its row, its column, one diagonal each way.
TEST(EquacoesDoQuadrado, QuadradosCertosSatisfazemTodasAsLeis) {
    for (const TSolucao* S : {&MAIS_PERFEITO_8, &ULTRAMAGICO_7}) {
        const int32_t N = S->N;
        const std::vector<TEquacao> leis = EquacoesDoQuadrado(N);
        std::vector<int32_t> linhasPorCelula(static_cast<size_t>(N * N), 0);
        for (size_t k = 0; k < leis.size(); ++k) {
            const TEquacao& e = leis[k];
            int64_t soma = 0;
            for (size_t i = 0; i < e.Termos.size(); ++i) {
                const TTermo& t = e.Termos[i];
                const bool ultimo = i + 1 == e.Termos.size();
                ASSERT_EQ(t.Indice == N * N, ultimo) << "N " << N << " lei " << k;
                soma += static_cast<int64_t>(t.Coef) *
                        (ultimo ? 1 : S->Valores[static_cast<size_t>(t.Indice)]);
                if (!ultimo && k < static_cast<size_t>(4 * N)) {
                    ++linhasPorCelula[static_cast<size_t>(t.Indice)];
                }
            }
            EXPECT_EQ(soma, 0) << "N " << N << " lei " << k;
        }
        for (const int32_t n : linhasPorCelula) {
            EXPECT_EQ(n, 4) << "N " << N;
        }
    }
}

TEST(EquacoesDoQuadrado, OrdemInvalidaLevanta) {
    const char* ultra = "EquacoesDoQuadrado: o ultramagico precisa de ordem impar a partir de 5";
    const char* mais = "EquacoesDoQuadrado: o mais-perfeito so existe em multiplos de 4";
    const std::pair<int32_t, const char*> casos[] = {
        {3, ultra}, {1, ultra}, {-1, ultra}, {-7, ultra}, {6, mais},
        {10, mais}, {2, mais},  {0, mais},   {-4, mais},  {-8, mais}};
    for (const auto& [N, mensagem] : casos) {
        try {
            EquacoesDoQuadrado(N);
            ADD_FAILURE() << "sem excecao para " << N;
        } catch (const EVelt& e) {
            EXPECT_STREQ(e.what(), mensagem) << N;
        }
    }
}

TEST(VerificarPermutacao, Casos) {
    struct Caso {
        const char* nome;
        TSolucao S;
        bool esperado;
    };
    const Caso casos[] = {
        {"1..4", {2, {4, 1, 3, 2}}, true},
        {"contem 0", {2, {0, 1, 3, 2}}, false},
        {"contem N2+1", {2, {5, 1, 3, 2}}, false},
        {"negativo", {2, {-1, 1, 3, 2}}, false},
        {"repetido", {2, {1, 1, 3, 2}}, false},
        {"curto", {2, {1, 2, 3}}, false},
        {"longo", {2, {1, 2, 3, 4, 5}}, false},
        {"N = 0", {0, {}}, false},
        {"N = 1", {1, {1}}, true},
        {"ordem 8", MAIS_PERFEITO_8, true},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(VerificarPermutacao(c.S), c.esperado) << c.nome;
    }
}

TEST(VerificarLeis, QuadradosCertosEDeslocados) {
    EXPECT_TRUE(VerificarLeis(MAIS_PERFEITO_8));
    EXPECT_TRUE(VerificarLeis(ULTRAMAGICO_7));
    // The most-perfect laws all wrap round the edges; the opposite pairs do not.
    EXPECT_TRUE(VerificarLeis(Deslocar(MAIS_PERFEITO_8, 3, 5)));
    const TSolucao ultraDeslocado = Deslocar(ULTRAMAGICO_7, 0, 1);
    EXPECT_FALSE(VerificarLeis(ultraDeslocado));
    for (const size_t n : TamanhosDasLeisFalhadas(ultraDeslocado)) {
        EXPECT_LE(n, 2u) << "so os pares opostos e o centro podem falhar";
    }
}

TEST(VerificarLeis, DuasCelulasTrocadasFalham) {
    for (const TSolucao* S : {&MAIS_PERFEITO_8, &ULTRAMAGICO_7}) {
        TSolucao T = *S;
        std::swap(T.Valores[10], T.Valores[20]);
        EXPECT_FALSE(VerificarLeis(T)) << "N " << S->N;
    }
}

TEST(VerificarMaisPerfeito, UmaSoFamiliaPartidaFalha) {
    struct Caso {
        const char* nome;
        std::vector<int32_t> f, g;
        size_t celulasDaLei; // 4 = block, 2 = half-diagonal pair
    };
    const Caso casos[] = {
        {"blocos", {1, 0, 0, 0, -1, 0, 0, 0}, {1, -1, 0, 0, 1, -1, 0, 0}, 4},
        {"meias diagonais", {1, -1, 1, -1, 1, -1, 1, -1}, {1, 1, -1, -1, 1, 1, -1, -1}, 2},
    };
    for (const Caso& c : casos) {
        const TSolucao T = ComPerturbacao(MAIS_PERFEITO_8, c.f, c.g);
        const std::vector<size_t> falhadas = TamanhosDasLeisFalhadas(T);
        ASSERT_FALSE(falhadas.empty()) << c.nome;
        for (const size_t n : falhadas) {
            ASSERT_EQ(n, c.celulasDaLei) << c.nome;
        }
        EXPECT_FALSE(VerificarMaisPerfeito(T)) << c.nome;
        EXPECT_FALSE(VerificarLeis(T)) << c.nome;
    }
}

TEST(VerificarLeis, OrdemOuTamanhoErradosDaoFalso) {
    std::vector<int32_t> v36(36);
    std::iota(v36.begin(), v36.end(), 1);
    EXPECT_FALSE(VerificarLeis(TSolucao{6, v36}));
    EXPECT_FALSE(VerificarMaisPerfeito(ULTRAMAGICO_7));
    EXPECT_FALSE(VerificarUltramagico(MAIS_PERFEITO_8));
    TSolucao curto = MAIS_PERFEITO_8;
    curto.Valores.pop_back();
    EXPECT_FALSE(VerificarLeis(curto));
    TSolucao errado = ULTRAMAGICO_7;
    errado.N = 3;
    EXPECT_FALSE(VerificarLeis(errado));
}

} // namespace
} // namespace tavrelo
