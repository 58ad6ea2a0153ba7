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
                      int32_t AIndice, double X, double Y, double W, int32_t APaginaDoPuzzle) {
    SCOPED_TRACE("solution " + std::to_string(AIndice + 1));
    const TPuzzle& p = livro.Puzzles[size_t(AIndice)].Puzzle;
    const int32_t N = p.N;
    const bool dicas = livro.Config.Caminho;
    const double lado = LadoSolucao(N, dicas);
    const double G = dicas ? X + 4 : X + (W - lado) / 2;
    const std::string titulo = Formatar("Puzzle %.3d", AIndice + 1);

    const auto t = TextosIguais(g, titulo);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].Num, (std::vector<double>{G, Y, 11, 0}));
    EXPECT_TRUE(t[0].Negrito);
    // The page of the puzzle 3 mm after the title, then the sums 6 mm further, both 9.5 pt on
    // the title's baseline (81 % of a line box above it).
    const double base = Y + 0.41 * (11 - 9.5) * 0.81;
    const std::string pagina = "(página " + std::to_string(APaginaDoPuzzle) + ")";
    const double xPagina = G + 0.18 * 11 * 1.1 * 10 + 3;
    size_t paginas = 0;
    for (const TChamada& c : TextosIguais(g, pagina)) {
        paginas += std::abs(c.Num[0] - xPagina) < 1e-9 && std::abs(c.Num[1] - base) < 1e-9 &&
                   c.Num[2] == 9.5 && c.Num[3] == 77 && !c.Negrito;
    }
    EXPECT_EQ(paginas, 1u) << pagina;
    bool somas = false;
    for (const TChamada& c : TextosIguais(g, TextoSomas(N))) {
        somas =
            somas ||
            (std::abs(c.Num[0] - (xPagina + 0.18 * 9.5 * double(::teste::CodePoints(pagina)) + 6)) <
                 1e-9 &&
             std::abs(c.Num[1] - base) < 1e-9 && c.Num[2] == 9.5 && c.Num[3] == 128 && !c.Negrito);
    }
    EXPECT_TRUE(somas);

    // The grid: the whole solution, givens regular on grey, found numbers bold.
    const double T = Y + 8;
    std::vector<TNumeroNaGrelha> esperados;
    std::vector<std::vector<double>> cinzentos;
    const double cel = lado / N;
    for (int32_t c = 0; c < N * N; ++c) {
        const bool dado = p.Dados[size_t(c)] != 0;
        esperados.push_back({c, p.Solucao[size_t(c)], !dado});
        if (dado) {
            cinzentos.push_back({G + (c % N) * cel, T + (c / N) * cel, cel, cel, 0, -1, 224});
        }
    }
    EXPECT_EQ(NumerosDaGrelha(g, N, G, T, lado, TamanhoNumeros(N, lado)), esperados);
    std::vector<std::vector<double>> fundos;
    for (const TChamada& c : g.DoTipo("Rectangulo")) {
        if (c.Num[6] == 224 && c.Num[0] >= G && c.Num[0] < G + lado && c.Num[1] >= T &&
            c.Num[1] < T + lado) {
            fundos.push_back(c.Num);
        }
    }
    EXPECT_EQ(fundos, cinzentos);
    if (!dicas) {
        return;
    }

    // The hints, a line every 4.6 mm, continuation lines under the text after the number,
    // all within the column and above the next slot; the grey closing line 1 mm under them.
    const double hx = N <= 8 ? G + lado + 6 : G;
    const double hy = N <= 8 ? T : T + lado + 3;
    const double fundo = Y + (N <= 8 ? 121 : 242) - 3;
    const auto& passos = p.Resultado.Passos;
    const std::vector<TDica> D =
        EscolherDicas(s, p.Dados, passos, DICAS_POR_SOLUCAO, CentroDaGrelha(N));
    TCanvasGravador medida;
    std::vector<TChamada> linhas;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[0] >= hx && c.Num[2] == 9.5 && c.Num[1] >= hy && c.Num[1] < fundo &&
            c.Num[0] < X + W) {
            linhas.push_back(c);
            EXPECT_LE(c.Num[0] + medida.LarguraTexto(c.Texto, 9.5, false), X + W + 1e-9) << c.Texto;
            EXPECT_LE(c.Num[1] + 0.41 * 9.5, fundo + 1e-9) << c.Texto;
            EXPECT_EQ(c.Alinhamento, TAlinhamento::alEsquerda);
            EXPECT_FALSE(c.Negrito);
        }
    }
    size_t linha = 0;
    size_t dica = 0;
    for (; linha < linhas.size() && linhas[linha].Num[3] == 0; ++dica) {
        ASSERT_LT(dica, D.size());
        const std::string numero = std::to_string(dica + 1) + ". ";
        const double recuo = medida.LarguraTexto(numero, 9.5, false);
        std::string texto;
        for (size_t k = 0; linha < linhas.size() && linhas[linha].Num[3] == 0; ++k, ++linha) {
            const TChamada& c = linhas[linha];
            if (k > 0 && c.Texto.rfind(std::to_string(dica + 2) + ". ", 0) == 0) {
                break;
            }
            EXPECT_NEAR(c.Num[0], k == 0 ? hx : hx + recuo, 1e-9) << c.Texto;
            EXPECT_NEAR(c.Num[1], hy + 4.6 * double(linha), 1e-9) << c.Texto;
            texto += (k == 0 ? "" : " ") + c.Texto;
        }
        EXPECT_EQ(texto,
                  numero + TextoDica(s, p.Solucao, passos[size_t(D[dica].Passo)], D[dica].Pares));
    }
    EXPECT_EQ(dica, D.size()) << "every hint has room";
    const bool fecho = passos.size() > dica;
    ASSERT_EQ(linhas.size(), linha + (fecho ? 1 : 0));
    if (fecho) {
        EXPECT_EQ(linhas.back().Texto, "Os restantes números resultam do mesmo modo.");
        EXPECT_NEAR(linhas.back().Num[1], hy + 4.6 * double(linha) + 1, 1e-9);
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
            const int32_t p = c.Primeiro + int32_t(i);
            VerificarSolucao(g, livro, s, p, c.Slots[i][0], c.Slots[i][1], c.Slots[i][2],
                             compositor.PaginaDoPuzzle(p));
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
    // Four 74 mm grids in two rows of two, each centred in its 87 mm slot; two 110 mm grids
    // for the larger orders. Each stands 8 mm under its slot's title.
    struct Caso {
        int32_t N;
        std::vector<std::array<double, 2>> Cantos;
        double Lado;
    };
    const Caso casos[] = {
        {8, {{24.5, 38}, {111.5, 38}, {24.5, 159}, {111.5, 159}}, 74},
        {16, {{50, 38}, {50, 159}}, 110},
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
        if (c.Num[0] == 102 && c.Num[2] == 9.5) {
            dicas.push_back(c);
        }
    }
    ASSERT_GE(dicas.size(), 2u);
    ASSERT_LE(dicas.size(), 13u);
    for (size_t i = 0; i + 1 < dicas.size(); ++i) {
        EXPECT_EQ(dicas[i].Texto.rfind(std::to_string(i + 1) + ". ", 0), 0u) << dicas[i].Texto;
        EXPECT_NEAR(dicas[i].Num[1], 38 + 4.6 * double(i), 1e-9);
        EXPECT_EQ(dicas[i].Num[3], 0);
    }
    EXPECT_EQ(dicas.back().Texto, "Os restantes números resultam do mesmo modo.");
    EXPECT_NEAR(dicas.back().Num[1], 38 + 4.6 * double(dicas.size() - 1) + 1, 1e-9);
    EXPECT_EQ(dicas.back().Num[3], 128);

    // A record without steps: no hints and no closing line.
    TLivro semPassos = livro;
    semPassos.Puzzles[0].Puzzle.Resultado.Passos.clear();
    TCompositorLivro outro(semPassos, TInfoLivro{});
    TCanvasGravador h;
    outro.DesenharSolucao(h, 0, 18, 30, 174);
    for (const TChamada& c : h.DoTipo("Texto")) {
        EXPECT_NE(c.Num[0], 102) << c.Texto;
    }
}

