#include "composition/dicas.h"

#include <array>

namespace tavrelo {

namespace {

// Families in the order hints are taken from them: rows and columns last, since they are
// what a player finds alone.
constexpr std::array<TFamilia, 7> ORDEM_DAS_DICAS = {
    TFamilia::lfDiagPrincipal, TFamilia::lfDiagQuebrada, TFamilia::lfBloco, TFamilia::lfMeia,
    TFamilia::lfPar,           TFamilia::lfLista,        TFamilia::lfLinha};

// The laws of a solver, each fetched once and only when needed.
class TLeis {
  public:
    explicit TLeis(const TSolverDeducao& ASolver)
        : FSolver(ASolver), FLeis(static_cast<size_t>(ASolver.NumLeis())),
          FLida(static_cast<size_t>(ASolver.NumLeis()), false) {}

    const TSolverDeducao& Solver() const { return FSolver; }
    bool Existe(int32_t ALei) const { return ALei >= 0 && ALei < FSolver.NumLeis(); }
    const TLei& Lei(int32_t ALei) {
        const auto j = static_cast<size_t>(ALei);
        if (!FLida[j]) {
            FLeis[j] = FSolver.Lei(ALei);
            FLida[j] = true;
        }
        return FLeis[j];
    }

  private:
    const TSolverDeducao& FSolver;
    std::vector<TLei> FLeis;
    std::vector<bool> FLida;
};

// A page as the reader has it: the numbers written in the grid, and those still to place.
class TPagina {
  public:
    TPagina(TLeis& ALeis, std::span<const int32_t> AGrelha)
        : FLeis(&ALeis), FN(ALeis.Solver().N()), FFamilias(FamiliasCompletas(FN)),
          FGrelha(static_cast<size_t>(FN * FN), 0),
          FLivres(static_cast<size_t>(FN * FN) + 1, true) {
        FLivres[0] = false;
        for (size_t c = 0; c < FGrelha.size(); ++c) {
            Escrever(static_cast<int32_t>(c), ValorDaCasa(AGrelha, c));
        }
    }

    void Escrever(int32_t ACelula, int32_t AValor) {
        if (ACelula < 0 || ACelula >= FN * FN) {
            return;
        }
        FGrelha[static_cast<size_t>(ACelula)] = AValor;
        if (AValor >= 1 && AValor <= FN * FN) {
            FLivres[static_cast<size_t>(AValor)] = false;
        }
    }

    // The open pair laws through the empty cell ACelula, in increasing law index.
    std::vector<TParDaLista> ParesAbertos(int32_t ACelula) {
        std::vector<TParDaLista> r;
        if (ACelula < 0 || ACelula >= FN * FN || FGrelha[static_cast<size_t>(ACelula)] != 0) {
            return r;
        }
        for (const int32_t j : FLeis->Solver().PorCelula(ACelula)) {
            const TLei& lei = FLeis->Lei(j);
            if (!FFamilias.Contem(lei.Familia)) {
                continue;
            }
            int64_t soma = 0;
            int32_t vazias = 0;
            int32_t outra = -1;
            bool unitaria = true;
            for (size_t t = 0; t < lei.Celulas.size() && unitaria && vazias <= 2; ++t) {
                const int32_t x = lei.Celulas[t];
                const int32_t v = FGrelha[static_cast<size_t>(x)];
                unitaria = lei.Coefs[t] == 1;
                if (v == 0) {
                    ++vazias;
                    outra = x == ACelula ? outra : x;
                } else {
                    soma += v;
                }
            }
            if (unitaria && vazias == 2 && outra >= 0) {
                r.push_back({j, outra, static_cast<int32_t>(lei.Constante - soma)});
            }
        }
        return r;
    }

    // Whether APares leave AValor alone to their cell: no other number still to place has,
    // in every one of them, a partner R - v still to place and other than itself.
    bool DeixamSo(const std::vector<TParDaLista>& APares, int32_t AValor) const {
        if (APares.empty() || !Permitido(APares, AValor)) {
            return false;
        }
        for (int32_t v = 1; v <= FN * FN; ++v) {
            if (v != AValor && Permitido(APares, v)) {
                return false;
            }
        }
        return true;
    }

    // Whether the list technique gives AValor to ACelula on this page.
    bool Segura(int32_t ACelula, int32_t AValor) { return DeixamSo(ParesAbertos(ACelula), AValor); }

