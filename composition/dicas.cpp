#include "composition/dicas.h"

#include "core/bits.h"

#include <algorithm>
#include <array>
#include <bit>
#include <string_view>

namespace tavrelo {

namespace {

size_t Ix(int32_t i) {
    return static_cast<size_t>(i);
}

// ---------------------------------------------------------------------------------------------
// Sets of numbers, a bit each, held in place: the list technique builds and narrows many of
// them. Room for the numbers of every order of the book (at most 16 × 16 = 256).

constexpr int32_t MAIOR_NUMERO = 319;

class TNumeros {
  public:
    // 1 … AMaior.
    static TNumeros Todos(int32_t AMaior) {
        TNumeros r;
        for (int32_t v = 1; v <= AMaior; ++v) {
            r.Por(v);
        }
        return r;
    }

    bool Tem(int32_t v) const {
        return v >= 0 && v <= MAIOR_NUMERO && ((FPalavras[Ix(v / 64)] >> (v % 64)) & 1u) != 0;
    }
    void Por(int32_t v) { FPalavras[Ix(v / 64)] |= uint64_t{1} << (v % 64); }
    void Tirar(int32_t v) { FPalavras[Ix(v / 64)] &= ~(uint64_t{1} << (v % 64)); }

    int32_t Quantos() const {
        int32_t n = 0;
        for (const uint64_t w : FPalavras) {
            n += std::popcount(w);
        }
        return n;
    }

    // In increasing order.
    std::vector<int32_t> Membros() const {
        std::vector<int32_t> r;
        for (size_t w = 0; w < FPalavras.size(); ++w) {
            for (uint64_t x = FPalavras[w]; x != 0; x &= x - 1) {
                r.push_back(static_cast<int32_t>(w * 64) + std::countr_zero(x));
            }
        }
        return r;
    }

    // The members v whose partner R − v is in AOutro and differs from v: what a pair law
    // lacking R leaves to one cell when the other may hold AOutro. Reversed, AOutro has bit
    // MAIOR_NUMERO − w for each member w; read from bit MAIOR_NUMERO − R on, bit R − w.
    TNumeros ComParceiroEm(const TNumeros& AOutro, int32_t R) const {
        TNumeros invertido;
        for (size_t w = 0; w < PALAVRAS; ++w) {
            invertido.FPalavras[PALAVRAS - 1 - w] = InverterBits(AOutro.FPalavras[w]);
        }
        TNumeros r;
        for (size_t w = 0; w < PALAVRAS; ++w) {
            const int32_t inicio = 64 * static_cast<int32_t>(w) + MAIOR_NUMERO - R;
            r.FPalavras[w] = FPalavras[w] & invertido.Bits(inicio);
        }
        if (R % 2 == 0 && R >= 0 && R / 2 <= MAIOR_NUMERO) {
            r.Tirar(R / 2);
        }
        return r;
    }

    TNumeros& operator&=(const TNumeros& AOutro) {
        for (size_t w = 0; w < PALAVRAS; ++w) {
            FPalavras[w] &= AOutro.FPalavras[w];
        }
        return *this;
    }
    bool operator==(const TNumeros&) const = default;

  private:
    static constexpr size_t PALAVRAS = MAIOR_NUMERO / 64 + 1;
    static_assert(MAIOR_NUMERO == 64 * PALAVRAS - 1, "bit i of the words is number i");

    // The 64 bits from bit AInicio on; bits outside the set read as 0.
    uint64_t Bits(int32_t AInicio) const {
        const int32_t w = AInicio >= 0 ? AInicio / 64 : -((63 - AInicio) / 64);
        const int32_t b = AInicio - 64 * w;
        const auto palavra = [this](int32_t i) {
            return i >= 0 && Ix(i) < PALAVRAS ? FPalavras[Ix(i)] : 0;
        };
        return b == 0 ? palavra(w) : (palavra(w) >> b) | (palavra(w + 1) << (64 - b));
    }

    std::array<uint64_t, PALAVRAS> FPalavras{};
};

// ---------------------------------------------------------------------------------------------
// The reader's grid: the givens and the numbers of the hints so far, closed under simple steps
// (a law of the square with one empty cell gives it).

class TGrelhaDoLeitor {
  public:
    TGrelhaDoLeitor(const TSolverDeducao& ASolver, std::span<const int32_t> ADados)
        : FSolver(&ASolver), FGrelha(Ix(ASolver.N() * ASolver.N()), 0),
          FLacunas(Ix(ASolver.NumLeis()), -1), FSomas(Ix(ASolver.NumLeis()), 0),
          FPorColocar(TNumeros::Todos(ASolver.N() * ASolver.N())),
          FVazias(ASolver.N() * ASolver.N()) {
        const TFamilias familias = FamiliasCompletas(ASolver.N());
        for (int32_t j = 0; j < ASolver.NumLeis(); ++j) {
            const TLei& lei = ASolver.Lei(j);
            if (familias.Contem(lei.Familia)) {
                FLacunas[Ix(j)] = static_cast<int32_t>(lei.Celulas.size());
            }
        }
        for (int32_t c = 0; c < Casas(); ++c) {
            const int32_t v = ValorDaCasa(ADados, Ix(c));
            if (v >= 1 && v <= Casas() && FPorColocar.Tem(v)) {
                Pousar(c, v);
            }
        }
        // Every law left with one gap, the centre's own law too (it has one cell from the start).
        FPilha.clear();
        for (int32_t j = 0; j < ASolver.NumLeis(); ++j) {
            if (FLacunas[Ix(j)] == 1) {
                FPilha.push_back(j);
            }
        }
        Fechar();
    }

