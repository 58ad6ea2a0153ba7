#include "composition/dicas.h"

#include "composition/livros_teste.h"
#include "quadrados.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

using enum TFamilia;
using teste_paginas::LivroGerado;

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

TEST(Dicas, TextoPorFamilia) {
    TSolverDeducao s8(8);
    const std::vector<int32_t>& q8 = teste::MAIS_PERFEITO_8.Valores;
    TSolverDeducao s7(7);
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
    TSolverDeducao s8(8);
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
    TSolverDeducao s7(7);
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
                        << "uses " << NomeDaCasa(p.N, x) << " before it is known";
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
        TSolverDeducao s(N);
        const int32_t centro = CentroDaGrelha(N);
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

} // namespace
} // namespace tavrelo