    // The fewest open pair laws through ACelula that leave AValor alone (the first such set
    // in increasing law index), or none when all of them together do not.
    std::vector<TParDaLista> Pares(int32_t ACelula, int32_t AValor) {
        const std::vector<TParDaLista> abertos = ParesAbertos(ACelula);
        if (!DeixamSo(abertos, AValor)) {
            return {};
        }
        // One law always leaves a value with its partner, so two at least are needed.
        const size_t m = abertos.size();
        for (size_t k = 2; k < m; ++k) {
            std::vector<size_t> escolha(k);
            for (size_t i = 0; i < k; ++i) {
                escolha[i] = i;
            }
            std::vector<TParDaLista> pares(k);
            for (;;) {
                for (size_t i = 0; i < k; ++i) {
                    pares[i] = abertos[escolha[i]];
                }
                if (DeixamSo(pares, AValor)) {
                    return pares;
                }
                // The next k of the m, in lexicographic order.
                size_t i = k;
                while (i > 0 && escolha[i - 1] == m - k + i - 1) {
                    --i;
                }
                if (i == 0) {
                    break;
                }
                ++escolha[i - 1];
                for (size_t t = i; t < k; ++t) {
                    escolha[t] = escolha[t - 1] + 1;
                }
            }
        }
        return abertos;
    }

  private:
    bool Livre(int64_t AValor) const {
        return AValor >= 1 && AValor <= FN * FN && FLivres[static_cast<size_t>(AValor)];
    }
    // AValor is still to place and every pair of APares gives it a partner.
    bool Permitido(const std::vector<TParDaLista>& APares, int32_t AValor) const {
        if (!Livre(AValor)) {
            return false;
        }
        for (const TParDaLista& par : APares) {
            const int64_t parceiro = int64_t{par.Resto} - AValor;
            if (!Livre(parceiro) || parceiro == AValor) {
                return false;
            }
        }
        return true;
    }

    TLeis* FLeis;
    int32_t FN;
    TFamilias FFamilias;
    std::vector<int32_t> FGrelha;
    std::vector<bool> FLivres; // by value: still to place
};

// The hints in the order printed: the lead first, then the others in increasing step index.
std::vector<int32_t> OrdemImpressa(const std::vector<bool>& AEscolhido, int32_t ALider) {
    std::vector<int32_t> r;
    if (ALider >= 0) {
        r.push_back(ALider);
    }
    for (size_t i = 0; i < AEscolhido.size(); ++i) {
        if (AEscolhido[i] && static_cast<int32_t>(i) != ALider) {
            r.push_back(static_cast<int32_t>(i));
        }
    }
    return r;
}

} // namespace

std::string TextoDica(const TSolverDeducao& ASolver, std::span<const int32_t> ASolucao,
                      const TPassoDeducao& APasso, std::span<const TParDaLista> APares) {
    const int32_t N = ASolver.N();
    const std::string C = NomeDaCasa(N, APasso.Celula);
    const std::string V = std::to_string(APasso.Valor);
    if (APasso.Celula == CentroDaGrelha(N)) {
        return C + " = " + std::to_string(SomaComplementar(N)) + " / 2 = " + V + " (o centro)";
    }
    if (APasso.Familia == TFamilia::lfLista) {
        if (APares.empty()) {
            if (APasso.Parceiro < 0) {
                return C + " = " + V + " (pela lista de números)";
            }
            const TParDaLista proprio{APasso.Lei, APasso.Parceiro, APasso.Resto};
            return TextoDica(ASolver, ASolucao, APasso, std::span(&proprio, 1));
        }
        std::string r = C + " = " + V + " (lista: ";
        for (size_t i = 0; i < APares.size(); ++i) {
            r += (i > 0 ? "; " : "") + C + " + " + NomeDaCasa(N, APares[i].Parceiro) + " = " +
                 std::to_string(APares[i].Resto);
        }
        return r + ")";
    }
    if (APasso.Lei < 0 || APasso.Lei >= ASolver.NumLeis()) {
        // A step of a law family always names its law; without one only the value is known.
        return C + " = " + V;
    }
    const TLei lei = ASolver.Lei(APasso.Lei);
    int64_t S = 0;
    int32_t O = -1;
    for (size_t t = 0; t < lei.Celulas.size(); ++t) {
        const int32_t x = lei.Celulas[t];
        if (x == APasso.Celula) {
            continue;
        }
        S += int64_t{lei.Coefs[t]} * ValorDaCasa(ASolucao, static_cast<size_t>(x));
        O = x;
    }
    const std::string K = std::to_string(lei.Constante);
    const std::string base = C + " = " + K + " - " + std::to_string(S) + " = " + V;
    switch (APasso.Familia) {
    case TFamilia::lfLinha:
        if (APasso.Lei < N) {
            return base + " (linha " + std::to_string(APasso.Lei + 1) + ")";
        }
        return base + " (coluna " + std::to_string(APasso.Lei - N + 1) + ")";
    case TFamilia::lfDiagPrincipal:
        if (APasso.Celula / N == APasso.Celula % N) {
            return base + " (diagonal principal)";
        }
        return base + " (diagonal secundária)";
    case TFamilia::lfDiagQuebrada:
        return base + " (diagonal quebrada)";
    case TFamilia::lfBloco:
        return base + " (bloco 2x2)";
    case TFamilia::lfPar:
        if (lei.Celulas.size() == 1) {
            return C + " = " + K + " / 2 = " + V + " (o centro)";
        }
        return base + " (casas opostas, com " + NomeDaCasa(N, O) + ")";
    case TFamilia::lfMeia:
        return base + " (meia diagonal, com " + NomeDaCasa(N, O) + ")";
    case TFamilia::lfLista:
        break;
    }
    return base;
}

std::vector<TParDaLista> ParesDaLista(const TSolverDeducao& ASolver,
                                      std::span<const int32_t> AGrelha, int32_t ACelula,
                                      int32_t AValor) {
    TLeis leis(ASolver);
    TPagina pagina(leis, AGrelha);
    return pagina.Pares(ACelula, AValor);
}

std::vector<TDica> EscolherDicas(const TSolverDeducao& ASolver, std::span<const int32_t> ADados,
                                 std::span<const TPassoDeducao> APassos, int32_t ALimite,
                                 int32_t ACentro) {
    const auto n = static_cast<int32_t>(APassos.size());
    if (n == 0 || ALimite < 1) {
        return {};
    }
    const int32_t celulas = ASolver.N() * ASolver.N();
    TLeis leis(ASolver);

    std::vector<int32_t> quem(static_cast<size_t>(celulas), -1);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t c = APassos[static_cast<size_t>(i)].Celula;
        if (c >= 0 && c < celulas) {
            quem[static_cast<size_t>(c)] = i;
        }
    }