// A book of one order-8 puzzle with hints: the known square without L1C1, L1C4 and L4C1, and a
// record of L1C4 by row 1, L1C1 by the list (row 1 and column 1 leave only 41) and L4C1 by
// column 1. Row 1's step is not shown: above the list hint it would close row 1.
TLivro LivroDaLista() {
    TLivro livro = teste_paginas::LivroVazio(8, 1, true);
    TPuzzle& p = livro.Puzzles[0].Puzzle;
    p.Solucao = ::tavrelo::teste::MAIS_PERFEITO_8.Valores;
    p.Dados = p.Solucao;
    for (const int32_t c : {0, 3, 24}) {
        p.Dados[size_t(c)] = 0;
    }
    TPassoDeducao lista;
    lista.Familia = lfLista;
    lista.Lei = 0;
    lista.Celula = 0;
    lista.Valor = 41;
    lista.Parceiro = 3;
    lista.Resto = 73;
    TPassoDeducao coluna;
    coluna.Lei = 8;
    coluna.Celula = 24;
    coluna.Valor = 56;
    TPassoDeducao linha;
    linha.Lei = 0;
    linha.Celula = 3;
    linha.Valor = 32;
    p.Resultado.Passos = {linha, lista, coluna};
    return livro;
}

TEST(PaginaDeSolucoes, DicaDeListaQuebraEntreAsLeis) {
    // Beside the grid the column is 90 mm: the list hint, 56 characters of 1.71 mm, breaks
    // after its first law, and its second law goes on under the text after "1. ".
    TCompositorLivro compositor(LivroDaLista(), TInfoLivro{});
    TCanvasGravador g;
    compositor.DesenharSolucao(g, 0, 18, 30, 174);
    std::vector<TChamada> linhas;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[2] == 9.5 && c.Num[0] >= 102 && c.Num[1] >= 38) {
            linhas.push_back(c);
        }
    }
    const double recuo = 3 * 0.18 * 9.5;
    ASSERT_EQ(linhas.size(), 4u);
    const std::vector<std::string> textos{
        "1. L1C1 = 41 (lista: L1C1 + L1C4 = 73;", "L1C1 + L4C1 = 97)",
        "2. L4C1 = 260 - 204 = 56 (coluna 1)", "Os restantes números resultam do mesmo modo."};
    const double xs[] = {102, 102 + recuo, 102, 102};
    const double ys[] = {38, 38 + 4.6, 38 + 9.2, 38 + 13.8 + 1};
    for (size_t i = 0; i < linhas.size(); ++i) {
        EXPECT_EQ(linhas[i].Texto, textos[i]);
        EXPECT_NEAR(linhas[i].Num[0], xs[i], 1e-9) << textos[i];
        EXPECT_NEAR(linhas[i].Num[1], ys[i], 1e-9) << textos[i];
    }
}

