// Books that survive a weak printer and a reader with a pen: on every page of a book of each
// order, with and without hints, no text under 7 pt, text under 8 pt dark, no line that
// prints thinner than 0.3 pt, no shade lighter than 12 % black, one way of writing sums, and
// page references that name the page holding what they refer to.
#include "composition/paginas.h"

#include "composition/destino_teste.h"
#include "composition/livros_teste.h"
#include "drawing/canvas_cairo.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

using ::teste::TCanvasGravador;
using ::teste::TChamada;
using teste_paginas::LivroGerado;
using teste_paginas::TDestinoTeste;

// What a print shop asks of a page.
constexpr double MENOR_LETRA = 7;                // pt
constexpr double LETRA_PEQUENA = 8;              // pt; text smaller than this must be dark
constexpr int32_t CINZA_MAIS_CLARO_PEQUENO = 89; // 35 % grey value: 65 % black at least
constexpr double TRACO_MAIS_FINO = 0.3;          // pt, as printed
constexpr int32_t SOMBRA_MAIS_CLARA = 224;       // 12 % black

// The width a line prints at: whole dots at 300 dpi, never less than one.
double EspessuraImpressa(double APt) {
    return EspessuraEmPx(APt, 300) * 72.0 / 300;
}

// What a call draws with: its outline (width, grey) and its fill, where it has them.
struct TTraco {
    double Espessura = 0;
    int32_t Contorno = -1;
    int32_t Preenchimento = -1;
};

TTraco TracoDe(const TChamada& c) {
    if (c.Op == "Linha") {
        return {c.Num[4], int32_t(c.Num[5]), -1};
    }
    if (c.Op == "Rectangulo" || c.Op == "Elipse") {
        return {c.Num[4], int32_t(c.Num[5]), int32_t(c.Num[6])};
    }
    if (c.Op == "Poligono") {
        return {c.Num[0], int32_t(c.Num[1]), int32_t(c.Num[2])};
    }
    return {};
}

void VerificarImpressao(const TCanvasGravador& APagina, const std::string& AOnde) {
    for (const TChamada& c : APagina.Chamadas) {
        if (c.Op == "Texto") {
            EXPECT_GE(c.Num[2], MENOR_LETRA) << AOnde << ": «" << c.Texto << "»";
            if (c.Num[2] < LETRA_PEQUENA) {
                EXPECT_LE(c.Num[3], CINZA_MAIS_CLARO_PEQUENO)
                    << AOnde << ": «" << c.Texto << "» at " << c.Num[2] << " pt";
            }
            continue;
        }
        const TTraco t = TracoDe(c);
        if (t.Contorno != -1) {
            EXPECT_GE(EspessuraImpressa(t.Espessura), TRACO_MAIS_FINO)
                << AOnde << ": " << c.Op << " at " << c.Num[0] << " asks for " << t.Espessura
                << " pt";
        }
        // White is no shade: the stars and rings are white inside.
        if (t.Preenchimento != -1 && t.Preenchimento != 255) {
            EXPECT_LE(t.Preenchimento, SOMBRA_MAIS_CLARA)
                << AOnde << ": " << c.Op << " at " << c.Num[0] << ", " << c.Num[1];
        }
    }
}

// Sums written one way: a blank (or a no-break space) on each side of every "=", "/ 2" to
// halve, "2 × 2" and never "2x2", a true minus sign and never a hyphen between two blanks.
void VerificarNotacao(const std::string& ATexto, const std::string& AOnde) {
    const auto branco = [&](size_t i, bool antes) {
        if (antes) {
            return (i >= 1 && ATexto[i - 1] == ' ') ||
                   (i >= 2 && ATexto.compare(i - 2, 2, "\u00A0") == 0);
        }
        return (i + 1 < ATexto.size() && ATexto[i + 1] == ' ') ||
               ATexto.compare(i + 1, 2, "\u00A0") == 0;
    };
    for (size_t i = 0; i < ATexto.size(); ++i) {
        const char c = ATexto[i];
        if (c == '=') {
            EXPECT_TRUE(branco(i, true) && branco(i, false)) << AOnde << ": «" << ATexto << "»";
        }
        if (c == 'x' && i > 0 && i + 1 < ATexto.size() &&
            std::isdigit(static_cast<unsigned char>(ATexto[i - 1])) != 0 &&
            std::isdigit(static_cast<unsigned char>(ATexto[i + 1])) != 0) {
            ADD_FAILURE() << AOnde << ": «" << ATexto << "»";
        }
    }
    EXPECT_EQ(ATexto.find("÷"), std::string::npos) << AOnde << ": «" << ATexto << "»";
    EXPECT_EQ(ATexto.find(" - "), std::string::npos) << AOnde << ": «" << ATexto << "»";
}

