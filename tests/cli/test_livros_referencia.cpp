// Books computed by a separate, plain implementation of the generator, kept as JSON:
// the same configurations and codes must give them back exactly, puzzle for puzzle,
// step for step.
#include "cli/livro_json.h"
#include "generation/livro.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tavrelo {
namespace {

class LivroDeReferencia : public testing::TestWithParam<const char*> {};

nlohmann::ordered_json Ler(const std::filesystem::path& ACaminho) {
    std::ifstream f(ACaminho);
    EXPECT_TRUE(f.good()) << ACaminho;
    return nlohmann::ordered_json::parse(f);
}

TConfigLivro ConfigDe(const nlohmann::ordered_json& AConfig) {
    TConfigLivro c;
    c.NumPuzzles = AConfig.at("NumPuzzles").get<int32_t>();
    c.N = AConfig.at("N").get<int32_t>();
    c.Nivel = AConfig.at("Nivel").get<int32_t>();
    c.Titulo = AConfig.at("Titulo").get<std::string>();
    c.Caminho = AConfig.at("Caminho").get<bool>();
    c.Semente = AConfig.at("Semente").get<uint32_t>();
    return c;
}

TEST_P(LivroDeReferencia, RefeitoIgual) {
    const nlohmann::ordered_json esperado =
        Ler(std::filesystem::path(TAVRELO_DADOS_TESTE) / GetParam());
    const TLivro livro = TGeradorLivro().Gerar(ConfigDe(esperado.at("Config")), nullptr);
    const nlohmann::ordered_json obtido = LivroParaJson(livro);
    ASSERT_EQ(obtido.at("Puzzles").size(), esperado.at("Puzzles").size());
    // Puzzle by puzzle first, so that a difference points at the first puzzle it touches.
    for (size_t p = 0; p < esperado.at("Puzzles").size(); ++p) {
        ASSERT_EQ(obtido["Puzzles"][p], esperado["Puzzles"][p]) << "puzzle " << p + 1;
    }
    EXPECT_EQ(obtido, esperado); // key order included
}

INSTANTIATE_TEST_SUITE_P(Livros, LivroDeReferencia,
                         testing::Values("livro_8_P_10_0000002A.json", "livro_7_P_5_00000001.json",
                                         "livro_11_N4_3_FFFFFFFF.json",
                                         "livro_12_N5_2_00C0FFEE.json",
                                         "livro_13_N3_3_0000BEEF.json",
                                         "livro_16_N4_2_00000009.json"));

} // namespace
} // namespace tavrelo
