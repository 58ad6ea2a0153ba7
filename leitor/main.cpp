// tavrelo-leitor-pdf: reads the document information's Keywords of the PDF on its standard
// input, where a book keeps its recipe, and answers on its standard output (leitor/resposta.h).
//
// It is the only program of TAVRELO that links qpdf. Both programs start it for each PDF they
// are given to read, with limits on its memory, processor time and files, so that a PDF made
// to fill the memory or the processor (a stream that inflates to gigabytes, qpdf having no
// limit of its own) costs only this short-lived process; and neither program loads qpdf, nor
// the libraries qpdf brings, at every start. It opens nothing: the program hands it the PDF
// already open.
//
// Built as C++17: qpdf 11's headers declare a std::vector of a class inside that class, which
// clang's C++20 mode with libstdc++ 12 refuses.
#include "leitor/resposta.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <unistd.h>

namespace {

using tavrelo::TRespostaDoLeitor;

// Whether an allocation failed. qpdf takes some failures for a damaged object and reads on
// without it: a PDF too big to read within the limit would pass for one without Keywords.
bool g_FaltouMemoria = false;

} // namespace

// Every allocation of the program and of qpdf comes here, so that none fails unseen.
void* operator new(std::size_t ATamanho) {
    if (void* p = std::malloc(ATamanho != 0 ? ATamanho : 1)) {
        return p;
    }
    g_FaltouMemoria = true;
    throw std::bad_alloc();
}
void* operator new[](std::size_t ATamanho) {
    return ::operator new(ATamanho);
}
void operator delete(void* APonteiro) noexcept {
    std::free(APonteiro);
}
void operator delete[](void* APonteiro) noexcept {
    std::free(APonteiro);
}
void operator delete(void* APonteiro, std::size_t) noexcept {
    std::free(APonteiro);
}
void operator delete[](void* APonteiro, std::size_t) noexcept {
    std::free(APonteiro);
}

namespace {

bool EscreverTudo(std::string_view ATexto) {
    while (!ATexto.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, ATexto.data(), ATexto.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        ATexto.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

int Responder(TRespostaDoLeitor AResposta, std::string_view APalavras = {}) {
    if (g_FaltouMemoria) {
        AResposta = TRespostaDoLeitor::rlSemMemoria;
        APalavras = {};
    }
    const std::string_view linha = tavrelo::LINHAS_DO_LEITOR[static_cast<size_t>(AResposta)];
    const bool escrito = EscreverTudo(linha) && EscreverTudo("\n") && EscreverTudo(APalavras);
    return escrito ? 0 : 1;
}

// The Keywords of the PDF on standard input, or why there are none to give.
int LerPalavras() {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    // A damaged file is not searched for what it might have held: the recipe is only trusted
    // in a PDF that reads as one.
    pdf.setAttemptRecovery(false);
    try {
        pdf.processFile("PDF", stdin, false);
    } catch (const QPDFExc& e) {
        return Responder(e.getErrorCode() == qpdf_e_password ? TRespostaDoLeitor::rlPalavraPasse
                                                             : TRespostaDoLeitor::rlIlegivel);
    }
    QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
    if (!info.isDictionary()) {
        return Responder(TRespostaDoLeitor::rlPalavras);
    }
    QPDFObjectHandle chave = info.getKey("/Keywords");
    if (!chave.isString()) {
        return Responder(TRespostaDoLeitor::rlPalavras);
    }
    const std::string palavras = chave.getUTF8Value();
    if (palavras.size() > tavrelo::MAXIMO_DAS_PALAVRAS) {
        return Responder(TRespostaDoLeitor::rlLongas);
    }
    return Responder(TRespostaDoLeitor::rlPalavras, palavras);
}

} // namespace

int main() {
    try {
        return LerPalavras();
    } catch (const std::bad_alloc&) {
        return Responder(TRespostaDoLeitor::rlSemMemoria);
    } catch (const std::exception&) {
        return Responder(TRespostaDoLeitor::rlIlegivel);
    }
}
