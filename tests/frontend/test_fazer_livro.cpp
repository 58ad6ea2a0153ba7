#include "frontend/fazer_livro.h"

#include "frontend/fios.h"
#include "frontend/textos.h"

#include "../data_fixa.h"
#include "../falhar_alocacao.h"
#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tavrelo {
namespace {

class FazerLivroTeste : public teste::TPastaTemporaria {
  protected:
    // An older PDF and other file, which a book that does not succeed leaves as they are.
    void CriarAntigos() {
        Criar(Em("livro.pdf"), "antigo");
        Criar(Em("livro.txt"), "antigo");
    }
    void EsperarAntigos() {
        EXPECT_EQ(Ler(Em("livro.pdf")), "antigo");
        EXPECT_EQ(Ler(Em("livro.txt")), "antigo");
        EXPECT_EQ(Conteudo(), (std::vector<std::string>{"livro.pdf", "livro.txt"}));
    }
};

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
    EXPECT_EQ(avisos, (std::vector<std::string>{"0/2 A preparar o livro…",
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
        CriarAntigos();
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
        EsperarAntigos();
    }
}

// Memory runs out at each allocation in turn, from the opening of the files to the end of
// the book (generation aside: the book is made once, before): the book is written, or it
// fails with the memory message and both older files are left as they were, never one of
// each, and nothing is left beside them.
TEST_F(FazerLivroTeste, SemMemoriaEmCadaPassoNadaFicaAMeio) {
    TEtapasLivro etapas = Etapas();
    const TLivro livro = TGeradorLivro().Gerar(UmPuzzle(), {});
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

// The book's own steps, its puzzles made on three threads and its PDF drawn as they come.
TEtapasLivro EtapasProprias(TPausa* APausa = nullptr) {
    TEtapasLivro etapas = EtapasDoLivro();
    etapas.Trabalhadores = 3;
    etapas.Pausa = APausa;
    return etapas;
}

TPedidoLivro PedidoDoLivro(const std::string& APdf, const std::string& AOutro, int32_t APuzzles) {
    TPedidoLivro pedido = Pedido(APdf, AOutro);
    pedido.Config.N = 12;
    pedido.Config.Nivel = 3;
    pedido.Config.NumPuzzles = APuzzles;
    return pedido;
}

// With the pages drawn while the puzzles are made, a book that stops still changes no file:
// a cancel among the puzzles, a stop among the last pages, the other file failing meanwhile.
// So too when the system gives no thread and the calling one does everything.
TEST_F(FazerLivroTeste, ComOsFiosDoLivroSemSucessoNadaMuda) {
    const struct {
        const char* Nome;
        int32_t CancelarNoPuzzle; // 0: never
        int32_t PararNaPergunta;  // 0: never
        TFalhaOutro FalhaOutro;
        TFimDoLivro Fim;
        std::string Mensagem;
    } casos[] = {
        {"cancelled", 2, 0, TFalhaOutro::foNenhuma, TFimDoLivro::flCancelado,
         MensagemCancelada(2, 6)},
        {"stopped among the pages", 0, 1, TFalhaOutro::foNenhuma, TFimDoLivro::flCancelado,
         MensagemInterrompidoAoGravar()},
        {"the other file fails", 0, 0, TFalhaOutro::foDisco, TFimDoLivro::flFalhou, "Disco cheio."},
    };
    TEtapasLivro semFios = EtapasProprias();
    semFios.IniciarFio = [](const std::function<void()>&) -> TFio {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    for (const auto& c : casos) {
        for (const TEtapasLivro& etapas : {EtapasProprias(), semFios}) {
            SCOPED_TRACE(std::string(c.Nome) + (etapas.IniciarFio ? ", no thread" : ""));
            CriarAntigos();
            TAvisosLivro a;
            int32_t perguntas = 0;
            int32_t feitos = 0;
            a.Progresso = [&](int32_t AFeitos, int32_t, const std::string&) { feitos = AFeitos; };
            a.Cancelar = [&] { return feitos + 1 == c.CancelarNoPuzzle; };
            a.PararPaginas = [&] { return ++perguntas == c.PararNaPergunta; };
            TPedidoLivro pedido = PedidoDoLivro(Em("livro.pdf"), Em("livro.txt"), 6);
            pedido.Outros = Pedido(Em("livro.pdf"), Em("livro.txt"), c.FalhaOutro).Outros;
            const TDesfechoLivro d = FazerLivro(pedido, a, etapas);
            EXPECT_EQ(d.Fim, c.Fim);
            EXPECT_EQ(d.Mensagem, c.Mensagem);
            EsperarAntigos();
        }
    }
}

// While a front end's call runs (a question to its user, say), no other thread of the book
// begins a step: neither the helpers among the puzzles, nor the pages while the puzzles are
// made, nor the other file while the last pages are drawn.
TEST_F(FazerLivroTeste, UmaChamadaSeguraTodosOsFios) {
    TPausa pausa;
    std::vector<std::pair<int64_t, int64_t>> passagens;
    const auto esperar = [&] {
        const int64_t antes = pausa.Passagens();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        passagens.emplace_back(antes, pausa.Passagens());
    };
    TAvisosLivro a;
    int32_t cancelar = 0;
    int32_t parar = 0;
    a.Cancelar = [&] {
        if (++cancelar == 2) {
            esperar();
        }
        return false;
    };
    a.PararPaginas = [&] {
        if (++parar == 1) {
            esperar();
        }
        return false;
    };
    // The other file is written a puzzle at a time, slowly enough to be still at it when
    // the pages ask their first question.
    TPedidoLivro pedido = PedidoDoLivro(Em("livro.pdf"), Em("livro.txt"), 8);
    pedido.Outros[0].Escrever = [](const TLivro& ALivro, const auto& AEscrever) {
        for (const TPuzzleDoLivro& p : ALivro.Puzzles) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            AEscrever(std::to_string(p.Posicao));
        }
    };
    const TDesfechoLivro d = FazerLivro(pedido, a, EtapasProprias(&pausa));
    ASSERT_EQ(d.Fim, TFimDoLivro::flGravado) << d.Mensagem;
    ASSERT_EQ(passagens.size(), 2u);
    for (const auto& [antes, depois] : passagens) {
        EXPECT_EQ(antes, depois);
    }
    EXPECT_GT(pausa.Passagens(), 0) << "the book's threads pass the pause";
}

// The threads of a real book a test makes run short of memory: the calling thread, which
// marks itself, then those the book starts, marked in the order it starts them (the pages'
// thread first, then the helpers).
enum TFioDoLivro : int32_t { fdChamador = 1, fdPaginas, fdAjudante, fdOutroAjudante };

TIniciarFio IniciarFiosMarcados() {
    auto iniciados = std::make_shared<std::atomic<int32_t>>(fdChamador);
    return [iniciados](std::function<void()> ACorpo) {
        const int32_t fio = ++*iniciados;
        return IniciarFioSemSinais([fio, ACorpo = std::move(ACorpo)] {
            teste::MarcarFio(fio);
            ACorpo();
        });
    };
}

// Which allocations of a thread are made to fail, in turn: every one with
// TAVRELO_ALOCACOES=todas (scripts/varrer-alocacoes.sh, by hand); else the first ones and then
// ever more sparsely, which keeps the test to a minute under AddressSanitizer; fewer still
// with TAVRELO_ALOCACOES=poucas, and under ThreadSanitizer, which is slower.
uint64_t ProximaAlocacao(uint64_t AEnesima) {
#if defined(__SANITIZE_THREAD__)
    constexpr const char* QUANTAS = "poucas";
#else
    constexpr const char* QUANTAS = "";
#endif
    const char* v = std::getenv("TAVRELO_ALOCACOES");
    const std::string_view quantas = v != nullptr ? v : QUANTAS;
    if (quantas == "todas") {
        return AEnesima + 1;
    }
    if (quantas == "poucas") {
        return AEnesima < 3 ? AEnesima + 1 : AEnesima * 8;
    }
    return AEnesima < 16 ? AEnesima + 1 : AEnesima + AEnesima / 4;
}

// Memory runs out at one allocation of one thread of a real book (the real generator on three
// threads, the real PDF writer on a fourth, and a second file), at each allocation of that
// thread in turn, up to as many as it made in the books made first without a failure. A
// helper or the pages' thread that runs short never ends the book: it is written, the same
// book byte for byte. The calling thread that runs short ends it with the memory message, or
// the book goes on without the helpers and is the same book. Nothing else: the older files
// as they were, or both new, and nothing left beside them.
TEST_F(FazerLivroTeste, SemMemoriaEmCadaFioDoLivro) {
    const teste::TDataFixa dataFixa;
    const TPedidoLivro pedido = PedidoDoLivro(Em("livro.pdf"), Em("livro.txt"), 6);
    const auto etapas = [] {
        TEtapasLivro e = EtapasDoLivro();
        e.Trabalhadores = 3;
        e.IniciarFio = IniciarFiosMarcados();
        return e;
    };
    const std::vector<TFioDoLivro> fios{fdChamador, fdPaginas, fdAjudante, fdOutroAjudante};
    const TAvisosLivro semAvisos;
    // Who makes which puzzle changes from book to book: each thread's allocations are counted
    // in a few books, and the most it made is how far its failures go.
    std::map<int32_t, uint64_t> alocacoes;
    teste::MarcarFio(fdChamador);
    for (int32_t i = 0; i < 3; ++i) {
        const TEtapasLivro destaVez = etapas();
        teste::FalharAlocacao(0);
        ASSERT_EQ(FazerLivro(pedido, semAvisos, destaVez).Fim, TFimDoLivro::flGravado);
        for (const TFioDoLivro fio : fios) {
            alocacoes[fio] = std::max(alocacoes[fio], teste::Alocacoes(fio));
        }
    }
    const std::string pdf = Ler(Em("livro.pdf"));
    const std::string outro = Ler(Em("livro.txt"));
    ASSERT_NE(pdf.find("%%EOF"), std::string::npos);

    for (const TFioDoLivro fio : fios) {
        EXPECT_GT(alocacoes[fio], 100u) << "thread " << fio << " did its share of the book";
        int32_t gravados = 0;
        int32_t semMemoria = 0;
        int32_t tentativas = 0;
        for (uint64_t n = 1; n <= alocacoes[fio] && !HasFailure(); n = ProximaAlocacao(n)) {
            SCOPED_TRACE("thread " + std::to_string(fio) + ", allocation " + std::to_string(n));
            CriarAntigos();
            const TEtapasLivro destaVez = etapas();
            teste::FalharAlocacaoNoFio(n, fio);
            const TDesfechoLivro d = FazerLivro(pedido, semAvisos, destaVez);
            teste::FalharAlocacao(0);
            ++tentativas;
            if (d.Fim == TFimDoLivro::flGravado) {
                ++gravados;
                EXPECT_TRUE(Ler(Em("livro.pdf")) == pdf) << "the same book";
                EXPECT_EQ(Ler(Em("livro.txt")), outro);
                EXPECT_EQ(Conteudo(), (std::vector<std::string>{"livro.pdf", "livro.txt"}));
            } else {
                ++semMemoria;
                EXPECT_EQ(fio, fdChamador) << "only the calling thread's want ends the book";
                EXPECT_EQ(d.Mensagem, MensagemLivroFalhou(MOTIVO_SEM_MEMORIA));
                EsperarAntigos();
            }
        }
        std::printf("[ memória  ] fio %d (%" PRIu64 " alocações): %d livros, %d gravados, %d "
                    "sem memória\n",
                    static_cast<int>(fio), alocacoes[fio], tentativas, gravados, semMemoria);
    }
    teste::MarcarFio(0);
}

TEST(Trabalhadores, PedidosNoAmbienteOuOsProcessadores) {
    const char* antes = std::getenv("TAVRELO_TRABALHADORES");
    const std::string guardado = antes != nullptr ? antes : "";
    ::unsetenv("TAVRELO_TRABALHADORES");
    const int32_t proprios = TrabalhadoresDoLivro();
    EXPECT_GE(proprios, 1);
    EXPECT_LE(proprios, MAX_TRABALHADORES);
    const std::pair<const char*, int32_t> casos[] = {
        {"1", 1},        {"3", 3},       {"4", 4},         {"5", proprios},
        {"0", proprios}, {"", proprios}, {"2x", proprios}, {"-1", proprios},
    };
    for (const auto& [texto, esperado] : casos) {
        ::setenv("TAVRELO_TRABALHADORES", texto, 1);
        EXPECT_EQ(TrabalhadoresDoLivro(), esperado) << texto;
    }
    if (antes != nullptr) {
        ::setenv("TAVRELO_TRABALHADORES", guardado.c_str(), 1);
    } else {
        ::unsetenv("TAVRELO_TRABALHADORES");
    }
}

} // namespace
} // namespace tavrelo
