#include "composition/editorial.h"
#include "composition/paginas.h"
#include "content/diagramas.h"
#include "content/regras.h"

#include "drawing/canvas_gravador.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace tavrelo;
using teste::TCanvasGravador;
using teste::TChamada;

TLivro Livro(int32_t N, int32_t ANivel, const std::string& ATitulo, size_t APuzzles) {
    TLivro l;
    l.Config.N = N;
    l.Config.Nivel = ANivel;
    l.Config.Titulo = ATitulo;
    l.Config.NumPuzzles = 50; // what was asked; the pages count what the book holds
    l.Codigo = "00C0FFEE";
    l.Puzzles.resize(APuzzles);
    return l;
}

void EsperarTexto(const TChamada& t, const std::string& ATexto, double X, double Y, double ATam,
                  bool ANegrito, TAlinhamento AAl) {
    EXPECT_EQ(t.Op, "Texto");
    EXPECT_EQ(t.Texto, ATexto);
    EXPECT_DOUBLE_EQ(t.Num.at(0), X) << ATexto;
    EXPECT_NEAR(t.Num.at(1), Y, 1e-9) << ATexto;
    EXPECT_EQ(t.Num.at(2), ATam) << ATexto;
    EXPECT_EQ(t.Num.at(3), 0) << ATexto;
    EXPECT_EQ(t.Negrito, ANegrito) << ATexto;
    EXPECT_EQ(t.Alinhamento, AAl) << ATexto;
}

constexpr auto Centro = TAlinhamento::alCentro;
constexpr auto Esquerda = TAlinhamento::alEsquerda;

// ---- Cover ----

TEST(Capa, CincoLinhasCentradas) {
    TCanvasGravador c;
    DesenharCapa(c, Livro(8, 0, "Meu livro", 3));
    ASSERT_EQ(c.Chamadas.size(), 5u);
    EsperarTexto(c.Chamadas[0], "BROVANEL", 105, 42, 24, true, Centro);
    EsperarTexto(c.Chamadas[1], "TAVRELO", 105, 92, 80, true, Centro);
    EsperarTexto(c.Chamadas[2], "Meu livro", 105, 150, 34, true, Centro);
    EsperarTexto(c.Chamadas[3], "3 puzzles", 105, 202, 16, false, Centro);
    EsperarTexto(c.Chamadas[4], TextoTamanho(8), 105, 212, 16, false, Centro);
}

TEST(Capa, TituloEmBrancoDeixaQuatroLinhas) {
    for (const std::string titulo : {"", "   ", " \t\r\n\x01 "}) {
        TCanvasGravador c;
        DesenharCapa(c, Livro(7, 2, titulo, 1));
        const auto t = c.Textos();
        EXPECT_EQ(t, (std::vector<std::string>{"BROVANEL", "TAVRELO", "1 puzzle", TextoTamanho(7)}))
            << "[" << titulo << "]";
    }
}

TEST(Capa, TituloSemBrancosNasPontas) {
    TCanvasGravador c;
    DesenharCapa(c, Livro(8, 0, " \t Ação  e  jogo \n", 3));
    EXPECT_EQ(c.Chamadas.at(2).Texto, "Ação  e  jogo");
}

struct TCasoTamanho {
    double MmPorPt; // the text's width per point of size
    double Esperado;
    std::vector<double> Medidos;
};

// Sizes step down until the bold width fits 174 mm; the smallest is used unmeasured for the
// product's name. A one-word title too wide even at 16 pt stays one line.
TEST(Capa, NomeDoProdutoETituloEncolhemAteCaber) {
    const std::vector<TCasoTamanho> nome = {
        {174.0 / 80, 80, {80}},
        {174.0 / 72, 72, {80, 76, 72}},
        {174.0 / 71, 68, {80, 76, 72, 68}},
        {10, 24, {80, 76, 72, 68, 64, 60, 56, 52, 48, 44, 40, 36, 32, 28}},
    };
    const std::vector<TCasoTamanho> titulo = {
        {174.0 / 34, 34, {34}},
        {174.0 / 30, 30, {34, 32, 30}},
        // At 16 pt the title is measured once more, to know whether it needs breaking.
        {174.0 / 17, 16, {34, 32, 30, 28, 26, 24, 22, 20, 18, 16}},
        {50, 16, {34, 32, 30, 28, 26, 24, 22, 20, 18, 16}},
    };
    const auto correr = [](const std::string& AAlvo, const TCasoTamanho& caso, size_t AIndice) {
        TCanvasGravador c;
        std::vector<double> medidos;
        c.Largura = [&](const std::string& t, double s, bool b) {
            EXPECT_TRUE(b);
            if (t == AAlvo) {
                medidos.push_back(s);
                return caso.MmPorPt * s;
            }
            return 1.0;
        };
        DesenharCapa(c, Livro(8, 0, "Titulo", 3));
        EXPECT_EQ(c.Chamadas.at(AIndice).Num.at(2), caso.Esperado) << AAlvo << " " << caso.MmPorPt;
        EXPECT_EQ(medidos, caso.Medidos) << AAlvo << " " << caso.MmPorPt;
    };
    for (const auto& caso : nome)
        correr("TAVRELO", caso, 1);
    for (const auto& caso : titulo)
        correr("Titulo", caso, 2);
}

