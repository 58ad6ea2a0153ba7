#include "composition/dicas.h"

#include "composition/leitor_de_dicas.h"
#include "composition/livros_teste.h"
#include "quadrados.h"

#include <gtest/gtest.h>

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
        std::vector<TParDaLista> Pares = {};
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
        // The pairs found on the page, in the order given, replace the record's own.
        {s8,
         q8,
         Passo(lfLista, 2, 0, 41, 25, 61),
         "L1C1 = 41 (lista: L1C1 + L1C4 = 73; L1C1 + L4C1 = 97)",
         {{0, 3, 73}, {8, 24, 97}}},
        {s8,
         q8,
         Passo(lfLista, -1, 0, 41),
         "L1C1 = 41 (lista: L1C1 + L1C4 = 73; L1C1 + L4C1 = 97)",
         {{0, 3, 73}, {8, 24, 97}}},
        {s7, q7, Passo(lfPar, 28, 0, 19), "L1C1 = 50 - 31 = 19 (casas opostas, com L7C7)"},
        // The centre of an odd square, whatever the step's law or family.
        {s7, q7, Passo(lfPar, 52, 24, 25), "L4C4 = 50 / 2 = 25 (o centro)"},
        {s7, q7, Passo(lfLinha, 3, 24, 25), "L4C4 = 50 / 2 = 25 (o centro)"},
        {s7, q7, Passo(lfLista, -1, 24, 25), "L4C4 = 50 / 2 = 25 (o centro)"},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(TextoDica(c.Solver, c.Solucao, c.P, c.Pares), c.Texto);
    }
}

// The steps chosen, without their pairs.
std::vector<int32_t> Indices(const std::vector<TDica>& ADicas) {
    std::vector<int32_t> r;
    for (const TDica& d : ADicas) {
        r.push_back(d.Passo);
    }
    return r;
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
    // A step that needs a later one; a list step whose record names no law but which holds
    // on the page (row 7 pairs L7C3 with L7C2 and a broken diagonal with L1C1: only 14 is
    // allowed by both), and a step that needs it.
    const P orfaos{Passo(lfDiagPrincipal, 16, 0, 41), Passo(lfLinha, 1, 9, 21),
                   Passo(lfLista, -1, 50, 14), Passo(lfLinha, 6, 49, 59)};
    const V dadosOrfaos = DadosSem({0, 9, 50, 49});
    // A list step that names only its pair law: one pair always leaves a number and its
    // partner, so it is skipped, and the step after it is still shown.
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
        {"not self-contained", orfaos, dadosOrfaos, 12, {1, 2, 3}},
        {"list of one pair", lista, dadosLista, 12, {1}},
        {"list of one pair, budget 1", lista, dadosLista, 1, {1}},
        {"no steps", nenhum, dadosLista, 12, {}},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(Indices(EscolherDicas(s8, c.Dados, c.Passos, c.Limite, -1)), c.Escolha) << c.Nome;
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
    EXPECT_EQ(Indices(EscolherDicas(s7, dados, passos, 12, 24)), (V{2, 0, 1, 3}));
    EXPECT_EQ(Indices(EscolherDicas(s7, dados, passos, 1, 24)), (V{2}));
    EXPECT_EQ(Indices(EscolherDicas(s7, dados, passos, 3, 24)), (V{2, 0, 1}));
    EXPECT_EQ(Indices(EscolherDicas(s7, dados, passos, 12, -1)), (V{0, 1, 3}));
}

