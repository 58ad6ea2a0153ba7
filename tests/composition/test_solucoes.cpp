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
void VerificarSolucao(const TCanvasGravador& g, const TLivro& livro, TCompositorLivro& compositor,
                      TSolverDeducao& s, int32_t AIndice, double X, double Y, double W,
                      int32_t APaginaDoPuzzle) {
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

    // The hints, a line every 4.6 mm from the top of the grid (small orders) or 3 mm under
    // it: beside the grid, 6 mm right of it, until a line's top is 3 mm past its foot, then
    // under it, from the grid's edge; down to 3 mm above the next slot. Each number stands
    // right-aligned where "12." would end, the key mark 0.8 mm before it, the text after
    // "12. "; a narrowing that does not fit its line goes on 3 mm further in; the grey closing
    // line stands 1 mm lower than a line would.
    const double sob = T + lado + 3;
    const double topo = N <= 8 ? T : sob;
    const double fundo = Y + (N <= 8 ? 121 : 242) - 3;
    const auto coluna = [&](double y) { return N <= 8 && y < sob ? G + lado + 6 : G; };
    TCanvasGravador medida;
    const double largura = 0.18 * 9.5; // the recorder's letters
    const TDicas D = compositor.DicasDaSolucao(medida, AIndice);
    std::vector<std::vector<std::string>> textos; // by hint, by narrowing
    std::string fecho;
    size_t linha = 0;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[2] != 9.5 || c.Num[1] < topo || c.Num[1] >= fundo || c.Num[3] == 77 ||
            c.Alinhamento == TAlinhamento::alCentro) {
            continue;
        }
        EXPECT_LE(c.Num[1] + 0.41 * 9.5, fundo + 1e-9) << c.Texto;
        EXPECT_FALSE(c.Negrito) << c.Texto;
        const double y = topo + 4.6 * double(linha);
        const double x = coluna(y);
        if (c.Num[3] == 128) {
            EXPECT_NEAR(c.Num[0], x, 1e-9) << c.Texto;
            EXPECT_NEAR(c.Num[1], y + 1, 1e-9) << c.Texto;
            fecho += (fecho.empty() ? "" : " ") + c.Texto;
            ++linha;
            continue;
        }
        ASSERT_TRUE(fecho.empty()) << c.Texto;
        EXPECT_NEAR(c.Num[1], y, 1e-9) << c.Texto;
        if (c.Alinhamento == TAlinhamento::alDireita) {
            const std::string numero = std::to_string(textos.size() + 1) + ".";
            if (c.Texto == numero) {
                EXPECT_NEAR(c.Num[0], x + 3 * largura, 1e-9);
                textos.emplace_back();
            } else {
                ASSERT_FALSE(textos.empty());
                EXPECT_EQ(c.Texto, "\u25BA");
                const std::string antes = std::to_string(textos.size()) + ".";
                EXPECT_NEAR(c.Num[0], x + 3 * largura - largura * double(antes.size()) - 0.8, 1e-9);
                EXPECT_GE(int32_t(textos.size()), D.NumIniciais + 1) << "a starter is marked";
            }
            continue;
        }
        ASSERT_FALSE(textos.empty()) << c.Texto;
        EXPECT_LE(c.Num[0] + medida.LarguraTexto(c.Texto, 9.5, false), X + W + 1e-9) << c.Texto;
        const bool abre = std::abs(c.Num[0] - (x + 4 * largura)) < 1e-9;
        if (!abre) {
            EXPECT_NEAR(c.Num[0], x + 4 * largura + 3, 1e-9) << c.Texto;
        }
        if (abre || textos.back().empty()) {
            textos.back().push_back(c.Texto);
        } else {
            textos.back().back() += " " + c.Texto;
        }
        ++linha;
    }
    ASSERT_EQ(textos.size(), D.Dicas.size()) << "every hint has room";
    size_t marcas = 0;
    for (const TChamada& c : g.DoTipo("Texto")) {
        marcas += c.Texto == "\u25BA" && c.Num[1] >= topo ? 1u : 0u;
    }
    EXPECT_EQ(marcas, D.Dicas.size() - size_t(D.NumIniciais)) << "every key hint is marked";
    for (size_t k = 0; k < textos.size(); ++k) {
        EXPECT_EQ(textos[k], TextosDaDica(s, p.Solucao, D.Dicas[k]));
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
            VerificarSolucao(g, livro, compositor, s, p, c.Slots[i][0], c.Slots[i][1],
                             c.Slots[i][2], compositor.PaginaDoPuzzle(p));
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
    // A book of order 8 with hints: each solution shows at most 12 numbered hints, and where
    // they do not fill the grid alone, the grey closing line follows.
    const TLivro& livro = LivroGerado(8, 10);
    TCompositorLivro compositor(livro, TInfoLivro{});
    TCanvasGravador g;
    compositor.DesenharSolucao(g, 0, 18, 30, 174);
    int32_t dicas = 0;
    std::string fecho;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[2] != 9.5 || c.Num[1] < 38) {
            continue;
        }
        dicas += c.Texto == std::to_string(dicas + 1) + "." ? 1 : 0;
        fecho += c.Num[3] == 128 ? (fecho.empty() ? "" : " ") + c.Texto : "";
    }
    EXPECT_GE(dicas, 2);
    EXPECT_LE(dicas, 12);
    EXPECT_EQ(fecho, FECHO);

    // A record without steps: no hints and no closing line.
    TLivro semPassos = livro;
    semPassos.Puzzles[0].Puzzle.Resultado.Passos.clear();
    TCompositorLivro outro(semPassos, TInfoLivro{});
    TCanvasGravador h;
    outro.DesenharSolucao(h, 0, 18, 30, 174);
    for (const TChamada& c : h.DoTipo("Texto")) {
        EXPECT_FALSE(c.Num[2] == 9.5 && c.Num[0] >= 102) << c.Texto;
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

// The hint lines of the solution (black or grey, 9.5 pt, under the title), in order.
std::vector<TChamada> LinhasDasDicas(const TCanvasGravador& g) {
    std::vector<TChamada> r;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[2] == 9.5 && c.Num[1] >= 38 && c.Alinhamento != TAlinhamento::alCentro) {
            r.push_back(c);
        }
    }
    return r;
}

