#include "drawing/canvas_cairo.h"
#include "drawing/pdf.h"
#include "drawing/recursos.h"

#include <gtest/gtest.h>

#include <cairo.h>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

TEST(ConversoesDoCanvas, ArredondamentoAoPontoMaisProximo) {
    const struct {
        double Mm;
        int32_t Px;
    } mm[] = {{210, 2480}, {297, 3508}, {0.1, 1}, {0.04, 0}, {105, 1240}, {-0.1, -1}, {0, 0}};
    for (const auto& c : mm) {
        EXPECT_EQ(MmParaPx(c.Mm, 300), c.Px) << c.Mm << " mm";
    }
    // Exact ties go to the even dot: 2.5 and 3.5 dots at 25.4 dpi are 2.5 and 3.5 mm.
    EXPECT_EQ(MmParaPx(2.5, 25.4), 2);
    EXPECT_EQ(MmParaPx(3.5, 25.4), 4);

    const struct {
        double Pt;
        int32_t Px;
    } canetas[] = {{0.25, 1}, {0.5, 2}, {0.1, 1}, {0, 1}, {1, 4}, {2.5, 10}};
    for (const auto& c : canetas) {
        EXPECT_EQ(EspessuraEmPx(c.Pt, 300), c.Px) << c.Pt << " pt";
    }

    const struct {
        double Pt;
        int32_t Px;
    } letras[] = {{9, 38}, {10.5, 44}, {12, 50}, {7.5, 31}};
    for (const auto& c : letras) {
        EXPECT_EQ(TamanhoDaLetraEmPx(c.Pt, 300), c.Px) << c.Pt << " pt";
    }

    EXPECT_EQ(CinzaParaCor(128), 0x808080u);
    EXPECT_EQ(CinzaParaCor(235), 0xEBEBEBu);
    EXPECT_EQ(CinzaParaCor(0), 0u);
    EXPECT_EQ(CinzaParaCor(255), 0xFFFFFFu);
}

TEST(ConversoesDoCanvas, CaixaDeLinhaDaLetra) {
    // The typeface's cell is 1854 units above the baseline and 434 below, on 2048 a em.
    const TCaixaDeLinha nove = CaixaDeLinha(38, false);
    EXPECT_EQ(nove.Ascendente, 34);
    EXPECT_EQ(nove.Descendente, 8);
    const TCaixaDeLinha doze = CaixaDeLinha(50, false);
    EXPECT_EQ(doze.Ascendente, 45);
    EXPECT_EQ(doze.Descendente, 11);
}

TEST(ConversoesDoCanvas, TemOsCaracteresDaLetra) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
    cairo_t* cr = cairo_create(s);
    {
        TCanvasCairo c(cr, 300);
        const struct {
            uint32_t Ponto;
            bool Tem;
        } casos[] = {{'A', true},   {0xE9, true},     {0x20AC, true},  {0xD7, true},
                     {0xAB, true},  {0x1F600, false}, {0x4E2D, false}, {0, false},
                     {0x301, true}, {0x10FFFF, false}};
        for (const auto& caso : casos) {
            for (const bool negrito : {false, true}) {
                EXPECT_EQ(c.TemCaracter(caso.Ponto, negrito), caso.Tem)
                    << std::hex << caso.Ponto << (negrito ? " bold" : " regular");
            }
        }
        // Asking leaves the surface able to draw and measure.
        EXPECT_GT(c.LarguraTexto("Ação", 12, true), 0);
        EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

// A white A4-wide strip at 300 dpi to draw on and read back.
class CanvasNumaImagem : public ::testing::Test {
  protected:
    static constexpr int LARGURA = 2480;
    static constexpr int ALTURA = 600;

    void SetUp() override {
        FSuperficie = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, LARGURA, ALTURA);
        FCairo = cairo_create(FSuperficie);
        cairo_set_source_rgb(FCairo, 1, 1, 1);
        cairo_paint(FCairo);
        FCanvas = std::make_unique<TCanvasCairo>(FCairo, 300);
    }
    void TearDown() override {
        FCanvas.reset();
        EXPECT_EQ(cairo_status(FCairo), CAIRO_STATUS_SUCCESS);
        cairo_destroy(FCairo);
        cairo_surface_destroy(FSuperficie);
    }

    uint32_t Pixel(int x, int y) {
        cairo_surface_flush(FSuperficie);
        const unsigned char* dados = cairo_image_surface_get_data(FSuperficie);
        const int passo = cairo_image_surface_get_stride(FSuperficie);
        uint32_t p = 0;
        std::memcpy(&p, dados + y * passo + x * 4, 4);
        return p;
    }
    // The grey of an opaque pixel (its red).
    int Cinza(int x, int y) { return static_cast<int>((Pixel(x, y) >> 16) & 0xFF); }

    struct TCaixa {
        int Esquerda = 1 << 30, Topo = 1 << 30, Direita = -1, Fundo = -1; // inclusive
        bool Vazia() const { return Direita < 0; }
    };
    // The pixels darker than white within rows [y0, y1).
    TCaixa Tinta(int y0, int y1) {
        TCaixa c;
        for (int y = y0; y < y1; ++y) {
            for (int x = 0; x < LARGURA; ++x) {
                if (Cinza(x, y) < 250) {
                    c.Esquerda = std::min(c.Esquerda, x);
                    c.Direita = std::max(c.Direita, x);
                    c.Topo = std::min(c.Topo, y);
                    c.Fundo = std::max(c.Fundo, y);
                }
            }
        }
        return c;
    }
    std::vector<unsigned char> Copia() {
        cairo_surface_flush(FSuperficie);
        const unsigned char* d = cairo_image_surface_get_data(FSuperficie);
        return {d, d + cairo_image_surface_get_stride(FSuperficie) * ALTURA};
    }
    static int32_t Px(double AMm) { return MmParaPx(AMm, 300); }

    cairo_surface_t* FSuperficie = nullptr;
    cairo_t* FCairo = nullptr;
    std::unique_ptr<TCanvasCairo> FCanvas;
};

