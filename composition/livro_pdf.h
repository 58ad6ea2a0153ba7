// A whole book written as one PDF file: the composer's pages on the PDF page destination.
#pragma once

#include "composition/paginas.h"
#include "drawing/pdf.h"
#include "files/ficheiro.h"
#include "generation/livro.h"

#include <string>

namespace tavrelo {

// Writes the whole book to ANomeFicheiro, replacing a file of that name only once every page
// is drawn and written. Raises std::runtime_error (a Portuguese sentence) on any failure;
// the target is then left as it was.
void GravarLivroPdf(const std::string& ANomeFicheiro, const TLivro& ALivro,
                    const TInfoLivro& AInfo);

// The same into a file the caller opened (and confirms afterwards): nothing reaches the
// target until AFicheiro.Confirmar(). AParar is asked before every page. Returns the number
// of pages written. With AChegar, ALivro is LivroAChegar's and the book is drawn as its
// puzzles come (TCompositorLivro::Compor). APalavrasChave, when given, is the document's
// Keywords.
int32_t GravarLivroPdf(TFicheiroAtomico& AFicheiro, const TLivro& ALivro, const TInfoLivro& AInfo,
                       const TPedidoDeParagem& AParar = {}, const TPuzzleAChegar& AChegar = {},
                       const std::string& APalavrasChave = {});

} // namespace tavrelo
