// A reader of the hints under a solution, with nothing but the page, the rules and a pencil.
// They fill every cell that a law of the square leaves as its only empty cell, again and again
// (simple steps), so before each hint their grid is that closure of the givens and the hints
// above it. A law hint must hold on the page itself (givens and hints above, no simple steps
// of the reader's own); each narrowing of a list hint ("só pode ser …", and the last "= …") on
// the reader's grid, reading the numbers still to place and what the narrowings above it left
// each cell, and every sum in it must name the law whose two empty cells it adds. It shares no
// code with the choice of hints; it knows only the law table and the wording of a hint.
#pragma once

#include "drawing/canvas_gravador.h"
#include "laws/solver.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavrelo::teste_dicas {

// One pair law named by a narrowing: "A + B = R na linha 3".
struct TParLido {
    int32_t A = -1;
    int32_t B = -1;
    int32_t Resto = 0;
    std::string Lei; // as written after the sum: "na linha 3", "no bloco 2 × 2 de …"
};

enum class TForma { fmLei, fmCentro, fmLista, fmCandidatos, fmChave, fmDesconhecida };

// A hint's text taken apart.
struct TDicaLida {
    TForma Forma = TForma::fmDesconhecida;
    int32_t Celula = -1;
    std::vector<int32_t> Valores; // the number, or the candidates
    std::string Razao;            // law hints: what stands in the brackets
    int32_t K = 0, S = 0;         // law hints: "K − S = V"
    std::vector<TParLido> Pares;
};

inline const std::string MENOS = "\xE2\x88\x92"; // U+2212

// "L3C5" at APos: the cell, or -1; APos moves past the name.
inline int32_t LerCasa(int32_t N, const std::string& ATexto, size_t& APos) {
    int32_t l = 0;
    int32_t c = 0;
    int lidos = 0;
    if (APos >= ATexto.size() ||
        std::sscanf(ATexto.c_str() + APos, "L%dC%d%n", &l, &c, &lidos) != 2 || l < 1 || l > N ||
        c < 1 || c > N) {
        return -1;
    }
    APos += static_cast<size_t>(lidos);
    return (l - 1) * N + (c - 1);
}

inline bool Comeca(const std::string& ATexto, size_t APos, const std::string& AParte) {
    return ATexto.compare(APos, AParte.size(), AParte) == 0;
}

// "(lista: A + B = R na linha 3; A + B = R no bloco 2 × 2 de X a Y)" from APos to the end;
// false when it reads otherwise.
inline bool LerPares(int32_t N, const std::string& ATexto, size_t APos,
                     std::vector<TParLido>& APares) {
    if (!Comeca(ATexto, APos, "(lista: ") || ATexto.back() != ')') {
        return false;
    }
    size_t p = APos + 8;
    for (;;) {
        TParLido par;
        par.A = LerCasa(N, ATexto, p);
        if (par.A < 0 || !Comeca(ATexto, p, " + ")) {
            return false;
        }
        p += 3;
        par.B = LerCasa(N, ATexto, p);
        int lidos = 0;
        if (par.B < 0 || std::sscanf(ATexto.c_str() + p, " = %d %n", &par.Resto, &lidos) != 1 ||
            lidos == 0 || ATexto[p + size_t(lidos) - 1] != ' ') {
            return false;
        }
        p += static_cast<size_t>(lidos);
        const size_t fim = std::min(ATexto.find("; ", p), ATexto.size() - 1);
        par.Lei = ATexto.substr(p, fim - p);
        APares.push_back(par);
        if (fim + 1 == ATexto.size()) {
            return !par.Lei.empty();
        }
        p = fim + 2;
    }
}

// "12", "12 ou 20", "12, 20 ou 31" up to the blank before "(": false otherwise.
inline bool LerNumeros(const std::string& ATexto, size_t& APos, std::vector<int32_t>& AValores) {
    for (;;) {
        int32_t v = 0;
        int lidos = 0;
        if (std::sscanf(ATexto.c_str() + APos, "%d%n", &v, &lidos) != 1) {
            return false;
        }
        AValores.push_back(v);
        APos += static_cast<size_t>(lidos);
        if (Comeca(ATexto, APos, ", ")) {
            APos += 2;
        } else if (Comeca(ATexto, APos, " ou ")) {
            APos += 4;
            if (std::sscanf(ATexto.c_str() + APos, "%d%n", &v, &lidos) != 1) {
                return false;
            }
            AValores.push_back(v);
            APos += static_cast<size_t>(lidos);
            return Comeca(ATexto, APos, " (");
        } else {
            return AValores.size() == 1 && Comeca(ATexto, APos, " (");
        }
    }
}

