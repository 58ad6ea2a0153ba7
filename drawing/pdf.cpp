#include "drawing/pdf.h"

#include "core/tipos.h"
#include "drawing/canvas_cairo.h"
#include "drawing/pagina.h"
#include "files/regionais.h"

#include <cairo-pdf.h>
#include <exception>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace tavrelo {

namespace {

// Memory kept aside while a page is drawn, and given back to cairo while the page is shown
// and written: cairo 1.16 crashes in that step, instead of failing, when an allocation fails.
// Taken again once the page is out; when it cannot be, memory has run out, and the book stops
// cleanly before cairo is asked for more. A shown page needs far less than this.
constexpr size_t RESERVA_DE_MEMORIA = 256 * 1024;

// The file's messages start a sentence; here they continue the caller's
// "Não foi possível terminar o livro: ".
std::string ComMinuscula(std::string ATexto) {
    if (!ATexto.empty() && ATexto[0] >= 'A' && ATexto[0] <= 'Z') {
        ATexto[0] = static_cast<char>(ATexto[0] - 'A' + 'a');
    }
    return ATexto;
}

template <typename TAccao> auto ComMensagemDoFicheiro(TAccao&& AAccao) {
    try {
        return AAccao();
    } catch (const EVelt& e) {
        throw EVelt(ComMinuscula(e.what()));
    }
}

// cairo hands over its bytes a few dozen at a time; they reach the file in blocks.
constexpr size_t BLOCO_DE_ESCRITA = 64 * 1024;

// Where cairo's bytes go. The first failure is kept, cairo is told to stop, and the
// failure is raised once the document is closed.
struct TEscrita {
    TFicheiroAtomico* Ficheiro = nullptr;
    const std::function<void(std::string_view)>* AntesDeEscrever = nullptr;
    std::string Bloco;
    std::exception_ptr Erro;
    bool Descartar = false; // the document failed: whatever cairo still writes is dropped

