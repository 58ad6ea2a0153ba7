#include "composition/dicas.h"

#include "composition/destino_teste.h"
#include "composition/leitor_de_dicas.h"
#include "composition/livros_teste.h"
#include "content/regras.h"
#include "drawing/canvas_cairo.h"
#include "generation/niveis.h"
#include "quadrados.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cairo.h>
#include <cstdio>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

using enum TFamilia;
using enum TTipoDica;
using teste_paginas::LivroGerado;

TPassoDeducao Passo(TFamilia f, int32_t lei, int32_t celula, int32_t valor) {
    TPassoDeducao p;
    p.Familia = f;
    p.Lei = lei;
    p.Celula = celula;
    p.Valor = valor;
    return p;
}

// The known square with the cells AVazias left empty.
std::vector<int32_t> DadosSem(std::initializer_list<int32_t> AVazias,
                              const TSolucao& AQuadrado = teste::MAIS_PERFEITO_8) {
    std::vector<int32_t> d = AQuadrado.Valores;
    for (const int32_t c : AVazias) {
        d[size_t(c)] = 0;
    }
    return d;
}

// Grids of the order-7 square where the reader's simple steps stop at once: the list fixes
// L1C3 with two laws; a candidates hint on L1C2 is needed before the list fixes L1C5; the list
// fixes nothing at all (nor does the solver's), so a number is revealed.
const std::vector<int32_t> PARA_NA_LISTA =
    DadosSem({2, 4, 14, 20, 28, 34, 44, 46}, teste::ULTRAMAGICO_7);
const std::vector<int32_t> PARA_NOS_CANDIDATOS =
    DadosSem({1, 4, 7, 8, 10, 12, 13, 16, 19, 21, 27, 29, 32, 35, 36, 38, 40, 41, 44, 47},
             teste::ULTRAMAGICO_7);
const std::vector<int32_t> PARA_DE_VEZ = DadosSem(
    {0, 3, 6, 9, 12, 15, 19, 21, 23, 25, 27, 29, 33, 36, 39, 42, 45, 48}, teste::ULTRAMAGICO_7);

