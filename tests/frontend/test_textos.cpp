#include "frontend/textos.h"

#include "composition/editorial.h"
#include "drawing/canvas_gravador.h"
#include "drawing/pdf.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tavrelo {
namespace {

TEST(Textos, PluralENomeDoFicheiro) {
    EXPECT_EQ(PluralDe(1, "puzzle", "puzzles"), "1 puzzle");
    EXPECT_EQ(PluralDe(50, "puzzle", "puzzles"), "50 puzzles");
    EXPECT_EQ(PluralDe(0, "puzzle", "puzzles"), "0 puzzles");
    EXPECT_EQ(PluralDe(1, "página", "páginas"), "1 página");
    EXPECT_EQ(PluralDe(62, "página", "páginas"), "62 páginas");

    const struct {
        int32_t N, Nivel, Puzzles;
        const char* Nome;
    } casos[] = {
        {8, 0, 50, "Tavrelo_8x8_P_50.pdf"},       {12, 3, 20, "Tavrelo_12x12_N3_20.pdf"},
        {16, 5, 100, "Tavrelo_16x16_N5_100.pdf"}, {7, 0, 10, "Tavrelo_7x7_P_10.pdf"},
        {13, 1, 1, "Tavrelo_13x13_N1_1.pdf"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(NomeDoFicheiro(c.N, c.Nivel, c.Puzzles), c.Nome);
    }
}

TEST(Textos, MensagensDoResultado) {
    EXPECT_EQ(MensagemLivroGerado(50, 62, "0A1B2C3D"),
              "Livro gerado: 50 puzzles, 62 páginas. Código do livro: 0A1B2C3D");
    EXPECT_EQ(MensagemLivroGerado(1, 1, "00000000"),
              "Livro gerado: 1 puzzle, 1 página. Código do livro: 00000000");
    EXPECT_EQ(MensagemLivroGerado(50, "0A1B2C3D"),
              "Livro gerado: 50 puzzles. Código do livro: 0A1B2C3D");
    EXPECT_EQ(MensagemLivroGerado(1, "FFFFFFFF"),
              "Livro gerado: 1 puzzle. Código do livro: FFFFFFFF");
    EXPECT_EQ(MensagemCancelada(7, 50), "Geração cancelada aos 7 de 50 puzzles. Nada foi gravado.");
    EXPECT_EQ(MensagemLivroFalhou("O puzzle 3 não passou a validação final"),
              "Não foi possível terminar o livro: O puzzle 3 não passou a validação final");
    EXPECT_EQ(MensagemLivroFalhou(MOTIVO_SEM_MEMORIA), MENSAGEM_SEM_MEMORIA);
    EXPECT_EQ(MensagemInterrompidoAoGravar(),
              "Livro interrompido antes de ser gravado. Nenhum ficheiro foi alterado.");
    EXPECT_EQ(NotaDeEscritaParcial({}), "");
    EXPECT_EQ(NotaDeEscritaParcial({"-", "/tmp/fifo"}),
              " Parte do livro já tinha sido escrita na saída padrão e em /tmp/fifo.");
    EXPECT_EQ(AvisoOutrosNomes("livro.pdf", 1),
              "Aviso: livro.pdf tinha outro nome (uma ligação fixa), que continua com o ficheiro "
              "antigo.");
    EXPECT_EQ(AvisoOutrosNomes("livro.pdf", 3),
              "Aviso: livro.pdf tinha mais 3 nomes (ligações fixas), que continuam com o ficheiro "
              "antigo.");
    EXPECT_EQ(
        MensagemMinimoProgressiva(),
        "Na dificuldade Progressiva, o livro precisa de pelo menos 5 puzzles (um por nível).");
    EXPECT_EQ(MinimoDePuzzlesDoNivel(0), 5);
    EXPECT_EQ(MinimoDePuzzlesDoNivel(3), 1);
}

TEST(Textos, ItensDaEscolhaEAvisos) {
    const struct {
        int32_t Item, Nivel, Minimo;
    } itens[] = {{0, 1, 1}, {1, 2, 1}, {4, 5, 1}, {5, 0, 5}};
    for (const auto& c : itens) {
        EXPECT_EQ(NivelDoItem(c.Item), c.Nivel) << c.Item;
        EXPECT_EQ(MinimoDePuzzles(c.Item), c.Minimo) << c.Item;
    }
    EXPECT_EQ(MensagemNumPuzzles(true), "");
    EXPECT_EQ(MensagemNumPuzzles(false), "Indique um número de puzzles entre 1 e 100.");
    EXPECT_EQ(MensagemSairDuranteGeracao(), "Está a ser gerado um livro. Cancelar e sair?");
}

TEST(Textos, LeituraDoNumeroDePuzzles) {
    const struct {
        const char* Texto;
        bool Valido;
        int32_t N;
    } casos[] = {
        {"50", true, 50},   {"007", true, 7},   {" 5 ", true, 5},  {"\t9\t", true, 9},
        {"1", true, 1},     {"100", true, 100}, {"0", false, 0},   {"101", false, 0},
        {"0050", false, 0}, {"+5", false, 0},   {"-5", false, 0},  {"5a", false, 0},
        {"abc", false, 0},  {"", false, 0},     {"   ", false, 0}, {"1 0", false, 0},
    };
    for (const auto& c : casos) {
        int32_t lido = -1;
        EXPECT_EQ(LerNumPuzzles(c.Texto, lido), c.Valido) << "«" << c.Texto << "»";
        EXPECT_EQ(lido, c.N) << "«" << c.Texto << "»";
    }
}

TEST(Textos, ResumoDaEscolha) {
    const struct {
        int32_t n, N, Item;
        const char* Resumo;
    } casos[] = {
        {50, 8, 5, "50 puzzles · 8 × 8 · progressiva: 10 + 10 + 10 + 10 + 10"},
        {3, 7, 5, "3 puzzles · 7 × 7 · progressiva: 1 + 1 + 1"},
        {7, 13, 5, "7 puzzles · 13 × 13 · progressiva: 2 + 2 + 1 + 1 + 1"},
        {1, 12, 2, "1 puzzle · 12 × 12 · nível 3"},
        {100, 16, 4, "100 puzzles · 16 × 16 · nível 5"},
        {10, 10, 5, "10 puzzles · 10 × 10 · progressiva"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(ResumoDaEscolha(c.n, c.N, c.Item), c.Resumo);
    }
}

// Titles of 60, 130 and 200 characters, in the book's own words.
const std::string Titulo60 = "Quadrados Mágicos Grandes e Pequenos Para o Mês de Novembro!";
const std::string Titulo130 = "Quadrados mágicos para as férias de verão: cem puzzles para "
                              "resolver com lápis e paciência, da praia à serra, e com toda a "
                              "família";
const std::string Titulo200 =
    Titulo130 + ", os vizinhos e os amigos que vierem jantar, sem nenhuma pressa no mês";

TEST(TituloDoLivro, CabeNaCapaOuDizPorque) {
    const std::string emoji = "\xF0\x9F\x98\x80"; // U+1F600
    const std::string demasiado =
        "O título é demasiado comprido: não cabe na capa, nem em três linhas.";
    const std::string controlo = "O título tem de ser uma só linha, sem caracteres de controlo.";
    const struct {
        std::string Titulo;
        std::string Guardado; // what the book holds
        std::string Motivo;
    } casos[] = {
        {"", "", ""},
        {"  Férias \t", "Férias", ""},
        // A decomposed accent is composed: e + U+0301 becomes é, a + U+0303 ã.
        {"Cafe\xCC\x81 da manha\xCC\x83", "Café da manhã", ""},
        {Titulo60, Titulo60, ""},
        {Titulo130, Titulo130, ""},
        {Titulo200, Titulo200, demasiado},
        {std::string(70, 'M'), std::string(70, 'M'), demasiado}, // no blank to break at
        {"Férias " + emoji, "Férias " + emoji,
         "O título tem um carácter que a letra do livro não tem: «" + emoji + "» (U+1F600)."},
        {"Livro \xE4\xB8\xAD", "Livro \xE4\xB8\xAD",
         "O título tem um carácter que a letra do livro não tem: «\xE4\xB8\xAD» (U+4E2D)."},
        {"Linha\tdupla", "Linha\tdupla", controlo},
        {"Fim\xC2\x85", "Fim\xC2\x85", controlo}, // U+0085, a control of Latin-1
        {"F\xE9rias", "F\xE9rias", "O título não é texto UTF-8 válido."},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE("«" + c.Titulo + "»");
        const TTituloDoLivro t = VerificarTitulo(c.Titulo);
        EXPECT_EQ(t.Titulo, c.Guardado);
        EXPECT_EQ(t.Motivo, c.Motivo);
    }
}

TEST(TituloDoLivro, OsTitulosLongosQuebramNaCapa) {
    // Measured with the book's typeface: sixty characters need two lines, a hundred and
    // thirty three, two hundred more than three.
    EXPECT_EQ(teste::CodePoints(Titulo60), 60u);
    EXPECT_EQ(teste::CodePoints(Titulo130), 130u);
    EXPECT_EQ(teste::CodePoints(Titulo200), 200u);
    const auto medida = CanvasDeMedida();
    EXPECT_EQ(TituloDaCapa(*medida, Titulo60).Linhas.size(), 2u);
    EXPECT_EQ(TituloDaCapa(*medida, Titulo130).Linhas.size(), 3u);
    EXPECT_FALSE(TituloDaCapa(*medida, Titulo200).Cabe);
}

// Both front ends read a book code here: what one accepts, the other does too.
TEST(Textos, LerCodigoDoLivro) {
    const struct {
        const char* Texto;
        std::optional<uint32_t> Codigo;
    } casos[] = {
        {"0A1B2C3D", 0x0A1B2C3Du},
        {"0a1b2c3d", 0x0A1B2C3Du},
        {" FF\t", 0xFFu},
        {"0", 0u},
        {"FFFFFFFF", 0xFFFFFFFFu},
        {"00000001", 1u},
        {"123456789", {}},
        {"0x1F", {}},
        {"G1", {}},
        {"-1", {}},
        {"+1", {}},
        {"1 2", {}},
        {"", {}},
        {"  ", {}},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(LerCodigoDoLivro(c.Texto), c.Codigo) << "«" << c.Texto << "»";
    }
}

} // namespace
} // namespace tavrelo
