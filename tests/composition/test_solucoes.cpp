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

const std::string FECHO = "O resto resulta de leis com uma só casa vazia.";

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
    const TDicas D = EscolherDicas(s, p.Dados, p.Solucao, p.Resultado.Passos, DICAS_POR_SOLUCAO);
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
        ASSERT_LT(dica, D.Dicas.size());
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
        EXPECT_EQ(texto, numero + TextoDica(s, p.Solucao, D.Dicas[dica]));
    }
    EXPECT_EQ(dica, D.Dicas.size()) << "every hint has room";
    std::string fecho;
    for (size_t k = 0; linha + k < linhas.size(); ++k) {
        const TChamada& c = linhas[linha + k];
        EXPECT_EQ(c.Num[3], 128) << c.Texto;
        EXPECT_NEAR(c.Num[0], hx, 1e-9) << c.Texto;
        EXPECT_NEAR(c.Num[1], hy + 4.6 * double(linha + k) + 1, 1e-9) << c.Texto;
        fecho += (k == 0 ? "" : " ") + c.Texto;
    }
    EXPECT_EQ(fecho, DicasBastam(p.Dados, D.Dicas) ? "" : FECHO);
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
    // A book of order 8 with hints: each solution shows at most 12 hints, a line every 4.6 mm,
    // and where they do not fill the grid alone, the grey closing line follows 1 mm under the
    // last one.
    const TLivro& livro = LivroGerado(8, 10);
    TCompositorLivro compositor(livro, TInfoLivro{});
    TCanvasGravador g;
    compositor.DesenharSolucao(g, 0, 18, 30, 174);
    size_t linhas = 0;
    int32_t dicas = 0;
    std::string fecho;
    double yFecho = 0;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[0] < 102 || c.Num[2] != 9.5 || c.Num[1] < 38) {
            continue;
        }
        if (c.Num[3] == 0) {
            EXPECT_NEAR(c.Num[1], 38 + 4.6 * double(linhas++), 1e-9) << c.Texto;
            // A hint's first line stands at the column's edge, the others further in.
            const bool abre = c.Texto.rfind(std::to_string(dicas + 1) + ". ", 0) == 0;
            dicas += abre ? 1 : 0;
            EXPECT_EQ(c.Num[0] == 102, abre) << c.Texto;
        } else {
            yFecho = fecho.empty() ? c.Num[1] : yFecho;
            fecho += (fecho.empty() ? "" : " ") + c.Texto;
        }
    }
    EXPECT_GE(dicas, 2);
    EXPECT_LE(dicas, 12);
    EXPECT_EQ(fecho, FECHO);
    EXPECT_NEAR(yFecho, 38 + 4.6 * double(linhas) + 1, 1e-9);

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

// A book of one order-7 puzzle with hints: the known square less ACelulas, where the reader's
// own steps stop at once, and no record.
TLivro LivroParado(std::initializer_list<int32_t> ACelulas) {
    TLivro livro = teste_paginas::LivroVazio(7, 1, true);
    TPuzzle& p = livro.Puzzles[0].Puzzle;
    p.Solucao = ::tavrelo::teste::ULTRAMAGICO_7.Valores;
    p.Dados = p.Solucao;
    for (const int32_t c : ACelulas) {
        p.Dados[size_t(c)] = 0;
    }
    p.Resultado.Passos.resize(ACelulas.size());
    return livro;
}

// The hint lines of the solution (black or grey, 9.5 pt, beside the grid).
std::vector<TChamada> LinhasDasDicas(const TCanvasGravador& g) {
    std::vector<TChamada> r;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[2] == 9.5 && c.Num[0] >= 102 && c.Num[1] >= 38) {
            r.push_back(c);
        }
    }
    return r;
}