    // Writes AValor in the empty cell ACelula, then every simple step that follows.
    void Escrever(int32_t ACelula, int32_t AValor) {
        if (Valor(ACelula) == 0 && AValor >= 1 && AValor <= Casas() && FPorColocar.Tem(AValor)) {
            Pousar(ACelula, AValor);
            Fechar();
        }
    }

    // The cells that writing AValor in ACelula would fill, with the simple steps that follow;
    // the grid is left as it was.
    std::vector<int32_t> Experimentar(int32_t ACelula, int32_t AValor) {
        const size_t marca = FEscritas.size();
        Escrever(ACelula, AValor);
        std::vector<int32_t> r(FEscritas.begin() + static_cast<std::ptrdiff_t>(marca),
                               FEscritas.end());
        while (FEscritas.size() > marca) {
            Apagar(FEscritas.back());
            FEscritas.pop_back();
        }
        return r;
    }

    int32_t Casas() const { return static_cast<int32_t>(FGrelha.size()); }
    int32_t Vazias() const { return FVazias; }
    int32_t Valor(int32_t ACelula) const {
        return ACelula >= 0 && ACelula < Casas() ? FGrelha[Ix(ACelula)] : -1;
    }
    const TNumeros& PorColocar() const { return FPorColocar; }

    // The open pair laws through the empty cell ACelula (two empty cells, both with
    // coefficient 1), in increasing law index.
    std::vector<TParDaLista> ParesAbertos(int32_t ACelula) const {
        std::vector<TParDaLista> r;
        if (Valor(ACelula) != 0) {
            return r;
        }
        for (const int32_t j : FSolver->PorCelula(ACelula)) {
            if (FLacunas[Ix(j)] != 2) {
                continue;
            }
            const TLei& lei = FSolver->Lei(j);
            int32_t outra = -1;
            bool unitaria = true;
            for (size_t t = 0; t < lei.Celulas.size(); ++t) {
                const int32_t x = lei.Celulas[t];
                if (FGrelha[Ix(x)] == 0) {
                    unitaria = unitaria && lei.Coefs[t] == 1;
                    outra = x != ACelula ? x : outra;
                }
            }
            if (unitaria && outra >= 0) {
                r.push_back({j, outra, lei.Constante - FSomas[Ix(j)]});
            }
        }
        return r;
    }

  private:
    void Pousar(int32_t ACelula, int32_t AValor) {
        FGrelha[Ix(ACelula)] = AValor;
        FPorColocar.Tirar(AValor);
        --FVazias;
        FEscritas.push_back(ACelula);
        const std::vector<int32_t>& leis = FSolver->PorCelula(ACelula);
        const std::vector<int32_t>& coefs = FSolver->CoefPorCelula(ACelula);
        for (size_t i = 0; i < leis.size(); ++i) {
            const size_t j = Ix(leis[i]);
            if (FLacunas[j] < 0) {
                continue;
            }
            FSomas[j] += coefs[i] * AValor;
            if (--FLacunas[j] == 1) {
                FPilha.push_back(leis[i]);
            }
        }
    }

    // Pousar undone.
    void Apagar(int32_t ACelula) {
        const int32_t v = FGrelha[Ix(ACelula)];
        FGrelha[Ix(ACelula)] = 0;
        FPorColocar.Por(v);
        ++FVazias;
        const std::vector<int32_t>& leis = FSolver->PorCelula(ACelula);
        const std::vector<int32_t>& coefs = FSolver->CoefPorCelula(ACelula);
        for (size_t i = 0; i < leis.size(); ++i) {
            const size_t j = Ix(leis[i]);
            if (FLacunas[j] >= 0) {
                FSomas[j] -= coefs[i] * v;
                ++FLacunas[j];
            }
        }
    }

    void Fechar() {
        while (!FPilha.empty()) {
            const int32_t j = FPilha.back();
            FPilha.pop_back();
            if (FLacunas[Ix(j)] != 1) {
                continue;
            }
            const TLei& lei = FSolver->Lei(j);
            for (size_t t = 0; t < lei.Celulas.size(); ++t) {
                const int32_t x = lei.Celulas[t];
                if (FGrelha[Ix(x)] != 0) {
                    continue;
                }
                const int32_t d = lei.Constante - FSomas[Ix(j)];
                const int32_t e = lei.Coefs[t];
                // Givens that agree with a square always give a number still to place.
                if (d % e == 0 && d / e >= 1 && d / e <= Casas() && FPorColocar.Tem(d / e)) {
                    Pousar(x, d / e);
                }
                break;
            }
        }
    }

