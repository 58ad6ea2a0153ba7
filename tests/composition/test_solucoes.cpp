#include "composition/paginas.h"

#include "composition/livros_teste.h"
#include "drawing/canvas_gravador.h"
#include "quadrados.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

using enum TFamilia;
using ::teste::TCanvasGravador;
using ::teste::TChamada;
using teste_paginas::LivroGerado;
using teste_paginas::NumerosDaGrelha;
using teste_paginas::TextosIguais;
using teste_paginas::TNumeroNaGrelha;

TPassoDeducao Passo(TFamilia f, int32_t lei, int32_t celula, int32_t valor, int32_t parceiro = -1,
                    int32_t resto = 0) {
    TPassoDeducao p;
    p.Familia = f;
    p.Lei = lei;
    p.Celula = celula;
    p.Valor = valor;
    p.Parceiro = parceiro;
    p.Resto = resto;
    return p;
}

TEST(Dicas, NomeCasa) {
    struct Caso {
        int32_t N, Celula;
        const char* Nome;
    };
    for (const Caso c :
         {Caso{8, 0, "L1C1"}, Caso{8, 20, "L3C5"}, Caso{8, 63, "L8C8"}, Caso{7, 48, "L7C7"},
          Caso{13, 84, "L7C7"}, Caso{16, 255, "L16C16"}, Caso{16, 17, "L2C2"}}) {
        EXPECT_EQ(NomeCasa(c.N, c.Celula), c.Nome);
    }
}

TEST(Dicas, TextoPorFamilia) {
    const TSolverDeducao s8(8);
    const std::vector<int32_t>& q8 = teste::MAIS_PERFEITO_8.Valores;
    const TSolverDeducao s7(7);
    const std::vector<int32_t>& q7 = teste::ULTRAMAGICO_7.Valores;
    struct Caso {
        const TSolverDeducao& Solver;
        const std::vector<int32_t>& Solucao;
        TPassoDeducao P;
        const char* Texto;
    };
    const Caso casos[] = {
        {s8, q8, Passo(lfLinha, 0, 2, 45), "L1C3 = 260 - 215 = 45 (linha 1)"},
        {s8, q8, Passo(lfLinha, 1, 12, 42), "L2C5 = 260 - 218 = 42 (linha 2)"},
        {s8, q8, Passo(lfLinha, 8, 16, 57), "L3C1 = 260 - 203 = 57 (coluna 1)"},
        {s8, q8, Passo(lfLinha, 15, 63, 64), "L8C8 = 260 - 196 = 64 (coluna 8)"},
        {s8, q8, Passo(lfDiagPrincipal, 16, 9, 21), "L2C2 = 260 - 239 = 21 (diagonal principal)"},
        {s8, q8, Passo(lfDiagPrincipal, 31, 14, 46), "L2C7 = 260 - 214 = 46 (diagonal secundária)"},
        {s8, q8, Passo(lfDiagQuebrada, 17, 22, 51), "L3C7 = 260 - 209 = 51 (diagonal quebrada)"},
        {s8, q8, Passo(lfBloco, 32, 9, 21), "L2C2 = 130 - 109 = 21 (bloco 2x2)"},
        {s8, q8, Passo(lfMeia, 33, 0, 41), "L1C1 = 65 - 24 = 41 (meia diagonal, com L5C5)"},
        {s8, q8, Passo(lfMeia, 33, 36, 24), "L5C5 = 65 - 41 = 24 (meia diagonal, com L1C1)"},
        {s8, q8, Passo(lfLista, -1, 20, 55), "L3C5 = 55 (pela lista de números)"},
        {s8, q8, Passo(lfLista, 2, 20, 55, 25, 61), "L3C5 = 55 (lista: L3C5 + L4C2 = 61)"},
        {s7, q7, Passo(lfPar, 28, 0, 19), "L1C1 = 50 - 31 = 19 (casas opostas, com L7C7)"},
        // The centre of an odd square, whatever the step's law or family.
        {s7, q7, Passo(lfPar, 52, 24, 25), "L4C4 = 50 / 2 = 25 (o centro)"},
        {s7, q7, Passo(lfLinha, 3, 24, 25), "L4C4 = 50 / 2 = 25 (o centro)"},
        {s7, q7, Passo(lfLista, -1, 24, 25), "L4C4 = 50 / 2 = 25 (o centro)"},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(TextoDica(c.Solver, c.Solucao, c.P), c.Texto);
    }
}

