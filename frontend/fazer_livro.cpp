#include "frontend/fazer_livro.h"

#include "composition/livro_pdf.h"
#include "frontend/fios.h"
#include "frontend/receita.h"
#include "frontend/textos.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>

namespace tavrelo {

namespace {

// The files of one book, opened at once and put in place together.
class TFicheirosDoLivro {
  public:
    explicit TFicheirosDoLivro(const TPedidoLivro& APedido) {
        if (!APedido.CaminhoPdf.empty()) {
            FTodos.push_back(std::make_unique<TFicheiroAtomico>(APedido.CaminhoPdf));
            FPdf = FTodos.back().get();
        }
        for (const TFicheiroDoLivro& outro : APedido.Outros) {
            FTodos.push_back(std::make_unique<TFicheiroAtomico>(outro.Caminho));
        }
    }

    TFicheiroAtomico* Pdf() { return FPdf; }

    // Each piece passes the pause first, as a step of the book.
    void EscreverOutros(const TLivro& ALivro, const std::vector<TFicheiroDoLivro>& AOutros,
                        TPausa& APausa) {
        const size_t primeiro = FPdf != nullptr ? 1 : 0;
        for (size_t i = 0; i < AOutros.size(); ++i) {
            TFicheiroAtomico& ficheiro = *FTodos[primeiro + i];
            AOutros[i].Escrever(ALivro, [&ficheiro, &APausa](std::string_view ATexto) {
                APausa.Passar();
                ficheiro.Escrever(ATexto);
            });
        }
    }

    bool Confirmar(const TEtapasLivro& AEtapas, const std::function<bool()>& APodeConfirmar) {
        std::vector<TFicheiroAtomico*> todos;
        for (const auto& f : FTodos) {
            todos.push_back(f.get());
        }
        return AEtapas.Confirmar ? AEtapas.Confirmar(todos, APodeConfirmar)
                                 : ConfirmarJuntos(todos, APodeConfirmar);
    }

    // The streams that have already received part of the book.
    std::vector<std::string> FluxosEscritos() const {
        std::vector<std::string> r;
        for (const auto& f : FTodos) {
            if (f->Fluxo() && f->Escritos() > 0) {
                r.push_back(f->Caminho());
            }
        }
        return r;
    }

    std::vector<std::string> Onde() const {
        std::vector<std::string> r;
        for (const auto& f : FTodos) {
            r.push_back(f->Onde());
        }
        return r;
    }

    // Every file discarded now, and the temporary files a folder no longer let be removed,
    // named.
    std::string Descartar() {
        std::string r;
        for (const auto& f : FTodos) {
            f->Descartar();
            r += f->AvisoDoTemporario();
        }
        return r;
    }

    std::vector<std::string> Avisos() const {
        std::vector<std::string> r;
        for (const auto& f : FTodos) {
            if (f->OutrosNomes() > 0) {
                r.push_back(AvisoOutrosNomes(f->Caminho(), f->OutrosNomes()));
            }
        }
        return r;
    }

