#include "content/regras.h"

#include "drawing/canvas_gravador.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using teste::TCanvasGravador;

// One millimetre per character at any size: widths are exact whole numbers.
TCanvasGravador GravadorDeUmMm() {
    TCanvasGravador c;
    c.Largura = [](const std::string& t, double, bool) { return double(teste::CodePoints(t)); };
    return c;
}

struct TCasoQuebra {
    const char* Nome;
    std::string Texto;
    double LarguraMax;
    std::vector<std::string> Linhas;
};

TEST(QuebrarLinhas, CasosDaQuebraGulosa) {
    const std::vector<TCasoQuebra> casos = {
        {"vazio", "", 10, {}},
        {"cabe numa linha", "abc def", 10, {"abc def"}},
        {"largura igual cabe", "abc def", 7, {"abc def"}},
        {"um pouco mais fecha a linha", "abc def", 6.999, {"abc", "def"}},
        {"palavra larga sozinha", "ab muitolongo cd", 5, {"ab", "muitolongo", "cd"}},
        {"palavra larga a abrir", "muitolongo ab cd", 5, {"muitolongo", "ab cd"}},
        {"brancos iniciais caem", "   ab cd", 10, {"ab cd"}},
        {"branco duplo fica", "ab  cd", 10, {"ab  cd"}},
        {"branco final fica quando cabe", "ab cd ", 10, {"ab cd "}},
        {"branco duplo na quebra", "ab  cd", 4, {"ab ", "cd"}},
        {"tres linhas", "aa bb cc dd ee", 5, {"aa bb", "cc dd", "ee"}},
        {"acentos contam como um", "às ções", 7, {"às ções"}},
    };
    for (const auto& caso : casos) {
        auto c = GravadorDeUmMm();
        EXPECT_EQ(tavrelo::QuebrarLinhas(c, caso.Texto, caso.LarguraMax, 12), caso.Linhas)
            << caso.Nome;
    }
}

TEST(QuebrarLinhas, MedeALinhaInteiraNoTamanhoPedidoSemNegrito) {
    TCanvasGravador c;
    std::vector<std::string> medidas;
    c.Largura = [&](const std::string& t, double s, bool b) {
        EXPECT_EQ(s, 9.5);
        EXPECT_FALSE(b);
        medidas.push_back(t);
        // Not additive: a line is wider than its words put side by side.
        return t.size() >= 5 ? 100.0 : 1.0;
    };
    EXPECT_EQ(tavrelo::QuebrarLinhas(c, "ab cd ef", 50, 9.5),
              (std::vector<std::string>{"ab", "cd", "ef"}));
    EXPECT_EQ(medidas, (std::vector<std::string>{"ab cd", "cd ef"}));
}

// A paragraph never ends with one word alone: the word before it comes down when the two fit.
TEST(LinhasDoParagrafo, SemPalavraSozinhaNoFim) {
    const std::vector<TCasoQuebra> casos = {
        {"vazio", "", 10, {}},
        {"uma linha fica", "aa", 10, {"aa"}},
        {"a palavra de cima desce", "aa bb cc dd ee", 5, {"aa bb", "cc", "dd ee"}},
        {"duas no fim ficam", "aa bb cc dd ee ff", 5, {"aa bb", "cc dd", "ee ff"}},
        {"juntas nao cabem", "aa bbbbb cccccccc", 8, {"aa bbbbb", "cccccccc"}},
        {"a de cima ficaria vazia", "aaaaaaaa bbbbbbbb", 8, {"aaaaaaaa", "bbbbbbbb"}},
        {"juntas cabem a justa", "aaaa bbbb c", 9, {"aaaa", "bbbb c"}},
    };
    for (const auto& caso : casos) {
        auto c = GravadorDeUmMm();
        EXPECT_EQ(tavrelo::LinhasDoParagrafo(c, caso.Texto, caso.LarguraMax, 12), caso.Linhas)
            << caso.Nome;
    }
}

TEST(DesenharParagrafo, LinhasDe12PtA615MmDaEsquerda) {
    auto c = GravadorDeUmMm();
    const double fim = tavrelo::DesenharParagrafo(c, 39.5, "aa bb cc dd ee ff", 5, 25);
    EXPECT_DOUBLE_EQ(fim, 57.95);
    ASSERT_EQ(c.Chamadas.size(), 3u);
    const std::vector<std::string> linhas = {"aa bb", "cc dd", "ee ff"};
    for (size_t k = 0; k < 3; ++k) {
        const auto& t = c.Chamadas[k];
        EXPECT_EQ(t.Op, "Texto");
        EXPECT_EQ(t.Texto, linhas[k]);
        EXPECT_EQ(t.Num[0], 25);
        EXPECT_DOUBLE_EQ(t.Num[1], 39.5 + 6.15 * double(k));
        EXPECT_EQ(t.Num[2], 12);
        EXPECT_EQ(t.Num[3], 0);
        EXPECT_FALSE(t.Negrito);
        EXPECT_EQ(t.Alinhamento, tavrelo::TAlinhamento::alEsquerda);
    }
}

TEST(DesenharParagrafo, QuebraA12PtSejaQualForOTexto) {
    TCanvasGravador c;
    c.Largura = [](const std::string& t, double s, bool) {
        return double(teste::CodePoints(t)) * s / 12;
    };
    // 12 characters per line only if measured at 12 pt.
    tavrelo::DesenharParagrafo(c, 0, "aaaaa bbbbbb ccc dd", 12, 0);
    EXPECT_EQ(c.Textos(), (std::vector<std::string>{"aaaaa bbbbbb", "ccc dd"}));
}

TEST(DesenharParagrafo, TextoVazioNadaDesenhaEDevolveOY) {
    TCanvasGravador c;
    EXPECT_EQ(tavrelo::DesenharParagrafo(c, 42.25, "", 174, 18), 42.25);
    EXPECT_TRUE(c.Chamadas.empty());
}

} // namespace