TEST(Dicas, TextoPorForma) {
    TSolverDeducao s8(8);
    const std::vector<int32_t>& q8 = teste::MAIS_PERFEITO_8.Valores;
    TSolverDeducao s7(7);
    const std::vector<int32_t>& q7 = teste::ULTRAMAGICO_7.Valores;
    struct Caso {
        const TSolverDeducao& Solver;
        const std::vector<int32_t>& Solucao;
        TDica D;
        std::vector<std::string> Textos;
    };
    auto lei = [](int32_t ALei, int32_t ACelula, int32_t AValor) {
        return TDica{tdLei, ACelula, AValor, ALei, {}};
    };
    // A list hint of one narrowing on ACelula, from the pair laws given.
    auto lista = [](int32_t ACelula, std::vector<int32_t> AValores,
                    std::vector<TParDaLista> APares) {
        return TDica{tdLista, ACelula, AValores.front(), -1, {{ACelula, AValores, APares}}};
    };
    const Caso casos[] = {
        {s8, q8, lei(0, 2, 45), {"L1C3 = 260 − 215 = 45 (linha 1)"}},
        {s8, q8, lei(8, 16, 57), {"L3C1 = 260 − 203 = 57 (coluna 1)"}},
        {s8, q8, lei(15, 63, 64), {"L8C8 = 260 − 196 = 64 (coluna 8)"}},
        {s8, q8, lei(16, 9, 21), {"L2C2 = 260 − 239 = 21 (diagonal principal)"}},
        {s8, q8, lei(31, 14, 46), {"L2C7 = 260 − 214 = 46 (diagonal secundária)"}},
        // A broken diagonal and a block are named by the cells where they start and end,
        // across the edges too.
        {s8, q8, lei(17, 22, 51), {"L3C7 = 260 − 209 = 51 (diagonal quebrada de L1C1 a L8C2)"}},
        {s8, q8, lei(32, 9, 21), {"L2C2 = 130 − 109 = 21 (bloco 2 × 2 de L1C1 a L2C2)"}},
        {s8, q8, lei(127, 0, 41), {"L1C1 = 130 − 89 = 41 (bloco 2 × 2 de L8C8 a L1C1)"}},
        {s8, q8, lei(33, 36, 24), {"L5C5 = 65 − 41 = 24 (meia diagonal, com L1C1)"}},
        {s7, q7, lei(28, 0, 19), {"L1C1 = 50 − 31 = 19 (casas opostas, com L7C7)"}},
        // The centre of an odd square, whatever its law.
        {s7, q7, lei(52, 24, 25), {"L4C4 = 50 / 2 = 25 (o centro)"}},
        {s7, q7, lei(3, 24, 25), {"L4C4 = 50 / 2 = 25 (o centro)"}},
        // Every sum of a list hint names its law after it.
        {s8,
         q8,
         lista(0, {41}, {{0, 3, 73}, {8, 24, 97}}),
         {"L1C1 = 41 (lista: L1C1 + L1C4 = 73 na linha 1; L1C1 + L4C1 = 97 na coluna 1)"}},
        {s8,
         q8,
         lista(0, {41}, {{16, 9, 62}, {127, 63, 105}}),
         {"L1C1 = 41 (lista: L1C1 + L2C2 = 62 na diagonal principal; L1C1 + L8C8 = 105 no "
          "bloco 2 × 2 de L8C8 a L1C1)"}},
        {s8,
         q8,
         lista(39, {12}, {{4, 36, 70}, {22, 40, 60}, {39, 3, 65}}),
         {"L5C8 = 12 (lista: L5C8 + L5C5 = 70 na linha 5; L5C8 + L6C1 = 60 na diagonal "
          "quebrada de L1C4 a L8C3; L5C8 + L1C4 = 65 na meia diagonal)"}},
        {s8,
         q8,
         lista(14, {46}, {{31, 21, 97}, {58, 22, 97}}),
         {"L2C7 = 46 (lista: L2C7 + L3C6 = 97 na diagonal secundária; L2C7 + L3C7 = 97 no "
          "bloco 2 × 2 de L2C6 a L3C7)"}},
        {s7,
         q7,
         lista(0, {19}, {{28, 48, 50}}),
         {"L1C1 = 19 (lista: L1C1 + L7C7 = 50 em casas opostas)"}},
        // A list hint in two narrowings: the first leaves numbers, the last one.
        {s8,
         q8,
         {tdLista,
          36,
          24,
          -1,
          {{39, {12, 20, 31}, {{4, 36, 70}, {39, 3, 65}}}, {36, {24}, {{4, 39, 70}}}}},
         {"L5C8 só pode ser 12, 20 ou 31 (lista: L5C8 + L5C5 = 70 na linha 5; L5C8 + L1C4 = 65 "
          "na meia diagonal)",
          "L5C5 = 24 (lista: L5C5 + L5C8 = 70 na linha 5)"}},
        {s8, q8, {tdChave, 27, 1, -1, {}}, {"L4C4 = 1 (número-chave)"}},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(TextosDaDica(c.Solver, c.Solucao, c.D), c.Textos);
    }
}

// The cells of the hints, in the order shown.
std::vector<int32_t> Casas(const TDicas& ADicas) {
    std::vector<int32_t> r;
    for (const TDica& d : ADicas.Dicas) {
        r.push_back(d.Celula);
    }
    return r;
}

