// A page destination for the composer's tests: every page a recording surface of its own,
// the outline's entries kept with the page they were made on.
#pragma once

#include "drawing/canvas.h"
#include "drawing/canvas_gravador.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrelo::teste_paginas {

using ::teste::TCanvasGravador;

// A page destination that hands out surfaces recording into its own list of pages.
class TDestinoTeste : public IDestinoPaginas {
  public:
    class TSuperficie : public IVeltCanvas {
      public:
        TSuperficie(TCanvasGravador& AGravador, int32_t& AVivas)
            : FGravador(AGravador), FVivas(AVivas) {
            ++FVivas;
        }
        ~TSuperficie() override { --FVivas; }
        void Linha(double a, double b, double c, double d, double e, int32_t f) override {
            FGravador.Linha(a, b, c, d, e, f);
        }
        void Rectangulo(double a, double b, double c, double d, double e, int32_t f,
                        int32_t g) override {
            FGravador.Rectangulo(a, b, c, d, e, f, g);
        }
        void Poligono(std::span<const TPontoMm> a, double e, int32_t f, int32_t g) override {
            FGravador.Poligono(a, e, f, g);
        }
        void Elipse(double a, double b, double c, double d, double e, int32_t f,
                    int32_t g) override {
            FGravador.Elipse(a, b, c, d, e, f, g);
        }
        void Texto(double a, double b, const std::string& t, double s, bool n, int32_t c,
                   TAlinhamento al) override {
            FGravador.Texto(a, b, t, s, n, c, al);
        }
        double LarguraTexto(const std::string& t, double s, bool n) override {
            return FGravador.LarguraTexto(t, s, n);
        }
        double AlturaTexto(double s) override { return FGravador.AlturaTexto(s); }
        void Imagem(double a, double b, double c, double d, const std::string& n) override {
            FGravador.Imagem(a, b, c, d, n);
        }
        bool TemCaracter(uint32_t p, bool n) override { return FGravador.TemCaracter(p, n); }
        void Destino(const std::string& n, double x, double y) override {
            FGravador.Destino(n, x, y);
        }
        void Ligacao(double a, double b, double c, double d, const std::string& n) override {
            FGravador.Ligacao(a, b, c, d, n);
        }

      private:
        TCanvasGravador& FGravador;
        int32_t& FVivas;
    };

    // An entry of the outline: its parent, title, destination and the page it was made on.
    struct TMarcador {
        int32_t Pai;
        std::string Titulo, Destino;
        size_t Pagina;
    };

    std::vector<std::unique_ptr<TCanvasGravador>> Paginas;
    std::vector<TMarcador> Marcadores; // entry k is number k + 1
    int32_t Vivas = 0;
    int32_t MaxVivas = 0;
    int32_t FalharNaPagina = -1; // 1-based page whose request fails
    // The width model of every page, when set (the typeface's own, say).
    std::function<double(const std::string&, double, bool)> Largura;

    std::unique_ptr<IVeltCanvas> NovaPagina() override {
        if (static_cast<int32_t>(Paginas.size()) + 1 == FalharNaPagina) {
            throw std::runtime_error("sem papel");
        }
        Paginas.push_back(std::make_unique<TCanvasGravador>());
        Paginas.back()->Largura = Largura;
        auto s = std::make_unique<TSuperficie>(*Paginas.back(), Vivas);
        MaxVivas = std::max(MaxVivas, Vivas);
        return s;
    }
    int32_t Marcador(int32_t APai, const std::string& ATitulo,
                     const std::string& ADestino) override {
        Marcadores.push_back({APai, ATitulo, ADestino, Paginas.size()});
        return static_cast<int32_t>(Marcadores.size());
    }
};

} // namespace tavrelo::teste_paginas