inline TDicaLida PartirDica(int32_t N, const std::string& ATexto) {
    TDicaLida d;
    size_t p = 0;
    d.Celula = LerCasa(N, ATexto, p);
    if (d.Celula < 0) {
        return d;
    }
    if (Comeca(ATexto, p, " só pode ser ")) {
        p += std::string(" só pode ser ").size();
        if (LerNumeros(ATexto, p, d.Valores) && d.Valores.size() >= 2 &&
            LerPares(N, ATexto, p + 1, d.Pares)) {
            d.Forma = TForma::fmCandidatos;
        }
        return d;
    }
    if (!Comeca(ATexto, p, " = ")) {
        return d;
    }
    p += 3;
    const std::string resto = ATexto.substr(p);
    int32_t v = 0;
    int lidos = 0;
    if (std::sscanf(resto.c_str(), "%d / 2 = %d (o centro)%n", &d.K, &v, &lidos) == 2 &&
        static_cast<size_t>(lidos) == resto.size()) {
        d.Forma = TForma::fmCentro;
        d.Valores = {v};
        return d;
    }
    const std::string lei = "%d " + MENOS + " %d = %d (%n";
    if (std::sscanf(resto.c_str(), lei.c_str(), &d.K, &d.S, &v, &lidos) == 3 &&
        resto.back() == ')') {
        d.Forma = TForma::fmLei;
        d.Valores = {v};
        d.Razao = resto.substr(static_cast<size_t>(lidos), resto.size() - 1 - size_t(lidos));
        return d;
    }
    size_t q = 0;
    if (!LerNumeros(resto, q, d.Valores)) {
        return d;
    }
    if (resto.substr(q) == " (número-chave)") {
        d.Forma = TForma::fmChave;
    } else if (LerPares(N, resto, q + 1, d.Pares)) {
        d.Forma = TForma::fmLista;
    }
    return d;
}

// The laws of a reason: a row or column by number, a main diagonal by the cell, a broken
// diagonal or a block by the cells where it starts and ends, a two-cell law by its other cell.
// Empty when the reason names no law of the square through ACelula.
inline std::vector<int32_t> LeisDaRazao(const TSolverDeducao& S, int32_t ACelula,
                                        const std::string& ARazao) {
    const int32_t N = S.N();
    std::vector<int32_t> r;
    auto contem = [&](int32_t j, int32_t c) {
        for (const int32_t x : S.Lei(j).Celulas) {
            if (x == c) {
                return true;
            }
        }
        return false;
    };
    auto daFamilia = [&](TFamilia f, int32_t a, int32_t b) {
        for (int32_t j = 0; j < S.NumLeis(); ++j) {
            if (S.Lei(j).Familia == f && contem(j, ACelula) && contem(j, a) && contem(j, b)) {
                r.push_back(j);
            }
        }
    };
    int32_t k = 0;
    int lidos = 0;
    if (std::sscanf(ARazao.c_str(), "linha %d%n", &k, &lidos) == 1 &&
        static_cast<size_t>(lidos) == ARazao.size() && k >= 1 && k <= N && ACelula / N == k - 1) {
        r.push_back(k - 1);
    } else if (std::sscanf(ARazao.c_str(), "coluna %d%n", &k, &lidos) == 1 &&
               static_cast<size_t>(lidos) == ARazao.size() && k >= 1 && k <= N &&
               ACelula % N == k - 1) {
        r.push_back(N + k - 1);
    } else if (ARazao == "diagonal principal" && ACelula / N == ACelula % N) {
        daFamilia(TFamilia::lfDiagPrincipal, 0, N * N - 1);
    } else if (ARazao == "diagonal secundária" && ACelula / N + ACelula % N == N - 1) {
        daFamilia(TFamilia::lfDiagPrincipal, N - 1, N * (N - 1));
    } else {
        const std::string bloco = "bloco 2 × 2 de ";
        const std::string quebrada = "diagonal quebrada de ";
        const bool eBloco = Comeca(ARazao, 0, bloco);
        const bool eQuebrada = Comeca(ARazao, 0, quebrada);
        if (eBloco || eQuebrada) {
            size_t p = (eBloco ? bloco : quebrada).size();
            const int32_t a = LerCasa(N, ARazao, p);
            if (a < 0 || !Comeca(ARazao, p, " a ")) {
                return r;
            }
            p += 3;
            const int32_t b = LerCasa(N, ARazao, p);
            if (b < 0 || p != ARazao.size()) {
                return r;
            }
            // A block from its top-left cell to the one diagonally below it; a diagonal from
            // its cell in the first row to its cell in the last.
            const bool extremos = eBloco ? (a / N + 1) % N == b / N && (a % N + 1) % N == b % N
                                         : a / N == 0 && b / N == N - 1;
            if (extremos) {
                daFamilia(eBloco ? TFamilia::lfBloco : TFamilia::lfDiagQuebrada, a, b);
            }
            return r;
        }
        const std::string meia = "meia diagonal, com ";
        const std::string opostas = "casas opostas, com ";
        const bool eMeia = Comeca(ARazao, 0, meia);
        if (eMeia || Comeca(ARazao, 0, opostas)) {
            size_t p = meia.size();
            const int32_t outra = LerCasa(N, ARazao, p);
            if (outra >= 0 && p == ARazao.size()) {
                daFamilia(eMeia ? TFamilia::lfMeia : TFamilia::lfPar, outra, outra);
            }
        }
    }
    return r;
}

