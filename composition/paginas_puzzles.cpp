#include "composition/paginas.h"

#include "content/paleta.h"
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

// A "Números a colocar" box: its sizes are tried from the largest down in these steps; a row
// and the gap between two columns grow with the size; the title's band on top, the margin
// under the last row and on either side of the columns, and the least width of a box.
constexpr double PASSO_DO_TAMANHO_NA_CAIXA = 0.5;
constexpr double LINHA_POR_PT = 0.5;     // mm
constexpr double INTERVALO_POR_PT = 0.3; // mm
constexpr double FAIXA_DO_TITULO_DA_CAIXA = 6;
constexpr double FUNDO_DA_CAIXA_ABAIXO = 2;
constexpr double MARGEM_DA_CAIXA = 4;
constexpr double LARGURA_MINIMA_DA_CAIXA = 40;
const char* const TITULO_DA_CAIXA = "Números a colocar";
constexpr double TRACO_DA_CAIXA = 0.5;

// The row and column numbers of a grid: their distance from the grid's left edge (rows) and
// top edge (columns), mm.
constexpr double AFASTAMENTO_LINHAS = 1;
constexpr double AFASTAMENTO_COLUNAS = 0.6;

// The numbers of a box at ATamanhoPt, as a regular text in columns.
TEstiloTexto EstiloNaCaixa(double ATamanhoPt) {
    return TEstiloTexto{.TamanhoPt = ATamanhoPt, .Alinhamento = TAlinhamento::alDireita};
}

