#include "content/diagramas.h"
#include "content/regras.h"
#include "core/tipos.h"

#include "drawing/canvas_gravador.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace tavrelo;
using teste::TCanvasGravador;
using teste::TChamada;

// ---- The example squares keep the laws they illustrate ----

int32_t Em(const std::vector<int32_t>& q, int32_t n, int32_t r, int32_t c) {
    return q[static_cast<size_t>(((r % n + n) % n) * n + ((c % n + n) % n))];
}

struct TQuadrado {
    const char* Nome;
    std::vector<int32_t> Numeros;
    int32_t n;
    int32_t M;
    bool Blocos; // every 2 × 2 block, across the edges too, sums to 2C (M for the 4 × 4)
    int32_t SomaBloco;
    bool MeiaDiagonal; // cells n/2 apart on any diagonal sum to C
    bool Opostas;      // cells opposite about the centre sum to C
};

TEST(QuadradosDeExemplo, SaoMagicosComoSeDiz) {
    const std::vector<TQuadrado> quadrados = {
        {"4", QuadradoDeExemplo4(), 4, 34, true, 34, false, false},
        {"5", QuadradoDeExemplo5(), 5, 65, false, 0, false, true},
        {"8", QuadradoDeExemplo8(), 8, 260, true, 130, true, false},
    };
    for (const auto& q : quadrados) {
        SCOPED_TRACE(q.Nome);
        const int32_t n = q.n;
        const int32_t C = n * n + 1;
        auto ordenados = q.Numeros;
        std::sort(ordenados.begin(), ordenados.end());
        ASSERT_EQ(ordenados.size(), size_t(n * n));
        for (int32_t i = 0; i < n * n; ++i)
            EXPECT_EQ(ordenados[size_t(i)], i + 1);
        for (int32_t k = 0; k < n; ++k) {
            int32_t linha = 0, coluna = 0, diag = 0, anti = 0;
            for (int32_t j = 0; j < n; ++j) {
                linha += Em(q.Numeros, n, k, j);
                coluna += Em(q.Numeros, n, j, k);
                diag += Em(q.Numeros, n, j, k + j); // broken diagonals included
                anti += Em(q.Numeros, n, j, k - j);
            }
            EXPECT_EQ(linha, q.M) << "row " << k;
            EXPECT_EQ(coluna, q.M) << "column " << k;
            EXPECT_EQ(diag, q.M) << "diagonal " << k;
            EXPECT_EQ(anti, q.M) << "anti-diagonal " << k;
        }
        for (int32_t r = 0; r < n; ++r)
            for (int32_t c = 0; c < n; ++c) {
                if (q.Blocos) {
                    EXPECT_EQ(Em(q.Numeros, n, r, c) + Em(q.Numeros, n, r, c + 1) +
                                  Em(q.Numeros, n, r + 1, c) + Em(q.Numeros, n, r + 1, c + 1),
                              q.SomaBloco);
                }
                if (q.MeiaDiagonal) {
                    EXPECT_EQ(Em(q.Numeros, n, r, c) + Em(q.Numeros, n, r + n / 2, c + n / 2), C);
                    EXPECT_EQ(Em(q.Numeros, n, r, c) + Em(q.Numeros, n, r + n / 2, c - n / 2), C);
                }
                if (q.Opostas) {
                    EXPECT_EQ(Em(q.Numeros, n, r, c) + Em(q.Numeros, n, n - 1 - r, n - 1 - c), C);
                }
            }
        if (q.Opostas) {
            EXPECT_EQ(Em(q.Numeros, n, n / 2, n / 2), C / 2);
        }
    }
    EXPECT_EQ(QuadradoDeExemplo8()[0], 11);
    EXPECT_EQ(QuadradoDeExemplo8()[63], 44);
}

// ---- Building blocks ----

TEST(BlocosDosDiagramas, CasasENomes) {
    EXPECT_EQ(IndiceDaCasa(8, 0, 0), 0);
    EXPECT_EQ(IndiceDaCasa(8, 8, -1), 7);
    EXPECT_EQ(IndiceDaCasa(5, -1, 6), 21);
    EXPECT_EQ(PercursoDeCasas(8, 6, 0, 1, 1, 5), (std::vector<int32_t>{48, 57, 2, 11, 20}));
    EXPECT_EQ(PercursoDeCasas(5, 0, 1, 1, -1, 5), (std::vector<int32_t>{1, 5, 14, 18, 22}));
    EXPECT_TRUE(PercursoDeCasas(8, 0, 0, 1, 1, 0).empty());
    EXPECT_EQ(UniaoDeCasas({9, 3, 70}, {3, 1}, 64), (std::vector<int32_t>{1, 3, 9}));
    EXPECT_EQ(CasasSemAs({9, 3, 5, 1}, {5, 2}), (std::vector<int32_t>{9, 3, 1}));
    EXPECT_TRUE(ContemCasa({4, 7}, 7));
    EXPECT_FALSE(ContemCasa({4, 7}, 5));
    EXPECT_EQ(TamanhoDosNumeros(5), 16);
    EXPECT_EQ(TamanhoDosNumeros(7), 16);
    EXPECT_EQ(TamanhoDosNumeros(8), 11);
}

