#include "composition/dicas.h"
#include "composition/paginas.h"

#include "content/paleta.h"
#include "drawing/pagina.h"
#include "generation/niveis.h"

#include <algorithm>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

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
// Beside the grid (the small orders) the column starts this far right of it; under the grid
// (the others, and the small orders once the column is past the grid), this far below it.
constexpr double ESPACO_AO_LADO = 6;
constexpr double ESPACO_POR_BAIXO = 3;
// A hint's number stands right-aligned before its text, the texts of all hints in one column;
// the mark of a key hint just before its number. A narrowing too long for its line goes on
// this much further in, so each narrowing of a list hint opens a line of its own at the text's
// edge.
const std::string NUMERO_MAIS_LARGO = "12.";
constexpr double ESPACO_DA_MARCA = 0.8;
constexpr double RECUO_DA_CONTINUACAO = 3;

// The book's example on the second rules page: at most this many first moves of puzzle 001,
// under a title this far below the page's text, each part under its line, the parts this far
// apart, all above this height.
constexpr int32_t PASSOS_DO_EXEMPLO = 3;
// The list step is looked for in at most this many puzzles that take one.
constexpr int32_t LISTAS_TENTADAS = 10;
constexpr double ESPACO_ANTES_DO_EXEMPLO = 2;
constexpr double ALTURA_DO_TITULO_DO_EXEMPLO = 7.5;
constexpr double ESPACO_ENTRE_EXEMPLOS = 0.6;
constexpr double FUNDO_DO_EXEMPLO = TOPO_RODAPE - 5;

// The grey closing line stands this much lower than a hint line would. It says that the reader
// finishes the grid alone, which holds once every key hint is shown.
constexpr double ESPACO_DO_FECHO = 1;
const std::string FECHO_DAS_DICAS = "O resto resulta de leis com uma só casa vazia.";

// Widths of the hints' texts, each measured once: the hints of a solution are laid out again
// and again while they are chosen.
class TMedidaDasDicas {
  public:
    explicit TMedidaDasDicas(IVeltCanvas& ACanvas) : FCanvas(ACanvas) {}
    double Largura(const std::string& ATexto) {
        const auto [it, novo] = FLarguras.try_emplace(ATexto, 0.0);
        if (novo) {
            it->second = FCanvas.LarguraTexto(ATexto, TAMANHO_DICA, false);
        }
        return it->second;
    }
    double Altura() { return FCanvas.AlturaTexto(TAMANHO_DICA); }

  private:
    IVeltCanvas& FCanvas;
    std::unordered_map<std::string, double> FLarguras;
};

// Where the hints of a solution go: lines ALTURA_LINHA_DICA apart from Topo, each beside the
// grid (from X, Largura wide) until a line's top reaches Sob, then under it (from XSob,
// LarguraSob wide), down to Fundo.
struct TLugarDasDicas {
    double X = 0, Largura = 0;
    double Topo = 0, Sob = 0, Fundo = 0;
    double XSob = 0, LarguraSob = 0;
};

// One text of the column as laid out: a hint's number, its mark, a line of its text, the
// closing line; the book's example on the rules page adds its title and a line over each of
// its parts.
enum class TPecaDaColuna : uint8_t { pcNumero, pcMarca, pcTexto, pcFecho, pcTitulo, pcSobre };
struct TTextoPosto {
    TPecaDaColuna Peca = TPecaDaColuna::pcTexto;
    double X = 0, Y = 0;
    std::string Texto;
};

// The hints of a solution laid out: every text, and whether they all fit above Fundo.
struct TDisposicao {
    std::vector<TTextoPosto> Textos;
    bool Cabe = true;
};

// A sign of a sum: it keeps the words on both sides of it on its line.
bool ESinal(const std::string& APalavra) {
    return APalavra == "=" || APalavra == "+" || APalavra == "\u2212" || APalavra == "/" ||
           APalavra == "\u00D7";
}

