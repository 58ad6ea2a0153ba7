#include "content/diagramas.h"

#include "content/paleta.h"
#include "content/regras.h"
#include "core/tipos.h"
#include "drawing/pagina.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace tavrelo {

namespace {

// The 4 × 4, the 5 × 5 and the 8 × 8, one after the other, row by row.
constexpr std::array<int32_t, 105> Exemplos = {
    1,  14, 7,  12, 15, 4,  9,  6,  10, 5,  16, 3,  8,  11, 2,  13, //
    1,  15, 24, 8,  17, 23, 7,  16, 5,  14, 20, 4,  13, 22, 6,      //
    12, 21, 10, 19, 3,  9,  18, 2,  11, 25,                         //
    11, 18, 59, 34, 63, 38, 15, 22, 56, 45, 8,  29, 4,  25, 52, 41, //
    10, 19, 58, 35, 62, 39, 14, 23, 64, 37, 16, 21, 12, 17, 60, 33, //
    2,  27, 50, 43, 54, 47, 6,  31, 61, 40, 13, 24, 9,  20, 57, 36, //
    3,  26, 51, 42, 55, 46, 7,  30, 53, 48, 5,  32, 1,  28, 49, 44};

std::vector<int32_t> Parte(size_t AInicio, size_t AConta) {
    return std::vector<int32_t>(Exemplos.begin() + static_cast<std::ptrdiff_t>(AInicio),
                                Exemplos.begin() + static_cast<std::ptrdiff_t>(AInicio + AConta));
}

constexpr double LadoDoPainel = 70;
constexpr double XEsquerda = 22;
constexpr double XDireita = 108;
constexpr double Sobra = 3.5; // how far a wrapping path runs outside the grid
constexpr double TRACO_DO_BLOCO = 1.4;
constexpr double Grande = 1e9;       // stands for "no limit" along an axis
constexpr double Desprezavel = 1e-9; // a direction component this small counts as none

// Cells from the centre of a cell at position p to the grid's edge, moving with step d.
double DistanciaAoBordo(int32_t n, int32_t p, int32_t d) {
    if (d > 0)
        return n - p - 0.5;
    if (d < 0)
        return p + 0.5;
    return Grande;
}

TPontoMm CentroDaCasa(double X, double ATopo, double ACasa, int32_t ALinha, int32_t AColuna) {
    return PontoMm(X + (AColuna + 0.5) * ACasa, ATopo + (ALinha + 0.5) * ACasa);
}

TPontoMm Mais(TPontoMm P, double t, TPontoMm u) {
    return PontoMm(P.X + t * u.X, P.Y + t * u.Y);
}

void Seta(IVeltCanvas& Canvas, TPontoMm T, TPontoMm u) {
    const TPontoMm B = Mais(T, -2.6, u);
    const std::array<TPontoMm, 3> pontos = {T, PontoMm(B.X - 1.1 * u.Y, B.Y + 1.1 * u.X),
                                            PontoMm(B.X + 1.1 * u.Y, B.Y - 1.1 * u.X)};
    Canvas.Poligono(pontos, TRACO_FINO, PRETO, PRETO);
}

// A line between two numbers, stopping short of both.
void Segmento(IVeltCanvas& Canvas, TPontoMm P, TPontoMm Q, double ATamanhoPt) {
    const double dx = Q.X - P.X;
    const double dy = Q.Y - P.Y;
    const double comprimento = std::sqrt(dx * dx + dy * dy);
    if (comprimento <= 0)
        return;
    const TPontoMm u = PontoMm(dx / comprimento, dy / comprimento);
    const double t = FolgaDoNumero(ATamanhoPt, u.X, u.Y);
    const TPontoMm a = Mais(P, t, u);
    const TPontoMm b = Mais(Q, -t, u);
    Canvas.Linha(a.X, a.Y, b.X, b.Y, TRACO_DO_PERCURSO, PRETO);
}

// A path of Conta cells from (Linha0, Coluna0), rows and columns from 0.
struct TPercurso {
    int32_t Linha0 = 0;
    int32_t Coluna0 = 0;
    int32_t PassoLinhas = 0;
    int32_t PassoColunas = 0;
    int32_t Conta = 0;
};

// Two cells joined through the centre.
struct TPar {
    int32_t Linha1 = 0;
    int32_t Coluna1 = 0;
    int32_t Linha2 = 0;
    int32_t Coluna2 = 0;
};

// One panel: its title, the cells shaded dark and light, the lines drawn on the grid and the
// caption under it. What a panel does not name it does not draw.
struct TPainel {
    std::string Titulo{};
    std::vector<int32_t> Escuras{};
    std::vector<int32_t> Claras{};
    std::vector<TPercurso> Percursos{};
    std::vector<TPar> Pares{};
    bool MolduraDoBloco = false; // the 2 × 2 block at L4C4 framed
    std::vector<std::string> Legendas{};
};

double DesenharPainel(IVeltCanvas& Canvas, int32_t n, const std::vector<int32_t>& ANumeros,
                      double X, double Y, const TPainel& APainel) {
    const double topo = DesenharGrelhaExemplo(Canvas, n, ANumeros, X, Y, LadoDoPainel,
                                              APainel.Escuras, APainel.Claras, APainel.Titulo);
    const double casa = LadoDoPainel / n;
    const double tamanho = TamanhoDosNumeros(n);
    for (const auto& p : APainel.Percursos)
        DesenharPercurso(Canvas, n, X, topo, casa, tamanho, p.Linha0, p.Coluna0, p.PassoLinhas,
                         p.PassoColunas, p.Conta);
    for (const auto& p : APainel.Pares)
        DesenharParPeloCentro(Canvas, n, X, topo, casa, tamanho, p.Linha1, p.Coluna1, p.Linha2,
                              p.Coluna2);
    if (APainel.MolduraDoBloco)
        Canvas.Rectangulo(X + 3 * casa, topo + 3 * casa, 2 * casa, 2 * casa, TRACO_DO_BLOCO, PRETO,
                          SEM_COR);
    return DesenharLegendas(Canvas, X, topo, LadoDoPainel, APainel.Legendas);
}

void DesenharPagina(IVeltCanvas& Canvas, int32_t n, const std::vector<int32_t>& ANumeros,
                    const std::string& ATitulo, const std::string& AIntroducao,
                    const std::array<TPainel, 4>& APaineis) {
    const double y0 = CabecalhoDiagramas(Canvas, ATitulo, AIntroducao);
    const double fimEsquerda = DesenharPainel(Canvas, n, ANumeros, XEsquerda, y0, APaineis[0]);
    const double fimDireita = DesenharPainel(Canvas, n, ANumeros, XDireita, y0, APaineis[1]);
    const double y1 = std::max(fimEsquerda, fimDireita) + 6;
    DesenharPainel(Canvas, n, ANumeros, XEsquerda, y1, APaineis[2]);
    DesenharPainel(Canvas, n, ANumeros, XDireita, y1, APaineis[3]);
}

const char* const TituloDiagramas = "Os diagramas das leis";
const char* const TituloContinuacao = "Os diagramas das leis (continuação)";
const char* const LegendaDasSetas = "as setas: sai de um lado e entra no outro";

} // namespace

