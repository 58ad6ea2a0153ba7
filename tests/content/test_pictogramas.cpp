#include "content/pictogramas.h"

#include "drawing/canvas_gravador.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

using teste::TCanvasGravador;
using teste::TChamada;

struct TEsperada {
    std::string Op;
    std::vector<double> Num;
};

void CompararChamadas(const std::vector<TChamada>& AReais, const std::vector<TEsperada>& AEsperadas,
                      const std::string& ANome) {
    ASSERT_EQ(AReais.size(), AEsperadas.size()) << ANome;
    for (size_t i = 0; i < AReais.size(); ++i) {
        SCOPED_TRACE(ANome + ", call " + std::to_string(i));
        EXPECT_EQ(AReais[i].Op, AEsperadas[i].Op);
        ASSERT_EQ(AReais[i].Num.size(), AEsperadas[i].Num.size());
        for (size_t k = 0; k < AReais[i].Num.size(); ++k) {
            EXPECT_NEAR(AReais[i].Num[k], AEsperadas[i].Num[k], 1e-9) << "argument " << k;
        }
    }
}

// The four dashes of a span 9.9 to 10.1 mm long: 0-1.4, 2.4-3.8, 4.8-6.2 and 7.2-8.6 mm
// from (X1, Y1).
std::vector<TEsperada> QuatroTracos(double X1, double Y1, double X2, double Y2) {
    const double L = std::hypot(X2 - X1, Y2 - Y1);
    const double ux = (X2 - X1) / L;
    const double uy = (Y2 - Y1) / L;
    std::vector<TEsperada> r;
    for (const auto& [a, b] : {std::pair{0.0, 1.4}, {2.4, 3.8}, {4.8, 6.2}, {7.2, 8.6}}) {
        r.push_back({"Linha", {X1 + a * ux, Y1 + a * uy, X1 + b * ux, Y1 + b * uy, 0.4, 0}});
    }
    return r;
}

std::vector<TEsperada> Juntar(std::initializer_list<std::vector<TEsperada>> APartes) {
    std::vector<TEsperada> r;
    for (const auto& p : APartes) {
        r.insert(r.end(), p.begin(), p.end());
    }
    return r;
}

TEST(Pictogramas, QuaisPorOrdem) {
    using enum TPictograma;
    const std::vector<TPictograma> impar{pcSomaImpar, pcQuebrada, pcPar};
    const std::vector<TPictograma> par{pcSoma, pcQuebrada, pcBloco, pcMeia};
    for (const int32_t N : {7, 11, 13}) {
        EXPECT_EQ(PictogramasDoTamanho(N), impar) << N;
    }
    for (const int32_t N : {8, 12, 16}) {
        EXPECT_EQ(PictogramasDoTamanho(N), par) << N;
    }
}

TEST(Pictogramas, LinhasDaGrelha) {
    TCanvasGravador c;
    LinhasDaGrelha(c, 10, 20, 14, 4);
    CompararChamadas(c.Chamadas,
                     {{"Linha", {10, 23.5, 24, 23.5, 0.4, 0}},
                      {"Linha", {13.5, 20, 13.5, 34, 0.4, 0}},
                      {"Linha", {10, 27, 24, 27, 0.4, 0}},
                      {"Linha", {17, 20, 17, 34, 0.4, 0}},
                      {"Linha", {10, 30.5, 24, 30.5, 0.4, 0}},
                      {"Linha", {20.5, 20, 20.5, 34, 0.4, 0}}},
                     "4 x 4");
    for (const int32_t N : {1, 0, -3}) {
        TCanvasGravador vazio;
        LinhasDaGrelha(vazio, 0, 0, 14, N);
        EXPECT_TRUE(vazio.Chamadas.empty()) << N;
    }
}

