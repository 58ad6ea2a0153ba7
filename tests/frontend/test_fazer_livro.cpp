#include "frontend/fazer_livro.h"

#include "frontend/textos.h"

#include "../falhar_alocacao.h"
#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tavrelo {
namespace {

using FazerLivroTeste = teste::TPastaTemporaria;

TConfigLivro UmPuzzle() {
    TConfigLivro c;
    c.N = 8;
    c.Nivel = 1;
    c.NumPuzzles = 2;
    c.Semente = 0xC0FFEE;
    return c;
}

// The real generator and a stand-in writer of three short pages, unless a case breaks one.
TEtapasLivro Etapas(bool AFalharPdf = false) {
    TEtapasLivro etapas = EtapasDoLivro();
    etapas.GravarPdf = [AFalharPdf](TFicheiroAtomico& AFicheiro, const TLivro&, const TInfoLivro&,
                                    const TPedidoDeParagem& AParar) {
        for (int32_t p = 1; p <= 3; ++p) {
            if (AParar()) {
                throw EGravacaoInterrompida();
            }
            AFicheiro.Escrever("pagina ");
        }
        if (AFalharPdf) {
            throw EVelt("não há espaço livre no disco.");
        }
        return 3;
    };
    return etapas;
}

// How the second file of a book fails, when it does.
enum class TFalhaOutro : uint8_t { foNenhuma, foDisco, foMemoria };

// Both files of a book: the PDF and a second file written from the same book.
TPedidoLivro Pedido(const std::string& APdf, const std::string& AOutro,
                    TFalhaOutro AFalha = TFalhaOutro::foNenhuma) {
    TPedidoLivro pedido;
    pedido.Config = UmPuzzle();
    pedido.CaminhoPdf = APdf;
    pedido.Outros.push_back({AOutro, [AFalha](const TLivro& ALivro, const auto& AEscrever) {
                                 AEscrever(ALivro.Codigo);
                                 if (AFalha == TFalhaOutro::foDisco) {
                                     throw std::runtime_error("Disco cheio.");
                                 }
                                 if (AFalha == TFalhaOutro::foMemoria) {
                                     throw std::bad_alloc();
                                 }
                             }});
    return pedido;
}

TEST_F(FazerLivroTeste, GravaTudoJuntoEContaOQueFez) {
    std::vector<std::string> avisos;
    int32_t paginasComecadas = 0;
    TAvisosLivro a;
    a.Progresso = [&](int32_t AFeitos, int32_t ATotal, const std::string& ATexto) {
        avisos.push_back(std::to_string(AFeitos) + "/" + std::to_string(ATotal) + " " + ATexto);
        EXPECT_EQ(Ler(Em("livro.pdf")), "antigo") << "nothing in place meanwhile";
        EXPECT_FALSE(std::filesystem::exists(Em("livro.txt"))) << "nothing in place meanwhile";
    };
    a.InicioDasPaginas = [&] { ++paginasComecadas; };
    int32_t confirmacoes = 0;
    a.AntesDeConfirmar = [&] { ++confirmacoes; };
    // The PDF replaced has a second name, which keeps the older text; the book says so.
    Criar(Em("livro.pdf"), "antigo");
    std::filesystem::create_hard_link(Em("livro.pdf"), Em("copia.pdf"));

    const TDesfechoLivro d = FazerLivro(Pedido(Em("livro.pdf"), Em("livro.txt")), a, Etapas());
    ASSERT_EQ(d.Fim, TFimDoLivro::flGravado) << d.Mensagem;
    EXPECT_EQ(d.Mensagem, MensagemLivroGerado(2, 3, "00C0FFEE"));
    EXPECT_EQ((std::vector<int32_t>{d.Feitos, d.Total, d.Paginas}),
              (std::vector<int32_t>{2, 2, 3}));
    EXPECT_EQ(avisos, (std::vector<std::string>{"0/2 A preparar o livro...",
                                                "1/2 A gerar o puzzle 1 de 2 (nível 1)",
                                                "2/2 A gerar o puzzle 2 de 2 (nível 1)"}));
    EXPECT_EQ(paginasComecadas, 1);
    EXPECT_EQ(confirmacoes, 1);
    EXPECT_EQ(Ler(Em("livro.pdf")), "pagina pagina pagina ");
    EXPECT_EQ(Ler(Em("livro.txt")), "00C0FFEE");
    EXPECT_EQ(Ler(Em("copia.pdf")), "antigo");
    EXPECT_EQ(d.Avisos, std::vector<std::string>{AvisoOutrosNomes(Em("livro.pdf"), 1)});
    EXPECT_EQ(Conteudo(), (std::vector<std::string>{"copia.pdf", "livro.pdf", "livro.txt"}));
}

// However the book stops, the older files stay as they were and nothing is left beside them:
// a cancel, a stop between pages or at the very last moment, a failure of either file, memory
// that runs out, or the second file that cannot be put in place after the first could.
TEST_F(FazerLivroTeste, SemSucessoNadaMuda) {
    const struct {
        const char* Nome;
        bool Cancelar;
        int32_t PararNaPergunta; // the question of PararPaginas that says stop (0: none)
        bool FalharPdf;
        TFalhaOutro FalhaOutro;
        bool OutroNaoFicaNoLugar;
        TFimDoLivro Fim;
        std::string Mensagem;
    } casos[] = {
        {"cancelled", true, 0, false, TFalhaOutro::foNenhuma, false, TFimDoLivro::flCancelado,
         MensagemCancelada(1, 2)},
        {"stopped between pages", false, 2, false, TFalhaOutro::foNenhuma, false,
         TFimDoLivro::flCancelado, MensagemInterrompidoAoGravar()},
        {"stopped just before the files go in place", false, 4, false, TFalhaOutro::foNenhuma,
         false, TFimDoLivro::flCancelado, MensagemInterrompidoAoGravar()},
        {"the PDF fails", false, 0, true, TFalhaOutro::foNenhuma, false, TFimDoLivro::flFalhou,
         MensagemLivroFalhou("não há espaço livre no disco.")},
        {"the other file fails", false, 0, false, TFalhaOutro::foDisco, false,
         TFimDoLivro::flFalhou, "Disco cheio."},
        {"memory runs out", false, 0, false, TFalhaOutro::foMemoria, false, TFimDoLivro::flFalhou,
         MENSAGEM_SEM_MEMORIA},
        {"the other file cannot be put in place", false, 0, false, TFalhaOutro::foNenhuma, true,
         TFimDoLivro::flFalhou,
         "Não foi possível gravar " + Em("livro.txt") + ": o disco só permite leitura."},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Nome);
        Criar(Em("livro.pdf"), "antigo");
        Criar(Em("livro.txt"), "antigo");
        TAvisosLivro a;
        int32_t perguntas = 0;
        bool confirmado = false;
        a.Cancelar = [&] { return c.Cancelar; };
        a.PararPaginas = [&] { return ++perguntas == c.PararNaPergunta; };
        a.AntesDeConfirmar = [&] { confirmado = true; };
        TEtapasLivro etapas = Etapas(c.FalharPdf);
        if (c.OutroNaoFicaNoLugar) {
            etapas.Confirmar = [](std::span<TFicheiroAtomico* const> AFicheiros,
                                  const std::function<bool()>& APodeConfirmar) {
                return ConfirmarJuntos(
                    AFicheiros, APodeConfirmar, [](TPassoDaConfirmacao APasso, size_t AFicheiro) {
                        return APasso == TPassoDaConfirmacao::pcSubstituir && AFicheiro == 1 ? EROFS
                                                                                             : 0;
                    });
            };
        }
        const TDesfechoLivro d =
            FazerLivro(Pedido(Em("livro.pdf"), Em("livro.txt"), c.FalhaOutro), a, etapas);
        EXPECT_EQ(d.Fim, c.Fim);
        EXPECT_EQ(d.Mensagem, c.Mensagem);
        EXPECT_EQ(confirmado, c.OutroNaoFicaNoLugar) << "past the last question";
        EXPECT_EQ(Ler(Em("livro.pdf")), "antigo");
        EXPECT_EQ(Ler(Em("livro.txt")), "antigo");
        EXPECT_EQ(Conteudo(), (std::vector<std::string>{"livro.pdf", "livro.txt"}));
    }
}

