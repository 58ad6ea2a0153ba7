#include "composition/paginas.h"

#include "composition/editorial.h"
#include "content/diagramas.h"
#include "content/paleta.h"
#include "content/regras.h"
#include "drawing/pagina.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

namespace tavrelo {

TCompositorLivro::TCompositorLivro(const TLivro& ALivro, const TInfoLivro& AInfo)
    : FLivro(ALivro), FInfo(AInfo) {
    PlanearPaginas();
}

TCompositorLivro::~TCompositorLivro() = default;

int32_t TCompositorLivro::NumPaginas() const {
    return static_cast<int32_t>(FPaginas.size());
}

const std::vector<TDescPagina>& TCompositorLivro::Paginas() const {
    return FPaginas;
}

void TCompositorLivro::AdicionarPagina(TTipoPagina ATipo, int32_t APrimeiro) {
    FPaginas.push_back(TDescPagina{ATipo, APrimeiro, 0});
}

// A part title must stand on an odd (right-hand) page.
void TCompositorLivro::CompletarPar() {
    if (FPaginas.size() % 2 != 0) {
        AdicionarPagina(TTipoPagina::pgBranco, 0);
    }
}

void TCompositorLivro::PlanearPaginas() {
    FPaginas.clear();
    const int32_t N = FLivro.Config.N;
    const auto P = static_cast<int32_t>(FLivro.Puzzles.size());

    AdicionarPagina(TTipoPagina::pgCapa, 0);
    AdicionarPagina(TTipoPagina::pgVerso, 0);
    AdicionarPagina(TTipoPagina::pgRegras, 0);
    AdicionarPagina(TTipoPagina::pgRegras, 1);
    AdicionarPagina(TTipoPagina::pgDiagramas, 0);
    AdicionarPagina(TTipoPagina::pgDiagramas, 1);

    CompletarPar();
    AdicionarPagina(TTipoPagina::pgSeparador, 0);
    AdicionarPagina(TTipoPagina::pgSimbolo, 0);
    const int32_t k = std::max(1, GeometriaPuzzles(N).PorPagina);
    for (int32_t s = 0; s < P; s += k) {
        AdicionarPagina(TTipoPagina::pgPuzzles, s);
    }

    CompletarPar();
    AdicionarPagina(TTipoPagina::pgSeparador, 1);
    AdicionarPagina(TTipoPagina::pgSimbolo, 1);
    const int32_t m = std::max(1, SolucoesPorPagina(N, FLivro.Config.Caminho));
    for (int32_t s = 0; s < P; s += m) {
        AdicionarPagina(TTipoPagina::pgSolucoes, s);
    }

    AdicionarPagina(TTipoPagina::pgFicha, 0);

    // Unnumbered pages still count, so the first rules page is always page 3.
    for (size_t i = 1; i < FPaginas.size(); ++i) {
        const TTipoPagina t = FPaginas[i].Tipo;
        if (t != TTipoPagina::pgVerso && t != TTipoPagina::pgBranco &&
            t != TTipoPagina::pgSeparador && t != TTipoPagina::pgSimbolo) {
            FPaginas[i].Numero = static_cast<int32_t>(i) + 1;
        }
    }
}

TLivro LivroAChegar(const TConfigLivro& AConfig) {
    TLivro livro;
    livro.Config = AConfig;
    livro.Codigo = CodigoDoLivro(AConfig.Semente);
    livro.Plano = PlanoDoLivro(AConfig);
    livro.Puzzles.resize(static_cast<size_t>(AConfig.NumPuzzles));
    return livro;
}

void TCompositorLivro::Receber(int32_t AAte, const TPuzzleAChegar& AChegar) {
    if (!AChegar) {
        return;
    }
    const int32_t ate = std::min(AAte, static_cast<int32_t>(FLivro.Puzzles.size()));
    for (; FRecebidos < ate; ++FRecebidos) {
        FLivro.Puzzles[static_cast<size_t>(FRecebidos)] = AChegar(FRecebidos);
    }
}

void TCompositorLivro::Compor(IDestinoPaginas& ADestino, const TPuzzleAChegar& AChegar) {
    const int32_t N = FLivro.Config.N;
    const auto P = static_cast<int32_t>(FLivro.Puzzles.size());
    // The outline: the parts of the book, each puzzle under "Puzzles" and each solution under
    // "Soluções". A part's entry opens the top of its first page.
    int32_t marcadorPuzzles = MARCADOR_DE_TOPO;
    int32_t marcadorSolucoes = MARCADOR_DE_TOPO;
    const auto parte = [&](IVeltCanvas& Canvas, const char* ANome, const char* ATitulo) {
        Canvas.Destino(ANome, 0, 0);
        return ADestino.Marcador(MARCADOR_DE_TOPO, ATitulo, ANome);
    };
    const auto umPorPuzzle = [&](const TDescPagina& APagina, int32_t APorPagina, int32_t APai,
                                 const std::string& ARotulo, std::string (*ADestinoDe)(int32_t)) {
        for (int32_t p = std::max(APagina.Primeiro, 0);
             p < std::min(APagina.Primeiro + APorPagina, P); ++p) {
            ADestino.Marcador(APai, ARotulo + Formatar("%.3d", p + 1), ADestinoDe(p));
        }
    };
    std::unique_ptr<IVeltCanvas> superficie;
    for (const TDescPagina& pagina : FPaginas) {
        superficie = ADestino.NovaPagina();
        if (!superficie) {
            throw EVelt("TCompositorLivro.Compor: o destino nao deu uma pagina");
        }
        IVeltCanvas& canvas = *superficie;
        const bool primeira = pagina.Primeiro == 0;
        switch (pagina.Tipo) {
        case TTipoPagina::pgCapa:
            parte(canvas, "capa", "Capa");
            break;
        case TTipoPagina::pgRegras:
            if (primeira) {
                parte(canvas, "regras", "Regras");
            }
            break;
        case TTipoPagina::pgDiagramas:
            if (primeira) {
                parte(canvas, "diagramas", "Diagramas");
            }
            break;
        case TTipoPagina::pgSeparador:
            if (primeira) {
                marcadorPuzzles = parte(canvas, "puzzles", "Puzzles");
            } else {
                marcadorSolucoes = parte(canvas, "solucoes", "Soluções");
            }
            break;
        case TTipoPagina::pgPuzzles:
            Receber(pagina.Primeiro + GeometriaPuzzles(N).PorPagina, AChegar);
            umPorPuzzle(pagina, GeometriaPuzzles(N).PorPagina, marcadorPuzzles, "Puzzle ",
                        DestinoDoPuzzle);
            break;
        case TTipoPagina::pgSolucoes:
            Receber(pagina.Primeiro + SolucoesPorPagina(N, FLivro.Config.Caminho), AChegar);
            umPorPuzzle(pagina, SolucoesPorPagina(N, FLivro.Config.Caminho), marcadorSolucoes,
                        "Solução ", DestinoDaSolucao);
            break;
        case TTipoPagina::pgFicha:
            parte(canvas, "ficha", "Ficha técnica");
            break;
        case TTipoPagina::pgVerso:
        case TTipoPagina::pgBranco:
        case TTipoPagina::pgSimbolo:
            break;
        }
        DesenharPagina(canvas, pagina, AChegar);
    }
}

void TCompositorLivro::DesenharPagina(IVeltCanvas& Canvas, const TDescPagina& APagina,
                                      const TPuzzleAChegar& AChegar) {
    switch (APagina.Tipo) {
    case TTipoPagina::pgCapa:
        DesenharCapa(Canvas, FLivro);
        break;
    case TTipoPagina::pgVerso:
        PaginaVerso(Canvas, "TAVRELO");
        break;
    case TTipoPagina::pgRegras:
        DesenharRegras(Canvas, APagina, AChegar);
        break;
    case TTipoPagina::pgDiagramas:
        DesenharDiagramas(Canvas, APagina);
        break;
    case TTipoPagina::pgSeparador:
        PaginaSeparador(Canvas, APagina.Primeiro);
        break;
    case TTipoPagina::pgBranco:
    case TTipoPagina::pgSimbolo:
        if (FLivro.Config.N % 2 != 0) {
            PaginaSimboloImpar(Canvas);
        } else {
            PaginaSimboloPar(Canvas);
        }
        break;
    case TTipoPagina::pgPuzzles:
        DesenharPuzzles(Canvas, APagina);
        break;
    case TTipoPagina::pgSolucoes:
        DesenharSolucoes(Canvas, APagina);
        break;
    case TTipoPagina::pgFicha:
        DesenharFicha(Canvas, FLivro, FInfo, APagina.Numero);
        break;
    }
}

void TCompositorLivro::DesenharRegras(IVeltCanvas& Canvas, const TDescPagina& APagina,
                                      const TPuzzleAChegar& AChegar) {
    const int32_t N = FLivro.Config.N;
    if (APagina.Primeiro == 0) {
        PaginaRegras(Canvas, N);
    } else {
        const double y =
            PaginaComoSeResolve(Canvas, N, NiveisDoPlano(FLivro.Plano), FLivro.Config.Caminho);
        DesenharExemplo(Canvas, y, AChegar);
    }
    DesenharRodape(Canvas, APagina.Numero);
}

void TCompositorLivro::DesenharDiagramas(IVeltCanvas& Canvas, const TDescPagina& APagina) {
    const int32_t N = FLivro.Config.N;
    if (N % 2 != 0) {
        PaginaDiagramasImpar(Canvas, N, APagina.Primeiro);
    } else {
        PaginaDiagramasPar(Canvas, N, APagina.Primeiro);
    }
    DesenharRodape(Canvas, APagina.Numero);
}

int32_t TCompositorLivro::PaginaQueMostra(TTipoPagina ATipo, int32_t APorPagina,
                                          int32_t AIndice) const {
    for (const TDescPagina& pagina : FPaginas) {
        if (pagina.Tipo == ATipo && pagina.Primeiro <= AIndice &&
            AIndice < pagina.Primeiro + APorPagina) {
            return pagina.Numero;
        }
    }
    return 0;
}

int32_t TCompositorLivro::PaginaDoPuzzle(int32_t AIndice) const {
    return PaginaQueMostra(TTipoPagina::pgPuzzles, GeometriaPuzzles(FLivro.Config.N).PorPagina,
                           AIndice);
}

int32_t TCompositorLivro::PaginaDaSolucao(int32_t AIndice) const {
    return PaginaQueMostra(TTipoPagina::pgSolucoes,
                           SolucoesPorPagina(FLivro.Config.N, FLivro.Config.Caminho), AIndice);
}

TSolverDeducao& TCompositorLivro::SolverDoLivro() {
    if (!FSolver) {
        FSolver = std::make_unique<TSolverDeducao>(FLivro.Config.N);
    }
    return *FSolver;
}

namespace {

// SOURCE_DATE_EPOCH, when it is a whole number of seconds a calendar date can hold.
std::optional<std::time_t> MomentoFixo() {
    const char* texto = std::getenv("SOURCE_DATE_EPOCH");
    if (texto == nullptr) {
        return std::nullopt;
    }
    const char* fim = texto + std::strlen(texto);
    int64_t segundos = 0;
    const auto [resto, erro] = std::from_chars(texto, fim, segundos);
    constexpr int64_t ANO_9999 = 253402300799;
    if (resto == texto || resto != fim || erro != std::errc() || segundos < 0 ||
        segundos > ANO_9999) {
        return std::nullopt;
    }
    return static_cast<std::time_t>(segundos);
}

std::string Datado(const char* AFormato, const std::tm& AData) {
    char texto[32] = "";
    std::strftime(texto, sizeof texto, AFormato, &AData);
    return texto;
}

} // namespace

TInfoLivro CriarInfoLivro() {
    if (const std::optional<std::time_t> fixo = MomentoFixo()) {
        std::tm utc{};
        gmtime_r(&*fixo, &utc);
        return TInfoLivro{Datado("%d/%m/%Y", utc), "1.0", Datado("%Y-%m-%dT%H:%M:%SZ", utc)};
    }
    const std::time_t agora = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&agora, &local) == nullptr) {
        return TInfoLivro{"", "1.0"};
    }
    return TInfoLivro{Datado("%d/%m/%Y", local), "1.0"};
}

