#include "composition/paginas.h"

#include "composition/livros_teste.h"
#include "drawing/canvas_gravador.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace tavrelo {
namespace {

using teste::TCanvasGravador;
using teste::TChamada;
using teste_paginas::LivroGerado;
using teste_paginas::NumerosDaGrelha;
using teste_paginas::TextosIguais;
using teste_paginas::TNumeroNaGrelha;

std::vector<int32_t> DeAte(int32_t a, int32_t b) {
    std::vector<int32_t> r;
    for (int32_t v = a; v <= b; ++v) {
        r.push_back(v);
    }
    return r;
}

void ExpectTexto(const TChamada& c, const std::string& t, double x, double y, double tam,
                 bool negrito, int32_t cinza, TAlinhamento al) {
    EXPECT_EQ(c.Op, "Texto");
    EXPECT_EQ(c.Texto, t);
    ASSERT_EQ(c.Num.size(), 4u);
    EXPECT_NEAR(c.Num[0], x, 1e-9) << t;
    EXPECT_NEAR(c.Num[1], y, 1e-9) << t;
    EXPECT_EQ(c.Num[2], tam) << t;
    EXPECT_EQ(c.Num[3], cinza) << t;
    EXPECT_EQ(c.Negrito, negrito) << t;
    EXPECT_EQ(c.Alinhamento, al) << t;
}

void ExpectNum(const TChamada& c, const std::string& op, const std::vector<double>& num) {
    EXPECT_EQ(c.Op, op);
    ASSERT_EQ(c.Num.size(), num.size()) << op;
    for (size_t i = 0; i < num.size(); ++i) {
        EXPECT_NEAR(c.Num[i], num[i], 1e-9) << op << " argument " << i;
    }
}

TEST(Grelha, TamanhoDosNumeros) {
    struct Caso {
        int32_t N;
        double Lado;
        double Pt;
    };
    const Caso casos[] = {
        {8, 96, 12.93}, {16, 170, 11.44}, {11, 96, 9.40}, {8, 74, 9.96}, {16, 112, 7.54},
        {7, 96, 14.77}, {13, 40, 8.0},    {12, 40, 8.0},  {16, 50, 7.0}, // raised to the minimum
    };
    for (const Caso& c : casos) {
        EXPECT_NEAR(TamanhoNumeros(c.N, c.Lado), c.Pt, 0.005) << c.N << " " << c.Lado;
    }
    // 0.38 first, then the order, then millimetres to points.
    EXPECT_EQ(TamanhoNumeros(8, 96), 96 * 0.38 / 8 * 72 / 25.4);
    EXPECT_EQ(TamanhoNumeros(16, 170), 170 * 0.38 / 16 * 72 / 25.4);
}

// A 3 × 3 grid of side 30 at (10, 20): cells of 10 mm, text line box 0.41 × 12 = 4.92 mm.
const std::vector<int32_t> SOLUCAO3{2, 7, 6, 9, 5, 1, 4, 3, 8};
const std::vector<int32_t> DADOS3{0, 7, 0, 0, 0, 0, 4, 0, 8};

void ExpectLinhasEMoldura(const std::vector<TChamada>& c, size_t inicio) {
    ExpectNum(c[inicio + 0], "Linha", {10, 30, 40, 30, 0.4, 0});
    ExpectNum(c[inicio + 1], "Linha", {20, 20, 20, 50, 0.4, 0});
    ExpectNum(c[inicio + 2], "Linha", {10, 40, 40, 40, 0.4, 0});
    ExpectNum(c[inicio + 3], "Linha", {30, 20, 30, 50, 0.4, 0});
    ExpectNum(c[inicio + 4], "Rectangulo", {10, 20, 30, 30, 0.8, 0, -1});
}

// The row and column numbers: 7 pt, regular, dark grey (77), legible on any printer.
constexpr double TAMANHO_COORDENADAS = 7;
constexpr int32_t CINZA_COORDENADAS = 77;

// The row and column numbers that end a grid's calls: the columns centred over the grid,
// their line box 0.6 mm above it, then the rows right-aligned 1 mm left of it, centred on
// their row.
void ExpectCoordenadas(const std::vector<TChamada>& c, size_t inicio, int32_t N, double X, double Y,
                       double ALado) {
    ASSERT_EQ(c.size(), inicio + 2 * size_t(N));
    const double g = ALado / N;
    const double h = 0.41 * TAMANHO_COORDENADAS;
    for (int32_t i = 0; i < N; ++i) {
        ExpectTexto(c[inicio + size_t(i)], std::to_string(i + 1), X + i * g + g / 2, Y - 0.6 - h,
                    TAMANHO_COORDENADAS, false, CINZA_COORDENADAS, TAlinhamento::alCentro);
        ExpectTexto(c[inicio + size_t(N + i)], std::to_string(i + 1), X - 1,
                    Y + i * g + (g - h) / 2, TAMANHO_COORDENADAS, false, CINZA_COORDENADAS,
                    TAlinhamento::alDireita);
    }
}

TEST(Grelha, ModoPuzzle) {
    TCanvasGravador g;
    DesenharGrelha(g, 3, DADOS3, SOLUCAO3, 10, 20, 30, false, 12);
    ExpectCoordenadas(g.Chamadas, 8, 3, 10, 20, 30);
    ExpectLinhasEMoldura(g.Chamadas, 0);
    const double dy = (10 - 4.92) / 2;
    ExpectTexto(g.Chamadas[5], "7", 25, 20 + dy, 12, true, 0, TAlinhamento::alCentro);
    ExpectTexto(g.Chamadas[6], "4", 15, 40 + dy, 12, true, 0, TAlinhamento::alCentro);
    ExpectTexto(g.Chamadas[7], "8", 35, 40 + dy, 12, true, 0, TAlinhamento::alCentro);
}

TEST(Grelha, ModoSolucao) {
    TCanvasGravador g;
    DesenharGrelha(g, 3, DADOS3, SOLUCAO3, 10, 20, 30, true, 12);
    ExpectCoordenadas(g.Chamadas, 3 + 5 + 9, 3, 10, 20, 30);
    // The given cells on light grey (12 %) first, under everything else.
    ExpectNum(g.Chamadas[0], "Rectangulo", {20, 20, 10, 10, 0, -1, 224});
    ExpectNum(g.Chamadas[1], "Rectangulo", {10, 40, 10, 10, 0, -1, 224});
    ExpectNum(g.Chamadas[2], "Rectangulo", {30, 40, 10, 10, 0, -1, 224});
    ExpectLinhasEMoldura(g.Chamadas, 3);
    const double dy = (10 - 4.92) / 2;
    for (int32_t cel = 0; cel < 9; ++cel) {
        const bool dado = DADOS3[size_t(cel)] != 0;
        ExpectTexto(g.Chamadas[8 + size_t(cel)], std::to_string(SOLUCAO3[size_t(cel)]),
                    10 + (cel % 3) * 10 + 5, 20 + (cel / 3) * 10 + dy, 12, !dado, 0,
                    TAlinhamento::alCentro);
    }
    // A cell without a value writes nothing.
    std::vector<int32_t> comZero = SOLUCAO3;
    comZero[4] = 0;
    TCanvasGravador z;
    DesenharGrelha(z, 3, DADOS3, comZero, 10, 20, 30, true, 12);
    EXPECT_EQ(z.DoTipo("Texto").size(), 8u + 6u);
}

TEST(Caixa, NumerosEmFalta) {
    EXPECT_EQ(NumerosEmFalta(3, DADOS3), (std::vector<int32_t>{1, 2, 3, 5, 6, 9}));
    EXPECT_EQ(NumerosEmFalta(3, SOLUCAO3), std::vector<int32_t>{});
    EXPECT_EQ(NumerosEmFalta(3, std::vector<int32_t>(9, 0)), DeAte(1, 9));
}

// The recording surface sets a digit 0.18 mm a point wide; a box row is 0.5 mm a point high
// and its columns 0.3 mm a point apart, with a 6 mm title band, 2 mm under the last row and
// 4 mm each side of the columns.
TEST(Caixa, Medir) {
    using FLargura = std::function<double(const std::string&, double, bool)>;
    // One millimetre a character, at any size.
    const FLargura umMm = [](const std::string& t, double, bool) {
        return double(teste::CodePoints(t));
    };
    // Numbers as in the default model, the title ALargura - 8 mm wide.
    auto tituloDe = [](double ALargura) {
        return FLargura([ALargura](const std::string& t, double s, bool) {
            return t == "Números a colocar" ? ALargura - 8
                                            : double(teste::CodePoints(t)) * 0.18 * s;
        });
    };
    std::vector<int32_t> ate9com100 = DeAte(1, 9);
    ate9com100.push_back(100);
    std::vector<int32_t> ate9com99 = DeAte(1, 9);
    ate9com99.push_back(99);

    struct Caso {
        const char* Nome;
        std::vector<int32_t> Numeros;
        FLargura Largura;
        double LarguraMax, AlturaMax;
        int32_t ColunasMax;
        bool Cabe;
        double Tamanho;
        int32_t Linhas, PorLinha;
        double LarguraCaixa, Altura;
    };
    const Caso casos[] = {
        // Room enough: 10 pt, two-digit columns 3.6 mm wide and 3 mm apart, 8 a row, so five
        // rows of 8.
        {"40 numbers at 10 pt", DeAte(1, 40), nullptr, 62, 99, 10, true, 10, 5, 8,
         8 * 3.6 + 7 * 3 + 8, 6 + 5 * 5 + 2},
        // Less height: 10, 9.5 and 9 pt need five rows, too high; 8.5 pt fits ten columns.
        {"40 numbers in 30 mm", DeAte(1, 40), nullptr, 62, 30, 10, true, 8.5, 4, 10,
         10 * 3.06 + 9 * 2.55 + 8, 6 + 4 * 4.25 + 2},
        {"too low even at 8 pt", DeAte(1, 40), nullptr, 62, 23.9, 10, false, 0, 0, 0, 0, 0},
        {"no numbers", {}, nullptr, 62, 99, 10, false, 0, 0, 0, 0, 0},
        // The largest number sets the column width: three digits leave room for 4 columns.
        // (Both boxes then take the whole 30 mm: the title and 40 mm ask for more.)
        {"largest 100", ate9com100, umMm, 30, 99, 10, true, 10, 3, 4, 30, 6 + 3 * 5 + 2},
        {"largest 99", ate9com99, umMm, 30, 99, 10, true, 10, 2, 5, 30, 6 + 2 * 5 + 2},
        // The width is at least the title's, at least 40, at most the space.
        {"narrow", {1, 2}, nullptr, 62, 99, 10, true, 10, 1, 2, 40, 13},
        {"wide title", {1, 2}, tituloDe(58), 62, 99, 10, true, 10, 1, 2, 58, 13},
        {"title too wide", {1, 2}, tituloDe(100), 62, 99, 10, true, 10, 1, 2, 62, 13},
        // No room for a column still gives one.
        {"one column", {1, 2, 3}, nullptr, 5, 99, 10, true, 10, 3, 1, 5, 6 + 3 * 5 + 2},
        // Numbers of no width: the column cap decides (56 would fit); three rows of 40.
        {"column cap", DeAte(1, 120), [](const std::string&, double, bool) { return 0.0; }, 174, 99,
         50, true, 10, 3, 40, 39 * 3 + 8, 6 + 3 * 5 + 2},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.Nome);
        TCanvasGravador g;
        g.Largura = c.Largura;
        TCaixaNumeros caixa{1, 1, 1, 1, 1, 1, 1, 1};
        EXPECT_EQ(MedirCaixaNumeros(g, c.LarguraMax, c.AlturaMax, c.Numeros, c.ColunasMax, caixa),
                  c.Cabe);
        EXPECT_EQ(caixa.TamanhoPt, c.Tamanho);
        EXPECT_EQ(caixa.Linhas, c.Linhas);
        EXPECT_EQ(caixa.PorLinha, c.PorLinha);
        EXPECT_NEAR(caixa.Largura, c.LarguraCaixa, 1e-9);
        EXPECT_NEAR(caixa.Altura, c.Altura, 1e-9);
        if (c.Cabe) {
            EXPECT_GE(caixa.TamanhoPt, 8);
            EXPECT_DOUBLE_EQ(caixa.AlturaLinha, 0.5 * c.Tamanho);
            EXPECT_DOUBLE_EQ(caixa.Intervalo, 0.3 * c.Tamanho);
            EXPECT_LE(caixa.Altura, c.AlturaMax);
        } else {
            EXPECT_EQ(caixa, TCaixaNumeros{});
        }
    }
}

