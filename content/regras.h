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

// The lines of a paragraph: QuebrarLinhas's, except that a last line of one word takes the
// word before it down with it when the two fit, so no word is left alone at the end.
std::vector<std::string> LinhasDoParagrafo(IVeltCanvas& Canvas, const std::string& Texto,
                                           double LarguraMax, double TamanhoPt);

// Draws the paragraph's lines at 12 pt from Y, 6.15 mm apart; returns the Y below them.
double DesenharParagrafo(IVeltCanvas& Canvas, double Y, const std::string& Texto, double LarguraMax,
                         double X);

// The no-break space: it looks like a blank, and no line breaks at it.
inline constexpr const char* ESPACO_FIXO = "\u00A0";
// ATexto with every blank made a no-break space, so no line breaks inside it.
std::string SemQuebra(const std::string& ATexto);
// "M = 260", "2C = 130": how the book writes a sum, on one line.
std::string Igualdade(const std::string& ANome, int32_t AValor);
// "8 × 8", on one line.
std::string Vezes(int32_t N);

TNiveis NiveisDoPlano(const std::vector<int32_t>& Plano);

std::vector<TLeiTavrelo> LeisDoTamanho(int32_t N);
TPictograma PictogramaDaLei(TLeiTavrelo Lei, int32_t N);
std::string NomeDaLei(TLeiTavrelo Lei);
std::string TextoDaLei(TLeiTavrelo Lei, int32_t N);

std::vector<std::string> ParagrafosComoSeJoga(int32_t N);
// "Uma só casa vazia", and "A lista de números" after it when ComLista.
std::vector<TTecnicaTexto> TecnicasDoTamanho(int32_t N, bool ComLista);
std::vector<std::string> ConselhosDoTamanho(int32_t N);
// What level ANivel (1 to 5) asks of the reader, said after its name: whether it needs the
// list of numbers, and how many numbers it gives. Empty for any other level.
std::string ExigenciaDoNivel(int32_t ANivel);

// One row of the guide to the hints under the solutions: a form a hint takes, as printed
// there, and what it means.
struct TFormaDeDica {
    std::string Forma;
    std::string Sentido;
    bool operator==(const TFormaDeDica&) const = default;
};
// The guide of the order: every form a hint's line takes, and the mark of the key hints.
std::vector<TFormaDeDica> FormasDasDicas(int32_t N);
// The first rules page: how to play and the laws of this order. The footer is the caller's.
void PaginaRegras(IVeltCanvas& Canvas, int32_t N);
// The second rules page: techniques, the levels the book uses and what each asks, three tips
// and, for a book whose solutions carry hints, the guide to them. Returns the Y under it: the
// rest of the page is free for the book's own example.
double PaginaComoSeResolve(IVeltCanvas& Canvas, int32_t N, TNiveis Niveis, bool AComDicas);

} // namespace tavrelo
