#include "composition/dicas.h"
#include "composition/paginas.h"

#include "composition/livros_teste.h"
#include "drawing/canvas_gravador.h"
#include "quadrados.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

using enum TFamilia;
using ::teste::TCanvasGravador;
using ::teste::TChamada;
using teste_paginas::LivroGerado;
using teste_paginas::NumerosDaGrelha;
using teste_paginas::TextosIguais;
using teste_paginas::TNumeroNaGrelha;

// The solution of puzzle AIndice drawn in the slot (X, Y, W).
void VerificarSolucao(const TCanvasGravador& g, const TLivro& livro, TSolverDeducao& s,
                      int32_t AIndice, double X, double Y, double W) {
    SCOPED_TRACE("solution " + std::to_string(AIndice + 1));
    const TPuzzle& p = livro.Puzzles[size_t(AIndice)].Puzzle;
    const int32_t N = p.N;
    const bool dicas = livro.Config.Caminho;
    const double lado = LadoSolucao(N, dicas);
    const double G = dicas ? X : X + (W - lado) / 2;
    const std::string titulo = Formatar("Puzzle %.3d", AIndice + 1);

    const auto t = TextosIguais(g, titulo);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].Num, (std::vector<double>{G, Y, 11, 0}));
    EXPECT_TRUE(t[0].Negrito);
    bool somas = false;
    for (const TChamada& c : TextosIguais(g, TextoSomas(N))) {
        somas = somas || (std::abs(c.Num[0] - (G + 0.18 * 11 * 1.1 * 10 + 6)) < 1e-9 &&
                          std::abs(c.Num[1] - (Y + (0.41 * 11 - 0.41 * 9.5) / 2)) < 1e-9 &&
                          c.Num[2] == 9.5 && c.Num[3] == 128 && !c.Negrito);
    }
    EXPECT_TRUE(somas);

    // The grid: the whole solution, givens regular on grey, found numbers bold.
    const double T = Y + 7;
    std::vector<TNumeroNaGrelha> esperados;
    std::vector<std::vector<double>> cinzentos;
    const double cel = lado / N;
    for (int32_t c = 0; c < N * N; ++c) {
        const bool dado = p.Dados[size_t(c)] != 0;
        esperados.push_back({c, p.Solucao[size_t(c)], !dado});
        if (dado) {
            cinzentos.push_back({G + (c % N) * cel, T + (c / N) * cel, cel, cel, 0, -1, 235});
        }
    }
    EXPECT_EQ(NumerosDaGrelha(g, N, G, T, lado, TamanhoNumeros(N, lado)), esperados);
    std::vector<std::vector<double>> fundos;
    for (const TChamada& c : g.DoTipo("Rectangulo")) {
        if (c.Num[6] == 235 && c.Num[0] >= G && c.Num[0] < G + lado && c.Num[1] >= T &&
            c.Num[1] < T + lado) {
            fundos.push_back(c.Num);
        }
    }
    EXPECT_EQ(fundos, cinzentos);

    // The hints, 4.6 mm apart, and the grey closing line 1 mm under the last.
    const double hx = N <= 8 ? X + lado + 6 : X;
    const double hy = N <= 8 ? T : T + lado + 3;
    const auto& passos = p.Resultado.Passos;
    std::vector<int32_t> D;
    if (dicas) {
        D = EscolherDicas(s, p.Dados, passos, DICAS_POR_SOLUCAO, CentroDaGrelha(N));
    }
    std::vector<TChamada> linhas;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[0] == hx && c.Num[2] == 9.5 && c.Num[1] >= hy && c.Num[1] < hy + 4.6 * 13 + 1) {
            linhas.push_back(c);
        }
    }
    const bool fecho = dicas && passos.size() > D.size();
    ASSERT_EQ(linhas.size(), D.size() + (fecho ? 1 : 0));
    for (size_t i = 0; i < D.size(); ++i) {
        EXPECT_EQ(linhas[i].Texto,
                  std::to_string(i + 1) + ". " + TextoDica(s, p.Solucao, passos[size_t(D[i])]));
        EXPECT_NEAR(linhas[i].Num[1], hy + 4.6 * double(i), 1e-9);
        EXPECT_EQ(linhas[i].Num[3], 0);
        EXPECT_EQ(linhas[i].Alinhamento, TAlinhamento::alEsquerda);
    }
    if (fecho) {
        EXPECT_EQ(linhas.back().Texto, "Os restantes números resultam do mesmo modo.");
        EXPECT_NEAR(linhas.back().Num[1], hy + 4.6 * double(D.size()) + 1, 1e-9);
        EXPECT_EQ(linhas.back().Num[3], 128);
    }
}

void VerificarCabecaERodape(const TCanvasGravador& g, int32_t ANumero) {
    ASSERT_GE(g.Chamadas.size(), 3u);
    const TChamada& t = g.Chamadas.front();
    EXPECT_EQ(t.Texto, "Soluções");
    EXPECT_EQ(t.Num, (std::vector<double>{105, 18, 16, 0}));
    EXPECT_TRUE(t.Negrito);
    EXPECT_EQ(t.Alinhamento, TAlinhamento::alCentro);
    EXPECT_EQ(g.Chamadas[g.Chamadas.size() - 2].Texto, "TAVRELO | Brovanel");
    EXPECT_EQ(g.Chamadas.back().Texto, std::to_string(ANumero));
}