  private:
    std::vector<std::unique_ptr<TFicheiroAtomico>> FTodos;
    TFicheiroAtomico* FPdf = nullptr;
};

// A front end's call: it waits while the front end holds the pause (its user is being
// asked), and every other thread of the book holds at its next step while it runs.
template <typename TChamada> auto Chamar(TPausa& APausa, const TChamada& AChamada) {
    APausa.PassarESegurar();
    struct TSoltar {
        TPausa& Pausa;
        ~TSoltar() { Pausa.Soltar(); }
    } soltar{APausa};
    return AChamada();
}

bool Pedido(TPausa& APausa, const std::function<bool()>& APergunta) {
    return APergunta && Chamar(APausa, APergunta);
}

TFio IniciarFio(const TEtapasLivro& AEtapas, std::function<void()> ACorpo) {
    return AEtapas.IniciarFio ? AEtapas.IniciarFio(std::move(ACorpo))
                              : IniciarFioSemSinais(std::move(ACorpo));
}

// The PDF drawn on a thread of its own while the puzzles are made: the book's own writer
// draws each page as soon as its puzzles are committed; a replaced writer waits for the
// whole book. Until the puzzles are done, a page stops only when told to (Parar); after,
// the front end is asked before every page. The pages' thread running short of memory does
// not end the book: what it drew is thrown away with the memory it held, and the pages are
// drawn again, from the first, on the calling thread once the puzzles are done.
class TFioDasPaginas {
  public:
    TFioDasPaginas(TFicheiroAtomico& APdf, const TPedidoLivro& APedido, const TAvisosLivro& AAvisos,
                   const TEtapasLivro& AEtapas, TPausa& APausa)
        : FPdf(APdf), FAvisos(AAvisos), FEtapas(AEtapas), FPausa(APausa), FConfig(APedido.Config) {
        FPuzzles.reserve(static_cast<size_t>(std::max(APedido.Config.NumPuzzles, 0)));
        try {
            FFio = IniciarFio(AEtapas, [this] { Desenhar(true); });
        } catch (const std::system_error&) {
            // No thread to be had (a limit on threads, or on memory for its stack): the pages
            // are drawn on the calling thread once the puzzles are done, as on one core.
        } catch (const std::bad_alloc&) {
            // Nor memory to start one: the same.
        }
    }

    ~TFioDasPaginas() {
        Parar();
        FFio.Juntar();
    }

    TFioDasPaginas(const TFioDasPaginas&) = delete;
    TFioDasPaginas& operator=(const TFioDasPaginas&) = delete;

    // A puzzle committed, in book order.
    void Entregar(const TPuzzleDoLivro& APuzzle) {
        {
            std::lock_guard<std::mutex> l(FTrinco);
            if (FSemMemoria) {
                return; // the pages will be drawn from the whole book
            }
            FPuzzles.push_back(APuzzle);
        }
        FMudou.notify_all();
    }

    // The puzzles are done: ALivro (which outlives the pages) holds them all, and from now
    // on the front end is asked before every page.
    void ComecarPaginas(const TLivro& ALivro) {
        {
            std::lock_guard<std::mutex> l(FTrinco);
            FLivro = &ALivro;
            if (!FSemMemoria) {
                for (size_t p = FPuzzles.size(); p < ALivro.Puzzles.size(); ++p) {
                    FPuzzles.push_back(ALivro.Puzzles[p]);
                }
            }
        }
        FMudou.notify_all();
        if (!FFio.Iniciado()) {
            Desenhar(false); // no thread was had: the pages are drawn here, now
        }
    }

    // The pages stop before the next one, and a wait for a puzzle ends.
    void Parar() {
        {
            std::lock_guard<std::mutex> l(FTrinco);
            FParar = true;
        }
        FMudou.notify_all();
    }

    // Whether the pages have already failed: the puzzles need not go on.
    bool Falhou() const { return FFalhou.load(); }

    // Waits for the last page: their number, or what stopped them raised again. Pages whose
    // thread ran short of memory are drawn again here, from the first.
    int32_t Terminar() {
        FFio.Juntar();
        if (FSemMemoria && FLivro != nullptr) {
            Redesenhar();
        }
        if (FErro) {
            std::rethrow_exception(FErro);
        }
        return FPaginas;
    }

  private:
    // ANoFio: on the pages' own thread, whose want of memory is not the book's.
    void Desenhar(bool ANoFio) {
        try {
            const TPedidoDeParagem parar = [this] { return PararAntesDaPagina(); };
            if (FEtapas.GravarPdf) {
                const TLivro& livro = EsperarLivro();
                FPaginas = FEtapas.GravarPdf(FPdf, livro, CriarInfoLivro(), parar);
            } else {
                // The PDF carries its recipe, so that it alone is enough to make it again.
                FPaginas = GravarLivroPdf(
                    FPdf, LivroAChegar(FConfig), CriarInfoLivro(), parar,
                    [this](int32_t AIndice) { return Puzzle(AIndice); }, TextoDaReceita(FConfig));
            }
        } catch (const EGravacaoInterrompida&) {
            FErro = std::current_exception();
        } catch (const std::bad_alloc&) {
            if (ANoFio) {
                std::lock_guard<std::mutex> l(FTrinco);
                FSemMemoria = true;
                std::vector<TPuzzleDoLivro>().swap(FPuzzles);
            } else {
                FErro = std::current_exception();
                FFalhou = true;
            }
        } catch (...) {
            FErro = std::current_exception();
            FFalhou = true;
        }
    }

