// The drawing surface on a cairo context. Every coordinate is rounded to whole output
// dots, pens are at least one dot wide, fonts are sized by their em in whole dots and text
// is aligned on whole dots, so a page comes out the same on any cairo surface.
#pragma once

#include "drawing/canvas.h"

#include <cairo.h>
#include <cstdint>
#include <span>
#include <string>

namespace tavrelo {

// Millimetres to dots: nearest(mm / 25.4 × dpi), ties to the even dot.
int32_t MmParaPx(double AMm, double ADpi);
// Pen width in dots: nearest(pt × dpi / 72), never below one dot.
int32_t EspessuraEmPx(double AEspessuraPt, double ADpi);
// The em of a font in dots: nearest(pt × dpi / 72).
int32_t TamanhoDaLetraEmPx(double ATamanhoPt, double ADpi);
// A grey level as a 0x00BBGGRR colour: all three bytes equal the grey.
uint32_t CinzaParaCor(int32_t ACinza);

// The line box of the typeface at an em of AEmPx dots, in whole dots.
struct TCaixaDeLinha {
    int32_t Ascendente = 0;  // top of the box to the baseline
    int32_t Descendente = 0; // baseline to the bottom of the box
    int32_t Altura() const { return Ascendente + Descendente; }
};
TCaixaDeLinha CaixaDeLinha(int32_t AEmPx, bool ANegrito);

// A destination's name as the PDF tags carry it, quoted: letters, digits and '-' stay, every
// other byte becomes '_' and two hex digits, so any name reaches the file whole and two
// names never meet.
std::string NomeDeDestino(const std::string& ANome);

// The reason for a cairo failure, in Portuguese, to follow "não pôde ser desenhada". Memory
// that ran out raises std::bad_alloc instead, so that it is told as such wherever it happens.
std::string MotivoDoCairo(cairo_status_t AEstado);

// The PNG in ADados decoded and laid on opaque white (an RGB24 surface the caller
// destroys). Raises std::runtime_error naming the resource ANome when it is not a PNG, and
// std::bad_alloc when there is no memory to decode it.
cairo_surface_t* PngSobreBranco(std::span<const unsigned char> ADados, const std::string& ANome);

class TCanvasCairo final : public IVeltCanvas {
  public:
    // ACairo's user space must be one unit per dot at ADpi, origin at the page's top-left
    // corner. The surface takes its own reference to the context. On a screen, where a page's
    // dots are smaller than the pixels, lines are stroked at least ATracoMinimo pixels wide, as
    // PDF viewers draw thin lines; everything is placed on the same dots all the same.
    TCanvasCairo(cairo_t* ACairo, int32_t ADpi, double ATracoMinimo = 0);
    ~TCanvasCairo() override;
    TCanvasCairo(const TCanvasCairo&) = delete;
    TCanvasCairo& operator=(const TCanvasCairo&) = delete;

    void Linha(double X1, double Y1, double X2, double Y2, double AEspessuraPt,
               int32_t ACinza) override;
    void Rectangulo(double X, double Y, double ALargura, double AAltura, double AEspessuraPt,
                    int32_t AContorno, int32_t APreenchimento) override;
    void Poligono(std::span<const TPontoMm> APontos, double AEspessuraPt, int32_t AContorno,
                  int32_t APreenchimento) override;
    void Elipse(double X, double Y, double ALargura, double AAltura, double AEspessuraPt,
                int32_t AContorno, int32_t APreenchimento) override;
    void Texto(double X, double Y, const std::string& ATexto, double ATamanhoPt, bool ANegrito,
               int32_t ACinza, TAlinhamento AAlinhamento) override;
    double LarguraTexto(const std::string& ATexto, double ATamanhoPt, bool ANegrito) override;
    double AlturaTexto(double ATamanhoPt) override;
    void Imagem(double X, double Y, double ALargura, double AAltura,
                const std::string& ANome) override;
    bool TemCaracter(uint32_t APonto, bool ANegrito) override;
    // Destinations and links are PDF tags: on any other cairo surface they leave no mark.
    // cairo 1.16 writes a page's tags only when something is drawn on the page as well.
    void Destino(const std::string& ANome, double X, double Y) override;
    void Ligacao(double X, double Y, double ALargura, double AAltura,
                 const std::string& ADestino) override;

  private:
    int32_t MmParaPx(double AMm) const;
    void PrepararFonte(double ATamanhoPt, bool ANegrito);
    // Width of the text in whole dots with the font set by PrepararFonte.
    int32_t LarguraEmPx(const std::string& ATexto);
    // Fills, then strokes, the current path; the path is cleared either way.
    void PreencherEContornar(double AEspessuraPt, int32_t AContorno, int32_t APreenchimento);

    // The width of a pen of AEspessuraPt, in the context's units.
    double LarguraDoTraco(double AEspessuraPt) const;

    cairo_t* FCairo;
    double FDpi;
    double FTracoMinimo;
    // The face and size last set on the context; none yet at first.
    struct TFonteNoContexto {
        int32_t EmPx = -1;
        bool Negrito = false;
    };
    TFonteNoContexto FFonte;
};

} // namespace tavrelo
