#include "composition/dicas.h"

#include <array>

namespace tavrelo {

namespace {

// Families in the order hints are taken from them: rows and columns last, since they are
// what a player finds alone.
constexpr std::array<TFamilia, 7> ORDEM_DAS_DICAS = {
    TFamilia::lfDiagPrincipal, TFamilia::lfDiagQuebrada, TFamilia::lfBloco, TFamilia::lfMeia,
    TFamilia::lfPar,           TFamilia::lfLista,        TFamilia::lfLinha};

} // namespace

std::string TextoDica(const TSolverDeducao& ASolver, std::span<const int32_t> ASolucao,
                      const TPassoDeducao& APasso) {
    const int32_t N = ASolver.N();
    const std::string C = NomeDaCasa(N, APasso.Celula);
    const std::string V = std::to_string(APasso.Valor);
    if (APasso.Celula == CentroDaGrelha(N)) {
        return C + " = " + std::to_string(SomaComplementar(N)) + " / 2 = " + V + " (o centro)";
    }
    if (APasso.Familia == TFamilia::lfLista) {
        if (APasso.Parceiro < 0) {
            return C + " = " + V + " (pela lista de números)";
        }
        return C + " = " + V + " (lista: " + C + " + " + NomeDaCasa(N, APasso.Parceiro) + " = " +
               std::to_string(APasso.Resto) + ")";
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

std::vector<int32_t> EscolherDicas(const TSolverDeducao& ASolver, std::span<const int32_t> ADados,
                                   std::span<const TPassoDeducao> APassos, int32_t ALimite,
                                   int32_t ACentro) {
    const auto n = static_cast<int32_t>(APassos.size());
    if (n == 0 || ALimite < 1) {
        return {};
    }
    const int32_t celulas = ASolver.N() * ASolver.N();

    std::vector<int32_t> quem(static_cast<size_t>(celulas), -1);
    for (int32_t i = 0; i < n; ++i) {
        const int32_t c = APassos[static_cast<size_t>(i)].Celula;
        if (c >= 0 && c < celulas) {
            quem[static_cast<size_t>(c)] = i;
        }
    }

    // Which steps can be shown on their own (everything they use is given or shown above
    // them), and the cells each one uses.
    std::vector<bool> autonomo(static_cast<size_t>(n), false);
    std::vector<std::vector<int32_t>> dependencias(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const TPassoDeducao& passo = APassos[static_cast<size_t>(i)];
        if (ACentro >= 0 && passo.Celula == ACentro) {
            autonomo[static_cast<size_t>(i)] = true;
            continue;
        }
        if (passo.Familia == TFamilia::lfLista && passo.Parceiro < 0) {
            continue;
        }
        if (passo.Lei < 0 || passo.Lei >= ASolver.NumLeis()) {
            continue;
        }
        const TLei lei = ASolver.Lei(passo.Lei);
        bool ok = true;
        for (const int32_t x : lei.Celulas) {
            if (x == passo.Celula || x == passo.Parceiro) {
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

    std::array<int32_t, ORDEM_DAS_DICAS.size()> cursor{};
    bool escolheu = true;
    while (conta < ALimite && escolheu) {
        escolheu = false;
        for (size_t f = 0; f < ORDEM_DAS_DICAS.size(); ++f) {
            if (conta >= ALimite) {
                break;
            }
            for (int32_t i = cursor[f]; i < n; ++i) {
                if (!autonomo[static_cast<size_t>(i)] || escolhido[static_cast<size_t>(i)] ||
                    APassos[static_cast<size_t>(i)].Familia != ORDEM_DAS_DICAS[f]) {
                    continue;
                }
                const std::vector<int32_t> novos = fecho(i);
                const auto custo = static_cast<int32_t>(novos.size());
                if (conta + custo > ALimite) {
                    continue;
                }
                for (const int32_t s : novos) {
                    escolhido[static_cast<size_t>(s)] = true;
                }
                conta += custo;
                cursor[f] = i + 1;
                escolheu = true;
                break;
            }
        }
    }

    std::vector<int32_t> r;
    r.reserve(static_cast<size_t>(conta));
    if (lider >= 0) {
        r.push_back(lider);
    }
    for (int32_t i = 0; i < n; ++i) {
        if (escolhido[static_cast<size_t>(i)] && i != lider) {
            r.push_back(i);
        }
    }
    return r;
}

} // namespace tavrelo