TEST(BlocosDosDiagramas, TextosDasSomas) {
    const auto q8 = QuadradoDeExemplo8();
    EXPECT_EQ(TextoDaSoma(q8, {27, 28, 35, 36}, 130), "21 + 12 + 43 + 54 = 130");
    EXPECT_EQ(TextoDaSoma(q8, {}, 0), " = 0");
    EXPECT_EQ(TextoDoPar(8, q8, 48, 20, 65), "L7C1 + L3C5: 3 + 62 = 65");
    const auto diagonal = PercursoDeCasas(8, 0, 0, 1, 1, 8);
    EXPECT_EQ(TextoDosOutrosPares(8, q8, diagonal, 0), "45 + 20, 58 + 7, 21 + 44");
    // The pair is left out whichever of its two ends is named.
    EXPECT_EQ(TextoDosOutrosPares(8, q8, diagonal, 36), "45 + 20, 58 + 7, 21 + 44");
    EXPECT_EQ(TextoDosOutrosPares(8, q8, diagonal, 54), "11 + 54, 45 + 20, 21 + 44");
    EXPECT_EQ(TextoDosOutrosPares(8, q8, PercursoDeCasas(8, 0, 2, 1, 1, 8), 48),
              "59 + 6, 29 + 36, 17 + 48");
}

TEST(BlocosDosDiagramas, FolgaEmVoltaDoNumero) {
    const double d = std::sqrt(0.5);
    struct TCaso {
        double Tamanho, ux, uy, Folga;
    };
    const std::vector<TCaso> casos = {
        {11, 1, 0, 2.934}, {11, -1, 0, 2.934}, {11, 0, 1, 2.197},
        {11, d, d, 3.107}, {11, -d, d, 3.107}, {16, d, d, 4.005},
        {16, 1, 0, 3.904}, {16, 0, -1, 2.832}, {11, 1, 1e-10, 2.934},
    };
    for (const auto& c : casos)
        EXPECT_NEAR(FolgaDoNumero(c.Tamanho, c.ux, c.uy), c.Folga, 5e-4)
            << c.Tamanho << " pt (" << c.ux << ", " << c.uy << ")";
}

TEST(BlocosDosDiagramas, GrelhaDeExemploDesenhaPorOrdem) {
    TCanvasGravador c;
    const std::vector<int32_t> numeros = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(DesenharGrelhaExemplo(c, 3, numeros, 10, 20, 30, {4, 0}, {8}, "T"), 28.5);
    const auto& ch = c.Chamadas;
    ASSERT_EQ(ch.size(), 1u + 3 + 4 + 1 + 9);
    EXPECT_EQ(ch[0].Op, "Texto");
    EXPECT_EQ(ch[0].Texto, "T");
    EXPECT_EQ(ch[0].Num, (std::vector<double>{10, 20, 11, 0}));
    EXPECT_TRUE(ch[0].Negrito);
    // Light cells first, then dark ones, in the order given.
    EXPECT_EQ(ch[1].Num, (std::vector<double>{30, 48.5, 10, 10, 0, -1, 224}));
    EXPECT_EQ(ch[2].Num, (std::vector<double>{20, 38.5, 10, 10, 0, -1, 200}));
    EXPECT_EQ(ch[3].Num, (std::vector<double>{10, 28.5, 10, 10, 0, -1, 200}));
    EXPECT_EQ(ch[4].Num, (std::vector<double>{10, 38.5, 40, 38.5, 0.4, 0}));
    EXPECT_EQ(ch[5].Num, (std::vector<double>{20, 28.5, 20, 58.5, 0.4, 0}));
    EXPECT_EQ(ch[6].Num, (std::vector<double>{10, 48.5, 40, 48.5, 0.4, 0}));
    EXPECT_EQ(ch[7].Num, (std::vector<double>{30, 28.5, 30, 58.5, 0.4, 0}));
    EXPECT_EQ(ch[8].Op, "Rectangulo");
    EXPECT_EQ(ch[8].Num, (std::vector<double>{10, 28.5, 30, 30, 0.8, 0, -1}));
    const double h = c.AlturaTexto(16);
    for (int32_t k = 0; k < 9; ++k) {
        const auto& t = ch[size_t(9 + k)];
        EXPECT_EQ(t.Texto, std::to_string(k + 1));
        EXPECT_DOUBLE_EQ(t.Num[0], 10 + (k % 3) * 10 + 5);
        EXPECT_DOUBLE_EQ(t.Num[1], 28.5 + (k / 3) * 10 + (10 - h) / 2);
        EXPECT_EQ(t.Num[2], 16);
        EXPECT_EQ(t.Negrito, k == 0 || k == 4) << k;
        EXPECT_EQ(t.Alinhamento, TAlinhamento::alCentro);
    }
}

