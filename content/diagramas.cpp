#include "content/diagramas.h"

namespace tavrelo {

std::vector<int32_t> QuadradoDeExemplo4() {
    return {};
}
std::vector<int32_t> QuadradoDeExemplo5() {
    return {};
}
std::vector<int32_t> QuadradoDeExemplo8() {
    return {};
}
void PaginaDiagramasPar(IVeltCanvas&, int32_t) {}
void PaginaDiagramasImpar(IVeltCanvas&, int32_t) {}

} // namespace tavrelo
