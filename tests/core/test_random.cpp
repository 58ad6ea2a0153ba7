#include "core/random.h"
#include "core/tipos.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

namespace tavrelo {
namespace {

bool MesmoEstado(const TGeradorAleatorio& a, const TGeradorAleatorio& b) {
    return a.Estado() == b.Estado() && a.Incremento() == b.Incremento();
}

TEST(Pcg32, SequenciaDeReferencia) {
    TGeradorAleatorio g(0);
    g.Iniciar(42, 54);
    const uint32_t esperado[] = {0xA15C02B7, 0x7B47F409, 0xBA1D3330,
                                 0x83D2F293, 0xBFA4784B, 0xCBED606E};
    for (const uint32_t v : esperado) {
        EXPECT_EQ(g.ProximoU32(), v);
    }
}

TEST(Misturar64, ValoresDeReferencia) {
    EXPECT_EQ(Misturar64(0), 0xE220A8397B1DCDAFULL);
    EXPECT_EQ(Misturar64(1), 0x910A2DEC89025CC1ULL);
}

TEST(DerivarSemente, ValoresDeReferencia) {
    struct Caso {
        uint32_t semente, indice, esperado;
    };
    const Caso casos[] = {{0, 0, 0x7B1DCDAF}, {1, 0, 0xA3820138}, {1, 1, 0xFD59956F}};
    for (const Caso& c : casos) {
        EXPECT_EQ(DerivarSemente(c.semente, c.indice), c.esperado) << c.semente << ", " << c.indice;
    }
}

TEST(Create, EstadoInicialDaSemente0) {
    const TGeradorAleatorio g(0);
    EXPECT_EQ(g.Estado(), 0xD0BF82A3B3C91F59ULL);
    EXPECT_EQ(g.Incremento(), 0x6DULL);
}

TEST(Create, PrimeirasSaidasELimitesPorSemente) {
    struct Caso {
        uint32_t semente;
        std::vector<uint32_t> saidas;
        std::vector<int32_t> limite10;
    };
    const Caso casos[] = {
        {0, {0xFDB46285, 0x7B09AB36, 0x15CE6E29, 0xDDB9DB68}, {9, 2, 3, 4, 5, 0, 7, 8}},
        {1, {0xC1663B01, 0xEDFC5FB8, 0xC70FAE28, 0x6604BFC5}, {5, 8, 8, 9, 9, 3, 2, 6}},
    };
    for (const Caso& c : casos) {
        TGeradorAleatorio g(c.semente);
        for (const uint32_t v : c.saidas) {
            EXPECT_EQ(g.ProximoU32(), v) << "semente " << c.semente;
        }
        TGeradorAleatorio h(c.semente);
        for (const int32_t v : c.limite10) {
            EXPECT_EQ(h.Limite(10), v) << "semente " << c.semente;
        }
    }
}

TEST(Create, SementesIguaisDaoSequenciasIguais) {
    TGeradorAleatorio a(0xDEADBEEF), b(0xDEADBEEF);
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(a.ProximoU32(), b.ProximoU32());
    }
}

TEST(Limite, UmNaoSorteiaMasConsomeUmaSaida) {
    TGeradorAleatorio g(7), sombra(7);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(g.Limite(1), 0);
        sombra.ProximoU32();
        EXPECT_TRUE(MesmoEstado(g, sombra));
    }
}

// Bound 1_500_000_000 rejects every output below 1_294_967_296, about three in ten, so
// the draws exercise the rejection loop; each rejected output is consumed.
TEST(Limite, RejeitaAbaixoDoLimiarEConsomeCadaSaida) {
    const int32_t n = 1500000000;
    const uint32_t limiar = 1294967296u;
    TGeradorAleatorio g(3), sombra(3);
    int rejeitadas = 0;
    for (int i = 0; i < 50; ++i) {
        uint32_t v = sombra.ProximoU32();
        while (v < limiar) {
            ++rejeitadas;
            v = sombra.ProximoU32();
        }
        ASSERT_EQ(g.Limite(n), static_cast<int32_t>(v % static_cast<uint32_t>(n)));
        ASSERT_TRUE(MesmoEstado(g, sombra));
    }
    EXPECT_GT(rejeitadas, 0);
}

TEST(Limite64, JuntaDuasSaidasAltaPrimeiroERejeitaAbaixoDoLimiar) {
    // Bound 2^63 + 1: the threshold is 2^63 - 1, so about half the pairs are rejected.
    const uint64_t n = (1ULL << 63) + 1;
    TGeradorAleatorio g(11), sombra(11);
    int rejeitadas = 0;
    for (int i = 0; i < 30; ++i) {
        uint64_t v;
        for (;;) {
            const uint64_t alto = sombra.ProximoU32();
            v = (alto << 32) | sombra.ProximoU32();
            if (v >= (1ULL << 63) - 1) {
                break;
            }
            ++rejeitadas;
        }
        ASSERT_EQ(g.Limite64(n), v % n);
        ASSERT_TRUE(MesmoEstado(g, sombra));
    }
    EXPECT_GT(rejeitadas, 0);
}

TEST(Limite64, UmConsomeUmPar) {
    TGeradorAleatorio g(5), sombra(5);
    EXPECT_EQ(g.Limite64(1), 0u);
    sombra.ProximoU32();
    sombra.ProximoU32();
    EXPECT_TRUE(MesmoEstado(g, sombra));
}