TEST(BlocosDosDiagramas, LegendasECabecalho) {
    TCanvasGravador c;
    EXPECT_DOUBLE_EQ(DesenharLegendas(c, 22, 40, 70, {"a", "b"}), 40 + 70 + 5 + 2 * 4.6);
    ASSERT_EQ(c.Chamadas.size(), 2u);
    EXPECT_EQ(c.Chamadas[1].Num, (std::vector<double>{22, 119.6, 9, 0}));
    EXPECT_FALSE(c.Chamadas[1].Negrito);

    TCanvasGravador d;
    const std::string intro(300, 'x'); // one word: one line whatever its width
    EXPECT_DOUBLE_EQ(CabecalhoDiagramas(d, "Titulo", intro), 28 + 6.15 + 5);
    ASSERT_EQ(d.Chamadas.size(), 2u);
    EXPECT_EQ(d.Chamadas[0].Num, (std::vector<double>{18, 18, 20, 0}));
    EXPECT_TRUE(d.Chamadas[0].Negrito);
    EXPECT_EQ(d.Chamadas[1].Num, (std::vector<double>{18, 28, 12, 0}));
}

// ---- The four pages ----

struct TPainelDesenhado {
    double X = 0, Topo = 0;
    std::string Titulo;
    double YTitulo = 0;
    std::vector<int32_t> Escuras, Claras;
    std::vector<TChamada> Linhas; // the 0.9 pt path lines
    std::vector<TChamada> Setas;  // arrowheads
    std::vector<TChamada> Extras; // other boxes drawn after the grid
    std::vector<std::string> Legendas;
    std::vector<double> YLegendas;
};

struct TPaginaDesenhada {
    std::vector<TChamada> Chamadas;
    std::string Titulo, Introducao;
    std::vector<TPainelDesenhado> Paineis;
};

// Splits a recorded page into its panels: the page's title is 20 pt bold, a panel starts at
// its 11 pt bold title.
TPaginaDesenhada Desenhar(const std::function<void(IVeltCanvas&)>& APagina) {
    TCanvasGravador c;
    APagina(c);
    TPaginaDesenhada p;
    p.Chamadas = c.Chamadas;
    TPainelDesenhado* atual = nullptr;
    bool grelhaFeita = false;
    for (const auto& ch : c.Chamadas) {
        if (ch.Op == "Texto" && ch.Num[2] == 20 && ch.Negrito && !atual) {
            p.Titulo = ch.Texto;
        } else if (ch.Op == "Texto" && ch.Num[2] == 12) {
            p.Introducao += (p.Introducao.empty() ? "" : " ") + ch.Texto;
        } else if (ch.Op == "Texto" && ch.Num[2] == 11 && ch.Negrito &&
                   ch.Alinhamento == TAlinhamento::alEsquerda) {
            p.Paineis.emplace_back();
            atual = &p.Paineis.back();
            atual->X = ch.Num[0];
            atual->YTitulo = ch.Num[1];
            atual->Titulo = ch.Texto;
            grelhaFeita = false;
        } else if (!atual) {
            continue;
        } else if (ch.Op == "Rectangulo" && ch.Num[4] == 0 && !grelhaFeita) {
            // A shaded cell; its position is read once the frame gives the grid's top.
            atual->Extras.push_back(ch);
        } else if (ch.Op == "Rectangulo" && ch.Num[2] == 70 && ch.Num[4] == 0.8) {
            atual->Topo = ch.Num[1];
            grelhaFeita = true;
        } else if (ch.Op == "Linha" && ch.Num[4] == 0.9) {
            atual->Linhas.push_back(ch);
        } else if (ch.Op == "Poligono") {
            atual->Setas.push_back(ch);
        } else if (ch.Op == "Rectangulo" && grelhaFeita) {
            atual->Extras.push_back(ch);
        } else if (ch.Op == "Texto" && ch.Num[2] == 9) {
            atual->Legendas.push_back(ch.Texto);
            atual->YLegendas.push_back(ch.Num[1]);
        }
    }
    return p;
}

// The shaded cells of a panel, from their boxes.
void ResolverSombras(TPainelDesenhado& APainel, int32_t n) {
    const double cell = 70.0 / n;
    std::vector<int32_t> escuras, claras;
    std::vector<TChamada> extras;
    for (const auto& r : APainel.Extras) {
        if (r.Num[4] != 0) {
            extras.push_back(r);
            continue;
        }
        const int32_t coluna = int32_t(std::lround((r.Num[0] - APainel.X) / cell));
        const int32_t linha = int32_t(std::lround((r.Num[1] - APainel.Topo) / cell));
        (r.Num[6] == 200 ? escuras : claras).push_back(linha * n + coluna);
    }
    std::sort(escuras.begin(), escuras.end());
    std::sort(claras.begin(), claras.end());
    APainel.Escuras = escuras;
    APainel.Claras = claras;
    APainel.Extras = extras;
}

// The pages of an 8 × 8 book, and of a 7 × 7 one, unless another order is asked for.
TPaginaDesenhada PaginaPar(int32_t APagina, int32_t N = 8) {
    auto p = Desenhar([&](IVeltCanvas& c) { PaginaDiagramasPar(c, N, APagina); });
    for (auto& painel : p.Paineis)
        ResolverSombras(painel, 8);
    return p;
}