TEST(PaginaDeSolucoes, DicasSoAteOndeCabem) {
    // Letters 8 mm wide: every word of a hint needs a line of its own, so only the first
    // hints and the closing line fit above the next slot (148 mm); the hints shown are the
    // first ones chosen, whole.
    const TLivro& livro = LivroGerado(8, 10);
    TCompositorLivro compositor(livro, TInfoLivro{});
    TCanvasGravador g;
    g.Largura = [](const std::string& t, double, bool) {
        return 8.0 * double(::teste::CodePoints(t));
    };
    compositor.DesenharSolucao(g, 0, 18, 30, 174);
    std::vector<TChamada> linhas;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[2] == 9.5 && c.Num[0] >= 102 && c.Num[1] >= 38) {
            linhas.push_back(c);
        }
    }
    ASSERT_FALSE(linhas.empty());
    EXPECT_EQ(linhas.back().Texto, "Os restantes números resultam do mesmo modo.");
    EXPECT_LE(linhas.back().Num[1] + 0.41 * 9.5, 148 + 1e-9);
    // Joined again, the lines are the first hints of the choice.
    const TPuzzle& p = livro.Puzzles[0].Puzzle;
    TSolverDeducao s(8);
    const std::vector<TDica> D = EscolherDicas(s, p.Dados, p.Resultado.Passos, 12, -1);
    std::vector<std::string> impressas;
    for (size_t i = 0; i + 1 < linhas.size(); ++i) {
        const std::string numero = std::to_string(impressas.size() + 1) + ". ";
        if (linhas[i].Texto.rfind(numero, 0) == 0) {
            impressas.push_back(linhas[i].Texto);
        } else {
            ASSERT_FALSE(impressas.empty());
            impressas.back() += " " + linhas[i].Texto;
        }
        EXPECT_NEAR(linhas[i].Num[1], 38 + 4.6 * double(i), 1e-9);
    }
    ASSERT_GE(impressas.size(), 1u);
    ASSERT_LT(impressas.size(), D.size());
    for (size_t i = 0; i < impressas.size(); ++i) {
        EXPECT_EQ(impressas[i],
                  std::to_string(i + 1) + ". " +
                      TextoDica(s, p.Solucao, p.Resultado.Passos[size_t(D[i].Passo)], D[i].Pares));
    }
}

} // namespace
} // namespace tavrelo
