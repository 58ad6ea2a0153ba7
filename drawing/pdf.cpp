#include "drawing/pdf.h"

#include <stdexcept>

namespace tavrelo {

void GravarLivroPdf(const std::string&, const TLivro&, const TInfoLivro&) {
    throw std::runtime_error("A gravação em PDF ainda não existe.");
}

} // namespace tavrelo
