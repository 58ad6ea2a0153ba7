#include "files/sinais.h"

#include "files/ficheiro.h"

#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tavrelo {
namespace {

// The name the final clean-up removes: set before the fork, read by the child's handler path.
char g_Marca[4096];
void ApagarMarca() noexcept {
    ::unlink(g_Marca);
}

class Sinais : public teste::TPastaTemporaria {};

// Ending on a signal removes the book's temporary file, then runs the program's own clean-up,
// and the status says which signal it was.
TEST_F(Sinais, TerminarApagaOTemporarioECorreALimpezaFinal) {
    const std::string marca = Em("marca");
    Criar(marca, "");
    ASSERT_LT(marca.size(), sizeof g_Marca);
    marca.copy(g_Marca, marca.size());
    g_Marca[marca.size()] = '\0';

    const pid_t filho = ::fork();
    ASSERT_GE(filho, 0);
    if (filho == 0) {
        TFicheiroAtomico livro(Em("livro.pdf"));
        livro.Escrever("%PDF-");
        DefinirLimpezaFinal(ApagarMarca);
        TerminarPeloSinal(SIGUSR2);
    }
    int estado = 0;
    ASSERT_EQ(::waitpid(filho, &estado, 0), filho);
    ASSERT_TRUE(WIFEXITED(estado));
    EXPECT_EQ(WEXITSTATUS(estado), 128 + SIGUSR2);
    EXPECT_EQ(Conteudo(), std::vector<std::string>{}) << "temporary file or marker left";
}

} // namespace
} // namespace tavrelo
