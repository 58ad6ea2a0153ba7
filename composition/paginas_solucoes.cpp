#include "composition/dicas.h"
#include "composition/paginas.h"

#include "drawing/pagina.h"

namespace tavrelo {

namespace {

constexpr double ALTURA_LINHA_DICA = 4.6;

} // namespace

double LadoSolucao(int32_t N, bool AComDicas) {
    if (N <= 8) {
        return 74;
    }
    return AComDicas ? 120 : 112;
}

void TCompositorLivro::DesenharSolucoes(IVeltCanvas& Canvas, const TDescPagina& APagina) {
    const int32_t N = FLivro.Config.N;
    const bool dicas = FLivro.Config.Caminho;
    Canvas.Texto(CENTRO_PAGINA, TOPO_TITULO, "Soluções", 16, true, 0, TAlinhamento::alCentro);
    const int32_t k = SolucoesPorPagina(N, dicas);
    for (int32_t i = 0; i < k; ++i) {
        const int64_t p = int64_t{APagina.Primeiro} + i;
        if (p < 0 || p >= static_cast<int64_t>(FLivro.Puzzles.size())) {
            break;
        }
        double X = MARGEM_ESQUERDA;
        double Y = 30 + 121 * i;
        double W = LARGURA_COLUNA;
        if (k == 4) {
            W = LARGURA_COLUNA / 2;
            X = MARGEM_ESQUERDA + W * (i % 2);
            Y = 30 + 121 * (i / 2);
        }
        DesenharSolucao(Canvas, static_cast<int32_t>(p), X, Y, W);
    }
    DesenharRodape(Canvas, APagina.Numero);
}

void TCompositorLivro::DesenharSolucao(IVeltCanvas& Canvas, int32_t AIndice, double X, double Y,
                                       double ALargura) {
    const TPuzzle& puzzle = FLivro.Puzzles[static_cast<size_t>(AIndice)].Puzzle;
    const int32_t N = puzzle.N;
    const bool dicas = FLivro.Config.Caminho;
    const double s = LadoSolucao(N, dicas);
    const double G = dicas ? X : X + (ALargura - s) / 2;

    const std::string titulo = Formatar("Puzzle %.3d", AIndice + 1);
    DesenharTituloLigado(Canvas, G, Y, titulo, 11, DestinoDaSolucao(AIndice),
                         DestinoDoPuzzle(AIndice));
    Canvas.Texto(G + Canvas.LarguraTexto(titulo, 11, true) + 6,
                 Y + (Canvas.AlturaTexto(11) - Canvas.AlturaTexto(9.5)) / 2, TextoSomas(N), 9.5,
                 false, 128, TAlinhamento::alEsquerda);

    const double T = Y + 7;
    DesenharGrelha(Canvas, N, puzzle.Dados, puzzle.Solucao, G, T, s, true, TamanhoNumeros(N, s));
    if (!dicas) {
        return;
    }

    const double hx = N <= 8 ? X + s + 6 : X;
    const double hy = N <= 8 ? T : T + s + 3;
    TSolverDeducao& solver = SolverDoLivro();
    const std::vector<TPassoDeducao>& passos = puzzle.Resultado.Passos;
    const std::vector<int32_t> D =
        EscolherDicas(solver, puzzle.Dados, passos, DICAS_POR_SOLUCAO, CentroDaGrelha(N));
    for (size_t i = 0; i < D.size(); ++i) {
        const std::string linha =
            std::to_string(i + 1) + ". " +
            TextoDica(solver, puzzle.Solucao, passos[static_cast<size_t>(D[i])]);
        Canvas.Texto(hx, hy + ALTURA_LINHA_DICA * static_cast<double>(i), linha, 9.5, false, 0,
                     TAlinhamento::alEsquerda);
    }
    if (passos.size() > D.size()) {
        Canvas.Texto(hx, hy + ALTURA_LINHA_DICA * static_cast<double>(D.size()) + 1,
                     "Os restantes números resultam do mesmo modo.", 9.5, false, 128,
                     TAlinhamento::alEsquerda);
    }
}

} // namespace tavrelo