TEST(PaginaDeSolucoes, DicaDeListaQuebraEntreAsLeis) {
    // Beside the grid the column is 90 mm: the list hint, 55 characters of 1.71 mm with its
    // number, breaks after its first law, and its second law goes on under the text after
    // "1. ".
    TCompositorLivro compositor(LivroParado({2, 4, 14, 20, 28, 34, 44, 46}), TInfoLivro{});
    TCanvasGravador g;
    compositor.DesenharSolucao(g, 0, 18, 30, 174);
    const std::vector<TChamada> linhas = LinhasDasDicas(g);
    const double recuo = 3 * 0.18 * 9.5;
    ASSERT_EQ(linhas.size(), 3u);
    const std::vector<std::string> textos{"1. L1C3 = 46 (lista: L1C3 + L1C5 = 70;",
                                          "L1C3 + L7C3 = 72)",
                                          "O resto resulta de leis com uma só casa vazia."};
    const double xs[] = {102, 102 + recuo, 102};
    const double ys[] = {38, 38 + 4.6, 38 + 9.2 + 1};
    for (size_t i = 0; i < linhas.size(); ++i) {
        EXPECT_EQ(linhas[i].Texto, textos[i]);
        EXPECT_NEAR(linhas[i].Num[0], xs[i], 1e-9) << textos[i];
        EXPECT_NEAR(linhas[i].Num[1], ys[i], 1e-9) << textos[i];
    }
}

TEST(PaginaDeSolucoes, DicasSoAteOndeCabem) {
    // Letters 8 mm wide: every word of a hint needs a line of its own, so not all hints fit
    // above the next slot (148 mm). The starters give way from the last: the hints shown are
    // the first ones chosen, whole, and the closing line follows.
    const TLivro& livro = LivroGerado(8, 10);
    TCompositorLivro compositor(livro, TInfoLivro{});
    TCanvasGravador g;
    const auto largas = [](const std::string& t, double, bool) {
        return 8.0 * double(::teste::CodePoints(t));
    };
    g.Largura = largas;
    compositor.DesenharSolucao(g, 0, 18, 30, 174);
    const std::vector<TChamada> linhas = LinhasDasDicas(g);
    ASSERT_FALSE(linhas.empty());
    std::string fecho;
    for (const TChamada& c : linhas) {
        fecho += c.Num[3] == 128 ? (fecho.empty() ? "" : " ") + c.Texto : "";
    }
    EXPECT_EQ(fecho, FECHO);
    EXPECT_LE(linhas.back().Num[1] + 0.41 * 9.5, 148 + 1e-9);
    // Joined again, the black lines are the first hints of the choice.
    const TPuzzle& p = livro.Puzzles[0].Puzzle;
    TSolverDeducao s(8);
    const TDicas D = EscolherDicas(s, p.Dados, p.Solucao, p.Resultado.Passos, 12);
    std::vector<std::string> impressas;
    for (size_t i = 0; i < linhas.size() && linhas[i].Num[3] == 0; ++i) {
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
    ASSERT_LT(impressas.size(), D.Dicas.size());
    for (size_t i = 0; i < impressas.size(); ++i) {
        EXPECT_EQ(impressas[i], std::to_string(i + 1) + ". " + TextoDica(s, p.Solucao, D.Dicas[i]));
    }

    // Key steps are never left out for starters: where even they do not fit (letters 12 mm
    // wide), those that do are shown and the closing line, no longer true, is not.
    TCompositorLivro parado(
        LivroParado({1, 4, 7, 8, 10, 12, 13, 16, 19, 21, 27, 29, 32, 35, 36, 38, 40, 41, 44, 47}),
        TInfoLivro{});
    TCanvasGravador h;
    h.Largura = [](const std::string& t, double, bool) {
        return 12.0 * double(::teste::CodePoints(t));
    };
    parado.DesenharSolucao(h, 0, 18, 30, 174);
    const std::vector<TChamada> chave = LinhasDasDicas(h);
    ASSERT_FALSE(chave.empty());
    std::string junta;
    for (const TChamada& c : chave) {
        EXPECT_EQ(c.Num[3], 0) << c.Texto;
        junta += (junta.empty() ? "" : " ") + c.Texto;
    }
    EXPECT_EQ(junta,
              "1. L1C2 só pode ser 12, 24 ou 29 (lista: L1C2 + L1C5 = 53; L1C2 + L6C7 = 40)");
}

} // namespace
} // namespace tavrelo