TEST(Pictogramas, FormasPorOrdemDeDesenho) {
    // Every pictogram drawn at (10, 20): its shapes in order, in page coordinates.
    const TEsperada moldura{"Rectangulo", {10, 20, 14, 14, 0.8, 0, -1}};
    const std::vector<TEsperada> grelha4{
        {"Linha", {10, 23.5, 24, 23.5, 0.4, 0}}, {"Linha", {13.5, 20, 13.5, 34, 0.4, 0}},
        {"Linha", {10, 27, 24, 27, 0.4, 0}},     {"Linha", {17, 20, 17, 34, 0.4, 0}},
        {"Linha", {10, 30.5, 24, 30.5, 0.4, 0}}, {"Linha", {20.5, 20, 20.5, 34, 0.4, 0}}};
    const std::vector<TEsperada> grelha5{
        {"Linha", {10, 22.8, 24, 22.8, 0.4, 0}}, {"Linha", {12.8, 20, 12.8, 34, 0.4, 0}},
        {"Linha", {10, 25.6, 24, 25.6, 0.4, 0}}, {"Linha", {15.6, 20, 15.6, 34, 0.4, 0}},
        {"Linha", {10, 28.4, 24, 28.4, 0.4, 0}}, {"Linha", {18.4, 20, 18.4, 34, 0.4, 0}},
        {"Linha", {10, 31.2, 24, 31.2, 0.4, 0}}, {"Linha", {21.2, 20, 21.2, 34, 0.4, 0}}};
    const TEsperada diagonal{"Linha", {10, 20, 24, 34, 0.9, 0}};

    struct Caso {
        TPictograma P;
        const char* Nome;
        std::vector<TEsperada> Formas;
    };
    const Caso casos[] = {
        {TPictograma::pcSoma, "pcSoma",
         Juntar({{{"Rectangulo", {10, 23.5, 14, 3.5, 0, -1, 200}},
                  {"Rectangulo", {17, 20, 3.5, 14, 0, -1, 200}}},
                 grelha4,
                 {diagonal, moldura}})},
        {TPictograma::pcSomaImpar, "pcSomaImpar",
         Juntar({{{"Rectangulo", {10, 22.8, 14, 2.8, 0, -1, 200}},
                  {"Rectangulo", {18.4, 20, 2.8, 14, 0, -1, 200}}},
                 grelha5,
                 {diagonal, moldura}})},
        {TPictograma::pcQuebrada,
         "pcQuebrada",
         {moldura,
          {"Linha", {10, 26.3, 17.7, 34, 0.9, 0}},
          {"Linha", {16.3, 20, 24, 27.7, 0.9, 0}},
          {"Elipse", {16.5, 32.8, 2.4, 2.4, 0.5, 0, 0}},
          {"Elipse", {15.1, 18.8, 2.4, 2.4, 0.5, 0, 255}}}},
        {TPictograma::pcBloco, "pcBloco",
         Juntar({{{"Rectangulo", {13.5, 23.5, 7, 7, 0, -1, 150}}},
                 grelha4,
                 {{"Rectangulo", {13.5, 23.5, 7, 7, 0.8, 0, -1}}, moldura}})},
        {TPictograma::pcMeia, "pcMeia",
         Juntar({{moldura,
                  {"Linha", {11.68, 21.68, 22.32, 32.32, 0.5, 0}},
                  {"Elipse", {12, 22, 3, 3, 0.5, 0, 0}},
                  {"Elipse", {19, 29, 3, 3, 0.5, 0, 0}}},
                 QuatroTracos(13.5, 26.7, 20.5, 33.7)})},
        {TPictograma::pcPar, "pcPar",
         Juntar({{moldura},
                 QuatroTracos(12.8, 24.2, 21.2, 29.8),
                 {{"Elipse", {11.3, 22.7, 3, 3, 0.5, 0, 0}},
                  {"Elipse", {19.7, 28.3, 3, 3, 0.5, 0, 0}},
                  {"Elipse", {15.7, 25.7, 2.6, 2.6, 0.6, 0, 255}}}})},
    };
    for (const Caso& caso : casos) {
        TCanvasGravador c;
        DesenharPictograma(c, caso.P, 10, 20);
        CompararChamadas(c.Chamadas, caso.Formas, caso.Nome);
    }
}

