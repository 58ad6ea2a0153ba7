#include "composition/livro_pdf.h"

namespace tavrelo {

int32_t GravarLivroPdf(TFicheiroAtomico& AFicheiro, const TLivro& ALivro, const TInfoLivro& AInfo,
                       const TPedidoDeParagem& AParar, const TPuzzleAChegar& AChegar) {
    TCompositorLivro compositor(ALivro, AInfo);
    return GravarPaginasPdf(
        AFicheiro, [&](IDestinoPaginas& ADestino) { compositor.Compor(ADestino, AChegar); },
        AParar);
}

void GravarLivroPdf(const std::string& ANomeFicheiro, const TLivro& ALivro,
                    const TInfoLivro& AInfo) {
    TCompositorLivro compositor(ALivro, AInfo);
    GravarPaginasPdf(ANomeFicheiro,
                     [&](IDestinoPaginas& ADestino) { compositor.Compor(ADestino); });
}

} // namespace tavrelo