std::vector<int32_t> QuadradoDeExemplo4() {
    return Parte(0, 16);
}

std::vector<int32_t> QuadradoDeExemplo5() {
    return Parte(16, 25);
}

std::vector<int32_t> QuadradoDeExemplo8() {
    return Parte(41, 64);
}

int32_t IndiceDaCasa(int32_t n, int32_t ALinha, int32_t AColuna) {
    return Modulo(ALinha, n) * n + Modulo(AColuna, n);
}

std::vector<int32_t> PercursoDeCasas(int32_t n, int32_t ALinha0, int32_t AColuna0,
                                     int32_t APassoLinhas, int32_t APassoColunas, int32_t AConta) {
    std::vector<int32_t> r;
    for (int32_t k = 0; k < AConta; ++k)
        r.push_back(IndiceDaCasa(n, ALinha0 + k * APassoLinhas, AColuna0 + k * APassoColunas));
    return r;
}

std::vector<int32_t> UniaoDeCasas(const std::vector<int32_t>& A, const std::vector<int32_t>& B,
                                  int32_t ATotal) {
    std::vector<int32_t> r;
    for (int32_t i = 0; i < ATotal; ++i)
        if (ContemCasa(A, i) || ContemCasa(B, i))
            r.push_back(i);
    return r;
}