TPaginaDesenhada PaginaImpar(int32_t APagina, int32_t N = 7) {
    auto p = Desenhar([&](IVeltCanvas& c) { PaginaDiagramasImpar(c, N, APagina); });
    for (auto& painel : p.Paineis)
        ResolverSombras(painel, 5);
    return p;
}

struct TPaginaEsperada {
    const char* Nome;
    TPaginaDesenhada Pagina;
    std::string Titulo;
    std::string Introducao;
    std::vector<std::string> Titulos;
    std::vector<std::vector<std::string>> Legendas;
    std::vector<std::vector<int32_t>> Escuras, Claras;
};

std::vector<TPaginaEsperada> PaginasEsperadas() {
    const std::string setas = "as setas: sai de um lado e entra no outro";
    const std::string claro = "a claro, os outros pares a 4 passos:";
    return {
        {"par, primeira",
         PaginaPar(0),
         "Os diagramas das leis",
         "Cada diagrama mostra uma lei a funcionar numa grelha de 8\u00A0×\u00A08 já preenchida "
         "(M\u00A0=\u00A0260 e C\u00A0=\u00A065, como nas grelhas deste livro). As casas a "
         "cinzento e os números a negrito são as que a lei junta. A linha a cheio segue o "
         "percurso da lei; a seta mostra a diagonal que sai por um lado da grelha e continua do "
         "outro.",
         {"Uma linha", "Uma coluna", "As diagonais principais", "Duas diagonais quebradas"},
         {{"10 + 19 + 58 + 35 + 62 + 39 + 14 + 23 = 260"},
          {"38 + 25 + 39 + 17 + 47 + 20 + 46 + 28 = 260"},
          {"11 + 45 + 58 + 21 + 54 + 20 + 7 + 44 = 260",
           "22 + 52 + 39 + 12 + 43 + 13 + 26 + 53 = 260"},
          {"59 + 29 + 62 + 17 + 6 + 36 + 3 + 48 = 260", "18 + 56 + 23 + 60 + 47 + 9 + 42 + 5 = 260",
           setas}},
         {{16, 17, 18, 19, 20, 21, 22, 23},
          {5, 13, 21, 29, 37, 45, 53, 61},
          {0, 7, 9, 14, 18, 21, 27, 28, 35, 36, 42, 45, 49, 54, 56, 63},
          {1, 2, 8, 11, 20, 23, 29, 30, 37, 38, 44, 47, 48, 51, 57, 58}},
         {{}, {}, {}, {}}},
        {"par, continuação",
         PaginaPar(1),
         "Os diagramas das leis (continuação)",
         "Cinzento escuro: as casas que a lei junta. Cinzento claro: os outros pares da mesma "
         "diagonal (também a 4 passos), que têm a mesma soma. Na meia diagonal são 4 passos e 3 "
         "casas pelo meio, mas só as duas pontas contam.",
         {"Um bloco 2 × 2", "Bloco nos cantos", "Meia diagonal, na principal",
          "Meia diagonal, numa quebrada"},
         {{"21 + 12 + 43 + 54 = 130", "em qualquer sítio da grelha"},
          {"44 + 53 + 22 + 11 = 130", "a grelha fecha-se em círculo"},
          {"L1C1 + L5C5: 11 + 54 = 65", "4 passos, 3 casas pelo meio", claro,
           "45 + 20, 58 + 7, 21 + 44 (65 cada)"},
          {"L7C1 + L3C5: 3 + 62 = 65", "4 passos: sai por baixo, entra por cima", claro,
           "59 + 6, 29 + 36, 17 + 48 (65 cada)"}},
         {{27, 28, 35, 36}, {0, 7, 56, 63}, {0, 36}, {20, 48}},
         {{}, {}, {9, 18, 27, 45, 54, 63}, {2, 11, 29, 38, 47, 57}}},
        {"ímpar, primeira",
         PaginaImpar(0),
         "Os diagramas das leis",
         "Cada diagrama mostra uma lei a funcionar numa grelha de 5\u00A0×\u00A05 já preenchida "
         "(M\u00A0=\u00A065 e C\u00A0=\u00A026). As grelhas deste livro são de "
         "7\u00A0×\u00A07, com M\u00A0=\u00A0175 e C\u00A0=\u00A050, mas as leis são as "
         "mesmas. As casas a cinzento e os números a negrito são as que a lei junta. A linha a "
         "cheio segue o percurso da lei; a seta mostra a diagonal que sai por um lado da grelha e "
         "continua do outro.",
         {"Uma linha", "Uma coluna", "As diagonais principais", "Duas diagonais quebradas"},
         {{"23 + 7 + 16 + 5 + 14 = 65"},
          {"8 + 5 + 22 + 19 + 11 = 65"},
          {"1 + 7 + 13 + 19 + 25 = 65", "17 + 5 + 13 + 21 + 9 = 65"},
          {"15 + 16 + 22 + 3 + 9 = 65", "15 + 23 + 6 + 19 + 2 = 65", setas}},
         {{5, 6, 7, 8, 9},
          {3, 8, 13, 18, 23},
          {0, 4, 6, 8, 12, 16, 18, 20, 24},
          {1, 5, 7, 13, 14, 18, 19, 20, 22}},
         {{}, {}, {}, {}}},
        {"ímpar, continuação",
         PaginaImpar(1),
         "Os diagramas das leis (continuação)",
         "Casas opostas são duas casas a igual distância do centro, uma de cada lado: somam "
         "sempre C\u00A0=\u00A026 (nas grelhas deste livro, C\u00A0=\u00A050). A linha passa "
         "pelo centro, que fica no meio de todos os pares. O próprio centro vale "
         "C\u00A0/\u00A02\u00A0=\u00A013 (neste livro, 50\u00A0/\u00A02\u00A0=\u00A025) e "
         "nunca é pista.",
         {"Casas opostas", "Outro par", "Um par pelo centro da linha", "O centro"},
         {{"1 + 25 = 26"}, {"15 + 11 = 26"}, {"20 + 6 = 26"}, {"centro: 2 × 13 = 26"}},
         {{0, 24}, {1, 23}, {10, 14}, {12}},
         {{12}, {12}, {12}, {}}},
    };
}