    const TSolverDeducao* FSolver;
    std::vector<int32_t> FGrelha;
    std::vector<int32_t> FLacunas;  // empty cells of each law; -1: not a law of the square
    std::vector<int32_t> FSomas;    // coefficient × number over the filled cells of each law
    std::vector<int32_t> FPilha;    // laws left with one empty cell
    std::vector<int32_t> FEscritas; // the cells written, in turn
    TNumeros FPorColocar;
    int32_t FVazias;
};

// ---------------------------------------------------------------------------------------------
// The list technique where the reader's grid stops. Each empty cell may hold the numbers still
// to place (of those a narrowing above left it, if any); an open pair law keeps in either of
// its cells the numbers whose partner the other cell may hold. Round r narrows every cell by
// its pair laws on the sets of round r − 1. A narrowed set is kept only while it has at most a
// given count of numbers, the most a narrowing may state; a longer one reads as the cell's set
// of round 0. The first round that leaves a cell one number gives the key step, explained as
// the narrowings it reads, in turn, ending in that number.

// One argument of the list: on the sets of round Ronda − 1, the pair laws Pares leave Celula
// its set of round Ronda.
struct TArgumento {
    int32_t Celula = -1;
    int32_t Ronda = 0;
    std::vector<TParDaLista> Pares;
};

class TRondasDaLista {
  public:
    TRondasDaLista(const TGrelhaDoLeitor& AGrelha, const std::vector<TNumeros>& ASabidos,
                   int32_t AMaximo)
        : FGrelha(AGrelha), FMaximo(AMaximo), FPares(Ix(AGrelha.Casas())) {
        std::vector<TNumeros> zero(Ix(AGrelha.Casas()));
        for (int32_t c = 0; c < AGrelha.Casas(); ++c) {
            if (AGrelha.Valor(c) == 0) {
                zero[Ix(c)] = AGrelha.PorColocar();
                zero[Ix(c)] &= ASabidos[Ix(c)];
                FPares[Ix(c)] = AGrelha.ParesAbertos(c);
            }
        }
        FRondas.push_back(std::move(zero));
    }

    // Rounds until one leaves a cell one number that the reader did not hold: that round, or
    // 0 when the rounds stop narrowing first.
    int32_t Decisiva() {
        // A cell is narrowed again only when its set or a partner's changed in the last round.
        std::vector<bool> mudaram(FPares.size(), true);
        for (;;) {
            const std::vector<TNumeros>& antes = FRondas.back();
            std::vector<TNumeros> nova = antes;
            std::vector<bool> mudam(FPares.size(), false);
            bool decide = false;
            for (int32_t c = 0; c < FGrelha.Casas(); ++c) {
                if (FGrelha.Valor(c) != 0 || !AReler(c, mudaram)) {
                    continue;
                }
                TNumeros& conjunto = nova[Ix(c)];
                for (const TParDaLista& par : FPares[Ix(c)]) {
                    conjunto &= Permitidos(c, par, Ronda());
                }
                if (conjunto.Quantos() > FMaximo) {
                    conjunto = FRondas.front()[Ix(c)];
                }
                mudam[Ix(c)] = conjunto != antes[Ix(c)];
                decide = decide || Decide(c, conjunto);
            }
            if (std::find(mudam.begin(), mudam.end(), true) == mudam.end()) {
                return 0;
            }
            FRondas.push_back(std::move(nova));
            FCaminhos.resize(FRondas.size() * FPares.size());
            if (decide) {
                return Ronda();
            }
            mudaram = std::move(mudam);
        }
    }

    // Whether AConjunto is one number for ACelula, which the reader did not hold.
    bool Decide(int32_t ACelula, const TNumeros& AConjunto) const {
        return AConjunto.Quantos() == 1 && Conjunto(0, ACelula).Quantos() > 1;
    }

    // The last round computed.
    int32_t Ronda() const { return static_cast<int32_t>(FRondas.size()) - 1; }
    const TNumeros& Conjunto(int32_t ARonda, int32_t ACelula) const {
        return FRondas[Ix(ARonda)][Ix(ACelula)];
    }

    // The arguments that give ACelula its set of round ARonda, each after those it reads.
    std::vector<TArgumento> Explicar(int32_t ACelula, int32_t ARonda) {
        std::vector<TArgumento> r;
        Juntar(ACelula, ARonda, r);
        std::stable_sort(r.begin(), r.end(), [](const TArgumento& a, const TArgumento& b) {
            return a.Ronda < b.Ronda;
        });
        return r;
    }

  private:
    // How a cell's set of one round is reached: the round that first left it, the pair laws
    // named there, and how many arguments the whole explanation takes, counted as a tree.
    struct TCaminho {
        bool Feito = false;
        int32_t Ronda = 0;
        std::vector<TParDaLista> Pares;
        int32_t Custo = 0;
    };

    bool AReler(int32_t ACelula, const std::vector<bool>& AMudaram) const {
        return AMudaram[Ix(ACelula)] ||
               std::any_of(FPares[Ix(ACelula)].begin(), FPares[Ix(ACelula)].end(),
                           [&](const TParDaLista& par) { return AMudaram[Ix(par.Parceiro)]; });
    }

    TNumeros Permitidos(int32_t ACelula, const TParDaLista& APar, int32_t ARonda) const {
        return Conjunto(ARonda, ACelula).ComParceiroEm(Conjunto(ARonda, APar.Parceiro), APar.Resto);
    }

    // Whether the reader holds the set of round ARonda without an argument.
    bool Sabido(int32_t ACelula, int32_t ARonda) const {
        return Conjunto(ARonda, ACelula) == Conjunto(0, ACelula);
    }