// The laws a pair's name names: "na linha 3", "no bloco 2 × 2 de X a Y"… through both cells;
// "na meia diagonal" and "em casas opostas", the two-cell law of A and B. Empty when the
// name reads otherwise or names no law through both.
inline std::vector<int32_t> LeisDoPar(const TSolverDeducao& S, const TParLido& APar) {
    const int32_t N = S.N();
    std::vector<int32_t> leis;
    if (APar.Lei == "na meia diagonal") {
        leis = LeisDaRazao(S, APar.A, "meia diagonal, com " + NomeDaCasa(N, APar.B));
    } else if (APar.Lei == "em casas opostas") {
        leis = LeisDaRazao(S, APar.A, "casas opostas, com " + NomeDaCasa(N, APar.B));
    } else if (Comeca(APar.Lei, 0, "no bloco ") || Comeca(APar.Lei, 0, "na linha ") ||
               Comeca(APar.Lei, 0, "na coluna ") || Comeca(APar.Lei, 0, "na diagonal ")) {
        leis = LeisDaRazao(S, APar.A, APar.Lei.substr(3));
    }
    std::vector<int32_t> r;
    for (const int32_t j : leis) {
        const std::vector<int32_t>& c = S.Lei(j).Celulas;
        if (std::find(c.begin(), c.end(), APar.B) != c.end()) {
            r.push_back(j);
        }
    }
    return r;
}

class TLeitor {
  public:
    TLeitor(const TSolverDeducao& AS, const std::vector<int32_t>& ADados)
        : S(AS), N(AS.N()), Pagina(ADados), Grelha(ADados) {
        Fechar();
    }

    // Replays one hint: "" when it holds, else why not.
    std::string Ler(const std::string& ATexto) {
        const TDicaLida d = PartirDica(N, ATexto);
        switch (d.Forma) {
        case TForma::fmLei:
            return LerLei(d);
        case TForma::fmCentro:
            if (d.Celula != CentroDaGrelha(N) || d.K != SomaComplementar(N) ||
                d.K != 2 * d.Valores[0]) {
                return "not the centre of the square, or not half of C";
            }
            return Escrever(d.Celula, d.Valores[0]);
        case TForma::fmLista:
        case TForma::fmCandidatos:
            return LerLista(d);
        case TForma::fmChave:
            ++Chaves;
            return Escrever(d.Celula, d.Valores[0]);
        case TForma::fmDesconhecida:
            break;
        }
        return "a text the reader cannot follow: " + ATexto;
    }

    bool Cheia() const {
        for (const int32_t v : Grelha) {
            if (v == 0) {
                return false;
            }
        }
        return true;
    }

    // What the named pairs leave ACelula together on the reader's grid, with what the reader
    // may write there (a pair that is no open pair law there leaves nothing).
    std::set<int32_t> Deixam(int32_t ACelula, const std::vector<TParLido>& APares) const {
        std::set<int32_t> r = Dominio(ACelula);
        for (const TParLido& par : APares) {
            const std::set<int32_t> p = DeixaOPar(par);
            std::set<int32_t> dentro;
            for (const int32_t v : r) {
                if (p.count(v) != 0) {
                    dentro.insert(v);
                }
            }
            r = dentro;
        }
        return r;
    }

    const TSolverDeducao& S;
    const int32_t N;
    std::vector<int32_t> Pagina; // the givens and the numbers of the hints so far
    std::vector<int32_t> Grelha; // the same, closed under simple steps
    std::map<int32_t, std::set<int32_t>> Candidatos;
    int32_t Chaves = 0;