TEST(PaginaDeSolucoes, DicaDeListaQuebraEntreAsLeis) {
    // Beside the grid the column is 90 mm, its texts 83.16 mm from "12. " on: the list hint
    // breaks after its first law, and its second goes on 3 mm further in. Its number stands
    // right-aligned where "12." would end, its mark before it.
    TCompositorLivro compositor(LivroParado({2, 4, 14, 20, 28, 34, 44, 46}), TInfoLivro{});
    TCanvasGravador g;
    compositor.DesenharSolucao(g, 0, 18, 30, 174);
    const std::vector<TChamada> linhas = LinhasDasDicas(g);
    const double letra = 0.18 * 9.5;
    struct Linha {
        const char* Texto;
        double X, Y;
        TAlinhamento Alinhamento;
        int32_t Cinza;
    };
    const Linha esperadas[] = {
        {"1.", 102 + 3 * letra, 38, TAlinhamento::alDireita, 0},
        {"\u25BA", 102 + 3 * letra - 2 * letra - 0.8, 38, TAlinhamento::alDireita, 0},
        {"L1C3 = 46 (lista: L1C3 + L1C5 = 70 na linha 1;", 102 + 4 * letra, 38,
         TAlinhamento::alEsquerda, 0},
        {"L1C3 + L7C3 = 72 na coluna 3)", 102 + 4 * letra + 3, 38 + 4.6, TAlinhamento::alEsquerda,
         0},
        {"O resto resulta de leis com uma só casa vazia.", 102, 38 + 9.2 + 1,
         TAlinhamento::alEsquerda, 128},
    };
    ASSERT_EQ(linhas.size(), std::size(esperadas));
    for (size_t i = 0; i < linhas.size(); ++i) {
        const Linha& e = esperadas[i];
        EXPECT_EQ(linhas[i].Texto, e.Texto);
        EXPECT_NEAR(linhas[i].Num[0], e.X, 1e-9) << e.Texto;
        EXPECT_NEAR(linhas[i].Num[1], e.Y, 1e-9) << e.Texto;
        EXPECT_EQ(linhas[i].Alinhamento, e.Alinhamento) << e.Texto;
        EXPECT_EQ(linhas[i].Num[3], e.Cinza) << e.Texto;
    }
}