    void Juntar(int32_t ACelula, int32_t ARonda, std::vector<TArgumento>& AArgumentos) {
        if (Sabido(ACelula, ARonda)) {
            return;
        }
        const TCaminho& caminho = Caminho(ACelula, ARonda);
        for (const TArgumento& a : AArgumentos) {
            if (a.Celula == ACelula && a.Ronda == caminho.Ronda) {
                return;
            }
        }
        Juntar(ACelula, caminho.Ronda - 1, AArgumentos);
        for (const TParDaLista& par : caminho.Pares) {
            Juntar(par.Parceiro, caminho.Ronda - 1, AArgumentos);
        }
        AArgumentos.push_back({ACelula, caminho.Ronda, caminho.Pares});
    }

    int32_t Custo(int32_t ACelula, int32_t ARonda) {
        return Sabido(ACelula, ARonda) ? 0 : Caminho(ACelula, ARonda).Custo;
    }

    // The pair laws named for ACelula's set of round ARonda: of those that leave it that set
    // from the round before, the ones whose explanation takes fewest arguments, then the
    // fewest laws, then the first in increasing law index.
    const TCaminho& Caminho(int32_t ACelula, int32_t ARonda) {
        int32_t t = ARonda;
        while (t > 0 && Conjunto(t - 1, ACelula) == Conjunto(ARonda, ACelula)) {
            --t;
        }
        TCaminho& r = FCaminhos[Ix(t) * FPares.size() + Ix(ACelula)];
        if (r.Feito) {
            return r;
        }
        r.Feito = true;
        r.Ronda = t;
        const std::vector<TParDaLista>& todos = FPares[Ix(ACelula)];
        std::vector<TNumeros> deixa;
        std::vector<int32_t> custos;
        for (const TParDaLista& par : todos) {
            deixa.push_back(Permitidos(ACelula, par, t - 1));
            custos.push_back(Custo(par.Parceiro, t - 1));
        }
        const auto m = static_cast<uint32_t>(todos.size());
        std::vector<size_t> melhor; // positions in todos
        int32_t custoMelhor = 0;
        for (uint32_t escolha = 1; escolha < (1u << m); ++escolha) {
            TNumeros fica = Conjunto(t - 1, ACelula);
            std::vector<size_t> quais;
            int32_t custo = 0;
            for (size_t i = 0; i < todos.size(); ++i) {
                if (((escolha >> i) & 1u) != 0) {
                    fica &= deixa[i];
                    quais.push_back(i);
                    custo += custos[i];
                }
            }
            const bool antes =
                melhor.empty() || custo < custoMelhor ||
                (custo == custoMelhor && (quais.size() < melhor.size() ||
                                          (quais.size() == melhor.size() && quais < melhor)));
            if (fica == Conjunto(t, ACelula) && antes) {
                melhor = std::move(quais);
                custoMelhor = custo;
            }
        }
        for (const size_t i : melhor) {
            r.Pares.push_back(todos[i]);
        }
        r.Custo = 1 + custoMelhor + Custo(ACelula, t - 1);
        return r;
    }

    const TGrelhaDoLeitor& FGrelha;
    int32_t FMaximo;
    std::vector<std::vector<TParDaLista>> FPares; // the open pair laws of each empty cell
    std::vector<std::vector<TNumeros>> FRondas;   // the sets of each round, by cell
    std::vector<TCaminho> FCaminhos;              // by round and cell, once looked for
};

// ---------------------------------------------------------------------------------------------
// Starters: steps of the record that the reader finds alone, shown as examples. A step can be
// shown when every other cell of its law is given or filled by a step shown above it; taking
// one takes the steps it needs with it. The centre of an odd square leads, then the families
// take turns, rows and columns last, since they are what a player finds first alone.

constexpr std::array<TFamilia, 6> ORDEM_DAS_INICIAIS = {
    TFamilia::lfDiagPrincipal, TFamilia::lfDiagQuebrada, TFamilia::lfBloco,
    TFamilia::lfMeia,          TFamilia::lfPar,          TFamilia::lfLinha};

class TIniciais {
  public:
    TIniciais(const TSolverDeducao& ASolver, std::span<const int32_t> ADados,
              std::span<const TPassoDeducao> APassos)
        : FPassos(APassos), FCentro(CentroDaGrelha(ASolver.N())), FQuem(ADados.size(), -1),
          FMostravel(APassos.size(), false), FLidas(APassos.size()),
          FEscolhido(APassos.size(), false), FVisto(APassos.size(), -1) {
        for (size_t i = 0; i < APassos.size(); ++i) {
            const int32_t c = APassos[i].Celula;
            if (c >= 0 && Ix(c) < FQuem.size()) {
                FQuem[Ix(c)] = static_cast<int32_t>(i);
            }
        }
        for (size_t i = 0; i < APassos.size(); ++i) {
            Assentar(ASolver, ADados, i);
        }
    }

