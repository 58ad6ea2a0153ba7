#include "cli/livro_json.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

using nlohmann::ordered_json;

std::vector<std::string> Chaves(const ordered_json& AObjeto) {
    std::vector<std::string> chaves;
    for (const auto& [chave, valor] : AObjeto.items()) {
        chaves.push_back(chave);
    }
    return chaves;
}

// A small book built by hand: two puzzles of a 2 x 2 "grid" are enough to show every
// field; the values sit where a signed or narrowed conversion would change them.
TLivro LivroDeExemplo() {
    TLivro l;
    l.Config.NumPuzzles = 2;
    l.Config.N = 8;
    l.Config.Nivel = 0;
    l.Config.Titulo = "Férias de Verão: \"nº 1\" \\ ação";
    l.Config.Caminho = true;
    l.Config.Semente = 0xFFFFFFFFu;
    l.Codigo = "FFFFFFFF";
    l.Plano = {1, 2};
    l.Cancelado = false;

    TPuzzleDoLivro a;
    a.Posicao = 0;
    a.SubSemente = 4000000000u;
    a.Puzzle.N = 2;
    a.Puzzle.Nivel = 1;
    a.Puzzle.Solucao = {1, 2, 3, 4};
    a.Puzzle.Dados = {1, 0, 0, 4};
    a.Puzzle.NumPistas = 2;
    a.Puzzle.NumPistasPiso = 1;
    a.Puzzle.Chave = 0xABu;
    a.Puzzle.Resultado.Resolvido = true;
    a.Puzzle.Resultado.Rondas = 2;
    a.Puzzle.Resultado.Passos = {{1, 3, TFamilia::lfMeia, 1, 2, -1, 0},
                                 {2, -1, TFamilia::lfPar, 2, 3, 5, 7}};
    a.Puzzle.Resultado.Usos = {0, 0, 0, 0, 1, 0, 1};

    TPuzzleDoLivro b = a;
    b.Posicao = 1;
    b.SubSemente = 7;
    b.Puzzle.Nivel = 2;
    b.Puzzle.Chave = 0xFEDCBA9876543210u;
    b.Puzzle.Resultado.Passos.clear();
    b.Puzzle.Resultado.Usos = {};
    l.Puzzles = {a, b};
    return l;
}

TEST(LivroJson, ChavesPelaOrdemDosCamposEmCadaNivel) {
    const ordered_json j = LivroParaJson(LivroDeExemplo());
    using V = std::vector<std::string>;
    EXPECT_EQ(Chaves(j), (V{"Config", "Codigo", "Plano", "Cancelado", "Puzzles"}));
    EXPECT_EQ(Chaves(j["Config"]), (V{"NumPuzzles", "N", "Nivel", "Titulo", "Caminho", "Semente"}));
    const ordered_json& p = j["Puzzles"][0];
    EXPECT_EQ(Chaves(p), (V{"Posicao", "SubSemente", "Puzzle"}));
    EXPECT_EQ(Chaves(p["Puzzle"]), (V{"N", "Nivel", "Solucao", "Dados", "NumPistas",
                                      "NumPistasPiso", "Chave", "Resultado"}));
    EXPECT_EQ(Chaves(p["Puzzle"]["Resultado"]), (V{"Resolvido", "Rondas", "Passos", "Usos"}));
    EXPECT_EQ(Chaves(p["Puzzle"]["Resultado"]["Passos"][1]),
              (V{"Ronda", "Lei", "Familia", "Celula", "Valor", "Parceiro", "Resto"}));
}

TEST(LivroJson, ValoresComOsSeusTipos) {
    const ordered_json j = LivroParaJson(LivroDeExemplo());
    EXPECT_EQ(j["Config"], ordered_json::parse(R"({"NumPuzzles": 2, "N": 8, "Nivel": 0,
                  "Titulo": "Férias de Verão: \"nº 1\" \\ ação", "Caminho": true,
                  "Semente": 4294967295})"));
    // Seeds are numbers, whole and without sign, not strings.
    EXPECT_TRUE(j["Config"]["Semente"].is_number_unsigned());
    EXPECT_EQ(j["Codigo"], "FFFFFFFF");
    EXPECT_EQ(j["Plano"], ordered_json::parse("[1, 2]"));
    EXPECT_EQ(j["Cancelado"], false);

    const ordered_json& p = j["Puzzles"][0];
    EXPECT_EQ(p["Posicao"], 0);
    EXPECT_TRUE(p["SubSemente"].is_number_unsigned());
    EXPECT_EQ(p["SubSemente"].get<uint64_t>(), 4000000000u);
    const ordered_json& q = p["Puzzle"];
    EXPECT_EQ(q["Solucao"], ordered_json::parse("[1, 2, 3, 4]"));
    EXPECT_EQ(q["Dados"], ordered_json::parse("[1, 0, 0, 4]"));
    EXPECT_EQ(q["NumPistas"], 2);
    EXPECT_EQ(q["NumPistasPiso"], 1);
    EXPECT_EQ(q["Resultado"], ordered_json::parse(R"({"Resolvido": true, "Rondas": 2, "Passos": [
                  {"Ronda": 1, "Lei": 3, "Familia": 4, "Celula": 1, "Valor": 2, "Parceiro": -1, "Resto": 0},
                  {"Ronda": 2, "Lei": -1, "Familia": 6, "Celula": 2, "Valor": 3, "Parceiro": 5, "Resto": 7}],
                  "Usos": [0, 0, 0, 0, 1, 0, 1]})"));

    // A puzzle without steps still has the list, and its seven counts.
    const ordered_json& r = j["Puzzles"][1]["Puzzle"]["Resultado"];
    EXPECT_TRUE(r["Passos"].is_array());
    EXPECT_TRUE(r["Passos"].empty());
    EXPECT_EQ(r["Usos"], ordered_json::parse("[0, 0, 0, 0, 0, 0, 0]"));
}

