#include "composition/paginas.h"

#include "content/pictogramas.h"
#include "drawing/pagina.h"

#include <algorithm>
#include <cmath>

namespace tavrelo {

namespace {

// A page of two puzzles gives each the upper or the lower half, this high.
constexpr double ALTURA_DO_LUGAR = 130.5;
// The box under a lone puzzle ends above this line.
constexpr double FUNDO_DA_CAIXA = 272;

// The numbers of a "Números a colocar" box: their size, the height of a row and the gap
// between two numbers of a row.
constexpr double TAMANHO_NA_CAIXA = 6.5;
constexpr double ALTURA_LINHA_NA_CAIXA = 3.45;
constexpr double INTERVALO_NA_CAIXA = 2.5;

// The row and column numbers of a grid: their size in points, and their distance from the
// grid's left edge (rows) and top edge (columns), mm.
constexpr double TAMANHO_COORDENADAS = 6;
constexpr double AFASTAMENTO_LINHAS = 1;
constexpr double AFASTAMENTO_COLUNAS = 0.6;

double LarguraDaLinha(IVeltCanvas& Canvas, std::span<const int32_t> ANumeros, int32_t AInicio,
                      int32_t AFim, double ATamanhoPt, double AIntervalo) {
    double w = 0;
    for (int32_t i = AInicio; i <= AFim; ++i) {
        if (i > AInicio) {
            w += AIntervalo;
        }
        w += Canvas.LarguraTexto(std::to_string(ANumeros[static_cast<size_t>(i)]), ATamanhoPt,
                                 false);
    }
    return w;
}

} // namespace

void LimitesDoBloco(int32_t N, double& L, double& R) {
    const TGeometriaPuzzles g = GeometriaPuzzles(N);
    // Two puzzles a page: the grid, a 6 mm gap and the 62 mm column of the box, the row
    // numbers in the margin left of the block. One puzzle a page: the grid centred between
    // the strip of its row numbers and as much on its right.
    const double W = g.PorPagina == 2 ? g.Lado + 6 + 62 : g.Lado + 2 * FAIXA_COORDENADAS;
    L = (LARGURA_PAGINA - W) / 2;
    R = L + W;
}

double TamanhoNumeros(int32_t N, double ALado) {
    const double t = MmParaPt(ALado * 0.38 / N);
    return std::max(t, N >= 16 ? 7.0 : 8.0);
}

void DesenharGrelha(IVeltCanvas& Canvas, int32_t N, std::span<const int32_t> ADados,
                    std::span<const int32_t> ASolucao, double X, double Y, double ALado,
                    bool AModoSolucao, double ATamanhoPt) {
    if (N <= 0) {
        return;
    }
    const double g = ALado / N;
    if (AModoSolucao) {
        for (int32_t lin = 0; lin < N; ++lin) {
            for (int32_t col = 0; col < N; ++col) {
                if (ValorDaCasa(ADados, static_cast<size_t>(lin * N + col)) != 0) {
                    Canvas.Rectangulo(X + col * g, Y + lin * g, g, g, 0, -1, 235);
                }
            }
        }
    }
    for (int32_t i = 1; i <= N - 1; ++i) {
        Canvas.Linha(X, Y + i * g, X + ALado, Y + i * g, 0.25, 0);
        Canvas.Linha(X + i * g, Y, X + i * g, Y + ALado, 0.25, 0);
    }
    Canvas.Rectangulo(X, Y, ALado, ALado, 0.8, 0, -1);
    const double h = Canvas.AlturaTexto(ATamanhoPt);
    for (int32_t lin = 0; lin < N; ++lin) {
        for (int32_t col = 0; col < N; ++col) {
            const auto c = static_cast<size_t>(lin * N + col);
            const int32_t dado = ValorDaCasa(ADados, c);
            const int32_t v = AModoSolucao ? ValorDaCasa(ASolucao, c) : dado;
            if (v == 0) {
                continue;
            }
            const bool negrito = !AModoSolucao || dado == 0;
            Canvas.Texto(X + col * g + g / 2, Y + lin * g + (g - h) / 2, std::to_string(v),
                         ATamanhoPt, negrito, 0, TAlinhamento::alCentro);
        }
    }
    const double hc = Canvas.AlturaTexto(TAMANHO_COORDENADAS);
    for (int32_t col = 0; col < N; ++col) {
        Canvas.Texto(X + col * g + g / 2, Y - AFASTAMENTO_COLUNAS - hc, std::to_string(col + 1),
                     TAMANHO_COORDENADAS, false, 128, TAlinhamento::alCentro);
    }
    for (int32_t lin = 0; lin < N; ++lin) {
        Canvas.Texto(X - AFASTAMENTO_LINHAS, Y + lin * g + (g - hc) / 2, std::to_string(lin + 1),
                     TAMANHO_COORDENADAS, false, 128, TAlinhamento::alDireita);
    }
}

std::vector<int32_t> NumerosEmFalta(int32_t N, std::span<const int32_t> ADados) {
    const int32_t total = std::max(0, N * N);
    std::vector<bool> presente(static_cast<size_t>(total) + 1, false);
    for (const int32_t v : ADados) {
        if (v >= 1 && v <= total) {
            presente[static_cast<size_t>(v)] = true;
        }
    }
    std::vector<int32_t> r;
    for (int32_t v = 1; v <= total; ++v) {
        if (!presente[static_cast<size_t>(v)]) {
            r.push_back(v);
        }
    }
    return r;
}

double LarguraDaLinha(IVeltCanvas& Canvas, std::span<const int32_t> ANumeros, int32_t AInicio,
                      int32_t AFim) {
    return LarguraDaLinha(Canvas, ANumeros, AInicio, AFim, TAMANHO_NA_CAIXA, INTERVALO_NA_CAIXA);
}

bool MedirCaixaNumeros(IVeltCanvas& Canvas, double ALarguraMax, double AAlturaMax,
                       std::span<const int32_t> ANumeros, int32_t AColunasMax,
                       TCaixaNumeros& ACaixa) {
    ACaixa = TCaixaNumeros{};
    const auto n = static_cast<int32_t>(ANumeros.size());
    if (n == 0) {
        return false;
    }
    // Every column is as wide as the largest number, so the grid of numbers stays regular.
    const std::string zeros(std::to_string(ANumeros.back()).size(), '0');
    const double w0 = Canvas.LarguraTexto(zeros, TAMANHO_NA_CAIXA, false);
    const double quociente = (ALarguraMax - 8 + INTERVALO_NA_CAIXA) / (w0 + INTERVALO_NA_CAIXA);
    int32_t cols = 0;
    if (quociente >= static_cast<double>(AColunasMax)) {
        cols = AColunasMax;
    } else if (quociente > 0) {
        cols = static_cast<int32_t>(std::trunc(quociente));
    }
    if (cols <= 0) {
        cols = 1;
    }
    const int32_t linhas = (n + cols - 1) / cols;
    const double altura = linhas * ALTURA_LINHA_NA_CAIXA + 4 + 4;
    if (altura > AAlturaMax) {
        return false;
    }
    // The same rows, filled as evenly as they can be.
    const int32_t porLinha = (n + linhas - 1) / linhas;
    double largura = 0;
    for (int32_t j = 0; j < linhas; ++j) {
        const int32_t fim = std::min(n - 1, (j + 1) * porLinha - 1);
        largura = std::max(largura, LarguraDaLinha(Canvas, ANumeros, j * porLinha, fim));
    }
    largura += 8;
    const double titulo = Canvas.LarguraTexto("Números a colocar", 8, false) + 8;
    if (largura < titulo) {
        largura = titulo;
    }
    largura = std::max(largura, 40.0);
    largura = std::min(largura, ALarguraMax);
    ACaixa = TCaixaNumeros{TAMANHO_NA_CAIXA,
                           ALTURA_LINHA_NA_CAIXA,
                           INTERVALO_NA_CAIXA,
                           linhas,
                           porLinha,
                           largura,
                           altura};
    return true;
}

double DesenharCaixaNumeros(IVeltCanvas& Canvas, double X, double Y, const TCaixaNumeros& ACaixa,
                            std::span<const int32_t> ANumeros) {
    const double h = Canvas.AlturaTexto(ACaixa.TamanhoPt);
    Canvas.Rectangulo(X, Y, ACaixa.Largura, ACaixa.Altura, 0.5, 0, -1);
    Canvas.Texto(X + ACaixa.Largura / 2, Y + 1.2, "Números a colocar", 8, false, 128,
                 TAlinhamento::alCentro);
    const auto n = static_cast<int32_t>(ANumeros.size());
    for (int32_t j = 0; j < ACaixa.Linhas; ++j) {
        const int32_t inicio = j * ACaixa.PorLinha;
        const int32_t fim = std::min(n - 1, (j + 1) * ACaixa.PorLinha - 1);
        const double linha =
            LarguraDaLinha(Canvas, ANumeros, inicio, fim, ACaixa.TamanhoPt, ACaixa.Intervalo);
        double x = X + ACaixa.Largura / 2 - linha / 2;
        const double y = Y + 6 + j * ACaixa.AlturaLinha + (ACaixa.AlturaLinha - h) / 2;
        for (int32_t i = inicio; i <= fim; ++i) {
            const std::string t = std::to_string(ANumeros[static_cast<size_t>(i)]);
            Canvas.Texto(x, y, t, ACaixa.TamanhoPt, false, 0, TAlinhamento::alEsquerda);
            x += Canvas.LarguraTexto(t, ACaixa.TamanhoPt, false) + ACaixa.Intervalo;
        }
    }
    return Y + ACaixa.Altura;
}

void TCompositorLivro::DesenharPuzzles(IVeltCanvas& Canvas, const TDescPagina& APagina) {
    const int32_t N = FLivro.Config.N;
    const TGeometriaPuzzles geo = GeometriaPuzzles(N);
    const bool dois = geo.PorPagina == 2;
    double L = 0;
    double R = 0;
    LimitesDoBloco(N, L, R);
    for (int32_t k = 0; k < geo.PorPagina; ++k) {
        const int64_t p = int64_t{APagina.Primeiro} + k;
        if (p < 0 || p >= static_cast<int64_t>(FLivro.Puzzles.size())) {
            break;
        }
        const TPuzzle& puzzle = FLivro.Puzzles[static_cast<size_t>(p)].Puzzle;
        const double c = TOPO_TITULO + ALTURA_DO_LUGAR * k;

        DesenharTituloLigado(Canvas, L, c, Formatar("%.3d", static_cast<int32_t>(p) + 1), 14,
                             DestinoDoPuzzle(static_cast<int32_t>(p)),
                             DestinoDaSolucao(static_cast<int32_t>(p)));
        Canvas.Texto(CENTRO_PAGINA, c + 0.6, TextoTamanho(N), 13, false, 0, TAlinhamento::alCentro);
        DesenharEstrelas(Canvas, R, c + 0.2, puzzle.Nivel);

        double x = L;
        for (const TPictograma pc : PictogramasDoTamanho(N)) {
            DesenharPictograma(Canvas, pc, x, c + 10.5);
            x += 24;
        }
        Canvas.Texto(R, c + 10.5 + (14 - Canvas.AlturaTexto(11)) / 2, TextoSomas(N), 11, false, 0,
                     TAlinhamento::alDireita);

        // The grid 5 mm under the law band, the column numbers between them.
        const double T = c + 29.5;
        const double G = dois ? L : (LARGURA_PAGINA - geo.Lado) / 2;
        DesenharGrelha(Canvas, N, puzzle.Dados, puzzle.Solucao, G, T, geo.Lado, false,
                       TamanhoNumeros(N, geo.Lado));

        const std::vector<int32_t> emFalta = NumerosEmFalta(N, puzzle.Dados);
        TCaixaNumeros caixa;
        if (dois) {
            if (MedirCaixaNumeros(Canvas, 62, c + ALTURA_DO_LUGAR - 4 - T, emFalta, 10, caixa)) {
                DesenharCaixaNumeros(Canvas, L + geo.Lado + 6, T, caixa, emFalta);
            }
        } else {
            const double B = T + geo.Lado + 4;
            if (MedirCaixaNumeros(Canvas, LARGURA_COLUNA, FUNDO_DA_CAIXA - B, emFalta, 60, caixa)) {
                DesenharCaixaNumeros(Canvas, (LARGURA_PAGINA - caixa.Largura) / 2, B, caixa,
                                     emFalta);
            }
        }
    }
    DesenharRodape(Canvas, APagina.Numero);
}

} // namespace tavrelo