// Memory runs out at each allocation in turn, from the opening of the files to the end of
// the book (generation aside: the book is made once, before): the book is written, or it
// fails with the memory message and both older files are left as they were, never one of
// each, and nothing is left beside them.
TEST_F(FazerLivroTeste, SemMemoriaEmCadaPassoNadaFicaAMeio) {
    TEtapasLivro etapas = Etapas();
    const TLivro livro = etapas.Gerar(UmPuzzle(), {});
    etapas.Gerar = [&livro](const TConfigLivro&, const TProgressoLivro&) { return livro; };
    const TPedidoLivro pedido = Pedido(Em("livro.pdf"), Em("livro.txt"));
    const TAvisosLivro semAvisos;
    uint64_t n = 1;
    for (;; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n));
        Criar(Em("livro.pdf"), "antigo");
        Criar(Em("livro.txt"), "antigo");
        teste::FalharAlocacao(n);
        const TDesfechoLivro d = FazerLivro(pedido, semAvisos, etapas);
        const bool falhou = teste::AlocacaoFalhou();
        teste::FalharAlocacao(0);
        if (d.Fim == TFimDoLivro::flGravado) {
            EXPECT_EQ(Ler(Em("livro.pdf")), "pagina pagina pagina ");
            EXPECT_EQ(Ler(Em("livro.txt")), "00C0FFEE");
        } else {
            EXPECT_EQ(d.Mensagem, MensagemLivroFalhou(MOTIVO_SEM_MEMORIA));
            EXPECT_EQ(Ler(Em("livro.pdf")), "antigo");
            EXPECT_EQ(Ler(Em("livro.txt")), "antigo");
        }
        EXPECT_EQ(Conteudo(), (std::vector<std::string>{"livro.pdf", "livro.txt"}));
        if (!falhou || HasFailure()) {
            break;
        }
    }
    EXPECT_GT(n, 1u) << "no allocation failed: the failing allocator is not in use";
}