    // At most AQuantas steps, in the order shown: the centre, then the others in the order of
    // deduction.
    std::vector<size_t> Escolher(int32_t AQuantas) {
        const auto quantas = static_cast<size_t>(std::max(AQuantas, 0));
        size_t conta = 0;
        size_t lider = FPassos.size();
        for (size_t i = 0; i < FPassos.size() && quantas > 0; ++i) {
            if (FPassos[i].Celula == FCentro && FMostravel[i]) {
                lider = i;
                FEscolhido[i] = true;
                conta = 1;
                break;
            }
        }
        std::array<size_t, ORDEM_DAS_INICIAIS.size()> cursor{};
        for (bool escolheu = true; conta < quantas && escolheu;) {
            escolheu = false;
            for (size_t f = 0; f < ORDEM_DAS_INICIAIS.size() && conta < quantas; ++f) {
                for (size_t i = cursor[f]; i < FPassos.size(); ++i) {
                    if (!FMostravel[i] || FEscolhido[i] ||
                        FPassos[i].Familia != ORDEM_DAS_INICIAIS[f]) {
                        continue;
                    }
                    const std::vector<size_t> novos = ComOQuePrecisa(i);
                    if (conta + novos.size() > quantas) {
                        continue;
                    }
                    for (const size_t s : novos) {
                        FEscolhido[s] = true;
                    }
                    conta += novos.size();
                    cursor[f] = i + 1;
                    escolheu = true;
                    break;
                }
            }
        }
        std::vector<size_t> r;
        if (lider < FPassos.size()) {
            r.push_back(lider);
        }
        for (size_t i = 0; i < FPassos.size(); ++i) {
            if (FEscolhido[i] && i != lider) {
                r.push_back(i);
            }
        }
        return r;
    }

  private:
    // Whether step AI can be shown, and the empty cells its law reads.
    void Assentar(const TSolverDeducao& ASolver, std::span<const int32_t> ADados, size_t AI) {
        const TPassoDeducao& passo = FPassos[AI];
        if (passo.Celula == FCentro) {
            FMostravel[AI] = true; // the centre needs no other cell
            return;
        }
        if (passo.Familia == TFamilia::lfLista || passo.Lei < 0 || passo.Lei >= ASolver.NumLeis()) {
            return;
        }
        bool mostravel = true;
        for (const int32_t x : ASolver.Lei(passo.Lei).Celulas) {
            if (x == passo.Celula || ValorDaCasa(ADados, Ix(x)) != 0) {
                continue;
            }
            FLidas[AI].push_back(x);
            const int32_t j = Ix(x) < FQuem.size() ? FQuem[Ix(x)] : -1;
            mostravel = mostravel && j >= 0 && Ix(j) < AI && FMostravel[Ix(j)];
        }
        FMostravel[AI] = mostravel;
    }

    // Step AI and the steps not chosen yet that it needs, directly or through others.
    std::vector<size_t> ComOQuePrecisa(size_t AI) {
        ++FCaminhada;
        std::vector<size_t> r;
        std::vector<size_t> pilha{AI};
        FVisto[AI] = FCaminhada;
        while (!pilha.empty()) {
            const size_t s = pilha.back();
            pilha.pop_back();
            r.push_back(s);
            for (const int32_t x : FLidas[s]) {
                const size_t j = Ix(FQuem[Ix(x)]);
                if (!FEscolhido[j] && FVisto[j] != FCaminhada) {
                    FVisto[j] = FCaminhada;
                    pilha.push_back(j);
                }
            }
        }
        return r;
    }

    std::span<const TPassoDeducao> FPassos;
    int32_t FCentro;
    std::vector<int32_t> FQuem;               // by cell: the step that fills it, or -1
    std::vector<bool> FMostravel;             // by step
    std::vector<std::vector<int32_t>> FLidas; // by step: the empty cells its law reads
    std::vector<bool> FEscolhido;             // by step
    std::vector<int32_t> FVisto;              // by step: the last walk that met it
    int32_t FCaminhada = 0;
};

// ---------------------------------------------------------------------------------------------
// The choice.

// The most numbers a narrowing states, tried in turn where the reader's grid stops: the
// shortest sets that reach a number are taken.
constexpr std::array<int32_t, 4> ALCANCES_DA_LISTA = {4, 8, 12, 16};

// What the reader holds where one key hint starts: their grid, and what the narrowings above
// left each cell.
struct TOndeOLeitorEsta {
    TGrelhaDoLeitor Grelha;
    std::vector<TNumeros> Sabidos;
};

// The key hints of a puzzle, how many lines each takes, and where the reader stood before it.
struct TChaves {
    std::vector<TDica> Dicas;
    std::vector<int32_t> Linhas;
    std::vector<TOndeOLeitorEsta> Antes;
};

class TEscolhaDeDicas {
  public:
    TEscolhaDeDicas(const TSolverDeducao& ASolver, std::span<const int32_t> ADados,
                    std::span<const int32_t> ASolucao, std::span<const TPassoDeducao> APassos,
                    int32_t ALimite, const TEspacoDasDicas* AEspaco)
        : FSolver(ASolver), FDados(ADados), FSolucao(ASolucao), FPassos(APassos), FLimite(ALimite),
          FEspaco(AEspaco) {}

