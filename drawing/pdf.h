// The book as a PDF file: a page destination that hands out one surface per new page, and
// the one call that writes a whole book.
#pragma once

#include "composition/paginas.h"
#include "drawing/canvas.h"
#include "drawing/ficheiro.h"
#include "generation/livro.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

extern "C" {
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;
}

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

// Raised when the caller asks to stop between pages; nothing is written.
class ELivroInterrompido : public std::runtime_error {
  public:
    ELivroInterrompido() : std::runtime_error("a gravação do livro foi interrompida") {}
};

// Asked before every page; true stops the book with ELivroInterrompido.
using TPedidoDeParagem = std::function<bool()>;

// The same into a file the caller opened (and confirms afterwards): nothing reaches the
// target until AFicheiro.Confirmar().
void GravarLivroPdf(TFicheiroAtomico& AFicheiro, const TLivro& ALivro, const TInfoLivro& AInfo,
                    const TPedidoDeParagem& AParar = {});

// The pages of one A4 document: each NovaPagina finishes the page before it; Terminar
// finishes the last one, so a page left blank is still a page of the document.
class TDestinoPdf final : public IDestinoPaginas {
  public:
    // ASuperficie is a cairo PDF surface; it is not owned.
    explicit TDestinoPdf(cairo_surface_t* ASuperficie, TPedidoDeParagem AParar = {});
    ~TDestinoPdf() override;
    TDestinoPdf(const TDestinoPdf&) = delete;
    TDestinoPdf& operator=(const TDestinoPdf&) = delete;

    std::unique_ptr<IVeltCanvas> NovaPagina() override;
    void Terminar();
    int32_t NumPaginas() const { return FNumPaginas; }

  private:
    void TerminarPagina();

    cairo_surface_t* FSuperficie;
    TPedidoDeParagem FParar;
    cairo_t* FPagina = nullptr;
    int32_t FNumPaginas = 0;
};

// One PDF document, drawn by ACompor on the destination it is given, written to
// ANomeFicheiro as a whole or not at all. Failures raise std::runtime_error with a
// sentence that reads well after "Não foi possível terminar o livro: ".
using TComporPaginas = std::function<void(IDestinoPaginas&)>;
void GravarPaginasPdf(const std::string& ANomeFicheiro, const TComporPaginas& ACompor);

// The same into a file the caller opened and confirms. AAntesDeEscrever, when given, sees
// every block of bytes before it goes to the file and may raise to refuse it (a full disk
// in the tests).
void GravarPaginasPdf(TFicheiroAtomico& AFicheiro, const TComporPaginas& ACompor,
                      const TPedidoDeParagem& AParar = {},
                      const std::function<void(std::string_view)>& AAntesDeEscrever = {});

} // namespace tavrelo
