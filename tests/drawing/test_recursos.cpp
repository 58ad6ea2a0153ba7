#include "drawing/recursos.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

std::vector<unsigned char> LerFicheiro(const std::filesystem::path& ACaminho) {
    std::ifstream f(ACaminho, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TEST(Recursos, CadaNomeTemOsBytesDoSeuFicheiro) {
    const std::filesystem::path raiz =
        std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    const struct {
        std::string_view Nome;
        std::filesystem::path Ficheiro;
    } casos[] = {
        {"SELO_CC_BY_NC_ND", raiz / "resources/selo_cc_by_nc_nd.png"},
        {RECURSO_LETRA_NORMAL, "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"},
        {RECURSO_LETRA_NEGRITO, "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"},
    };
    for (const auto& c : casos) {
        const std::vector<unsigned char> esperado = LerFicheiro(c.Ficheiro);
        ASSERT_FALSE(esperado.empty()) << c.Ficheiro;
        const std::span<const unsigned char> r = Recurso(c.Nome);
        EXPECT_TRUE(std::equal(r.begin(), r.end(), esperado.begin(), esperado.end())) << c.Nome;
    }
    EXPECT_TRUE(Recurso("NAO_HA").empty());
    EXPECT_TRUE(Recurso("selo_cc_by_nc_nd").empty()) << "names are case-sensitive";
    EXPECT_TRUE(Recurso("").empty());
}

} // namespace
} // namespace tavrelo