TEST_F(CanvasNumaImagem, LinhasFinasVisiveisESemCorNada) {
    FCanvas->Linha(10, 5, 100, 5, 0.25, 0);
    const TCaixa linha = Tinta(0, 200);
    ASSERT_FALSE(linha.Vazia()) << "a 0.25 pt line must stay visible";
    EXPECT_LE(linha.Fundo - linha.Topo, 1) << "one dot wide";
    EXPECT_EQ(linha.Topo + 1, Px(5)) << "centred on the converted Y";

    FCanvas->Linha(10, 30, 100, 30, 2, -1);
    EXPECT_TRUE(Tinta(200, ALTURA).Vazia());
}

TEST_F(CanvasNumaImagem, PreenchimentoEContorno) {
    // Fill without outline: the exact grey, no frame.
    FCanvas->Rectangulo(10, 10, 20, 10, 1, -1, 235);
    EXPECT_EQ(Cinza(Px(20), Px(15)), 235);
    EXPECT_EQ(Cinza(Px(10) + 1, Px(10) + 1), 235) << "no darker frame at the edge";
    // Outline without fill: the inside stays as it was.
    FCanvas->Rectangulo(40, 10, 20, 10, 1, 0, -1);
    EXPECT_EQ(Cinza(Px(50), Px(15)), 255);
    EXPECT_EQ(Cinza(Px(40), Px(15)), 0) << "the 4-dot stroke straddles the edge";
    EXPECT_EQ(Cinza(Px(40) - 1, Px(15)), 0);
    // Both: the fill inside, the outline on top of it.
    FCanvas->Rectangulo(70, 10, 20, 10, 1, 0, 128);
    EXPECT_EQ(Cinza(Px(80), Px(15)), 128);
    EXPECT_EQ(Cinza(Px(70), Px(15)), 0);

    // Right and bottom come from X + width: 0.04 + 0.04 mm is one dot, though each is none.
    FCanvas->Rectangulo(0.04, 30, 0.04, 5, 1, -1, 0);
    EXPECT_EQ(Cinza(0, Px(32)), 0);
}

TEST_F(CanvasNumaImagem, ElipseEPoligono) {
    FCanvas->Elipse(10, 10, 20, 20, 0.5, -1, 0);
    EXPECT_EQ(Cinza(Px(20), Px(20)), 0) << "centre";
    EXPECT_EQ(Cinza(Px(10) + 5, Px(10) + 5), 255) << "corner of the box stays outside";
    const TCaixa circulo = Tinta(0, Px(35));
    EXPECT_EQ(circulo.Esquerda, Px(10));
    EXPECT_EQ(circulo.Direita, Px(30) - 1);

    const TPontoMm triangulo[] = {PontoMm(50, 10), PontoMm(70, 10), PontoMm(50, 30)};
    FCanvas->Poligono(triangulo, 0.5, 0, 235);
    EXPECT_EQ(Cinza(Px(53), Px(13)), 235);
    EXPECT_EQ(Cinza(Px(67), Px(27)), 255) << "beyond the closing edge";
    // Degenerate shapes draw without breaking the page.
    FCanvas->Elipse(80, 10, 0, 10, 1, 0, -1);
    FCanvas->Poligono({}, 1, 0, 0);
}