    // The pages from the first, on the calling thread, from the whole book, into the file
    // begun again; a stream that has already received part of them cannot be, and the book
    // ends for want of memory.
    void Redesenhar() {
        FSemMemoria = false;
        FDoLivro = true;
        if (!FPdf.Recomecar()) {
            throw std::bad_alloc();
        }
        Desenhar(false);
    }

    bool PararAntesDaPagina() {
        bool perguntar = false;
        {
            std::lock_guard<std::mutex> l(FTrinco);
            if (FParar) {
                return true;
            }
            perguntar = FLivro != nullptr;
        }
        if (perguntar) {
            return Pedido(FPausa, FAvisos.PararPaginas);
        }
        FPausa.Passar();
        std::lock_guard<std::mutex> l(FTrinco);
        return FParar;
    }

    TPuzzleDoLivro Puzzle(int32_t AIndice) {
        if (FDoLivro) {
            return FLivro->Puzzles[static_cast<size_t>(AIndice)];
        }
        std::unique_lock<std::mutex> l(FTrinco);
        FMudou.wait(l, [&] { return FParar || static_cast<int32_t>(FPuzzles.size()) > AIndice; });
        if (FParar) {
            throw EGravacaoInterrompida();
        }
        return std::move(FPuzzles[static_cast<size_t>(AIndice)]); // each is taken once
    }

    const TLivro& EsperarLivro() {
        std::unique_lock<std::mutex> l(FTrinco);
        FMudou.wait(l, [&] { return FParar || FLivro != nullptr; });
        if (FParar) {
            throw EGravacaoInterrompida();
        }
        return *FLivro;
    }

    TFicheiroAtomico& FPdf;
    const TAvisosLivro& FAvisos;
    const TEtapasLivro& FEtapas;
    TPausa& FPausa;
    const TConfigLivro FConfig;

    std::mutex FTrinco;
    std::condition_variable FMudou;
    std::vector<TPuzzleDoLivro> FPuzzles;
    const TLivro* FLivro = nullptr; // the whole book, once its puzzles are done
    bool FParar = false;
    bool FSemMemoria = false; // the pages' thread ran short: its pages are drawn again
    bool FDoLivro = false;    // the pages drawn again take their puzzles from FLivro

    std::atomic<bool> FFalhou{false};
    std::exception_ptr FErro; // read after the thread is joined
    int32_t FPaginas = 0;
    TFio FFio; // last: the thread starts once everything it uses is in place
};

// The puzzles: the replaced generator, or the book's own on its threads, each puzzle handed
// to the pages as it is committed.
TLivro GerarPuzzles(const TPedidoLivro& APedido, const TEtapasLivro& AEtapas, TPausa& APausa,
                    TFioDasPaginas* APaginas, const TProgressoLivro& AProgresso) {
    if (AEtapas.Gerar) {
        return AEtapas.Gerar(APedido.Config, AProgresso);
    }
    TParalelo paralelo;
    paralelo.Trabalhadores =
        AEtapas.Trabalhadores > 0 ? AEtapas.Trabalhadores : TrabalhadoresDoLivro();
    paralelo.IniciarFio = [&AEtapas](std::function<void()> ACorpo) {
        return IniciarFio(AEtapas, std::move(ACorpo));
    };
    paralelo.Pausa = &APausa;
    if (APaginas != nullptr) {
        paralelo.AoConfirmar = [APaginas](const TPuzzleDoLivro& APuzzle) {
            APaginas->Entregar(APuzzle);
        };
    }
    return TGeradorLivro().Gerar(APedido.Config, AProgresso, paralelo);
}

// One book, from its request to its outcome, step by step. Each step returns false when the
// book ends there, with its outcome told in the Desfecho.
class TFeituraDoLivro {
  public:
    TFeituraDoLivro(const TPedidoLivro& APedido, const TAvisosLivro& AAvisos,
                    const TEtapasLivro& AEtapas)
        : FPedido(APedido), FAvisos(AAvisos), FEtapas(AEtapas),
          FPausa(AEtapas.Pausa != nullptr ? *AEtapas.Pausa : FPausaPropria) {
        FDesfecho.Total = APedido.Config.NumPuzzles;
        FDesfecho.Codigo = CodigoDoLivro(APedido.Config.Semente);
    }