// A PDF written straight through, to a FIFO, has already gone out when the book stops: the
// message says so instead of claiming that nothing was written.
TEST_F(FazerLivroTeste, ParteJaEscritaNumFluxo) {
    const std::string fifo = Em("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string lido;
    std::thread leitor([&] {
        const int d = ::open(fifo.c_str(), O_RDONLY);
        char bloco[256];
        ssize_t n = 0;
        while ((n = ::read(d, bloco, sizeof bloco)) > 0) {
            lido.append(bloco, static_cast<size_t>(n));
        }
        ::close(d);
    });
    TAvisosLivro a;
    int32_t perguntas = 0;
    a.PararPaginas = [&] { return ++perguntas == 2; };
    const TDesfechoLivro d = FazerLivro(Pedido(fifo, Em("livro.txt")), a, Etapas());
    leitor.join();
    EXPECT_EQ(d.Fim, TFimDoLivro::flCancelado);
    EXPECT_EQ(d.Mensagem, MensagemInterrompidoAoGravar() + NotaDeEscritaParcial({fifo}));
    EXPECT_EQ(lido, "pagina ");
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"fifo"});
}

// A target that cannot be written is reported before any puzzle is made.
TEST_F(FazerLivroTeste, DestinoImpossivelAntesDoTrabalho) {
    bool avisado = false;
    TAvisosLivro a;
    a.Progresso = [&](int32_t, int32_t, const std::string&) { avisado = true; };
    TEtapasLivro etapas = Etapas();
    etapas.Gerar = [](const TConfigLivro&, const TProgressoLivro&) -> TLivro {
        throw std::logic_error("the generator must not run");
    };
    const std::string outro = Em("nao-existe/livro.txt");
    const TDesfechoLivro d = FazerLivro(Pedido(Em("livro.pdf"), outro), a, etapas);
    EXPECT_EQ(d.Fim, TFimDoLivro::flFalhou);
    EXPECT_EQ(d.Mensagem, "Não foi possível gravar " + outro + ": a pasta não existe.");
    EXPECT_FALSE(avisado);
    EXPECT_TRUE(Conteudo().empty());
}

} // namespace
} // namespace tavrelo
