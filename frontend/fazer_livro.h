// The one road of a book for both front ends: the files are opened, the puzzles made, the
// pages written and every file put in place together. The window and the command line
// differ only in how they show the progress.
#pragma once

#include "composition/paginas.h"
#include "drawing/pdf.h"
#include "files/ficheiro.h"
#include "generation/livro.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tavrelo {

// What a front end hears while its book is made. Every member may be left empty. They are
// called one at a time, never two at once, on the thread that called FazerLivro, except
// PararPaginas while the last pages are drawn; while one of them runs, every other thread
// of the book holds at its next step (a puzzle, a page, a piece of a file), so a question
// the front end asks its user inside one holds the whole book. A front end that asks its
// user outside them holds the book through its pause (TEtapasLivro::Pausa): then none of
// them is called, and no thread begins a step, until it lets go.
struct TAvisosLivro {
    // (0, total, "A preparar o livro…") once the files are open, then after every puzzle.
    std::function<void(int32_t AFeitos, int32_t ATotal, const std::string& ATexto)> Progresso;
    // Once the puzzles are done and the pages begin ("A criar o PDF…").
    std::function<void()> InicioDasPaginas;
    // Asked after every puzzle and once more when they are done: true cancels the book.
    std::function<bool()> Cancelar;
    // Asked before every page once the puzzles are done (before that, Cancelar speaks for
    // the pages too) and, for the last time, with every signal held back, just before the
    // files are put in place: true stops the book there. Left empty, a book whose puzzles
    // are done is always finished.
    std::function<bool()> PararPaginas;
    // Called once, still with the signals held back, when that last question let the book
    // go on: from here on the book is put in place whatever is asked, and only a failure to
    // put a file in place still stops it.
    std::function<void()> AntesDeConfirmar;
};

// A file written from the finished book beside its PDF (the command line's JSON). Every file
// of a book, the PDF too, goes through TFicheiroAtomico: "-" is the standard output, and a
// device, FIFO or socket is written straight through.
struct TFicheiroDoLivro {
    std::string Caminho;
    std::function<void(const TLivro& ALivro,
                       const std::function<void(std::string_view)>& AEscrever)>
        Escrever;
};

struct TPedidoLivro {
    TConfigLivro Config;
    std::string CaminhoPdf; // empty: no PDF
    std::vector<TFicheiroDoLivro> Outros;
};

// The two long steps, replaceable where a test must hold or fail them. Left empty, each is
// the program's own: the puzzles made on TrabalhadoresDoLivro() threads, and the pages
// drawn on a thread of their own as the puzzles are committed, the other files written
// while the last pages are drawn. A replaced writer is given the whole book once its
// puzzles are done.
struct TEtapasLivro {
    std::function<TLivro(const TConfigLivro& AConfig, const TProgressoLivro& AProgresso)> Gerar;
    // Writes the pages into the open file and returns their number.
    std::function<int32_t(TFicheiroAtomico& AFicheiro, const TLivro& ALivro,
                          const TInfoLivro& AInfo, const TPedidoDeParagem& AParar)>
        GravarPdf;
    // Puts the files in place together; left empty, ConfirmarJuntos.
    std::function<bool(std::span<TFicheiroAtomico* const> AFicheiros,
                       const std::function<bool()>& APodeConfirmar)>
        Confirmar;
    // Threads that make the puzzles, the calling one included; 0: TrabalhadoresDoLivro().
    int32_t Trabalhadores = 0;
    // The pause every thread of the book passes before each step, held while a front end's
    // call runs; the calling thread passes it before each call. A front end that holds it
    // (TPausaSegura) holds the whole book at its next step; null: the book's own.
    TPausa* Pausa = nullptr;
    // Starts each thread of the book; left empty, IniciarFioSemSinais. A thread that cannot
    // be had (std::system_error, std::bad_alloc) is done without: its work runs on the
    // threads that can be had, the calling one at least.
    TIniciarFio IniciarFio;
};

// The program's own steps.
TEtapasLivro EtapasDoLivro();

enum class TFimDoLivro : uint8_t { flGravado, flCancelado, flFalhou };

struct TDesfechoLivro {
    TFimDoLivro Fim = TFimDoLivro::flFalhou;
    int32_t Feitos = 0;  // puzzles made
    int32_t Total = 0;   // puzzles asked for
    int32_t Paginas = 0; // pages written; 0 without a PDF
    std::string Codigo;
    // The line both front ends show: the result, the cancel or the failure with its reason.
    std::string Mensagem;
    // Lines to show besides a written book: a replaced file whose other names (hard links)
    // kept the older text.
    std::vector<std::string> Avisos;
    // Where each file of a written book is now, the PDF first, as TFicheiroAtomico::Onde says
    // (a folder renamed meanwhile took the book with it); empty when there was no memory left
    // to tell, and for a book not written.
    std::vector<std::string> Caminhos;
};

// Makes the book of APedido and writes its files. Never raises, not even when memory runs
// out: a failure, a cancel and a success all come back as the outcome, and only a success
// changes a file (a stream, once written to, stays written).
TDesfechoLivro FazerLivro(const TPedidoLivro& APedido, const TAvisosLivro& AAvisos,
                          const TEtapasLivro& AEtapas = EtapasDoLivro());

} // namespace tavrelo
