#include "content/pictogramas.h"

#include "content/paleta.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tavrelo {

namespace {

constexpr double LADO_PICTOGRAMA = 14;
// The strokes of the pictograms and stars: dots and star outlines, dashes, and the white
// ring of the centre.
constexpr double TRACO_DO_PONTO = 0.5;
constexpr double TRACO_TRACEJADO = 0.4;
constexpr double TRACO_DO_CENTRO = 0.6;

void Moldura(IVeltCanvas& Canvas, double X, double Y) {
    Canvas.Rectangulo(X, Y, LADO_PICTOGRAMA, LADO_PICTOGRAMA, TRACO_MOLDURA, PRETO, SEM_COR);
}

// A filled box without an outline.
void Faixa(IVeltCanvas& Canvas, double X, double Y, double ALargura, double AAltura,
           int32_t APreenchimento) {
    Canvas.Rectangulo(X, Y, ALargura, AAltura, 0, SEM_COR, APreenchimento);
}

// A circle centred on (CX, CY).
void Ponto(IVeltCanvas& Canvas, double CX, double CY, double ADiametro, double AEspessuraPt,
           int32_t APreenchimento) {
    Canvas.Elipse(CX - ADiametro / 2, CY - ADiametro / 2, ADiametro, ADiametro, AEspessuraPt, PRETO,
                  APreenchimento);
}

} // namespace

std::vector<TPictograma> PictogramasDoTamanho(int32_t N) {
    if ((N & 1) != 0) {
        return {TPictograma::pcSomaImpar, TPictograma::pcQuebrada, TPictograma::pcPar};
    }
    return {TPictograma::pcSoma, TPictograma::pcQuebrada, TPictograma::pcBloco,
            TPictograma::pcMeia};
}

void DesenharPictograma(IVeltCanvas& Canvas, TPictograma Pictograma, double X, double Y) {
    switch (Pictograma) {
    case TPictograma::pcSoma:
        Faixa(Canvas, X + 0, Y + 3.5, 14, 3.5, SOMBRA);
        Faixa(Canvas, X + 7, Y + 0, 3.5, 14, SOMBRA);
        LinhasDaGrelha(Canvas, X, Y, 14, 4);
        Canvas.Linha(X + 0, Y + 0, X + 14, Y + 14, TRACO_DO_PERCURSO, PRETO);
        Moldura(Canvas, X, Y);
        break;
    case TPictograma::pcSomaImpar:
        Faixa(Canvas, X + 0, Y + 2.8, 14, 2.8, SOMBRA);
        Faixa(Canvas, X + 8.4, Y + 0, 2.8, 14, SOMBRA);
        LinhasDaGrelha(Canvas, X, Y, 14, 5);
        Canvas.Linha(X + 0, Y + 0, X + 14, Y + 14, TRACO_DO_PERCURSO, PRETO);
        Moldura(Canvas, X, Y);
        break;
    case TPictograma::pcQuebrada:
        Moldura(Canvas, X, Y);
        Canvas.Linha(X + 0, Y + 6.3, X + 7.7, Y + 14, TRACO_DO_PERCURSO, PRETO);
        Canvas.Linha(X + 6.3, Y + 0, X + 14, Y + 7.7, TRACO_DO_PERCURSO, PRETO);
        // Black where the diagonal leaves the grid, a white ring where it comes back in.
        Ponto(Canvas, X + 7.7, Y + 14, 2.4, TRACO_DO_PONTO, PRETO);
        Ponto(Canvas, X + 6.3, Y + 0, 2.4, TRACO_DO_PONTO, BRANCO);
        break;
    case TPictograma::pcBloco:
        Faixa(Canvas, X + 3.5, Y + 3.5, 7, 7, SOMBRA_FORTE);
        LinhasDaGrelha(Canvas, X, Y, 14, 4);
        Canvas.Rectangulo(X + 3.5, Y + 3.5, 7, 7, TRACO_MOLDURA, PRETO, SEM_COR);
        Moldura(Canvas, X, Y);
        break;
    case TPictograma::pcMeia:
        Moldura(Canvas, X, Y);
        Canvas.Linha(X + 1.68, Y + 1.68, X + 12.32, Y + 12.32, TRACO_DO_PONTO, PRETO);
        Ponto(Canvas, X + 3.5, Y + 3.5, 3, TRACO_DO_PONTO, PRETO);
        Ponto(Canvas, X + 10.5, Y + 10.5, 3, TRACO_DO_PONTO, PRETO);
        LinhaTracejada(Canvas, X + 3.5, Y + 6.7, X + 10.5, Y + 13.7, TRACO_TRACEJADO, PRETO);
        break;
    case TPictograma::pcPar:
        Moldura(Canvas, X, Y);
        LinhaTracejada(Canvas, X + 2.8, Y + 4.2, X + 11.2, Y + 9.8, TRACO_TRACEJADO, PRETO);
        Ponto(Canvas, X + 2.8, Y + 4.2, 3, TRACO_DO_PONTO, PRETO);
        Ponto(Canvas, X + 11.2, Y + 9.8, 3, TRACO_DO_PONTO, PRETO);
        // The centre goes on top of the dashes.
        Ponto(Canvas, X + 7, Y + 7, 2.6, TRACO_DO_CENTRO, BRANCO);
        break;
    }
}

void LinhasDaGrelha(IVeltCanvas& Canvas, double X, double Y, double Lado, int32_t N) {
    if (N <= 1) {
        return;
    }
    const double passo = Lado / N;
    for (int32_t k = 1; k <= N - 1; ++k) {
        Canvas.Linha(X, Y + k * passo, X + Lado, Y + k * passo, TRACO_FINO, PRETO);
        Canvas.Linha(X + k * passo, Y, X + k * passo, Y + Lado, TRACO_FINO, PRETO);
    }
}

void LinhaTracejada(IVeltCanvas& Canvas, double X1, double Y1, double X2, double Y2,
                    double EspessuraPt, int32_t Cinza) {
    const double dx = X2 - X1;
    const double dy = Y2 - Y1;
    const double comprimento = std::sqrt(dx * dx + dy * dy);
    if (!(comprimento > 0)) {
        return;
    }
    const auto n = static_cast<int32_t>(std::trunc((comprimento + 1) / 2.4));
    for (int32_t i = 0; i < n; ++i) {
        const double a = 2.4 * i;
        const double b = std::min(a + 1.4, comprimento);
        const double ta = a / comprimento;
        const double tb = b / comprimento;
        Canvas.Linha(X1 + dx * ta, Y1 + dy * ta, X1 + dx * tb, Y1 + dy * tb, EspessuraPt, Cinza);
    }
}

void DesenharEstrela(IVeltCanvas& Canvas, double CX, double CY, double Raio, bool Cheia) {
    std::array<TPontoMm, 10> pontos;
    for (int32_t i = 0; i < 10; ++i) {
        const double angulo = i * std::numbers::pi / 5 - std::numbers::pi / 2;
        const double r = (i % 2 == 0) ? Raio : 0.4 * Raio;
        pontos[static_cast<size_t>(i)] =
            PontoMm(CX + r * std::cos(angulo), CY + r * std::sin(angulo));
    }
    Canvas.Poligono(pontos, TRACO_DO_PONTO, PRETO, Cheia ? PRETO : BRANCO);
}

void DesenharEstrelas(IVeltCanvas& Canvas, double X, double Y, int32_t Nivel) {
    for (int32_t i = 0; i <= 4; ++i) {
        DesenharEstrela(Canvas, X - 2.4 - (4 - i) * 6.0, Y + 2.7, 2.4, i < Nivel);
    }
}

} // namespace tavrelo
