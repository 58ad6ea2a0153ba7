#include "core/tipos.h"

#include <gtest/gtest.h>

namespace tavrelo {
namespace {

TEST(Tamanhos, IndiceETamanhoSeguemAEscolhaDoUtilizador) {
    const int32_t esperado[] = {8, 12, 16, 7, 11, 13};
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(TamanhoDoIndice(i), esperado[i]) << "indice " << i;
        EXPECT_EQ(IndiceDoTamanho(esperado[i]), i);
        EXPECT_TRUE(TamanhoValido(esperado[i]));
    }
}

TEST(Tamanhos, IndiceForaDoIntervaloLevanta) {
    for (const int32_t i : {6, -1, 100}) {
        try {
            TamanhoDoIndice(i);
            ADD_FAILURE() << "sem excecao para " << i;
        } catch (const EVelt& e) {
            EXPECT_STREQ(e.what(), "TamanhoDoIndice: indice fora do intervalo");
        }
    }
}

TEST(Tamanhos, OrdensNaoSuportadasNaoTemIndice) {
    // Orders 4 and 5 have a law set but no place among the user's choices.
    for (const int32_t N : {4, 5, 9, 10, 0, -8, 6}) {
        EXPECT_EQ(IndiceDoTamanho(N), -1) << N;
        EXPECT_FALSE(TamanhoValido(N)) << N;
    }
}

TEST(Somas, MagicaEComplementarPorOrdem) {
    struct Caso {
        int32_t N, M, C;
    };
    const Caso casos[] = {{4, 34, 17},    {5, 65, 26},    {7, 175, 50},    {8, 260, 65},
                          {11, 671, 122}, {12, 870, 145}, {13, 1105, 170}, {16, 2056, 257}};
    for (const Caso& c : casos) {
        EXPECT_EQ(SomaMagica(c.N), c.M) << c.N;
        EXPECT_EQ(SomaComplementar(c.N), c.C) << c.N;
    }
}

TEST(ValorEm, LeituraToroidal) {
    const TSolucao S{3, {1, 2, 3, 4, 5, 6, 7, 8, 9}};
    struct Caso {
        int32_t l, c, v;
    };
    const Caso casos[] = {{0, 0, 1}, {2, 2, 9},   {-1, 0, 7}, {0, -1, 3},
                          {3, 3, 1}, {-1, -1, 9}, {4, -4, 6}, {-7, 5, 9}};
    for (const Caso& c : casos) {
        EXPECT_EQ(ValorEm(S, c.l, c.c), c.v) << "(" << c.l << ", " << c.c << ")";
    }
}

TEST(Grelha, ModuloCentroValorENomeDaCasa) {
    struct TModulo {
        int32_t a, n, r;
    };
    for (const TModulo c : {TModulo{7, 5, 2}, TModulo{-1, 5, 4}, TModulo{-5, 5, 0},
                            TModulo{-13, 8, 3}, TModulo{0, 7, 0}, TModulo{16, 16, 0}}) {
        EXPECT_EQ(Modulo(c.a, c.n), c.r) << c.a << " mod " << c.n;
    }
    for (const int32_t N : TamanhosSuportados) {
        EXPECT_EQ(CentroDaGrelha(N), N % 2 != 0 ? (N / 2) * N + N / 2 : -1) << N;
    }
    const std::vector<int32_t> grelha{4, 0, 9};
    EXPECT_EQ(ValorDaCasa(grelha, 2), 9);
    EXPECT_EQ(ValorDaCasa(grelha, 3), 0) << "no such cell reads as empty";

    struct TNome {
        int32_t N, Celula;
        const char* Nome;
    };
    for (const TNome c : {TNome{8, 0, "L1C1"}, TNome{8, 20, "L3C5"}, TNome{8, 63, "L8C8"},
                          TNome{7, 48, "L7C7"}, TNome{5, 24, "L5C5"}, TNome{13, 84, "L7C7"},
                          TNome{16, 255, "L16C16"}, TNome{16, 17, "L2C2"}}) {
        EXPECT_EQ(NomeDaCasa(c.N, c.Celula), c.Nome);
    }
}

TEST(SemBrancos, SoAsPontasEControlos) {
    struct TCaso {
        const char* Texto;
        const char* Esperado;
    };
    for (const TCaso c :
         {TCaso{"", ""}, TCaso{"   ", ""}, TCaso{" \t\nabc \r", "abc"}, TCaso{"a  b", "a  b"},
          TCaso{"\x01"
                "Ação\x7f",
                "Ação\x7f"},
          TCaso{"Ação", "Ação"}}) {
        EXPECT_EQ(SemBrancos(c.Texto), c.Esperado) << c.Texto;
    }
}

TEST(Formatar, ProduzOTextoDoPadrao) {
    EXPECT_EQ(Formatar("Gerar: tamanho invalido (%d)", -3), "Gerar: tamanho invalido (-3)");
    EXPECT_EQ(Formatar("%.8X", 0xA3820138u), "A3820138");
    EXPECT_EQ(Formatar("%s", ""), "");
    const std::string longo(500, 'x');
    EXPECT_EQ(Formatar("%s!", longo.c_str()), longo + "!");
}

TEST(SequenciaUtf8, ComprimentoEPontoOuZeroQuandoNaoEUtf8) {
    struct TCaso {
        const char* Texto;
        size_t Comprimento;
        uint32_t Ponto;
    };
    const TCaso casos[] = {
        {"A", 1, 0x41},
        {"\xC3\xA3", 2, 0xE3},            // ã
        {"\xC3\x97", 2, 0xD7},            // ×
        {"\xE2\x82\xAC", 3, 0x20AC},      // €
        {"\xF0\x9F\x99\x82", 4, 0x1F642}, // a four-byte character
        {"\x80", 0, 0},                   // continuation byte alone
        {"\xC0\x80", 0, 0},               // overlong NUL
        {"\xE0\x80\x80", 0, 0},           // overlong three-byte form
        {"\xED\xA0\x80", 0, 0},           // surrogate
        {"\xF4\x90\x80\x80", 0, 0},       // beyond U+10FFFF
        {"\xC3", 0, 0},                   // cut short
        {"\xE2\x82"
         "A",
         0, 0}, // continuation missing
    };
    for (const TCaso& c : casos) {
        uint32_t ponto = 0;
        const size_t n = SequenciaUtf8(c.Texto, 0, ponto);
        EXPECT_EQ(n, c.Comprimento) << c.Texto;
        if (n > 0) {
            EXPECT_EQ(ponto, c.Ponto) << c.Texto;
        }
    }
}

} // namespace
} // namespace tavrelo