// Words of nine letters, one blank between them, cut to ALetras characters.
std::string TituloDe(size_t ALetras) {
    std::string t;
    for (size_t i = 0; t.size() < ALetras; ++i) {
        t += i % 10 == 9 ? ' ' : static_cast<char>('a' + i % 10);
    }
    return SemBrancos(t.substr(0, ALetras));
}

// With the recording surface a bold 16 pt character is 3.168 mm wide: 54 of them fit the
// column, and a line of these words holds five (49 characters).
TEST(Capa, TituloLongoQuebraEmAteTresLinhasIguais) {
    const struct {
        std::string Titulo;
        std::vector<size_t> Letras; // characters of each line
        bool Cabe;
    } casos[] = {
        {TituloDe(25), {25}, true},               // one line at 34 pt
        {TituloDe(54), {54}, true},               // one line at 16 pt, unbroken
        {TituloDe(60), {29, 29}, true},           // two even lines, not five words and one
        {TituloDe(130), {49, 49, 29}, true},      // three lines, none wider than needed
        {TituloDe(149), {49, 49, 49}, true},      // three full lines
        {TituloDe(160), {49, 49, 49, 9}, false},  // a fourth line: the rest, unbroken
        {TituloDe(200), {49, 49, 49, 49}, false}, // the rest, unbroken
        {std::string(60, 'x'), {60}, false},      // one word wider than the column
        {"palavra " + std::string(60, 'x'), {7, 60}, false},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Titulo);
        TCanvasGravador c;
        const TTituloDaCapa t = TituloDaCapa(c, caso.Titulo);
        EXPECT_EQ(t.Cabe, caso.Cabe);
        EXPECT_EQ(t.TamanhoPt, caso.Titulo.size() == 25 ? 34 : 16);
        std::vector<size_t> letras;
        std::string junto;
        for (const std::string& l : t.Linhas) {
            letras.push_back(l.size());
            EXPECT_TRUE(l.empty() || (l.front() != ' ' && l.back() != ' ')) << "[" << l << "]";
            junto += (junto.empty() ? "" : " ") + l;
        }
        EXPECT_EQ(letras, caso.Letras);
        EXPECT_EQ(SemBrancos(junto), caso.Titulo) << "no word is lost";
    }
}

TEST(Capa, QuebraSoNosBrancosEGuardaOsDoMeio) {
    // Two blanks between words stay inside a line, and go where the line breaks.
    TCanvasGravador c;
    const std::string a(30, 'a'), b(20, 'b'), d(30, 'd');
    const TTituloDaCapa t = TituloDaCapa(c, "  " + a + "  " + b + "   " + d + " ");
    EXPECT_TRUE(t.Cabe);
    EXPECT_EQ(t.Linhas, (std::vector<std::string>{a + "  " + b, d}));
    EXPECT_TRUE(TituloDaCapa(c, " \t ").Linhas.empty());
}

TEST(Capa, LinhasDoTituloCentradasComoUmBloco) {
    // The lines of a broken title, 7.5 mm apart, centred as a block on the middle of a single
    // 16 pt line at y = 150; the other lines of the cover stay where they are.
    const double h = TCanvasGravador::AlturaPorPt * 16;
    for (const size_t letras : {size_t{60}, size_t{130}}) {
        TCanvasGravador c;
        DesenharCapa(c, Livro(8, 0, TituloDe(letras), 3));
        const auto textos = c.DoTipo("Texto");
        const size_t linhas = textos.size() - 4;
        ASSERT_EQ(linhas, letras == 60 ? 2u : 3u);
        EsperarTexto(textos[0], "BROVANEL", 105, 42, 24, true, Centro);
        EsperarTexto(textos[1], "TAVRELO", 105, 92, 80, true, Centro);
        const double topo = 150 + h / 2 - (7.5 * double(linhas - 1) + h) / 2;
        const TTituloDaCapa t = TituloDaCapa(c, TituloDe(letras));
        for (size_t k = 0; k < linhas; ++k) {
            EsperarTexto(textos[2 + k], t.Linhas[k], 105, topo + 7.5 * double(k), 16, true, Centro);
        }
        EsperarTexto(textos[2 + linhas], "3 puzzles", 105, 202, 16, false, Centro);
        EsperarTexto(textos[3 + linhas], TextoTamanho(8), 105, 212, 16, false, Centro);
    }
}

