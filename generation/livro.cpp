#include "generation/livro.h"

#include "core/random.h"
#include "generation/adiantados.h"
#include "generation/niveis.h"

#include <algorithm>
#include <memory>
#include <new>

namespace tavrelo {

namespace {

// The puzzles of one book committed in book order: each comes out as if made in its turn,
// after every earlier one was registered.
class TPuzzlesDoLivro {
  public:
    TPuzzlesDoLivro(const TConfigLivro& AConfig, const std::vector<int32_t>& APlano,
                    const TParalelo& AParalelo)
        : FConfig(AConfig), FPlano(APlano) {
        if (AParalelo.Trabalhadores > 1) {
            try {
                FAdiantados =
                    std::make_unique<TPuzzlesAdiantados>(AConfig, APlano, AParalelo, FGerador);
            } catch (const std::bad_alloc&) {
                // No memory to start helpers: the book is made here, on this thread alone.
            }
            if (FAdiantados && FAdiantados->Ajudantes() == 0) {
                FAdiantados.reset(); // no helper thread could be had
            }
        }
    }

    // The puzzle at APosicao, and whether it passes Validar. When the calling thread runs
    // short of memory while helpers run, the helpers go, and with them the memory they and
    // the puzzles they made ahead held; the book goes on here, each puzzle made in its turn,
    // and is the same book. Only this thread running short on its own ends it.
    TPuzzle Confirmar(int32_t APosicao, bool& AValido) {
        if (FAdiantados) {
            try {
                return ConfirmarAdiantado(APosicao, AValido);
            } catch (const std::bad_alloc&) {
                FAdiantados.reset();
            }
        }
        return FazerNaVez(APosicao, AValido);
    }

    int32_t Refeitos() const { return FRefeitos; }

  private:
    TPuzzle ConfirmarAdiantado(int32_t APosicao, bool& AValido) {
        TAdiantado feito = FAdiantados->Receber(APosicao);
        if (std::any_of(feito.Consultadas.begin(), feito.Consultadas.end(),
                        [this](uint64_t AChave) { return FRegisto.contains(AChave); })) {
            ++FRefeitos;
            return FazerNaVez(APosicao, AValido);
        }
        if (feito.Erro) {
            std::rethrow_exception(feito.Erro);
        }
        FRegisto.insert(feito.Puzzle.Chave);
        AValido = feito.Valido;
        return std::move(feito.Puzzle);
    }

    TPuzzle FazerNaVez(int32_t APosicao, bool& AValido) {
        TGeradorAleatorio rng(SubSementeDoPuzzle(FConfig.Semente, APosicao));
        TPuzzle puzzle =
            FGerador.Gerar(FConfig.N, FPlano[static_cast<size_t>(APosicao)], rng, FRegisto);
        try {
            AValido = FGerador.Validar(puzzle);
        } catch (...) {
            // Made again after this, the puzzle must find its square as free as it was.
            FRegisto.erase(puzzle.Chave);
            throw;
        }
        return puzzle;
    }

