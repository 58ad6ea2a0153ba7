#include "generation/niveis.h"

#include "core/tipos.h"

namespace tavrelo {

bool NivelComLista(int32_t ANivel) {
    return ANivel == 4 || ANivel == 5;
}

int32_t NumMinimizacoes(int32_t ANivel) {
    return ANivel == 3 || ANivel == 5 ? 4 : 1;
}

int32_t PercentagemPar(int32_t ANivel) {
    switch (ANivel) {
    case 1:
        return 50;
    case 2:
        return 25;
    default:
        return 0;
    }
}

int32_t PercentagemImpar(int32_t ANivel) {
    switch (ANivel) {
    case 1:
        return 25;
    case 2:
    case 4:
        return 10;
    default:
        return 0;
    }
}

int32_t LimiteClassico(int32_t N) {
    switch (N) {
    case 8:
        return 23;
    case 12:
        return 59;
    case 16:
        return 111;
    default:
        throw EVelt(Formatar("LimiteClassico: tamanho invalido (%d)", N));
    }
}

int32_t PistasExtraComLista(int32_t ANivel, int32_t N) {
    if (ANivel != 4) {
        return 0;
    }
    switch (N) {
    case 8:
        return 3;
    case 12:
        return 5;
    case 16:
        return 7;
    default:
        throw EVelt(Formatar("PistasExtraComLista: tamanho invalido (%d)", N));
    }
}

int32_t NumPistasAlvo(int32_t ANivel, int32_t N, int32_t APiso) {
    if (N % 2 != 0) {
        return APiso + PercentagemImpar(ANivel) * (N * N - APiso - 1) / 100;
    }
    if (NivelComLista(ANivel)) {
        return APiso + PistasExtraComLista(ANivel, N);
    }
    const int32_t t = N + PercentagemPar(ANivel) * (LimiteClassico(N) - N) / 100;
    return t > APiso ? t : APiso;
}

bool NivelDisponivel(int32_t ANivel, int32_t N) {
    const int32_t i = IndiceDoTamanho(N);
    if (i < 0 || ANivel < 0 || ANivel > 7) {
        return false;
    }
    return ((NiveisDoTamanho[static_cast<size_t>(i)] >> ANivel) & 1) != 0;
}

int32_t NumNiveisDisponiveis(int32_t N) {
    int32_t n = 0;
    for (int32_t k = 1; k <= 5; ++k) {
        n += NivelDisponivel(k, N) ? 1 : 0;
    }
    return n;
}

bool ProgressivaDisponivel(int32_t N) {
    return NumNiveisDisponiveis(N) == 5;
}

std::vector<int32_t> PlanoProgressivoDoTamanho(int32_t ANumPuzzles, int32_t N) {
    const int32_t c = NumNiveisDisponiveis(N);
    if (c == 0) {
        throw EVelt(Formatar("PlanoProgressivoDoTamanho: nenhum nivel disponivel em %d", N));
    }
    std::vector<int32_t> contagens(5, 0);
    int32_t i = 0;
    for (int32_t k = 1; k <= 5; ++k) {
        if (!NivelDisponivel(k, N)) {
            continue;
        }
        contagens[static_cast<size_t>(k - 1)] = ANumPuzzles / c + (i < ANumPuzzles % c ? 1 : 0);
        ++i;
    }
    return contagens;
}

} // namespace tavrelo