    // Sends the block to the file; false (and Erro kept) when the file refused it.
    bool Despejar() noexcept {
        try {
            if (!Bloco.empty()) {
                if (*AntesDeEscrever) {
                    (*AntesDeEscrever)(Bloco);
                }
                Ficheiro->Escrever(Bloco);
                Bloco.clear();
            }
            return true;
        } catch (...) {
            Erro = std::current_exception();
            return false;
        }
    }
};

cairo_status_t EscreverPdf(void* AEscrita, const unsigned char* ADados, unsigned int ATamanho) {
    auto* escrita = static_cast<TEscrita*>(AEscrita);
    if (escrita->Descartar) {
        return CAIRO_STATUS_SUCCESS;
    }
    if (escrita->Erro) {
        return CAIRO_STATUS_WRITE_ERROR;
    }
    try {
        escrita->Bloco.append(reinterpret_cast<const char*>(ADados), ATamanho);
    } catch (...) {
        escrita->Erro = std::current_exception();
        return CAIRO_STATUS_WRITE_ERROR;
    }
    if (escrita->Bloco.size() >= BLOCO_DE_ESCRITA && !escrita->Despejar()) {
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

[[noreturn]] void LancarErroDeEscrita(const std::exception_ptr& AErro) {
    ComMensagemDoFicheiro([&] { std::rethrow_exception(AErro); });
    std::terminate(); // not reached: the call above always raises
}

// Whether the document failed for want of memory: the exception in flight, the bytes that
// could not be kept, or cairo's own state says so.
bool FaltouMemoria(cairo_surface_t* APdf, const TEscrita& AEscrita) {
    const auto semMemoria = [](const std::exception_ptr& AErro) {
        try {
            std::rethrow_exception(AErro);
        } catch (const std::bad_alloc&) {
            return true;
        } catch (...) {
            return false;
        }
    };
    return cairo_surface_status(APdf) == CAIRO_STATUS_NO_MEMORY ||
           semMemoria(std::current_exception()) || (AEscrita.Erro && semMemoria(AEscrita.Erro));
}

// A document kept unfinished on purpose until the program ends; the leak checker of a
// sanitized build is told so.
void AbandonarSuperficie([[maybe_unused]] cairo_surface_t* APdf) {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_ignore_object(APdf);
#endif
}

struct TDestruirSuperficie {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};

// The document's properties, all set here.
void EscreverMetadados(cairo_surface_t* APdf, const TMetadadosPdf& AMetadados) {
    cairo_pdf_surface_set_metadata(APdf, CAIRO_PDF_METADATA_TITLE, "TAVRELO");
    cairo_pdf_surface_set_metadata(APdf, CAIRO_PDF_METADATA_AUTHOR, "Brovanel");
    cairo_pdf_surface_set_metadata(APdf, CAIRO_PDF_METADATA_CREATOR, "TAVRELO " TAVRELO_VERSAO);
    if (!AMetadados.Assunto.empty()) {
        cairo_pdf_surface_set_metadata(APdf, CAIRO_PDF_METADATA_SUBJECT,
                                       AMetadados.Assunto.c_str());
    }
    if (!AMetadados.PalavrasChave.empty()) {
        cairo_pdf_surface_set_metadata(APdf, CAIRO_PDF_METADATA_KEYWORDS,
                                       AMetadados.PalavrasChave.c_str());
    }
    // cairo 1.16 writes a date it is given without the optional "D:" before it; readers
    // take it as the same date.
    if (!AMetadados.CriadoEm.empty()) {
        cairo_pdf_surface_set_metadata(APdf, CAIRO_PDF_METADATA_CREATE_DATE,
                                       AMetadados.CriadoEm.c_str());
    }
}

// The surface of a context whose user space is one unit per dot at 300 dpi, as on a page.
std::unique_ptr<IVeltCanvas> SuperficieDaPagina(cairo_t* APagina) {
    cairo_scale(APagina, 72.0 / DPI_DA_PAGINA, 72.0 / DPI_DA_PAGINA);
    return std::make_unique<TCanvasCairo>(APagina, DPI_DA_PAGINA);
}

} // namespace

TDestinoPdf::TDestinoPdf(cairo_surface_t* ASuperficie, TPedidoDeParagem AParar)
    : FSuperficie(ASuperficie), FParar(std::move(AParar)), FReserva(new char[RESERVA_DE_MEMORIA]) {}

TDestinoPdf::~TDestinoPdf() {
    if (FPagina != nullptr) {
        cairo_destroy(FPagina);
    }
}

void TDestinoPdf::TerminarPagina() {
    if (FPagina == nullptr) {
        return;
    }
    cairo_t* pagina = FPagina;
    FPagina = nullptr;
    // Shown explicitly even when blank: closing the document would drop a blank last page.
    FReserva.reset();
    cairo_show_page(pagina);
    const cairo_status_t estado = cairo_status(pagina);
    cairo_destroy(pagina);
    const cairo_status_t estadoDoPdf = cairo_surface_status(FSuperficie);
    if (estado != CAIRO_STATUS_SUCCESS || estadoDoPdf != CAIRO_STATUS_SUCCESS) {
        throw EVelt(
            Formatar("a página %d do PDF não pôde ser desenhada (%s).", FNumPaginas,
                     MotivoDoCairo(estado != CAIRO_STATUS_SUCCESS ? estado : estadoDoPdf).c_str()));
    }
    FReserva.reset(new char[RESERVA_DE_MEMORIA]);
}

std::unique_ptr<IVeltCanvas> TDestinoPdf::NovaPagina() {
    TerminarPagina();
    if (FParar && FParar()) {
        throw EGravacaoInterrompida();
    }
    FPagina = cairo_create(FSuperficie);
    ++FNumPaginas;
    return SuperficieDaPagina(FPagina);
}

static_assert(MARCADOR_DE_TOPO == CAIRO_PDF_OUTLINE_ROOT);

int32_t TDestinoPdf::Marcador(int32_t APai, const std::string& ATitulo,
                              const std::string& ADestino) {
    const std::string ligacao = "dest=" + NomeDeDestino(ADestino);
    return cairo_pdf_surface_add_outline(FSuperficie, APai, ATitulo.c_str(), ligacao.c_str(),
                                         static_cast<cairo_pdf_outline_flags_t>(0));
}

void TDestinoPdf::Terminar() {
    TerminarPagina();
}

std::unique_ptr<IVeltCanvas> CanvasDeMedida() {
    cairo_surface_t* nenhures = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
    cairo_t* contexto = cairo_create(nenhures);
    cairo_surface_destroy(nenhures); // the context keeps it
    std::unique_ptr<IVeltCanvas> canvas = SuperficieDaPagina(contexto);
    cairo_destroy(contexto); // the canvas holds the context
    return canvas;
}

int32_t GravarPaginasPdf(TFicheiroAtomico& AFicheiro, const TComporPaginas& ACompor,
                         const TMetadadosPdf& AMetadados, const TPedidoDeParagem& AParar,
                         const std::function<void(std::string_view)>& AAntesDeEscrever) {
    // cairo reads back the positions of links and destinations with the C library: under a
    // decimal comma every page with a link would fail to draw.
    const TNumerosEmC numerosEmC;
    TEscrita escrita;
    escrita.Ficheiro = &AFicheiro;
    escrita.AntesDeEscrever = &AAntesDeEscrever;
    escrita.Bloco.reserve(BLOCO_DE_ESCRITA);
    std::unique_ptr<cairo_surface_t, TDestruirSuperficie> pdf(cairo_pdf_surface_create_for_stream(
        EscreverPdf, &escrita, MmParaPt(LARGURA_PAGINA), MmParaPt(ALTURA_PAGINA)));
    EscreverMetadados(pdf.get(), AMetadados);
    int32_t paginas = 0;
    try {
        TDestinoPdf destino(pdf.get(), AParar);
        ACompor(destino);
        destino.Terminar();
        paginas = destino.NumPaginas();
    } catch (...) {
        // The closing bytes of a failed document go nowhere; the caller's file is discarded.
        escrita.Descartar = true;
        if (FaltouMemoria(pdf.get(), escrita)) {
            // Finishing the document would write its fonts and every object it holds, which
            // needs memory there is none of, and cairo then crashes instead of failing. It is
            // left unfinished, its memory kept until the program ends.
            AbandonarSuperficie(pdf.release());
            throw std::bad_alloc();
        }
        cairo_surface_finish(pdf.get());
        if (escrita.Erro) {
            LancarErroDeEscrita(escrita.Erro); // the disk failed first; drawing then stopped
        }
        throw;
    }
    cairo_surface_finish(pdf.get());
    if (escrita.Erro || !escrita.Despejar()) {
        LancarErroDeEscrita(escrita.Erro);
    }
    const cairo_status_t estado = cairo_surface_status(pdf.get());
    if (estado != CAIRO_STATUS_SUCCESS) {
        throw EVelt("não foi possível gravar " + NomeParaMostrar(AFicheiro.Caminho()) +
                    ": o PDF não pôde ser composto (" + MotivoDoCairo(estado) + ").");
    }
    return paginas;
}

void GravarPaginasPdf(const std::string& ANomeFicheiro, const TComporPaginas& ACompor,
                      const TMetadadosPdf& AMetadados) {
    auto ficheiro =
        ComMensagemDoFicheiro([&] { return std::make_unique<TFicheiroAtomico>(ANomeFicheiro); });
    GravarPaginasPdf(*ficheiro, ACompor, AMetadados);
    ComMensagemDoFicheiro([&] { ficheiro->Confirmar(); });
}

} // namespace tavrelo