TEST_F(CanvasNumaImagem, TextoAlinhadoEmPontosInteiros) {
    EXPECT_EQ(FCanvas->LarguraTexto("", 9, false), 0);
    FCanvas->Texto(105, 5, "", 9, false, 0, TAlinhamento::alCentro);
    EXPECT_TRUE(Tinta(0, ALTURA).Vazia()) << "empty text draws nothing";

    // A text of odd width in dots at 9 pt (widths here are whole dots by construction).
    std::string texto;
    int32_t w = 0;
    for (const char* candidato : {"Regras do livro", "Soluções", "Puzzle 12", "Ag", "Índice"}) {
        w = static_cast<int32_t>(
            std::lround(FCanvas->LarguraTexto(candidato, 9, false) / 25.4 * 300));
        if (w % 2 == 1) {
            texto = candidato;
            break;
        }
    }
    ASSERT_FALSE(texto.empty()) << "no odd width among the candidates";
    EXPECT_DOUBLE_EQ(FCanvas->LarguraTexto(texto, 9, false), w / 300.0 * 25.4);

    // The same glyphs at whole-dot offsets rasterise identically, so the ink moves by
    // exactly the alignment's shift.
    FCanvas->Texto(20, 5, texto, 9, false, 0, TAlinhamento::alEsquerda);
    FCanvas->Texto(105, 15, texto, 9, false, 0, TAlinhamento::alCentro);
    FCanvas->Texto(200, 25, texto, 9, false, 0, TAlinhamento::alDireita);
    const TCaixa esquerda = Tinta(Px(5), Px(5) + 42);
    const TCaixa centro = Tinta(Px(15), Px(15) + 42);
    const TCaixa direita = Tinta(Px(25), Px(25) + 42);
    ASSERT_FALSE(esquerda.Vazia());
    EXPECT_EQ(centro.Esquerda - esquerda.Esquerda, 1240 - (w - 1) / 2 - Px(20));
    EXPECT_EQ(direita.Esquerda - esquerda.Esquerda, Px(200) - w - Px(20));
    // The advance is centred on the page's middle line within one dot.
    const int32_t inicio = 1240 - (w - 1) / 2;
    EXPECT_LE(std::abs((1240 - inicio) - (inicio + w - 1240)), 1);
    EXPECT_LE(direita.Direita, Px(200)) << "right-aligned ink ends by the anchor";
}

// The font stays on the context from one text to the next: every text still comes out in its
// own weight and size, measured and drawn, whatever came before it.
TEST_F(CanvasNumaImagem, CadaTextoNaSuaLetraSejaQualForAAnterior) {
    const std::string texto = "Soluções 12";
    const struct {
        double TamanhoPt;
        bool Negrito;
    } letras[] = {{9, false}, {9, true}, {12, true}, {12, false}, {9, false}, {12.2, false}};
    for (const auto& l : letras) {
        const double sozinho = CanvasDeMedida()->LarguraTexto(texto, l.TamanhoPt, l.Negrito);
        EXPECT_DOUBLE_EQ(FCanvas->LarguraTexto(texto, l.TamanhoPt, l.Negrito), sozinho)
            << l.TamanhoPt << (l.Negrito ? " bold" : "");
    }
    // Drawn after a bold 12-point text, a regular 9-point one has the ink of one drawn first.
    FCanvas->Texto(20, 5, texto, 9, false, 0, TAlinhamento::alEsquerda);
    const TCaixa primeiro = Tinta(Px(5), Px(5) + 60);
    FCanvas->Texto(20, 20, texto, 12, true, 0, TAlinhamento::alDireita);
    FCanvas->Texto(20, 35, texto, 9, false, 0, TAlinhamento::alEsquerda);
    const TCaixa depois = Tinta(Px(35), Px(35) + 60);
    ASSERT_FALSE(primeiro.Vazia());
    EXPECT_EQ(depois.Direita - depois.Esquerda, primeiro.Direita - primeiro.Esquerda);
    EXPECT_EQ(depois.Fundo - depois.Topo, primeiro.Fundo - primeiro.Topo);
}

TEST_F(CanvasNumaImagem, TextoPendeDoTopoDaCaixa) {
    // "H" sits on the baseline, "g" hangs below it; the box top is Y.
    const int32_t topo = Px(10);
    FCanvas->Texto(10, 10, "H", 9, false, 0, TAlinhamento::alEsquerda);
    const TCaixa h = Tinta(0, ALTURA);
    EXPECT_EQ(h.Fundo, topo + 34 - 1) << "baseline = top + ascent";
    EXPECT_GT(h.Topo, topo) << "capitals stay inside the box";
    FCanvas->Texto(30, 10, "g", 9, false, 0, TAlinhamento::alEsquerda);
    const TCaixa g = Tinta(0, ALTURA);
    EXPECT_GT(g.Fundo, topo + 34);
    EXPECT_LE(g.Fundo, topo + 42) << "descenders stay inside the box";

    EXPECT_DOUBLE_EQ(FCanvas->AlturaTexto(9), 42 / 300.0 * 25.4);
    EXPECT_GT(FCanvas->LarguraTexto("Tavrelo", 9, true),
              FCanvas->LarguraTexto("Tavrelo", 9, false));
    EXPECT_EQ(Cinza(h.Esquerda + 1, h.Topo + 20), 0) << "grey 0 is black";
}

