// How both programs end on a signal: every terminating signal that can be caught removes the
// temporary files of the book being written and ends the program with 128 + its number, so
// that no half-written ".livro.pdf.XXXXXX" is ever left behind.
#pragma once

#include <span>

namespace tavrelo {

// SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM and SIGXFSZ.
std::span<const int> SinaisDeFim();

// Removes the temporary files and ends the program at once with 128 + ASinal. Safe in a
// signal handler.
[[noreturn]] void TerminarPeloSinal(int ASinal) noexcept;

// One more clean-up that TerminarPeloSinal and the clean-up on faults run after removing the
// temporary files: a folder of the program's own, say. It must be safe in a signal handler.
// Null takes it away.
using TLimpezaFinal = void (*)() noexcept;
void DefinirLimpezaFinal(TLimpezaFinal ALimpeza) noexcept;

// Installs AManipulador for every signal of SinaisDeFim, with all of them held back while it
// runs. A signal the program was started with ignored (nohup, a background job) stays
// ignored, except SIGPIPE: a closed pipe always ends the program quietly, its temporary files
// removed.
void InstalarSinaisDeFim(void (*AManipulador)(int));

// A fault that ends the program (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT: a library that fails
// under extreme want of memory, say) still removes the temporary files and says so in a line on
// standard error; the program then ends as the fault would have ended it. Not under
// AddressSanitizer, which reports such faults itself.
void InstalarLimpezaNasFalhas();

// The start of either program: the closed standard descriptors opened on /dev/null, every
// terminating signal set to end the program through TerminarPeloSinal, and the clean-up on
// faults. False when /dev/null could not be opened.
bool PrepararProcesso();

} // namespace tavrelo