// Order 8 givens: the known square with the cells that the steps fill left empty.
std::vector<int32_t> DadosSem(std::initializer_list<int32_t> AVazias,
                              const TSolucao& AQuadrado = teste::MAIS_PERFEITO_8) {
    std::vector<int32_t> d = AQuadrado.Valores;
    for (const int32_t c : AVazias) {
        d[size_t(c)] = 0;
    }
    return d;
}

TEST(Dicas, EscolhaPorFamiliaOrcamentoEFecho) {
    const TSolverDeducao s8(8);
    using V = std::vector<int32_t>;
    using P = std::vector<TPassoDeducao>;

    // Four independent steps: diagonals, blocks and half-diagonals first, rows last.
    const P quatro{Passo(lfLinha, 0, 3, 32), Passo(lfBloco, 96, 41, 38),
                   Passo(lfDiagPrincipal, 31, 14, 46), Passo(lfMeia, 33, 36, 24)};
    const V dadosQuatro = DadosSem({3, 41, 14, 36});
    // Steps that build on each other: the diagonal of cell 9 needs cell 0 of row 1's step.
    const P fecho{Passo(lfLinha, 0, 0, 41), Passo(lfDiagPrincipal, 16, 9, 21),
                  Passo(lfBloco, 96, 41, 38)};
    const V dadosFecho = DadosSem({0, 9, 41});
    // The diagonal of cell 27 needs two earlier steps: too dear for a budget of 2.
    const P caro{Passo(lfLinha, 0, 0, 41), Passo(lfLinha, 2, 18, 61),
                 Passo(lfDiagPrincipal, 16, 27, 1), Passo(lfDiagPrincipal, 31, 14, 46),
                 Passo(lfBloco, 96, 41, 38)};
    const V dadosCaro = DadosSem({0, 18, 27, 14, 41});
    // A step that needs a later one, a list step without a law, and a step that needs it.
    const P orfaos{Passo(lfDiagPrincipal, 16, 0, 41), Passo(lfLinha, 1, 9, 21),
                   Passo(lfLista, -1, 50, 14), Passo(lfLinha, 6, 49, 59)};
    const V dadosOrfaos = DadosSem({0, 9, 50, 49});
    // A list step with its law does not need its partner cell, even if that comes later.
    const P lista{Passo(lfLista, 0, 1, 28, 2, 73), Passo(lfLinha, 10, 2, 45)};
    const V dadosLista = DadosSem({1, 2});
    const P nenhum;

    struct Caso {
        const char* Nome;
        const P& Passos;
        const V& Dados;
        int32_t Limite;
        V Escolha;
    };
    const Caso casos[] = {
        {"all four", quatro, dadosQuatro, 12, {0, 1, 2, 3}},
        {"budget 2", quatro, dadosQuatro, 2, {1, 2}},
        {"budget 3", quatro, dadosQuatro, 3, {1, 2, 3}},
        {"budget 0", quatro, dadosQuatro, 0, {}},
        {"closure", fecho, dadosFecho, 12, {0, 1, 2}},
        {"closure fits", fecho, dadosFecho, 2, {0, 1}},
        {"closure too dear", fecho, dadosFecho, 1, {2}},
        {"passed over", caro, dadosCaro, 2, {3, 4}},
        {"whole closure", caro, dadosCaro, 12, {0, 1, 2, 3, 4}},
        {"not self-contained", orfaos, dadosOrfaos, 12, {1}},
        {"list with its law", lista, dadosLista, 12, {0, 1}},
        {"list first", lista, dadosLista, 1, {0}},
        {"no steps", nenhum, dadosLista, 12, {}},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(EscolherDicas(s8, c.Dados, c.Passos, c.Limite, -1), c.Escolha) << c.Nome;
    }
}