TEST(Pictogramas, LinhaTracejada) {
    // The spans of pcMeia (9.90 mm) and pcPar (10.10 mm) both make four dashes.
    for (const auto& [x1, y1, x2, y2] :
         {std::array{3.5, 6.7, 10.5, 13.7}, std::array{2.8, 4.2, 11.2, 9.8}}) {
        TCanvasGravador c;
        LinhaTracejada(c, x1, y1, x2, y2, 0.4, 0);
        CompararChamadas(c.Chamadas, QuatroTracos(x1, y1, x2, y2), "span");
    }
    // A remainder shorter than a dash beyond the last period stays empty; a dash is drawn
    // in the surface's grey and width as given.
    TCanvasGravador c;
    LinhaTracejada(c, 0, 5, 4.7, 5, 1.5, 128);
    CompararChamadas(c.Chamadas,
                     {{"Linha", {0, 5, 1.4, 5, 1.5, 128}}, {"Linha", {2.4, 5, 3.8, 5, 1.5, 128}}},
                     "4.7 mm");
    TCanvasGravador ponto;
    LinhaTracejada(ponto, 3, 3, 3, 3, 0.4, 0);
    EXPECT_TRUE(ponto.Chamadas.empty());
}

TEST(Estrelas, Geometria) {
    for (const bool cheia : {true, false}) {
        TCanvasGravador c;
        DesenharEstrela(c, 0, 0, 2.4, cheia);
        ASSERT_EQ(c.Chamadas.size(), 1u);
        const TChamada& p = c.Chamadas[0];
        EXPECT_EQ(p.Op, "Poligono");
        EXPECT_EQ(p.Num, (std::vector<double>{0.5, 0, cheia ? 0.0 : 255.0}));
        ASSERT_EQ(p.Pontos.size(), 10u);
        EXPECT_NEAR(p.Pontos[0].X, 0, 1e-12);
        EXPECT_NEAR(p.Pontos[0].Y, -2.4, 1e-12);
        // Clockwise on the page: the next outer tip is to the right and a little up.
        EXPECT_NEAR(p.Pontos[2].X, 2.283, 5e-4);
        EXPECT_NEAR(p.Pontos[2].Y, -0.742, 5e-4);
        for (size_t i = 0; i < 10; ++i) {
            const double r = std::hypot(p.Pontos[i].X, p.Pontos[i].Y);
            EXPECT_NEAR(r, i % 2 == 0 ? 2.4 : 0.96, 1e-12) << i;
        }
        // The inner point between the first two tips.
        EXPECT_NEAR(p.Pontos[1].X, 0.96 * std::sin(std::numbers::pi / 5), 1e-12);
        EXPECT_NEAR(p.Pontos[1].Y, -0.96 * std::cos(std::numbers::pi / 5), 1e-12);
    }
}

TEST(Estrelas, FilaDeCincoPreenchidasDaEsquerda) {
    struct Caso {
        int32_t Nivel;
        int32_t Cheias;
    };
    for (const Caso caso : {Caso{0, 0}, Caso{3, 3}, Caso{5, 5}, Caso{7, 5}}) {
        TCanvasGravador c;
        DesenharEstrelas(c, 187, 18.2, caso.Nivel);
        ASSERT_EQ(c.Chamadas.size(), 5u) << caso.Nivel;
        for (size_t i = 0; i < 5; ++i) {
            const TChamada& p = c.Chamadas[i];
            ASSERT_EQ(p.Op, "Poligono");
            // The top tip sits one radius above the centre.
            EXPECT_NEAR(p.Pontos[0].X, 187 - 2.4 - (4.0 - double(i)) * 6.0, 1e-9);
            EXPECT_NEAR(p.Pontos[0].Y + 2.4, 18.2 + 2.7, 1e-9);
            EXPECT_EQ(p.Num[2], int32_t(i) < caso.Cheias ? 0 : 255)
                << "level " << caso.Nivel << ", star " << i;
        }
        // The row ends at X: the rightmost outer tips touch 187 at most.
        double direita = 0;
        for (const TPontoMm& pt : c.Chamadas[4].Pontos) {
            direita = std::max(direita, pt.X);
        }
        EXPECT_LE(direita, 187.0);
        EXPECT_GT(direita, 186.6);
    }
}

} // namespace
} // namespace tavrelo