TEST(Dicas, IniciaisPorFamiliaOrcamentoEFecho) {
    // Grids that the reader fills alone: every hint is a starter taken from the record.
    TSolverDeducao s8(8);
    const std::vector<int32_t>& q8 = teste::MAIS_PERFEITO_8.Valores;
    using V = std::vector<int32_t>;
    using P = std::vector<TPassoDeducao>;

    // Four independent steps: diagonals, blocks and half-diagonals first, rows last.
    const P quatro{Passo(lfLinha, 0, 3, 32), Passo(lfBloco, 96, 41, 38),
                   Passo(lfDiagPrincipal, 31, 14, 46), Passo(lfMeia, 33, 36, 24)};
    const V dadosQuatro = DadosSem({3, 41, 14, 36});
    // Steps that build on each other: the diagonal of L2C2 needs L1C1 of row 1's step.
    const P fecho{Passo(lfLinha, 0, 0, 41), Passo(lfDiagPrincipal, 16, 9, 21),
                  Passo(lfBloco, 96, 41, 38)};
    const V dadosFecho = DadosSem({0, 9, 41});
    // The diagonal of L4C4 needs two earlier steps: too dear for a budget of 2.
    const P caro{Passo(lfLinha, 0, 0, 41), Passo(lfLinha, 2, 18, 61),
                 Passo(lfDiagPrincipal, 16, 27, 1), Passo(lfDiagPrincipal, 31, 14, 46),
                 Passo(lfBloco, 96, 41, 38)};
    const V dadosCaro = DadosSem({0, 18, 27, 14, 41});
    // A step that needs a later one; a list step, and a step that needs it: none of them is
    // a starter.
    const P orfaos{Passo(lfDiagPrincipal, 16, 0, 41), Passo(lfLinha, 1, 9, 21),
                   Passo(lfLista, -1, 50, 14), Passo(lfLinha, 6, 49, 59)};
    const V dadosOrfaos = DadosSem({0, 9, 50, 49});
    const P nenhum;

    struct Caso {
        const char* Nome;
        const P& Passos;
        const V& Dados;
        int32_t Limite;
        V Escolha; // the cells, in the order shown
    };
    const Caso casos[] = {
        {"all four", quatro, dadosQuatro, 12, {3, 41, 14, 36}},
        {"budget 2", quatro, dadosQuatro, 2, {41, 14}},
        {"budget 3", quatro, dadosQuatro, 3, {41, 14, 36}},
        {"budget 0", quatro, dadosQuatro, 0, {}},
        {"closure", fecho, dadosFecho, 12, {0, 9, 41}},
        {"closure fits", fecho, dadosFecho, 2, {0, 9}},
        {"closure too dear", fecho, dadosFecho, 1, {41}},
        {"passed over", caro, dadosCaro, 2, {14, 41}},
        {"whole closure", caro, dadosCaro, 12, {0, 18, 27, 14, 41}},
        {"not self-contained", orfaos, dadosOrfaos, 12, {9}},
        {"no steps", nenhum, dadosOrfaos, 12, {}},
    };
    for (const Caso& c : casos) {
        const TDicas D = EscolherDicas(s8, c.Dados, q8, c.Passos, c.Limite);
        EXPECT_EQ(Casas(D), c.Escolha) << c.Nome;
        EXPECT_EQ(D.NumIniciais, int32_t(D.Dicas.size())) << c.Nome;
        for (const TDica& d : D.Dicas) {
            EXPECT_EQ(d.Tipo, tdLei) << c.Nome;
        }
    }
    // Hints that fill every empty cell leave the reader nothing to do; fewer do not.
    EXPECT_TRUE(DicasBastam(dadosQuatro, EscolherDicas(s8, dadosQuatro, q8, quatro, 12).Dicas));
    EXPECT_FALSE(DicasBastam(dadosQuatro, EscolherDicas(s8, dadosQuatro, q8, quatro, 3).Dicas));
}

TEST(Dicas, OCentroVemPrimeiro) {
    TSolverDeducao s7(7);
    const TSolucao& q = teste::ULTRAMAGICO_7;
    // The centre's row holds L4C2, found only later: by its law the centre step would not
    // stand alone, but the centre needs no law.
    const std::vector<TPassoDeducao> passos{Passo(lfLinha, 0, 1, 29), Passo(lfPar, 29, 47, 21),
                                            Passo(lfLinha, 3, 24, 25), Passo(lfLinha, 8, 22, 47)};
    const std::vector<int32_t> dados = DadosSem({1, 47, 24, 22}, q);
    using V = std::vector<int32_t>;
    EXPECT_EQ(Casas(EscolherDicas(s7, dados, q.Valores, passos, 12)), (V{24, 1, 47, 22}));
    EXPECT_EQ(Casas(EscolherDicas(s7, dados, q.Valores, passos, 1)), (V{24}));
    EXPECT_EQ(Casas(EscolherDicas(s7, dados, q.Valores, passos, 3)), (V{24, 1, 47}));
}

// A room of ALinhas lines, a hint taking one for each of its narrowings.
TEspacoDasDicas EspacoDe(int32_t ALinhas) {
    TEspacoDasDicas r;
    r.LinhasDa = [](const TDica& d) { return d.Tipo == tdLista ? int32_t(d.Cadeia.size()) : 1; };
    r.Cabem = [ALinhas, r](std::span<const TDica> ADicas) {
        int32_t n = 0;
        for (const TDica& d : ADicas) {
            n += r.LinhasDa(d);
        }
        return n <= ALinhas;
    };
    return r;
}

