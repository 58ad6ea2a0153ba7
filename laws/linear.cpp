#include "laws/linear.h"

namespace tavrelo {

namespace {

TEquacao EquacaoDeSoma(int32_t N, const std::vector<int32_t>& ACelulas, int32_t AConstante) {
    TEquacao e;
    e.Termos.reserve(ACelulas.size() + 1);
    for (const int32_t c : ACelulas) {
        e.Termos.push_back(Termo(c, 1));
    }
    e.Termos.push_back(Termo(N * N, -AConstante));
    return e;
}

// Sums wrap like 32-bit machine arithmetic, so any contents give a defined answer.
int32_t Somar(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

bool TemTamanhoCompleto(const TSolucao& S) {
    return S.Valores.size() == static_cast<size_t>(S.N) * static_cast<size_t>(S.N);
}

int32_t SomaLinha(const TSolucao& S, int32_t l) {
    int32_t s = 0;
    for (int32_t c = 0; c < S.N; ++c) {
        s = Somar(s, ValorEm(S, l, c));
    }
    return s;
}

int32_t SomaColuna(const TSolucao& S, int32_t c) {
    int32_t s = 0;
    for (int32_t l = 0; l < S.N; ++l) {
        s = Somar(s, ValorEm(S, l, c));
    }
    return s;
}

// Sum along the diagonal through (0, k), going right (passo 1) or left (passo -1).
int32_t SomaDiagonal(const TSolucao& S, int32_t k, int32_t passo) {
    int32_t s = 0;
    for (int32_t l = 0; l < S.N; ++l) {
        s = Somar(s, ValorEm(S, l, k + passo * l));
    }
    return s;
}

bool LinhasColunasDiagonaisCertas(const TSolucao& S) {
    const int32_t M = SomaMagica(S.N);
    for (int32_t i = 0; i < S.N; ++i) {
        if (SomaLinha(S, i) != M || SomaColuna(S, i) != M) {
            return false;
        }
    }
    for (int32_t k = 0; k < S.N; ++k) {
        if (SomaDiagonal(S, k, 1) != M || SomaDiagonal(S, k, -1) != M) {
            return false;
        }
    }
    return true;
}

} // namespace

TTermo Termo(int32_t AIndice, int32_t ACoef) {
    return TTermo{AIndice, ACoef};
}

std::vector<TEquacao> EquacoesDoQuadrado(int32_t N) {
    if (N % 2 != 0) {
        if (N < 5) {
            throw EVelt("EquacoesDoQuadrado: o ultramagico precisa de ordem impar a partir de 5");
        }
    } else if (N < 4 || N % 4 != 0) {
        throw EVelt("EquacoesDoQuadrado: o mais-perfeito so existe em multiplos de 4");
    }
    const int32_t M = SomaMagica(N);
    const int32_t C = SomaComplementar(N);
    const int32_t h = N / 2;
    auto cel = [N](int32_t l, int32_t c) { return Modulo(l, N) * N + Modulo(c, N); };

    std::vector<TEquacao> leis;
    std::vector<int32_t> cs(static_cast<size_t>(N));
    for (int32_t l = 0; l < N; ++l) {
        for (int32_t c = 0; c < N; ++c) {
            cs[static_cast<size_t>(c)] = cel(l, c);
        }
        leis.push_back(EquacaoDeSoma(N, cs, M));
    }
    for (int32_t c = 0; c < N; ++c) {
        for (int32_t l = 0; l < N; ++l) {
            cs[static_cast<size_t>(l)] = cel(l, c);
        }
        leis.push_back(EquacaoDeSoma(N, cs, M));
    }
    for (int32_t k = 0; k < N; ++k) {
        for (int32_t l = 0; l < N; ++l) {
            cs[static_cast<size_t>(l)] = cel(l, l + k);
        }
        leis.push_back(EquacaoDeSoma(N, cs, M));
        for (int32_t l = 0; l < N; ++l) {
            cs[static_cast<size_t>(l)] = cel(l, k - l + N);
        }
        leis.push_back(EquacaoDeSoma(N, cs, M));
    }
    if (N % 2 != 0) {
        for (int32_t t = 0; t < N * N; ++t) {
            const int32_t o = N * N - 1 - t;
            if (t < o) {
                leis.push_back(EquacaoDeSoma(N, {t, o}, C));
            } else if (t == o) {
                leis.push_back(TEquacao{{Termo(t, 2), Termo(N * N, -C)}});
            }
        }
    } else {
        for (int32_t l = 0; l < N; ++l) {
            for (int32_t c = 0; c < N; ++c) {
                leis.push_back(EquacaoDeSoma(
                    N, {cel(l, c), cel(l + 1, c), cel(l, c + 1), cel(l + 1, c + 1)}, 2 * C));
                if (l < h) {
                    leis.push_back(EquacaoDeSoma(N, {cel(l, c), cel(l + h, c + h)}, C));
                }
            }
        }
    }
    return leis;
}

bool VerificarPermutacao(const TSolucao& ASolucao) {
    const int32_t N = ASolucao.N;
    if (N < 1 || !TemTamanhoCompleto(ASolucao)) {
        return false;
    }
    const int64_t S = static_cast<int64_t>(N) * N;
    std::vector<bool> visto(static_cast<size_t>(S) + 1, false);
    for (const int32_t v : ASolucao.Valores) {
        if (v < 1 || v > S || visto[static_cast<size_t>(v)]) {
            return false;
        }
        visto[static_cast<size_t>(v)] = true;
    }
    return true;
}

bool VerificarLeis(const TSolucao& ASolucao) {
    return ASolucao.N % 2 != 0 ? VerificarUltramagico(ASolucao) : VerificarMaisPerfeito(ASolucao);
}

bool VerificarMaisPerfeito(const TSolucao& ASolucao) {
    const TSolucao& S = ASolucao;
    const int32_t N = S.N;
    if (N < 4 || N % 4 != 0 || !TemTamanhoCompleto(S)) {
        return false;
    }
    if (!LinhasColunasDiagonaisCertas(S)) {
        return false;
    }
    const int32_t C = SomaComplementar(N);
    const int32_t h = N / 2;
    for (int32_t i = 0; i < N; ++i) {
        for (int32_t j = 0; j < N; ++j) {
            const int32_t bloco = Somar(Somar(ValorEm(S, i, j), ValorEm(S, i + 1, j)),
                                        Somar(ValorEm(S, i, j + 1), ValorEm(S, i + 1, j + 1)));
            if (bloco != 2 * C) {
                return false;
            }
        }
    }
    for (int32_t i = 0; i < N; ++i) {
        for (int32_t j = 0; j < N; ++j) {
            if (Somar(ValorEm(S, i, j), ValorEm(S, i + h, j + h)) != C) {
                return false;
            }
        }
    }
    return true;
}

bool VerificarUltramagico(const TSolucao& ASolucao) {
    const TSolucao& S = ASolucao;
    const int32_t N = S.N;
    if (N < 5 || N % 2 == 0 || !TemTamanhoCompleto(S)) {
        return false;
    }
    if (!LinhasColunasDiagonaisCertas(S)) {
        return false;
    }
    const int32_t C = SomaComplementar(N);
    for (int32_t i = 0; i < N; ++i) {
        for (int32_t j = 0; j < N; ++j) {
            if (Somar(ValorEm(S, i, j), ValorEm(S, N - 1 - i, N - 1 - j)) != C) {
                return false;
            }
        }
    }
    return true;
}

} // namespace tavrelo
