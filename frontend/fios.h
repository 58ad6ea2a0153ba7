// The threads that make a book besides the caller's: how many, and how they start.
#pragma once

#include "generation/fio.h"

#include <cstdint>
#include <functional>

namespace tavrelo {

// At most this many threads make a book's puzzles, the calling one included.
inline constexpr int32_t MAX_TRABALHADORES = 4;

// How many threads make a book's puzzles, the calling one included: the number in the
// environment variable TAVRELO_TRABALHADORES when it is one from 1 to MAX_TRABALHADORES
// (1 makes every puzzle in its turn), otherwise as many as the processors this process may
// run on, at most MAX_TRABALHADORES.
int32_t TrabalhadoresDoLivro();

// The stack of a thread started by IniciarFioSemSinais: many times what the deepest work of
// a book needs (a puzzle's solver, a page drawn by cairo and FreeType), a small part of the
// 8 MiB a thread gets by default, so that a limit on the address space (ulimit -v) is spent
// on the book rather than on reserved stacks. Builds with a sanitizer, whose frames are
// larger, keep the default.
extern const size_t PILHA_DO_FIO;

// Starts a thread running ACorpo, with a stack of PILHA_DO_FIO, that never takes the signals
// sent to end the program (interrupt, terminate, hang-up, quit, the two user signals,
// alarm): those reach the main thread, whose handlers decide. A closed pipe and a file grown
// past its limit still raise their signal on the thread whose write met them, as on any
// other. Raises std::system_error when the system gives no thread (a limit on threads, or
// on memory for its stack), std::bad_alloc when there is no memory to hand ACorpo over.
TFio IniciarFioSemSinais(std::function<void()> ACorpo);

// Keeps every thread of the process to malloc's one arena (unless MALLOC_ARENA_MAX says
// otherwise): a thread given an arena of its own reserves 64 MiB of address space for it,
// which under a limit on the address space leaves a book with threads less room than one
// without. Called first thing by each program, before any thread starts.
void UmaArenaParaTodosOsFios();

} // namespace tavrelo