TEST(Caixa, Desenhar) {
    TCanvasGravador g;
    const std::vector<int32_t> n{1, 2, 3, 10, 11};
    TCaixaNumeros caixa;
    ASSERT_TRUE(MedirCaixaNumeros(g, 62, 99, n, 10, caixa));
    EXPECT_EQ(caixa.Largura, 40);
    EXPECT_NEAR(DesenharCaixaNumeros(g, 125, 45.5, caixa, n), 45.5 + 13, 1e-9);
    ASSERT_EQ(g.Chamadas.size(), 7u);
    ExpectNum(g.Chamadas[0], "Rectangulo", {125, 45.5, 40, 13, 0.5, 0, -1});
    ExpectTexto(g.Chamadas[1], "Números a colocar", 145, 46.7, 9, false, 77,
                TAlinhamento::alCentro);
    // Five columns of two digits, 3.6 mm wide and 3 mm apart: 30 mm centred in the box, each
    // number right-aligned in its column.
    const double y = 45.5 + 6 + (5 - 0.41 * 10) / 2;
    for (size_t i = 0; i < n.size(); ++i) {
        ExpectTexto(g.Chamadas[2 + i], std::to_string(n[i]), 130 + double(i) * 6.6 + 3.6, y, 10,
                    false, 0, TAlinhamento::alDireita);
    }
}

