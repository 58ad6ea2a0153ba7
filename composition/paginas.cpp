#include "composition/paginas.h"

#include "drawing/pdf.h"

namespace tavrelo {

TCompositorLivro::TCompositorLivro(const TLivro& ALivro, const TInfoLivro& AInfo)
    : FLivro(ALivro), FInfo(AInfo) {
    PlanearPaginas();
}

TCompositorLivro::~TCompositorLivro() = default;

int32_t TCompositorLivro::NumPaginas() const {
    return static_cast<int32_t>(FPaginas.size());
}

const std::vector<TDescPagina>& TCompositorLivro::Paginas() const {
    return FPaginas;
}

void TCompositorLivro::PlanearPaginas() {}

void TCompositorLivro::Compor(IDestinoPaginas&) {}

TInfoLivro CriarInfoLivro() {
    return TInfoLivro{"", "1.0"};
}

void DesenharRodape(IVeltCanvas&, int32_t) {}

std::string TextoTamanho(int32_t) {
    return "";
}

std::string TextoSomas(int32_t) {
    return "";
}

TGeometriaPuzzles GeometriaPuzzles(int32_t) {
    return {};
}

int32_t SolucoesPorPagina(int32_t, bool) {
    return 0;
}

} // namespace tavrelo