  private:
    void Fechar() {
        for (bool mudou = true; mudou;) {
            mudou = false;
            for (int32_t j = 0; j < S.NumLeis(); ++j) {
                const TLei& L = S.Lei(j);
                int32_t vazia = -1;
                int32_t vazias = 0;
                int32_t coef = 0;
                int64_t soma = 0;
                for (size_t t = 0; t < L.Celulas.size(); ++t) {
                    const int32_t v = Grelha[size_t(L.Celulas[t])];
                    if (v == 0) {
                        ++vazias;
                        vazia = L.Celulas[t];
                        coef = L.Coefs[t];
                    }
                    soma += int64_t{L.Coefs[t]} * v;
                }
                if (vazias == 1 && (L.Constante - soma) % coef == 0) {
                    Grelha[size_t(vazia)] = int32_t((L.Constante - soma) / coef);
                    mudou = true;
                }
            }
        }
    }

    std::string Escrever(int32_t ACelula, int32_t AValor) {
        if (AValor < 1 || AValor > N * N) {
            return "a value outside 1 … N²";
        }
        if (Pagina[size_t(ACelula)] != 0) {
            return "the cell is already on the page";
        }
        if (Grelha[size_t(ACelula)] != 0 && Grelha[size_t(ACelula)] != AValor) {
            return "the reader has another number there";
        }
        Pagina[size_t(ACelula)] = AValor;
        Grelha[size_t(ACelula)] = AValor;
        Fechar();
        return "";
    }

    // A law hint: its law, full on the page but for the hint's cell, gives K − S.
    std::string LerLei(const TDicaLida& d) {
        const int32_t v = d.Valores[0];
        if (d.K - d.S != v) {
            return "the subtraction is wrong";
        }
        const std::vector<int32_t> leis = LeisDaRazao(S, d.Celula, d.Razao);
        if (leis.empty()) {
            return "no law of the square through " + NomeDaCasa(N, d.Celula) + " is \"" + d.Razao +
                   "\"";
        }
        for (const int32_t j : leis) {
            const TLei& L = S.Lei(j);
            int64_t soma = 0;
            bool cheia = true;
            bool unitaria = false;
            for (size_t t = 0; t < L.Celulas.size(); ++t) {
                const int32_t x = L.Celulas[t];
                if (x == d.Celula) {
                    unitaria = L.Coefs[t] == 1;
                    continue;
                }
                cheia = cheia && Pagina[size_t(x)] != 0;
                soma += int64_t{L.Coefs[t]} * Pagina[size_t(x)];
            }
            if (unitaria && cheia && L.Constante == d.K && soma == d.S) {
                return Escrever(d.Celula, v);
            }
        }
        return "the law named is not full on the page but for " + NomeDaCasa(N, d.Celula) +
               ", or does not sum " + std::to_string(d.K) + " " + MENOS + " " + std::to_string(d.S);
    }

    // A narrowing: "só pode ser …", or the last of a list hint, "= …".
    std::string LerLista(const TDicaLida& d) {
        if (Grelha[size_t(d.Celula)] != 0) {
            return "the reader has filled the cell already";
        }
        for (const TParLido& par : d.Pares) {
            if (par.A != d.Celula) {
                return "a pair that does not start with the hint's cell";
            }
            if (DeixaOPar(par).empty()) {
                return "a pair that is no open pair law of the reader's grid: " +
                       NomeDaCasa(N, par.A) + " + " + NomeDaCasa(N, par.B) + " = " +
                       std::to_string(par.Resto);
            }
        }
        const std::set<int32_t> ficam = Deixam(d.Celula, d.Pares);
        const std::set<int32_t> ditos(d.Valores.begin(), d.Valores.end());
        if (ficam != ditos) {
            return "the pairs leave " + std::to_string(ficam.size()) + " numbers, not those said";
        }
        if (d.Forma == TForma::fmLista) {
            return Escrever(d.Celula, d.Valores[0]);
        }
        if (ficam.size() >= Dominio(d.Celula).size()) {
            return "the candidates tell the reader nothing new";
        }
        Candidatos[d.Celula] = ficam;
        return "";
    }

    // Whether the reader may write AValor in ACelula: a number still to place, one of those
    // the narrowings above left the cell.
    bool Pode(int32_t ACelula, int64_t AValor) const {
        if (AValor < 1 || AValor > N * N ||
            std::find(Grelha.begin(), Grelha.end(), AValor) != Grelha.end()) {
            return false;
        }
        const auto k = Candidatos.find(ACelula);
        return k == Candidatos.end() || k->second.count(int32_t(AValor)) != 0;
    }