TEST(Capa, CaracterQueALetraNaoTem) {
    TCanvasGravador c; // lacks everything from U+10000 up
    EXPECT_EQ(CaracterSemLetraNoTitulo(c, "Férias de verão"), 0u);
    EXPECT_EQ(CaracterSemLetraNoTitulo(c, ""), 0u);
    EXPECT_EQ(CaracterSemLetraNoTitulo(c, "Olá \xF0\x9F\x98\x80 e \xF0\x9F\x8E\xB2"), 0x1F600u);
    // Bytes that are not UTF-8 are skipped, not taken for a character.
    EXPECT_EQ(CaracterSemLetraNoTitulo(c, "a\xFF\xF0\x9F"
                                          "b"),
              0u);
    c.SemLetraDesde = 0x4E00;
    EXPECT_EQ(CaracterSemLetraNoTitulo(c, "Livro \xE4\xB8\xAD"), 0x4E2Du);
}

// ---- Colophon ----

const std::string Licenca =
    "Esta obra está licenciada com uma Licença Creative Commons "
    "Atribuição-NãoComercial-SemDerivações 4.0 Internacional (CC BY-NC-ND 4.0). Pode copiá-la e "
    "partilhá-la, sem fins comerciais e sem alterações, desde que indique o autor.";

TEST(Verso, NomeLinhaLicencaESelo) {
    struct TCaso {
        double MmPorCaracter;
        size_t Linhas;
        double YSelo;
    };
    // 0.9 mm per character at 12 pt wraps the licence into two lines, 1.8 mm into three.
    const std::vector<TCaso> casos = {{0.9, 2, 241.3}, {1.8, 3, 247.45}};
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Linhas);
        TCanvasGravador c;
        c.Largura = [&](const std::string& t, double s, bool) {
            return double(teste::CodePoints(t)) * caso.MmPorCaracter * s / 12;
        };
        PaginaVerso(c, "TAVRELO");
        const auto& ch = c.Chamadas;
        ASSERT_EQ(ch.size(), 2 + caso.Linhas + 1);
        EsperarTexto(ch[0], "TAVRELO", 18, 205, 14, true, Esquerda);
        EsperarTexto(ch[1], "Puzzles de quadrados mágicos · Brovanel", 18, 213, 12, false,
                     Esquerda);
        const auto linhas = QuebrarLinhas(c, Licenca, 174, 12);
        ASSERT_EQ(linhas.size(), caso.Linhas);
        std::string junto;
        for (size_t k = 0; k < linhas.size(); ++k) {
            EsperarTexto(ch[2 + k], linhas[k], 18, 225 + 6.15 * double(k), 12, false, Esquerda);
            junto += (k ? " " : "") + linhas[k];
        }
        EXPECT_EQ(junto, Licenca);
        const auto& selo = ch.back();
        EXPECT_EQ(selo.Op, "Imagem");
        EXPECT_EQ(selo.Texto, "SELO_CC_BY_NC_ND");
        ASSERT_EQ(selo.Num.size(), 4u);
        EXPECT_EQ(selo.Num[0], 18);
        EXPECT_NEAR(selo.Num[1], caso.YSelo, 1e-9);
        EXPECT_EQ(selo.Num[2], 30);
        EXPECT_EQ(selo.Num[3], 10.546875);
    }
}

TEST(Verso, SemOSeloNoExecutavelFalha) {
    TCanvasGravador c;
    c.Imagens.clear();
    try {
        PaginaVerso(c, "TAVRELO");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Imagem: o recurso SELO_CC_BY_NC_ND nao existe no executavel");
    }
}

// ---- Part titles and symbol pages ----

TEST(Separador, TituloCentradoETraco) {
    for (const auto& [parte, titulo] : std::vector<std::pair<int32_t, std::string>>{
             {0, "Puzzles"}, {1, "Soluções"}, {2, "Soluções"}}) {
        TCanvasGravador c;
        PaginaSeparador(c, parte);
        ASSERT_EQ(c.Chamadas.size(), 2u);
        EsperarTexto(c.Chamadas[0], titulo, 105, 148.5 - c.AlturaTexto(36) / 2 - 4, 36, true,
                     Centro);
        EXPECT_EQ(c.Chamadas[1].Op, "Linha");
        EXPECT_EQ(c.Chamadas[1].Num, (std::vector<double>{90, 162.5, 120, 162.5, 0.8, 0}));
    }
}