TEST(Dicas, PassosChaveOndeOLeitorPara) {
    TSolverDeducao s7(7);
    TSolverDeducao s8(8);
    const std::vector<int32_t> linhas1e5 =
        DadosSem({0, 1, 2, 3, 4, 5, 6, 7, 32, 33, 34, 35, 36, 37, 38, 39});
    const TEspacoDasDicas umaLinha = EspacoDe(1);
    const TEspacoDasDicas duasLinhas = EspacoDe(2);
    struct Caso {
        const char* Nome;
        const TSolverDeducao& Solver;
        const TSolucao& Quadrado;
        const std::vector<int32_t>& Dados;
        const TEspacoDasDicas* Espaco;
        std::vector<std::vector<std::string>> Textos; // by hint
    };
    const Caso casos[] = {
        {"one list hint",
         s7,
         teste::ULTRAMAGICO_7,
         PARA_NA_LISTA,
         nullptr,
         {{"L1C3 = 46 (lista: L1C3 + L1C5 = 70 na linha 1; L1C3 + L7C3 = 72 na coluna 3)"}}},
        // One hint in two narrowings: the second reads L1C2 as one of the three numbers the
        // first leaves it.
        {"a narrowing, then the number",
         s7,
         teste::ULTRAMAGICO_7,
         PARA_NOS_CANDIDATOS,
         nullptr,
         {{"L1C2 só pode ser 12, 24 ou 29 (lista: L1C2 + L1C5 = 53 na linha 1; L1C2 + L6C7 = 40 "
           "na diagonal quebrada de L1C2 a L7C1)",
           "L1C5 = 24 (lista: L1C5 + L1C2 = 53 na linha 1; L1C5 + L5C5 = 33 na coluna 5)"}}},
        {"room for the two lines",
         s7,
         teste::ULTRAMAGICO_7,
         PARA_NOS_CANDIDATOS,
         &duasLinhas,
         {{"L1C2 só pode ser 12, 24 ou 29 (lista: L1C2 + L1C5 = 53 na linha 1; L1C2 + L6C7 = 40 "
           "na diagonal quebrada de L1C2 a L7C1)",
           "L1C5 = 24 (lista: L1C5 + L1C2 = 53 na linha 1; L1C5 + L5C5 = 33 na coluna 5)"}}},
        // With room for one line only, a number is revealed instead: the first cell that
        // lets the reader finish.
        {"no room for the argument",
         s7,
         teste::ULTRAMAGICO_7,
         PARA_NOS_CANDIDATOS,
         &umaLinha,
         {{"L1C2 = 29 (número-chave)"}}},
        // Where the list fixes nothing, the cell that unlocks most: L1C1 would leave the
        // reader stuck again, L3C2 lets them finish.
        {"revealed",
         s7,
         teste::ULTRAMAGICO_7,
         PARA_DE_VEZ,
         nullptr,
         {{"L3C2 = 23 (número-chave)"}}},
        {"revealed, order 8",
         s8,
         teste::MAIS_PERFEITO_8,
         linhas1e5,
         nullptr,
         {{"L1C1 = 41 (número-chave)"}}},
    };
    for (const Caso& c : casos) {
        const TDicas D = EscolherDicas(c.Solver, c.Dados, c.Quadrado.Valores, {}, 12, c.Espaco);
        std::vector<std::vector<std::string>> textos;
        for (const TDica& d : D.Dicas) {
            textos.push_back(TextosDaDica(c.Solver, c.Quadrado.Valores, d));
        }
        EXPECT_EQ(textos, c.Textos) << c.Nome;
        EXPECT_EQ(D.NumIniciais, 0) << c.Nome;
        EXPECT_FALSE(DicasBastam(c.Dados, D.Dicas)) << c.Nome;
    }
    // Neither grid of the revealed numbers can be filled by the list, even the solver's.
    EXPECT_FALSE(s7.Fecho(PARA_DE_VEZ, FamiliasCompletas(7), true));
    EXPECT_FALSE(s8.Fecho(linhas1e5, FamiliasCompletas(8), true));
}

