// A text style: size, weight, grey and alignment named together, so that a page says what it
// writes (a caption, the footer) and each look is set in one place.
#pragma once

#include "drawing/canvas.h"

#include <cstdint>
#include <string>

namespace tavrelo {

struct TEstiloTexto {
    double TamanhoPt = 12;
    bool Negrito = false;
    int32_t Cinza = 0; // 0 black … 255 white
    TAlinhamento Alinhamento = TAlinhamento::alEsquerda;
};

// The same style at another size, or aligned otherwise.
constexpr TEstiloTexto ComTamanho(TEstiloTexto AEstilo, double ATamanhoPt) {
    AEstilo.TamanhoPt = ATamanhoPt;
    return AEstilo;
}
constexpr TEstiloTexto Alinhado(TEstiloTexto AEstilo, TAlinhamento AAlinhamento) {
    AEstilo.Alinhamento = AAlinhamento;
    return AEstilo;
}

// One line of ATexto in the style; Y is the top of its line box.
inline void Escrever(IVeltCanvas& Canvas, double X, double Y, const std::string& ATexto,
                     const TEstiloTexto& AEstilo) {
    Canvas.Texto(X, Y, ATexto, AEstilo.TamanhoPt, AEstilo.Negrito, AEstilo.Cinza,
                 AEstilo.Alinhamento);
}

inline double LarguraDe(IVeltCanvas& Canvas, const std::string& ATexto,
                        const TEstiloTexto& AEstilo) {
    return Canvas.LarguraTexto(ATexto, AEstilo.TamanhoPt, AEstilo.Negrito);
}

inline double AlturaDe(IVeltCanvas& Canvas, const TEstiloTexto& AEstilo) {
    return Canvas.AlturaTexto(AEstilo.TamanhoPt);
}

} // namespace tavrelo