TEST(PaginaDeSolucoes, Disposicoes) {
    struct Caso {
        int32_t N;
        int32_t Puzzles;
        bool Dicas;
        int32_t Primeiro;
        std::vector<std::array<double, 3>> Slots; // X, Y, width of each solution drawn
    };
    const Caso casos[] = {
        {8, 10, true, 2, {{18, 30, 174}, {18, 151, 174}}},
        {8, 10, false, 4, {{18, 30, 87}, {105, 30, 87}, {18, 151, 87}, {105, 151, 87}}},
        // Past the end of the book: only the puzzles that exist.
        {8, 10, false, 8, {{18, 30, 87}, {105, 30, 87}}},
        {8, 10, true, 9, {{18, 30, 174}}},
        {7, 10, true, 0, {{18, 30, 174}, {18, 151, 174}}},
        {11, 3, true, 1, {{18, 30, 174}}},
        {16, 3, true, 2, {{18, 30, 174}}},
        {12, 3, false, 0, {{18, 30, 174}, {18, 151, 174}}},
        {13, 3, false, 2, {{18, 30, 174}}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE("order " + std::to_string(c.N) + (c.Dicas ? " with hints" : ""));
        const TLivro livro = teste_paginas::ComDicas(LivroGerado(c.N, c.Puzzles), c.Dicas);
        TCompositorLivro compositor(livro, TInfoLivro{});
        TCanvasGravador g;
        compositor.DesenharSolucoes(g, TDescPagina{TTipoPagina::pgSolucoes, c.Primeiro, 40});
        VerificarCabecaERodape(g, 40);
        TSolverDeducao s(c.N);
        for (size_t i = 0; i < c.Slots.size(); ++i) {
            VerificarSolucao(g, livro, s, c.Primeiro + int32_t(i), c.Slots[i][0], c.Slots[i][1],
                             c.Slots[i][2]);
        }
        // Nothing more than the slots listed.
        int32_t titulos = 0;
        for (const std::string& t : g.Textos()) {
            titulos += t.rfind("Puzzle ", 0) == 0 ? 1 : 0;
        }
        EXPECT_EQ(titulos, int32_t(c.Slots.size()));
        EXPECT_EQ(compositor.TemSolver(), c.Dicas);
    }
}

TEST(PaginaDeSolucoes, GrelhasCentradasSemDicas) {
    // Four 74 mm grids in two rows of two, each centred in its 87 mm slot; two 112 mm grids
    // for the larger orders.
    struct Caso {
        int32_t N;
        std::vector<std::array<double, 2>> Cantos;
        double Lado;
    };
    const Caso casos[] = {
        {8, {{24.5, 37}, {111.5, 37}, {24.5, 158}, {111.5, 158}}, 74},
        {16, {{49, 37}, {49, 158}}, 112},
    };
    for (const Caso& c : casos) {
        const TLivro livro = teste_paginas::ComDicas(LivroGerado(c.N, c.N <= 8 ? 10 : 3), false);
        TCompositorLivro compositor(livro, TInfoLivro{});
        TCanvasGravador g;
        compositor.DesenharSolucoes(g, TDescPagina{TTipoPagina::pgSolucoes, 0, 40});
        std::vector<std::array<double, 2>> molduras;
        for (const TChamada& r : g.DoTipo("Rectangulo")) {
            if (r.Num[4] == 0.8) {
                EXPECT_EQ(r.Num[2], c.Lado);
                molduras.push_back({r.Num[0], r.Num[1]});
            }
        }
        EXPECT_EQ(molduras, c.Cantos) << c.N;
    }
}

TEST(PaginaDeSolucoes, DozeDicasEALinhaFinal) {
    // A book of order 8 with hints: each solution shows at most 12 hints; where its record is
    // longer, the grey closing line follows 1 mm under the last hint.
    const TLivro& livro = LivroGerado(8, 10);
    TCompositorLivro compositor(livro, TInfoLivro{});
    TCanvasGravador g;
    compositor.DesenharSolucao(g, 0, 18, 30, 174);
    std::vector<TChamada> dicas;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[0] == 98 && c.Num[2] == 9.5) {
            dicas.push_back(c);
        }
    }
    ASSERT_GE(dicas.size(), 2u);
    ASSERT_LE(dicas.size(), 13u);
    for (size_t i = 0; i + 1 < dicas.size(); ++i) {
        EXPECT_EQ(dicas[i].Texto.rfind(std::to_string(i + 1) + ". ", 0), 0u) << dicas[i].Texto;
        EXPECT_NEAR(dicas[i].Num[1], 37 + 4.6 * double(i), 1e-9);
        EXPECT_EQ(dicas[i].Num[3], 0);
    }
    EXPECT_EQ(dicas.back().Texto, "Os restantes números resultam do mesmo modo.");
    EXPECT_NEAR(dicas.back().Num[1], 37 + 4.6 * double(dicas.size() - 1) + 1, 1e-9);
    EXPECT_EQ(dicas.back().Num[3], 128);

    // A record without steps: no hints and no closing line.
    TLivro semPassos = livro;
    semPassos.Puzzles[0].Puzzle.Resultado.Passos.clear();
    TCompositorLivro outro(semPassos, TInfoLivro{});
    TCanvasGravador h;
    outro.DesenharSolucao(h, 0, 18, 30, 174);
    for (const TChamada& c : h.DoTipo("Texto")) {
        EXPECT_NE(c.Num[0], 98) << c.Texto;
    }
}

} // namespace
} // namespace tavrelo