    TDesfechoLivro Fazer() {
        if (AbrirFicheiros() && FazerPuzzlesEPaginas() && AcabarFicheiros() && PorNoLugar()) {
            FDesfecho.Fim = TFimDoLivro::flGravado;
            FDesfecho.Mensagem = std::move(FGravado);
            FDesfecho.Avisos = std::move(FAvisosDoLivro);
            try {
                FDesfecho.Caminhos = FFicheiros->Onde();
            } catch (const std::bad_alloc&) {
                FDesfecho.Caminhos.clear(); // the front end names the paths it was given
            }
        }
        return std::move(FDesfecho);
    }

  private:
    // The files are opened before the long work, so a folder that cannot be written is
    // reported at once, in the writer's own words.
    bool AbrirFicheiros() {
        try {
            FFicheiros = std::make_unique<TFicheirosDoLivro>(FPedido);
            return true;
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            FDesfecho.Mensagem = e.what();
            return false;
        }
    }

    // The puzzles, each handed to the PDF's thread as it is committed, so that its pages are
    // drawn meanwhile.
    bool FazerPuzzlesEPaginas() {
        try {
            if (FAvisos.Progresso) {
                Chamar(FPausa, [&] { FAvisos.Progresso(0, FDesfecho.Total, TEXTO_A_PREPARAR); });
            }
            if (TFicheiroAtomico* pdf = FFicheiros->Pdf()) {
                FPaginas =
                    std::make_unique<TFioDasPaginas>(*pdf, FPedido, FAvisos, FEtapas, FPausa);
            }
            FLivro = GerarPuzzles(
                FPedido, FEtapas, FPausa, FPaginas.get(),
                [this](int32_t AFeitos, int32_t ATotal, const std::string& ATexto,
                       bool& ACancelar) { AoPuzzle(AFeitos, ATotal, ATexto, ACancelar); });
            FDesfecho.Feitos = static_cast<int32_t>(FLivro.Puzzles.size());
            if (FPaginas && FPaginas->Falhou()) {
                FPaginas->Terminar(); // raises the pages' failure
            }
            // A cancel asked for during the last puzzle still counts.
            if (FLivro.Cancelado || Pedido(FPausa, FAvisos.Cancelar)) {
                FPaginas.reset();
                FDesfecho.Fim = TFimDoLivro::flCancelado;
                FDesfecho.Mensagem =
                    MensagemCancelada(FDesfecho.Feitos, FDesfecho.Total) + FFicheiros->Descartar();
                return false;
            }
            if (FAvisos.InicioDasPaginas) {
                Chamar(FPausa, FAvisos.InicioDasPaginas);
            }
            if (FPaginas) {
                FPaginas->ComecarPaginas(FLivro);
            }
            return true;
        } catch (const EGravacaoInterrompida&) {
            return Interrompido();
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            return Falhou(MensagemLivroFalhou(e.what()));
        }
    }

    // Pages that failed stop the puzzles; their failure is told.
    void AoPuzzle(int32_t AFeitos, int32_t ATotal, const std::string& ATexto, bool& ACancelar) {
        ACancelar = Pedido(FPausa, FAvisos.Cancelar) || (FPaginas && FPaginas->Falhou());
        if (!ACancelar && FAvisos.Progresso) {
            Chamar(FPausa, [&] { FAvisos.Progresso(AFeitos, ATotal, ATexto); });
        }
    }