TEST(Dicas, OLeitorSoSegueOQueSeLe) {
    // The reader of the test below must refuse what a solver could not follow.
    TSolverDeducao s7(7);
    TSolverDeducao s8(8);
    // Order 8 without L1C1 (41), L1C4 (32) and L4C1 (56): the reader fills them alone, but a
    // law hint holds only on the page (the givens and the hints above it).
    const std::vector<int32_t> tres = DadosSem({0, 3, 24});
    struct Caso {
        const TSolverDeducao& Solver;
        const std::vector<int32_t>& Dados;
        std::vector<std::string> Dicas; // in turn
        bool Segue;                     // the last one, after the others
    };
    const std::string lista1 =
        "L1C2 só pode ser 12, 24 ou 29 (lista: L1C2 + L1C5 = 53 na linha 1; L1C2 + L6C7 = 40 na "
        "diagonal quebrada de L1C2 a L7C1)";
    const std::string lista2 =
        "L1C5 = 24 (lista: L1C5 + L1C2 = 53 na linha 1; L1C5 + L5C5 = 33 na coluna 5)";
    const Caso casos[] = {
        {s8, tres, {"L1C4 = 260 − 228 = 32 (coluna 4)"}, true},
        {s8, tres, {"L1C4 = 260 − 228 = 32 (linha 1)"}, false},
        {s8, tres, {"L1C4 = 260 - 228 = 32 (coluna 4)"}, false}, // a hyphen
        {s8, tres, {"L1C4 = 260 − 227 = 33 (coluna 4)"}, false},
        {s8, tres, {"L1C1 = 65 − 24 = 41 (meia diagonal, com L5C5)"}, true},
        {s8, tres, {"L1C1 = 65 − 24 = 41 (meia diagonal, com L2C2)"}, false},
        {s8, tres, {"L4C1 = 130 − 74 = 56 (bloco 2 × 2 de L4C1 a L5C2)"}, true},
        {s8, tres, {"L4C1 = 130 − 74 = 56 (bloco 2 × 2 de L3C1 a L4C2)"}, true},
        {s8, tres, {"L4C1 = 130 − 74 = 56 (bloco 2 × 2 de L5C2 a L4C1)"}, false},
        {s8, tres, {"L4C1 = 130 − 74 = 56 (bloco 2x2)"}, false},
        {s8, tres, {"L4C1 = 260 − 204 = 56 (diagonal quebrada de L1C6 a L8C5)"}, true},
        {s8, tres, {"L4C1 = 260 − 204 = 56 (diagonal quebrada de L8C5 a L1C6)"}, false},
        {s8, tres, {"L4C1 = 260 − 204 = 56 (diagonal quebrada)"}, false},
        // Row 1 lacks L1C4 on the page, though the reader has it.
        {s8, tres, {"L1C1 = 260 − 219 = 41 (linha 1)"}, false},
        {s8, tres, {"L1C4 = 260 − 228 = 32 (coluna 4)", "L1C1 = 260 − 219 = 41 (linha 1)"}, true},
        // Nor is a cell found twice.
        {s8, tres, {"L1C4 = 260 − 228 = 32 (coluna 4)", "L1C4 = 260 − 228 = 32 (coluna 4)"}, false},
        {s7,
         PARA_NA_LISTA,
         {"L1C3 = 46 (lista: L1C3 + L1C5 = 70 na linha 1; L1C3 + L7C3 = 72 na coluna 3)"},
         true},
        // One pair law leaves a number and its partner.
        {s7, PARA_NA_LISTA, {"L1C3 = 46 (lista: L1C3 + L1C5 = 70 na linha 1)"}, false},
        {s7,
         PARA_NA_LISTA,
         {"L1C3 = 46 (lista: L1C3 + L1C5 = 71 na linha 1; L1C3 + L7C3 = 72 na coluna 3)"},
         false},
        {s7,
         PARA_NA_LISTA,
         {"L1C3 = 24 (lista: L1C3 + L1C5 = 70 na linha 1; L1C3 + L7C3 = 72 na coluna 3)"},
         false},
        // Every sum names the law whose two empty cells it adds: not another law through them,
        // not none.
        {s7,
         PARA_NA_LISTA,
         {"L1C3 = 46 (lista: L1C3 + L1C5 = 70 na coluna 3; L1C3 + L7C3 = 72 na coluna 3)"},
         false},
        {s7,
         PARA_NA_LISTA,
         {"L1C3 = 46 (lista: L1C3 + L1C5 = 70 na linha 2; L1C3 + L7C3 = 72 na coluna 3)"},
         false},
        {s7, PARA_NA_LISTA, {"L1C3 = 46 (lista: L1C3 + L1C5 = 70; L1C3 + L7C3 = 72)"}, false},
        {s7, PARA_NA_LISTA, {"L1C3 = 175 − 129 = 46 (linha 1)"}, false},
        {s7, PARA_NA_LISTA, {"L1C3 = 46 (pela lista de números)"}, false},
        {s7, PARA_NA_LISTA, {"L1C3 = 46 (número-chave)"}, true},
        {s7, PARA_NOS_CANDIDATOS, {lista1}, true},
        {s7,
         PARA_NOS_CANDIDATOS,
         {"L1C2 só pode ser 12 ou 24 (lista: L1C2 + L1C5 = 53 na linha 1; L1C2 + L6C7 = 40 na "
          "diagonal quebrada de L1C2 a L7C1)"},
         false},
        // The right pairs, but the second named by a law of the wrong kind.
        {s7,
         PARA_NOS_CANDIDATOS,
         {"L1C2 só pode ser 12, 24 ou 29 (lista: L1C2 + L1C5 = 53 na linha 1; L1C2 + L6C7 = 40 em "
          "casas opostas)"},
         false},
        {s7, PARA_NOS_CANDIDATOS, {lista1, lista2}, true},
        // Without the narrowing above it, the pairs leave more than one number.
        {s7, PARA_NOS_CANDIDATOS, {lista2}, false},
    };
    for (const Caso& c : casos) {
        teste_dicas::TLeitor leitor(c.Solver, c.Dados);
        for (size_t i = 0; i + 1 < c.Dicas.size(); ++i) {
            ASSERT_EQ(leitor.Ler(c.Dicas[i]), "") << c.Dicas[i];
        }
        EXPECT_EQ(leitor.Ler(c.Dicas.back()).empty(), c.Segue) << c.Dicas.back();
    }
}