    TDicas Escolher() const {
        TDicas r;
        const int32_t S = FSolver.N() * FSolver.N();
        if (FLimite < 1 || FDados.size() != Ix(S) || FSolucao.size() != Ix(S) || S > MAIOR_NUMERO) {
            return r;
        }
        // Where the key hints do not fit, the one in most lines gives way to a number revealed,
        // and the steps after it are chosen again on the grid that number leaves.
        std::vector<bool> revelar;
        TChaves chave;
        TGrelhaDoLeitor leitor(FSolver, FDados);
        std::vector<TNumeros> sabidos(Ix(leitor.Casas()), TNumeros::Todos(leitor.Casas()));
        Continuar(chave, {std::move(leitor), std::move(sabidos)}, revelar);
        while (!Cabem(chave.Dicas)) {
            int32_t pior = -1;
            for (size_t k = 0; k < chave.Dicas.size(); ++k) {
                if (chave.Dicas[k].Tipo == TTipoDica::tdLista &&
                    (pior < 0 || chave.Linhas[k] > chave.Linhas[Ix(pior)])) {
                    pior = static_cast<int32_t>(k);
                }
            }
            if (pior < 0) {
                break; // numbers revealed alone: what does not fit is the layout's to leave out
            }
            revelar.resize(std::max(revelar.size(), Ix(pior) + 1), false);
            revelar[Ix(pior)] = true;
            TOndeOLeitorEsta onde = std::move(chave.Antes[Ix(pior)]);
            chave.Dicas.resize(Ix(pior));
            chave.Linhas.resize(Ix(pior));
            chave.Antes.erase(chave.Antes.begin() + pior, chave.Antes.end());
            Continuar(chave, std::move(onde), revelar);
        }
        chave.Dicas.resize(std::min(chave.Dicas.size(), Ix(FLimite)));
        // The starters in the hints and room left, given way from the last.
        std::vector<TDica> iniciais = Iniciais(FLimite - static_cast<int32_t>(chave.Dicas.size()));
        for (;;) {
            r.Dicas = iniciais;
            r.Dicas.insert(r.Dicas.end(), chave.Dicas.begin(), chave.Dicas.end());
            if (iniciais.empty() || Cabem(r.Dicas)) {
                break;
            }
            iniciais.pop_back();
        }
        r.NumIniciais = static_cast<int32_t>(iniciais.size());
        return r;
    }

  private:
    int32_t LinhasDa(const TDica& ADica) const {
        if (FEspaco != nullptr && FEspaco->LinhasDa) {
            return FEspaco->LinhasDa(ADica);
        }
        return ADica.Tipo == TTipoDica::tdLista ? static_cast<int32_t>(ADica.Cadeia.size()) : 1;
    }

    // Whether ADicas fit the count and the room.
    bool Cabem(const std::vector<TDica>& ADicas) const {
        return static_cast<int32_t>(ADicas.size()) <= FLimite &&
               (FEspaco == nullptr || !FEspaco->Cabem || FEspaco->Cabem(ADicas));
    }

    // From where the reader stands (AOnde) on: wherever their grid stops, the list in the
    // shortest sets that reach, or a number revealed where it does not reach or where
    // ARevelar asks for one (by the place among the key hints), until the grid is full or the
    // hints are more than the count allows.
    void Continuar(TChaves& AChaves, TOndeOLeitorEsta AOnde,
                   const std::vector<bool>& ARevelar) const {
        TGrelhaDoLeitor& leitor = AOnde.Grelha;
        std::vector<TNumeros>& sabidos = AOnde.Sabidos;
        while (leitor.Vazias() > 0 && static_cast<int32_t>(AChaves.Dicas.size()) <= FLimite) {
            const size_t k = AChaves.Dicas.size();
            AChaves.Antes.push_back({leitor, sabidos});
            TDica dica;
            for (size_t a = 0; a < ALCANCES_DA_LISTA.size() && dica.Cadeia.empty() &&
                               (k >= ARevelar.size() || !ARevelar[k]);
                 ++a) {
                dica = PelaLista(leitor, sabidos, ALCANCES_DA_LISTA[a]);
            }
            if (dica.Cadeia.empty()) {
                dica = NumeroChave(leitor);
            }
            leitor.Escrever(dica.Celula, dica.Valor);
            AChaves.Linhas.push_back(LinhasDa(dica));
            AChaves.Dicas.push_back(std::move(dica));
        }
    }

    // The list where the reader's grid stops, with narrowings of at most AAlcance numbers: a
    // list hint whose narrowings end in one number, or none (no narrowing) when the list does
    // not reach. Of the cells the first decisive round fixes, the one that needs fewest
    // narrowings, then the one whose number lets the reader fill most cells.
    TDica PelaLista(TGrelhaDoLeitor& ALeitor, std::vector<TNumeros>& ASabidos,
                    int32_t AAlcance) const {
        TRondasDaLista rondas(ALeitor, ASabidos, AAlcance);
        const int32_t ronda = rondas.Decisiva();
        if (ronda == 0) {
            return {};
        }
        std::vector<TArgumento> argumentos;
        size_t ganho = 0;
        for (int32_t c = 0; c < ALeitor.Casas(); ++c) {
            if (ALeitor.Valor(c) != 0 || !rondas.Decide(c, rondas.Conjunto(ronda, c))) {
                continue;
            }
            std::vector<TArgumento> a = rondas.Explicar(c, ronda);
            if (!argumentos.empty() && a.size() > argumentos.size()) {
                continue;
            }
            const size_t g =
                ALeitor.Experimentar(c, rondas.Conjunto(ronda, c).Membros().front()).size();
            if (argumentos.empty() || a.size() < argumentos.size() || g > ganho) {
                argumentos = std::move(a);
                ganho = g;
            }
        }
        // Each narrowing stated on what the reader holds when they read it.
        TDica r{TTipoDica::tdLista, -1, 0, -1, {}};
        std::vector<TNumeros> sabidos = ASabidos;
        for (const TArgumento& a : argumentos) {
            TNumeros proprio = ALeitor.PorColocar();
            proprio &= sabidos[Ix(a.Celula)];
            TNumeros fica = proprio;
            for (const TParDaLista& par : a.Pares) {
                TNumeros outro = ALeitor.PorColocar();
                outro &= sabidos[Ix(par.Parceiro)];
                fica &= proprio.ComParceiroEm(outro, par.Resto);
            }
            const int32_t n = fica.Quantos();
            if (n == 0 || (&a == &argumentos.back() && n != 1)) {
                return {}; // not met with givens that agree with a square
            }
            if (fica == proprio) {
                continue; // what the narrowings above already left it
            }
            sabidos[Ix(a.Celula)] = fica;
            r.Cadeia.push_back({a.Celula, fica.Membros(), a.Pares});
            if (n == 1) {
                r.Celula = a.Celula;
                r.Valor = r.Cadeia.back().Valores.front();
                ASabidos = std::move(sabidos);
                return r;
            }
        }
        return {};
    }

