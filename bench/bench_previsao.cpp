// The preview of the next book as the window makes it while the user chooses: the puzzles of
// its first pages made and its three pages drawn at screen sizes (a page 300 pixels wide at
// 1×, 600 at 2×), per order and level, over many codes (a puzzle's cost varies with its code).
#include "frontend/previsao.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace tavrelo {
namespace {

void BM_Previsao(benchmark::State& state) {
    TConfigLivro config;
    config.N = static_cast<int32_t>(state.range(0));
    config.Nivel = static_cast<int32_t>(state.range(1));
    config.NumPuzzles = 50;
    config.Caminho = true;
    config.Titulo = "Férias de Verão";
    const auto largura = static_cast<int32_t>(state.range(2));
    uint32_t semente = 1;
    for (auto _ : state) {
        config.Semente = semente++;
        benchmark::DoNotOptimize(VerLivro(config, largura));
    }
    state.counters["puzzles"] = PuzzlesDaVista(config);
}

double Maximo(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

void OrdensENiveis(benchmark::internal::Benchmark* b) {
    for (const int32_t N : {8, 12, 16, 7, 11, 13}) {
        for (const int64_t nivel : {1, 5, 0}) {
            b->Args({N, nivel, 300});
        }
    }
    b->Args({16, 5, 600});
    b->Unit(benchmark::kMillisecond);
    b->Iterations(1);
    b->Repetitions(15);
    b->ComputeStatistics("max", Maximo);
    b->ReportAggregatesOnly(true);
}

BENCHMARK(BM_Previsao)->Apply(OrdensENiveis);

} // namespace
} // namespace tavrelo
