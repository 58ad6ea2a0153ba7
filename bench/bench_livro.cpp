// A whole book as the user waits for it: puzzles, PDF and JSON, through the one call both
// programs make, on one thread and on as many as the process may use.
#include "cli/livro_json.h"
#include "frontend/fazer_livro.h"
#include "frontend/fios.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace tavrelo {
namespace {

void BM_FazerLivro(benchmark::State& state) {
    TPedidoLivro pedido;
    pedido.Config.N = static_cast<int32_t>(state.range(0));
    pedido.Config.Nivel = static_cast<int32_t>(state.range(1));
    pedido.Config.NumPuzzles = static_cast<int32_t>(state.range(2));
    pedido.Config.Caminho = true;
    const auto pasta = std::filesystem::temp_directory_path();
    pedido.CaminhoPdf = (pasta / "tavrelo_bench_fazer.pdf").string();
    pedido.Outros.push_back({(pasta / "tavrelo_bench_fazer.json").string(),
                             [](const TLivro& ALivro, const auto& AEscrever) {
                                 EscreverLivroJson(ALivro, AEscrever);
                             }});
    // As both programs make their books.
    UmaArenaParaTodosOsFios();
    TEtapasLivro etapas = EtapasDoLivro();
    etapas.Trabalhadores =
        state.range(3) > 0 ? static_cast<int32_t>(state.range(3)) : TrabalhadoresDoLivro();
    state.counters["fios"] = etapas.Trabalhadores;
    uint32_t semente = 1;
    for (auto _ : state) {
        pedido.Config.Semente = semente++;
        const TDesfechoLivro d = FazerLivro(pedido, {}, etapas);
        if (d.Fim != TFimDoLivro::flGravado) {
            state.SkipWithError(d.Mensagem.c_str());
            break;
        }
    }
    std::filesystem::remove(pedido.CaminhoPdf);
    std::filesystem::remove(pedido.Outros[0].Caminho);
}

void Repetido(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond);
    b->Iterations(1);
    b->Repetitions(5);
    b->ReportAggregatesOnly(true);
    b->UseRealTime();
}

// The heaviest book (16 × 16, level 5, 100 puzzles: 211 pages) on one thread and on all
// (0), and a light one (8 × 8, level 1, 5 puzzles: 18 pages).
BENCHMARK(BM_FazerLivro)
    ->Args({16, 5, 100, 1})
    ->Args({16, 5, 100, 0})
    ->Args({8, 1, 5, 0})
    ->Apply(Repetido);

// The JSON text of the heaviest book: written straight (0) or by building the value of each
// puzzle and serialising it (1), the same bytes.
void BM_LivroJson(benchmark::State& state) {
    TConfigLivro config;
    config.N = 16;
    config.Nivel = 5;
    config.NumPuzzles = 100;
    config.Semente = 1;
    TParalelo paralelo;
    paralelo.Trabalhadores = TrabalhadoresDoLivro();
    const TLivro livro = TGeradorLivro().Gerar(config, nullptr, paralelo);
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string texto =
            state.range(0) == 0 ? TextoDoLivroJson(livro) : TextoJson(LivroParaJson(livro));
        bytes = texto.size();
        benchmark::DoNotOptimize(texto.data());
    }
    state.counters["KiB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_LivroJson)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tavrelo