TEST(Simbolo, QuadradoCheioNoMeioDaPagina) {
    struct TCaso {
        const char* Nome;
        void (*Pagina)(IVeltCanvas&);
        int32_t n;
        double g;
        std::vector<int32_t> Numeros;
        std::vector<int32_t> Destaque;
    };
    const std::vector<TCaso> casos = {
        {"par", PaginaSimboloPar, 4, 14.75, QuadradoDeExemplo4(), {5, 6, 9, 10}},
        {"ímpar", PaginaSimboloImpar, 5, 11.8, QuadradoDeExemplo5(), {1, 12, 23}},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Nome);
        TCanvasGravador c;
        caso.Pagina(c);
        const auto& ch = c.Chamadas;
        const size_t n = size_t(caso.n);
        ASSERT_EQ(ch.size(), caso.Destaque.size() + 2 * (n - 1) + 1 + n * n);
        size_t i = 0;
        for (const int32_t d : caso.Destaque) {
            EXPECT_EQ(ch[i].Op, "Rectangulo");
            EXPECT_EQ(ch[i].Num, (std::vector<double>{75.5 + (d % caso.n) * caso.g,
                                                      119 + (d / caso.n) * caso.g, caso.g, caso.g,
                                                      0, -1, 224}));
            ++i;
        }
        for (int32_t k = 1; k < caso.n; ++k) {
            EXPECT_EQ(ch[i++].Num, (std::vector<double>{75.5, 119 + k * caso.g, 134.5,
                                                        119 + k * caso.g, 0.5, 0}));
            EXPECT_EQ(ch[i++].Num, (std::vector<double>{75.5 + k * caso.g, 119, 75.5 + k * caso.g,
                                                        178, 0.5, 0}));
        }
        EXPECT_EQ(ch[i].Op, "Rectangulo");
        EXPECT_EQ(ch[i++].Num, (std::vector<double>{75.5, 119, 59, 59, 1.0, 0, -1}));
        const double h = c.AlturaTexto(20);
        for (size_t k = 0; k < n * n; ++k) {
            const double col = double(k % n), lin = double(k / n);
            EsperarTexto(ch[i++], std::to_string(caso.Numeros[k]), 75.5 + col * caso.g + caso.g / 2,
                         119 + lin * caso.g + (caso.g - h) / 2, 20, true, Centro);
        }
    }
}

// ---- Technical sheet ----

TEST(Ficha, RotulosValoresERodape) {
    struct TCaso {
        int32_t Nivel;
        std::string TextoNivel;
    };
    for (const auto& caso : std::vector<TCaso>{{0, "Progressiva"}, {3, "3"}}) {
        SCOPED_TRACE(caso.TextoNivel);
        TCanvasGravador c;
        DesenharFicha(c, Livro(12, caso.Nivel, "x", 7), TInfoLivro{"10/12/2026", "1.0"}, 62);
        const auto& ch = c.Chamadas;
        ASSERT_GE(ch.size(), 13u);
        EsperarTexto(ch[0], "Ficha técnica", 105, 18, 20, true, Centro);
        const std::vector<std::pair<std::string, std::string>> linhas = {
            {"Código do livro:", "00C0FFEE"},
            {"Data:", "10/12/2026"},
            {"Versão:", "1.0"},
            {"Puzzles:", "7"},
            {"Tamanho:", TextoTamanho(12)},
            {"Nível:", caso.TextoNivel},
        };
        for (size_t k = 0; k < linhas.size(); ++k) {
            const double y = 45 + 9 * double(k);
            EsperarTexto(ch[1 + 2 * k], linhas[k].first, 18, y, 12, false, Esquerda);
            EsperarTexto(ch[2 + 2 * k], linhas[k].second, 66, y, 12, true, Esquerda);
        }
        // Then the page's own footer, nothing else.
        TCanvasGravador ref;
        DesenharRodape(ref, 62);
        ASSERT_EQ(ch.size(), 13 + ref.Chamadas.size());
        for (size_t k = 0; k < ref.Chamadas.size(); ++k) {
            EXPECT_EQ(ch[13 + k].Op, ref.Chamadas[k].Op);
            EXPECT_EQ(ch[13 + k].Num, ref.Chamadas[k].Num);
            EXPECT_EQ(ch[13 + k].Texto, ref.Chamadas[k].Texto);
        }
    }
}

} // namespace
