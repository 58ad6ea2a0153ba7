#include "generation/geradores.h"

#include <numeric>
#include <utility>

namespace tavrelo {

namespace {

size_t Pos(int32_t i) {
    return static_cast<size_t>(i);
}

bool PrimoCom(int32_t a, int32_t N) {
    return std::gcd(Modulo(a, N), N) == 1;
}

std::vector<int32_t> Identidade(int32_t n) {
    std::vector<int32_t> p(Pos(n));
    std::iota(p.begin(), p.end(), 0);
    return p;
}

std::vector<int32_t> PermutacaoAleatoria(int32_t n, TGeradorAleatorio& ARng) {
    std::vector<int32_t> p = Identidade(n);
    Baralhar(ARng, p);
    return p;
}

// n signs, each +1 or -1, drawn in order.
std::vector<int32_t> SinaisAleatorios(int32_t n, TGeradorAleatorio& ARng) {
    std::vector<int32_t> s(Pos(n));
    for (int32_t& sinal : s) {
        sinal = 1 - 2 * ARng.Limite(2);
    }
    return s;
}

std::vector<int32_t> QuadradoParAleatorio(int32_t N, const std::vector<TDesenho>& ADesenhos,
                                          TGeradorAleatorio& ARng) {
    const int32_t n = N / 2;
    const TDesenho& d = ADesenhos[Pos(ARng.Limite(static_cast<int32_t>(ADesenhos.size())))];
    const std::vector<int32_t> PX = PermutacaoAleatoria(n, ARng);
    const std::vector<int32_t> SX = SinaisAleatorios(n, ARng);
    const std::vector<int32_t> PY = PermutacaoAleatoria(n, ARng);
    const std::vector<int32_t> SY = SinaisAleatorios(n, ARng);
    return MontarQuadradoPar(N, d.X, d.Y, PX, SX, PY, SY);
}

// A permutation s of 0..N-1 (N odd) with s(N-1-k) = N-1-s(k): it fixes the middle digit and
// maps complementary digits to complementary digits.
std::vector<int32_t> PermutacaoSimetrica(int32_t N, TGeradorAleatorio& ARng) {
    const int32_t h = (N - 1) / 2;
    const std::vector<int32_t> L = PermutacaoAleatoria(h, ARng);
    std::vector<int32_t> sigma(Pos(N));
    sigma[Pos(h)] = h;
    for (int32_t k = 0; k < h; ++k) {
        const int32_t a = L[Pos(k)];
        const int32_t x = ARng.Limite(2) == 1 ? N - 1 - a : a;
        sigma[Pos(k)] = x;
        sigma[Pos(N - 1 - k)] = N - 1 - x;
    }
    return sigma;
}

// Digit(r, c) = (a*r + b*c + o) mod N for each of the two base-N digits of a cell.
struct TCoeficientes {
    int32_t a1 = 0, b1 = 0, a2 = 0, b2 = 0;
};

// Every row, column and (broken) diagonal sees each digit once exactly when these are units.
bool CoeficientesAceites(const TCoeficientes& K, int32_t N) {
    for (const int32_t v : {K.a1, K.b1, K.a1 + K.b1, K.a1 - K.b1, K.a2, K.b2, K.a2 + K.b2,
                            K.a2 - K.b2, K.a1 * K.b2 - K.b1 * K.a2}) {
        if (!PrimoCom(v, N)) {
            return false;
        }
    }
    return true;
}

TCoeficientes SortearCoeficientes(int32_t N, TGeradorAleatorio& ARng) {
    TCoeficientes K;
    do {
        K.a1 = ARng.Limite(N);
        K.b1 = ARng.Limite(N);
        K.a2 = ARng.Limite(N);
        K.b2 = ARng.Limite(N);
    } while (!CoeficientesAceites(K, N));
    return K;
}

std::vector<int32_t> QuadradoImparAleatorio(int32_t N, TGeradorAleatorio& ARng) {
    const TCoeficientes K = SortearCoeficientes(N, ARng);
    // The offsets put the middle digit on the centre cell.
    const int32_t m = (N + 1) / 2;
    const int32_t o1 = Modulo(m * (K.a1 + K.b1 - 1), N);
    const int32_t o2 = Modulo(m * (K.a2 + K.b2 - 1), N);
    const std::vector<int32_t> sigma1 = PermutacaoSimetrica(N, ARng);
    const std::vector<int32_t> sigma2 = PermutacaoSimetrica(N, ARng);
    std::vector<int32_t> celulas(Pos(N * N));
    for (int32_t r = 0; r < N; ++r) {
        for (int32_t c = 0; c < N; ++c) {
            const int32_t alto = sigma1[Pos((K.a1 * r + K.b1 * c + o1) % N)];
            const int32_t baixo = sigma2[Pos((K.a2 * r + K.b2 * c + o2) % N)];
            celulas[Pos(r * N + c)] = N * alto + baixo + 1;
        }
    }
    return celulas;
}

// The input cell (r, c) that symmetry t puts at (i, j).
std::pair<int32_t, int32_t> Origem(int32_t t, int32_t N, int32_t i, int32_t j) {
    const int32_t u = N - 1;
    switch (t) {
    case 1:
        return {j, u - i};
    case 2:
        return {u - i, u - j};
    case 3:
        return {u - j, i};
    case 4:
        return {j, i};
    case 5:
        return {u - i, j};
    case 6:
        return {u - j, u - i};
    case 7:
        return {i, u - j};
    default:
        return {i, j};
    }
}

// Whether T moved cyclically by (dr, dc) is lexicographically below AMelhor. Reads the
// shifted cells in place and stops at the first cell that differs.
bool DeslocadoMenor(const std::vector<int32_t>& T, int32_t N, int32_t dr, int32_t dc,
                    const std::vector<int32_t>& AMelhor) {
    size_t k = 0;
    for (int32_t i = 0; i < N; ++i) {
        const int32_t* linha = T.data() + Pos(((i + dr) % N) * N);
        for (int32_t j = 0; j < N; ++j, ++k) {
            const int32_t v = linha[(j + dc) % N];
            if (v != AMelhor[k]) {
                return v < AMelhor[k];
            }
        }
    }
    return false;
}

void CopiarDeslocado(const std::vector<int32_t>& T, int32_t N, int32_t dr, int32_t dc,
                     std::vector<int32_t>& ADestino) {
    ADestino.resize(T.size());
    size_t k = 0;
    for (int32_t i = 0; i < N; ++i) {
        for (int32_t j = 0; j < N; ++j, ++k) {
            ADestino[k] = T[Pos(((i + dr) % N) * N + (j + dc) % N)];
        }
    }
}

// 64-bit FNV-1a, one step per cell value.
uint64_t HashDosValores(const std::vector<int32_t>& AValores) {
    uint64_t h = uint64_t{0xCBF29CE484222325};
    for (const int32_t v : AValores) {
        h = (h ^ static_cast<uint64_t>(static_cast<int64_t>(v))) * uint64_t{0x100000001B3};
    }
    return h;
}

} // namespace

void Baralhar(TGeradorAleatorio& ARng, std::span<int32_t> AValores) {
    for (size_t i = AValores.size(); i-- > 1;) {
        const size_t j = Pos(ARng.Limite(static_cast<int32_t>(i + 1)));
        std::swap(AValores[i], AValores[j]);
    }
}

std::vector<int32_t> AplicarSimetria(std::span<const int32_t> AValores, int32_t N, int32_t t,
                                     bool AComplemento) {
    const int32_t C = SomaComplementar(N);
    std::vector<int32_t> resultado(Pos(N * N));
    for (int32_t i = 0; i < N; ++i) {
        for (int32_t j = 0; j < N; ++j) {
            const auto [r, c] = Origem(t, N, i, j);
            const int32_t v = AValores[Pos(r * N + c)];
            resultado[Pos(i * N + j)] = AComplemento ? C - v : v;
        }
    }
    return resultado;
}

std::vector<int32_t> ArranjoCanonico(const TSolucao& ASolucao) {
    const int32_t N = ASolucao.N;
    // Only the even orders' laws all wrap round the edges, so only they admit cyclic shifts.
    const int32_t R = N % 2 == 0 ? N - 1 : 0;
    std::vector<int32_t> melhor;
    for (int32_t t = 0; t < 8; ++t) {
        for (const bool complemento : {false, true}) {
            const std::vector<int32_t> T = AplicarSimetria(ASolucao.Valores, N, t, complemento);
            for (int32_t dr = 0; dr <= R; ++dr) {
                for (int32_t dc = 0; dc <= R; ++dc) {
                    if (melhor.empty() || DeslocadoMenor(T, N, dr, dc, melhor)) {
                        CopiarDeslocado(T, N, dr, dc, melhor);
                    }
                }
            }
        }
    }
    return melhor;
}

uint64_t ChaveCanonica(const TSolucao& ASolucao) {
    return HashDosValores(ArranjoCanonico(ASolucao));
}

const std::vector<TDesenho>& TGeradorQuadrados::Desenhos(int32_t N) {
    const auto it = FDesenhos.find(N);
    if (it != FDesenhos.end()) {
        return it->second;
    }
    std::vector<TDesenho> desenhos;
    for (const std::string& linha : LinhasDoBanco(N)) {
        desenhos.push_back(LerDesenho(linha));
    }
    return FDesenhos.emplace(N, std::move(desenhos)).first->second;
}

int32_t TGeradorQuadrados::NumDesenhos(int32_t N) {
    return static_cast<int32_t>(Desenhos(N).size());
}

TSolucao TGeradorQuadrados::QuadradoDoDesenho(int32_t N, int32_t AIndice) {
    const std::vector<TDesenho>& desenhos = Desenhos(N);
    if (AIndice < 0 || AIndice >= static_cast<int32_t>(desenhos.size())) {
        throw EVelt("QuadradoDoDesenho: indice fora do intervalo");
    }
    const TDesenho& d = desenhos[Pos(AIndice)];
    const std::vector<int32_t> identidade = Identidade(N / 2);
    const std::vector<int32_t> positivos(Pos(N / 2), 1);
    return TSolucao{N,
                    MontarQuadradoPar(N, d.X, d.Y, identidade, positivos, identidade, positivos)};
}

TSolucao TGeradorQuadrados::Gerar(int32_t N, TGeradorAleatorio& ARng) {
    if (!TamanhoValido(N)) {
        throw EVelt(Formatar("Gerar: tamanho invalido (%d)", N));
    }
    const std::vector<int32_t> base =
        N % 2 != 0 ? QuadradoImparAleatorio(N, ARng) : QuadradoParAleatorio(N, Desenhos(N), ARng);
    const int32_t t = ARng.Limite(8);
    const bool complemento = ARng.Limite(2) == 1;
    return TSolucao{N, AplicarSimetria(base, N, t, complemento)};
}

TSolucao TGeradorQuadrados::GerarNovo(int32_t N, TGeradorAleatorio& ARng, TRegistoChaves& ARegisto,
                                      int32_t AMaxTentativas) {
    for (int32_t i = 0; i < AMaxTentativas; ++i) {
        TSolucao S = Gerar(N, ARng);
        if (ARegisto.insert(ChaveCanonica(S)).second) {
            return S;
        }
    }
    throw EVelt(
        Formatar("GerarNovo: %d sorteios sem um quadrado novo (N = %d)", AMaxTentativas, N));
}

} // namespace tavrelo
