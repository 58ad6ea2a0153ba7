#include "drawing/imagem.h"

#include "core/tipos.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace tavrelo {
namespace {

constexpr uint32_t BRANCO = 0xFFFFFFFFu;
constexpr uint32_t PRETO = 0xFF000000u;

// At 210 pixels wide a pixel is a millimetre: what the page code places in millimetres lands
// on those pixels, on a white page, and a link leaves no mark.
TEST(ImagemDaPagina, OsMilimetrosDaPaginaNosPixeis) {
    const TImagemPagina imagem = DesenharPaginaEmImagem(210, [](IVeltCanvas& Canvas) {
        Canvas.Rectangulo(20, 30, 50, 40, 0.5, -1, 0);
        Canvas.Ligacao(100, 100, 50, 50, "outra");
        Canvas.Texto(105, 200, "TAVRELO", 40, true, 0, TAlinhamento::alCentro);
    });
    EXPECT_EQ(imagem.Largura, 210);
    EXPECT_EQ(imagem.Altura, 297);
    ASSERT_GE(imagem.Passo, 210 * 4);
    EXPECT_EQ(imagem.Pixel(45, 50), PRETO);
    EXPECT_EQ(imagem.Pixel(18, 50), BRANCO);
    EXPECT_EQ(imagem.Pixel(72, 50), BRANCO);
    EXPECT_EQ(imagem.Pixel(45, 28), BRANCO);
    EXPECT_EQ(imagem.Pixel(125, 125), BRANCO) << "a link is not drawn";
    EXPECT_EQ(imagem.Pixel(0, 296), BRANCO);
    int32_t escuros = 0;
    for (int32_t y = 200; y < 215; ++y) {
        for (int32_t x = 70; x < 140; ++x) {
            escuros += (imagem.Pixel(x, y) & 0xFFu) < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(escuros, 100) << "the title is drawn";
}

// Twice the pixels draw the same page twice as fine: every pixel of the small picture is
// the mean of its four in the large one, near enough.
TEST(ImagemDaPagina, ADobrarOsPixeisAMesmaPagina) {
    const auto desenhar = [](IVeltCanvas& Canvas) {
        Canvas.Elipse(30, 40, 80, 60, 2, 0, 200);
        Canvas.Texto(20, 150, "Números a colocar", 14, false, 60, TAlinhamento::alEsquerda);
    };
    const TImagemPagina pequena = DesenharPaginaEmImagem(300, desenhar);
    const TImagemPagina grande = DesenharPaginaEmImagem(600, desenhar);
    ASSERT_GE(grande.Altura, 2 * pequena.Altura);
    int64_t diferenca = 0;
    for (int32_t y = 0; y < pequena.Altura; ++y) {
        for (int32_t x = 0; x < pequena.Largura; ++x) {
            const int32_t media = static_cast<int32_t>(
                ((grande.Pixel(2 * x, 2 * y) & 0xFFu) + (grande.Pixel(2 * x + 1, 2 * y) & 0xFFu) +
                 (grande.Pixel(2 * x, 2 * y + 1) & 0xFFu) +
                 (grande.Pixel(2 * x + 1, 2 * y + 1) & 0xFFu)) /
                4);
            diferenca += std::abs(media - static_cast<int32_t>(pequena.Pixel(x, y) & 0xFFu));
        }
    }
    EXPECT_LT(static_cast<double>(diferenca) / (pequena.Largura * pequena.Altura), 1.0);
}

TEST(ImagemDaPagina, LarguraForaDosLimites) {
    for (const int32_t largura : {0, -5, 10001}) {
        EXPECT_THROW(DesenharPaginaEmImagem(largura, [](IVeltCanvas&) {}), EVelt) << largura;
    }
    EXPECT_EQ(AlturaDaPagina(1), 1);
    EXPECT_EQ(AlturaDaPagina(420), 594);
}

} // namespace
} // namespace tavrelo