TEST(Caixa, NumerosEmColunasAlinhadas) {
    TCanvasGravador g;
    const std::vector<int32_t> n = DeAte(1, 41);
    TCaixaNumeros caixa;
    ASSERT_TRUE(MedirCaixaNumeros(g, 62, 99, n, 10, caixa));
    DesenharCaixaNumeros(g, 125, 45.5, caixa, n);
    std::map<double, std::vector<TChamada>> porLinha;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Texto != "Números a colocar") {
            porLinha[c.Num[1]].push_back(c);
        }
    }
    // Eight columns would leave a last row of one: six rows of 7, the last of 6.
    ASSERT_EQ(porLinha.size(), 6u);
    std::vector<double> colunas;
    size_t j = 0;
    int32_t proximo = 1;
    for (const auto& [y, linha] : porLinha) {
        EXPECT_NEAR(y, 45.5 + 6 + double(j) * 5 + (5 - 0.41 * 10) / 2, 1e-9);
        ASSERT_EQ(linha.size(), j < 5 ? 7u : 6u) << "row " << j;
        for (size_t k = 0; k < linha.size(); ++k) {
            const TChamada& c = linha[k];
            EXPECT_EQ(c.Texto, std::to_string(proximo++));
            EXPECT_EQ(c.Alinhamento, TAlinhamento::alDireita);
            // Every row's k-th number ends where the first row's does.
            if (j == 0) {
                colunas.push_back(c.Num[0]);
            }
            EXPECT_NEAR(c.Num[0], colunas.at(k), 1e-9) << "row " << j << ", column " << k;
        }
        ++j;
    }
    // The block of columns is centred: as much room before the first as after the last.
    EXPECT_NEAR(colunas.front() - 3.6 - 125, 125 + caixa.Largura - colunas.back(), 1e-9);
}