TEST(Dicas, ParesDaListaNaPagina) {
    TSolverDeducao s8(8);
    TSolverDeducao s7(7);
    using Pares = std::vector<TParDaLista>;
    struct Caso {
        const char* Nome;
        const TSolverDeducao& Solver;
        std::vector<int32_t> Grelha;
        int32_t Celula, Valor;
        Pares Esperados;
    };
    const Caso casos[] = {
        // Still to place 32, 41 and 56: row 1 (law 0) allows 32 and 41, column 1 (law 8)
        // 41 and 56; only 41 is in both.
        {"row and column", s8, DadosSem({0, 3, 24}), 0, 41, {{0, 3, 73}, {8, 24, 97}}},
        {"not the value left", s8, DadosSem({0, 3, 24}), 0, 32, {}},
        {"a filled cell", s8, DadosSem({0, 3, 24}), 1, 28, {}},
        // One pair law alone leaves 41 and its partner 32.
        {"one pair", s8, DadosSem({0, 3}), 0, 41, {}},
        // Three open pair laws (31, 44, 60): 31 and 44 pair L2C7 with L1C8 and leave 18 and
        // 46; the first two that leave 46 alone are 31 and 60, and 44 is not named.
        {"fewest laws", s8, DadosSem({7, 14, 23, 24}), 14, 46, {{31, 7, 64}, {60, 23, 48}}},
        // Still to place 1, 7, 16 and 25. The main diagonal (law 14) lacks 32: 16 + 16 is no
        // pair of two cells, so it allows 7 and 25 only, and the broken diagonal (law 19)
        // with 23 leaves 7.
        {"no number is its own partner",
         s7,
         DadosSem({24, 27, 8, 28}, teste::ULTRAMAGICO_7),
         8,
         7,
         {{14, 24, 32}, {19, 27, 23}}},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(ParesDaLista(c.Solver, c.Grelha, c.Celula, c.Valor), c.Esperados) << c.Nome;
    }
}

TEST(Dicas, ListaSoOndeSeLeNaPagina) {
    TSolverDeducao s8(8);
    using V = std::vector<int32_t>;
    // L1C1 by the list holds on the givens. L1C4 by its column comes earlier in the record:
    // shown, it would stand above the list hint and close row 1, leaving column 1's pair
    // alone with two numbers; so it is skipped, and L4C1, which needs L1C1, is still shown.
    const std::vector<TPassoDeducao> passos{
        Passo(lfLinha, 11, 3, 32), Passo(lfLista, 0, 0, 41, 3, 73), Passo(lfLinha, 8, 24, 56)};
    const V dados = DadosSem({0, 3, 24});
    const std::vector<TDica> D = EscolherDicas(s8, dados, passos, 12, -1);
    const std::vector<TDica> esperadas{{1, {{0, 3, 73}, {8, 24, 97}}}, {2, {}}};
    EXPECT_EQ(D, esperadas);
    EXPECT_EQ(TextoDica(s8, teste::MAIS_PERFEITO_8.Valores, passos[1], D[0].Pares),
              "L1C1 = 41 (lista: L1C1 + L1C4 = 73; L1C1 + L4C1 = 97)");
    EXPECT_EQ(Indices(EscolherDicas(s8, dados, passos, 1, -1)), V{1});
    // With no list hint under it, the column step is shown.
    EXPECT_EQ(Indices(EscolherDicas(s8, dados, std::vector{passos[0]}, 12, -1)), V{0});
}