    // A list hint is shown where the list technique reaches its value on the page; the
    // others never need checking on the page.
    auto ehLista = [&](int32_t APasso) {
        const TPassoDeducao& p = APassos[static_cast<size_t>(APasso)];
        return p.Familia == TFamilia::lfLista && !(ACentro >= 0 && p.Celula == ACentro);
    };

    // Which steps can be shown on their own (a law step: everything its law uses is given
    // or shown above it; a list step: checked on the page), and the cells each one uses.
    std::vector<bool> autonomo(static_cast<size_t>(n), false);
    std::vector<std::vector<int32_t>> dependencias(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const TPassoDeducao& passo = APassos[static_cast<size_t>(i)];
        if ((ACentro >= 0 && passo.Celula == ACentro) || ehLista(i)) {
            autonomo[static_cast<size_t>(i)] = true;
            continue;
        }
        if (!leis.Existe(passo.Lei)) {
            continue;
        }
        bool ok = true;
        for (const int32_t x : leis.Lei(passo.Lei).Celulas) {
            if (x == passo.Celula) {
                continue;
            }
            dependencias[static_cast<size_t>(i)].push_back(x);
            if (ValorDaCasa(ADados, static_cast<size_t>(x)) != 0) {
                continue;
            }
            const int32_t j = (x >= 0 && x < celulas) ? quem[static_cast<size_t>(x)] : -1;
            if (j < 0 || j >= i || !autonomo[static_cast<size_t>(j)]) {
                ok = false;
            }
        }
        autonomo[static_cast<size_t>(i)] = ok;
    }

    std::vector<bool> escolhido(static_cast<size_t>(n), false);
    std::vector<int32_t> visto(static_cast<size_t>(n), -1); // the walk that last met a step
    int32_t caminhada = 0;

    // The steps of APasso's closure that are not chosen yet.
    auto fecho = [&](int32_t APasso) {
        ++caminhada;
        std::vector<int32_t> r;
        std::vector<int32_t> pilha{APasso};
        visto[static_cast<size_t>(APasso)] = caminhada;
        while (!pilha.empty()) {
            const int32_t s = pilha.back();
            pilha.pop_back();
            r.push_back(s);
            for (const int32_t x : dependencias[static_cast<size_t>(s)]) {
                if (ValorDaCasa(ADados, static_cast<size_t>(x)) != 0 || x < 0 || x >= celulas) {
                    continue;
                }
                const int32_t j = quem[static_cast<size_t>(x)];
                if (j < 0 || escolhido[static_cast<size_t>(j)] ||
                    visto[static_cast<size_t>(j)] == caminhada) {
                    continue;
                }
                visto[static_cast<size_t>(j)] = caminhada;
                pilha.push_back(j);
            }
        }
        return r;
    };

