#include "composition/livro_pdf.h"

#include "core/tipos.h"

namespace tavrelo {

namespace {

// The book's title, when it has one, is the document's subject.
TMetadadosPdf MetadadosDoLivro(const TLivro& ALivro, const TInfoLivro& AInfo,
                               const std::string& APalavrasChave = {}) {
    return TMetadadosPdf{.Assunto = SemBrancos(ALivro.Config.Titulo),
                         .PalavrasChave = APalavrasChave,
                         .CriadoEm = AInfo.CriadoEm};
}

} // namespace

int32_t GravarLivroPdf(TFicheiroAtomico& AFicheiro, const TLivro& ALivro, const TInfoLivro& AInfo,
                       const TPedidoDeParagem& AParar, const TPuzzleAChegar& AChegar,
                       const std::string& APalavrasChave) {
    TCompositorLivro compositor(ALivro, AInfo);
    return GravarPaginasPdf(
        AFicheiro, [&](IDestinoPaginas& ADestino) { compositor.Compor(ADestino, AChegar); },
        MetadadosDoLivro(ALivro, AInfo, APalavrasChave), AParar);
}

void GravarLivroPdf(const std::string& ANomeFicheiro, const TLivro& ALivro,
                    const TInfoLivro& AInfo) {
    TCompositorLivro compositor(ALivro, AInfo);
    GravarPaginasPdf(
        ANomeFicheiro, [&](IDestinoPaginas& ADestino) { compositor.Compor(ADestino); },
        MetadadosDoLivro(ALivro, AInfo));
}

} // namespace tavrelo
