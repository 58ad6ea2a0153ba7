#include "drawing/ficheiro.h"

#include "core/tipos.h"

#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace tavrelo {
namespace {

namespace fs = std::filesystem;
using PastaTemporaria = teste::TPastaTemporaria;

using FicheiroAtomico = PastaTemporaria;

TEST_F(FicheiroAtomico, SoApareceQuandoConfirmado) {
    const mode_t antes = ::umask(022);
    const std::string alvo = Em("livro.json");
    {
        TFicheiroAtomico f(alvo);
        f.Escrever("{\"a\": ");
        f.Escrever("1}\n");
        EXPECT_FALSE(fs::exists(alvo)) << "visible before it is complete";
        f.Confirmar();
    }
    ::umask(antes);
    EXPECT_EQ(Ler(alvo), "{\"a\": 1}\n");
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.json"});
    EXPECT_EQ(Modo(alvo), 0644u) << "a new file is readable like any other, not private";
}

TEST_F(FicheiroAtomico, FicheiroAntigoFicaIntactoSemConfirmacao) {
    const std::string alvo = Em("livro.json");
    Criar(alvo, "antigo");
    ASSERT_EQ(::chmod(alvo.c_str(), 0640), 0);
    {
        TFicheiroAtomico f(alvo);
        f.Escrever("novo e incompleto");
    }
    EXPECT_EQ(Ler(alvo), "antigo");
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.json"});

    {
        TFicheiroAtomico f(alvo);
        f.Escrever("novo");
        f.Confirmar();
    }
    EXPECT_EQ(Ler(alvo), "novo");
    EXPECT_EQ(Modo(alvo), 0640u) << "a replaced file keeps its permissions";
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.json"});
}

TEST_F(FicheiroAtomico, DestinoImpossivelFalhaLogoComOMotivo) {
    const struct {
        std::string Alvo;
        const char* Motivo;
    } casos[] = {
        {Em("nao-existe/livro.json"), "a pasta não existe"},
        {FPasta.string(), "é uma pasta"},
    };
    for (const auto& c : casos) {
        try {
            TFicheiroAtomico f(c.Alvo);
            ADD_FAILURE() << "no error for " << c.Alvo;
        } catch (const EVelt& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Não foi possível gravar " + c.Alvo + ": " + c.Motivo + ".");
        }
    }
    EXPECT_TRUE(Conteudo().empty());
}

} // namespace
} // namespace tavrelo
