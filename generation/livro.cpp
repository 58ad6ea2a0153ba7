#include "generation/livro.h"

#include "core/random.h"
#include "generation/niveis.h"

namespace tavrelo {

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

TLivro TGeradorLivro::Gerar(const TConfigLivro& AConfig, const TProgressoLivro& AProgresso) {
    ValidarConfiguracao(AConfig);
    const std::vector<int32_t> plano = PlanoDoLivro(AConfig);
    const auto total = static_cast<int32_t>(plano.size());

    TLivro livro;
    livro.Config = AConfig;
    livro.Codigo = CodigoDoLivro(AConfig.Semente);
    livro.Plano = plano;

    TGeradorPuzzle gerador;
    TRegistoChaves registo;
    bool cancelar = false;
    for (int32_t p = 0; p < total && !cancelar; ++p) {
        const uint32_t sub = SubSementeDoPuzzle(AConfig.Semente, p);
        TGeradorAleatorio rng(sub);
        const int32_t nivel = plano[static_cast<size_t>(p)];
        livro.Puzzles.push_back({p, sub, gerador.Gerar(AConfig.N, nivel, rng, registo)});
        if (AProgresso) {
            const auto feitos = static_cast<int32_t>(livro.Puzzles.size());
            AProgresso(feitos, total,
                       Formatar("A gerar o puzzle %d de %d (nível %d)", feitos, total, nivel),
                       cancelar);
        }
    }
    livro.Cancelado = cancelar && static_cast<int32_t>(livro.Puzzles.size()) < total;
    if (!livro.Cancelado) {
        for (const TPuzzleDoLivro& p : livro.Puzzles) {
            if (!gerador.Validar(p.Puzzle)) {
                throw EVelt(Formatar("O puzzle %d não passou a validação final", p.Posicao + 1));
            }
        }
    }
    return livro;
}

} // namespace tavrelo
