// The book as a PDF file: a page destination that hands out one surface per new page, and
// the one call that writes a whole book.
#pragma once

#include "composition/paginas.h"
#include "drawing/canvas.h"
#include "generation/livro.h"

#include <memory>
#include <string>

namespace tavrelo {

class IDestinoPaginas {
  public:
    virtual ~IDestinoPaginas() = default;
    // Appends one empty A4 page and returns its surface; the previous page is finished and
    // its surface is not used again.
    virtual std::unique_ptr<IVeltCanvas> NovaPagina() = 0;
};

// Writes the whole book to ANomeFicheiro, replacing a file of that name only once every page
// is drawn and written. Raises std::runtime_error (a Portuguese sentence) on any failure;
// the target is then left as it was.
void GravarLivroPdf(const std::string& ANomeFicheiro, const TLivro& ALivro,
                    const TInfoLivro& AInfo);

} // namespace tavrelo