// A puzzle block as the page must show it, for an order's geometry.
struct TGeometriaBloco {
    int32_t N;
    double L, R, Lado;
    double TopoGrelha; // below the slot top
    bool CaixaAoLado;
};

void VerificarBloco(const TCanvasGravador& g, const TPuzzle& p, int32_t AIndice, double c,
                    const TGeometriaBloco& geo, int32_t APaginaDaSolucao) {
    SCOPED_TRACE("puzzle " + std::to_string(AIndice + 1));
    const int32_t N = geo.N;
    // Everything of this block starts between c and the end of its slot, above the footer.
    const double fimDoSlot = geo.CaixaAoLado ? c + 130.5 : 272;
    auto noBloco = [&](const TChamada& x) {
        if (x.Op == "Destino" || x.Op == "Ligacao") {
            return false; // the way to the solution, checked with the composer
        }
        const double y = x.Op == "Poligono" ? x.Pontos[0].Y : x.Num.size() > 1 ? x.Num[1] : -1;
        return y >= c - 3 && y < fimDoSlot;
    };
    std::vector<TChamada> bloco;
    for (const TChamada& x : g.Chamadas) {
        if (noBloco(x)) {
            bloco.push_back(x);
        }
    }
    ASSERT_FALSE(bloco.empty());
    // Header: the number, the page of its solution 3 mm after it on the same baseline, the
    // order, then the five stars ending at R.
    const std::string numero = Formatar("%.3d", AIndice + 1);
    ExpectTexto(bloco[0], numero, geo.L, c, 14, true, 0, TAlinhamento::alEsquerda);
    ExpectTexto(bloco[1], "Solução na página " + std::to_string(APaginaDaSolucao),
                geo.L + TCanvasGravador().LarguraTexto(numero, 14, true) + 3,
                c + 0.41 * (14 - 9.5) * 0.81, 9.5, false, 77, TAlinhamento::alEsquerda);
    ExpectTexto(bloco[2], TextoTamanho(N), 105, c + 0.6, 13, false, 0, TAlinhamento::alCentro);
    for (size_t i = 0; i < 5; ++i) {
        const TChamada& e = bloco[3 + i];
        ASSERT_EQ(e.Op, "Poligono");
        EXPECT_NEAR(e.Pontos[0].X, geo.R - 2.4 - (4 - double(i)) * 6.0, 1e-9);
        EXPECT_NEAR(e.Pontos[0].Y, c + 0.2 + 2.7 - 2.4, 1e-9);
        EXPECT_EQ(e.Num[2], int32_t(i) < p.Nivel ? 0 : 255);
    }
    // Law band: the pictogram frames every 24 mm from L, then the sums ending at R.
    std::vector<double> molduras;
    size_t somas = 0;
    for (size_t i = 8; i < bloco.size(); ++i) {
        const TChamada& x = bloco[i];
        if (x.Op == "Rectangulo" && x.Num[2] == 14 && x.Num[3] == 14 && x.Num[4] == 0.8) {
            EXPECT_NEAR(x.Num[1], c + 10.5, 1e-9);
            molduras.push_back(x.Num[0]);
        }
        if (x.Op == "Texto" && x.Texto == TextoSomas(N)) {
            somas = i;
        }
    }
    std::vector<double> esperadas;
    for (size_t i = 0; i < (N % 2 != 0 ? 3u : 4u); ++i) {
        esperadas.push_back(geo.L + 24 * double(i));
    }
    EXPECT_EQ(molduras, esperadas);
    ASSERT_GT(somas, 0u);
    ExpectTexto(bloco[somas], TextoSomas(N), geo.R, c + 10.5 + (14 - 0.41 * 11) / 2, 11, false, 0,
                TAlinhamento::alDireita);

    // The grid right after the band: every number shown is a given, in bold, in its cell.
    const double T = c + geo.TopoGrelha;
    const double x0 = geo.CaixaAoLado ? geo.L : (210 - geo.Lado) / 2;
    bool temMoldura = false;
    for (const TChamada& x : bloco) {
        temMoldura =
            temMoldura || (x.Op == "Rectangulo" && x.Num[0] == x0 && x.Num[1] == T &&
                           x.Num[2] == geo.Lado && x.Num[3] == geo.Lado && x.Num[4] == 0.8);
    }
    EXPECT_TRUE(temMoldura);
    const double tam = TamanhoNumeros(N, geo.Lado);
    std::vector<TNumeroNaGrelha> esperados;
    for (int32_t cel = 0; cel < N * N; ++cel) {
        if (p.Dados[size_t(cel)] != 0) {
            esperados.push_back({cel, p.Dados[size_t(cel)], true});
        }
    }
    EXPECT_EQ(NumerosDaGrelha(g, N, x0, T, geo.Lado, tam), esperados);

    // The box: the numbers still to place, once each, left to right and row by row, at 8 to
    // 10 pt, right-aligned in columns; the box holds its rows of 0.5 mm a point.
    std::vector<TChamada> rect;
    std::vector<int32_t> naCaixa;
    std::set<double> tamanhos, linhas;
    for (const TChamada& x : bloco) {
        if (x.Op == "Rectangulo" && x.Num[4] == 0.5) {
            rect.push_back(x);
        }
        if (x.Op == "Texto" && x.Alinhamento == TAlinhamento::alDireita && x.Num[2] >= 8 &&
            x.Num[2] <= 10) {
            naCaixa.push_back(std::stoi(x.Texto));
            tamanhos.insert(x.Num[2]);
            linhas.insert(x.Num[1]);
        }
    }
    const std::vector<int32_t> emFalta = NumerosEmFalta(N, p.Dados);
    EXPECT_EQ(naCaixa, emFalta);
    ASSERT_EQ(rect.size(), 1u);
    ASSERT_EQ(tamanhos.size(), 1u);
    EXPECT_NEAR(rect[0].Num[3], 6 + double(linhas.size()) * 0.5 * *tamanhos.begin() + 2, 1e-9);
    if (geo.CaixaAoLado) {
        EXPECT_EQ(rect[0].Num[0], geo.L + geo.Lado + 6);
        EXPECT_EQ(rect[0].Num[1], T);
        EXPECT_LE(rect[0].Num[0] + rect[0].Num[2], geo.R + 1e-9);
    } else {
        EXPECT_NEAR(rect[0].Num[0], (210 - rect[0].Num[2]) / 2, 1e-9);
        EXPECT_EQ(rect[0].Num[1], T + geo.Lado + 4);
        EXPECT_LE(rect[0].Num[1] + rect[0].Num[3], 272);
    }
}

