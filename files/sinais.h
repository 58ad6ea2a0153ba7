// How both programs end on a signal: every terminating signal that can be caught removes the
// temporary files of the book being written and ends the program with 128 + its number, so
// that no half-written ".livro.pdf.XXXXXX" is ever left behind; a request to stop (Ctrl-C, the
// session ending) may instead stop the book cleanly, and a second one then ends it at once.
#pragma once

#include <csignal>
#include <cstdint>
#include <span>

namespace tavrelo {

// The exit status of a program that the signal ASinal ends: 128 + its number, as the shells
// report it.
constexpr int SaidaPeloSinal(int ASinal) noexcept {
    return 128 + ASinal;
}

// Every signal whose default action ends the program and that can be caught, less the faults
// and SIGXFSZ (see PrepararProcesso): HUP, INT, QUIT, USR1, USR2, PIPE, ALRM, TERM, STKFLT,
// XCPU, VTALRM, PROF, IO, PWR and the real-time signals.
std::span<const int> SinaisDeFim();

// Whether ASinal asks the program to stop, as a user or a session does (INT, TERM, HUP, USR1,
// USR2, ALRM), rather than to end at once.
bool SinalDePedido(int ASinal) noexcept;

// What a signal of SinaisDeFim does, as the program's work goes on.
enum class TRespostaAosSinais : uint8_t {
    rsTerminar, // each ends the program at once (the start, and when nothing can stop cleanly)
    rsParar,    // the first request to stop (SinalDePedido) is kept for the program, which stops
                // its work and ends with SaidaPeloSinal; any other signal, or a second request,
                // ends it at once
    rsSeguir,   // the files are being put in place, or are: no signal changes how it ends
};
void ResponderAosSinais(TRespostaAosSinais AResposta) noexcept;

// The signal of the first request heard under rsParar, or 0.
int PedidoDeParagem() noexcept;

// Called by the handler, with its signal, when the first request is kept (rsParar): it must
// be safe in a signal handler. Null takes it away.
using TAoPedido = void (*)(int ASinal) noexcept;
void DefinirAoPedido(TAoPedido AAoPedido) noexcept;

// Removes the temporary files and ends the program at once with SaidaPeloSinal(ASinal). Safe
// in a signal handler.
[[noreturn]] void TerminarPeloSinal(int ASinal) noexcept;

// One more clean-up that TerminarPeloSinal and the clean-up on faults run after removing the
// temporary files: a folder of the program's own, say. It must be safe in a signal handler.
// Null takes it away.
using TLimpezaFinal = void (*)() noexcept;
void DefinirLimpezaFinal(TLimpezaFinal ALimpeza) noexcept;

// The start of either program, first thing in main:
// - the closed standard descriptors opened on /dev/null (ProtegerDescritoresPadrao);
// - every signal of SinaisDeFim answered as ResponderAosSinais says (rsTerminar until then),
//   except one the program was started with ignored (nohup, a background job), which stays
//   ignored, SIGPIPE aside (a closed pipe always ends the program quietly), and one that
//   something else handles already (a profiler's SIGPROF);
// - SIGXFSZ ignored, so that a file grown past its limit (ulimit -f) fails with EFBIG and is
//   told like any other failed write;
// - the faults (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT): sent by another
//   program (kill), they end it like the signals above; raised by the program itself (a library
//   failing under extreme want of memory, say), the temporary files are removed, a line on
//   standard error says so, and the fault then ends the program as it would have (under
//   AddressSanitizer, with its report).
// False when /dev/null could not be opened.
bool PrepararProcesso();

// Every signal held back on this thread while it lives, so that a handler that ends the
// program cannot run between two steps that must go together.
class TSinaisRetidos {
  public:
    TSinaisRetidos() noexcept;
    ~TSinaisRetidos();
    TSinaisRetidos(const TSinaisRetidos&) = delete;
    TSinaisRetidos& operator=(const TSinaisRetidos&) = delete;

  private:
    sigset_t FAntes{};
};

} // namespace tavrelo