TEST(PaginasDeDiagramas, TitulosLegendasECasas) {
    for (const auto& e : PaginasEsperadas()) {
        SCOPED_TRACE(e.Nome);
        EXPECT_EQ(e.Pagina.Titulo, e.Titulo);
        EXPECT_EQ(e.Pagina.Introducao, e.Introducao);
        ASSERT_EQ(e.Pagina.Paineis.size(), 4u);
        for (size_t k = 0; k < 4; ++k) {
            const auto& p = e.Pagina.Paineis[k];
            SCOPED_TRACE(p.Titulo);
            EXPECT_EQ(p.Titulo, e.Titulos[k]);
            EXPECT_EQ(p.Legendas, e.Legendas[k]);
            EXPECT_EQ(p.Escuras, e.Escuras[k]);
            EXPECT_EQ(p.Claras, e.Claras[k]);
        }
    }
}

// The examples are 8 × 8 and 5 × 5 in every book: what the pages say of the book's own grids
// is said for its order, as the rules page says it.
TEST(PaginasDeDiagramas, DizemOQueValeNaOrdemDoLivro) {
    const std::string f = "\u00A0"; // no line breaks inside a sum or an order
    struct TCaso {
        int32_t N;
        std::vector<std::string> Primeira, Continuacao;
    };
    const std::vector<TCaso> casos = {
        {8,
         {"(M" + f + "=" + f + "260 e C" + f + "=" + f + "65, como nas grelhas deste livro)"},
         {"Na meia diagonal são 4 passos e 3 casas pelo meio"}},
        {12,
         {"As grelhas deste livro são de 12" + f + "×" + f + "12, com M" + f + "=" + f + "870 e C" +
          f + "=" + f + "145"},
         {"nas grelhas de 12" + f + "×" + f + "12 deste livro tem 6 passos, com 5 casas"}},
        {16,
         {"As grelhas deste livro são de 16" + f + "×" + f + "16, com M" + f + "=" + f +
          "2056 e C" + f + "=" + f + "257"},
         {"nas grelhas de 16" + f + "×" + f + "16 deste livro tem 8 passos, com 7 casas"}},
        {11,
         {"As grelhas deste livro são de 11" + f + "×" + f + "11, com M" + f + "=" + f + "671 e C" +
          f + "=" + f + "122"},
         {"(nas grelhas deste livro, C" + f + "=" + f + "122)",
          "(neste livro, 122" + f + "/" + f + "2" + f + "=" + f + "61)"}},
        {13,
         {"As grelhas deste livro são de 13" + f + "×" + f + "13, com M" + f + "=" + f +
          "1105 e C" + f + "=" + f + "170"},
         {"(nas grelhas deste livro, C" + f + "=" + f + "170)",
          "(neste livro, 170" + f + "/" + f + "2" + f + "=" + f + "85)"}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.N);
        const bool impar = c.N % 2 != 0;
        const auto primeira = impar ? PaginaImpar(0, c.N) : PaginaPar(0, c.N);
        const auto continuacao = impar ? PaginaImpar(1, c.N) : PaginaPar(1, c.N);
        for (const auto& t : c.Primeira)
            EXPECT_NE(primeira.Introducao.find(t), std::string::npos) << primeira.Introducao;
        for (const auto& t : c.Continuacao)
            EXPECT_NE(continuacao.Introducao.find(t), std::string::npos) << continuacao.Introducao;
        if (!impar) {
            // The rules page counts the same steps on the half diagonal: so many rows down and
            // columns across.
            const int32_t h = c.N / 2;
            EXPECT_NE(TextoDaLei(TLeiTavrelo::llMeia, c.N)
                          .find(Formatar("%d linhas abaixo e %d colunas ao lado", h, h)),
                      std::string::npos);
            EXPECT_EQ(continuacao.Introducao.find("Na meia diagonal são 4 passos") ==
                          std::string::npos,
                      c.N != 8);
        }
        // The panels show the example whatever the book.
        EXPECT_EQ(primeira.Paineis.size(), 4u);
        EXPECT_EQ(continuacao.Paineis.size(), 4u);
    }
}

