#include "generation/livro.h"

#include "core/random.h"

#include "config_livro.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <numeric>
#include <system_error>
#include <thread>

namespace tavrelo {
namespace {

TConfigLivro Config(int32_t N, int32_t nivel, int32_t puzzles, uint32_t semente) {
    return teste::Config(N, nivel, puzzles, semente, "Teste");
}

TEST(LivroConfiguracao, MensagensDeValidacaoPelaOrdemDosTestes) {
    struct Caso {
        TConfigLivro config;
        const char* mensagem;
    };
    const Caso casos[] = {
        {Config(8, 3, 0, 1), "Número de puzzles inválido: 0 (de 1 a 100)"},
        {Config(8, 3, 101, 1), "Número de puzzles inválido: 101 (de 1 a 100)"},
        {Config(8, 6, 10, 1), "Nível inválido: 6 (0 é a Progressiva, de 1 a 5)"},
        {Config(8, -1, 10, 1), "Nível inválido: -1 (0 é a Progressiva, de 1 a 5)"},
        {Config(10, 6, 0, 1), "Tamanho de grelha inválido: 10"}, // the size is checked first
        {Config(0, 1, 1, 1), "Tamanho de grelha inválido: 0"},
    };
    for (const Caso& c : casos) {
        try {
            ValidarConfiguracao(c.config);
            ADD_FAILURE() << "accepted: " << c.mensagem;
        } catch (const EVelt& e) {
            EXPECT_STREQ(e.what(), c.mensagem);
        }
        EXPECT_THROW(PlanoDoLivro(c.config), EVelt);
        EXPECT_THROW(TGeradorLivro().Gerar(c.config, nullptr), EVelt);
    }
    EXPECT_NO_THROW(ValidarConfiguracao(Config(13, 0, 100, 0)));
    EXPECT_NO_THROW(ValidarConfiguracao(Config(16, 5, 1, 0)));
}

TEST(LivroConfiguracao, PlanoCodigoESubSementes) {
    using V = std::vector<int32_t>;
    EXPECT_EQ(PlanoDoLivro(Config(8, 0, 3, 0)), (V{1, 2, 3}));
    EXPECT_EQ(PlanoDoLivro(Config(8, 0, 5, 0)), (V{1, 2, 3, 4, 5}));
    EXPECT_EQ(PlanoDoLivro(Config(7, 0, 12, 0)), (V{1, 1, 1, 2, 2, 2, 3, 3, 4, 4, 5, 5}));
    EXPECT_EQ(PlanoDoLivro(Config(12, 4, 3, 0)), (V{4, 4, 4}));
    const V cinquenta = PlanoDoLivro(Config(8, 0, 50, 0));
    ASSERT_EQ(cinquenta.size(), 50u);
    for (size_t i = 0; i < 50; ++i) {
        EXPECT_EQ(cinquenta[i], static_cast<int32_t>(i / 10 + 1));
    }
    EXPECT_EQ(CodigoDoLivro(0), "00000000");
    EXPECT_EQ(CodigoDoLivro(255), "000000FF");
    EXPECT_EQ(CodigoDoLivro(4294967295u), "FFFFFFFF");
    EXPECT_EQ(CodigoDoLivro(0x0A1B2C3D), "0A1B2C3D");
    EXPECT_EQ(SubSementeDoPuzzle(1, 0), 0xA3820138u);
    EXPECT_EQ(SubSementeDoPuzzle(1, 1), 0xFD59956Fu);
}

TEST(LivroGerar, MesmaConfiguracaoMesmoLivro) {
    const TConfigLivro c = Config(7, 0, 5, 0x2A);
    const TLivro a = TGeradorLivro().Gerar(c, nullptr);
    const TLivro b = TGeradorLivro().Gerar(c, nullptr);
    EXPECT_EQ(a.Codigo, "0000002A");
    EXPECT_EQ(a.Plano, (std::vector<int32_t>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(a.Cancelado);
    ASSERT_EQ(a.Puzzles.size(), 5u);
    EXPECT_EQ(a.Puzzles, b.Puzzles);
    for (size_t p = 0; p < a.Puzzles.size(); ++p) {
        EXPECT_EQ(a.Puzzles[p].Posicao, static_cast<int32_t>(p));
        EXPECT_EQ(a.Puzzles[p].SubSemente, DerivarSemente(0x2A, static_cast<uint32_t>(p)));
        EXPECT_EQ(a.Puzzles[p].Puzzle.Nivel, a.Plano[p]);
        for (size_t q = 0; q < p; ++q) {
            EXPECT_NE(a.Puzzles[p].Puzzle.Chave, a.Puzzles[q].Puzzle.Chave);
        }
    }
    // A puzzle depends on its position's sub-seed: generating it alone gives the same.
    TGeradorPuzzle gerador;
    TRegistoChaves registo;
    TGeradorAleatorio rng(a.Puzzles[0].SubSemente);
    EXPECT_EQ(gerador.Gerar(7, 1, rng, registo), a.Puzzles[0].Puzzle);
}

TEST(LivroGerar, ProgressoECancelamento) {
    const TConfigLivro c = Config(8, 1, 4, 7);
    struct Caso {
        int32_t cancelarEm; // 0 = never
        size_t puzzles;
        bool cancelado;
    };
    for (const Caso& caso :
         {Caso{0, 4, false}, Caso{1, 1, true}, Caso{3, 3, true}, Caso{4, 4, false}}) {
        SCOPED_TRACE(caso.cancelarEm);
        std::vector<int32_t> feitos;
        std::vector<std::string> textos;
        const TLivro livro = TGeradorLivro().Gerar(
            c, [&](int32_t AFeitos, int32_t ATotal, const std::string& ATexto, bool& ACancelar) {
                EXPECT_FALSE(ACancelar);
                EXPECT_EQ(ATotal, 4);
                feitos.push_back(AFeitos);
                textos.push_back(ATexto);
                ACancelar = AFeitos == caso.cancelarEm;
            });
        EXPECT_EQ(livro.Puzzles.size(), caso.puzzles);
        EXPECT_EQ(livro.Cancelado, caso.cancelado);
        std::vector<int32_t> esperados;
        for (size_t i = 1; i <= caso.puzzles; ++i) {
            esperados.push_back(static_cast<int32_t>(i));
        }
        EXPECT_EQ(feitos, esperados);
        EXPECT_EQ(textos.front(), "A gerar o puzzle 1 de 4 (nível 1)");
    }
}

// Books made on helper threads are the books made in turn, puzzle for puzzle, also when a
// puzzle made ahead finds its square taken by its turn and is made again: codes 000003BD
// (7 × 7) and 0000004F (8 × 8) do so at their second puzzle, whatever the level, as the
// first squares drawn do not depend on it.
TEST(LivroEmParalelo, OMesmoLivroComQualquerNumeroDeFios) {
    const struct {
        TConfigLivro Config;
        bool Refaz;
    } casos[] = {
        {Config(7, 1, 2, 0x3BD), true},  {Config(7, 5, 2, 0x3BD), true},
        {Config(7, 0, 3, 0x3BD), true},  {Config(8, 1, 2, 0x4F), true},
        {Config(8, 5, 2, 0x4F), true},   {Config(8, 0, 3, 0x4F), true},
        {Config(12, 4, 3, 0x2A), false}, {Config(13, 0, 4, 0x2A), false},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(testing::Message()
                     << c.Config.N << " " << c.Config.Nivel << " " << c.Config.Semente);
        const TLivro naVez = TGeradorLivro().Gerar(c.Config, nullptr);
        for (const int32_t fios : {2, 3}) {
            TGeradorLivro gerador;
            TParalelo paralelo;
            paralelo.Trabalhadores = fios;
            std::vector<int32_t> confirmados;
            paralelo.AoConfirmar = [&](const TPuzzleDoLivro& APuzzle) {
                confirmados.push_back(APuzzle.Posicao);
            };
            const TLivro livro = gerador.Gerar(c.Config, nullptr, paralelo);
            EXPECT_EQ(livro.Puzzles, naVez.Puzzles) << fios;
            EXPECT_EQ(gerador.Refeitos() > 0, c.Refaz) << fios;
            std::vector<int32_t> emOrdem(naVez.Puzzles.size());
            std::iota(emOrdem.begin(), emOrdem.end(), 0);
            EXPECT_EQ(confirmados, emOrdem) << "each puzzle committed once, in book order";
        }
    }
}

// A cancel stops the helpers as it stops the book; a book whose helpers the system refuses is
// made on the calling thread.
TEST(LivroEmParalelo, CancelarEFiosRecusados) {
    TParalelo paralelo;
    paralelo.Trabalhadores = 3;
    const TLivro cancelado = TGeradorLivro().Gerar(
        Config(12, 5, 10, 7),
        [](int32_t AFeitos, int32_t, const std::string&, bool& ACancelar) {
            ACancelar = AFeitos == 2;
        },
        paralelo);
    EXPECT_TRUE(cancelado.Cancelado);
    EXPECT_EQ(cancelado.Puzzles.size(), 2u);

    // A start that the system refuses leaves the book to the calling thread.
    paralelo.IniciarFio = [](std::function<void()>) -> TFio {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    EXPECT_EQ(TGeradorLivro().Gerar(Config(8, 3, 3, 9), nullptr, paralelo).Puzzles,
              TGeradorLivro().Gerar(Config(8, 3, 3, 9), nullptr).Puzzles);
}

// Waits, for a minute at most, until AFeito is true.
template <typename F> bool Ate(F AFeito) {
    const auto limite = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!AFeito()) {
        if (std::chrono::steady_clock::now() > limite) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// While the pause is held (as it is while a front end's call runs), the helpers finish the
// puzzle under way and wait, beginning no other.
TEST(LivroEmParalelo, AjudantesParadosNaPausa) {
    TPausa pausa;
    TParalelo paralelo;
    paralelo.Trabalhadores = 3;
    paralelo.Pausa = &pausa;
    // The helpers still at work: one that found no puzzle left has ended.
    std::atomic<int32_t> vivos{0};
    paralelo.IniciarFio = [&vivos](std::function<void()> ACorpo) {
        ++vivos;
        return TFio(std::thread([&vivos, ACorpo = std::move(ACorpo)] {
            ACorpo();
            --vivos;
        }));
    };
    int64_t antes = -1;
    int64_t depois = -1;
    bool esperaram = false;
    const TLivro livro = TGeradorLivro().Gerar(
        Config(11, 5, 40, 3),
        [&](int32_t AFeitos, int32_t, const std::string&, bool&) {
            if (AFeitos == 1) {
                const TPausaSegura segura(&pausa);
                antes = pausa.Passagens();
                esperaram = Ate([&] { return pausa.Esperando() == vivos.load(); });
                depois = pausa.Passagens();
            }
        },
        paralelo);
    EXPECT_EQ(livro.Puzzles.size(), 40u);
    EXPECT_TRUE(esperaram) << "every helper at work waits at the pause";
    EXPECT_EQ(antes, depois);
    EXPECT_GT(pausa.Passagens(), depois) << "and go on once it is released";
}

TEST(Pausa, QuemPassaEsperaPelaLibertacao) {
    TPausa pausa;
    pausa.Segurar();
    pausa.Segurar(); // holds nest
    std::atomic<bool> passou{false};
    std::thread fio([&] {
        pausa.Passar();
        passou = true;
    });
    pausa.Soltar();
    ASSERT_TRUE(Ate([&] { return pausa.Esperando() == 1; }));
    EXPECT_FALSE(passou.load()) << "still held once";
    EXPECT_EQ(pausa.Passagens(), 0);
    pausa.Soltar();
    fio.join();
    EXPECT_TRUE(passou.load());
    EXPECT_EQ(pausa.Passagens(), 1);
    EXPECT_EQ(pausa.Esperando(), 0);
    pausa.Soltar(); // one release too many changes nothing
    pausa.Passar();
    EXPECT_EQ(pausa.Passagens(), 2);
}

// A thread of the book that calls its front end passes the pause and holds it in one step:
// it waits while the front end holds it, and while its call runs the others wait in turn,
// a second call too.
TEST(Pausa, UmaChamadaDeCadaVez) {
    TPausa pausa;
    pausa.Segurar(); // the front end asks its user something
    std::atomic<int32_t> etapa{0};
    std::thread chamada([&] {
        pausa.PassarESegurar();
        etapa = 1;
        while (etapa.load() != 2) {
            std::this_thread::yield();
        }
        pausa.Soltar();
    });
    ASSERT_TRUE(Ate([&] { return pausa.Esperando() == 1; }));
    EXPECT_EQ(etapa.load(), 0) << "no call while the front end holds the pause";
    pausa.Soltar();
    ASSERT_TRUE(Ate([&] { return etapa.load() == 1; }));
    std::atomic<bool> passou{false};
    std::thread outra([&] {
        pausa.PassarESegurar();
        passou = true;
        pausa.Soltar();
    });
    std::thread passo([&] { pausa.Passar(); });
    ASSERT_TRUE(Ate([&] { return pausa.Esperando() == 2; }));
    EXPECT_FALSE(passou.load()) << "one call at a time";
    etapa = 2;
    chamada.join();
    outra.join();
    passo.join();
    EXPECT_TRUE(passou.load());
    EXPECT_EQ(pausa.Passagens(), 3);
}

} // namespace
} // namespace tavrelo