    int32_t conta = 0;
    int32_t lider = -1;
    if (ACentro >= 0) {
        for (int32_t i = 0; i < n; ++i) {
            if (APassos[static_cast<size_t>(i)].Celula == ACentro &&
                autonomo[static_cast<size_t>(i)]) {
                lider = i;
                escolhido[static_cast<size_t>(i)] = true;
                conta = 1;
                break;
            }
        }
    }

    // How many of the steps AQuais are list hints.
    auto listasEm = [&](const std::vector<int32_t>& AQuais) {
        int32_t r = 0;
        for (const int32_t s : AQuais) {
            r += ehLista(s) ? 1 : 0;
        }
        return r;
    };
    // Whether every list hint holds on its page once ANovos join the chosen steps, but
    // AVista, already seen to hold on its own page: the pages are replayed from the givens,
    // hint after hint in the order printed.
    int32_t listas = 0; // list hints chosen
    const TPagina dados(leis, ADados);
    TPagina lideres = dados; // the givens and the lead
    if (lider >= 0) {
        lideres.Escrever(APassos[static_cast<size_t>(lider)].Celula,
                         APassos[static_cast<size_t>(lider)].Valor);
    }
    auto seguraNaPagina = [&](const std::vector<int32_t>& ANovos, int32_t AVista) {
        if (listas + listasEm(ANovos) - (AVista >= 0 ? 1 : 0) == 0) {
            return true;
        }
        std::vector<bool> mostrado = escolhido;
        for (const int32_t s : ANovos) {
            mostrado[static_cast<size_t>(s)] = true;
        }
        TPagina pagina = dados;
        for (const int32_t s : OrdemImpressa(mostrado, lider)) {
            const TPassoDeducao& p = APassos[static_cast<size_t>(s)];
            if (ehLista(s) && s != AVista && !pagina.Segura(p.Celula, p.Valor)) {
                return false;
            }
            pagina.Escrever(p.Celula, p.Valor);
        }
        return true;
    };

    std::array<int32_t, ORDEM_DAS_DICAS.size()> cursor{};
    bool escolheu = true;
    while (conta < ALimite && escolheu) {
        escolheu = false;
        for (size_t f = 0; f < ORDEM_DAS_DICAS.size(); ++f) {
            if (conta >= ALimite) {
                break;
            }
            // The page before step i, kept as the scan goes down the record: a list step is
            // first tried there, on its own.
            TPagina antes = lideres;
            int32_t escritos = 0; // the chosen steps before this one are on it
            for (int32_t i = cursor[f]; i < n; ++i) {
                const TPassoDeducao& passo = APassos[static_cast<size_t>(i)];
                if (!autonomo[static_cast<size_t>(i)] || escolhido[static_cast<size_t>(i)] ||
                    passo.Familia != ORDEM_DAS_DICAS[f]) {
                    continue;
                }
                const bool lista = ehLista(i);
                if (lista) {
                    for (; escritos < i; ++escritos) {
                        const TPassoDeducao& e = APassos[static_cast<size_t>(escritos)];
                        if (escolhido[static_cast<size_t>(escritos)] && escritos != lider) {
                            antes.Escrever(e.Celula, e.Valor);
                        }
                    }
                    if (!antes.Segura(passo.Celula, passo.Valor)) {
                        continue;
                    }
                }
                const std::vector<int32_t> novos = fecho(i);
                const auto custo = static_cast<int32_t>(novos.size());
                if (conta + custo > ALimite || !seguraNaPagina(novos, lista ? i : -1)) {
                    continue;
                }
                for (const int32_t s : novos) {
                    escolhido[static_cast<size_t>(s)] = true;
                }
                listas += listasEm(novos);
                conta += custo;
                cursor[f] = i + 1;
                escolheu = true;
                break;
            }
        }
    }

    // Each list hint names the fewest of its pair laws, on the page it stands on.
    std::vector<TDica> r;
    TPagina pagina = dados;
    for (const int32_t s : OrdemImpressa(escolhido, lider)) {
        const TPassoDeducao& p = APassos[static_cast<size_t>(s)];
        TDica dica{s, {}};
        if (ehLista(s)) {
            dica.Pares = pagina.Pares(p.Celula, p.Valor);
        }
        pagina.Escrever(p.Celula, p.Valor);
        r.push_back(std::move(dica));
    }
    return r;
}

} // namespace tavrelo