// A narrowing breaks between its laws ("; ", and after "lista:"); a part too wide for a line
// breaks at its blanks, but never beside a sign, so no line starts or ends in the middle of a
// sum ("L1C4 + L8C3 = 57", "2 × 2") and only a hint's or a narrowing's first line starts with a
// cell and its number.
std::vector<std::string> PecasDoTexto(TMedidaDasDicas& AMedida, const std::string& ATexto,
                                      double ALargura) {
    std::vector<std::string> pecas;
    auto juntar = [&](const std::string& AParte) {
        if (AMedida.Largura(AParte) <= ALargura) {
            pecas.push_back(AParte);
            return;
        }
        bool colar = false;
        size_t i = 0;
        for (;;) {
            const size_t b = AParte.find(' ', i);
            const std::string palavra = AParte.substr(i, b == std::string::npos ? b : b - i);
            const bool sinal = ESinal(palavra);
            if (!pecas.empty() && (colar || sinal) && i > 0) {
                pecas.back() += " " + palavra;
            } else {
                pecas.push_back(palavra);
            }
            colar = sinal;
            if (b == std::string::npos) {
                break;
            }
            i = b + 1;
        }
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
    return pecas;
}

class TColunaDeDicas {
  public:
    TColunaDeDicas(TMedidaDasDicas& AMedida, const TLugarDasDicas& ALugar)
        : FMedida(AMedida), FLugar(ALugar), FTexto(AMedida.Largura(NUMERO_MAIS_LARGO + " ")),
          FNumero(AMedida.Largura(NUMERO_MAIS_LARGO)) {}

    // The hints in turn, numbered from APrimeiroNumero (0: no numbers), the first ANumIniciais
    // unmarked, then, with AFecho, the closing line unless the hints fill the grid.
    TDisposicao Dispor(const TSolverDeducao& ASolver, const TPuzzle& APuzzle,
                       std::span<const TDica> ADicas, size_t ANumIniciais, bool AFecho,
                       int32_t APrimeiroNumero = 1) {
        TDisposicao r;
        size_t linha = 0;
        for (size_t k = 0; k < ADicas.size(); ++k) {
            bool primeiro = true;
            for (const std::string& texto : TextosDaDica(ASolver, APuzzle.Solucao, ADicas[k])) {
                const std::vector<std::string> linhas = Quebrar(texto, linha);
                if (primeiro && APrimeiroNumero > 0) {
                    const TLugar lugar = Lugar(linha);
                    const std::string numero =
                        std::to_string(static_cast<size_t>(APrimeiroNumero) + k) + ".";
                    const double xNumero = lugar.X + FNumero;
                    r.Textos.push_back({TPecaDaColuna::pcNumero, xNumero, lugar.Y, numero});
                    if (k >= ANumIniciais) {
                        r.Textos.push_back({TPecaDaColuna::pcMarca,
                                            xNumero - FMedida.Largura(numero) - ESPACO_DA_MARCA,
                                            lugar.Y, MARCA_DA_DICA_CHAVE});
                    }
                    primeiro = false;
                }
                for (size_t i = 0; i < linhas.size(); ++i) {
                    const TLugar lugar = Lugar(linha++);
                    r.Textos.push_back({TPecaDaColuna::pcTexto,
                                        lugar.X + FTexto + (i > 0 ? RECUO_DA_CONTINUACAO : 0),
                                        lugar.Y, linhas[i]});
                }
            }
        }
        if (AFecho && !ADicas.empty() && !DicasBastam(APuzzle.Dados, ADicas)) {
            const TLugar lugar = Lugar(linha++);
            r.Textos.push_back(
                {TPecaDaColuna::pcFecho, lugar.X, lugar.Y + ESPACO_DO_FECHO, FECHO_DAS_DICAS});
        }
        if (linha > 0) {
            r.Cabe = r.Textos.back().Y + FMedida.Altura() <= FLugar.Fundo;
        }
        return r;
    }

    // How many lines a hint takes from the column's first line: how long it is beside the
    // grid, to weigh one hint against another.
    int32_t LinhasDa(const TSolverDeducao& ASolver, const TPuzzle& APuzzle, const TDica& ADica) {
        size_t linha = 0;
        for (const std::string& texto : TextosDaDica(ASolver, APuzzle.Solucao, ADica)) {
            linha += Quebrar(texto, linha).size();
        }
        return static_cast<int32_t>(linha);
    }

  private:
    struct TLugar {
        double X = 0, Y = 0, Largura = 0;
    };

    TLugar Lugar(size_t ALinha) const {
        const double y = FLugar.Topo + ALTURA_LINHA_DICA * static_cast<double>(ALinha);
        if (y < FLugar.Sob) {
            return {FLugar.X, y, FLugar.Largura};
        }
        return {FLugar.XSob, y, FLugar.LarguraSob};
    }

    // The lines of one text of a hint from line ALinha on, each as wide as its place lets it:
    // the first from the texts' edge, the others further in.
    std::vector<std::string> Quebrar(const std::string& ATexto, size_t ALinha) {
        const double menor =
            std::min(FLugar.Largura, FLugar.LarguraSob) - FTexto - RECUO_DA_CONTINUACAO;
        std::vector<std::string> linhas;
        std::string atual;
        for (const std::string& peca : PecasDoTexto(FMedida, ATexto, menor)) {
            const std::string candidata = atual.empty() ? peca : atual + " " + peca;
            const double limite = Lugar(ALinha + linhas.size()).Largura - FTexto -
                                  (linhas.empty() ? 0 : RECUO_DA_CONTINUACAO);
            if (!atual.empty() && FMedida.Largura(candidata) > limite) {
                linhas.push_back(atual);
                atual = peca;
            } else {
                atual = candidata;
            }
        }
        linhas.push_back(atual);
        return linhas;
    }

    TMedidaDasDicas& FMedida;
    TLugarDasDicas FLugar;
    double FTexto;  // from a line's edge to its text
    double FNumero; // from a line's edge to the right end of the widest number
};

// The hints of a solution as printed: those chosen for the room of their column, and how they
// are laid out there. Should they still not fit (numbers revealed alone may not), those that do
// are shown and nothing is said of the rest.
struct TDicasPostas {
    TDicas Dicas;
    TDisposicao Disposicao;
};

TDicasPostas DicasQueCabem(IVeltCanvas& Canvas, const TSolverDeducao& ASolver,
                           const TPuzzle& APuzzle, const TLugarDasDicas& ALugar) {
    TMedidaDasDicas medida(Canvas);
    TColunaDeDicas coluna(medida, ALugar);
    TEspacoDasDicas espaco;
    espaco.Cabem = [&](std::span<const TDica> ADicas) {
        return coluna.Dispor(ASolver, APuzzle, ADicas, 0, true).Cabe;
    };
    espaco.LinhasDa = [&](const TDica& ADica) { return coluna.LinhasDa(ASolver, APuzzle, ADica); };
    TDicasPostas r;
    r.Dicas = EscolherDicas(ASolver, APuzzle.Dados, APuzzle.Solucao, APuzzle.Resultado.Passos,
                            DICAS_POR_SOLUCAO, &espaco);
    const auto iniciais = static_cast<size_t>(r.Dicas.NumIniciais);
    r.Disposicao = coluna.Dispor(ASolver, APuzzle, r.Dicas.Dicas, iniciais, true);
    while (!r.Disposicao.Cabe && !r.Dicas.Dicas.empty()) {
        r.Dicas.Dicas.pop_back();
        r.Dicas.NumIniciais =
            std::min(r.Dicas.NumIniciais, static_cast<int32_t>(r.Dicas.Dicas.size()));
        r.Disposicao = coluna.Dispor(ASolver, APuzzle, r.Dicas.Dicas, iniciais, false);
    }
    return r;
}

const TEstiloTexto& EstiloDa(TPecaDaColuna APeca) {
    switch (APeca) {
    case TPecaDaColuna::pcNumero:
        return ESTILO_NUMERO_DA_DICA;
    case TPecaDaColuna::pcMarca:
        return ESTILO_MARCA_DA_DICA;
    case TPecaDaColuna::pcTexto:
        break;
    case TPecaDaColuna::pcFecho:
        return ESTILO_FECHO_DAS_DICAS;
    case TPecaDaColuna::pcTitulo:
        return ESTILO_SUBTITULO;
    case TPecaDaColuna::pcSobre:
        return ESTILO_GUIA;
    }
    return ESTILO_DICA;
}

void Desenhar(IVeltCanvas& Canvas, const TDisposicao& ADisposicao) {
    for (const TTextoPosto& t : ADisposicao.Textos) {
        Escrever(Canvas, t.X, t.Y, t.Texto, EstiloDa(t.Peca));
    }
}

// The hint column of a solution slot with hints, its top-left corner at (X, Y), ALargura
// wide: beside the grid for the small orders, then under it once past it; under it for the
// others; down to the next slot (a lone solution has two slots' height).
TLugarDasDicas LugarDasDicas(int32_t N, double X, double Y, double ALargura) {
    const double s = LadoSolucao(N, true);
    const double G = X + FAIXA_COORDENADAS;
    const double T = Y + 8;
    TLugarDasDicas r;
    r.X = N <= 8 ? G + s + ESPACO_AO_LADO : G;
    r.Largura = X + ALargura - r.X;
    r.XSob = G;
    r.LarguraSob = X + ALargura - G;
    r.Sob = T + s + ESPACO_POR_BAIXO;
    r.Topo = N <= 8 ? T : r.Sob;
    r.Fundo = Y + ALTURA_DA_SOLUCAO * (N <= 8 ? 1 : 2) - FOLGA_DAS_DICAS;
    return r;
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

    const TDicasPostas postas =
        DicasQueCabem(Canvas, SolverDoLivro(), puzzle, LugarDasDicas(N, X, Y, ALargura));
    Desenhar(Canvas, postas.Disposicao);
}

TDicas TCompositorLivro::DicasDaSolucao(IVeltCanvas& Canvas, int32_t AIndice) {
    const TPuzzle& puzzle = FLivro.Puzzles[static_cast<size_t>(AIndice)].Puzzle;
    return DicasQueCabem(
               Canvas, SolverDoLivro(), puzzle,
               LugarDasDicas(puzzle.N, MARGEM_ESQUERDA, TOPO_DAS_SOLUCOES, LARGURA_COLUNA))
        .Dicas;
}

void TCompositorLivro::DesenharExemplo(IVeltCanvas& Canvas, double Y,
                                       const TPuzzleAChegar& AChegar) {
    const auto P = static_cast<int32_t>(FLivro.Puzzles.size());
    if (P == 0) {
        return;
    }
    Receber(1, AChegar);
    const bool comDicas = FLivro.Config.Caminho;
    const TDicas dicas001 = DicasDaSolucao(Canvas, 0);
    const auto iniciais = static_cast<size_t>(std::min(dicas001.NumIniciais, PASSOS_DO_EXEMPLO));
    const std::vector<TDica> passos(dicas001.Dicas.begin(),
                                    dicas001.Dicas.begin() + static_cast<std::ptrdiff_t>(iniciais));

    // The example with n moves and, from puzzle ADaLista unless negative, the list hint that
    // is its solution's hint number ANumero.
    TMedidaDasDicas medida(Canvas);
    const auto dispor = [&](size_t n, int32_t ADaLista, const TDica& ALista, int32_t ANumero) {
        std::vector<TTextoPosto> textos;
        double y = Y + ESPACO_ANTES_DO_EXEMPLO;
        textos.push_back({TPecaDaColuna::pcTitulo, MARGEM_ESQUERDA, y, "Exemplos deste livro"});
        y += ALTURA_DO_TITULO_DO_EXEMPLO;
        const auto parte = [&](const std::string& ASobre, int32_t AIndice,
                               std::span<const TDica> ADicas, size_t AIniciais,
                               int32_t APrimeiroNumero) {
            textos.push_back({TPecaDaColuna::pcSobre, MARGEM_ESQUERDA, y, ASobre});
            TLugarDasDicas lugar;
            lugar.X = lugar.XSob = MARGEM_ESQUERDA + FAIXA_COORDENADAS;
            lugar.Largura = lugar.LarguraSob = MARGEM_DIREITA - lugar.X;
            lugar.Topo = lugar.Sob = y + ALTURA_LINHA_DICA;
            lugar.Fundo = FUNDO_DO_EXEMPLO;
            TColunaDeDicas coluna(medida, lugar);
            const TDisposicao d =
                coluna.Dispor(SolverDoLivro(), FLivro.Puzzles[static_cast<size_t>(AIndice)].Puzzle,
                              ADicas, AIniciais, false, comDicas ? APrimeiroNumero : 0);
            textos.insert(textos.end(), d.Textos.begin(), d.Textos.end());
            y = textos.back().Y + ALTURA_LINHA_DICA + ESPACO_ENTRE_EXEMPLOS;
        };
        if (n > 0) {
            parte(comDicas ? Formatar("Puzzle 001, os primeiros passos (dicas da solução, na "
                                      "página %d):",
                                      PaginaDaSolucao(0))
                           : "Puzzle 001, os primeiros passos:",
                  0, std::span(passos).first(n), n, 1);
        }
        if (ADaLista >= 0) {
            parte(comDicas ? Formatar("Puzzle %.3d, um passo da lista (dica %d da solução, na "
                                      "página %d):",
                                      ADaLista + 1, ANumero, PaginaDaSolucao(ADaLista))
                           : Formatar("Puzzle %.3d, um passo da lista:", ADaLista + 1),
                  ADaLista, std::span(&ALista, 1), comDicas ? 0 : 1, ANumero);
        }
        return textos;
    };
    const auto cabe = [&](const std::vector<TTextoPosto>& ATextos) {
        return ATextos.size() > 1 && ATextos.back().Y + medida.Altura() <= FUNDO_DO_EXEMPLO;
    };

    // The moves and a list step, of the first puzzle that takes one (whose solution's hints
    // do) and whose list step fits under the moves, in the fewest narrowings of its puzzle;
    // the moves give way from the last. Where no list step fits, the moves alone.
    int32_t tentados = 0;
    for (int32_t p = 0; p < P && tentados < LISTAS_TENTADAS; ++p) {
        if (static_cast<size_t>(p) < FLivro.Plano.size() &&
            !NivelComLista(FLivro.Plano[static_cast<size_t>(p)])) {
            continue;
        }
        Receber(p + 1, AChegar);
        const TDicas dicas = p == 0 ? dicas001 : DicasDaSolucao(Canvas, p);
        const TDica* lista = nullptr;
        int32_t numero = 0;
        for (size_t k = 0; k < dicas.Dicas.size(); ++k) {
            const TDica& d = dicas.Dicas[k];
            if (d.Tipo == TTipoDica::tdLista &&
                (lista == nullptr || d.Cadeia.size() < lista->Cadeia.size())) {
                lista = &d;
                numero = static_cast<int32_t>(k) + 1;
            }
        }
        if (lista == nullptr) {
            continue;
        }
        ++tentados;
        for (size_t n = passos.size();; --n) {
            const std::vector<TTextoPosto> textos = dispor(n, p, *lista, numero);
            if (cabe(textos)) {
                Desenhar(Canvas, {textos, true});
                return;
            }
            if (n <= 1) {
                break;
            }
        }
    }
    for (size_t n = passos.size(); n > 0; --n) {
        const std::vector<TTextoPosto> textos = dispor(n, -1, {}, 0);
        if (cabe(textos)) {
            Desenhar(Canvas, {textos, true});
            return;
        }
    }
}

} // namespace tavrelo
