// Allocations that fail on demand, for tests that make memory run out at every point of a
// piece of work in turn. The program that uses it links falhar_alocacao.cpp, which replaces
// the global operator new; with no failure asked for, it allocates as usual.
#pragma once

#include <cstdint>

namespace teste {

// The AEnesima allocation from now on (1 = the next) raises std::bad_alloc, once; the others
// succeed. 0 asks for no failure.
void FalharAlocacao(uint64_t AEnesima);

// The same, counting only the allocations of the threads marked AFio (MarcarFio).
void FalharAlocacaoNoFio(uint64_t AEnesima, int32_t AFio);

// Marks the calling thread as AFio (not 0), for FalharAlocacaoNoFio and Alocacoes.
void MarcarFio(int32_t AFio);

// Whether an allocation has failed since the last FalharAlocacao.
bool AlocacaoFalhou();

// The allocations made since the last FalharAlocacao by the threads marked AFio (1 to 7).
uint64_t Alocacoes(int32_t AFio);

} // namespace teste
