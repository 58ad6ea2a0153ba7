// Running text: greedy word wrapping measured on the surface, the 12 pt paragraph, and the
// two rules pages written for the book's order.
#pragma once

#include "content/pictogramas.h"
#include "drawing/canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavrelo {

// A set of levels 0..7, one bit per level.
struct TNiveis {
    uint8_t Bits = 0;
    bool Contem(int32_t ANivel) const {
        return ANivel >= 0 && ANivel <= 7 && ((Bits >> ANivel) & 1) != 0;
    }
    bool operator==(const TNiveis&) const = default;
};

// The laws a book explains; odd orders have llSoma, llQuebrada, llPar, even ones
// llSoma, llQuebrada, llBloco, llMeia.
enum class TLeiTavrelo : uint8_t { llSoma, llQuebrada, llBloco, llMeia, llPar };

struct TTecnicaTexto {
    std::string Titulo;
    std::string Texto;
    bool operator==(const TTecnicaTexto&) const = default;
};

// Splits at every blank and closes a line only before a word whose candidate line, measured
// whole in the regular face, is wider than LarguraMax. Words are never split.
std::vector<std::string> QuebrarLinhas(IVeltCanvas& Canvas, const std::string& Texto,
                                       double LarguraMax, double TamanhoPt);

// Draws the wrapped paragraph at 12 pt from Y, lines 6.15 mm apart; returns the Y below it.
double DesenharParagrafo(IVeltCanvas& Canvas, double Y, const std::string& Texto, double LarguraMax,
                         double X);

TNiveis NiveisDoPlano(const std::vector<int32_t>& Plano);

std::vector<TLeiTavrelo> LeisDoTamanho(int32_t N);
TPictograma PictogramaDaLei(TLeiTavrelo Lei, int32_t N);
std::string NomeDaLei(TLeiTavrelo Lei);
std::string TextoDaLei(TLeiTavrelo Lei, int32_t N);

std::vector<std::string> ParagrafosComoSeJoga(int32_t N);
// "Uma só casa vazia", and "A lista de números" after it when ComLista.
std::vector<TTecnicaTexto> TecnicasDoTamanho(int32_t N, bool ComLista);
std::vector<std::string> ConselhosDoTamanho(int32_t N);

// The first rules page: how to play and the laws of this order. The footer is the caller's.
void PaginaRegras(IVeltCanvas& Canvas, int32_t N);
// The second rules page: techniques, the levels the book uses, three tips.
void PaginaComoSeResolve(IVeltCanvas& Canvas, int32_t N, TNiveis Niveis);

} // namespace tavrelo
