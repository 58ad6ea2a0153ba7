// Speed of the engine: the closure on a typical grid, one puzzle per order and
// level, and whole books.
#include "generation/livro.h"
#include "generation/niveis.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace tavrelo {
namespace {

// A typical grid for the closure: the givens of a generated puzzle of the level.
TPuzzle PuzzleDeReferencia(int32_t N, int32_t ANivel) {
    TGeradorPuzzle gerador;
    TRegistoChaves registo;
    TGeradorAleatorio rng(12345);
    return gerador.Gerar(N, ANivel, rng, registo);
}

void BM_Fecho(benchmark::State& state) {
    const auto N = static_cast<int32_t>(state.range(0));
    const auto nivel = static_cast<int32_t>(state.range(1));
    const TPuzzle p = PuzzleDeReferencia(N, nivel);
    TSolverDeducao solver(N);
    const bool lista = NivelComLista(nivel);
    for (auto _ : state) {
        benchmark::DoNotOptimize(solver.Fecho(p.Dados, FamiliasCompletas(N), lista));
    }
}

// One puzzle per repetition, each from a new seed, so that the median over the
// repetitions is the median time of one puzzle.
void BM_Puzzle(benchmark::State& state) {
    static uint32_t semente = 0;
    const auto N = static_cast<int32_t>(state.range(0));
    const auto nivel = static_cast<int32_t>(state.range(1));
    TGeradorPuzzle gerador;
    for (auto _ : state) {
        TRegistoChaves registo;
        TGeradorAleatorio rng(DerivarSemente(0xBE7C4, semente++));
        benchmark::DoNotOptimize(gerador.Gerar(N, nivel, rng, registo));
    }
}

void BM_Livro(benchmark::State& state) {
    TConfigLivro config;
    config.N = static_cast<int32_t>(state.range(0));
    config.Nivel = static_cast<int32_t>(state.range(1));
    config.NumPuzzles = static_cast<int32_t>(state.range(2));
    config.Caminho = true;
    uint32_t semente = 0x2A;
    for (auto _ : state) {
        config.Semente = semente++;
        benchmark::DoNotOptimize(TGeradorLivro().Gerar(config, nullptr));
    }
}

void OrdensENiveis(benchmark::internal::Benchmark* b, std::initializer_list<int64_t> niveis) {
    for (const int32_t N : TamanhosSuportados) {
        for (const int64_t nivel : niveis) {
            b->Args({N, nivel});
        }
    }
}

void FechoPorOrdem(benchmark::internal::Benchmark* b) {
    OrdensENiveis(b, {1, 5});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Fecho)->Apply(FechoPorOrdem);

double Minimo(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}
double Maximo(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

void UmPuzzlePorRepeticao(benchmark::internal::Benchmark* b) {
    OrdensENiveis(b, {1, 3, 4, 5});
    b->Unit(benchmark::kMillisecond);
    b->Iterations(1);
    b->Repetitions(31);
    b->ComputeStatistics("min", Minimo);
    b->ComputeStatistics("max", Maximo);
    b->ReportAggregatesOnly(true);
}

BENCHMARK(BM_Puzzle)->Apply(UmPuzzlePorRepeticao);
BENCHMARK(BM_Livro)
    ->Args({8, 0, 50})
    ->Args({16, 5, 100})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
} // namespace tavrelo