TEST(PaginasDeDiagramas, DuasFilasDePaineis) {
    for (const auto& e : PaginasEsperadas()) {
        SCOPED_TRACE(e.Nome);
        const auto& ps = e.Pagina.Paineis;
        ASSERT_EQ(ps.size(), 4u);
        // The introduction's lines, then 5 mm, then the first row.
        size_t linhasIntro = 0;
        for (const auto& ch : e.Pagina.Chamadas)
            linhasIntro += ch.Op == "Texto" && ch.Num[2] == 12;
        const double y0 = 28 + 6.15 * double(linhasIntro) + 5;
        EXPECT_DOUBLE_EQ(ps[0].YTitulo, y0);
        EXPECT_DOUBLE_EQ(ps[1].YTitulo, y0);
        const double fim = std::max(ps[0].YLegendas.back(), ps[1].YLegendas.back()) + 4.6;
        EXPECT_NEAR(ps[2].YTitulo, fim + 6, 1e-9);
        EXPECT_NEAR(ps[3].YTitulo, fim + 6, 1e-9);
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(ps[k].X, k % 2 == 0 ? 22 : 108);
            EXPECT_DOUBLE_EQ(ps[k].Topo, ps[k].YTitulo + 8.5);
            EXPECT_NEAR(ps[k].YLegendas.front(), ps[k].Topo + 75, 1e-9);
        }
    }
}

TEST(PaginasDeDiagramas, NumerosEscurosANegrito) {
    const auto p = PaginaImpar(1);
    std::vector<std::pair<std::string, bool>> primeiroPainel;
    for (const auto& ch : p.Chamadas)
        if (ch.Op == "Texto" && ch.Num[2] == 16 && ch.Alinhamento == TAlinhamento::alCentro)
            primeiroPainel.push_back({ch.Texto, ch.Negrito});
    ASSERT_GE(primeiroPainel.size(), 25u);
    primeiroPainel.resize(25);
    const auto q = QuadradoDeExemplo5();
    for (size_t i = 0; i < 25; ++i) {
        EXPECT_EQ(primeiroPainel[i].first, std::to_string(q[i]));
        EXPECT_EQ(primeiroPainel[i].second, i == 0 || i == 24) << i; // the centre is light
    }
}

TPontoMm Centro(const TPainelDesenhado& p, int32_t n, int32_t linha, int32_t coluna) {
    const double cell = 70.0 / n;
    return {p.X + (coluna + 0.5) * cell, p.Topo + (linha + 0.5) * cell};
}

TPontoMm Ao(TPontoMm P, double t, double ux, double uy) {
    return {P.X + t * ux, P.Y + t * uy};
}

void EsperarPonto(TPontoMm a, TPontoMm b, const std::string& AOnde) {
    EXPECT_NEAR(a.X, b.X, 1e-3) << AOnde;
    EXPECT_NEAR(a.Y, b.Y, 1e-3) << AOnde;
}

// One wrap: the path leaves past an edge after cell Sai and comes back in at cell Entra.
struct TVolta {
    int32_t LinhaSai, ColunaSai, LinhaEntra, ColunaEntra, dr, dc;
};

struct TCasoVoltas {
    const char* Nome;
    TPaginaDesenhada Pagina;
    size_t Painel;
    int32_t n;
    double Fora;  // from a centre to the arrow tip outside
    double Folga; // from a centre to where a line stops short of its number
    std::vector<TVolta> Voltas;
};