std::vector<int32_t> CasasSemAs(const std::vector<int32_t>& A, const std::vector<int32_t>& B) {
    std::vector<int32_t> r;
    for (const int32_t c : A)
        if (!ContemCasa(B, c))
            r.push_back(c);
    return r;
}

bool ContemCasa(const std::vector<int32_t>& ACasas, int32_t ACasa) {
    return std::find(ACasas.begin(), ACasas.end(), ACasa) != ACasas.end();
}

std::string TextoDaSoma(const std::vector<int32_t>& ANumeros, const std::vector<int32_t>& ACasas,
                        int32_t ASoma) {
    std::string r;
    for (size_t i = 0; i < ACasas.size(); ++i) {
        if (i > 0)
            r += " + ";
        r += std::to_string(ANumeros.at(static_cast<size_t>(ACasas[i])));
    }
    return r + " = " + std::to_string(ASoma);
}

std::string TextoDoPar(int32_t n, const std::vector<int32_t>& ANumeros, int32_t ACasaA,
                       int32_t ACasaB, int32_t ASoma) {
    return NomeDaCasa(n, ACasaA) + " + " + NomeDaCasa(n, ACasaB) + ": " +
           TextoDaSoma(ANumeros, {ACasaA, ACasaB}, ASoma);
}

std::string TextoDosOutrosPares(int32_t n, const std::vector<int32_t>& ANumeros,
                                const std::vector<int32_t>& ADiagonal, int32_t ACasa) {
    const size_t meio = static_cast<size_t>(n / 2);
    std::string r;
    for (size_t i = 0; i < meio; ++i) {
        const int32_t a = ADiagonal.at(i);
        const int32_t b = ADiagonal.at(i + meio);
        if (a == ACasa || b == ACasa)
            continue;
        if (!r.empty())
            r += ", ";
        r += std::to_string(ANumeros.at(static_cast<size_t>(a))) + " + " +
             std::to_string(ANumeros.at(static_cast<size_t>(b)));
    }
    return r;
}

double TamanhoDosNumeros(int32_t n) {
    return n < 8 ? 16 : 11;
}

double FolgaDoNumero(double ATamanhoPt, double ux, double uy) {
    const double meiaLargura = 0.194 * ATamanhoPt + 0.8;
    const double meiaAltura = 0.127 * ATamanhoPt + 0.8;
    const double ax = std::fabs(ux) <= Desprezavel ? Grande : meiaLargura / std::fabs(ux);
    const double ay = std::fabs(uy) <= Desprezavel ? Grande : meiaAltura / std::fabs(uy);
    return std::min(ax, ay);
}

double DesenharGrelhaExemplo(IVeltCanvas& Canvas, int32_t n, const std::vector<int32_t>& ANumeros,
                             double X, double Y, double ALado, const std::vector<int32_t>& AEscuras,
                             const std::vector<int32_t>& AClaras, const std::string& ATitulo) {
    const double casa = ALado / n;
    const double tamanho = TamanhoDosNumeros(n);
    const double h = Canvas.AlturaTexto(tamanho);
    Escrever(Canvas, X, Y, ATitulo, ESTILO_TITULO_DO_PAINEL);
    const double topo = Y + 8.5;
    const auto sombrear = [&](const std::vector<int32_t>& ACasas, int32_t ACinza) {
        for (const int32_t c : ACasas)
            Canvas.Rectangulo(X + (c % n) * casa, topo + (c / n) * casa, casa, casa, 0, SEM_COR,
                              ACinza);
    };
    sombrear(AClaras, SOMBRA_CLARA);
    sombrear(AEscuras, SOMBRA);
    for (int32_t k = 1; k < n; ++k) {
        Canvas.Linha(X, topo + k * casa, X + ALado, topo + k * casa, TRACO_FINO, PRETO);
        Canvas.Linha(X + k * casa, topo, X + k * casa, topo + ALado, TRACO_FINO, PRETO);
    }
    Canvas.Rectangulo(X, topo, ALado, ALado, TRACO_MOLDURA, PRETO, SEM_COR);
    for (int32_t linha = 0; linha < n; ++linha)
        for (int32_t coluna = 0; coluna < n; ++coluna) {
            const int32_t c = linha * n + coluna;
            const TEstiloTexto numero{.TamanhoPt = tamanho,
                                      .Negrito = ContemCasa(AEscuras, c),
                                      .Alinhamento = TAlinhamento::alCentro};
            Escrever(Canvas, X + coluna * casa + casa / 2, topo + linha * casa + (casa - h) / 2,
                     std::to_string(ANumeros.at(static_cast<size_t>(c))), numero);
        }
    return topo;
}