    // The solution's number in the cell that lets the reader fill most cells (the first of
    // them). A cell filled by trying another fills no more than that one (its closure lies
    // within the other's), so it is not tried.
    TDica NumeroChave(TGrelhaDoLeitor& ALeitor) const {
        std::vector<bool> coberta(Ix(ALeitor.Casas()), false);
        int32_t melhor = -1;
        size_t ganho = 0;
        for (int32_t c = 0; c < ALeitor.Casas(); ++c) {
            if (ALeitor.Valor(c) != 0 || coberta[Ix(c)]) {
                continue;
            }
            const std::vector<int32_t> preenche = ALeitor.Experimentar(c, FSolucao[Ix(c)]);
            for (const int32_t x : preenche) {
                coberta[Ix(x)] = true;
            }
            if (melhor < 0 || preenche.size() > ganho) {
                melhor = c;
                ganho = preenche.size();
            }
        }
        return {TTipoDica::tdChave, melhor, FSolucao[Ix(melhor)], -1, {}};
    }

    std::vector<TDica> Iniciais(int32_t AQuantas) const {
        std::vector<TDica> r;
        for (const size_t i : TIniciais(FSolver, FDados, FPassos).Escolher(AQuantas)) {
            const TPassoDeducao& p = FPassos[i];
            r.push_back({TTipoDica::tdLei, p.Celula, p.Valor, p.Lei, {}});
        }
        return r;
    }

