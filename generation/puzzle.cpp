#include "generation/puzzle.h"

#include "generation/niveis.h"
#include "laws/linear.h"

#include <numeric>

namespace tavrelo {

namespace {

constexpr int32_t MAX_SORTEIOS_QUADRADO = 5000;
constexpr int32_t MAX_TENTATIVAS_POR_QUADRADO = 10;
constexpr int32_t MAX_QUADRADOS = 50;

// Puts back, at random, up to AQuantas of the empty cells of ADados (never the centre).
void RecolocarPistas(std::vector<int32_t>& ADados, const TSolucao& AQuadrado, int32_t AQuantas,
                     TGeradorAleatorio& ARng) {
    const int32_t centro = CentroDaGrelha(AQuadrado.N);
    std::vector<int32_t> vazias;
    for (int32_t i = 0; i < static_cast<int32_t>(ADados.size()); ++i) {
        if (ADados[static_cast<size_t>(i)] == 0 && i != centro) {
            vazias.push_back(i);
        }
    }
    Baralhar(ARng, vazias);
    const size_t n = std::min(static_cast<size_t>(AQuantas), vazias.size());
    for (size_t k = 0; k < n; ++k) {
        const auto c = static_cast<size_t>(vazias[k]);
        ADados[c] = AQuadrado.Valores[c];
    }
}

} // namespace

int32_t ContarPistas(std::span<const int32_t> ADados) {
    int32_t n = 0;
    for (const int32_t v : ADados) {
        n += v != 0 ? 1 : 0;
    }
    return n;
}

std::array<int32_t, 4> PistasPorQuadrante(std::span<const int32_t> ADados, int32_t N) {
    std::array<int32_t, 4> contagem{};
    const int32_t h = N / 2;
    for (int32_t i = 0; i < static_cast<int32_t>(ADados.size()); ++i) {
        if (ADados[static_cast<size_t>(i)] != 0) {
            const int32_t q = 2 * (i / N >= h ? 1 : 0) + (i % N >= h ? 1 : 0);
            ++contagem[static_cast<size_t>(q)];
        }
    }
    return contagem;
}

bool PistasEquilibradas(std::span<const int32_t> ADados, int32_t N) {
    if (N <= 0) {
        return false;
    }
    const std::array<int32_t, 4> q = PistasPorQuadrante(ADados, N);
    const int32_t total = q[0] + q[1] + q[2] + q[3];
    for (const int32_t n : q) {
        if (n < 1 || n > (total + 1) / 2) {
            return false;
        }
    }
    return true;
}

TGeradorPuzzle::TGeradorPuzzle() : FQuadrados(std::make_unique<TGeradorQuadrados>()) {}

TGeradorPuzzle::~TGeradorPuzzle() {
    FSolvers.clear();
    FQuadrados.reset();
}

TSolverDeducao& TGeradorPuzzle::SolverDoTamanho(int32_t N) {
    auto& solver = FSolvers[N];
    if (!solver) {
        solver = std::make_unique<TSolverDeducao>(N);
    }
    return *solver;
}

std::vector<int32_t> TGeradorPuzzle::MinimizarPistas(TSolverDeducao& ASolver,
                                                     const TSolucao& AQuadrado, bool AComLista,
                                                     TGeradorAleatorio& ARng) {
    const int32_t N = AQuadrado.N;
    const TFamilias completas = FamiliasCompletas(N);
    std::vector<int32_t> ordem(static_cast<size_t>(N * N));
    std::iota(ordem.begin(), ordem.end(), 0);
    Baralhar(ARng, ordem);
    std::vector<int32_t> dados = AQuadrado.Valores;
    for (const int32_t i : ordem) {
        dados[static_cast<size_t>(i)] = 0;
        // The grid before this removal closes; if a law still pins the cell down,
        // the closure refills it first and closes again, so Fecho need not run.
        if (ASolver.FixadaPorLei(dados, i, completas)) {
            continue;
        }
        if (!ASolver.Fecho(dados, completas, AComLista)) {
            dados[static_cast<size_t>(i)] = AQuadrado.Valores[static_cast<size_t>(i)];
        }
    }
    return dados;
}

bool TGeradorPuzzle::TentarPistas(TSolverDeducao& ASolver, const TSolucao& AQuadrado,
                                  int32_t ANivel, TGeradorAleatorio& ARng, TPuzzle& APuzzle) {
    const int32_t N = AQuadrado.N;
    const bool lista = NivelComLista(ANivel);
    std::vector<int32_t> melhor;
    int32_t melhorPistas = 0;
    for (int32_t m = 0; m < NumMinimizacoes(ANivel); ++m) {
        std::vector<int32_t> d = MinimizarPistas(ASolver, AQuadrado, lista, ARng);
        const int32_t pistas = ContarPistas(d);
        if (melhor.empty() || pistas < melhorPistas) {
            melhor = std::move(d);
            melhorPistas = pistas;
        }
    }
    std::vector<int32_t>& dados = melhor;
    const int32_t piso = melhorPistas;
    const int32_t extra = NumPistasAlvo(ANivel, N, piso) - piso;
    if (extra > 0) {
        RecolocarPistas(dados, AQuadrado, extra, ARng);
    }

    if (lista && ASolver.Fecho(dados, FamiliasCompletas(N), false)) {
        return false; // solvable without the list technique: too easy for the level
    }
    if (ASolver.Fecho(dados, FamiliasBasicas(N), lista)) {
        return false; // the basic laws alone solve it
    }
    if (!PistasEquilibradas(dados, N)) {
        return false;
    }
    TResultadoSolver r = ASolver.Resolver(dados, FamiliasCompletas(N), AQuadrado.Valores, lista);
    if (!r.Resolvido) {
        throw EVelt("TentarPistas: o fecho resolveu e o Resolver nao (erro de programa)");
    }
    APuzzle.N = N;
    APuzzle.Nivel = ANivel;
    APuzzle.Solucao = AQuadrado.Valores;
    APuzzle.NumPistas = ContarPistas(dados);
    APuzzle.Dados = std::move(dados);
    APuzzle.NumPistasPiso = piso;
    APuzzle.Resultado = std::move(r);
    return true;
}

TPuzzle TGeradorPuzzle::Gerar(int32_t N, int32_t ANivel, TGeradorAleatorio& ARng,
                              TRegistoChaves& ARegisto) {
    TPuzzle resultado = GerarComRegisto(
        N, ANivel, ARng, [&ARegisto](uint64_t AChave) { return ARegisto.contains(AChave); });
    ARegisto.insert(resultado.Chave);
    return resultado;
}

TPuzzle TGeradorPuzzle::GerarAdiantado(int32_t N, int32_t ANivel, TGeradorAleatorio& ARng,
                                       std::vector<uint64_t>& AConsultadas) {
    return GerarComRegisto(N, ANivel, ARng, [&AConsultadas](uint64_t AChave) {
        AConsultadas.push_back(AChave);
        return false;
    });
}

TPuzzle TGeradorPuzzle::GerarComRegisto(int32_t N, int32_t ANivel, TGeradorAleatorio& ARng,
                                        const TChaveUsada& AUsada) {
    if (ANivel < 1 || ANivel > 5) {
        throw EVelt(Formatar("Gerar: nivel invalido %d", ANivel));
    }
    if (!TamanhoValido(N)) {
        throw EVelt(Formatar("Gerar: tamanho invalido %d", N));
    }
    TSolverDeducao& solver = SolverDoTamanho(N);
    TPuzzle resultado;
    for (int32_t q = 0; q < MAX_QUADRADOS; ++q) {
        TSolucao quadrado;
        uint64_t chave = 0;
        bool novo = false;
        for (int32_t s = 0; s < MAX_SORTEIOS_QUADRADO && !novo; ++s) {
            quadrado = FQuadrados->Gerar(N, ARng);
            chave = ChaveCanonica(quadrado);
            novo = !AUsada(chave);
        }
        if (!novo) {
            throw EVelt(Formatar("Gerar: %d sorteios sem um quadrado novo (N = %d)",
                                 MAX_SORTEIOS_QUADRADO, N));
        }
        for (int32_t t = 0; t < MAX_TENTATIVAS_POR_QUADRADO; ++t) {
            if (TentarPistas(solver, quadrado, ANivel, ARng, resultado)) {
                resultado.Chave = chave;
                return resultado;
            }
        }
    }
    throw EVelt(Formatar("Gerar: nenhum puzzle aceite (N = %d, nivel %d)", N, ANivel));
}

bool TGeradorPuzzle::Validar(const TPuzzle& APuzzle) {
    const int32_t N = APuzzle.N;
    if (!TamanhoValido(N) || APuzzle.Nivel < 1 || APuzzle.Nivel > 5) {
        return false;
    }
    const auto S = static_cast<size_t>(N * N);
    if (APuzzle.Solucao.size() != S || APuzzle.Dados.size() != S) {
        return false;
    }
    const TSolucao quadrado{N, APuzzle.Solucao};
    if (!VerificarPermutacao(quadrado) || !VerificarLeis(quadrado)) {
        return false;
    }
    const int32_t centro = CentroDaGrelha(N);
    if (centro >= 0 && APuzzle.Dados[static_cast<size_t>(centro)] != 0) {
        return false;
    }
    for (size_t i = 0; i < S; ++i) {
        if (APuzzle.Dados[i] != 0 && APuzzle.Dados[i] != APuzzle.Solucao[i]) {
            return false;
        }
    }
    if (ContarPistas(APuzzle.Dados) != APuzzle.NumPistas) {
        return false;
    }
    TSolverDeducao& solver = SolverDoTamanho(N);
    const bool lista = NivelComLista(APuzzle.Nivel);
    if (!solver.Fecho(APuzzle.Dados, FamiliasCompletas(N), lista)) {
        return false;
    }
    if (lista && solver.Fecho(APuzzle.Dados, FamiliasCompletas(N), false)) {
        return false;
    }
    if (solver.Fecho(APuzzle.Dados, FamiliasBasicas(N), lista)) {
        return false;
    }
    return PistasEquilibradas(APuzzle.Dados, N);
}

} // namespace tavrelo