void DesenharPercurso(IVeltCanvas& Canvas, int32_t n, double X, double ATopo, double ACasa,
                      double ATamanhoPt, int32_t ALinha0, int32_t AColuna0, int32_t APassoLinhas,
                      int32_t APassoColunas, int32_t AConta) {
    const int32_t dr = APassoLinhas;
    const int32_t dc = APassoColunas;
    const double L = std::sqrt(double(dr) * dr + double(dc) * dc);
    if (L == 0)
        return;
    const TPontoMm u = PontoMm(dc / L, dr / L);
    const double t = FolgaDoNumero(ATamanhoPt, u.X, u.Y);
    for (int32_t k = 0; k + 1 < AConta; ++k) {
        const int32_t linha = Modulo(ALinha0 + k * dr, n);
        const int32_t coluna = Modulo(AColuna0 + k * dc, n);
        const TPontoMm C = CentroDaCasa(X, ATopo, ACasa, linha, coluna);
        const int32_t proxLinha = linha + dr;
        const int32_t proxColuna = coluna + dc;
        if (proxLinha >= 0 && proxLinha < n && proxColuna >= 0 && proxColuna < n) {
            Segmento(Canvas, C, PontoMm(C.X + dc * ACasa, C.Y + dr * ACasa), ATamanhoPt);
            continue;
        }
        // Out past one edge with an arrow, back in from outside the opposite edge with another.
        const double F = std::min(DistanciaAoBordo(n, linha, dr), DistanciaAoBordo(n, coluna, dc));
        const double E = F * ACasa * L + Sobra;
        const TPontoMm inicio = Mais(C, t, u);
        const TPontoMm ponta = Mais(C, E, u);
        Canvas.Linha(inicio.X, inicio.Y, ponta.X, ponta.Y, TRACO_DO_PERCURSO, PRETO);
        Seta(Canvas, ponta, u);
        const int32_t wLinha = Modulo(proxLinha, n);
        const int32_t wColuna = Modulo(proxColuna, n);
        const TPontoMm D = CentroDaCasa(X, ATopo, ACasa, wLinha, wColuna);
        const double G =
            std::min(DistanciaAoBordo(n, wLinha, -dr), DistanciaAoBordo(n, wColuna, -dc));
        const double E2 = G * ACasa * L + Sobra;
        const TPontoMm fora = Mais(D, -E2, u);
        const TPontoMm chegada = Mais(D, -t, u);
        Canvas.Linha(fora.X, fora.Y, chegada.X, chegada.Y, TRACO_DO_PERCURSO, PRETO);
        Seta(Canvas, chegada, u);
    }
}

