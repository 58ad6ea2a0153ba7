#include "files/sinais.h"

#include "files/ficheiro.h"

#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
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

std::atomic<int> g_Pedidos{0};
void ContarPedido(int) noexcept {
    g_Pedidos.fetch_add(1);
}

// The rule both programs follow, each case in a child process of its own with a book being
// written: how the program answers the signals it gets.
TEST_F(Sinais, PrimeiroPedidoParaOSegundoTermina) {
    using R = TRespostaAosSinais;
    const struct {
        const char* Nome;
        R Resposta;
        std::vector<int> Sinais;
        int Estado; // the child's status: 0 when it went on, else 128 + the signal
        int Pedido; // the request kept, when it went on
    } casos[] = {
        {"a first request is kept for the program, which goes on",
         R::rsParar,
         {SIGTERM},
         0,
         SIGTERM},
        {"a second request ends it at once", R::rsParar, {SIGTERM, SIGINT}, 128 + SIGINT, 0},
        {"a signal that asks no stop ends it at once", R::rsParar, {SIGQUIT}, 128 + SIGQUIT, 0},
        {"so does a real-time signal", R::rsParar, {SIGRTMIN + 3}, 128 + SIGRTMIN + 3, 0},
        {"before anything can stop cleanly, a request ends it at once",
         R::rsTerminar,
         {SIGHUP},
         128 + SIGHUP,
         0},
        {"once the files are being put in place, nothing ends it",
         R::rsSeguir,
         {SIGTERM, SIGQUIT, SIGINT},
         0,
         0},
        {"a file grown past its limit ends nothing: the write fails instead",
         R::rsTerminar,
         {SIGXFSZ},
         0,
         0},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Nome);
        const int estado = teste::CorrerNumFilho([&] {
            PrepararProcesso();
            TFicheiroAtomico livro(Em("livro.pdf"));
            livro.Escrever("%PDF-");
            ResponderAosSinais(c.Resposta);
            DefinirAoPedido(ContarPedido);
            for (const int s : c.Sinais) {
                ::raise(s);
            }
            const bool certo =
                PedidoDeParagem() == c.Pedido && g_Pedidos.load() == (c.Pedido != 0 ? 1 : 0);
            return certo ? 0 : 1;
        });
        EXPECT_EQ(estado, c.Estado);
        EXPECT_EQ(Conteudo(), std::vector<std::string>{}) << "temporary file left";
    }
}

// A fault of the program itself (abort, here) removes the temporary files, runs the program's
// own clean-up and says so, then ends the program as the fault would have: it is no request
// from outside.
TEST_F(Sinais, FalhaDoProprioProgramaLimpaETerminaPelaFalha) {
    const std::string erros = Em("erros");
    const std::string marca = Em("marca");
    Criar(marca, "");
    ASSERT_LT(marca.size(), sizeof g_Marca);
    marca.copy(g_Marca, marca.size());
    g_Marca[marca.size()] = '\0';
    const int estado = teste::CorrerNumFilho([&] {
        const int d = ::open(erros.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(d, STDERR_FILENO);
        PrepararProcesso();
        DefinirLimpezaFinal(ApagarMarca);
        TFicheiroAtomico livro(Em("livro.pdf"));
        livro.Escrever("%PDF-");
        std::abort();
        return 0;
    });
    EXPECT_EQ(estado, -SIGABRT);
    EXPECT_EQ(Ler(erros), "\nO programa terminou por um erro interno.\n");
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"erros"}) << "temporary file or marker left";
}

} // namespace
} // namespace tavrelo