TEST(PaginaDePuzzles, BlocosPorOrdem) {
    const TGeometriaBloco geometrias[] = {
        {8, 23, 187, 96, 29.5, true},    {7, 23, 187, 96, 29.5, true},
        {11, 23, 187, 96, 29.5, true},   {12, 18, 192, 166, 29.5, false},
        {13, 18, 192, 166, 29.5, false}, {16, 20, 190, 162, 29.5, false},
    };
    for (const TGeometriaBloco& geo : geometrias) {
        SCOPED_TRACE("order " + std::to_string(geo.N));
        const TLivro& livro = LivroGerado(geo.N, geo.CaixaAoLado ? 10 : 3);
        TCompositorLivro compositor(livro, TInfoLivro{});
        TCanvasGravador g;
        compositor.DesenharPuzzles(g, TDescPagina{TTipoPagina::pgPuzzles, 2, 11});
        const bool dois = geo.CaixaAoLado;
        VerificarBloco(g, livro.Puzzles[2].Puzzle, 2, 18, geo, compositor.PaginaDaSolucao(2));
        if (dois) {
            VerificarBloco(g, livro.Puzzles[3].Puzzle, 3, 148.5, geo,
                           compositor.PaginaDaSolucao(3));
            EXPECT_EQ(TextosIguais(g, "004").size(), 1u);
        }
        // The footer ends the page.
        ASSERT_GE(g.Chamadas.size(), 2u);
        ExpectTexto(g.Chamadas[g.Chamadas.size() - 2], "TAVRELO | Brovanel", 18, 283, 9, false, 128,
                    TAlinhamento::alEsquerda);
        ExpectTexto(g.Chamadas.back(), "11", 192, 283, 9, false, 128, TAlinhamento::alDireita);
    }
}

