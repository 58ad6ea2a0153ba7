#include "drawing/imagem.h"

#include "core/tipos.h"
#include "drawing/canvas_cairo.h"
#include "drawing/pagina.h"

#include <cairo.h>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace tavrelo {

namespace {

struct TDestruirSuperficie {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct TDestruirContexto {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

void VerificarCairo(cairo_status_t AEstado) {
    if (AEstado != CAIRO_STATUS_SUCCESS) {
        throw EVelt("a página não pôde ser desenhada (" + MotivoDoCairo(AEstado) + ").");
    }
}

} // namespace

int32_t AlturaDaPagina(int32_t ALargura) {
    return static_cast<int32_t>(std::lround(ALargura * ALTURA_PAGINA / LARGURA_PAGINA));
}

TImagemPagina DesenharPaginaEmImagem(int32_t ALargura,
                                     const std::function<void(IVeltCanvas&)>& ADesenhar) {
    if (ALargura < 1 || ALargura > 10000) {
        throw EVelt("DesenharPaginaEmImagem: largura fora dos limites");
    }
    const int32_t altura = AlturaDaPagina(ALargura);
    const std::unique_ptr<cairo_surface_t, TDestruirSuperficie> superficie(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, ALargura, altura));
    VerificarCairo(cairo_surface_status(superficie.get()));
    const std::unique_ptr<cairo_t, TDestruirContexto> contexto(cairo_create(superficie.get()));
    VerificarCairo(cairo_status(contexto.get()));
    cairo_set_source_rgb(contexto.get(), 1, 1, 1);
    cairo_paint(contexto.get());
    // The page's dots, scaled to the pixels: every length and letter is placed as on paper.
    const double escala = ALargura / (LARGURA_PAGINA / 25.4 * DPI_DA_PAGINA);
    cairo_scale(contexto.get(), escala, escala);
    {
        TCanvasCairo canvas(contexto.get(), DPI_DA_PAGINA, 1);
        ADesenhar(canvas);
    }
    VerificarCairo(cairo_status(contexto.get()));
    cairo_surface_flush(superficie.get());

    TImagemPagina imagem;
    imagem.Largura = ALargura;
    imagem.Altura = altura;
    imagem.Passo = cairo_image_surface_get_stride(superficie.get());
    imagem.Pixeis.resize(static_cast<size_t>(imagem.Passo / 4) * static_cast<size_t>(altura));
    std::memcpy(imagem.Pixeis.data(), cairo_image_surface_get_data(superficie.get()),
                imagem.Pixeis.size() * sizeof(uint32_t));
    // RGB24 leaves the top byte undefined; an opaque picture says so.
    for (uint32_t& p : imagem.Pixeis) {
        p |= 0xFF000000u;
    }
    return imagem;
}

} // namespace tavrelo
