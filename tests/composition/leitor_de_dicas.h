// A reader of the hints under a solution, who has nothing but the page and a pencil: each
// hint's text is replayed against the grid as the page stands before it (the givens and the
// numbers of the hints above it), with the laws of the square and arithmetic alone. It shares
// no code with the choice of hints; it knows only the law table and the wording of a hint.
#pragma once

#include "drawing/canvas_gravador.h"
#include "laws/solver.h"

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace tavrelo::teste_dicas {

// One pair law named by a list hint: "A + B = R".
struct TParLido {
    int32_t A = -1;
    int32_t B = -1;
    int32_t Resto = 0;
};

// A hint's text taken apart.
struct TDicaLida {
    int32_t Celula = -1;
    int32_t Valor = 0;
    std::string Porque;          // what follows "LrCc = ": the arithmetic and the reason
    std::vector<TParLido> Pares; // list hints only
    bool Lista = false;
};

// "L3C5" at APos: the cell, or -1; APos moves past the name.
inline int32_t LerCasa(int32_t N, const std::string& ATexto, size_t& APos) {
    int32_t l = 0;
    int32_t c = 0;
    int lidos = 0;
    if (std::sscanf(ATexto.c_str() + APos, "L%dC%d%n", &l, &c, &lidos) != 2 || l < 1 || l > N ||
        c < 1 || c > N) {
        return -1;
    }
    APos += static_cast<size_t>(lidos);
    return (l - 1) * N + (c - 1);
}

// Empty Porque and Celula -1 when the text does not start with a cell and " = ".
inline TDicaLida PartirDica(int32_t N, const std::string& ATexto) {
    TDicaLida d;
    size_t pos = 0;
    d.Celula = LerCasa(N, ATexto, pos);
    if (d.Celula < 0 || ATexto.compare(pos, 3, " = ") != 0) {
        d.Celula = -1;
        return d;
    }
    d.Porque = ATexto.substr(pos + 3);
    const size_t lista = d.Porque.find(" (lista: ");
    if (lista == std::string::npos) {
        return d;
    }
    d.Lista = true;
    d.Valor = std::stoi(d.Porque.substr(0, lista));
    std::string resto = d.Porque.substr(lista + 9);
    if (resto.empty() || resto.back() != ')') {
        d.Pares.clear();
        return d;
    }
    resto.pop_back();
    size_t p = 0;
    while (p < resto.size()) {
        TParLido par;
        par.A = LerCasa(N, resto, p);
        if (par.A < 0 || resto.compare(p, 3, " + ") != 0) {
            d.Pares.clear();
            return d;
        }
        p += 3;
        par.B = LerCasa(N, resto, p);
        int lidos = 0;
        if (par.B < 0 || std::sscanf(resto.c_str() + p, " = %d%n", &par.Resto, &lidos) != 1) {
            d.Pares.clear();
            return d;
        }
        p += static_cast<size_t>(lidos);
        d.Pares.push_back(par);
        if (p < resto.size()) {
            if (resto.compare(p, 2, "; ") != 0) {
                d.Pares.clear();
                return d;
            }
            p += 2;
        }
    }
    return d;
}

// The values still to place on AGrelha: 1 … N² less those on it.
inline std::set<int32_t> AindaPorColocar(int32_t N, const std::vector<int32_t>& AGrelha) {
    std::set<int32_t> r;
    for (int32_t v = 1; v <= N * N; ++v) {
        r.insert(v);
    }
    for (const int32_t v : AGrelha) {
        r.erase(v);
    }
    return r;
}

// The values a named pair leaves to its first cell: v still to place, R − v still to place
// and different from v. Empty when no law of the square makes the pair an open pair law on
// AGrelha (both cells empty, every other cell filled, every coefficient 1) that lacks R.
inline std::set<int32_t> ValoresDoPar(const TSolverDeducao& S, const std::vector<int32_t>& AGrelha,
                                      const TParLido& APar) {
    const int32_t N = S.N();
    bool lei = false;
    for (int32_t j = 0; j < S.NumLeis() && !lei; ++j) {
        const TLei L = S.Lei(j);
        int64_t soma = 0;
        std::set<int32_t> vazias;
        bool unitaria = true;
        for (size_t t = 0; t < L.Celulas.size(); ++t) {
            unitaria = unitaria && L.Coefs[t] == 1;
            const int32_t v = AGrelha[size_t(L.Celulas[t])];
            if (v == 0) {
                vazias.insert(L.Celulas[t]);
            }
            soma += v;
        }
        lei = unitaria && vazias == std::set<int32_t>{APar.A, APar.B} && APar.A != APar.B &&
              L.Constante - soma == APar.Resto;
    }
    std::set<int32_t> r;
    if (!lei) {
        return r;
    }
    const std::set<int32_t> livres = AindaPorColocar(N, AGrelha);
    for (const int32_t v : livres) {
        if (v != APar.Resto - v && livres.count(APar.Resto - v) != 0) {
            r.insert(v);
        }
    }
    return r;
}

// What the named pairs leave together.
inline std::set<int32_t> ValoresDosPares(const TSolverDeducao& S,
                                         const std::vector<int32_t>& AGrelha,
                                         const std::vector<TParLido>& APares) {
    std::set<int32_t> r = AindaPorColocar(S.N(), AGrelha);
    for (const TParLido& par : APares) {
        const std::set<int32_t> v = ValoresDoPar(S, AGrelha, par);
        std::set<int32_t> dentro;
        for (const int32_t x : r) {
            if (v.count(x) != 0) {
                dentro.insert(x);
            }
        }
        r = dentro;
    }
    return r;
}

// Replays one hint on AGrelha (the page before it) and writes its value there. Returns ""
// when the reader reaches the hint's value as the hint says, else why not.
inline std::string LerDica(const TSolverDeducao& S, std::vector<int32_t>& AGrelha,
                           const std::string& ATexto) {
    const int32_t N = S.N();
    const TDicaLida d = PartirDica(N, ATexto);
    if (d.Celula < 0) {
        return "no cell at the start";
    }
    if (AGrelha[size_t(d.Celula)] != 0) {
        return "the cell is already filled";
    }
    const std::string casa = NomeDaCasa(N, d.Celula);
    int32_t valor = 0;
    if (d.Lista) {
        if (d.Pares.size() < 2) {
            return "a list hint needs two pair laws at least (one always leaves two values)";
        }
        for (const TParLido& par : d.Pares) {
            if (par.A != d.Celula) {
                return "a pair that does not start with the hint's cell";
            }
            if (ValoresDoPar(S, AGrelha, par).empty()) {
                return "a pair that is no open pair law of the page: " + NomeDaCasa(N, par.A) +
                       " + " + NomeDaCasa(N, par.B) + " = " + std::to_string(par.Resto);
            }
        }
        const std::set<int32_t> ficam = ValoresDosPares(S, AGrelha, d.Pares);
        if (ficam != std::set<int32_t>{d.Valor}) {
            return "the pairs leave " + std::to_string(ficam.size()) + " values";
        }
        valor = d.Valor;
    } else {
        int32_t K = 0;
        int32_t soma = 0;
        int lidos = 0;
        const char* resto = d.Porque.c_str();
        if (std::sscanf(resto, "%d / 2 = %d (o centro)%n", &K, &valor, &lidos) == 2 &&
            size_t(lidos) == d.Porque.size()) {
            if (d.Celula != CentroDaGrelha(N) || K != SomaComplementar(N) || K != 2 * valor) {
                return "not the centre of the square, or not half of C";
            }
        } else if (std::sscanf(resto, "%d - %d = %d (%n", &K, &soma, &valor, &lidos) == 3) {
            if (K - soma != valor) {
                return "the subtraction is wrong";
            }
            const std::string razao = d.Porque.substr(size_t(lidos));
            // The laws the reason points to: a row or column by number, the others by family
            // and, for two-cell laws, the other cell named.
            std::vector<int32_t> leis;
            int32_t k = 0;
            int32_t outra = -1;
            TFamilia familia = TFamilia::lfLinha;
            if (std::sscanf(razao.c_str(), "linha %d)", &k) == 1 && k >= 1 && k <= N) {
                leis.push_back(k - 1);
            } else if (std::sscanf(razao.c_str(), "coluna %d)", &k) == 1 && k >= 1 && k <= N) {
                leis.push_back(N + k - 1);
            } else {
                if (razao == "diagonal principal)" || razao == "diagonal secundária)") {
                    familia = TFamilia::lfDiagPrincipal;
                } else if (razao == "diagonal quebrada)") {
                    familia = TFamilia::lfDiagQuebrada;
                } else if (razao == "bloco 2x2)") {
                    familia = TFamilia::lfBloco;
                } else {
                    const bool meia = razao.rfind("meia diagonal, com ", 0) == 0;
                    const bool opostas = razao.rfind("casas opostas, com ", 0) == 0;
                    if (!meia && !opostas) {
                        return "an unknown reason: " + razao;
                    }
                    size_t p = 19;
                    outra = LerCasa(N, razao, p);
                    if (outra < 0 || razao.substr(p) != ")") {
                        return "an unknown reason: " + razao;
                    }
                    familia = meia ? TFamilia::lfMeia : TFamilia::lfPar;
                }
                for (int32_t j = 0; j < S.NumLeis(); ++j) {
                    if (S.Lei(j).Familia == familia) {
                        leis.push_back(j);
                    }
                }
            }
            bool alguma = false;
            for (const int32_t j : leis) {
                const TLei L = S.Lei(j);
                int64_t s = 0;
                int32_t vazias = 0;
                bool temCasa = false;
                bool temOutra = outra < 0;
                for (size_t t = 0; t < L.Celulas.size(); ++t) {
                    const int32_t x = L.Celulas[t];
                    temCasa = temCasa || (x == d.Celula && L.Coefs[t] == 1);
                    temOutra = temOutra || x == outra;
                    if (x != d.Celula) {
                        vazias += AGrelha[size_t(x)] == 0 ? 1 : 0;
                        s += int64_t{L.Coefs[t]} * AGrelha[size_t(x)];
                    }
                }
                alguma =
                    alguma || (temCasa && temOutra && vazias == 0 && L.Constante == K && s == soma);
            }
            if (!alguma) {
                return "no law of that kind through " + casa + " is full but for it, with " +
                       std::to_string(K) + " - " + std::to_string(soma);
            }
            // Kinds that name their diagonal: the main one holds cells with row = column.
            if (razao == "diagonal principal)" && d.Celula / N != d.Celula % N) {
                return "not on the main diagonal";
            }
        } else {
            return "a text the reader cannot follow";
        }
    }
    if (valor < 1 || valor > N * N) {
        return "a value outside 1 … N²";
    }
    AGrelha[size_t(d.Celula)] = valor;
    return "";
}

// The hints printed on a recorded page, in order, their wrapped lines joined and their
// numbers taken off. Hint lines are the black, regular, left-aligned 9.5 pt texts; "k. " opens
// hint k, and a line without it goes on with the hint above. Empty when the numbers are not
// 1, 2, 3, … in turn.
inline std::vector<std::string> DicasImpressas(const ::teste::TCanvasGravador& C) {
    std::vector<std::string> r;
    for (const ::teste::TChamada& c : C.Chamadas) {
        if (c.Op != "Texto" || c.Num[2] != 9.5 || c.Num[3] != 0 || c.Negrito ||
            c.Alinhamento != TAlinhamento::alEsquerda) {
            continue;
        }
        const std::string numero = std::to_string(r.size() + 1) + ". ";
        if (c.Texto.rfind(numero, 0) == 0) {
            r.push_back(c.Texto.substr(numero.size()));
        } else if (!r.empty()) {
            r.back() += " " + c.Texto;
        } else {
            return {};
        }
    }
    return r;
}

} // namespace tavrelo::teste_dicas
