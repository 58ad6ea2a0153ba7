// The explanatory pages drawn with the real typeface must stay inside the text column and
// above the footer, for every order and with or without the list technique.
#include "content/diagramas.h"
#include "content/regras.h"
#include "drawing/canvas_cairo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

// Passes every call to the real surface and keeps the extent of what was drawn.
class TCanvasMedido : public IVeltCanvas {
  public:
    explicit TCanvasMedido(IVeltCanvas& AReal) : FReal(AReal) {}

    double Esquerda = 1e9, Direita = -1e9, Fundo = -1e9;
    std::string TextoMaisABaixo;
    // Every line of text, in order.
    struct TLinha {
        double X, Y, TamanhoPt;
        bool Negrito;
        std::string Texto;
    };
    std::vector<TLinha> Linhas;

    void Linha(double X1, double Y1, double X2, double Y2, double E, int32_t C) override {
        Incluir(std::min(X1, X2), std::max(X1, X2), std::max(Y1, Y2));
        FReal.Linha(X1, Y1, X2, Y2, E, C);
    }
    void Rectangulo(double X, double Y, double L, double A, double E, int32_t C,
                    int32_t P) override {
        Incluir(X, X + L, Y + A);
        FReal.Rectangulo(X, Y, L, A, E, C, P);
    }
    void Poligono(std::span<const TPontoMm> Pts, double E, int32_t C, int32_t P) override {
        for (const auto& p : Pts)
            Incluir(p.X, p.X, p.Y);
        FReal.Poligono(Pts, E, C, P);
    }
    void Elipse(double X, double Y, double L, double A, double E, int32_t C, int32_t P) override {
        Incluir(X, X + L, Y + A);
        FReal.Elipse(X, Y, L, A, E, C, P);
    }
    void Texto(double X, double Y, const std::string& T, double S, bool B, int32_t C,
               TAlinhamento Al) override {
        const double w = FReal.LarguraTexto(T, S, B);
        const double x0 = Al == TAlinhamento::alEsquerda ? X
                          : Al == TAlinhamento::alCentro ? X - w / 2
                                                         : X - w;
        const double fundo = Y + FReal.AlturaTexto(S);
        if (fundo > Fundo)
            TextoMaisABaixo = T;
        Incluir(x0, x0 + w, fundo);
        Linhas.push_back({X, Y, S, B, T});
        FReal.Texto(X, Y, T, S, B, C, Al);
    }
    double LarguraTexto(const std::string& T, double S, bool B) override {
        return FReal.LarguraTexto(T, S, B);
    }
    double AlturaTexto(double S) override { return FReal.AlturaTexto(S); }
    void Imagem(double X, double Y, double L, double A, const std::string& Nome) override {
        Incluir(X, X + L, Y + A);
        FReal.Imagem(X, Y, L, A, Nome);
    }
    bool TemCaracter(uint32_t APonto, bool B) override { return FReal.TemCaracter(APonto, B); }
    void Destino(const std::string& ANome, double X, double Y) override {
        FReal.Destino(ANome, X, Y);
    }
    void Ligacao(double X, double Y, double L, double A, const std::string& ADestino) override {
        FReal.Ligacao(X, Y, L, A, ADestino);
    }

  private:
    void Incluir(double AEsquerda, double ADireita, double AFundo) {
        Esquerda = std::min(Esquerda, AEsquerda);
        Direita = std::max(Direita, ADireita);
        Fundo = std::max(Fundo, AFundo);
    }
    IVeltCanvas& FReal;
};

// The explanatory pages of an order: both rules pages (with and without the list technique)
// and both diagram pages.
struct TPaginaExplicativa {
    std::string Nome;
    std::function<void(IVeltCanvas&, int32_t)> Desenhar;
};

