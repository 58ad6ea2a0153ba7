// A drawing surface that records its calls, for testing page routines without a back end.
// Text is measured by a simple fixed model: every character (UTF-8 code point) is
// LarguraPorPt × size wide, bold text Negrito times wider; a line box is AlturaPorPt × size.
// Tests that need other metrics set Largura. The typeface has every character below
// SemLetraDesde (U+10000 unless a test moves it): emoji and the like it lacks.
#pragma once

#include "drawing/canvas.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace teste {

using tavrelo::TAlinhamento;
using tavrelo::TPontoMm;

struct TChamada {
    std::string Op; // "Linha", "Rectangulo", "Poligono", "Elipse", "Texto", "Imagem", "Destino",
                    // "Ligacao"
    std::vector<double> Num;      // the numeric arguments in call order (greys and sizes too)
    std::vector<TPontoMm> Pontos; // Poligono only
    std::string Texto;            // Texto: the text; Imagem, Destino, Ligacao: the name
    bool Negrito = false;
    TAlinhamento Alinhamento = TAlinhamento::alEsquerda;
};

inline size_t CodePoints(const std::string& s) {
    size_t n = 0;
    for (const char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0u) != 0x80u)
            ++n;
    return n;
}

class TCanvasGravador : public tavrelo::IVeltCanvas {
  public:
    static constexpr double LarguraPorPt = 0.18; // mm per character per point
    static constexpr double AlturaPorPt = 0.41;  // mm of line box per point
    static constexpr double Negrito = 1.1;

    std::vector<TChamada> Chamadas;
    // Optional replacement of the width model: (text, size, bold) -> mm.
    std::function<double(const std::string&, double, bool)> Largura;
    // Picture names that exist; any other name raises like the real surface.
    std::vector<std::string> Imagens{"SELO_CC_BY_NC_ND"};
    uint32_t SemLetraDesde = 0x10000;

    // Builds the record field by field, so later fields keep their defaults.
    static TChamada Registo(const char* AOp, std::vector<double> ANum) {
        TChamada c;
        c.Op = AOp;
        c.Num = std::move(ANum);
        return c;
    }

    void Linha(double X1, double Y1, double X2, double Y2, double E, int32_t C) override {
        Chamadas.push_back(Registo("Linha", {X1, Y1, X2, Y2, E, double(C)}));
    }
    void Rectangulo(double X, double Y, double L, double A, double E, int32_t C,
                    int32_t P) override {
        Chamadas.push_back(Registo("Rectangulo", {X, Y, L, A, E, double(C), double(P)}));
    }
    void Poligono(std::span<const TPontoMm> Pts, double E, int32_t C, int32_t P) override {
        TChamada c = Registo("Poligono", {E, double(C), double(P)});
        c.Pontos.assign(Pts.begin(), Pts.end());
        Chamadas.push_back(c);
    }
    void Elipse(double X, double Y, double L, double A, double E, int32_t C, int32_t P) override {
        Chamadas.push_back(Registo("Elipse", {X, Y, L, A, E, double(C), double(P)}));
    }
    void Texto(double X, double Y, const std::string& T, double S, bool B, int32_t C,
               TAlinhamento Al) override {
        TChamada c = Registo("Texto", {X, Y, S, double(C)});
        c.Texto = T;
        c.Negrito = B;
        c.Alinhamento = Al;
        Chamadas.push_back(c);
    }
    double LarguraTexto(const std::string& T, double S, bool B) override {
        if (Largura)
            return Largura(T, S, B);
        return double(CodePoints(T)) * LarguraPorPt * S * (B ? Negrito : 1.0);
    }
    double AlturaTexto(double S) override { return AlturaPorPt * S; }
    void Imagem(double X, double Y, double L, double A, const std::string& Nome) override {
        bool existe = false;
        for (const auto& n : Imagens)
            existe = existe || n == Nome;
        if (!existe)
            throw std::runtime_error("Imagem: o recurso " + Nome + " nao existe no executavel");
        TChamada c = Registo("Imagem", {X, Y, L, A});
        c.Texto = Nome;
        Chamadas.push_back(c);
    }

    bool TemCaracter(uint32_t APonto, bool) override { return APonto < SemLetraDesde; }
    void Destino(const std::string& ANome, double X, double Y) override {
        TChamada c = Registo("Destino", {X, Y});
        c.Texto = ANome;
        Chamadas.push_back(c);
    }
    void Ligacao(double X, double Y, double L, double A, const std::string& ADestino) override {
        TChamada c = Registo("Ligacao", {X, Y, L, A});
        c.Texto = ADestino;
        Chamadas.push_back(c);
    }

    // The calls of one kind, in order.
    std::vector<TChamada> DoTipo(const std::string& AOp) const {
        std::vector<TChamada> r;
        for (const auto& c : Chamadas)
            if (c.Op == AOp)
                r.push_back(c);
        return r;
    }
    // The texts drawn, in order.
    std::vector<std::string> Textos() const {
        std::vector<std::string> r;
        for (const auto& c : Chamadas)
            if (c.Op == "Texto")
                r.push_back(c.Texto);
        return r;
    }
};

} // namespace teste