void DesenharRodape(IVeltCanvas& Canvas, int32_t ANumero) {
    if (ANumero <= 0) {
        return;
    }
    // A book printed on both sides: the number on the outer edge, the name on the inner one,
    // so an odd (right-hand) page has its number on the right, an even one on the left.
    const bool direita = ANumero % 2 != 0;
    const TEstiloTexto aEsquerda = Alinhado(ESTILO_RODAPE, TAlinhamento::alEsquerda);
    const TEstiloTexto aDireita = Alinhado(ESTILO_RODAPE, TAlinhamento::alDireita);
    Escrever(Canvas, direita ? MARGEM_ESQUERDA : MARGEM_DIREITA, TOPO_RODAPE, "TAVRELO | Brovanel",
             direita ? aEsquerda : aDireita);
    Escrever(Canvas, direita ? MARGEM_DIREITA : MARGEM_ESQUERDA, TOPO_RODAPE,
             std::to_string(ANumero), direita ? aDireita : aEsquerda);
}

std::string DestinoDoPuzzle(int32_t AIndice) {
    return Formatar("puzzle-%.3d", AIndice + 1);
}

std::string DestinoDaSolucao(int32_t AIndice) {
    return Formatar("solucao-%.3d", AIndice + 1);
}

double YAoLado(IVeltCanvas& Canvas, double Y, const TEstiloTexto& AEstilo,
               const TEstiloTexto& AAoLado) {
    return Y + (AlturaDe(Canvas, AEstilo) - AlturaDe(Canvas, AAoLado)) * ACIMA_DA_BASE;
}

