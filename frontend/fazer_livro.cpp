#include "frontend/fazer_livro.h"

#include "composition/livro_pdf.h"
#include "frontend/textos.h"

#include <memory>
#include <new>

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

    void EscreverOutros(const TLivro& ALivro, const std::vector<TFicheiroDoLivro>& AOutros) {
        const size_t primeiro = FPdf != nullptr ? 1 : 0;
        for (size_t i = 0; i < AOutros.size(); ++i) {
            TFicheiroAtomico& ficheiro = *FTodos[primeiro + i];
            AOutros[i].Escrever(
                ALivro, [&ficheiro](std::string_view ATexto) { ficheiro.Escrever(ATexto); });
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

bool Pedido(const std::function<bool()>& APergunta) {
    return APergunta && APergunta();
}

TDesfechoLivro Fazer(const TPedidoLivro& APedido, const TAvisosLivro& AAvisos,
                     const TEtapasLivro& AEtapas) {
    TDesfechoLivro d;
    d.Total = APedido.Config.NumPuzzles;
    d.Codigo = CodigoDoLivro(APedido.Config.Semente);

    // The files are opened before the long work, so a folder that cannot be written is
    // reported at once, in the writer's own words.
    std::unique_ptr<TFicheirosDoLivro> ficheiros;
    try {
        ficheiros = std::make_unique<TFicheirosDoLivro>(APedido);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        d.Mensagem = e.what();
        return d;
    }
    const auto falhou = [&](const std::string& AMensagem) {
        d.Fim = TFimDoLivro::flFalhou;
        d.Mensagem = AMensagem + NotaDeEscritaParcial(ficheiros->FluxosEscritos());
        return d;
    };
    const auto interrompido = [&] {
        d.Fim = TFimDoLivro::flCancelado;
        d.Mensagem =
            MensagemInterrompidoAoGravar() + NotaDeEscritaParcial(ficheiros->FluxosEscritos());
        return d;
    };

    TLivro livro;
    try {
        if (AAvisos.Progresso) {
            AAvisos.Progresso(0, d.Total, TEXTO_A_PREPARAR);
        }
        livro = AEtapas.Gerar(APedido.Config, [&](int32_t AFeitos, int32_t ATotal,
                                                  const std::string& ATexto, bool& ACancelar) {
            ACancelar = Pedido(AAvisos.Cancelar);
            if (!ACancelar && AAvisos.Progresso) {
                AAvisos.Progresso(AFeitos, ATotal, ATexto);
            }
        });
        d.Feitos = static_cast<int32_t>(livro.Puzzles.size());
        // A cancel asked for during the last puzzle still counts.
        if (livro.Cancelado || Pedido(AAvisos.Cancelar)) {
            d.Fim = TFimDoLivro::flCancelado;
            d.Mensagem = MensagemCancelada(d.Feitos, d.Total);
            return d;
        }
        if (AAvisos.InicioDasPaginas) {
            AAvisos.InicioDasPaginas();
        }
        if (TFicheiroAtomico* pdf = ficheiros->Pdf()) {
            d.Paginas = AEtapas.GravarPdf(*pdf, livro, CriarInfoLivro(),
                                          [&] { return Pedido(AAvisos.PararPaginas); });
        }
    } catch (const EGravacaoInterrompida&) {
        return interrompido();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        return falhou(MensagemLivroFalhou(e.what()));
    }

    // Every file of the book is complete before any is put in place, and a stop asked for
    // until the very last moment wins. What a written book says is made first: once its files
    // are in place, running out of memory must not turn it into a failure.
    std::string gravado;
    std::vector<std::string> avisos;
    try {
        ficheiros->EscreverOutros(livro, APedido.Outros);
        gravado = ficheiros->Pdf() != nullptr ? MensagemLivroGerado(d.Feitos, d.Paginas, d.Codigo)
                                              : MensagemLivroGerado(d.Feitos, d.Codigo);
        avisos = ficheiros->Avisos();
        const bool confirmado = ficheiros->Confirmar(AEtapas, [&] {
            if (Pedido(AAvisos.PararPaginas)) {
                return false;
            }
            if (AAvisos.AntesDeConfirmar) {
                AAvisos.AntesDeConfirmar();
            }
            return true;
        });
        if (!confirmado) {
            return interrompido();
        }
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        return falhou(e.what());
    }
    d.Fim = TFimDoLivro::flGravado;
    d.Mensagem = std::move(gravado);
    d.Avisos = std::move(avisos);
    return d;
}

} // namespace

TEtapasLivro EtapasDoLivro() {
    return {
        [](const TConfigLivro& AConfig, const TProgressoLivro& AProgresso) {
            return TGeradorLivro().Gerar(AConfig, AProgresso);
        },
        [](TFicheiroAtomico& AFicheiro, const TLivro& ALivro, const TInfoLivro& AInfo,
           const TPedidoDeParagem& AParar) {
            return GravarLivroPdf(AFicheiro, ALivro, AInfo, AParar);
        },
        {},
    };
}

TDesfechoLivro FazerLivro(const TPedidoLivro& APedido, const TAvisosLivro& AAvisos,
                          const TEtapasLivro& AEtapas) {
    try {
        return Fazer(APedido, AAvisos, AEtapas);
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