TEST(Dicas, OCentroVemPrimeiro) {
    const TSolverDeducao s7(7);
    const TSolucao& q = teste::ULTRAMAGICO_7;
    // The centre's row holds cell 22, found only later: by its law the centre step would
    // not stand alone, but the centre needs no law.
    const std::vector<TPassoDeducao> passos{Passo(lfLinha, 0, 1, 29), Passo(lfPar, 29, 47, 21),
                                            Passo(lfLinha, 3, 24, 25), Passo(lfLinha, 8, 22, 47)};
    const std::vector<int32_t> dados = DadosSem({1, 47, 24, 22}, q);
    using V = std::vector<int32_t>;
    EXPECT_EQ(EscolherDicas(s7, dados, passos, 12, 24), (V{2, 0, 1, 3}));
    EXPECT_EQ(EscolherDicas(s7, dados, passos, 1, 24), (V{2}));
    EXPECT_EQ(EscolherDicas(s7, dados, passos, 3, 24), (V{2, 0, 1}));
    EXPECT_EQ(EscolherDicas(s7, dados, passos, 12, -1), (V{0, 1, 3}));
}

// What every choice of hints of a real puzzle must satisfy.
void VerificarDicasReais(const TSolverDeducao& s, const TPuzzle& p, int32_t ACentro) {
    const std::vector<TPassoDeducao>& passos = p.Resultado.Passos;
    const std::vector<int32_t> D = EscolherDicas(s, p.Dados, passos, 12, ACentro);
    ASSERT_LE(D.size(), 12u);
    ASSERT_FALSE(D.empty());
    std::set<int32_t> conhecidas; // cells shown by the hints so far
    for (size_t i = 0; i < D.size(); ++i) {
        const TPassoDeducao& passo = passos[size_t(D[i])];
        const std::string texto = TextoDica(s, p.Solucao, passo);
        SCOPED_TRACE(texto);
        if (i > 0) {
            EXPECT_TRUE(D[i] > D[i - 1] || (i == 1 && passos[size_t(D[0])].Celula == ACentro));
        }
        const bool centro = passo.Celula == ACentro;
        EXPECT_FALSE(passo.Familia == lfLista && passo.Parceiro < 0 && !centro);
        EXPECT_EQ(passo.Valor, p.Solucao[size_t(passo.Celula)]);
        if (!centro) {
            for (const int32_t x : s.Lei(passo.Lei).Celulas) {
                if (x != passo.Celula && x != passo.Parceiro) {
                    EXPECT_TRUE(p.Dados[size_t(x)] != 0 || conhecidas.count(x) != 0)
                        << "uses " << NomeCasa(p.N, x) << " before it is known";
                }
            }
        }
        conhecidas.insert(passo.Celula);
        // The arithmetic of a law hint adds up.
        int K = 0, S = 0, V = 0;
        char casa[16];
        if (passo.Familia != lfLista && !centro &&
            std::sscanf(texto.c_str(), "%15s = %d - %d = %d", casa, &K, &S, &V) == 4) {
            EXPECT_EQ(K - S, V);
            EXPECT_EQ(V, passo.Valor);
        } else if (passo.Familia != lfLista || centro) {
            EXPECT_TRUE(centro) << "not the arithmetic of a law";
        }
    }
}