// A recording cairo surface measuring with the typeface's own widths, for the tests below.
struct TMedidaReal {
    cairo_surface_t* Superficie = cairo_recording_surface_create(CAIRO_CONTENT_COLOR, nullptr);
    cairo_t* Contexto = cairo_create(Superficie);
    TCanvasCairo Canvas{Contexto, 300};
    TMedidaReal() = default;
    TMedidaReal(const TMedidaReal&) = delete;
    TMedidaReal& operator=(const TMedidaReal&) = delete;
    ~TMedidaReal() {
        cairo_destroy(Contexto);
        cairo_surface_destroy(Superficie);
    }
};

// Every hint printed under the solutions of books of every order, at the levels that use
// lists, is replayed by the reader, who knows nothing of the record: each narrowing holds on the
// reader's grid and names its laws, and after the last hint the reader's grid is full. The
// marked hints alone fill it too, with the reader's own simple steps: they are what a reader
// who does every simple step alone still needs. The hints are laid out with the typeface's own
// widths.
TEST(Dicas, CadaDicaImpressaSeLe) {
    TMedidaReal medida;
    TCanvasCairo& real = medida.Canvas;
    const auto medir = [&real](::teste::TCanvasGravador& g) {
        g.Largura = [&real](const std::string& t, double tam, bool negrito) {
            return real.LarguraTexto(t, tam, negrito);
        };
    };
    const std::string fecho = "O resto resulta de leis com uma só casa vazia.";
    using teste_dicas::TForma;
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
                medir(g);
                compositor.DesenharSolucao(g, int32_t(p), 18, 30, 174);
                const std::vector<teste_dicas::TDicaImpressa> dicas =
                    teste_dicas::DicasImpressas(g);
                ::teste::TCanvasGravador m;
                medir(m);
                const TDicas escolha = compositor.DicasDaSolucao(m, int32_t(p));
                ASSERT_FALSE(dicas.empty());
                EXPECT_LE(dicas.size(), size_t(DICAS_POR_SOLUCAO));
                EXPECT_EQ(dicas.size(), escolha.Dicas.size()) << "every hint chosen has room";
                teste_dicas::TLeitor leitor(s, puzzle.Dados);
                teste_dicas::TLeitor soMarcadas(s, puzzle.Dados);
                for (size_t k = 0; k < dicas.size(); ++k) {
                    const teste_dicas::TDicaImpressa& dica = dicas[k];
                    EXPECT_EQ(dica.Chave, int32_t(k) >= escolha.NumIniciais) << k + 1;
                    for (size_t i = 0; i < dica.Passos.size(); ++i) {
                        const std::string& texto = dica.Passos[i];
                        const teste_dicas::TDicaLida d = teste_dicas::PartirDica(N, texto);
                        // A hint of many lines narrows cells, and its last line fixes one;
                        // a hint that is not marked is a law's.
                        const bool ultimo = i + 1 == dica.Passos.size();
                        EXPECT_EQ(d.Forma == TForma::fmCandidatos, !ultimo) << texto;
                        if (!dica.Chave) {
                            EXPECT_TRUE(d.Forma == TForma::fmLei || d.Forma == TForma::fmCentro)
                                << texto;
                        }
                        const teste_dicas::TLeitor como = leitor;
                        ASSERT_EQ(leitor.Ler(texto), "") << texto;
                        if (dica.Chave) {
                            ASSERT_EQ(soMarcadas.Ler(texto), "") << texto;
                        }
                        if (d.Forma != TForma::fmCandidatos) {
                            EXPECT_EQ(d.Valores[0], puzzle.Solucao[size_t(d.Celula)]) << texto;
                        }
                        // A narrowing names no law it does not need.
                        for (size_t j = 0; j < d.Pares.size(); ++j) {
                            std::vector<teste_dicas::TParLido> menos = d.Pares;
                            menos.erase(menos.begin() + std::ptrdiff_t(j));
                            EXPECT_GT(como.Deixam(d.Celula, menos).size(), d.Valores.size())
                                << texto << " without its law " << j + 1;
                        }
                    }
                }
                EXPECT_TRUE(leitor.Cheia()) << "the reader is stuck after the last hint";
                EXPECT_TRUE(soMarcadas.Cheia()) << "the marked hints are not enough";
                // The closing line says so, unless the hints alone fill the grid.
                std::string linhaFinal;
                for (const ::teste::TChamada& c : g.DoTipo("Texto")) {
                    if (c.Num[2] == 9.5 && c.Num[3] == 128 && c.Texto != TextoSomas(N)) {
                        linhaFinal += (linhaFinal.empty() ? "" : " ") + c.Texto;
                    }
                }
                const bool cheia =
                    std::find(leitor.Pagina.begin(), leitor.Pagina.end(), 0) == leitor.Pagina.end();
                EXPECT_EQ(linhaFinal, cheia ? "" : fecho);
                // The centre of an odd square leads the starters.
                const int32_t centro = CentroDaGrelha(N);
                if (centro >= 0 && puzzle.Dados[size_t(centro)] == 0 && escolha.NumIniciais > 0) {
                    EXPECT_EQ(dicas[0].Passos[0], N == 7    ? "L4C4 = 50 / 2 = 25 (o centro)"
                                                  : N == 11 ? "L6C6 = 122 / 2 = 61 (o centro)"
                                                            : "L7C7 = 170 / 2 = 85 (o centro)");
                }
            }
        }
    }
}