void DesenharParPeloCentro(IVeltCanvas& Canvas, int32_t n, double X, double ATopo, double ACasa,
                           double ATamanhoPt, int32_t ALinha1, int32_t AColuna1, int32_t ALinha2,
                           int32_t AColuna2) {
    // The straight line from one cell to another, in pieces from number to number: it breaks
    // at every cell whose centre it passes, so it stops short of every number on its way.
    const auto linha = [&](int32_t r1, int32_t c1, int32_t r2, int32_t c2) {
        const int32_t passos = std::gcd(r2 - r1, c2 - c1);
        if (passos == 0)
            return;
        const int32_t dr = (r2 - r1) / passos;
        const int32_t dc = (c2 - c1) / passos;
        for (int32_t k = 0; k < passos; ++k)
            Segmento(Canvas, CentroDaCasa(X, ATopo, ACasa, r1 + k * dr, c1 + k * dc),
                     CentroDaCasa(X, ATopo, ACasa, r1 + (k + 1) * dr, c1 + (k + 1) * dc),
                     ATamanhoPt);
    };
    const int32_t meio = n / 2;
    linha(ALinha1, AColuna1, meio, meio);
    linha(meio, meio, ALinha2, AColuna2);
}

double DesenharLegendas(IVeltCanvas& Canvas, double X, double ATopo, double ALado,
                        const std::vector<std::string>& ALinhas) {
    double y = ATopo + ALado + 5;
    for (const auto& linha : ALinhas) {
        Escrever(Canvas, X, y, linha, ESTILO_LEGENDA);
        y += 4.6;
    }
    return y;
}

double CabecalhoDiagramas(IVeltCanvas& Canvas, const std::string& ATitulo,
                          const std::string& AIntroducao) {
    Escrever(Canvas, MARGEM_ESQUERDA, TOPO_TITULO, ATitulo, ESTILO_TITULO_DA_PAGINA);
    return DesenharParagrafo(Canvas, 28, AIntroducao, LARGURA_COLUNA, MARGEM_ESQUERDA) + 5;
}

namespace {

// The example's sums, and how those of the book's own order differ from them: every book
// shows an example of 8 × 8 or 5 × 5, and a reader must not take its numbers for the book's.
std::string IntroducaoDosDiagramas(int32_t N, int32_t n, int32_t AM, int32_t AC) {
    const std::string exemplo =
        Formatar("Cada diagrama mostra uma lei a funcionar numa grelha de %s já preenchida "
                 "(%s e %s",
                 Vezes(n).c_str(), Igualdade("M", AM).c_str(), Igualdade("C", AC).c_str());
    const std::string doLivro =
        N == n ? std::string(", como nas grelhas deste livro).")
               : Formatar("). As grelhas deste livro são de %s, com %s e %s, mas as leis são as "
                          "mesmas.",
                          Vezes(N).c_str(), Igualdade("M", SomaMagica(N)).c_str(),
                          Igualdade("C", SomaComplementar(N)).c_str());
    return exemplo + doLivro +
           " As casas a cinzento e os números a negrito são as que a lei junta. A linha a cheio "
           "segue o percurso da lei; a seta mostra a diagonal que sai por um lado da grelha e "
           "continua do outro.";
}

// The first diagram page, the same for both kinds of order: a row, a column, the two main
// diagonals and two broken ones, on the example square q of order n with magic sum AM.
void PrimeiraPaginaDeDiagramas(IVeltCanvas& Canvas, int32_t N, int32_t n,
                               const std::vector<int32_t>& q, int32_t AM, int32_t AC,
                               int32_t ALinha, int32_t AColuna, int32_t AColunaQuebrada) {
    const auto linha = PercursoDeCasas(n, ALinha, 0, 0, 1, n);
    const auto coluna = PercursoDeCasas(n, 0, AColuna, 1, 0, n);
    const auto diagonal = PercursoDeCasas(n, 0, 0, 1, 1, n);
    const auto antidiagonal = PercursoDeCasas(n, 0, n - 1, 1, -1, n);
    const auto quebrada = PercursoDeCasas(n, 0, AColunaQuebrada, 1, 1, n);
    const auto quebradaInversa = PercursoDeCasas(n, 0, 1, 1, -1, n);
    DesenharPagina(
        Canvas, n, q, TituloDiagramas, IntroducaoDosDiagramas(N, n, AM, AC),
        {TPainel{.Titulo = "Uma linha",
                 .Escuras = linha,
                 .Percursos = {{.Linha0 = ALinha, .PassoColunas = 1, .Conta = n}},
                 .Legendas = {TextoDaSoma(q, linha, AM)}},
         TPainel{.Titulo = "Uma coluna",
                 .Escuras = coluna,
                 .Percursos = {{.Coluna0 = AColuna, .PassoLinhas = 1, .Conta = n}},
                 .Legendas = {TextoDaSoma(q, coluna, AM)}},
         TPainel{
             .Titulo = "As diagonais principais",
             .Escuras = UniaoDeCasas(diagonal, antidiagonal, n * n),
             .Percursos = {{.PassoLinhas = 1, .PassoColunas = 1, .Conta = n},
                           {.Coluna0 = n - 1, .PassoLinhas = 1, .PassoColunas = -1, .Conta = n}},
             .Legendas = {TextoDaSoma(q, diagonal, AM), TextoDaSoma(q, antidiagonal, AM)}},
         TPainel{.Titulo = "Duas diagonais quebradas",
                 .Escuras = UniaoDeCasas(quebrada, quebradaInversa, n * n),
                 .Percursos =
                     {{.Coluna0 = AColunaQuebrada, .PassoLinhas = 1, .PassoColunas = 1, .Conta = n},
                      {.Coluna0 = 1, .PassoLinhas = 1, .PassoColunas = -1, .Conta = n}},
                 .Legendas = {TextoDaSoma(q, quebrada, AM), TextoDaSoma(q, quebradaInversa, AM),
                              LegendaDasSetas}}});
}

} // namespace