TEST(Dicas, PuzzlesReais) {
    for (const int32_t N : {8, 7, 11, 16}) {
        SCOPED_TRACE("order " + std::to_string(N));
        const TLivro& livro = LivroGerado(N, N <= 8 ? 10 : 3);
        const TSolverDeducao s(N);
        const int32_t centro = N % 2 != 0 ? (N * N - 1) / 2 : -1;
        int32_t comCentro = 0;
        for (const TPuzzleDoLivro& pl : livro.Puzzles) {
            VerificarDicasReais(s, pl.Puzzle, centro);
            const auto& passos = pl.Puzzle.Resultado.Passos;
            const auto noCentro = std::find_if(passos.begin(), passos.end(),
                                               [&](const auto& p) { return p.Celula == centro; });
            if (centro >= 0 && noCentro != passos.end()) {
                ++comCentro;
                const std::vector<int32_t> D =
                    EscolherDicas(s, pl.Puzzle.Dados, passos, 12, centro);
                const std::string esperado =
                    N == 7 ? "L4C4 = 50 / 2 = 25 (o centro)" : "L6C6 = 122 / 2 = 61 (o centro)";
                EXPECT_EQ(TextoDica(s, pl.Puzzle.Solucao, passos[size_t(D[0])]), esperado);
            }
        }
        EXPECT_EQ(comCentro > 0, centro >= 0) << "the odd books have a found centre to show";
    }
}

// The solution of puzzle AIndice drawn in the slot (X, Y, W).
void VerificarSolucao(const TCanvasGravador& g, const TLivro& livro, TSolverDeducao& s,
                      int32_t AIndice, double X, double Y, double W) {
    SCOPED_TRACE("solution " + std::to_string(AIndice + 1));
    const TPuzzle& p = livro.Puzzles[size_t(AIndice)].Puzzle;
    const int32_t N = p.N;
    const bool dicas = livro.Config.Caminho;
    const double lado = LadoSolucao(N, dicas);
    const double G = dicas ? X : X + (W - lado) / 2;
    const std::string titulo = Formatar("Puzzle %.3d", AIndice + 1);

    const auto t = TextosIguais(g, titulo);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].Num, (std::vector<double>{G, Y, 11, 0}));
    EXPECT_TRUE(t[0].Negrito);
    bool somas = false;
    for (const TChamada& c : TextosIguais(g, TextoSomas(N))) {
        somas = somas || (std::abs(c.Num[0] - (G + 0.18 * 11 * 1.1 * 10 + 6)) < 1e-9 &&
                          std::abs(c.Num[1] - (Y + (0.41 * 11 - 0.41 * 9.5) / 2)) < 1e-9 &&
                          c.Num[2] == 9.5 && c.Num[3] == 128 && !c.Negrito);
    }
    EXPECT_TRUE(somas);

    // The grid: the whole solution, givens regular on grey, found numbers bold.
    const double T = Y + 7;
    std::vector<TNumeroNaGrelha> esperados;
    std::vector<std::vector<double>> cinzentos;
    const double cel = lado / N;
    for (int32_t c = 0; c < N * N; ++c) {
        const bool dado = p.Dados[size_t(c)] != 0;
        esperados.push_back({c, p.Solucao[size_t(c)], !dado});
        if (dado) {
            cinzentos.push_back({G + (c % N) * cel, T + (c / N) * cel, cel, cel, 0, -1, 235});
        }
    }
    EXPECT_EQ(NumerosDaGrelha(g, N, G, T, lado, TamanhoNumeros(N, lado)), esperados);
    std::vector<std::vector<double>> fundos;
    for (const TChamada& c : g.DoTipo("Rectangulo")) {
        if (c.Num[6] == 235 && c.Num[0] >= G && c.Num[0] < G + lado && c.Num[1] >= T &&
            c.Num[1] < T + lado) {
            fundos.push_back(c.Num);
        }
    }
    EXPECT_EQ(fundos, cinzentos);

    // The hints, 4.6 mm apart, and the grey closing line 1 mm under the last.
    const double hx = N <= 8 ? X + lado + 6 : X;
    const double hy = N <= 8 ? T : T + lado + 3;
    const auto& passos = p.Resultado.Passos;
    std::vector<int32_t> D;
    if (dicas) {
        D = EscolherDicas(s, p.Dados, passos, 12, N % 2 != 0 ? (N * N - 1) / 2 : -1);
    }
    std::vector<TChamada> linhas;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[0] == hx && c.Num[2] == 9.5 && c.Num[1] >= hy && c.Num[1] < hy + 4.6 * 13 + 1) {
            linhas.push_back(c);
        }
    }
    const bool fecho = dicas && passos.size() > D.size();
    ASSERT_EQ(linhas.size(), D.size() + (fecho ? 1 : 0));
    for (size_t i = 0; i < D.size(); ++i) {
        EXPECT_EQ(linhas[i].Texto,
                  std::to_string(i + 1) + ". " + TextoDica(s, p.Solucao, passos[size_t(D[i])]));
        EXPECT_NEAR(linhas[i].Num[1], hy + 4.6 * double(i), 1e-9);
        EXPECT_EQ(linhas[i].Num[3], 0);
        EXPECT_EQ(linhas[i].Alinhamento, TAlinhamento::alEsquerda);
    }
    if (fecho) {
        EXPECT_EQ(linhas.back().Texto, "Os restantes números resultam do mesmo modo.");
        EXPECT_NEAR(linhas.back().Num[1], hy + 4.6 * double(D.size()) + 1, 1e-9);
        EXPECT_EQ(linhas.back().Num[3], 128);
    }
}