TEST(LivroJson, ChaveComDezasseisAlgarismosHexadecimaisMaiusculos) {
    const struct {
        uint64_t Chave;
        const char* Texto;
    } casos[] = {
        {0, "0000000000000000"},
        {0xABu, "00000000000000AB"},
        {0x0123456789ABCDEFu, "0123456789ABCDEF"},
        {0xFEDCBA9876543210u, "FEDCBA9876543210"},
        {std::numeric_limits<uint64_t>::max(), "FFFFFFFFFFFFFFFF"},
    };
    TLivro l = LivroDeExemplo();
    for (const auto& c : casos) {
        l.Puzzles[0].Puzzle.Chave = c.Chave;
        EXPECT_EQ(LivroParaJson(l)["Puzzles"][0]["Puzzle"]["Chave"], c.Texto) << c.Chave;
    }
}

TEST(LivroJson, LivroCanceladoSemPuzzlesTemListasVazias) {
    TLivro l;
    l.Config.NumPuzzles = 5;
    l.Codigo = "00000000";
    l.Cancelado = true;
    const ordered_json j = LivroParaJson(l);
    EXPECT_TRUE(j["Plano"].is_array());
    EXPECT_TRUE(j["Puzzles"].is_array());
    EXPECT_TRUE(j["Puzzles"].empty());
    EXPECT_EQ(j["Cancelado"], true);
    EXPECT_EQ(ordered_json::parse(TextoJson(j)), j);
}

// The book is written a puzzle at a time, and the pieces make the very text of the whole value.
TEST(TextoJson, EscritoAosPedacosComoOTextoDoValorInteiro) {
    TLivro cancelado;
    cancelado.Codigo = "00000000";
    cancelado.Cancelado = true;
    TConfigLivro config;
    config.N = 7;
    config.Nivel = 0;
    config.NumPuzzles = 5;
    config.Semente = 1;
    for (const TLivro& l : {LivroDeExemplo(), cancelado, TGeradorLivro().Gerar(config, nullptr)}) {
        std::vector<std::string> pedacos;
        EscreverLivroJson(l, [&](std::string_view APedaco) { pedacos.emplace_back(APedaco); });
        std::string texto;
        for (const std::string& p : pedacos) {
            texto += p;
        }
        EXPECT_EQ(texto, TextoJson(LivroParaJson(l)));
        EXPECT_EQ(pedacos.size(), l.Puzzles.size() + 1) << "one piece per puzzle, and the end";
    }
}

TEST(TextoJson, LidoDeNovoDaOMesmoValorPelaMesmaOrdem) {
    const ordered_json j = LivroParaJson(LivroDeExemplo());
    const std::string texto = TextoDoLivroJson(LivroDeExemplo());
    // ordered_json compares objects key by key in order, so this also checks the order.
    EXPECT_EQ(ordered_json::parse(texto), j);
    EXPECT_EQ(texto.back(), '\n');
}

TEST(TextoJson, AcentosSaemEmUtf8SemEscapes) {
    const std::string texto = TextoDoLivroJson(LivroDeExemplo());
    EXPECT_NE(texto.find(R"("Titulo": "Férias de Verão: \"nº 1\" \\ ação")"), std::string::npos)
        << texto.substr(0, 200);
    EXPECT_EQ(texto.find("\\u00"), std::string::npos);
}

TEST(TextoJson, TituloQueNaoEUtf8NaoImpedeOTexto) {
    TLivro l = LivroDeExemplo();
    l.Config.Titulo = "Ver\xE3o"; // Latin-1 "Verão"
    std::string texto;
    ASSERT_NO_THROW(texto = TextoDoLivroJson(l));
    EXPECT_EQ(ordered_json::parse(texto)["Config"]["Titulo"], std::string("Ver\xEF\xBF\xBD") + "o");
}

TEST(TextoJson, ListasDeValoresNumaLinhaEstruturasIndentadas) {
    const std::string texto = TextoDoLivroJson(LivroDeExemplo());
    EXPECT_NE(texto.find("\"Solucao\": [1, 2, 3, 4],\n"), std::string::npos);
    EXPECT_NE(texto.find("\n            {\"Ronda\": 2, \"Lei\": -1, \"Familia\": 6, \"Celula\": 2, "
                         "\"Valor\": 3, \"Parceiro\": 5, \"Resto\": 7}\n"),
              std::string::npos)
        << texto;
    EXPECT_NE(texto.find("\"Passos\": [],\n"), std::string::npos);
    EXPECT_EQ(texto.rfind("{\n  \"Config\": {", 0), 0u);
}

} // namespace
} // namespace tavrelo