void PaginaDiagramasPar(IVeltCanvas& Canvas, int32_t N, int32_t APagina) {
    constexpr int32_t n = 8;
    const auto q = QuadradoDeExemplo8();
    const auto casa = [](int32_t ALinha, int32_t AColuna) {
        return IndiceDaCasa(n, ALinha - 1, AColuna - 1);
    };
    if (APagina == 0) {
        PrimeiraPaginaDeDiagramas(Canvas, N, n, q, 260, 65, 2, 5, 2);
        return;
    }
    const std::vector<int32_t> bloco = {casa(4, 4), casa(4, 5), casa(5, 4), casa(5, 5)};
    const std::vector<int32_t> cantos = {casa(8, 8), casa(8, 1), casa(1, 8), casa(1, 1)};
    const auto diagonal = PercursoDeCasas(n, 0, 0, 1, 1, n);
    const auto quebrada = PercursoDeCasas(n, 0, 2, 1, 1, n);
    const std::vector<int32_t> meiaPrincipal = {casa(1, 1), casa(5, 5)};
    const std::vector<int32_t> meiaQuebrada = {casa(7, 1), casa(3, 5)};
    // The half diagonal is half the side: the example's 4 steps are the book's only in an
    // 8 × 8 book.
    const int32_t h = N / 2;
    const std::string meia =
        N == n ? std::string("Na meia diagonal são 4 passos e 3 casas pelo meio, mas só as duas "
                             "pontas contam.")
               : Formatar("Nesta grelha de %s, a meia diagonal tem 4 passos, com 3 casas pelo "
                          "meio; nas grelhas de %s deste livro tem %d passos, com %d casas pelo "
                          "meio. Só as duas pontas contam.",
                          Vezes(n).c_str(), Vezes(N).c_str(), h, h - 1);
    DesenharPagina(
        Canvas, n, q, TituloContinuacao,
        "Cinzento escuro: as casas que a lei junta. Cinzento claro: os outros pares da mesma "
        "diagonal (também a 4 passos), que têm a mesma soma. " +
            meia,
        {TPainel{.Titulo = "Um bloco 2 × 2",
                 .Escuras = bloco,
                 .MolduraDoBloco = true,
                 .Legendas = {TextoDaSoma(q, bloco, 130), "em qualquer sítio da grelha"}},
         TPainel{.Titulo = "Bloco nos cantos",
                 .Escuras = cantos,
                 .Legendas = {TextoDaSoma(q, cantos, 130), "a grelha fecha-se em círculo"}},
         TPainel{
             .Titulo = "Meia diagonal, na principal",
             .Escuras = meiaPrincipal,
             .Claras = CasasSemAs(diagonal, meiaPrincipal),
             .Percursos = {{.PassoLinhas = 1, .PassoColunas = 1, .Conta = 5}},
             .Legendas = {TextoDoPar(n, q, meiaPrincipal[0], meiaPrincipal[1], 65),
                          "4 passos, 3 casas pelo meio", "a claro, os outros pares a 4 passos:",
                          TextoDosOutrosPares(n, q, diagonal, meiaPrincipal[0]) + " (65 cada)"}},
         TPainel{
             .Titulo = "Meia diagonal, numa quebrada",
             .Escuras = meiaQuebrada,
             .Claras = CasasSemAs(quebrada, meiaQuebrada),
             .Percursos = {{.Linha0 = 6, .PassoLinhas = 1, .PassoColunas = 1, .Conta = 5}},
             .Legendas = {TextoDoPar(n, q, meiaQuebrada[0], meiaQuebrada[1], 65),
                          "4 passos: sai por baixo, entra por cima",
                          "a claro, os outros pares a 4 passos:",
                          TextoDosOutrosPares(n, q, quebrada, meiaQuebrada[0]) + " (65 cada)"}}});
}