TEST(PaginaDePuzzles, UltimaPaginaComUmSoPuzzle) {
    TLivro livro = LivroGerado(8, 10);
    livro.Puzzles.resize(9);
    TCompositorLivro compositor(livro, TInfoLivro{});
    TCanvasGravador g;
    compositor.DesenharPuzzles(g, TDescPagina{TTipoPagina::pgPuzzles, 8, 33});
    EXPECT_EQ(TextosIguais(g, "009").size(), 1u);
    EXPECT_TRUE(TextosIguais(g, "010").empty());
    // Nothing in the lower half but the footer.
    for (size_t i = 0; i + 2 < g.Chamadas.size(); ++i) {
        const TChamada& x = g.Chamadas[i];
        const double y = x.Op == "Poligono" ? x.Pontos[0].Y : x.Num[1];
        EXPECT_LT(y, 148.5) << x.Op << " " << x.Texto;
    }
    EXPECT_EQ(g.Chamadas.back().Texto, "33");
}

TEST(PaginaDePuzzles, CaixaQueNaoCabeFicaDeFora) {
    // Every number 30 mm wide: one column, one row a number, too high for the slot.
    TCompositorLivro compositor(LivroGerado(8, 10), TInfoLivro{});
    TCanvasGravador g;
    g.Largura = [](const std::string&, double, bool) { return 30.0; };
    compositor.DesenharPuzzles(g, TDescPagina{TTipoPagina::pgPuzzles, 0, 9});
    EXPECT_TRUE(TextosIguais(g, "Números a colocar").empty());
    for (const TChamada& x : g.DoTipo("Rectangulo")) {
        EXPECT_NE(x.Num[4], 0.5);
    }
    // The rest of the page stands.
    EXPECT_EQ(TextosIguais(g, "001").size(), 1u);
    EXPECT_EQ(TextosIguais(g, "002").size(), 1u);
    EXPECT_EQ(g.Chamadas.back().Texto, "9");
}

