#include "files/regionais.h"

#include <clocale>
#include <new>

namespace tavrelo {

void UsarDefinicoesRegionais() noexcept {
    // A locale the system lacks leaves the C one in place, which is what the program needs.
    static_cast<void>(std::setlocale(LC_ALL, ""));
    static_cast<void>(std::setlocale(LC_NUMERIC, "C"));
}

TNumerosEmC::TNumerosEmC() {
    locale_t copia = duplocale(uselocale(nullptr));
    if (copia != nullptr) {
        FNumerosEmC = newlocale(LC_NUMERIC_MASK, "C", copia);
        if (FNumerosEmC == nullptr) {
            freelocale(copia);
        }
    } else {
        FNumerosEmC = nullptr;
    }
    if (FNumerosEmC == nullptr) {
        throw std::bad_alloc(); // "C" always exists: only memory can be wanting
    }
    FAnterior = uselocale(FNumerosEmC);
}

TNumerosEmC::~TNumerosEmC() {
    uselocale(FAnterior);
    freelocale(FNumerosEmC);
}

} // namespace tavrelo
