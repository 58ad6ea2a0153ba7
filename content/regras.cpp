#include "content/regras.h"

namespace tavrelo {

std::vector<std::string> QuebrarLinhas(IVeltCanvas&, const std::string&, double, double) {
    return {};
}
double DesenharParagrafo(IVeltCanvas&, double Y, const std::string&, double, double) {
    return Y;
}
TNiveis NiveisDoPlano(const std::vector<int32_t>&) {
    return {};
}
void PaginaRegras(IVeltCanvas&, int32_t) {}
void PaginaComoSeResolve(IVeltCanvas&, int32_t, TNiveis) {}

} // namespace tavrelo
