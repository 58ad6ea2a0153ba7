#include "frontend/fazer_livro.h"

#include "composition/livro_pdf.h"
#include "frontend/textos.h"

#include <cstdio>
#include <memory>
#include <new>

namespace tavrelo {

namespace {

// The standard output, as one more file of the book.
constexpr const char* FALHA_NA_SAIDA_PADRAO = "Não foi possível escrever o livro na saída padrão.";

void EscreverNaSaidaPadrao(std::string_view ATexto) {
    if (std::fwrite(ATexto.data(), 1, ATexto.size(), stdout) != ATexto.size()) {
        throw EVelt(FALHA_NA_SAIDA_PADRAO);
    }
}

void DespejarSaidaPadrao() {
    if (std::fflush(stdout) != 0) {
        throw EVelt(FALHA_NA_SAIDA_PADRAO);
    }
}

// The files of one book, opened at once and put in place together.
class TFicheirosDoLivro {
  public:
    explicit TFicheirosDoLivro(const TPedidoLivro& APedido) : FPedido(APedido) {
        if (!APedido.CaminhoPdf.empty()) {
            FPdf = std::make_unique<TFicheiroAtomico>(APedido.CaminhoPdf);
        }
        for (const TFicheiroDoLivro& outro : APedido.Outros) {
            FOutros.push_back(
                outro.Caminho == "-" ? nullptr : std::make_unique<TFicheiroAtomico>(outro.Caminho));
        }
    }

    TFicheiroAtomico* Pdf() { return FPdf.get(); }

    void EscreverOutros(const TLivro& ALivro) {
        for (size_t i = 0; i < FOutros.size(); ++i) {
            TFicheiroAtomico* ficheiro = FOutros[i].get();
            FPedido.Outros[i].Escrever(ALivro, [ficheiro](std::string_view ATexto) {
                if (ficheiro != nullptr) {
                    ficheiro->Escrever(ATexto);
                } else {
                    EscreverNaSaidaPadrao(ATexto);
                }
            });
            if (ficheiro == nullptr) {
                DespejarSaidaPadrao();
            }
        }
    }

    void Confirmar() {
        if (FPdf) {
            FPdf->Confirmar();
        }
        for (const auto& ficheiro : FOutros) {
            if (ficheiro) {
                ficheiro->Confirmar();
            }
        }
    }

  private:
    const TPedidoLivro& FPedido;
    std::unique_ptr<TFicheiroAtomico> FPdf;
    std::vector<std::unique_ptr<TFicheiroAtomico>> FOutros;
};

bool Pedido(const std::function<bool()>& APergunta) {
    return APergunta && APergunta();
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
    };
}

TDesfechoLivro FazerLivro(const TPedidoLivro& APedido, const TAvisosLivro& AAvisos,
                          const TEtapasLivro& AEtapas) {
    TDesfechoLivro d;
    d.Total = APedido.Config.NumPuzzles;
    d.Codigo = CodigoDoLivro(APedido.Config.Semente);
    const auto falhou = [&d](const std::string& AMensagem) {
        d.Fim = TFimDoLivro::flFalhou;
        d.Mensagem = AMensagem;
        return d;
    };
    const auto cancelado = [&d] {
        d.Fim = TFimDoLivro::flCancelado;
        d.Mensagem = MensagemCancelada(d.Feitos, d.Total);
        return d;
    };

    // The files are opened before the long work, so a folder that cannot be written is
    // reported at once, in the writer's own words.
    std::unique_ptr<TFicheirosDoLivro> ficheiros;
    try {
        ficheiros = std::make_unique<TFicheirosDoLivro>(APedido);
    } catch (const std::bad_alloc&) {
        return falhou(MensagemLivroFalhou(MOTIVO_SEM_MEMORIA));
    } catch (const std::exception& e) {
        return falhou(e.what());
    }

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
            return cancelado();
        }
        if (AAvisos.InicioDasPaginas) {
            AAvisos.InicioDasPaginas();
        }
        if (TFicheiroAtomico* pdf = ficheiros->Pdf()) {
            d.Paginas = AEtapas.GravarPdf(*pdf, livro, CriarInfoLivro(),
                                          [&] { return Pedido(AAvisos.PararPaginas); });
        }
    } catch (const EGravacaoInterrompida&) {
        return cancelado();
    } catch (const std::bad_alloc&) {
        return falhou(MensagemLivroFalhou(MOTIVO_SEM_MEMORIA));
    } catch (const std::exception& e) {
        return falhou(MensagemLivroFalhou(e.what()));
    }

    // Every file of the book is complete before any is put in place.
    try {
        ficheiros->EscreverOutros(livro);
        if (Pedido(AAvisos.PararPaginas)) {
            return cancelado();
        }
        ficheiros->Confirmar();
    } catch (const std::bad_alloc&) {
        return falhou(MensagemLivroFalhou(MOTIVO_SEM_MEMORIA));
    } catch (const std::exception& e) {
        return falhou(e.what());
    }
    d.Fim = TFimDoLivro::flGravado;
    d.Mensagem = ficheiros->Pdf() != nullptr ? MensagemLivroGerado(d.Feitos, d.Paginas, d.Codigo)
                                             : MensagemLivroGerado(d.Feitos, d.Codigo);
    return d;
}

} // namespace tavrelo