// The first text of a recorded page that is exactly ATexto, or none.
const TChamada* Texto(const TCanvasGravador& APagina, const std::string& ATexto) {
    for (const TChamada& c : APagina.Chamadas) {
        if (c.Op == "Texto" && c.Texto == ATexto) {
            return &c;
        }
    }
    return nullptr;
}

// The number in "Solução na página 37" or "(página 9)", or -1 when the text is neither.
int32_t PaginaReferida(const std::string& ATexto) {
    int32_t n = -1;
    char fim = 0;
    if (std::sscanf(ATexto.c_str(), "Solução na página %d%c", &n, &fim) == 1 ||
        std::sscanf(ATexto.c_str(), "(página %d)%c", &n, &fim) == 1) {
        return n;
    }
    return -1;
}

// The heading a reference stands beside: the bold text on its line that ends just before it.
const TChamada* CabecalhoAoLado(const TCanvasGravador& APagina, const TChamada& AReferencia) {
    const TChamada* r = nullptr;
    for (const TChamada& c : APagina.Chamadas) {
        if (c.Op == "Texto" && c.Negrito && std::abs(c.Num[1] - AReferencia.Num[1]) < 3 &&
            c.Num[0] < AReferencia.Num[0] && (r == nullptr || c.Num[0] > r->Num[0])) {
            r = &c;
        }
    }
    return r;
}

TEST(Impressao, CadaPaginaDeCadaOrdemImprimeESeLe) {
    for (const int32_t N : {7, 8, 11, 12, 13, 16}) {
        for (const bool dicas : {true, false}) {
            const std::string livroDe =
                "order " + std::to_string(N) + (dicas ? ", with hints" : ", without hints");
            SCOPED_TRACE(livroDe);
            const bool dois = N <= 8 || N == 11;
            const TLivro livro = teste_paginas::ComDicas(LivroGerado(N, dois ? 10 : 3), dicas);
            const auto P = int32_t(livro.Puzzles.size());
            TCompositorLivro compositor(livro, TInfoLivro{"01/02/2026", "1.0"});
            TDestinoTeste destino;
            compositor.Compor(destino);
            const std::vector<TDescPagina>& plano = compositor.Paginas();
            ASSERT_EQ(destino.Paginas.size(), plano.size());

            int32_t paraSolucoes = 0;
            int32_t paraPuzzles = 0;
            for (size_t i = 0; i < plano.size(); ++i) {
                const std::string onde = "page " + std::to_string(i + 1);
                const TCanvasGravador& pagina = *destino.Paginas[i];
                VerificarImpressao(pagina, onde);
                const bool solucoes = plano[i].Tipo == TTipoPagina::pgSolucoes;
                for (const TChamada& c : pagina.Chamadas) {
                    if (c.Op != "Texto") {
                        continue;
                    }
                    VerificarNotacao(c.Texto, onde);
                    const int32_t n = PaginaReferida(c.Texto);
                    if (n < 0) {
                        continue;
                    }
                    SCOPED_TRACE(onde + ": «" + c.Texto + "»");
                    // The page named exists, carries that number in its footer and holds the
                    // counterpart of the heading beside the reference.
                    const TChamada* cabecalho = CabecalhoAoLado(pagina, c);
                    ASSERT_NE(cabecalho, nullptr);
                    ASSERT_GE(n, 1);
                    ASSERT_LE(size_t(n), destino.Paginas.size());
                    const TCanvasGravador& alvo = *destino.Paginas[size_t(n) - 1];
                    bool rodape = false;
                    for (const TChamada& t : alvo.DoTipo("Texto")) {
                        rodape = rodape || (t.Texto == std::to_string(n) && t.Num[1] == 283);
                    }
                    EXPECT_TRUE(rodape) << "the page named shows that number";
                    if (plano[i].Tipo == TTipoPagina::pgPuzzles) {
                        const int32_t p = std::stoi(cabecalho->Texto);
                        EXPECT_NE(Texto(alvo, Formatar("Puzzle %.3d", p)), nullptr);
                        EXPECT_EQ(c.Texto.rfind("Solução na página ", 0), 0u);
                        ++paraSolucoes;
                    } else {
                        ASSERT_TRUE(solucoes);
                        const TChamada* numero = Texto(alvo, cabecalho->Texto.substr(7));
                        ASSERT_NE(numero, nullptr) << cabecalho->Texto;
                        EXPECT_EQ(numero->Num[2], 14);
                        EXPECT_TRUE(numero->Negrito);
                        ++paraPuzzles;
                    }
                }
            }
            EXPECT_EQ(paraSolucoes, P) << "one reference beside each puzzle's number";
            EXPECT_EQ(paraPuzzles, P) << "one reference beside each solution's title";
        }
    }
}

} // namespace
} // namespace tavrelo