    const TSolverDeducao& FSolver;
    std::span<const int32_t> FDados;
    std::span<const int32_t> FSolucao;
    std::span<const TPassoDeducao> FPassos;
    int32_t FLimite;
    const TEspacoDasDicas* FEspaco;
};

// ---------------------------------------------------------------------------------------------
// Wording.

constexpr std::string_view MENOS = "\u2212"; // the minus sign, not a hyphen
constexpr std::string_view VEZES = "\u00D7"; // as in 2 × 2

// How a law is named, from the cell ACelula it gives or pairs: a row or column by its number,
// a main diagonal as principal (through L1C1) or secundária, one law among many of its kind by
// the cells where it starts and ends (a block by its top-left and bottom-right cells, a broken
// diagonal by its cells in the first and the last row), a two-cell law by its other cell.
std::string NomeDaLei(const TSolverDeducao& ASolver, int32_t ALei, int32_t ACelula) {
    const int32_t N = ASolver.N();
    const TLei& lei = ASolver.Lei(ALei);
    const std::string extremos =
        NomeDaCasa(N, lei.Celulas.front()) + " a " + NomeDaCasa(N, lei.Celulas.back());
    int32_t outra = -1;
    for (const int32_t x : lei.Celulas) {
        outra = x != ACelula ? x : outra;
    }
    switch (lei.Familia) {
    case TFamilia::lfLinha:
        return ALei < N ? "linha " + std::to_string(ALei + 1)
                        : "coluna " + std::to_string(ALei - N + 1);
    case TFamilia::lfDiagPrincipal:
        return std::find(lei.Celulas.begin(), lei.Celulas.end(), 0) != lei.Celulas.end()
                   ? "diagonal principal"
                   : "diagonal secundária";
    case TFamilia::lfDiagQuebrada:
        return "diagonal quebrada de " + extremos;
    case TFamilia::lfBloco:
        return "bloco 2 " + std::string(VEZES) + " 2 de " + extremos;
    case TFamilia::lfPar:
        return "casas opostas, com " + NomeDaCasa(N, outra);
    case TFamilia::lfMeia:
        return "meia diagonal, com " + NomeDaCasa(N, outra);
    case TFamilia::lfLista:
        break;
    }
    return "";
}

// The law of a pair named after its sum: "na linha 3", "no bloco 2 × 2 de L3C7 a L4C8"; a
// two-cell law needs no other cell, the sum names both.
std::string LeiDoPar(const TSolverDeducao& ASolver, int32_t ALei) {
    switch (ASolver.Lei(ALei).Familia) {
    case TFamilia::lfBloco:
        return "no " + NomeDaLei(ASolver, ALei, -1);
    case TFamilia::lfPar:
        return "em casas opostas";
    case TFamilia::lfMeia:
        return "na meia diagonal";
    default:
        break;
    }
    return "na " + NomeDaLei(ASolver, ALei, -1);
}

// "lista: L1C4 + L1C7 = 65 na linha 1; L1C4 + L5C4 = 40 na coluna 4"
std::string TextoDosPares(const TSolverDeducao& ASolver, const TEstreitamento& AE) {
    const int32_t N = ASolver.N();
    std::string r = "lista: ";
    for (size_t i = 0; i < AE.Pares.size(); ++i) {
        const TParDaLista& par = AE.Pares[i];
        r += (i > 0 ? "; " : "") + NomeDaCasa(N, AE.Celula) + " + " + NomeDaCasa(N, par.Parceiro) +
             " = " + std::to_string(par.Resto) + " " +
             (par.Lei >= 0 && par.Lei < ASolver.NumLeis() ? LeiDoPar(ASolver, par.Lei) : "");
    }
    return r;
}

// "12, 20 ou 31"
std::string EnumerarNumeros(const std::vector<int32_t>& AValores) {
    std::string r;
    for (size_t i = 0; i < AValores.size(); ++i) {
        r += (i == 0 ? "" : i + 1 == AValores.size() ? " ou " : ", ") + std::to_string(AValores[i]);
    }
    return r;
}

// "L5C8 só pode ser 12, 20 ou 31 (lista: …)", "L1C3 = 46 (lista: …)"
std::string TextoDoEstreitamento(const TSolverDeducao& ASolver, const TEstreitamento& AE) {
    const std::string C = NomeDaCasa(ASolver.N(), AE.Celula);
    const std::string pares = " (" + TextoDosPares(ASolver, AE) + ")";
    if (AE.Valores.size() == 1) {
        return C + " = " + std::to_string(AE.Valores.front()) + pares;
    }
    return C + " só pode ser " + EnumerarNumeros(AE.Valores) + pares;
}

// "L3C5 = 260 − 215 = 45 (linha 3)", "L4C4 = 50 / 2 = 25 (o centro)"
std::string TextoDaLei(const TSolverDeducao& ASolver, std::span<const int32_t> ASolucao,
                       const TDica& ADica) {
    const int32_t N = ASolver.N();
    const std::string C = NomeDaCasa(N, ADica.Celula);
    const std::string V = std::to_string(ADica.Valor);
    // The centre of an odd square, whatever law the record found it by.
    if (ADica.Celula == CentroDaGrelha(N)) {
        return C + " = " + std::to_string(SomaComplementar(N)) + " / 2 = " + V + " (o centro)";
    }
    if (ADica.Lei < 0 || ADica.Lei >= ASolver.NumLeis()) {
        return C + " = " + V; // a law hint always names its law; without one only the number
    }
    const TLei& lei = ASolver.Lei(ADica.Lei);
    int64_t S = 0;
    for (size_t t = 0; t < lei.Celulas.size(); ++t) {
        const int32_t x = lei.Celulas[t];
        if (x != ADica.Celula) {
            S += int64_t{lei.Coefs[t]} * ValorDaCasa(ASolucao, Ix(x));
        }
    }
    return C + " = " + std::to_string(lei.Constante) + " " + std::string(MENOS) + " " +
           std::to_string(S) + " = " + V + " (" + NomeDaLei(ASolver, ADica.Lei, ADica.Celula) + ")";
}

} // namespace

TDicas EscolherDicas(const TSolverDeducao& ASolver, std::span<const int32_t> ADados,
                     std::span<const int32_t> ASolucao, std::span<const TPassoDeducao> APassos,
                     int32_t ALimite, const TEspacoDasDicas* AEspaco) {
    return TEscolhaDeDicas(ASolver, ADados, ASolucao, APassos, ALimite, AEspaco).Escolher();
}

bool DicasBastam(std::span<const int32_t> ADados, std::span<const TDica> ADicas) {
    std::vector<bool> cheia(ADados.size(), false);
    for (size_t c = 0; c < ADados.size(); ++c) {
        cheia[c] = ADados[c] != 0;
    }
    for (const TDica& d : ADicas) {
        if (d.Celula >= 0 && Ix(d.Celula) < cheia.size()) {
            cheia[Ix(d.Celula)] = true;
        }
    }
    return std::all_of(cheia.begin(), cheia.end(), [](bool b) { return b; });
}

std::vector<std::string> TextosDaDica(const TSolverDeducao& ASolver,
                                      std::span<const int32_t> ASolucao, const TDica& ADica) {
    switch (ADica.Tipo) {
    case TTipoDica::tdLista: {
        std::vector<std::string> r;
        for (const TEstreitamento& e : ADica.Cadeia) {
            r.push_back(TextoDoEstreitamento(ASolver, e));
        }
        return r;
    }
    case TTipoDica::tdChave:
        return {NomeDaCasa(ASolver.N(), ADica.Celula) + " = " + std::to_string(ADica.Valor) +
                " (número-chave)"};
    case TTipoDica::tdLei:
        break;
    }
    return {TextoDaLei(ASolver, ASolucao, ADica)};
}

} // namespace tavrelo
