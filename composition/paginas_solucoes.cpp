#include "composition/dicas.h"
#include "composition/paginas.h"

#include "content/paleta.h"
#include "drawing/pagina.h"

#include <algorithm>

namespace tavrelo {

namespace {

// The slots of a solutions page start at this height, each this high.
constexpr double TOPO_DAS_SOLUCOES = 30;
constexpr double ALTURA_DA_SOLUCAO = 121;

// The hints: their size, the distance from one line to the next, and the room kept free
// above the next slot's title.
constexpr double TAMANHO_DICA = ESTILO_DICA.TamanhoPt;
constexpr double ALTURA_LINHA_DICA = 4.6;
constexpr double FOLGA_DAS_DICAS = 3;

// The grey closing line stands this much lower than a hint line would. It says that the reader
// finishes the grid alone, which holds once every key step is shown.
constexpr double ESPACO_DO_FECHO = 1;
const std::string FECHO_DAS_DICAS = "O resto resulta de leis com uma só casa vazia.";

// The lines of one hint within ALargura: the first from the hint's number, the others
// ARecuo further in, under its text. A list hint breaks between its laws; a part still too
// wide for a line breaks at its blanks.
std::vector<std::string> LinhasDaDica(IVeltCanvas& Canvas, const std::string& ATexto,
                                      double ALargura, double ARecuo) {
    std::vector<std::string> pecas;
    auto juntar = [&](const std::string& AParte) {
        if (Canvas.LarguraTexto(AParte, TAMANHO_DICA, false) <= ALargura - ARecuo) {
            pecas.push_back(AParte);
            return;
        }
        size_t i = 0;
        for (size_t b = AParte.find(' '); b != std::string::npos; b = AParte.find(' ', i)) {
            pecas.push_back(AParte.substr(i, b - i));
            i = b + 1;
        }
        pecas.push_back(AParte.substr(i));
    };
    size_t inicio = 0;
    for (;;) {
        const size_t fim = std::min(ATexto.find("; ", inicio), ATexto.find(": ", inicio));
        if (fim == std::string::npos) {
            juntar(ATexto.substr(inicio));
            break;
        }
        juntar(ATexto.substr(inicio, fim + 1 - inicio));
        inicio = fim + 2;
    }
    std::vector<std::string> linhas;
    std::string atual;
    for (const std::string& peca : pecas) {
        const std::string candidata = atual.empty() ? peca : atual + " " + peca;
        const double limite = linhas.empty() ? ALargura : ALargura - ARecuo;
        if (!atual.empty() && Canvas.LarguraTexto(candidata, TAMANHO_DICA, false) > limite) {
            linhas.push_back(atual);
            atual = peca;
        } else {
            atual = candidata;
        }
    }
    linhas.push_back(atual);
    return linhas;
}

// One hint laid out: its lines, the first from the hint's number, the others Recuo further in.
struct TDicaPosta {
    std::vector<std::string> Linhas;
    double Recuo = 0;
};

// The hints of one solution as laid out in their column, then the closing line's lines (none
// when the hints fill the grid alone).
struct TColunaDeDicas {
    std::vector<TDicaPosta> Dicas;
    std::vector<std::string> Fecho;
};

TColunaDeDicas Dispor(IVeltCanvas& Canvas, const TSolverDeducao& ASolver, const TPuzzle& APuzzle,
                      const std::vector<TDica>& ADicas, double ALargura) {
    TColunaDeDicas r;
    for (size_t i = 0; i < ADicas.size(); ++i) {
        const std::string numero = std::to_string(i + 1) + ". ";
        const double recuo = Canvas.LarguraTexto(numero, TAMANHO_DICA, false);
        r.Dicas.push_back(
            {LinhasDaDica(Canvas, numero + TextoDica(ASolver, APuzzle.Solucao, ADicas[i]), ALargura,
                          recuo),
             recuo});
    }
    if (!ADicas.empty() && !DicasBastam(APuzzle.Dados, ADicas)) {
        r.Fecho = LinhasDaDica(Canvas, FECHO_DAS_DICAS, ALargura, 0);
    }
    return r;
}

// From the top of the first line to the foot of the last.
double Altura(IVeltCanvas& Canvas, const TColunaDeDicas& AColuna) {
    size_t linhas = AColuna.Fecho.size();
    for (const TDicaPosta& d : AColuna.Dicas) {
        linhas += d.Linhas.size();
    }
    if (linhas == 0) {
        return 0;
    }
    return ALTURA_LINHA_DICA * static_cast<double>(linhas - 1) + Canvas.AlturaTexto(TAMANHO_DICA) +
           (AColuna.Fecho.empty() ? 0 : ESPACO_DO_FECHO);
}

// The hints laid out within ALargura × AAltura. Where they do not fit, the starters give way
// from the last of them: each starter follows from those above it and the key steps from the
// reader's own steps, so what is left still holds. Should the key steps alone not fit, those
// that do are shown and nothing is said of the rest.
TColunaDeDicas DicasQueCabem(IVeltCanvas& Canvas, const TSolverDeducao& ASolver,
                             const TPuzzle& APuzzle, const TDicas& AEscolha, double ALargura,
                             double AAltura) {
    std::vector<TDica> dicas = AEscolha.Dicas;
    int32_t iniciais = AEscolha.NumIniciais;
    for (;;) {
        TColunaDeDicas coluna = Dispor(Canvas, ASolver, APuzzle, dicas, ALargura);
        if (Altura(Canvas, coluna) <= AAltura) {
            return coluna;
        }
        if (iniciais == 0) {
            coluna.Fecho.clear();
            while (!coluna.Dicas.empty() && Altura(Canvas, coluna) > AAltura) {
                coluna.Dicas.pop_back();
            }
            return coluna;
        }
        dicas.erase(dicas.begin() + (iniciais - 1));
        --iniciais;
    }
}

} // namespace

double LadoSolucao(int32_t N, bool AComDicas) {
    if (N <= 8) {
        return 74;
    }
    return AComDicas ? 120 : 110;
}

void TCompositorLivro::DesenharSolucoes(IVeltCanvas& Canvas, const TDescPagina& APagina) {
    const int32_t N = FLivro.Config.N;
    const bool dicas = FLivro.Config.Caminho;
    Escrever(Canvas, CENTRO_PAGINA, TOPO_TITULO, "Soluções", ESTILO_CABECALHO_DAS_SOLUCOES);
    const int32_t k = SolucoesPorPagina(N, dicas);
    for (int32_t i = 0; i < k; ++i) {
        const int64_t p = int64_t{APagina.Primeiro} + i;
        if (p < 0 || p >= static_cast<int64_t>(FLivro.Puzzles.size())) {
            break;
        }
        double X = MARGEM_ESQUERDA;
        double Y = TOPO_DAS_SOLUCOES + ALTURA_DA_SOLUCAO * i;
        double W = LARGURA_COLUNA;
        if (k == 4) {
            W = LARGURA_COLUNA / 2;
            X = MARGEM_ESQUERDA + W * (i % 2);
            Y = TOPO_DAS_SOLUCOES + ALTURA_DA_SOLUCAO * (i / 2);
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
    // With hints the grid stands at the left of the slot, its row numbers in the strip
    // before it; without, it is centred.
    const double G = dicas ? X + FAIXA_COORDENADAS : X + (ALargura - s) / 2;

    // The title, the page of the puzzle beside it, then the sums.
    const int32_t doPuzzle = PaginaDoPuzzle(AIndice);
    const double fim = DesenharTituloLigado(Canvas, G, Y, Formatar("Puzzle %.3d", AIndice + 1),
                                            ESTILO_TITULO_DA_SOLUCAO,
                                            doPuzzle > 0 ? Formatar("(página %d)", doPuzzle) : "",
                                            DestinoDaSolucao(AIndice), DestinoDoPuzzle(AIndice));
    Escrever(Canvas, fim + 6, YAoLado(Canvas, Y, ESTILO_TITULO_DA_SOLUCAO, ESTILO_SOMAS_DA_SOLUCAO),
             TextoSomas(N), ESTILO_SOMAS_DA_SOLUCAO);

    // The column numbers stand between the title and the grid.
    const double T = Y + 8;
    DesenharGrelha(Canvas, N, puzzle.Dados, puzzle.Solucao, G, T, s, true, TamanhoNumeros(N, s));
    if (!dicas) {
        return;
    }

    // The hint column: beside the grid for the small orders, under it for the others, down
    // to the next slot (a lone solution has two slots' height).
    const double hx = N <= 8 ? G + s + 6 : G;
    const double hy = N <= 8 ? T : T + s + 3;
    const double fundo = Y + ALTURA_DA_SOLUCAO * (N <= 8 ? 1 : 2) - FOLGA_DAS_DICAS;
    const TSolverDeducao& solver = SolverDoLivro();
    const TDicas escolha = EscolherDicas(solver, puzzle.Dados, puzzle.Solucao,
                                         puzzle.Resultado.Passos, DICAS_POR_SOLUCAO);
    const TColunaDeDicas coluna =
        DicasQueCabem(Canvas, solver, puzzle, escolha, X + ALargura - hx, fundo - hy);
    double y = hy;
    for (const TDicaPosta& dica : coluna.Dicas) {
        for (size_t i = 0; i < dica.Linhas.size(); ++i) {
            Escrever(Canvas, i == 0 ? hx : hx + dica.Recuo, y, dica.Linhas[i], ESTILO_DICA);
            y += ALTURA_LINHA_DICA;
        }
    }
    for (const std::string& linha : coluna.Fecho) {
        Escrever(Canvas, hx, y + ESPACO_DO_FECHO, linha, ESTILO_FECHO_DAS_DICAS);
        y += ALTURA_LINHA_DICA;
    }
}

} // namespace tavrelo