TEST(PaginasDeDiagramas, SetasOndeODiagonalDaAVolta) {
    const std::vector<TCasoVoltas> casos = {
        // 0.5·8.75·√2 + 3.5 and the 11 pt diagonal clearance.
        {"numa quebrada", PaginaPar(1), 3, 8, 9.687, 3.107, {{7, 1, 0, 2, 1, 1}}},
        {"quebradas 8",
         PaginaPar(0),
         3,
         8,
         9.687,
         3.107,
         {{5, 7, 6, 0, 1, 1}, {1, 0, 2, 7, 1, -1}}},
        // 0.5·14·√2 + 3.5 and the 16 pt diagonal clearance.
        {"quebradas 5",
         PaginaImpar(0),
         3,
         5,
         13.399,
         4.005,
         {{3, 4, 4, 0, 1, 1}, {1, 0, 2, 4, 1, -1}}},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Nome);
        const auto& p = caso.Pagina.Paineis.at(caso.Painel);
        ASSERT_EQ(p.Setas.size(), 2 * caso.Voltas.size());
        for (size_t v = 0; v < caso.Voltas.size(); ++v) {
            const auto& volta = caso.Voltas[v];
            const double ux = volta.dc / std::sqrt(2.0);
            const double uy = volta.dr / std::sqrt(2.0);
            const TPontoMm sai = Centro(p, caso.n, volta.LinhaSai, volta.ColunaSai);
            const TPontoMm entra = Centro(p, caso.n, volta.LinhaEntra, volta.ColunaEntra);
            const auto& seta1 = p.Setas[2 * v];
            const auto& seta2 = p.Setas[2 * v + 1];
            EsperarPonto(seta1.Pontos.at(0), Ao(sai, caso.Fora, ux, uy), "out tip");
            EsperarPonto(seta2.Pontos.at(0), Ao(entra, -caso.Folga, ux, uy), "in tip");
            // The lines that carry the arrows: out from the number, in from outside.
            bool achouSaida = false, achouEntrada = false;
            for (const auto& l : p.Linhas) {
                const TPontoMm a{l.Num[0], l.Num[1]}, b{l.Num[2], l.Num[3]};
                const TPontoMm saidaA = Ao(sai, caso.Folga, ux, uy);
                const TPontoMm entradaA = Ao(entra, -caso.Fora, ux, uy);
                achouSaida = achouSaida ||
                             (std::hypot(a.X - saidaA.X, a.Y - saidaA.Y) < 1e-3 &&
                              std::hypot(b.X - seta1.Pontos[0].X, b.Y - seta1.Pontos[0].Y) < 1e-9);
                achouEntrada =
                    achouEntrada ||
                    (std::hypot(a.X - entradaA.X, a.Y - entradaA.Y) < 1e-3 &&
                     std::hypot(b.X - seta2.Pontos[0].X, b.Y - seta2.Pontos[0].Y) < 1e-9);
            }
            EXPECT_TRUE(achouSaida);
            EXPECT_TRUE(achouEntrada);
            // A black head 2.6 mm long and 2.2 mm wide.
            for (const auto* s : {&seta1, &seta2}) {
                ASSERT_EQ(s->Pontos.size(), 3u);
                EXPECT_EQ(s->Num, (std::vector<double>{0.4, 0, 0}));
                const TPontoMm T = s->Pontos[0];
                const TPontoMm B = Ao(T, -2.6, ux, uy);
                EsperarPonto(s->Pontos[1], {B.X - 1.1 * uy, B.Y + 1.1 * ux}, "head side");
                EsperarPonto(s->Pontos[2], {B.X + 1.1 * uy, B.Y - 1.1 * ux}, "head side");
            }
        }
    }
}

TEST(PaginasDeDiagramas, SoHaSetasOndeOPercursoDaAVolta) {
    struct TCaso {
        const char* Nome;
        TPaginaDesenhada Pagina;
        std::vector<size_t> Setas, Linhas;
    };
    const std::vector<TCaso> casos = {
        {"par, primeira", PaginaPar(0), {0, 0, 0, 4}, {7, 7, 14, 16}},
        {"par, continuação", PaginaPar(1), {0, 0, 0, 2}, {0, 0, 4, 5}},
        {"ímpar, primeira", PaginaImpar(0), {0, 0, 0, 4}, {4, 4, 8, 10}},
        // The lines of a pair break at every number they pass: the ones through the centre's
        // neighbours in four pieces, the steeper one, which passes no other number, in two.
        {"ímpar, continuação", PaginaImpar(1), {0, 0, 0, 0}, {4, 2, 4, 0}},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Nome);
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(caso.Pagina.Paineis[k].Setas.size(), caso.Setas[k]) << k;
            EXPECT_EQ(caso.Pagina.Paineis[k].Linhas.size(), caso.Linhas[k]) << k;
        }
    }
}

TEST(PaginasDeDiagramas, SegmentosParamAntesDosNumeros) {
    const auto par = PaginaPar(0);
    struct TCaso {
        const char* Nome;
        const TPainelDesenhado* Painel;
        int32_t r0, c0, dr, dc;
        double Folga;
    };
    const std::vector<TCaso> casos = {
        {"linha", &par.Paineis[0], 2, 0, 0, 1, 2.934},
        {"coluna", &par.Paineis[1], 0, 5, 1, 0, 2.197},
        {"diagonal", &par.Paineis[2], 0, 0, 1, 1, 3.107},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Nome);
        const double L = std::hypot(caso.dr, caso.dc);
        const double ux = caso.dc / L, uy = caso.dr / L;
        for (int32_t k = 0; k < 7; ++k) {
            const auto& l = caso.Painel->Linhas.at(size_t(k));
            const TPontoMm a =
                Centro(*caso.Painel, 8, caso.r0 + k * caso.dr, caso.c0 + k * caso.dc);
            const TPontoMm b =
                Centro(*caso.Painel, 8, caso.r0 + (k + 1) * caso.dr, caso.c0 + (k + 1) * caso.dc);
            EsperarPonto({l.Num[0], l.Num[1]}, Ao(a, caso.Folga, ux, uy), "start");
            EsperarPonto({l.Num[2], l.Num[3]}, Ao(b, -caso.Folga, ux, uy), "end");
            EXPECT_EQ(l.Num[5], 0);
        }
    }
}

