#include "frontend/previsao.h"

#include "frontend/fazer_livro.h"

#include "../pasta_temporaria.h"
#include "config_livro.h"

#include <gtest/gtest.h>

#include <cairo.h>
#include <cstdlib>
#include <memory>
#include <string>

namespace tavrelo {
namespace {

struct TDestruirSuperficie {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};

// How far two pictures of a page are apart, seen in squares of LADO × LADO pixels (so that
// two renderers that place a thin line or a letter's edge a pixel apart still agree): the mean
// difference of the squares' grey levels, and the share of squares that differ by more than
// an eighth of the scale.
struct TDiferenca {
    double Media = 0;
    double Longe = 0;
};
constexpr int32_t LADO = 6;

class VistaDoLivro : public teste::TPastaTemporaria {
  protected:
    // Page APagina (from 1) of the PDF, drawn by poppler's cairo renderer at the size of
    // AImagem.
    TDiferenca ComparadaComOPdf(const std::string& APdf, int32_t APagina,
                                const TImagemPagina& AImagem) {
        const std::string png = Em("pagina");
        const teste::TComando c = teste::CorrerComando(
            "pdftocairo -png -singlefile -f " + std::to_string(APagina) + " -l " +
            std::to_string(APagina) + " -scale-to-x " + std::to_string(AImagem.Largura) +
            " -scale-to-y " + std::to_string(AImagem.Altura) + " '" + APdf + "' '" + png + "'");
        EXPECT_EQ(c.Estado, 0) << c.Saida;
        const std::unique_ptr<cairo_surface_t, TDestruirSuperficie> pagina(
            cairo_image_surface_create_from_png((png + ".png").c_str()));
        EXPECT_EQ(cairo_surface_status(pagina.get()), CAIRO_STATUS_SUCCESS);
        EXPECT_EQ(cairo_image_surface_get_width(pagina.get()), AImagem.Largura);
        EXPECT_EQ(cairo_image_surface_get_height(pagina.get()), AImagem.Altura);
        if (cairo_surface_status(pagina.get()) != CAIRO_STATUS_SUCCESS ||
            cairo_image_surface_get_width(pagina.get()) != AImagem.Largura ||
            cairo_image_surface_get_height(pagina.get()) != AImagem.Altura) {
            return {255, 1};
        }
        const unsigned char* dados = cairo_image_surface_get_data(pagina.get());
        const int32_t passo = cairo_image_surface_get_stride(pagina.get());
        const auto cinzaDoPdf = [&](int32_t x, int32_t y) {
            return static_cast<int32_t>(
                reinterpret_cast<const uint32_t*>(dados + static_cast<ptrdiff_t>(y) * passo)[x] &
                0xFFu);
        };
        const auto cinzaDaVista = [&](int32_t x, int32_t y) {
            return static_cast<int32_t>(AImagem.Pixel(x, y) & 0xFFu);
        };
        double soma = 0;
        int32_t longe = 0;
        int32_t quadrados = 0;
        for (int32_t y0 = 0; y0 + LADO <= AImagem.Altura; y0 += LADO) {
            for (int32_t x0 = 0; x0 + LADO <= AImagem.Largura; x0 += LADO) {
                int32_t d = 0;
                for (int32_t y = y0; y < y0 + LADO; ++y) {
                    for (int32_t x = x0; x < x0 + LADO; ++x) {
                        d += cinzaDoPdf(x, y) - cinzaDaVista(x, y);
                    }
                }
                const double media = std::abs(d) / double(LADO * LADO);
                soma += media;
                longe += media > 32 ? 1 : 0;
                ++quadrados;
            }
        }
        return {soma / quadrados, static_cast<double>(longe) / quadrados};
    }

    std::string Pdf(const TConfigLivro& AConfig) {
        TPedidoLivro pedido;
        pedido.Config = AConfig;
        pedido.CaminhoPdf = Em("livro.pdf");
        const TDesfechoLivro d = FazerLivro(pedido, {});
        EXPECT_EQ(d.Fim, TFimDoLivro::flGravado) << d.Mensagem;
        return pedido.CaminhoPdf;
    }
};

// The cover, the first page of puzzles and the first page of solutions are the PDF's own,
// seen at screen sizes: each near the page poppler draws from the PDF, and far from the pages
// beside it. Orders with two puzzles a page and one, with hints and without, a title.
TEST_F(VistaDoLivro, AsPaginasDoPdf) {
    const TConfigLivro casos[] = {
        teste::Config(8, 0, 12, 0x2A, "Férias de Verão"),
        teste::Config(16, 5, 3, 0x1A2B3C4D),
        teste::Config(7, 2, 5, 0xC0FFEE, "", false),
    };
    for (const TConfigLivro& config : casos) {
        SCOPED_TRACE(testing::Message() << config.N << " nível " << config.Nivel);
        const std::optional<TVistaDoLivro> vista = VerLivro(config, 420);
        ASSERT_TRUE(vista);
        EXPECT_EQ(vista->Codigo, CodigoDoLivro(config.Semente));
        ASSERT_EQ(vista->Paginas.size(), 3u);
        const std::string pdf = Pdf(config);
        for (const TPaginaVista& pagina : vista->Paginas) {
            SCOPED_TRACE(pagina.Nome);
            EXPECT_EQ(pagina.Motivo, "");
            ASSERT_EQ(pagina.Imagem.Largura, 420);
            const TDiferenca igual = ComparadaComOPdf(pdf, pagina.Numero, pagina.Imagem);
            const TDiferenca seguinte = ComparadaComOPdf(pdf, pagina.Numero + 1, pagina.Imagem);
            EXPECT_LT(igual.Media, 2.0);
            EXPECT_LT(igual.Longe, 0.005);
            EXPECT_GT(seguinte.Longe, 2 * igual.Longe + 0.008) << "another page is told apart";
        }
        EXPECT_EQ(vista->Paginas[0].Nome, "Capa");
        EXPECT_EQ(vista->Paginas[0].Numero, 1);
    }
}

// A title the cover cannot print is told in place of the cover; the other pages are shown.
TEST_F(VistaDoLivro, TituloQueNaoCabe) {
    const std::optional<TVistaDoLivro> vista =
        VerLivro(teste::Config(12, 1, 2, 7, std::string(300, 'M')), 210);
    ASSERT_TRUE(vista);
    ASSERT_EQ(vista->Paginas.size(), 3u);
    EXPECT_NE(vista->Paginas[0].Motivo, "");
    EXPECT_TRUE(vista->Paginas[0].Imagem.Pixeis.empty());
    EXPECT_FALSE(vista->Paginas[1].Imagem.Pixeis.empty());
    EXPECT_FALSE(vista->Paginas[2].Imagem.Pixeis.empty());
}

// A newer request stops an older one between two puzzles or two pages: nothing comes back.
TEST_F(VistaDoLivro, PararNaoDaNada) {
    for (int32_t perguntas : {1, 2, 3, 4}) {
        int32_t feitas = 0;
        const auto parar = [&] { return ++feitas >= perguntas; };
        EXPECT_FALSE(VerLivro(teste::Config(8, 1, 10, 3), 100, parar)) << perguntas;
    }
}

TEST(PuzzlesDaVista, NuncaMaisQueOLivro) {
    EXPECT_EQ(PuzzlesDaVista(teste::Config(8, 1, 1, 1)), 1);
    EXPECT_EQ(PuzzlesDaVista(teste::Config(8, 1, 50, 1)), 2);
}

} // namespace
} // namespace tavrelo