// The box a call covers on the page, by the recording surface's measures, half of any
// stroke included.
struct TCaixa {
    double X0, Y0, X1, Y1;
};

TCaixa CaixaDe(const TChamada& c) {
    auto meioTraco = [](double APt, double AContorno) {
        return AContorno == -1 ? 0.0 : APt * 25.4 / 72 / 2;
    };
    if (c.Op == "Texto") {
        const double w = TCanvasGravador().LarguraTexto(c.Texto, c.Num[2], c.Negrito);
        const double x = c.Alinhamento == TAlinhamento::alEsquerda ? c.Num[0]
                         : c.Alinhamento == TAlinhamento::alCentro ? c.Num[0] - w / 2
                                                                   : c.Num[0] - w;
        return {x, c.Num[1], x + w, c.Num[1] + TCanvasGravador::AlturaPorPt * c.Num[2]};
    }
    if (c.Op == "Linha") {
        const double e = meioTraco(c.Num[4], c.Num[5]);
        return {std::min(c.Num[0], c.Num[2]) - e, std::min(c.Num[1], c.Num[3]) - e,
                std::max(c.Num[0], c.Num[2]) + e, std::max(c.Num[1], c.Num[3]) + e};
    }
    if (c.Op == "Poligono") {
        const double e = meioTraco(c.Num[0], c.Num[1]);
        TCaixa r{1e9, 1e9, -1e9, -1e9};
        for (const TPontoMm& p : c.Pontos) {
            r = {std::min(r.X0, p.X - e), std::min(r.Y0, p.Y - e), std::max(r.X1, p.X + e),
                 std::max(r.Y1, p.Y + e)};
        }
        return r;
    }
    // Rectangulo, Elipse, Imagem: the box, and half the outline around it.
    const double e = c.Op == "Imagem" ? 0 : meioTraco(c.Num[4], c.Num[5]);
    return {c.Num[0] - e, c.Num[1] - e, c.Num[0] + c.Num[2] + e, c.Num[1] + c.Num[3] + e};
}

bool Sobrepoem(const TCaixa& a, const TCaixa& b) {
    return a.X0 < b.X1 && b.X0 < a.X1 && a.Y0 < b.Y1 && b.Y0 < a.Y1;
}