    // The other files are written while the last pages are drawn; the PDF's own outcome is
    // told first, as the PDF comes first.
    bool AcabarFicheiros() {
        try {
            FFicheiros->EscreverOutros(FLivro, FPedido.Outros, FPausa);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception&) {
            FErroDosOutros = std::current_exception();
            if (FPaginas) {
                FPaginas->Parar();
            }
        }
        if (!FPaginas) {
            return true;
        }
        try {
            FDesfecho.Paginas = FPaginas->Terminar();
            return true;
        } catch (const EGravacaoInterrompida&) {
            return FErroDosOutros ? true : Interrompido();
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            return Falhou(MensagemLivroFalhou(e.what()));
        }
    }

    // Every file of the book is complete before any is put in place, and a stop asked for
    // until the very last moment wins. What a written book says is made first: once its files
    // are in place, running out of memory must not turn it into a failure.
    bool PorNoLugar() {
        try {
            if (FErroDosOutros) {
                std::rethrow_exception(FErroDosOutros);
            }
            FGravado =
                FFicheiros->Pdf() != nullptr
                    ? MensagemLivroGerado(FDesfecho.Feitos, FDesfecho.Paginas, FDesfecho.Codigo)
                    : MensagemLivroGerado(FDesfecho.Feitos, FDesfecho.Codigo);
            FAvisosDoLivro = FFicheiros->Avisos();
            if (!FFicheiros->Confirmar(FEtapas, [this] { return PodeConfirmar(); })) {
                return Interrompido();
            }
            return true;
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            return Falhou(e.what());
        }
    }

    bool PodeConfirmar() {
        if (Pedido(FPausa, FAvisos.PararPaginas)) {
            return false;
        }
        if (FAvisos.AntesDeConfirmar) {
            Chamar(FPausa, FAvisos.AntesDeConfirmar);
        }
        return true;
    }

    // The PDF's thread is stopped before the files are looked at.
    bool Falhou(const std::string& AMensagem) {
        FPaginas.reset();
        FDesfecho.Fim = TFimDoLivro::flFalhou;
        FDesfecho.Mensagem = AMensagem + FFicheiros->Descartar() +
                             NotaDeEscritaParcial(FFicheiros->FluxosEscritos());
        return false;
    }

    bool Interrompido() {
        FPaginas.reset();
        FDesfecho.Fim = TFimDoLivro::flCancelado;
        FDesfecho.Mensagem = MensagemInterrompidoAoGravar() + FFicheiros->Descartar() +
                             NotaDeEscritaParcial(FFicheiros->FluxosEscritos());
        return false;
    }

    const TPedidoLivro& FPedido;
    const TAvisosLivro& FAvisos;
    const TEtapasLivro& FEtapas;
    TPausa FPausaPropria;
    TPausa& FPausa;
    TDesfechoLivro FDesfecho;
    std::string FGravado;
    std::vector<std::string> FAvisosDoLivro;
    std::exception_ptr FErroDosOutros;
    std::unique_ptr<TFicheirosDoLivro> FFicheiros;
    TLivro FLivro;
    // Last, so that it is gone first: the PDF's thread reads the book and its file.
    std::unique_ptr<TFioDasPaginas> FPaginas;
};

} // namespace

TEtapasLivro EtapasDoLivro() {
    return {};
}

TDesfechoLivro FazerLivro(const TPedidoLivro& APedido, const TAvisosLivro& AAvisos,
                          const TEtapasLivro& AEtapas) {
    try {
        return TFeituraDoLivro(APedido, AAvisos, AEtapas).Fazer();
    } catch (const std::bad_alloc&) {
        // Everything the book held is free again by now: its files are discarded and the
        // line below has room. A stream may have received part of it.
        TDesfechoLivro d;
        d.Total = APedido.Config.NumPuzzles;
        d.Mensagem = MensagemLivroFalhou(MOTIVO_SEM_MEMORIA);
        return d;
    }
}

} // namespace tavrelo
