// The drawing surface every page is drawn on: millimetres from the top-left corner of an
// A4 portrait page, Y downwards; widths and type sizes in points; greys 0 (black) to 255
// (white), -1 for no outline, no fill or no visible line.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tavrelo {

struct TPontoMm {
    double X = 0;
    double Y = 0;
    bool operator==(const TPontoMm&) const = default;
};

enum class TAlinhamento : uint8_t { alEsquerda, alCentro, alDireita };

// One page's surface. Every call carries its whole style; nothing set by an earlier call
// may change what a later call draws.
class IVeltCanvas {
  public:
    virtual ~IVeltCanvas() = default;

    virtual void Linha(double X1, double Y1, double X2, double Y2, double AEspessuraPt,
                       int32_t ACinza) = 0;
    // Fill first, then the outline stroked centred on the edges.
    virtual void Rectangulo(double X, double Y, double ALargura, double AAltura,
                            double AEspessuraPt, int32_t AContorno, int32_t APreenchimento) = 0;
    // Closed polygon through the points in order.
    virtual void Poligono(std::span<const TPontoMm> APontos, double AEspessuraPt, int32_t AContorno,
                          int32_t APreenchimento) = 0;
    // The ellipse inscribed in the box.
    virtual void Elipse(double X, double Y, double ALargura, double AAltura, double AEspessuraPt,
                        int32_t AContorno, int32_t APreenchimento) = 0;
    // One line of text; Y is the top of its line box, X its left end, centre or right end.
    virtual void Texto(double X, double Y, const std::string& ATexto, double ATamanhoPt,
                       bool ANegrito, int32_t ACinza, TAlinhamento AAlinhamento) = 0;
    // Advance width in mm: exactly the width Texto aligns with.
    virtual double LarguraTexto(const std::string& ATexto, double ATamanhoPt, bool ANegrito) = 0;
    // Height of one line box of the regular face ("Ag"), in mm.
    virtual double AlturaTexto(double ATamanhoPt) = 0;
    // The named picture of the program's resources, stretched to the box, flattened on white.
    // An unknown name raises std::runtime_error.
    virtual void Imagem(double X, double Y, double ALargura, double AAltura,
                        const std::string& ANome) = 0;
    // Whether the typeface of that weight has a glyph for the code point APonto; where it has
    // none, Texto would print an empty box.
    virtual bool TemCaracter(uint32_t APonto, bool ANegrito) = 0;

    // A place of the document the reader can be taken to: the point (X, Y) of this page,
    // named ANome. Each name is given once in a document.
    virtual void Destino(const std::string& ANome, double X, double Y) = 0;
    // Makes the box a link to the destination ADestino, on this page or any other of the
    // document, before or after this one. Nothing is drawn.
    virtual void Ligacao(double X, double Y, double ALargura, double AAltura,
                         const std::string& ADestino) = 0;
};

// The parent of the outline's top-level entries.
inline constexpr int32_t MARCADOR_DE_TOPO = 0;

// Where pages go: a document hands out one surface per page, in order.
class IDestinoPaginas {
  public:
    virtual ~IDestinoPaginas() = default;
    // Appends one empty A4 page and returns its surface; the previous page is finished and
    // its surface is not used again.
    virtual std::unique_ptr<IVeltCanvas> NovaPagina() = 0;
    // An entry of the document's outline (its bookmarks), under the entry APai or at the top
    // for MARCADOR_DE_TOPO, that takes the reader to the destination ADestino (named on any
    // page, before or after). Entries under one parent keep the order they are added in.
    // Returns the new entry, to hang others under it.
    virtual int32_t Marcador(int32_t APai, const std::string& ATitulo,
                             const std::string& ADestino) = 0;
};

TPontoMm PontoMm(double X, double Y);

// Millimetres to points: AMm × 72 / 25.4, multiplied first.
double MmParaPt(double AMm);

} // namespace tavrelo
