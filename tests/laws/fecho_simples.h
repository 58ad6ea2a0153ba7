// A plain, unoptimised closure written straight from the rules of deduction, used
// as an oracle for the solver's fast Fecho on any grid, however tampered.
#pragma once

#include "laws/solver.h"

#include <cstdint>
#include <vector>

namespace tavrelo::teste {

class FechoSimples {
  public:
    explicit FechoSimples(const TSolverDeducao& ASolver) : FSolver(ASolver) {
        for (int32_t j = 0; j < ASolver.NumLeis(); ++j) {
            FLeis.push_back(ASolver.Lei(j));
        }
        FS = static_cast<int64_t>(ASolver.N()) * ASolver.N();
    }

    bool Fecho(std::vector<int32_t> G, TFamilias F, bool AComLista) const {
        for (;;) {
            if (!Propagar(G, F)) {
                return false;
            }
            bool cheia = true;
            for (const int32_t v : G) {
                cheia = cheia && v != 0;
            }
            if (cheia) {
                return true;
            }
            std::vector<std::vector<bool>> cand;
            if (!AComLista || !Reduzir(G, F, cand)) {
                return false;
            }
            int preenchidas = 0;
            for (size_t j = 0; j < G.size(); ++j) {
                if (G[j] != 0) {
                    continue;
                }
                int32_t unico = 0, n = 0;
                for (int64_t v = 1; v <= FS; ++v) {
                    if (cand[j][static_cast<size_t>(v)]) {
                        unico = static_cast<int32_t>(v);
                        ++n;
                    }
                }
                if (n == 1) {
                    G[j] = unico;
                    ++preenchidas;
                }
            }
            if (preenchidas == 0) {
                return false;
            }
        }
    }

  private:
    static int64_t W32(int64_t x) { return static_cast<int32_t>(static_cast<uint32_t>(x)); }

    bool Propagar(std::vector<int32_t>& G, TFamilias F) const {
        const size_t L = FLeis.size();
        std::vector<int32_t> gaps(L), sum(L), pilha;
        for (size_t j = 0; j < L; ++j) {
            if (!F.Contem(FLeis[j].Familia)) {
                gaps[j] = -1;
                continue;
            }
            int64_t s = 0;
            for (size_t k = 0; k < FLeis[j].Celulas.size(); ++k) {
                const int32_t v = G[static_cast<size_t>(FLeis[j].Celulas[k])];
                if (v == 0) {
                    ++gaps[j];
                } else {
                    s = W32(s + W32(static_cast<int64_t>(FLeis[j].Coefs[k]) * v));
                }
            }
            sum[j] = static_cast<int32_t>(s);
            if (gaps[j] == 1) {
                pilha.push_back(static_cast<int32_t>(j));
            }
        }
        while (!pilha.empty()) {
            const auto c = static_cast<size_t>(pilha.back());
            pilha.pop_back();
            if (gaps[c] != 1) {
                continue;
            }
            int32_t x = -1, e = 0;
            for (size_t k = 0; k < FLeis[c].Celulas.size(); ++k) {
                if (G[static_cast<size_t>(FLeis[c].Celulas[k])] == 0) {
                    x = FLeis[c].Celulas[k];
                    e = FLeis[c].Coefs[k];
                    break;
                }
            }
            const int64_t d = W32(static_cast<int64_t>(FLeis[c].Constante) - sum[c]);
            if (d % e != 0) {
                return false;
            }
            const int64_t v = d / e;
            if (v < 1 || v > FS) {
                return false;
            }
            G[static_cast<size_t>(x)] = static_cast<int32_t>(v);
            const auto& leis = FSolver.PorCelula(x);
            const auto& coefs = FSolver.CoefPorCelula(x);
            for (size_t i = 0; i < leis.size(); ++i) {
                const auto k = static_cast<size_t>(leis[i]);
                if (gaps[k] >= 0) {
                    --gaps[k];
                    sum[k] = static_cast<int32_t>(W32(sum[k] + v * coefs[i]));
                    if (gaps[k] == 1) {
                        pilha.push_back(static_cast<int32_t>(k));
                    }
                }
            }
        }
        return true;
    }

    bool Reduzir(const std::vector<int32_t>& G, TFamilias F,
                 std::vector<std::vector<bool>>& cand) const {
        const auto S = static_cast<size_t>(FS);
        std::vector<bool> lista(S + 1, false);
        for (size_t v = 1; v <= S; ++v) {
            lista[v] = true;
        }
        for (const int32_t v : G) {
            if (v >= 1 && static_cast<size_t>(v) <= S) {
                lista[static_cast<size_t>(v)] = false;
            }
        }
        cand.assign(G.size(), std::vector<bool>(S + 1, false));
        for (size_t j = 0; j < G.size(); ++j) {
            if (G[j] == 0) {
                cand[j] = lista;
            }
        }
        bool mudou = true;
        while (mudou) {
            mudou = false;
            for (const TLei& lei : FLeis) {
                if (!F.Contem(lei.Familia)) {
                    continue;
                }
                int64_t s = 0;
                std::vector<size_t> vazias;
                bool coefsUm = true;
                for (size_t k = 0; k < lei.Celulas.size() && vazias.size() < 3; ++k) {
                    const int32_t v = G[static_cast<size_t>(lei.Celulas[k])];
                    if (v == 0) {
                        vazias.push_back(static_cast<size_t>(lei.Celulas[k]));
                        coefsUm = coefsUm && lei.Coefs[k] == 1;
                    } else {
                        s = W32(s + W32(static_cast<int64_t>(lei.Coefs[k]) * v));
                    }
                }
                if (vazias.size() != 2 || !coefsUm) {
                    continue;
                }
                const int64_t R = W32(lei.Constante - s);
                const size_t A = vazias[0], B = vazias[1];
                std::vector<bool> novoA(S + 1, false), novoB(S + 1, false);
                for (int64_t v = 1; v <= FS; ++v) {
                    const int64_t w = R - v;
                    if (v == w || w < 1 || w > FS) {
                        continue;
                    }
                    const auto vi = static_cast<size_t>(v), wi = static_cast<size_t>(w);
                    novoA[vi] = cand[A][vi] && cand[B][wi];
                    novoB[vi] = cand[B][vi] && cand[A][wi];
                }
                if (novoA == cand[A] && novoB == cand[B]) {
                    continue;
                }
                auto vazio = [](const std::vector<bool>& c) {
                    for (const bool b : c) {
                        if (b) {
                            return false;
                        }
                    }
                    return true;
                };
                if (vazio(novoA) || vazio(novoB)) {
                    return false;
                }
                cand[A] = novoA;
                cand[B] = novoB;
                mudou = true;
            }
        }
        return true;
    }

    const TSolverDeducao& FSolver;
    std::vector<TLei> FLeis;
    int64_t FS = 0;
};

} // namespace tavrelo::teste