TEST_F(CanvasNumaImagem, TextoEstranhoNaoEstragaAPagina) {
    FCanvas->Texto(10, 10, "Ver\xE3o", 9, false, 0, TAlinhamento::alEsquerda);
    EXPECT_GT(FCanvas->LarguraTexto("Ver\xE3o", 9, false), 0);
    // A size below half a dot has no em at all: nothing to measure or draw.
    EXPECT_EQ(FCanvas->LarguraTexto("Tavrelo", 0.1, false), 0);
    FCanvas->Texto(10, 30, "Tavrelo", 0.1, false, 0, TAlinhamento::alEsquerda);
    FCanvas->Texto(10, 30, "Tavrelo", -9, false, 0, TAlinhamento::alEsquerda);
    FCanvas->Rectangulo(100, 10, 10, 10, 1, -1, 0);
    EXPECT_EQ(Cinza(Px(105), Px(15)), 0) << "drawing goes on after the bad text";
}

TEST_F(CanvasNumaImagem, ImagemDosRecursos) {
    const std::vector<unsigned char> antes = Copia();
    try {
        FCanvas->Imagem(10, 10, 20, 20, "NAO_HA");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Imagem: o recurso NAO_HA nao existe no executavel");
    }
    EXPECT_TRUE(Copia() == antes) << "nothing drawn";

    // On a transparent ground the picture's box comes out opaque everywhere.
    cairo_set_operator(FCairo, CAIRO_OPERATOR_CLEAR);
    cairo_paint(FCairo);
    cairo_set_operator(FCairo, CAIRO_OPERATOR_OVER);
    FCanvas->Imagem(10, 10, 64, 22.5, "SELO_CC_BY_NC_ND");
    for (int y = Px(10) + 2; y < Px(32.5) - 2; y += 7) {
        for (int x = Px(10) + 2; x < Px(74) - 2; x += 7) {
            ASSERT_EQ(Pixel(x, y) >> 24, 0xFFu) << x << "," << y;
        }
    }
    EXPECT_EQ(Pixel(Px(10) - 3, Px(20)) >> 24, 0u) << "nothing outside the box";
}

// A PNG made here: transparent, with a half-transparent black square in the middle.
std::vector<unsigned char> PngTransparente() {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_rectangle(cr, 2, 2, 4, 4);
    cairo_fill(cr);
    cairo_destroy(cr);
    std::vector<unsigned char> png;
    cairo_surface_write_to_png_stream(
        s,
        [](void* d, const unsigned char* b, unsigned int n) {
            static_cast<std::vector<unsigned char>*>(d)->insert(
                static_cast<std::vector<unsigned char>*>(d)->end(), b, b + n);
            return CAIRO_STATUS_SUCCESS;
        },
        &png);
    cairo_surface_destroy(s);
    return png;
}

TEST(PngSobreBranco, TransparenteFicaBrancoNuncaPreto) {
    const std::vector<unsigned char> png = PngTransparente();
    cairo_surface_t* plano = PngSobreBranco(png, "TESTE");
    ASSERT_EQ(cairo_image_surface_get_format(plano), CAIRO_FORMAT_RGB24);
    const unsigned char* d = cairo_image_surface_get_data(plano);
    const int passo = cairo_image_surface_get_stride(plano);
    auto rgb = [&](int x, int y) {
        uint32_t p = 0;
        std::memcpy(&p, d + y * passo + x * 4, 4);
        return p & 0xFFFFFFu;
    };
    EXPECT_EQ(rgb(0, 0), 0xFFFFFFu);
    EXPECT_EQ(rgb(7, 7), 0xFFFFFFu);
    const uint32_t meio = rgb(4, 4);
    EXPECT_NEAR(static_cast<int>(meio & 0xFF), 128, 1) << "half black on white is mid grey";
    EXPECT_EQ(meio, CinzaParaCor(static_cast<int32_t>(meio & 0xFF)));
    cairo_surface_destroy(plano);

    const unsigned char lixo[] = {'n', 'a', 'o', ' ', 'p', 'n', 'g'};
    try {
        PngSobreBranco(lixo, "ESTRAGADO");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Imagem: o recurso ESTRAGADO nao e uma imagem PNG valida");
    }
}

} // namespace
} // namespace tavrelo