// The black hint texts of a recording joined by hint, their numbers and marks left out.
std::vector<std::string> TextosPorDica(const std::vector<TChamada>& ALinhas) {
    std::vector<std::string> r;
    for (const TChamada& c : ALinhas) {
        if (c.Num[3] != 0) {
            continue;
        }
        if (c.Alinhamento == TAlinhamento::alDireita) {
            if (c.Texto == std::to_string(r.size() + 1) + ".") {
                r.emplace_back();
            }
        } else if (!r.empty()) {
            r.back() += (r.back().empty() ? "" : " ") + c.Texto;
        }
    }
    return r;
}

TEST(PaginaDeSolucoes, DicasSoAteOndeCabem) {
    // Letters 8 mm wide: every word of a hint needs a line of its own, so not all hints fit
    // above the next slot (148 mm). The starters give way from the last: the hints shown are
    // the first ones chosen, whole, and the closing line follows.
    const TLivro& livro = LivroGerado(8, 10);
    TCompositorLivro compositor(livro, TInfoLivro{});
    TCanvasGravador g;
    g.Largura = [](const std::string& t, double, bool) {
        return 8.0 * double(::teste::CodePoints(t));
    };
    compositor.DesenharSolucao(g, 0, 18, 30, 174);
    const std::vector<TChamada> linhas = LinhasDasDicas(g);
    ASSERT_FALSE(linhas.empty());
    std::string fecho;
    for (const TChamada& c : linhas) {
        fecho += c.Num[3] == 128 ? (fecho.empty() ? "" : " ") + c.Texto : "";
        EXPECT_LE(c.Num[1] + 0.41 * 9.5, 148 + 1e-9) << c.Texto;
    }
    EXPECT_EQ(fecho, FECHO);
    const TPuzzle& p = livro.Puzzles[0].Puzzle;
    TSolverDeducao s(8);
    const TDicas D = EscolherDicas(s, p.Dados, p.Solucao, p.Resultado.Passos, 12);
    const std::vector<std::string> impressas = TextosPorDica(linhas);
    ASSERT_GE(impressas.size(), 1u);
    ASSERT_LT(impressas.size(), D.Dicas.size());
    for (size_t i = 0; i < impressas.size(); ++i) {
        EXPECT_EQ(impressas[i], TextosDaDica(s, p.Solucao, D.Dicas[i]).front());
    }

    // Key hints are never left out for starters: where the list does not fit (letters 12 mm
    // wide: the words of its two narrowings take more lines than the column has), a number is
    // revealed instead, and the closing line follows.
    TCompositorLivro parado(
        LivroParado({1, 4, 7, 8, 10, 12, 13, 16, 19, 21, 27, 29, 32, 35, 36, 38, 40, 41, 44, 47}),
        TInfoLivro{});
    TCanvasGravador h;
    h.Largura = [](const std::string& t, double, bool) {
        return 12.0 * double(::teste::CodePoints(t));
    };
    parado.DesenharSolucao(h, 0, 18, 30, 174);
    const std::vector<TChamada> chave = LinhasDasDicas(h);
    EXPECT_EQ(TextosPorDica(chave), (std::vector<std::string>{"L1C2 = 29 (número-chave)"}));
    std::string fechoParado;
    for (const TChamada& c : chave) {
        fechoParado += c.Num[3] == 128 ? (fechoParado.empty() ? "" : " ") + c.Texto : "";
    }
    EXPECT_EQ(fechoParado, FECHO);
}

} // namespace
} // namespace tavrelo