    const TConfigLivro& FConfig;
    const std::vector<int32_t>& FPlano;
    TGeradorPuzzle FGerador;
    TRegistoChaves FRegisto;
    int32_t FRefeitos = 0;
    // Declared last, so gone first: its helpers stop before the generator it borrows goes.
    std::unique_ptr<TPuzzlesAdiantados> FAdiantados;
};

} // namespace

void ValidarConfiguracao(const TConfigLivro& AConfig) {
    if (!TamanhoValido(AConfig.N)) {
        throw EVelt(Formatar("Tamanho de grelha inválido: %d", AConfig.N));
    }
    if (AConfig.NumPuzzles < MIN_PUZZLES || AConfig.NumPuzzles > MAX_PUZZLES) {
        throw EVelt(Formatar("Número de puzzles inválido: %d (de %d a %d)", AConfig.NumPuzzles,
                             MIN_PUZZLES, MAX_PUZZLES));
    }
    if (AConfig.Nivel < 0 || AConfig.Nivel > 5) {
        throw EVelt(
            Formatar("Nível inválido: %d (0 é a Progressiva, de 1 a %d)", AConfig.Nivel, 5));
    }
    if (AConfig.Nivel != 0 && !NivelDisponivel(AConfig.Nivel, AConfig.N)) {
        throw EVelt(
            Formatar("O nível %d não existe em %dx%d", AConfig.Nivel, AConfig.N, AConfig.N));
    }
    if (AConfig.Nivel == 0 && !ProgressivaDisponivel(AConfig.N)) {
        throw EVelt(Formatar("A Progressiva não existe em %dx%d", AConfig.N, AConfig.N));
    }
}

std::vector<int32_t> PlanoDoLivro(const TConfigLivro& AConfig) {
    ValidarConfiguracao(AConfig);
    if (AConfig.Nivel != 0) {
        return std::vector<int32_t>(static_cast<size_t>(AConfig.NumPuzzles), AConfig.Nivel);
    }
    const std::vector<int32_t> contagens = PlanoProgressivoDoTamanho(AConfig.NumPuzzles, AConfig.N);
    std::vector<int32_t> plano;
    plano.reserve(static_cast<size_t>(AConfig.NumPuzzles));
    for (int32_t nivel = 1; nivel <= 5; ++nivel) {
        plano.insert(plano.end(), static_cast<size_t>(contagens[static_cast<size_t>(nivel - 1)]),
                     nivel);
    }
    return plano;
}

std::string CodigoDoLivro(uint32_t ASemente) {
    return Formatar("%.8X", ASemente);
}

uint32_t SubSementeDoPuzzle(uint32_t ASemente, int32_t APosicao) {
    return DerivarSemente(ASemente, static_cast<uint32_t>(APosicao));
}

TLivro TGeradorLivro::Gerar(const TConfigLivro& AConfig, const TProgressoLivro& AProgresso,
                            const TParalelo& AParalelo) {
    ValidarConfiguracao(AConfig);
    const std::vector<int32_t> plano = PlanoDoLivro(AConfig);
    const auto total = static_cast<int32_t>(plano.size());
    FRefeitos = 0;

    TLivro livro;
    livro.Config = AConfig;
    livro.Codigo = CodigoDoLivro(AConfig.Semente);
    livro.Plano = plano;
    livro.Puzzles.reserve(plano.size());

    // Each puzzle is validated as it is committed; the verdicts are read, in book order,
    // only for a book that was not cancelled.
    std::vector<bool> validos;
    validos.reserve(plano.size());
    TPuzzlesDoLivro puzzles(AConfig, plano, AParalelo);
    bool cancelar = false;
    for (int32_t p = 0; p < total && !cancelar; ++p) {
        bool valido = false;
        TPuzzle puzzle = puzzles.Confirmar(p, valido);
        livro.Puzzles.push_back({p, SubSementeDoPuzzle(AConfig.Semente, p), std::move(puzzle)});
        validos.push_back(valido);
        FRefeitos = puzzles.Refeitos();
        if (AParalelo.AoConfirmar) {
            AParalelo.AoConfirmar(livro.Puzzles.back());
        }
        if (AProgresso) {
            const auto feitos = static_cast<int32_t>(livro.Puzzles.size());
            AProgresso(feitos, total,
                       Formatar("A gerar o puzzle %d de %d (nível %d)", feitos, total,
                                plano[static_cast<size_t>(p)]),
                       cancelar);
        }
    }
    livro.Cancelado = cancelar && static_cast<int32_t>(livro.Puzzles.size()) < total;
    if (!livro.Cancelado) {
        const auto invalido = std::find(validos.begin(), validos.end(), false);
        if (invalido != validos.end()) {
            throw EVelt(Formatar("O puzzle %d não passou a validação final",
                                 static_cast<int32_t>(invalido - validos.begin()) + 1));
        }
    }
    return livro;
}

} // namespace tavrelo
