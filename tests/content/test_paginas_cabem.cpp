// The explanatory pages drawn with the real typeface must stay inside the text column and
// above the footer, for every order and with or without the list technique.
#include "content/diagramas.h"
#include "content/regras.h"
#include "drawing/canvas_cairo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cairo.h>
#include <functional>
#include <memory>
#include <string>

namespace tavrelo {
namespace {

// Passes every call to the real surface and keeps the extent of what was drawn.
class TCanvasMedido : public IVeltCanvas {
  public:
    explicit TCanvasMedido(IVeltCanvas& AReal) : FReal(AReal) {}

    double Esquerda = 1e9, Direita = -1e9, Fundo = -1e9;
    std::string TextoMaisABaixo;

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

TEST(PaginasExplicativas, CabemNaColunaEAcimaDoRodape) {
    cairo_surface_t* superficie = cairo_recording_surface_create(CAIRO_CONTENT_COLOR, nullptr);
    cairo_t* cr = cairo_create(superficie);
    TCanvasCairo real(cr, 300);

    struct TPagina {
        std::string Nome;
        std::function<void(IVeltCanvas&, int32_t)> Desenhar;
    };
    TNiveis semLista, comLista;
    semLista.Bits = 0b0001110; // levels 1 to 3
    comLista.Bits = 0b0111110; // levels 1 to 5
    const TPagina paginas[] = {
        {"regras", [](IVeltCanvas& c, int32_t N) { PaginaRegras(c, N); }},
        {"como se resolve, níveis 1 a 3",
         [&](IVeltCanvas& c, int32_t N) { PaginaComoSeResolve(c, N, semLista); }},
        {"como se resolve, níveis 1 a 5",
         [&](IVeltCanvas& c, int32_t N) { PaginaComoSeResolve(c, N, comLista); }},
        {"diagramas 1",
         [](IVeltCanvas& c, int32_t N) {
             N % 2 ? PaginaDiagramasImpar(c, N, 0) : PaginaDiagramasPar(c, N, 0);
         }},
        {"diagramas 2",
         [](IVeltCanvas& c, int32_t N) {
             N % 2 ? PaginaDiagramasImpar(c, N, 1) : PaginaDiagramasPar(c, N, 1);
         }},
    };
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

} // namespace
} // namespace tavrelo