// The width of APorLinha columns side by side.
double LarguraDasColunas(const TCaixaNumeros& ACaixa, int32_t APorLinha) {
    return APorLinha * ACaixa.Coluna + (APorLinha - 1) * ACaixa.Intervalo;
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
                    Canvas.Rectangulo(X + col * g, Y + lin * g, g, g, 0, SEM_COR, SOMBRA_CLARA);
                }
            }
        }
    }
    for (int32_t i = 1; i <= N - 1; ++i) {
        Canvas.Linha(X, Y + i * g, X + ALado, Y + i * g, TRACO_FINO, PRETO);
        Canvas.Linha(X + i * g, Y, X + i * g, Y + ALado, TRACO_FINO, PRETO);
    }
    Canvas.Rectangulo(X, Y, ALado, ALado, TRACO_MOLDURA, PRETO, SEM_COR);
    const double h = Canvas.AlturaTexto(ATamanhoPt);
    for (int32_t lin = 0; lin < N; ++lin) {
        for (int32_t col = 0; col < N; ++col) {
            const auto c = static_cast<size_t>(lin * N + col);
            const int32_t dado = ValorDaCasa(ADados, c);
            const int32_t v = AModoSolucao ? ValorDaCasa(ASolucao, c) : dado;
            if (v == 0) {
                continue;
            }
            const TEstiloTexto numero{.TamanhoPt = ATamanhoPt,
                                      .Negrito = !AModoSolucao || dado == 0,
                                      .Alinhamento = TAlinhamento::alCentro};
            Escrever(Canvas, X + col * g + g / 2, Y + lin * g + (g - h) / 2, std::to_string(v),
                     numero);
        }
    }
    const double hc = AlturaDe(Canvas, ESTILO_COORDENADAS);
    const TEstiloTexto colunas = Alinhado(ESTILO_COORDENADAS, TAlinhamento::alCentro);
    const TEstiloTexto linhas = Alinhado(ESTILO_COORDENADAS, TAlinhamento::alDireita);
    for (int32_t col = 0; col < N; ++col) {
        Escrever(Canvas, X + col * g + g / 2, Y - AFASTAMENTO_COLUNAS - hc, std::to_string(col + 1),
                 colunas);
    }
    for (int32_t lin = 0; lin < N; ++lin) {
        Escrever(Canvas, X - AFASTAMENTO_LINHAS, Y + lin * g + (g - hc) / 2,
                 std::to_string(lin + 1), linhas);
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

bool MedirCaixaNumeros(IVeltCanvas& Canvas, double ALarguraMax, double AAlturaMax,
                       std::span<const int32_t> ANumeros, int32_t AColunasMax,
                       TCaixaNumeros& ACaixa) {
    ACaixa = TCaixaNumeros{};
    const auto n = static_cast<int32_t>(ANumeros.size());
    if (n == 0) {
        return false;
    }
    // Every column is as wide as the largest number, so the numbers line up in columns.
    const std::string zeros(std::to_string(ANumeros.back()).size(), '0');
    const double titulo =
        LarguraDe(Canvas, TITULO_DA_CAIXA, ESTILO_TITULO_DA_CAIXA) + 2 * MARGEM_DA_CAIXA;
    for (double t = TAMANHO_MAIOR_NA_CAIXA; t >= TAMANHO_MENOR_NA_CAIXA;
         t -= PASSO_DO_TAMANHO_NA_CAIXA) {
        TCaixaNumeros caixa;
        caixa.TamanhoPt = t;
        caixa.AlturaLinha = LINHA_POR_PT * t;
        caixa.Intervalo = INTERVALO_POR_PT * t;
        caixa.Coluna = LarguraDe(Canvas, zeros, EstiloNaCaixa(t));
        const double quociente = (ALarguraMax - 2 * MARGEM_DA_CAIXA + caixa.Intervalo) /
                                 (caixa.Coluna + caixa.Intervalo);
        int32_t cols = 1;
        if (quociente >= static_cast<double>(AColunasMax)) {
            cols = std::max(AColunasMax, 1);
        } else if (quociente >= 1) {
            cols = static_cast<int32_t>(std::trunc(quociente));
        }
        caixa.Linhas = (n + cols - 1) / cols;
        caixa.Altura =
            FAIXA_DO_TITULO_DA_CAIXA + caixa.Linhas * caixa.AlturaLinha + FUNDO_DA_CAIXA_ABAIXO;
        if (caixa.Altura > AAlturaMax) {
            continue;
        }
        // The same rows, filled as evenly as they can be.
        caixa.PorLinha = (n + caixa.Linhas - 1) / caixa.Linhas;
        const double colunas = LarguraDasColunas(caixa, caixa.PorLinha) + 2 * MARGEM_DA_CAIXA;
        caixa.Largura = std::min(std::max({colunas, titulo, LARGURA_MINIMA_DA_CAIXA}), ALarguraMax);
        ACaixa = caixa;
        return true;
    }
    return false;
}

double DesenharCaixaNumeros(IVeltCanvas& Canvas, double X, double Y, const TCaixaNumeros& ACaixa,
                            std::span<const int32_t> ANumeros) {
    const TEstiloTexto estilo = EstiloNaCaixa(ACaixa.TamanhoPt);
    const double h = AlturaDe(Canvas, estilo);
    Canvas.Rectangulo(X, Y, ACaixa.Largura, ACaixa.Altura, TRACO_DA_CAIXA, PRETO, SEM_COR);
    Escrever(Canvas, X + ACaixa.Largura / 2, Y + 1.2, TITULO_DA_CAIXA, ESTILO_TITULO_DA_CAIXA);
    // The columns as a block centred in the box; a short last row fills its first columns.
    const double esquerda = X + (ACaixa.Largura - LarguraDasColunas(ACaixa, ACaixa.PorLinha)) / 2;
    const auto n = static_cast<int32_t>(ANumeros.size());
    for (int32_t i = 0; i < n && ACaixa.PorLinha > 0; ++i) {
        const int32_t j = i / ACaixa.PorLinha;
        const int32_t k = i % ACaixa.PorLinha;
        Escrever(Canvas, esquerda + k * (ACaixa.Coluna + ACaixa.Intervalo) + ACaixa.Coluna,
                 Y + FAIXA_DO_TITULO_DA_CAIXA + j * ACaixa.AlturaLinha +
                     (ACaixa.AlturaLinha - h) / 2,
                 std::to_string(ANumeros[static_cast<size_t>(i)]), estilo);
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
        const auto indice = static_cast<int32_t>(p);
        const TPuzzle& puzzle = FLivro.Puzzles[static_cast<size_t>(p)].Puzzle;
        const double c = TOPO_TITULO + ALTURA_DO_LUGAR * k;

        const int32_t solucao = PaginaDaSolucao(indice);
        DesenharTituloLigado(Canvas, L, c, Formatar("%.3d", indice + 1), ESTILO_NUMERO_DO_PUZZLE,
                             solucao > 0 ? Formatar("Solução na página %d", solucao) : "",
                             DestinoDoPuzzle(indice), DestinoDaSolucao(indice));
        Escrever(Canvas, CENTRO_PAGINA, c + 0.6, TextoTamanho(N), ESTILO_ORDEM_DO_PUZZLE);
        DesenharEstrelas(Canvas, R, c + 0.2, puzzle.Nivel);

        double x = L;
        for (const TPictograma pc : PictogramasDoTamanho(N)) {
            DesenharPictograma(Canvas, pc, x, c + 10.5);
            x += 24;
        }
        Escrever(Canvas, R, c + 10.5 + (14 - AlturaDe(Canvas, ESTILO_SOMAS_DO_PUZZLE)) / 2,
                 TextoSomas(N), ESTILO_SOMAS_DO_PUZZLE);

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