void VerificarCabecaERodape(const TCanvasGravador& g, int32_t ANumero) {
    ASSERT_GE(g.Chamadas.size(), 3u);
    const TChamada& t = g.Chamadas.front();
    EXPECT_EQ(t.Texto, "Soluções");
    EXPECT_EQ(t.Num, (std::vector<double>{105, 18, 16, 0}));
    EXPECT_TRUE(t.Negrito);
    EXPECT_EQ(t.Alinhamento, TAlinhamento::alCentro);
    EXPECT_EQ(g.Chamadas[g.Chamadas.size() - 2].Texto, "TAVRELO | Brovanel");
    EXPECT_EQ(g.Chamadas.back().Texto, std::to_string(ANumero));
}

TEST(PaginaDeSolucoes, Disposicoes) {
    struct Caso {
        int32_t N;
        int32_t Puzzles;
        bool Dicas;
        int32_t Primeiro;
        std::vector<std::array<double, 3>> Slots; // X, Y, width of each solution drawn
    };
    const Caso casos[] = {
        {8, 10, true, 2, {{18, 30, 174}, {18, 151, 174}}},
        {8, 10, false, 4, {{18, 30, 87}, {105, 30, 87}, {18, 151, 87}, {105, 151, 87}}},
        // Past the end of the book: only the puzzles that exist.
        {8, 10, false, 8, {{18, 30, 87}, {105, 30, 87}}},
        {8, 10, true, 9, {{18, 30, 174}}},
        {7, 10, true, 0, {{18, 30, 174}, {18, 151, 174}}},
        {11, 3, true, 1, {{18, 30, 174}}},
        {16, 3, true, 2, {{18, 30, 174}}},
        {12, 3, false, 0, {{18, 30, 174}, {18, 151, 174}}},
        {13, 3, false, 2, {{18, 30, 174}}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE("order " + std::to_string(c.N) + (c.Dicas ? " with hints" : ""));
        const TLivro livro = teste_paginas::ComDicas(LivroGerado(c.N, c.Puzzles), c.Dicas);
        TCompositorLivro compositor(livro, TInfoLivro{});
        TCanvasGravador g;
        compositor.DesenharSolucoes(g, TDescPagina{TTipoPagina::pgSolucoes, c.Primeiro, 40});
        VerificarCabecaERodape(g, 40);
        TSolverDeducao s(c.N);
        for (size_t i = 0; i < c.Slots.size(); ++i) {
            VerificarSolucao(g, livro, s, c.Primeiro + int32_t(i), c.Slots[i][0], c.Slots[i][1],
                             c.Slots[i][2]);
        }
        // Nothing more than the slots listed.
        int32_t titulos = 0;
        for (const std::string& t : g.Textos()) {
            titulos += t.rfind("Puzzle ", 0) == 0 ? 1 : 0;
        }
        EXPECT_EQ(titulos, int32_t(c.Slots.size()));
        EXPECT_EQ(compositor.TemSolver(), c.Dicas);
    }
}

TEST(PaginaDeSolucoes, GrelhasCentradasSemDicas) {
    // Four 74 mm grids in two rows of two, each centred in its 87 mm slot; two 112 mm grids
    // for the larger orders.
    struct Caso {
        int32_t N;
        std::vector<std::array<double, 2>> Cantos;
        double Lado;
    };
    const Caso casos[] = {
        {8, {{24.5, 37}, {111.5, 37}, {24.5, 158}, {111.5, 158}}, 74},
        {16, {{49, 37}, {49, 158}}, 112},
    };
    for (const Caso& c : casos) {
        const TLivro livro = teste_paginas::ComDicas(LivroGerado(c.N, c.N <= 8 ? 10 : 3), false);
        TCompositorLivro compositor(livro, TInfoLivro{});
        TCanvasGravador g;
        compositor.DesenharSolucoes(g, TDescPagina{TTipoPagina::pgSolucoes, 0, 40});
        std::vector<std::array<double, 2>> molduras;
        for (const TChamada& r : g.DoTipo("Rectangulo")) {
            if (r.Num[4] == 0.8) {
                EXPECT_EQ(r.Num[2], c.Lado);
                molduras.push_back({r.Num[0], r.Num[1]});
            }
        }
        EXPECT_EQ(molduras, c.Cantos) << c.N;
    }
}

TEST(PaginaDeSolucoes, DozeDicasEALinhaFinal) {
    // A book of order 8 with hints: each solution shows at most 12 hints; where its record is
    // longer, the grey closing line follows 1 mm under the last hint.
    const TLivro& livro = LivroGerado(8, 10);
    TCompositorLivro compositor(livro, TInfoLivro{});
    TCanvasGravador g;
    compositor.DesenharSolucao(g, 0, 18, 30, 174);
    std::vector<TChamada> dicas;
    for (const TChamada& c : g.DoTipo("Texto")) {
        if (c.Num[0] == 98 && c.Num[2] == 9.5) {
            dicas.push_back(c);
        }
    }
    ASSERT_GE(dicas.size(), 2u);
    ASSERT_LE(dicas.size(), 13u);
    for (size_t i = 0; i + 1 < dicas.size(); ++i) {
        EXPECT_EQ(dicas[i].Texto.rfind(std::to_string(i + 1) + ". ", 0), 0u) << dicas[i].Texto;
        EXPECT_NEAR(dicas[i].Num[1], 37 + 4.6 * double(i), 1e-9);
        EXPECT_EQ(dicas[i].Num[3], 0);
    }
    EXPECT_EQ(dicas.back().Texto, "Os restantes números resultam do mesmo modo.");
    EXPECT_NEAR(dicas.back().Num[1], 37 + 4.6 * double(dicas.size() - 1) + 1, 1e-9);
    EXPECT_EQ(dicas.back().Num[3], 128);

    // A record without steps: no hints and no closing line.
    TLivro semPassos = livro;
    semPassos.Puzzles[0].Puzzle.Resultado.Passos.clear();
    TCompositorLivro outro(semPassos, TInfoLivro{});
    TCanvasGravador h;
    outro.DesenharSolucao(h, 0, 18, 30, 174);
    for (const TChamada& c : h.DoTipo("Texto")) {
        EXPECT_NE(c.Num[0], 98) << c.Texto;
    }
}

} // namespace
} // namespace tavrelo
