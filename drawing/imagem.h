// A page drawn into pixels, for showing it on screen: the same page code on the same surface
// as a PDF page, laid out on the same dots and scaled to the pixels asked for.
#pragma once

#include "drawing/canvas.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace tavrelo {

// An opaque picture: each pixel 32 bits in the machine's byte order, 0xFFRRGGBB (the form of
// Qt's QImage::Format_RGB32 and cairo's RGB24), row after row, APasso bytes a row.
struct TImagemPagina {
    int32_t Largura = 0;
    int32_t Altura = 0;
    int32_t Passo = 0;
    std::vector<uint32_t> Pixeis; // Passo / 4 × Altura

    uint32_t Pixel(int32_t X, int32_t Y) const {
        return Pixeis[static_cast<size_t>(Y) * static_cast<size_t>(Passo / 4) +
                      static_cast<size_t>(X)];
    }
};

// The height in pixels of an A4 page ALargura pixels wide.
int32_t AlturaDaPagina(int32_t ALargura);

// One A4 page ALargura pixels wide (1 to 10000), white, with whatever ADesenhar draws on it.
// Lines are at least a pixel wide, as PDF viewers draw them; destinations and links leave no
// mark. Raises std::bad_alloc when the pixels cannot be had,
// and std::runtime_error (a Portuguese sentence) when cairo cannot draw.
TImagemPagina DesenharPaginaEmImagem(int32_t ALargura,
                                     const std::function<void(IVeltCanvas&)>& ADesenhar);

} // namespace tavrelo