TEST(Dicas, OLeitorSoSegueOQueSeLeNaPagina) {
    // The reader of the test below, on the page without L1C1 (41), L1C4 (32) and L4C1 (56):
    // it must refuse what a solver could not follow there.
    TSolverDeducao s8(8);
    struct Caso {
        std::vector<std::string> Dicas; // in turn
        bool Segue;                     // the last one, after the others
    };
    const Caso casos[] = {
        {{"L1C1 = 41 (lista: L1C1 + L1C4 = 73; L1C1 + L4C1 = 97)"}, true},
        {{"L1C1 = 41 (lista: L1C1 + L1C4 = 73)"}, false},
        {{"L1C1 = 41 (lista: L1C1 + L1C4 = 73; L1C1 + L4C1 = 98)"}, false},
        {{"L1C1 = 32 (lista: L1C1 + L1C4 = 73; L1C1 + L4C1 = 97)"}, false},
        {{"L1C1 = 41 (pela lista de números)"}, false},
        {{"L1C4 = 260 - 228 = 32 (coluna 4)"}, true},
        {{"L1C4 = 260 - 228 = 32 (linha 1)"}, false},
        {{"L1C4 = 260 - 227 = 33 (coluna 4)"}, false},
        {{"L1C1 = 65 - 24 = 41 (meia diagonal, com L5C5)"}, true},
        {{"L1C1 = 65 - 24 = 41 (meia diagonal, com L2C2)"}, false},
        {{"L4C1 = 130 - 74 = 56 (bloco 2x2)"}, true},
        // Once L1C4 is shown, row 1 is no pair law any more.
        {{"L1C4 = 260 - 228 = 32 (coluna 4)",
          "L1C1 = 41 (lista: L1C1 + L1C4 = 73; L1C1 + L4C1 = 97)"},
         false},
        // Nor is a cell found twice.
        {{"L1C4 = 260 - 228 = 32 (coluna 4)", "L1C4 = 260 - 228 = 32 (coluna 4)"}, false},
    };
    for (const Caso& c : casos) {
        std::vector<int32_t> grelha = DadosSem({0, 3, 24});
        for (size_t i = 0; i + 1 < c.Dicas.size(); ++i) {
            ASSERT_EQ(teste_dicas::LerDica(s8, grelha, c.Dicas[i]), "") << c.Dicas[i];
        }
        EXPECT_EQ(teste_dicas::LerDica(s8, grelha, c.Dicas.back()).empty(), c.Segue)
            << c.Dicas.back();
    }
}

// Every hint printed under the solutions of books of every order, at the levels that use
// lists, is replayed from the page before it by the reader, who knows nothing of the record.
TEST(Dicas, CadaDicaImpressaSeLeNaPagina) {
    for (const int32_t N : {8, 12, 16, 7, 11, 13}) {
        TSolverDeducao s(N);
        for (const int32_t nivel : {4, 5, 0}) {
            SCOPED_TRACE("order " + std::to_string(N) + " level " + std::to_string(nivel));
            const TLivro& livro = LivroGerado(N, 3, nivel);
            TCompositorLivro compositor(livro, TInfoLivro{});
            for (size_t p = 0; p < livro.Puzzles.size(); ++p) {
                SCOPED_TRACE("puzzle " + std::to_string(p + 1));
                const TPuzzle& puzzle = livro.Puzzles[p].Puzzle;
                ::teste::TCanvasGravador g;
                compositor.DesenharSolucao(g, int32_t(p), 18, 30, 174);
                const std::vector<std::string> dicas = teste_dicas::DicasImpressas(g);
                ASSERT_FALSE(dicas.empty());
                EXPECT_LE(dicas.size(), size_t(DICAS_POR_SOLUCAO));
                std::vector<int32_t> grelha = puzzle.Dados;
                for (const std::string& texto : dicas) {
                    const std::vector<int32_t> antes = grelha;
                    ASSERT_EQ(teste_dicas::LerDica(s, grelha, texto), "") << texto;
                    const teste_dicas::TDicaLida d = teste_dicas::PartirDica(N, texto);
                    EXPECT_EQ(grelha[size_t(d.Celula)], puzzle.Solucao[size_t(d.Celula)]) << texto;
                    // A list hint names no law it does not need.
                    for (size_t k = 0; k < d.Pares.size(); ++k) {
                        std::vector<teste_dicas::TParLido> menos = d.Pares;
                        menos.erase(menos.begin() + std::ptrdiff_t(k));
                        EXPECT_GT(teste_dicas::ValoresDosPares(s, antes, menos).size(), 1u)
                            << texto << " without its law " << k + 1;
                    }
                }
                // The centre of an odd square leads, as soon as the record has it.
                const int32_t centro = CentroDaGrelha(N);
                if (centro >= 0 && puzzle.Dados[size_t(centro)] == 0) {
                    EXPECT_EQ(dicas[0], N == 7    ? "L4C4 = 50 / 2 = 25 (o centro)"
                                        : N == 11 ? "L6C6 = 122 / 2 = 61 (o centro)"
                                                  : "L7C7 = 170 / 2 = 85 (o centro)");
                }
            }
        }
    }
}

} // namespace
} // namespace tavrelo
