// The threads that make a book besides the caller's: how many, and how they start.
#pragma once

#include <cstdint>
#include <functional>
#include <thread>

namespace tavrelo {

// At most this many threads make a book's puzzles, the calling one included.
inline constexpr int32_t MAX_TRABALHADORES = 4;

// How many threads make a book's puzzles, the calling one included: the number in the
// environment variable TAVRELO_TRABALHADORES when it is one from 1 to MAX_TRABALHADORES
// (1 makes every puzzle in its turn), otherwise as many as the processors this process may
// run on, at most MAX_TRABALHADORES.
int32_t TrabalhadoresDoLivro();

// Starts a thread running ACorpo that never takes the signals sent to end the program
// (interrupt, terminate, hang-up, quit, the two user signals, alarm): those reach the main
// thread, whose handlers decide. A closed pipe and a file grown past its limit still raise
// their signal on the thread whose write met them, as on any other.
std::thread IniciarFioSemSinais(std::function<void()> ACorpo);

} // namespace tavrelo
