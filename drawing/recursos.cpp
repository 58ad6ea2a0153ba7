#include "drawing/recursos.h"

namespace tavrelo {

std::span<const unsigned char> Recurso(std::string_view ANome) {
    for (const TRecursoEmbutido& r : RecursosEmbutidos()) {
        if (r.Nome == ANome) {
            return r.Dados;
        }
    }
    return {};
}

} // namespace tavrelo