namespace {

// ATexto whose box takes the reader to the destination ADestino; returns its right end.
double EscreverLigado(IVeltCanvas& Canvas, double X, double Y, const std::string& ATexto,
                      const TEstiloTexto& AEstilo, const std::string& ADestino) {
    Escrever(Canvas, X, Y, ATexto, AEstilo);
    const double largura = LarguraDe(Canvas, ATexto, AEstilo);
    Canvas.Ligacao(X, Y, largura, AlturaDe(Canvas, AEstilo), ADestino);
    return X + largura;
}

} // namespace

double DesenharTituloLigado(IVeltCanvas& Canvas, double X, double Y, const std::string& ATexto,
                            const TEstiloTexto& AEstilo, const std::string& AReferencia,
                            const std::string& AProprio, const std::string& AOutro) {
    double fim = EscreverLigado(Canvas, X, Y, ATexto, AEstilo, AOutro);
    // The reader lands with a little of the page above the heading in view.
    Canvas.Destino(AProprio, 0, std::max(0.0, Y - 8));
    if (!AReferencia.empty()) {
        fim = EscreverLigado(Canvas, fim + INTERVALO_DA_REFERENCIA,
                             YAoLado(Canvas, Y, AEstilo, ESTILO_REFERENCIA), AReferencia,
                             ESTILO_REFERENCIA, AOutro);
    }
    return fim;
}

std::string TextoTamanho(int32_t N) {
    return std::to_string(N) + " \u00D7 " + std::to_string(N);
}

std::string TextoSomas(int32_t N) {
    return "M = " + std::to_string(SomaMagica(N)) + "   C = " + std::to_string(SomaComplementar(N));
}

TGeometriaPuzzles GeometriaPuzzles(int32_t N) {
    if (N <= 8 || N == 11) {
        return {2, 96};
    }
    // The grid leaves room on its left for its row numbers.
    if (N < 16) {
        return {1, LARGURA_COLUNA - 2 * FAIXA_COORDENADAS};
    }
    return {1, 170 - 2 * FAIXA_COORDENADAS};
}

int32_t SolucoesPorPagina(int32_t N, bool AComDicas) {
    if (AComDicas) {
        return N <= 8 ? 2 : 1;
    }
    return N <= 8 ? 4 : 2;
}

} // namespace tavrelo
