#include "laws/solver.h"

#include "core/bits.h"
#include "laws/linear.h"

#include <algorithm>
#include <bit>
#include <string>

namespace tavrelo {

namespace {

using enum TFamilia;

constexpr TFamilias CompletasImpar{lfLinha, lfDiagPrincipal, lfDiagQuebrada, lfPar};
constexpr TFamilias CompletasPar{lfLinha, lfDiagPrincipal, lfDiagQuebrada, lfBloco, lfMeia};
constexpr TFamilias BasicasImpar{lfLinha, lfDiagPrincipal};
constexpr TFamilias BasicasPar{lfLinha, lfDiagPrincipal, lfMeia};

// Grid arithmetic wraps like 32-bit machine integers, so that any contents of a
// grid, however tampered, give a defined answer.
int32_t Soma32(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t Produto32(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
int32_t Diferenca32(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// d / e with truncation, defined for every d and e in {1, 2} (the only coefficients).
bool DivisaoExata(int32_t d, int32_t e, int32_t& v) {
    if (e == 0 || (e == -1 && d == INT32_MIN) || d % e != 0) {
        return false;
    }
    v = d / e;
    return true;
}

TFamilia FamiliaDaLei(int32_t N, int32_t p, size_t ANumCelulas) {
    if (p < 2 * N) {
        return TFamilia::lfLinha;
    }
    if (p < 4 * N) {
        const int32_t d = p - 2 * N;
        const int32_t k = d / 2;
        const bool principal = (d % 2 == 0 && k == 0) || (d % 2 == 1 && k == N - 1);
        return principal ? TFamilia::lfDiagPrincipal : TFamilia::lfDiagQuebrada;
    }
    if (N % 2 != 0) {
        return TFamilia::lfPar;
    }
    return ANumCelulas == 4 ? TFamilia::lfBloco : TFamilia::lfMeia;
}

// A set of APalavras words, reversed bit for bit: bit T - v for each member v.
void InverterConjunto(const uint64_t* AConjunto, int32_t APalavras, uint64_t* AInvertido) {
    for (int32_t w = 0; w < APalavras; ++w) {
        AInvertido[APalavras - 1 - w] = InverterBits(AConjunto[w]);
    }
}

// Value sets: W words a set, value v at bit v % 64 of word v / 64. The only member of the set
// from word APrimeira of a table, or 0 when it is empty or has two or more members.
int32_t ValorUnico(const uint64_t* ATabela, int32_t APrimeira, int32_t APalavras) {
    int32_t valor = 0;
    for (int32_t w = 0; w < APalavras; ++w) {
        const uint64_t x = ATabela[APrimeira + w];
        if (x == 0) {
            continue;
        }
        if (valor != 0 || (x & (x - 1)) != 0) {
            return 0;
        }
        valor = w * 64 + std::countr_zero(x);
    }
    return valor;
}

} // namespace

TFamilias FamiliasCompletas(int32_t N) {
    return N % 2 != 0 ? CompletasImpar : CompletasPar;
}

TFamilias FamiliasBasicas(int32_t N) {
    return N % 2 != 0 ? BasicasImpar : BasicasPar;
}

// Scratch space of one call, kept in the solver so that the inner loop of puzzle
// generation allocates nothing. A solver serves one thread at a time.
struct TSolverDeducao::TTrabalho {
    std::vector<int32_t> Grelha;
    std::vector<int32_t> Lacunas; // empty cells of each law; -1 = law not in use
    std::vector<int32_t> Somas;   // coefficient × value over the filled cells
    std::vector<int32_t> Pilha;
    std::vector<uint64_t> Candidatos;
    std::vector<uint64_t> Invertidos;     // each candidate set bit-reversed
    std::vector<uint64_t> Novo;           // two sets being built
    std::vector<uint64_t> Lista;          // the numbers not yet in the grid
    std::vector<uint64_t> ListaInvertida; // the list bit-reversed
    std::vector<uint32_t> EmPar;          // cell in an open pair of call number Chamada
    uint32_t Chamada = 0;
    std::vector<int32_t> PareA, PareB, PareResto; // the open two-cell laws
    std::vector<int32_t> Versao;                  // changes of each cell's set in this narrowing
    std::vector<int32_t> VistoA, VistoB;          // the versions each pair law last looked at
    std::vector<uint8_t> Marcas;                  // cells filled in the current round of Resolver
    int32_t NaPilha = 0;
    int32_t Vazias = 0;
};

TSolverDeducao::TSolverDeducao(int32_t N) {
    const std::vector<TEquacao> equacoes = EquacoesDoQuadrado(N);
    FN = N;
    FPalavras = N * N / 64 + 1;
    const int32_t S = N * N;
    FLeis.resize(equacoes.size());
    for (size_t p = 0; p < equacoes.size(); ++p) {
        TLei& lei = FLeis[p];
        for (const TTermo& t : equacoes[p].Termos) {
            if (t.Indice == S) {
                lei.Constante = -t.Coef;
            } else {
                lei.Celulas.push_back(t.Indice);
                lei.Coefs.push_back(t.Coef);
            }
        }
        lei.Familia = FamiliaDaLei(N, static_cast<int32_t>(p), lei.Celulas.size());
    }
    FPorCelula.assign(static_cast<size_t>(S), {});
    FCoefPorCelula.assign(static_cast<size_t>(S), {});
    for (size_t p = 0; p < FLeis.size(); ++p) {
        const TLei& lei = FLeis[p];
        for (size_t k = 0; k < lei.Celulas.size(); ++k) {
            const auto c = static_cast<size_t>(lei.Celulas[k]);
            FPorCelula[c].push_back(static_cast<int32_t>(p));
            FCoefPorCelula[c].push_back(lei.Coefs[k]);
        }
    }
    ConstruirTabelasPlanas();
    FTrabalho = std::make_unique<TTrabalho>();
    TTrabalho& t = *FTrabalho;
    const auto L = FLeis.size();
    t.Grelha.resize(static_cast<size_t>(S));
    t.Lacunas.resize(L);
    t.Somas.resize(L);
    t.Pilha.resize(L);
    t.Candidatos.resize(static_cast<size_t>(S) * static_cast<size_t>(FPalavras));
    t.Invertidos.resize(t.Candidatos.size());
    t.Novo.resize(2 * static_cast<size_t>(FPalavras));
    t.Lista.resize(static_cast<size_t>(FPalavras));
    t.ListaInvertida.resize(static_cast<size_t>(FPalavras));
    t.EmPar.resize(static_cast<size_t>(S));
    t.PareA.reserve(L);
    t.PareB.reserve(L);
    t.PareResto.reserve(L);
    t.Marcas.resize(static_cast<size_t>(S));
    t.Versao.resize(static_cast<size_t>(S));
    t.VistoA.reserve(L);
    t.VistoB.reserve(L);
}

TSolverDeducao::~TSolverDeducao() = default;

void TSolverDeducao::ConstruirTabelasPlanas() {
    for (const TLei& lei : FLeis) {
        FInicio.push_back(static_cast<int32_t>(FCelulas.size()));
        FCelulas.insert(FCelulas.end(), lei.Celulas.begin(), lei.Celulas.end());
        FCoefs.insert(FCoefs.end(), lei.Coefs.begin(), lei.Coefs.end());
        FConstantes.push_back(lei.Constante);
        FFamilias.push_back(lei.Familia);
    }
    FInicio.push_back(static_cast<int32_t>(FCelulas.size()));
}

bool TSolverDeducao::LeiAtiva(int32_t ALei, TFamilias AFamilias) const {
    return AFamilias.Contem(FFamilias[static_cast<size_t>(ALei)]);
}

// Counters of every law for the working grid, and the laws with a single gap
// pushed in increasing order. Counting from the filled cells through the per-cell
// index costs nine updates a clue, less than reading every law when clues are few;
// the sums wrap, so their order does not matter.
void TSolverDeducao::ContarLacunas(TFamilias AFamilias) {
    TTrabalho& t = Trabalho();
    const int32_t L = NumLeis();
    for (int32_t j = 0; j < L; ++j) {
        const auto jj = static_cast<size_t>(j);
        t.Lacunas[jj] = LeiAtiva(j, AFamilias) ? FInicio[jj + 1] - FInicio[jj] : -1;
        t.Somas[jj] = 0;
    }
    const int32_t S = FN * FN;
    for (int32_t c = 0; c < S; ++c) {
        const int32_t v = t.Grelha[static_cast<size_t>(c)];
        if (v == 0) {
            continue;
        }
        const auto& leis = FPorCelula[static_cast<size_t>(c)];
        const auto& coefs = FCoefPorCelula[static_cast<size_t>(c)];
        for (size_t i = 0; i < leis.size(); ++i) {
            const auto k = static_cast<size_t>(leis[i]);
            if (t.Lacunas[k] >= 0) {
                --t.Lacunas[k];
                t.Somas[k] = Soma32(t.Somas[k], Produto32(v, coefs[i]));
            }
        }
    }
    EmpilharLacunasUnicas();
}

void TSolverDeducao::EmpilharLacunasUnicas() {
    TTrabalho& t = Trabalho();
    t.NaPilha = 0;
    for (int32_t j = 0; j < NumLeis(); ++j) {
        if (t.Lacunas[static_cast<size_t>(j)] == 1) {
            t.Pilha[static_cast<size_t>(t.NaPilha++)] = j;
        }
    }
}

// Writes v into the empty cell x and updates the counters of the laws through it;
// with AEmpilhar, a law left with one gap goes on the stack.
void TSolverDeducao::Escrever(int32_t x, int32_t v, bool AEmpilhar) {
    TTrabalho& t = Trabalho();
    t.Grelha[static_cast<size_t>(x)] = v;
    --t.Vazias;
    const auto& leis = FPorCelula[static_cast<size_t>(x)];
    const auto& coefs = FCoefPorCelula[static_cast<size_t>(x)];
    for (size_t i = 0; i < leis.size(); ++i) {
        const auto k = static_cast<size_t>(leis[i]);
        if (t.Lacunas[k] < 0) {
            continue;
        }
        --t.Lacunas[k];
        t.Somas[k] = Soma32(t.Somas[k], Produto32(v, coefs[i]));
        if (AEmpilhar && t.Lacunas[k] == 1) {
            t.Pilha[static_cast<size_t>(t.NaPilha++)] = static_cast<int32_t>(k);
        }
    }
}

// Single-gap closure from the counters and stack left by ContarLacunas, last in,
// first out; false on a non-integer or out-of-range value.
bool TSolverDeducao::Propagar() {
    TTrabalho& t = Trabalho();
    const int32_t S = FN * FN;
    while (t.NaPilha > 0) {
        const auto c = static_cast<size_t>(t.Pilha[static_cast<size_t>(--t.NaPilha)]);
        if (t.Lacunas[c] != 1) {
            continue;
        }
        int32_t x = -1;
        int32_t e = 0;
        for (int32_t k = FInicio[c]; k < FInicio[c + 1]; ++k) {
            if (t.Grelha[static_cast<size_t>(FCelulas[static_cast<size_t>(k)])] == 0) {
                x = FCelulas[static_cast<size_t>(k)];
                e = FCoefs[static_cast<size_t>(k)];
                break;
            }
        }
        int32_t v = 0;
        if (!DivisaoExata(Diferenca32(FConstantes[c], t.Somas[c]), e, v) || v < 1 || v > S) {
            return false;
        }
        Escrever(x, v, true);
    }
    return true;
}

// Scans law ALei of the working grid as list reasoning does: the sum of its filled
// cells and its first two empty cells, stopping at a third. Returns the number of
// empty cells seen (at most 3) and, for exactly two with coefficient 1, A, B and R.
int32_t TSolverDeducao::LerPar(int32_t ALei, int32_t& A, int32_t& B, int32_t& R) const {
    const TTrabalho& t = Trabalho();
    const auto j = static_cast<size_t>(ALei);
    int32_t soma = 0;
    int32_t vazias = 0;
    bool coefsUm = true;
    for (int32_t k = FInicio[j]; k < FInicio[j + 1]; ++k) {
        const int32_t c = FCelulas[static_cast<size_t>(k)];
        const int32_t v = t.Grelha[static_cast<size_t>(c)];
        const int32_t coef = FCoefs[static_cast<size_t>(k)];
        if (v != 0) {
            soma = Soma32(soma, Produto32(coef, v));
            continue;
        }
        if (++vazias == 3) {
            return 3;
        }
        coefsUm = coefsUm && coef == 1;
        (vazias == 1 ? A : B) = c;
    }
    if (vazias == 2 && !coefsUm) {
        return -2; // two gaps, but not a pair law
    }
    R = Diferenca32(FConstantes[j], soma);
    return vazias;
}

void TSolverDeducao::GuardarConjunto(int32_t ACelula, const uint64_t* AConjunto) {
    TTrabalho& t = Trabalho();
    const int32_t W = FPalavras;
    uint64_t* destino = &t.Candidatos[static_cast<size_t>(ACelula * W)];
    for (int32_t w = 0; w < W; ++w) {
        destino[w] = AConjunto[w];
    }
    InverterConjunto(AConjunto, W, &t.Invertidos[static_cast<size_t>(ACelula * W)]);
}

// ANovo = the values v of set A whose partner R - v (v ≠ R - v) lies in set B.
// With B reversed (bit T - w for each w, T = 64W - 1), the partners form B reversed
// shifted right by T - R, so the whole set is a few word operations.
void TSolverDeducao::FiltrarPorParceiro(int32_t A, int32_t B, int32_t R, uint64_t* ANovo) const {
    const TTrabalho& t = Trabalho();
    const int32_t W = FPalavras;
    const int64_t T = 64 * static_cast<int64_t>(W) - 1;
    const uint64_t* a = &t.Candidatos[static_cast<size_t>(A * W)];
    const uint64_t* bInv = &t.Invertidos[static_cast<size_t>(B * W)];
    const int64_t desloc = T - static_cast<int64_t>(R); // > 0: right shift, < 0: left shift
    for (int32_t w = 0; w < W; ++w) {
        ANovo[w] = 0;
    }
    if (desloc > 2 * T || desloc < -T) {
        return; // R out of every reach: no v has a partner
    }
    const int64_t s = desloc >= 0 ? desloc : -desloc;
    const int64_t q = s / 64;
    const int r = static_cast<int>(s % 64);
    for (int32_t w = 0; w < W; ++w) {
        uint64_t parceiros = 0;
        if (desloc >= 0) {
            const int64_t i = w + q;
            if (i < W) {
                parceiros = bInv[i] >> r;
                if (r != 0 && i + 1 < W) {
                    parceiros |= bInv[i + 1] << (64 - r);
                }
            }
        } else {
            const int64_t i = w - q;
            if (i >= 0) {
                parceiros = bInv[i] << r;
                if (r != 0 && i - 1 >= 0) {
                    parceiros |= bInv[i - 1] >> (64 - r);
                }
            }
        }
        ANovo[w] = a[w] & parceiros;
    }
    if (R % 2 == 0 && R >= 0 && R / 2 <= T) {
        const int32_t meio = R / 2; // v = w is no pair of two different numbers
        ANovo[meio / 64] &= ~(1ULL << (meio % 64));
    }
}

// The candidate set of empty cell c after ReduzirPelaLista.
const uint64_t* TSolverDeducao::ConjuntoDe(int32_t c) const {
    const TTrabalho& t = Trabalho();
    if (t.EmPar[static_cast<size_t>(c)] == t.Chamada) {
        return &t.Candidatos[static_cast<size_t>(c) * static_cast<size_t>(FPalavras)];
    }
    return t.Lista.data();
}

// The open two-cell laws of the working grid, in law order. With the counters of
// a finished closure at hand, only laws with two gaps need a look.
void TSolverDeducao::AcharPares(TFamilias AFamilias, bool AContadoresValidos) {
    TTrabalho& t = Trabalho();
    t.PareA.clear();
    t.PareB.clear();
    t.PareResto.clear();
    for (int32_t j = 0; j < NumLeis(); ++j) {
        if (!LeiAtiva(j, AFamilias) ||
            (AContadoresValidos && t.Lacunas[static_cast<size_t>(j)] != 2)) {
            continue;
        }
        int32_t A = -1, B = -1, R = 0;
        if (LerPar(j, A, B, R) == 2) {
            t.PareA.push_back(A);
            t.PareB.push_back(B);
            t.PareResto.push_back(R);
        }
    }
}

// Candidate sets of every empty cell from the list of missing numbers, narrowed by
// the open two-cell laws until a whole pass changes nothing; false when a set empties.
// A law whose two sets are as they were when it last changed nothing would change
// nothing again, so it is skipped: the narrowing itself is exactly the pass-by-pass one.
bool TSolverDeducao::ReduzirPelaLista(TFamilias AFamilias, bool AContadoresValidos) {
    TTrabalho& t = Trabalho();
    const int32_t W = FPalavras;
    const int32_t S = FN * FN;
    // The list: 1..S less every value in the grid (other values take part in no set).
    uint64_t* lista = t.Lista.data();
    for (int32_t w = 0; w < W; ++w) {
        const int32_t base = 64 * w;
        lista[w] = base + 63 <= S ? ~0ULL : (S >= base ? (2ULL << (S - base)) - 1 : 0);
    }
    lista[0] &= ~1ULL;
    for (const int32_t v : t.Grelha) {
        if (v >= 1 && v <= S) {
            lista[v / 64] &= ~(1ULL << (v % 64));
        }
    }
    // Every cell of an open pair starts from the list, so it is reversed once.
    InverterConjunto(lista, W, t.ListaInvertida.data());
    AcharPares(AFamilias, AContadoresValidos);
    // Every empty cell starts with the list; only the cells of open pairs are
    // narrowed, so only they get a set of their own (ConjuntoDe gives the rest).
    if (++t.Chamada == 0) { // after 2^32 calls the stamps start again from clean
        std::fill(t.EmPar.begin(), t.EmPar.end(), 0);
        t.Chamada = 1;
    }
    for (size_t p = 0; p < t.PareA.size(); ++p) {
        for (const int32_t c : {t.PareA[p], t.PareB[p]}) {
            if (t.EmPar[static_cast<size_t>(c)] != t.Chamada) {
                t.EmPar[static_cast<size_t>(c)] = t.Chamada;
                const auto inicio = static_cast<ptrdiff_t>(c) * W;
                std::copy(t.Lista.begin(), t.Lista.end(), t.Candidatos.begin() + inicio);
                std::copy(t.ListaInvertida.begin(), t.ListaInvertida.end(),
                          t.Invertidos.begin() + inicio);
                t.Versao[static_cast<size_t>(c)] = 0;
            }
        }
    }
    const size_t numPares = t.PareA.size();
    t.VistoA.assign(numPares, -1);
    t.VistoB.assign(numPares, -1);
    uint64_t* novoA = t.Novo.data();
    uint64_t* novoB = t.Novo.data() + W;
    bool mudou = true;
    while (mudou) {
        mudou = false;
        for (size_t p = 0; p < numPares; ++p) {
            const int32_t A = t.PareA[p];
            const int32_t B = t.PareB[p];
            int32_t& versaoA = t.Versao[static_cast<size_t>(A)];
            int32_t& versaoB = t.Versao[static_cast<size_t>(B)];
            if (versaoA == t.VistoA[p] && versaoB == t.VistoB[p]) {
                continue;
            }
            t.VistoA[p] = versaoA;
            t.VistoB[p] = versaoB;
            FiltrarPorParceiro(A, B, t.PareResto[p], novoA);
            FiltrarPorParceiro(B, A, t.PareResto[p], novoB);
            const uint64_t* velhoA = &t.Candidatos[static_cast<size_t>(A * W)];
            const uint64_t* velhoB = &t.Candidatos[static_cast<size_t>(B * W)];
            bool diferente = false;
            bool vazioA = true;
            bool vazioB = true;
            for (int32_t w = 0; w < W; ++w) {
                diferente = diferente || novoA[w] != velhoA[w] || novoB[w] != velhoB[w];
                vazioA = vazioA && novoA[w] == 0;
                vazioB = vazioB && novoB[w] == 0;
            }
            if (!diferente) {
                continue;
            }
            if (vazioA || vazioB) {
                return false;
            }
            GuardarConjunto(A, novoA);
            GuardarConjunto(B, novoB);
            ++versaoA;
            ++versaoB;
            mudou = true;
        }
    }
    return true;
}

bool TSolverDeducao::PrepararGrelha(std::span<const int32_t> ADados) {
    TTrabalho& t = Trabalho();
    if (ADados.size() != t.Grelha.size()) {
        return false;
    }
    std::copy(ADados.begin(), ADados.end(), t.Grelha.begin());
    t.Vazias = 0;
    for (const int32_t v : t.Grelha) {
        t.Vazias += v == 0 ? 1 : 0;
    }
    return true;
}

bool TSolverDeducao::Fecho(std::span<const int32_t> ADados, TFamilias AFamilias, bool AComLista) {
    TTrabalho& t = Trabalho();
    if (!PrepararGrelha(ADados)) {
        return false;
    }
    const int32_t W = FPalavras;
    ContarLacunas(AFamilias);
    for (;;) {
        if (!Propagar()) {
            return false;
        }
        if (t.Vazias == 0) {
            return true;
        }
        if (!AComLista || !ReduzirPelaLista(AFamilias, true)) {
            return false;
        }
        int32_t preenchidas = 0;
        for (int32_t j = 0; j < FN * FN; ++j) {
            if (t.Grelha[static_cast<size_t>(j)] != 0) {
                continue;
            }
            const int32_t v = ValorUnico(ConjuntoDe(j), 0, W);
            if (v > 0) {
                Escrever(j, v, false);
                ++preenchidas;
            }
        }
        if (preenchidas == 0) {
            return false;
        }
        // The counters now match a fresh count of the grid, and after a finished
        // closure no law was left with one gap: scanning for single gaps in law
        // order rebuilds exactly the stack a fresh start would have.
        EmpilharLacunasUnicas();
    }
}

bool TSolverDeducao::LeiDoPar(TFamilias AFamilias, int32_t ACelula, int32_t& ALei,
                              int32_t& AParceiro, int32_t& AResto) const {
    ALei = -1;
    AParceiro = -1;
    AResto = 0;
    for (int32_t j = 0; j < NumLeis(); ++j) {
        if (!LeiAtiva(j, AFamilias)) {
            continue;
        }
        int32_t A = -1, B = -1, R = 0;
        if (LerPar(j, A, B, R) == 2 && (A == ACelula || B == ACelula)) {
            ALei = j;
            AParceiro = A == ACelula ? B : A;
            AResto = R;
            return true;
        }
    }
    return false;
}

bool TSolverDeducao::FixadaPorLei(std::span<const int32_t> ADados, int32_t ACelula,
                                  TFamilias AFamilias) const {
    if (ADados.size() != static_cast<size_t>(FN) * static_cast<size_t>(FN) || ACelula < 0 ||
        ACelula >= FN * FN) {
        return false;
    }
    for (const int32_t j : FPorCelula[static_cast<size_t>(ACelula)]) {
        if (!LeiAtiva(j, AFamilias)) {
            continue;
        }
        bool sozinha = true;
        for (int32_t k = FInicio[static_cast<size_t>(j)]; k < FInicio[static_cast<size_t>(j) + 1];
             ++k) {
            const int32_t c = FCelulas[static_cast<size_t>(k)];
            if (c != ACelula && ADados[static_cast<size_t>(c)] == 0) {
                sozinha = false;
                break;
            }
        }
        if (sozinha) {
            return true;
        }
    }
    return false;
}

TResultadoSolver TSolverDeducao::Resolver(std::span<const int32_t> ADados, TFamilias AFamilias,
                                          std::span<const int32_t> ASolucaoRef, bool AComLista) {
    const size_t S = static_cast<size_t>(FN) * static_cast<size_t>(FN);
    if (ADados.size() != S) {
        throw EVelt("Resolver: a grelha nao tem o tamanho da ordem");
    }
    if (!ASolucaoRef.empty() && ASolucaoRef.size() != S) {
        throw EVelt("Resolver: a solucao de referencia nao tem o tamanho da ordem");
    }
    TTrabalho& t = Trabalho();
    const int32_t W = FPalavras;
    TResultadoSolver resultado;
    PrepararGrelha(ADados);
    int32_t ronda = 0;
    while (t.Vazias > 0) {
        const size_t antes = resultado.Passos.size();
        std::fill(t.Marcas.begin(), t.Marcas.end(), 0);
        for (int32_t i = 0; i < NumLeis(); ++i) {
            if (!LeiAtiva(i, AFamilias)) {
                continue;
            }
            int32_t x = -1, e = 0, soma = 0, vazias = 0;
            for (int32_t k = FInicio[static_cast<size_t>(i)];
                 k < FInicio[static_cast<size_t>(i) + 1] && vazias < 2; ++k) {
                const int32_t c = FCelulas[static_cast<size_t>(k)];
                const int32_t v = t.Grelha[static_cast<size_t>(c)];
                if (v == 0) {
                    ++vazias;
                    x = c;
                    e = FCoefs[static_cast<size_t>(k)];
                } else {
                    soma = Soma32(soma, Produto32(FCoefs[static_cast<size_t>(k)], v));
                }
            }
            if (vazias != 1 || t.Marcas[static_cast<size_t>(x)] != 0) {
                continue;
            }
            int32_t v = 0;
            if (!DivisaoExata(Diferenca32(FConstantes[static_cast<size_t>(i)], soma), e, v)) {
                throw EVelt("Resolver: a lei " + std::to_string(i) + " nao da um valor inteiro");
            }
            if (!ASolucaoRef.empty() && v != ASolucaoRef[static_cast<size_t>(x)]) {
                throw EVelt("Resolver: a lei " + std::to_string(i) +
                            " da um valor diferente da solucao");
            }
            t.Marcas[static_cast<size_t>(x)] = 1;
            resultado.Passos.push_back(
                {ronda + 1, i, FFamilias[static_cast<size_t>(i)], x, v, -1, 0});
        }
        if (AComLista && resultado.Passos.size() == antes) {
            if (!ReduzirPelaLista(AFamilias, false)) {
                break;
            }
            for (int32_t j = 0; j < static_cast<int32_t>(S); ++j) {
                if (t.Grelha[static_cast<size_t>(j)] != 0) {
                    continue;
                }
                const int32_t v = ValorUnico(ConjuntoDe(j), 0, W);
                if (v <= 0) {
                    continue;
                }
                if (!ASolucaoRef.empty() && v != ASolucaoRef[static_cast<size_t>(j)]) {
                    throw EVelt("Resolver: a lista da um valor diferente da solucao");
                }
                TPassoDeducao passo{ronda + 1, -1, TFamilia::lfLista, j, v, -1, 0};
                LeiDoPar(AFamilias, j, passo.Lei, passo.Parceiro, passo.Resto);
                resultado.Passos.push_back(passo);
            }
        }
        if (resultado.Passos.size() == antes) {
            break;
        }
        for (size_t p = antes; p < resultado.Passos.size(); ++p) {
            const TPassoDeducao& passo = resultado.Passos[p];
            t.Grelha[static_cast<size_t>(passo.Celula)] = passo.Valor;
            --t.Vazias;
            ++resultado.Usos[static_cast<size_t>(passo.Familia)];
        }
        ++ronda;
    }
    resultado.Resolvido = t.Vazias == 0;
    resultado.Rondas = ronda;
    return resultado;
}

} // namespace tavrelo