std::vector<TPaginaExplicativa> PaginasExplicativas() {
    TNiveis semLista, comLista;
    semLista.Bits = 0b0001110; // levels 1 to 3
    comLista.Bits = 0b0111110; // levels 1 to 5
    return {
        {"regras", [](IVeltCanvas& c, int32_t N) { PaginaRegras(c, N); }},
        {"como se resolve, níveis 1 a 3",
         [=](IVeltCanvas& c, int32_t N) { PaginaComoSeResolve(c, N, semLista, false); }},
        {"como se resolve, níveis 1 a 5",
         [=](IVeltCanvas& c, int32_t N) { PaginaComoSeResolve(c, N, comLista, false); }},
        {"como se resolve, níveis 1 a 5, com o guia das dicas",
         [=](IVeltCanvas& c, int32_t N) { PaginaComoSeResolve(c, N, comLista, true); }},
        {"diagramas 1",
         [](IVeltCanvas& c, int32_t N) {
             N % 2 ? PaginaDiagramasImpar(c, N, 0) : PaginaDiagramasPar(c, N, 0);
         }},
        {"diagramas 2",
         [](IVeltCanvas& c, int32_t N) {
             N % 2 ? PaginaDiagramasImpar(c, N, 1) : PaginaDiagramasPar(c, N, 1);
         }},
    };
}

TEST(PaginasExplicativas, CabemNaColunaEAcimaDoRodape) {
    cairo_surface_t* superficie = cairo_recording_surface_create(CAIRO_CONTENT_COLOR, nullptr);
    cairo_t* cr = cairo_create(superficie);
    TCanvasCairo real(cr, 300);

    const auto paginas = PaginasExplicativas();
    for (int32_t N : {7, 8, 11, 12, 13, 16}) {
        for (const auto& p : paginas) {
            SCOPED_TRACE(p.Nome + ", ordem " + std::to_string(N));
            TCanvasMedido medido(real);
            p.Desenhar(medido, N);
            EXPECT_GE(medido.Esquerda, 18 - 1e-9);
            EXPECT_LE(medido.Direita, 192 + 1e-9);
            // The footer's line box starts at 283; keep a clear gap above it.
            EXPECT_LE(medido.Fundo, 278) << "mais abaixo: " << medido.TextoMaisABaixo;
        }
    }
    cairo_destroy(cr);
    cairo_surface_destroy(superficie);
}

// Set in the real typeface, no paragraph ends with one word alone on its line, and no line
// breaks inside a sum or an order ("M = 260", "8 × 8", "C / 2 = 13").
TEST(PaginasExplicativas, ParagrafosSemPalavraSozinhaNemSomasPartidas) {
    cairo_surface_t* superficie = cairo_recording_surface_create(CAIRO_CONTENT_COLOR, nullptr);
    cairo_t* cr = cairo_create(superficie);
    TCanvasCairo real(cr, 300);
    for (int32_t N : {7, 8, 11, 12, 13, 16}) {
        for (const auto& p : PaginasExplicativas()) {
            SCOPED_TRACE(p.Nome + ", ordem " + std::to_string(N));
            TCanvasMedido medido(real);
            p.Desenhar(medido, N);
            // A paragraph's lines: 12 pt regular, one under the other at the same left edge,
            // 6.15 mm apart.
            const auto& linhas = medido.Linhas;
            size_t paragrafos = 0;
            for (size_t i = 0; i < linhas.size(); ++i) {
                const auto& l = linhas[i];
                if (l.TamanhoPt != 12 || l.Negrito) {
                    continue;
                }
                for (const char* sinal : {"=", "×", "/"}) {
                    EXPECT_NE(l.Texto.rfind(sinal, 0), 0u) << "«" << l.Texto << "»";
                    EXPECT_FALSE(l.Texto.size() >= std::string(sinal).size() &&
                                 l.Texto.compare(l.Texto.size() - std::string(sinal).size(),
                                                 std::string::npos, sinal) == 0)
                        << "«" << l.Texto << "»";
                }
                const bool continua = i + 1 < linhas.size() && linhas[i + 1].X == l.X &&
                                      linhas[i + 1].TamanhoPt == 12 && !linhas[i + 1].Negrito &&
                                      std::abs(linhas[i + 1].Y - l.Y - 6.15) < 1e-6;
                const bool continuacao = i > 0 && linhas[i - 1].X == l.X &&
                                         linhas[i - 1].TamanhoPt == 12 && !linhas[i - 1].Negrito &&
                                         std::abs(l.Y - linhas[i - 1].Y - 6.15) < 1e-6;
                if (continuacao && !continua) {
                    ++paragrafos;
                    EXPECT_NE(l.Texto.find(' '), std::string::npos)
                        << "a word alone ends a paragraph: «" << l.Texto << "»";
                }
            }
            EXPECT_GT(paragrafos, 0u);
        }
    }
    cairo_destroy(cr);
    cairo_surface_destroy(superficie);
}

} // namespace
} // namespace tavrelo
