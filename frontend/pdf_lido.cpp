// Built as C++17: qpdf 11's headers declare a std::vector of a class inside that class, which
// clang's C++20 mode with libstdc++ 12 refuses (the fuzz build uses clang).
#include "frontend/pdf_lido.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <exception>
#include <new>

namespace tavrelo {

std::optional<std::string> PalavrasChaveDoPdf(std::FILE* AFicheiro, const std::string& ANome) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.setAttemptRecovery(false);
        pdf.processFile(ANome.c_str(), AFicheiro, true);
        QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
        if (info.isDictionary()) {
            QPDFObjectHandle chave = info.getKey("/Keywords");
            if (chave.isString()) {
                return chave.getUTF8Value();
            }
        }
        return std::string();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace tavrelo