TEST(PaginasDeDiagramas, ParesPeloCentroDeNumeroEmNumero) {
    const auto p = PaginaImpar(1);
    struct TCaso {
        size_t Painel;
        std::vector<std::pair<int32_t, int32_t>> Casas; // the numbers the line joins, in order
        double Folga; // 16 pt along a diagonal, along a steeper line, along a row
    };
    const std::vector<TCaso> casos = {
        {0, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}, 4.005},
        {1, {{0, 1}, {2, 2}, {4, 3}}, 2.832 * std::sqrt(5.0) / 2},
        {2, {{2, 0}, {2, 1}, {2, 2}, {2, 3}, {2, 4}}, 3.904},
    };
    for (const auto& caso : casos) {
        const auto& painel = p.Paineis[caso.Painel];
        SCOPED_TRACE(painel.Titulo);
        ASSERT_EQ(painel.Linhas.size(), caso.Casas.size() - 1);
        for (size_t k = 0; k + 1 < caso.Casas.size(); ++k) {
            const auto& l = painel.Linhas[k];
            const TPontoMm a = Centro(painel, 5, caso.Casas[k].first, caso.Casas[k].second);
            const TPontoMm b = Centro(painel, 5, caso.Casas[k + 1].first, caso.Casas[k + 1].second);
            const double L = std::hypot(b.X - a.X, b.Y - a.Y);
            const double ux = (b.X - a.X) / L, uy = (b.Y - a.Y) / L;
            EsperarPonto({l.Num[0], l.Num[1]}, Ao(a, caso.Folga, ux, uy), "start");
            EsperarPonto({l.Num[2], l.Num[3]}, Ao(b, -caso.Folga, ux, uy), "end");
        }
    }
}

// No line of a diagram page runs into a number: every 0.9 pt line stays out of the box a
// line stops at, 0.194 × size + 0.8 mm either side of the number's centre and
// 0.127 × size + 0.8 mm above and below it.
TEST(PaginasDeDiagramas, NenhumaLinhaCortaUmNumero) {
    struct TCaixa {
        double X0, Y0, X1, Y1;
        std::string Numero;
    };
    // The length of the segment AB inside the box (slab method).
    const auto dentro = [](TPontoMm A, TPontoMm B, const TCaixa& c) {
        double t0 = 0, t1 = 1;
        const double d[2] = {B.X - A.X, B.Y - A.Y};
        const double a[2] = {A.X, A.Y};
        const double lo[2] = {c.X0, c.Y0}, hi[2] = {c.X1, c.Y1};
        for (int i = 0; i < 2; ++i) {
            if (std::abs(d[i]) < 1e-12) {
                if (a[i] <= lo[i] || a[i] >= hi[i])
                    return 0.0;
                continue;
            }
            double e = (lo[i] - a[i]) / d[i], f = (hi[i] - a[i]) / d[i];
            if (e > f)
                std::swap(e, f);
            t0 = std::max(t0, e);
            t1 = std::min(t1, f);
        }
        return t1 > t0 ? (t1 - t0) * std::hypot(d[0], d[1]) : 0.0;
    };
    struct TPagina {
        const char* Nome;
        TPaginaDesenhada Desenho;
        size_t Numeros; // four panels of 64 or 25
    };
    const std::vector<TPagina> paginas = {
        {"par, primeira", PaginaPar(0), 256},
        {"par, continuação", PaginaPar(1), 256},
        {"ímpar, primeira", PaginaImpar(0), 100},
        {"ímpar, continuação", PaginaImpar(1), 100},
    };
    for (const auto& [nome, pagina, numeros] : paginas) {
        SCOPED_TRACE(nome);
        std::vector<TCaixa> caixas;
        size_t linhas = 0;
        for (const auto& ch : pagina.Chamadas) {
            if (ch.Op == "Texto" && ch.Alinhamento == TAlinhamento::alCentro &&
                (ch.Num[2] == 16 || ch.Num[2] == 11)) {
                const double s = ch.Num[2];
                const double cy = ch.Num[1] + TCanvasGravador::AlturaPorPt * s / 2;
                const double meiaLargura = 0.194 * s + 0.8, meiaAltura = 0.127 * s + 0.8;
                caixas.push_back({ch.Num[0] - meiaLargura, cy - meiaAltura, ch.Num[0] + meiaLargura,
                                  cy + meiaAltura, ch.Texto});
            }
        }
        EXPECT_EQ(caixas.size(), numeros);
        for (const auto& ch : pagina.Chamadas) {
            if (ch.Op != "Linha" || ch.Num[4] != 0.9)
                continue;
            ++linhas;
            for (const auto& c : caixas)
                EXPECT_LT(dentro({ch.Num[0], ch.Num[1]}, {ch.Num[2], ch.Num[3]}, c), 1e-6)
                    << "a line from (" << ch.Num[0] << ", " << ch.Num[1] << ") to (" << ch.Num[2]
                    << ", " << ch.Num[3] << ") crosses " << c.Numero;
        }
        EXPECT_GT(linhas, 0u);
    }
}

TEST(PaginasDeDiagramas, BlocoEmolduradoEmVezDePercurso) {
    const auto p = PaginaPar(1);
    const auto& bloco = p.Paineis[0];
    ASSERT_EQ(bloco.Extras.size(), 1u);
    const double cell = 8.75;
    EXPECT_EQ(bloco.Extras[0].Num, (std::vector<double>{22 + 3 * cell, bloco.Topo + 3 * cell,
                                                        2 * cell, 2 * cell, 1.4, 0, -1}));
    for (size_t k = 1; k < 4; ++k)
        EXPECT_TRUE(p.Paineis[k].Extras.empty()) << k;
}

} // namespace