// Page 4 of a book, set in the typeface's own widths, with or without hints: the level lines
// say what each level asks, the guide to the hints stands when the solutions carry them, and
// the book's own example is what the solutions print: the first moves of puzzle 001 are its
// first hints, the list step is the hint it names, of the puzzle it names, marked, and the
// reader replays it there. All of it stands above the footer.
TEST(RegrasDoLivro, GuiaEExemploDoProprioLivro) {
    TMedidaReal medida;
    TCanvasCairo& real = medida.Canvas;
    const auto largura = [&real](const std::string& t, double tam, bool negrito) {
        return real.LarguraTexto(t, tam, negrito);
    };
    for (const int32_t N : {8, 16, 7, 12}) {
        for (const int32_t nivel : {3, 5, 0}) {
            for (const bool comDicas : {true, false}) {
                SCOPED_TRACE("order " + std::to_string(N) + " level " + std::to_string(nivel) +
                             (comDicas ? " with hints" : " without hints"));
                const TLivro livro = teste_paginas::ComDicas(LivroGerado(N, 5, nivel), comDicas);
                TCompositorLivro compositor(livro, TInfoLivro{});
                teste_paginas::TDestinoTeste destino;
                destino.Largura = largura;
                compositor.Compor(destino);
                const ::teste::TCanvasGravador& pagina = *destino.Paginas.at(3);
                std::vector<std::string> textos;
                for (const ::teste::TChamada& c : pagina.DoTipo("Texto")) {
                    if (c.Texto != "TAVRELO | Brovanel" && c.Texto != "4") {
                        EXPECT_LE(c.Num[1] + real.AlturaTexto(c.Num[2]), 278 + 1e-9) << c.Texto;
                    }
                    textos.push_back(c.Texto);
                }
                const auto tem = [&](const std::string& t) {
                    return std::find(textos.begin(), textos.end(), t) != textos.end();
                };
                for (const int32_t n : {1, 2, 3, 4, 5}) {
                    EXPECT_EQ(tem("Nível de dificuldade " + std::to_string(n) + " – " +
                                  ExigenciaDoNivel(n)),
                              NiveisDoPlano(livro.Plano).Contem(n))
                        << n;
                }
                EXPECT_EQ(tem("As dicas das soluções"), comDicas);
                ASSERT_TRUE(tem("Exemplos deste livro"));

                // The example's parts, each from the line over it: the numbers and marks
                // before its texts, its narrowings (a line further in goes on the one above).
                struct TParte {
                    std::string Sobre;
                    std::vector<std::string> Numeros;
                    size_t Marcas = 0;
                    std::vector<std::string> Textos;
                };
                std::vector<TParte> partes;
                bool noExemplo = false;
                double borda = 0;
                for (const ::teste::TChamada& c : pagina.DoTipo("Texto")) {
                    noExemplo = noExemplo || c.Texto == "Exemplos deste livro";
                    if (!noExemplo || c.Num[1] >= 283 || c.Texto == "Exemplos deste livro") {
                        continue;
                    }
                    if (c.Num[3] == 77) {
                        partes.push_back({c.Texto, {}, 0, {}});
                        borda = 0;
                    } else if (c.Alinhamento == TAlinhamento::alDireita) {
                        ASSERT_FALSE(partes.empty());
                        if (c.Texto == teste_dicas::MARCA) {
                            ++partes.back().Marcas;
                        } else {
                            partes.back().Numeros.push_back(c.Texto);
                        }
                    } else {
                        ASSERT_FALSE(partes.empty());
                        std::vector<std::string>& t = partes.back().Textos;
                        if (t.empty() || c.Num[0] <= borda) {
                            borda = c.Num[0];
                            t.push_back(c.Texto);
                        } else {
                            t.back() += " " + c.Texto;
                        }
                    }
                }
                ASSERT_GE(partes.size(), 1u);
                // The hints of a solution as the solutions print them.
                TSolverDeducao s(N);
                const auto impressas = [&](int32_t AIndice) {
                    ::teste::TCanvasGravador g;
                    g.Largura = largura;
                    const TDicas d = compositor.DicasDaSolucao(g, AIndice);
                    std::vector<std::vector<std::string>> r;
                    for (const TDica& x : d.Dicas) {
                        r.push_back(
                            TextosDaDica(s, livro.Puzzles[size_t(AIndice)].Puzzle.Solucao, x));
                    }
                    return std::pair{d, r};
                };
                const auto [d001, t001] = impressas(0);
                const TParte& passos = partes[0];
                EXPECT_EQ(passos.Sobre.rfind("Puzzle 001, os primeiros passos", 0), 0u)
                    << passos.Sobre;
                ASSERT_FALSE(passos.Textos.empty());
                ASSERT_LE(passos.Textos.size(), size_t(d001.NumIniciais));
                EXPECT_EQ(passos.Marcas, 0u);
                for (size_t k = 0; k < passos.Textos.size(); ++k) {
                    EXPECT_EQ(passos.Textos[k], t001[k].front());
                }
                EXPECT_EQ(passos.Numeros.size(), comDicas ? passos.Textos.size() : 0u);
                // A list step only where the book has levels with lists; in a book of one
                // level with lists it always fits (its page 4 lists one level). A Progressiva
                // book of five 16 × 16 puzzles has two puzzles to take it from, and neither's
                // fits under a move of puzzle 001.
                const bool comLista =
                    NivelComLista(nivel) || (nivel == 0 && livro.Puzzles.size() >= 4);
                ASSERT_LE(partes.size(), comLista ? 2u : 1u);
                if (nivel != 0) {
                    EXPECT_EQ(partes.size(), comLista ? 2u : 1u);
                }
                if (partes.size() < 2) {
                    continue;
                }
                const TParte& lista = partes[1];
                int32_t puzzle = 0, dica = 0, pag = 0;
                if (comDicas) {
                    ASSERT_EQ(std::sscanf(lista.Sobre.c_str(),
                                          "Puzzle %d, um passo da lista (dica %d da solução, na "
                                          "página %d):",
                                          &puzzle, &dica, &pag),
                              3)
                        << lista.Sobre;
                    EXPECT_EQ(pag, compositor.PaginaDaSolucao(puzzle - 1));
                    EXPECT_EQ(lista.Numeros, std::vector<std::string>{std::to_string(dica) + "."});
                    EXPECT_EQ(lista.Marcas, 1u);
                } else {
                    ASSERT_EQ(
                        std::sscanf(lista.Sobre.c_str(), "Puzzle %d, um passo da lista:", &puzzle),
                        1)
                        << lista.Sobre;
                }
                ASSERT_GE(puzzle, 1);
                const auto [dl, tl] = impressas(puzzle - 1);
                int32_t k = dica - 1;
                if (!comDicas) {
                    k = int32_t(std::find(tl.begin(), tl.end(), lista.Textos) - tl.begin());
                }
                ASSERT_GE(k, dl.NumIniciais);
                ASSERT_LT(k, int32_t(tl.size()));
                EXPECT_EQ(dl.Dicas[size_t(k)].Tipo, tdLista);
                EXPECT_EQ(lista.Textos, tl[size_t(k)]);
                // The reader replays that hint where the solution prints it.
                teste_dicas::TLeitor leitor(s, livro.Puzzles[size_t(puzzle - 1)].Puzzle.Dados);
                for (int32_t j = dl.NumIniciais; j <= k; ++j) {
                    for (const std::string& t : tl[size_t(j)]) {
                        ASSERT_EQ(leitor.Ler(t), "") << t;
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace tavrelo