TEST(Coordenadas, EmCadaGrelhaDeCadaPaginaSemTocarEmNada) {
    struct Caso {
        const char* Nome;
        std::vector<int32_t> Ordens;
        bool Solucoes;
        bool Dicas;
        std::vector<std::array<double, 3>> Grelhas; // left, top, side
    };
    const Caso casos[] = {
        {"two puzzles a page", {7, 8, 11}, false, true, {{23, 47.5, 96}, {23, 178, 96}}},
        {"one puzzle a page", {12, 13}, false, true, {{22, 47.5, 166}}},
        {"one puzzle a page", {16}, false, true, {{24, 47.5, 162}}},
        {"two solutions with hints", {7, 8}, true, true, {{22, 38, 74}, {22, 159, 74}}},
        {"one solution with hints", {11, 12, 13, 16}, true, true, {{22, 38, 120}}},
        {"four solutions",
         {7, 8},
         true,
         false,
         {{24.5, 38, 74}, {111.5, 38, 74}, {24.5, 159, 74}, {111.5, 159, 74}}},
        {"two solutions", {11, 12, 13, 16}, true, false, {{50, 38, 110}, {50, 159, 110}}},
    };
    for (const Caso& caso : casos) {
        for (const int32_t N : caso.Ordens) {
            SCOPED_TRACE(std::string(caso.Nome) + ", order " + std::to_string(N));
            const bool dois = N <= 8 || N == 11;
            const TLivro livro = teste_paginas::ComDicas(LivroGerado(N, dois ? 10 : 3), caso.Dicas);
            TCompositorLivro compositor(livro, TInfoLivro{});
            TCanvasGravador g;
            const TDescPagina pagina{
                caso.Solucoes ? TTipoPagina::pgSolucoes : TTipoPagina::pgPuzzles, 0, 40};
            if (caso.Solucoes) {
                compositor.DesenharSolucoes(g, pagina);
            } else {
                compositor.DesenharPuzzles(g, pagina);
            }
            // The coordinates are the small dark grey texts; everything else is what they
            // must keep clear of.
            std::vector<TChamada> rotulos;
            std::vector<TChamada> resto;
            for (const TChamada& c : g.Chamadas) {
                if (c.Op == "Destino" || c.Op == "Ligacao") {
                    continue; // marks of the PDF's navigation, nothing drawn
                }
                (c.Op == "Texto" && c.Num[2] == TAMANHO_COORDENADAS && c.Num[3] == CINZA_COORDENADAS
                     ? rotulos
                     : resto)
                    .push_back(c);
            }
            using TRotulo = std::tuple<std::string, long, long, TAlinhamento>;
            auto rotulo = [](const std::string& t, double x, double y, TAlinhamento a) {
                return TRotulo{t, std::lround(x * 1e6), std::lround(y * 1e6), a};
            };
            std::vector<TRotulo> esperados;
            for (const auto& [X, Y, lado] : caso.Grelhas) {
                const double cel = lado / N;
                const double h = 0.41 * TAMANHO_COORDENADAS;
                for (int32_t i = 0; i < N; ++i) {
                    esperados.push_back(rotulo(std::to_string(i + 1), X + (i + 0.5) * cel,
                                               Y - 0.6 - h, TAlinhamento::alCentro));
                    esperados.push_back(rotulo(std::to_string(i + 1), X - 1,
                                               Y + i * cel + (cel - h) / 2,
                                               TAlinhamento::alDireita));
                }
            }
            std::vector<TRotulo> achados;
            for (const TChamada& c : rotulos) {
                achados.push_back(rotulo(c.Texto, c.Num[0], c.Num[1], c.Alinhamento));
                EXPECT_FALSE(c.Negrito);
            }
            std::sort(esperados.begin(), esperados.end());
            std::sort(achados.begin(), achados.end());
            EXPECT_EQ(achados, esperados);

            for (size_t i = 0; i < rotulos.size(); ++i) {
                const TCaixa a = CaixaDe(rotulos[i]);
                EXPECT_GE(a.X0, 18) << rotulos[i].Texto;
                EXPECT_LE(a.X1, 192) << rotulos[i].Texto;
                for (size_t j = i + 1; j < rotulos.size(); ++j) {
                    EXPECT_FALSE(Sobrepoem(a, CaixaDe(rotulos[j])))
                        << rotulos[i].Texto << " over " << rotulos[j].Texto;
                }
                for (const TChamada& c : resto) {
                    EXPECT_FALSE(Sobrepoem(a, CaixaDe(c)))
                        << rotulos[i].Texto << " at " << a.X0 << ", " << a.Y0 << " over " << c.Op
                        << " " << c.Texto << " at " << c.Num[0] << ", " << c.Num[1];
                }
            }
        }
    }
}

} // namespace
} // namespace tavrelo
