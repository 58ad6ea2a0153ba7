// Writing whole books as PDF, the book already generated: what the user waits for after
// the last puzzle. The file size is reported as a counter.
#include "composition/livro_pdf.h"
#include "composition/paginas.h"
#include "generation/livro.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

using namespace tavrelo;

namespace {

TLivro LivroDe(int32_t N, int32_t ANivel, int32_t APuzzles, bool ADicas) {
    TConfigLivro config;
    config.N = N;
    config.Nivel = ANivel;
    config.NumPuzzles = APuzzles;
    config.Caminho = ADicas;
    config.Semente = 0x2A;
    return TGeradorLivro().Gerar(config, {});
}

void BM_GravarLivroPdf(benchmark::State& state) {
    const TLivro livro =
        LivroDe(int32_t(state.range(0)), int32_t(state.range(1)), int32_t(state.range(2)), true);
    const TInfoLivro info{"10/12/2026", "1.0"};
    const auto caminho = std::filesystem::temp_directory_path() / "tavrelo_bench_livro.pdf";
    int32_t paginas = 0;
    for (auto _ : state) {
        GravarLivroPdf(caminho.string(), livro, info);
        paginas = TCompositorLivro(livro, info).NumPaginas();
    }
    state.counters["paginas"] = paginas;
    state.counters["KiB"] = double(std::filesystem::file_size(caminho)) / 1024.0;
    std::filesystem::remove(caminho);
}

} // namespace

// 16 × 16, level 5, 50 puzzles: 111 pages. 8 × 8 Progressiva, 50 puzzles: 62 pages.
BENCHMARK(BM_GravarLivroPdf)
    ->Args({16, 5, 50})
    ->Args({8, 0, 50})
    ->Args({16, 5, 100})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