TEST(Ponderado, PesosNulosNuncaSaem) {
    TGeradorAleatorio g(9);
    const int64_t pesos[] = {0, 5, 0};
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(g.Ponderado(pesos), 1);
    }
}

TEST(Ponderado, EscolheOPrimeiroIndiceCujaSomaPassaOSorteio) {
    const int64_t pesos[] = {3, 0, 2, 1};
    TGeradorAleatorio g(21), sombra(21);
    for (int i = 0; i < 40; ++i) {
        const uint64_t r = sombra.Limite64(6);
        const int32_t esperado = r < 3 ? 0 : r < 5 ? 2 : 3;
        ASSERT_EQ(g.Ponderado(pesos), esperado) << "r = " << r;
    }
    EXPECT_TRUE(MesmoEstado(g, sombra));
}

TEST(Entre, IntervaloDeUmValorConsomeUmaSaida) {
    TGeradorAleatorio g(4), sombra(4);
    EXPECT_EQ(g.Entre(3, 3), 3);
    sombra.ProximoU32();
    EXPECT_TRUE(MesmoEstado(g, sombra));
}

TEST(Entre, FicaNoIntervaloIncluindoNegativos) {
    TGeradorAleatorio g(8);
    bool viuMin = false, viuMax = false;
    for (int i = 0; i < 200; ++i) {
        const int32_t v = g.Entre(-2, 2);
        ASSERT_GE(v, -2);
        ASSERT_LE(v, 2);
        viuMin |= v == -2;
        viuMax |= v == 2;
    }
    EXPECT_TRUE(viuMin && viuMax);
}

TEST(Real01, UsaVinteESeteBitsDaPrimeiraSaidaEVinteESeisDaSegunda) {
    TGeradorAleatorio g(12), sombra(12);
    for (int i = 0; i < 10; ++i) {
        const uint32_t a = sombra.ProximoU32() >> 5;
        const uint32_t b = sombra.ProximoU32() >> 6;
        const double v = g.Real01();
        EXPECT_EQ(v, (a * 67108864.0 + b) / 9007199254740992.0);
        EXPECT_GE(v, 0.0);
        EXPECT_LT(v, 1.0);
    }
}

// Every argument check runs before the first draw, so a raise leaves the state as it was.
TEST(Erros, MensagensExatasSemConsumirSaidas) {
    struct Caso {
        const char* nome;
        std::function<void(TGeradorAleatorio&)> chamada;
        const char* mensagem;
    };
    const char* limite = "TGeradorAleatorio.Limite: limite tem de ser positivo";
    const char* zero = "TGeradorAleatorio.Ponderado: soma dos pesos e zero";
    const Caso casos[] = {
        {"Limite(0)", [](TGeradorAleatorio& g) { g.Limite(0); }, limite},
        {"Limite(-5)", [](TGeradorAleatorio& g) { g.Limite(-5); }, limite},
        {"Limite64(0)", [](TGeradorAleatorio& g) { g.Limite64(0); },
         "TGeradorAleatorio.Limite64: limite tem de ser positivo"},
        {"Ponderado(0, 0)",
         [](TGeradorAleatorio& g) {
             const int64_t p[] = {0, 0};
             g.Ponderado(p);
         },
         zero},
        {"Ponderado()", [](TGeradorAleatorio& g) { g.Ponderado({}); }, zero},
        {"Ponderado(-1, 3)",
         [](TGeradorAleatorio& g) {
             const int64_t p[] = {-1, 3};
             g.Ponderado(p);
         },
         "TGeradorAleatorio.Ponderado: peso negativo"},
        {"Ponderado(3, -1)",
         [](TGeradorAleatorio& g) {
             const int64_t p[] = {3, -1};
             g.Ponderado(p);
         },
         "TGeradorAleatorio.Ponderado: peso negativo"},
        {"Ponderado(max, 1)",
         [](TGeradorAleatorio& g) {
             const int64_t p[] = {INT64_MAX, 1};
             g.Ponderado(p);
         },
         "TGeradorAleatorio.Ponderado: soma dos pesos excede Int64"},
        {"Entre(4, 3)", [](TGeradorAleatorio& g) { g.Entre(4, 3); },
         "TGeradorAleatorio.Entre: maximo menor do que o minimo"},
        // Spans wider than 2^31 - 1 reach Limite wrapped to 0 or a negative number.
        {"Entre(min, max)", [](TGeradorAleatorio& g) { g.Entre(INT32_MIN, INT32_MAX); }, limite},
        {"Entre(-1, max)", [](TGeradorAleatorio& g) { g.Entre(-1, INT32_MAX); }, limite},
    };
    for (const Caso& c : casos) {
        TGeradorAleatorio g(2), intacto(2);
        try {
            c.chamada(g);
            ADD_FAILURE() << c.nome << ": sem excecao";
        } catch (const EVelt& e) {
            EXPECT_STREQ(e.what(), c.mensagem) << c.nome;
        }
        EXPECT_TRUE(MesmoEstado(g, intacto)) << c.nome;
    }
}

TEST(Entre, IntervaloMaximoQueCabe) {
    // AMax - AMin + 1 = 2^31 - 1 still fits.
    TGeradorAleatorio g(6);
    const int32_t v = g.Entre(0, INT32_MAX - 1);
    EXPECT_GE(v, 0);
    EXPECT_LT(v, INT32_MAX);
}

} // namespace
} // namespace tavrelo
