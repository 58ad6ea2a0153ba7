#include "generation/niveis.h"

#include "core/tipos.h"

#include <gtest/gtest.h>

namespace tavrelo {
namespace {

TEST(Niveis, ParametrosPorNivel) {
    struct Caso {
        int32_t nivel;
        bool lista;
        int32_t minimizacoes, par, impar;
    };
    const Caso casos[] = {{1, false, 1, 50, 25}, {2, false, 1, 25, 10}, {3, false, 4, 0, 0},
                          {4, true, 1, 0, 10},   {5, true, 4, 0, 0},    {0, false, 1, 0, 0},
                          {6, false, 1, 0, 0},   {-1, false, 1, 0, 0}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nivel);
        EXPECT_EQ(NivelComLista(c.nivel), c.lista);
        EXPECT_EQ(NumMinimizacoes(c.nivel), c.minimizacoes);
        EXPECT_EQ(PercentagemPar(c.nivel), c.par);
        EXPECT_EQ(PercentagemImpar(c.nivel), c.impar);
    }
}

TEST(Niveis, NumPistasAlvo) {
    struct Caso {
        int32_t nivel, N, piso, alvo;
    };
    const Caso casos[] = {
        {1, 8, 12, 15},  {1, 8, 17, 17},  {2, 8, 12, 12},  {2, 8, 9, 11},   {3, 8, 12, 12},
        {3, 8, 6, 8},    {4, 8, 12, 15},  {5, 8, 12, 12},  {1, 12, 20, 35}, {2, 12, 20, 23},
        {3, 12, 10, 12}, {4, 12, 20, 25}, {1, 16, 40, 63}, {2, 16, 40, 40}, {3, 16, 10, 16},
        {4, 16, 40, 47}, {5, 16, 40, 40}, {1, 7, 10, 19},  {2, 7, 10, 13},  {3, 7, 10, 10},
        {4, 7, 10, 13},  {5, 7, 10, 10},  {1, 13, 30, 64},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(NumPistasAlvo(c.nivel, c.N, c.piso), c.alvo)
            << "nivel " << c.nivel << " N " << c.N << " piso " << c.piso;
    }
}

TEST(Niveis, TamanhosInvalidosDasConstantes) {
    EXPECT_EQ(LimiteClassico(12), 59);
    EXPECT_EQ(PistasExtraComLista(5, 7), 0);
    EXPECT_EQ(PistasExtraComLista(4, 16), 7);
    struct Caso {
        int32_t (*f)();
        const char* mensagem;
    };
    const Caso casos[] = {
        {[] { return LimiteClassico(7); }, "LimiteClassico: tamanho invalido (7)"},
        {[] { return PistasExtraComLista(4, 7); }, "PistasExtraComLista: tamanho invalido (7)"},
        {[] { return PistasExtraComLista(4, 10); }, "PistasExtraComLista: tamanho invalido (10)"},
    };
    for (const Caso& c : casos) {
        try {
            c.f();
            ADD_FAILURE() << "no exception for " << c.mensagem;
        } catch (const EVelt& e) {
            EXPECT_STREQ(e.what(), c.mensagem);
        }
    }
}

TEST(Niveis, Disponibilidade) {
    for (const int32_t N : TamanhosSuportados) {
        for (int32_t nivel = 1; nivel <= 5; ++nivel) {
            EXPECT_TRUE(NivelDisponivel(nivel, N));
        }
        EXPECT_FALSE(NivelDisponivel(0, N));
        EXPECT_FALSE(NivelDisponivel(6, N));
        EXPECT_FALSE(NivelDisponivel(99, N));
        EXPECT_EQ(NumNiveisDisponiveis(N), 5);
        EXPECT_TRUE(ProgressivaDisponivel(N));
    }
    EXPECT_FALSE(NivelDisponivel(3, 10));
    EXPECT_EQ(NumNiveisDisponiveis(10), 0);
    EXPECT_FALSE(ProgressivaDisponivel(5));
}

TEST(Niveis, PlanoProgressivo) {
    using V = std::vector<int32_t>;
    EXPECT_EQ(PlanoProgressivoDoTamanho(50, 8), (V{10, 10, 10, 10, 10}));
    EXPECT_EQ(PlanoProgressivoDoTamanho(7, 13), (V{2, 2, 1, 1, 1}));
    EXPECT_EQ(PlanoProgressivoDoTamanho(3, 8), (V{1, 1, 1, 0, 0}));
    EXPECT_EQ(PlanoProgressivoDoTamanho(5, 12), (V{1, 1, 1, 1, 1}));
    EXPECT_EQ(PlanoProgressivoDoTamanho(100, 16), (V{20, 20, 20, 20, 20}));
    EXPECT_EQ(PlanoProgressivoDoTamanho(1, 7), (V{1, 0, 0, 0, 0}));
    try {
        PlanoProgressivoDoTamanho(5, 9);
        FAIL();
    } catch (const EVelt& e) {
        EXPECT_STREQ(e.what(), "PlanoProgressivoDoTamanho: nenhum nivel disponivel em 9");
    }
}

} // namespace
} // namespace tavrelo
