// Pages as a PDF file: a page destination that hands out one surface per new page, and the
// calls that write a whole document to a file, complete or not at all.
#pragma once

#include "drawing/canvas.h"
#include "files/ficheiro.h"

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

// Raised when the caller asks to stop between pages; nothing is written.
class EGravacaoInterrompida : public std::runtime_error {
  public:
    EGravacaoInterrompida() : std::runtime_error("a gravação foi interrompida") {}
};

// Asked before every page; true stops the document with EGravacaoInterrompida.
using TPedidoDeParagem = std::function<bool()>;

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
    int32_t Marcador(int32_t APai, const std::string& ATitulo,
                     const std::string& ADestino) override;
    void Terminar();
    int32_t NumPaginas() const { return FNumPaginas; }

  private:
    void TerminarPagina();

    cairo_surface_t* FSuperficie;
    TPedidoDeParagem FParar;
    cairo_t* FPagina = nullptr;
    int32_t FNumPaginas = 0;
    // Memory kept aside and given to cairo while a page is shown (see TerminarPagina).
    std::unique_ptr<char[]> FReserva;
};

// A surface that draws nothing and measures text exactly as the pages of a PDF do: the same
// typeface, resolution and rounding. For fitting text before any document exists.
std::unique_ptr<IVeltCanvas> CanvasDeMedida();

// What a document tells of itself in its properties. Every document has the title
// "TAVRELO", the author "Brovanel" and the creator "TAVRELO" with the program's version.
struct TMetadadosPdf {
    std::string Assunto;         // left out when empty
    std::string PalavrasChave{}; // the Keywords; left out when empty
    std::string CriadoEm{};      // the creation date, ISO 8601; empty: when it is written
};

// One PDF document, drawn by ACompor on the destination it is given, written to
// ANomeFicheiro as a whole or not at all. Failures raise std::runtime_error with a
// sentence that reads well after "Não foi possível terminar o livro: ".
using TComporPaginas = std::function<void(IDestinoPaginas&)>;
void GravarPaginasPdf(const std::string& ANomeFicheiro, const TComporPaginas& ACompor,
                      const TMetadadosPdf& AMetadados = {});

// The same into a file the caller opened and confirms; returns the number of pages.
// AAntesDeEscrever, when given, sees
// every block of bytes before it goes to the file and may raise to refuse it (a full disk
// in the tests).
int32_t GravarPaginasPdf(TFicheiroAtomico& AFicheiro, const TComporPaginas& ACompor,
                         const TMetadadosPdf& AMetadados, const TPedidoDeParagem& AParar = {},
                         const std::function<void(std::string_view)>& AAntesDeEscrever = {});

} // namespace tavrelo