void PaginaDiagramasImpar(IVeltCanvas& Canvas, int32_t N, int32_t APagina) {
    constexpr int32_t n = 5;
    const auto q = QuadradoDeExemplo5();
    const auto casa = [](int32_t ALinha, int32_t AColuna) {
        return IndiceDaCasa(n, ALinha - 1, AColuna - 1);
    };
    if (APagina == 0) {
        PrimeiraPaginaDeDiagramas(Canvas, N, n, q, 65, 26, 1, 3, 1);
        return;
    }
    const std::vector<int32_t> centro = {casa(3, 3)};
    const std::vector<int32_t> opostas = {casa(1, 1), casa(5, 5)};
    const std::vector<int32_t> outroPar = {casa(1, 2), casa(5, 4)};
    const std::vector<int32_t> parDaLinha = {casa(3, 1), casa(3, 5)};
    const int32_t valorDoCentro = q.at(static_cast<size_t>(centro[0]));
    // The pairs and the centre of the book's own order, beside those of the example.
    const int32_t c = SomaComplementar(N);
    DesenharPagina(
        Canvas, n, q, TituloContinuacao,
        Formatar("Casas opostas são duas casas a igual distância do centro, uma de cada lado: "
                 "somam sempre %s (nas grelhas deste livro, %s). A linha passa pelo centro, "
                 "que fica no meio de todos os pares. O próprio centro vale %s (neste livro, "
                 "%s) e nunca é pista.",
                 Igualdade("C", 26).c_str(), Igualdade("C", c).c_str(),
                 SemQuebra(Formatar("C / 2 = %d", valorDoCentro)).c_str(),
                 SemQuebra(Formatar("%d / 2 = %d", c, c / 2)).c_str()),
        {TPainel{.Titulo = "Casas opostas",
                 .Escuras = opostas,
                 .Claras = centro,
                 .Pares = {{.Linha2 = 4, .Coluna2 = 4}},
                 .Legendas = {TextoDaSoma(q, opostas, 26)}},
         TPainel{.Titulo = "Outro par",
                 .Escuras = outroPar,
                 .Claras = centro,
                 .Pares = {{.Coluna1 = 1, .Linha2 = 4, .Coluna2 = 3}},
                 .Legendas = {TextoDaSoma(q, outroPar, 26)}},
         TPainel{.Titulo = "Um par pelo centro da linha",
                 .Escuras = parDaLinha,
                 .Claras = centro,
                 .Pares = {{.Linha1 = 2, .Linha2 = 2, .Coluna2 = 4}},
                 .Legendas = {TextoDaSoma(q, parDaLinha, 26)}},
         TPainel{.Titulo = "O centro",
                 .Escuras = centro,
                 .Legendas = {Formatar("centro: 2 × %d = %d", valorDoCentro, 26)}}});
}

} // namespace tavrelo