    std::set<int32_t> Dominio(int32_t ACelula) const {
        std::set<int32_t> r;
        for (int32_t v = 1; v <= N * N; ++v) {
            if (Pode(ACelula, v)) {
                r.insert(v);
            }
        }
        return r;
    }

    // What a pair leaves its first cell: v it may hold whose partner R − v the other cell may
    // hold, v ≠ R − v. Empty when the law the pair names is not one whose only empty cells on
    // the reader's grid are A and B, every coefficient 1, lacking R.
    std::set<int32_t> DeixaOPar(const TParLido& APar) const {
        bool lei = false;
        for (const int32_t j : LeisDoPar(S, APar)) {
            const TLei& L = S.Lei(j);
            int64_t soma = 0;
            std::vector<int32_t> vazias;
            bool unitaria = true;
            for (size_t t = 0; t < L.Celulas.size() && vazias.size() <= 2; ++t) {
                unitaria = unitaria && L.Coefs[t] == 1;
                const int32_t v = Grelha[size_t(L.Celulas[t])];
                if (v == 0) {
                    vazias.push_back(L.Celulas[t]);
                }
                soma += v;
            }
            lei = lei || (unitaria && vazias.size() == 2 && APar.A != APar.B &&
                          std::set<int32_t>(vazias.begin(), vazias.end()) ==
                              std::set<int32_t>{APar.A, APar.B} &&
                          L.Constante - soma == APar.Resto);
        }
        std::set<int32_t> r;
        for (int32_t v = 1; v <= N * N && lei; ++v) {
            if (Pode(APar.A, v) && v != APar.Resto - v && Pode(APar.B, int64_t{APar.Resto} - v)) {
                r.insert(v);
            }
        }
        return r;
    }
};

// The mark of a key hint: U+25BA.
inline const std::string MARCA = "\xE2\x96\xBA";

// A hint as printed: whether it is marked, and its narrowings (one text for any other hint),
// each with its wrapped lines joined.
struct TDicaImpressa {
    bool Chave = false;
    std::vector<std::string> Passos;
};

// Whether a printed line opens a hint's text or a narrowing: "L3C5 = …", "L3C5 só pode ser …".
inline bool AbreUmPasso(const std::string& ALinha) {
    int32_t l = 0;
    int32_t c = 0;
    int lidos = 0;
    if (std::sscanf(ALinha.c_str(), "L%dC%d%n", &l, &c, &lidos) != 2) {
        return false;
    }
    return Comeca(ALinha, size_t(lidos), " = ") || Comeca(ALinha, size_t(lidos), " só pode ser ");
}

// The hints printed on a recorded page, in order. Hint texts are the black, regular 9.5 pt
// ones: right-aligned, the number "k." that opens hint k and the mark before it; left-aligned,
// the lines of the hints, in reading order. A line that begins with a cell and its number, or
// with what the cell can only be, opens the hint's text or one of its narrowings; any other
// goes on with the one above. Empty when the numbers are not 1, 2, 3, … in turn or a line
// stands where none can.
inline std::vector<TDicaImpressa> DicasImpressas(const ::teste::TCanvasGravador& C) {
    std::vector<TDicaImpressa> r;
    for (const ::teste::TChamada& c : C.Chamadas) {
        if (c.Op != "Texto" || c.Num[2] != 9.5 || c.Num[3] != 0 || c.Negrito ||
            c.Alinhamento == TAlinhamento::alCentro) {
            continue;
        }
        if (c.Alinhamento == TAlinhamento::alDireita) {
            if (c.Texto == std::to_string(r.size() + 1) + ".") {
                r.emplace_back();
            } else if (c.Texto == MARCA && !r.empty() && r.back().Passos.empty() &&
                       !r.back().Chave) {
                r.back().Chave = true;
            } else {
                return {};
            }
            continue;
        }
        if (r.empty()) {
            return {};
        }
        std::vector<std::string>& passos = r.back().Passos;
        if (AbreUmPasso(c.Texto)) {
            passos.push_back(c.Texto);
        } else if (!passos.empty()) {
            passos.back() += " " + c.Texto;
        } else {
            return {};
        }
    }
    for (const TDicaImpressa& d : r) {
        if (d.Passos.empty()) {
            return {};
        }
    }
    return r;
}

} // namespace tavrelo::teste_dicas
