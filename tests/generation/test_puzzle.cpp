#include "generation/puzzle.h"

#include "generation/niveis.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavrelo {
namespace {

TEST(PuzzleGerar, NivelOuTamanhoInvalidoSemSorteio) {
    struct Caso {
        int32_t N, nivel;
        const char* mensagem;
    };
    const Caso casos[] = {{8, 0, "Gerar: nivel invalido 0"},
                          {8, 6, "Gerar: nivel invalido 6"},
                          {9, 3, "Gerar: tamanho invalido 9"},
                          {9, 0, "Gerar: nivel invalido 0"}};
    TGeradorPuzzle gerador;
    for (const Caso& c : casos) {
        TGeradorAleatorio rng(1);
        TRegistoChaves registo;
        const uint64_t antes = rng.Estado();
        try {
            gerador.Gerar(c.N, c.nivel, rng, registo);
            ADD_FAILURE() << "accepted " << c.mensagem;
        } catch (const EVelt& e) {
            EXPECT_STREQ(e.what(), c.mensagem);
        }
        EXPECT_EQ(rng.Estado(), antes);
        EXPECT_TRUE(registo.empty());
    }
}

// One puzzle per order and level, from a few seeds: every rule of its level holds.
TEST(PuzzleGerar, TodasAsOrdensETodosOsNiveis) {
    TGeradorPuzzle gerador;
    for (const int32_t N : TamanhosSuportados) {
        TSolverDeducao solver(N);
        TRegistoChaves registo;
        for (int32_t nivel = 1; nivel <= 5; ++nivel) {
            SCOPED_TRACE(testing::Message() << "N=" << N << " nivel=" << nivel);
            TGeradorAleatorio rng(static_cast<uint32_t>(1000 * N + nivel));
            const size_t registados = registo.size();
            const TPuzzle p = gerador.Gerar(N, nivel, rng, registo);
            EXPECT_TRUE(gerador.Validar(p));
            EXPECT_EQ(registo.size(), registados + 1);
            EXPECT_TRUE(registo.contains(p.Chave));
            EXPECT_EQ(p.Chave, ChaveCanonica(TSolucao{N, p.Solucao}));
            EXPECT_EQ(p.N, N);
            EXPECT_EQ(p.Nivel, nivel);
            EXPECT_EQ(p.NumPistas, ContarPistas(p.Dados));
            EXPECT_LE(p.NumPistasPiso, p.NumPistas);
            if (nivel == 5 || (nivel == 3 && N % 2 != 0)) {
                EXPECT_EQ(p.NumPistas, p.NumPistasPiso);
            }
            if (nivel == 3 && N % 2 == 0) {
                EXPECT_EQ(p.NumPistas, std::max(p.NumPistasPiso, N));
            }
            EXPECT_EQ(p.NumPistas, std::min(NumPistasAlvo(nivel, N, p.NumPistasPiso),
                                            N * N - (N % 2 != 0 ? 1 : 0)));
            if (N % 2 != 0) {
                EXPECT_EQ(p.Dados[static_cast<size_t>((N * N - 1) / 2)], 0);
            }
            const bool lista = NivelComLista(nivel);
            EXPECT_EQ(solver.Fecho(p.Dados, FamiliasCompletas(N), false), !lista);
            EXPECT_TRUE(p.Resultado.Resolvido);
            EXPECT_EQ(p.Resultado.Usos[static_cast<size_t>(TFamilia::lfLista)] > 0, lista);
            EXPECT_EQ(p.Resultado,
                      solver.Resolver(p.Dados, FamiliasCompletas(N), p.Solucao, lista));
            int32_t passos = 0;
            for (const int32_t u : p.Resultado.Usos) {
                passos += u;
            }
            EXPECT_EQ(passos, N * N - p.NumPistas);
        }
    }
}

TEST(PuzzleGerar, MesmaSementeMesmoPuzzle) {
    TGeradorPuzzle a, b;
    TRegistoChaves ra, rb;
    TGeradorAleatorio ga(99), gb(99);
    const TPuzzle pa = a.Gerar(12, 4, ga, ra);
    const TPuzzle pb = b.Gerar(12, 4, gb, rb);
    EXPECT_EQ(pa, pb);
    EXPECT_EQ(ga.Estado(), gb.Estado());

    // Into the same registry the same seed cannot give the same square again.
    TGeradorAleatorio gc(99);
    const TPuzzle pc = a.Gerar(12, 4, gc, ra);
    EXPECT_NE(pc.Chave, pa.Chave);
    EXPECT_EQ(ra.size(), 2u);
}

TEST(PuzzleValidar, RejeitaPuzzlesAdulterados) {
    TGeradorPuzzle gerador;
    TRegistoChaves registo;
    TGeradorAleatorio rng7(5), rng8(5);
    const TPuzzle p7 = gerador.Gerar(7, 2, rng7, registo);
    const TPuzzle p8 = gerador.Gerar(8, 4, rng8, registo);
    ASSERT_TRUE(gerador.Validar(p7));
    ASSERT_TRUE(gerador.Validar(p8));

    auto primeiraPista = [](const TPuzzle& p) {
        return static_cast<size_t>(
            std::find_if(p.Dados.begin(), p.Dados.end(), [](int32_t v) { return v != 0; }) -
            p.Dados.begin());
    };
    auto primeiraVazia = [](const TPuzzle& p) {
        return static_cast<size_t>(std::find(p.Dados.begin(), p.Dados.end(), 0) - p.Dados.begin());
    };
    struct Caso {
        const char* nome;
        const TPuzzle* base;
        std::function<void(TPuzzle&)> estragar;
    };
    const Caso casos[] = {
        {"order 9", &p7, [](TPuzzle& p) { p.N = 9; }},
        {"level 0", &p7, [](TPuzzle& p) { p.Nivel = 0; }},
        {"level 6", &p8, [](TPuzzle& p) { p.Nivel = 6; }},
        {"short grid", &p8, [](TPuzzle& p) { p.Dados.pop_back(); }},
        {"long solution", &p8, [](TPuzzle& p) { p.Solucao.push_back(1); }},
        {"two cells swapped", &p8,
         [](TPuzzle& p) {
             std::swap(p.Solucao[0], p.Solucao[1]);
             p.Dados = std::vector<int32_t>(p.Dados.size(), 0);
             p.NumPistas = 0;
         }},
        {"clue differs", &p8,
         [&](TPuzzle& p) {
             const size_t i = primeiraPista(p);
             p.Dados[i] = p.Dados[i] % 64 + 1;
         }},
        {"count off by one", &p7, [](TPuzzle& p) { p.NumPistas += 1; }},
        {"centre given", &p7,
         [](TPuzzle& p) {
             p.Dados[24] = p.Solucao[24];
             p.NumPistas += 1;
         }},
        {"too many clues for level 4", &p8,
         [&](TPuzzle& p) {
             p.Dados = p.Solucao;
             p.NumPistas = 64;
         }},
        {"level 4 called level 2", &p8, [](TPuzzle& p) { p.Nivel = 2; }},
        {"clue removed", &p7,
         [&](TPuzzle& p) {
             // the minimal puzzle of level 2 has extra clues; strip all of them
             p.Dados = std::vector<int32_t>(p.Dados.size(), 0);
             p.Dados[0] = p.Solucao[0];
             p.NumPistas = 1;
         }},
        {"value out of range", &p8,
         [&](TPuzzle& p) {
             const size_t i = primeiraVazia(p);
             p.Dados[i] = 1000;
             p.NumPistas += 1;
         }},
    };
    for (const Caso& c : casos) {
        TPuzzle p = *c.base;
        c.estragar(p);
        EXPECT_FALSE(gerador.Validar(p)) << c.nome;
    }
}

TEST(PuzzlePistas, EquilibrioPorQuadrante) {
    // In odd orders the middle row counts as bottom and the middle column as right.
    auto grelha = [](int32_t N, std::initializer_list<int32_t> pistas) {
        std::vector<int32_t> d(static_cast<size_t>(N * N), 0);
        for (const int32_t i : pistas) {
            d[static_cast<size_t>(i)] = 1;
        }
        return d;
    };
    EXPECT_EQ(PistasPorQuadrante(grelha(7, {0, 3, 21, 24, 48}), 7),
              (std::array<int32_t, 4>{1, 1, 1, 2}));
    struct Caso {
        int32_t N;
        std::vector<int32_t> dados;
        bool equilibradas;
    };
    const Caso casos[] = {
        {8, grelha(8, {0, 4, 32, 36}), true},
        {8, grelha(8, {0, 4, 32}), false},                 // a quadrant without clues
        {8, grelha(8, {0, 1, 2, 4, 32, 36}), true},        // 3 of 6 = (6+1)/2
        {8, grelha(8, {0, 1, 2, 3, 4, 32, 36}), true},     // 4 of 7 = (7+1)/2
        {8, grelha(8, {0, 1, 2, 3, 9, 4, 32, 36}), false}, // 5 of 8 > 4
        {7, grelha(7, {0, 3, 21, 24}), true},
        {7, grelha(7, {0, 1, 3, 21}), false}, // bottom-left empty
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(PistasEquilibradas(c.dados, c.N), c.equilibradas);
    }
    EXPECT_EQ(ContarPistas(grelha(8, {1, 2, 3})), 3);
}

} // namespace
} // namespace tavrelo
