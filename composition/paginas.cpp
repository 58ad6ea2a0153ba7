#include "composition/paginas.h"

#include "composition/editorial.h"
#include "content/diagramas.h"
#include "content/pictogramas.h"
#include "content/regras.h"
#include "drawing/pdf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>

namespace tavrelo {

namespace {

constexpr double ALTURA_LINHA_DICA = 4.6;
constexpr int32_t DICAS_POR_SOLUCAO = 12;

// Families in the order hints are taken from them: rows and columns last, since they are
// what a player finds alone.
constexpr std::array<TFamilia, 7> ORDEM_DAS_DICAS = {
    TFamilia::lfDiagPrincipal, TFamilia::lfDiagQuebrada, TFamilia::lfBloco, TFamilia::lfMeia,
    TFamilia::lfPar,           TFamilia::lfLista,        TFamilia::lfLinha};

int32_t Valor(std::span<const int32_t> AValores, size_t AIndice) {
    return AIndice < AValores.size() ? AValores[AIndice] : 0;
}

bool CentroDoImpar(int32_t N, int32_t ACelula) {
    return N % 2 != 0 && ACelula == (N * N - 1) / 2;
}

} // namespace

// ----- the plan and the composer -----

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

void TCompositorLivro::Compor(IDestinoPaginas& ADestino) {
    const int32_t N = FLivro.Config.N;
    const bool impar = N % 2 != 0;
    std::unique_ptr<IVeltCanvas> superficie;
    for (const TDescPagina& pagina : FPaginas) {
        superficie = ADestino.NovaPagina();
        if (!superficie) {
            throw EVelt("TCompositorLivro.Compor: o destino nao deu uma pagina");
        }
        IVeltCanvas& canvas = *superficie;
        switch (pagina.Tipo) {
        case TTipoPagina::pgCapa:
            DesenharCapa(canvas, FLivro);
            break;
        case TTipoPagina::pgVerso:
            PaginaVerso(canvas, "TAVRELO");
            break;
        case TTipoPagina::pgRegras:
            DesenharRegras(canvas, pagina);
            break;
        case TTipoPagina::pgDiagramas:
            DesenharDiagramas(canvas, pagina);
            break;
        case TTipoPagina::pgSeparador:
            PaginaSeparador(canvas, pagina.Primeiro);
            break;
        case TTipoPagina::pgBranco:
        case TTipoPagina::pgSimbolo:
            if (impar) {
                PaginaSimboloImpar(canvas);
            } else {
                PaginaSimboloPar(canvas);
            }
            break;
        case TTipoPagina::pgPuzzles:
            DesenharPuzzles(canvas, pagina);
            break;
        case TTipoPagina::pgSolucoes:
            DesenharSolucoes(canvas, pagina);
            break;
        case TTipoPagina::pgFicha:
            DesenharFicha(canvas, FLivro, FInfo, pagina.Numero);
            break;
        }
    }
}

void TCompositorLivro::DesenharRegras(IVeltCanvas& Canvas, const TDescPagina& APagina) {
    const int32_t N = FLivro.Config.N;
    if (APagina.Primeiro == 0) {
        PaginaRegras(Canvas, N);
    } else {
        PaginaComoSeResolve(Canvas, N, NiveisDoPlano(FLivro.Plano));
    }
    DesenharRodape(Canvas, APagina.Numero);
}

void TCompositorLivro::DesenharDiagramas(IVeltCanvas& Canvas, const TDescPagina& APagina) {
    if (FLivro.Config.N % 2 != 0) {
        PaginaDiagramasImpar(Canvas, APagina.Primeiro);
    } else {
        PaginaDiagramasPar(Canvas, APagina.Primeiro);
    }
    DesenharRodape(Canvas, APagina.Numero);
}

TSolverDeducao& TCompositorLivro::SolverDoLivro() {
    if (!FSolver) {
        FSolver = std::make_unique<TSolverDeducao>(FLivro.Config.N);
    }
    return *FSolver;
}

// ----- shared page furniture -----

TInfoLivro CriarInfoLivro() {
    const std::time_t agora = std::time(nullptr);
    std::tm local{};
    char data[32] = "";
    if (localtime_r(&agora, &local) != nullptr) {
        std::strftime(data, sizeof data, "%d/%m/%Y", &local);
    }
    return TInfoLivro{data, "1.0"};
}

void DesenharRodape(IVeltCanvas& Canvas, int32_t ANumero) {
    if (ANumero <= 0) {
        return;
    }
    Canvas.Texto(18, 283, "TAVRELO | Brovanel", 9, false, 128, TAlinhamento::alEsquerda);
    Canvas.Texto(192, 283, std::to_string(ANumero), 9, false, 128, TAlinhamento::alDireita);
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
    if (N < 16) {
        return {1, 174};
    }
    return {1, 170};
}

int32_t SolucoesPorPagina(int32_t N, bool AComDicas) {
    if (AComDicas) {
        return N <= 8 ? 2 : 1;
    }
    return N <= 8 ? 4 : 2;
}

// ----- puzzle pages -----

void LimitesDoBloco(int32_t N, double& L, double& R) {
    const TGeometriaPuzzles g = GeometriaPuzzles(N);
    // Two puzzles a page: the grid, a 6 mm gap and the 62 mm column of the box.
    const double W = g.PorPagina == 2 ? g.Lado + 6 + 62 : g.Lado;
    L = (210 - W) / 2;
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
                if (Valor(ADados, static_cast<size_t>(lin * N + col)) != 0) {
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
            const int32_t dado = Valor(ADados, c);
            const int32_t v = AModoSolucao ? Valor(ASolucao, c) : dado;
            if (v == 0) {
                continue;
            }
            const bool negrito = !AModoSolucao || dado == 0;
            Canvas.Texto(X + col * g + g / 2, Y + lin * g + (g - h) / 2, std::to_string(v),
                         ATamanhoPt, negrito, 0, TAlinhamento::alCentro);
        }
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
    double w = 0;
    for (int32_t i = AInicio; i <= AFim; ++i) {
        if (i > AInicio) {
            w += 2.5;
        }
        w += Canvas.LarguraTexto(std::to_string(ANumeros[static_cast<size_t>(i)]), 6.5, false);
    }
    return w;
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
    const double w0 = Canvas.LarguraTexto(zeros, 6.5, false);
    const double quociente = (ALarguraMax - 8 + 2.5) / (w0 + 2.5);
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
    const double altura = linhas * 3.45 + 4 + 4;
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
    ACaixa = TCaixaNumeros{6.5, 3.45, 2.5, linhas, porLinha, largura, altura};
    return true;
}

double DesenharCaixaNumeros(IVeltCanvas& Canvas, double X, double Y, const TCaixaNumeros& ACaixa,
                            std::span<const int32_t> ANumeros) {
    const double h = Canvas.AlturaTexto(6.5);
    Canvas.Rectangulo(X, Y, ACaixa.Largura, ACaixa.Altura, 0.5, 0, -1);
    Canvas.Texto(X + ACaixa.Largura / 2, Y + 1.2, "Números a colocar", 8, false, 128,
                 TAlinhamento::alCentro);
    const auto n = static_cast<int32_t>(ANumeros.size());
    for (int32_t j = 0; j < ACaixa.Linhas; ++j) {
        const int32_t inicio = j * ACaixa.PorLinha;
        const int32_t fim = std::min(n - 1, (j + 1) * ACaixa.PorLinha - 1);
        double x = X + ACaixa.Largura / 2 - LarguraDaLinha(Canvas, ANumeros, inicio, fim) / 2;
        const double y = Y + 6 + j * 3.45 + (3.45 - h) / 2;
        for (int32_t i = inicio; i <= fim; ++i) {
            const std::string t = std::to_string(ANumeros[static_cast<size_t>(i)]);
            Canvas.Texto(x, y, t, 6.5, false, 0, TAlinhamento::alEsquerda);
            x += Canvas.LarguraTexto(t, 6.5, false) + 2.5;
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
        const double c = 18 + 130.5 * k;

        Canvas.Texto(L, c, Formatar("%.3d", static_cast<int32_t>(p) + 1), 14, true, 0,
                     TAlinhamento::alEsquerda);
        Canvas.Texto(105, c + 0.6, TextoTamanho(N), 13, false, 0, TAlinhamento::alCentro);
        DesenharEstrelas(Canvas, R, c + 0.2, puzzle.Nivel);

        double x = L;
        for (const TPictograma pc : PictogramasDoTamanho(N)) {
            DesenharPictograma(Canvas, pc, x, c + 10.5);
            x += 24;
        }
        Canvas.Texto(R, c + 10.5 + (14 - Canvas.AlturaTexto(11)) / 2, TextoSomas(N), 11, false, 0,
                     TAlinhamento::alDireita);

        const double T = dois ? c + 27.5 : c + 29.5;
        const double G = dois ? L : (210 - geo.Lado) / 2;
        DesenharGrelha(Canvas, N, puzzle.Dados, puzzle.Solucao, G, T, geo.Lado, false,
                       TamanhoNumeros(N, geo.Lado));

        const std::vector<int32_t> emFalta = NumerosEmFalta(N, puzzle.Dados);
        TCaixaNumeros caixa;
        if (dois) {
            if (MedirCaixaNumeros(Canvas, 62, c + 130.5 - 4 - T, emFalta, 10, caixa)) {
                DesenharCaixaNumeros(Canvas, L + geo.Lado + 6, T, caixa, emFalta);
            }
        } else {
            const double B = T + geo.Lado + 4;
            if (MedirCaixaNumeros(Canvas, 174, 272 - B, emFalta, 60, caixa)) {
                DesenharCaixaNumeros(Canvas, (210 - caixa.Largura) / 2, B, caixa, emFalta);
            }
        }
    }
    DesenharRodape(Canvas, APagina.Numero);
}

// ----- solution pages and hints -----

double LadoSolucao(int32_t N, bool AComDicas) {
    if (N <= 8) {
        return 74;
    }
    return AComDicas ? 120 : 112;
}

std::string NomeCasa(int32_t N, int32_t ACelula) {
    return Formatar("L%dC%d", ACelula / N + 1, ACelula % N + 1);
}

std::string TextoDica(const TSolverDeducao& ASolver, std::span<const int32_t> ASolucao,
                      const TPassoDeducao& APasso) {
    const int32_t N = ASolver.N();
    const std::string C = NomeCasa(N, APasso.Celula);
    const std::string V = std::to_string(APasso.Valor);
    if (CentroDoImpar(N, APasso.Celula)) {
        return C + " = " + std::to_string(SomaComplementar(N)) + " / 2 = " + V + " (o centro)";
    }
    if (APasso.Familia == TFamilia::lfLista) {
        if (APasso.Parceiro < 0) {
            return C + " = " + V + " (pela lista de números)";
        }
        return C + " = " + V + " (lista: " + C + " + " + NomeCasa(N, APasso.Parceiro) + " = " +
               std::to_string(APasso.Resto) + ")";
    }
    if (APasso.Lei < 0 || APasso.Lei >= ASolver.NumLeis()) {
        // A step of a law family always names its law; without one only the value is known.
        return C + " = " + V;
    }
    const TLei lei = ASolver.Lei(APasso.Lei);
    int64_t S = 0;
    int32_t O = -1;
    for (size_t t = 0; t < lei.Celulas.size(); ++t) {
        const int32_t x = lei.Celulas[t];
        if (x == APasso.Celula) {
            continue;
        }
        S += int64_t{lei.Coefs[t]} * Valor(ASolucao, static_cast<size_t>(x));
        O = x;
    }
    const std::string K = std::to_string(lei.Constante);
    const std::string base = C + " = " + K + " - " + std::to_string(S) + " = " + V;
    switch (APasso.Familia) {
    case TFamilia::lfLinha:
        if (APasso.Lei < N) {
            return base + " (linha " + std::to_string(APasso.Lei + 1) + ")";
        }
        return base + " (coluna " + std::to_string(APasso.Lei - N + 1) + ")";
    case TFamilia::lfDiagPrincipal:
        if (APasso.Celula / N == APasso.Celula % N) {
            return base + " (diagonal principal)";
        }
        return base + " (diagonal secundária)";
    case TFamilia::lfDiagQuebrada:
        return base + " (diagonal quebrada)";
    case TFamilia::lfBloco:
        return base + " (bloco 2x2)";
    case TFamilia::lfPar:
        if (lei.Celulas.size() == 1) {
            return C + " = " + K + " / 2 = " + V + " (o centro)";
        }
        return base + " (casas opostas, com " + NomeCasa(N, O) + ")";
    case TFamilia::lfMeia:
        return base + " (meia diagonal, com " + NomeCasa(N, O) + ")";
    case TFamilia::lfLista:
        break;
    }
    return base;
}

std::vector<int32_t> EscolherDicas(const TSolverDeducao& ASolver, std::span<const int32_t> ADados,
                                   std::span<const TPassoDeducao> APassos, int32_t ALimite,
                                   int32_t ACentro) {
    const auto n = static_cast<int32_t>(APassos.size());
    if (n == 0 || ALimite < 1) {
        return {};
    }
    const int32_t celulas = ASolver.N() * ASolver.N();

    std::vector<int32_t> quem(static_cast<size_t>(celulas), -1);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t c = APassos[static_cast<size_t>(i)].Celula;
        if (c >= 0 && c < celulas) {
            quem[static_cast<size_t>(c)] = i;
        }
    }

    // Which steps can be shown on their own (everything they use is given or shown above
    // them), and the cells each one uses.
    std::vector<bool> autonomo(static_cast<size_t>(n), false);
    std::vector<std::vector<int32_t>> dependencias(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const TPassoDeducao& passo = APassos[static_cast<size_t>(i)];
        if (ACentro >= 0 && passo.Celula == ACentro) {
            autonomo[static_cast<size_t>(i)] = true;
            continue;
        }
        if (passo.Familia == TFamilia::lfLista && passo.Parceiro < 0) {
            continue;
        }
        if (passo.Lei < 0 || passo.Lei >= ASolver.NumLeis()) {
            continue;
        }
        const TLei lei = ASolver.Lei(passo.Lei);
        bool ok = true;
        for (const int32_t x : lei.Celulas) {
            if (x == passo.Celula || x == passo.Parceiro) {
                continue;
            }
            dependencias[static_cast<size_t>(i)].push_back(x);
            if (Valor(ADados, static_cast<size_t>(x)) != 0) {
                continue;
            }
            const int32_t j = (x >= 0 && x < celulas) ? quem[static_cast<size_t>(x)] : -1;
            if (j < 0 || j >= i || !autonomo[static_cast<size_t>(j)]) {
                ok = false;
            }
        }
        autonomo[static_cast<size_t>(i)] = ok;
    }

    std::vector<bool> escolhido(static_cast<size_t>(n), false);
    std::vector<int32_t> visto(static_cast<size_t>(n), -1); // the walk that last met a step
    int32_t caminhada = 0;

    // The steps of APasso's closure that are not chosen yet.
    auto fecho = [&](int32_t APasso) {
        ++caminhada;
        std::vector<int32_t> r;
        std::vector<int32_t> pilha{APasso};
        visto[static_cast<size_t>(APasso)] = caminhada;
        while (!pilha.empty()) {
            const int32_t s = pilha.back();
            pilha.pop_back();
            r.push_back(s);
            for (const int32_t x : dependencias[static_cast<size_t>(s)]) {
                if (Valor(ADados, static_cast<size_t>(x)) != 0 || x < 0 || x >= celulas) {
                    continue;
                }
                const int32_t j = quem[static_cast<size_t>(x)];
                if (j < 0 || escolhido[static_cast<size_t>(j)] ||
                    visto[static_cast<size_t>(j)] == caminhada) {
                    continue;
                }
                visto[static_cast<size_t>(j)] = caminhada;
                pilha.push_back(j);
            }
        }
        return r;
    };

    int32_t conta = 0;
    int32_t lider = -1;
    if (ACentro >= 0) {
        for (int32_t i = 0; i < n; ++i) {
            if (APassos[static_cast<size_t>(i)].Celula == ACentro &&
                autonomo[static_cast<size_t>(i)]) {
                lider = i;
                escolhido[static_cast<size_t>(i)] = true;
                conta = 1;
                break;
            }
        }
    }

    std::array<int32_t, ORDEM_DAS_DICAS.size()> cursor{};
    bool escolheu = true;
    while (conta < ALimite && escolheu) {
        escolheu = false;
        for (size_t f = 0; f < ORDEM_DAS_DICAS.size(); ++f) {
            if (conta >= ALimite) {
                break;
            }
            for (int32_t i = cursor[f]; i < n; ++i) {
                if (!autonomo[static_cast<size_t>(i)] || escolhido[static_cast<size_t>(i)] ||
                    APassos[static_cast<size_t>(i)].Familia != ORDEM_DAS_DICAS[f]) {
                    continue;
                }
                const std::vector<int32_t> novos = fecho(i);
                const auto custo = static_cast<int32_t>(novos.size());
                if (conta + custo > ALimite) {
                    continue;
                }
                for (const int32_t s : novos) {
                    escolhido[static_cast<size_t>(s)] = true;
                }
                conta += custo;
                cursor[f] = i + 1;
                escolheu = true;
                break;
            }
        }
    }

    std::vector<int32_t> r;
    r.reserve(static_cast<size_t>(conta));
    if (lider >= 0) {
        r.push_back(lider);
    }
    for (int32_t i = 0; i < n; ++i) {
        if (escolhido[static_cast<size_t>(i)] && i != lider) {
            r.push_back(i);
        }
    }
    return r;
}

void TCompositorLivro::DesenharSolucoes(IVeltCanvas& Canvas, const TDescPagina& APagina) {
    const int32_t N = FLivro.Config.N;
    const bool dicas = FLivro.Config.Caminho;
    Canvas.Texto(105, 18, "Soluções", 16, true, 0, TAlinhamento::alCentro);
    const int32_t k = SolucoesPorPagina(N, dicas);
    for (int32_t i = 0; i < k; ++i) {
        const int64_t p = int64_t{APagina.Primeiro} + i;
        if (p < 0 || p >= static_cast<int64_t>(FLivro.Puzzles.size())) {
            break;
        }
        double X = 18;
        double Y = 30 + 121 * i;
        double W = 174;
        if (k == 4) {
            X = 18 + 87 * (i % 2);
            Y = 30 + 121 * (i / 2);
            W = 87;
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
    Canvas.Texto(G, Y, titulo, 11, true, 0, TAlinhamento::alEsquerda);
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
    const std::vector<int32_t> D = EscolherDicas(solver, puzzle.Dados, passos, DICAS_POR_SOLUCAO,
                                                 N % 2 != 0 ? (N * N - 1) / 2 : -1);
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
