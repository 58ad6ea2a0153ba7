#include "composition/paginas.h"

#include "composition/destino_teste.h"
#include "composition/livros_teste.h"
#include "drawing/canvas_gravador.h"
#include "drawing/pdf.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

using teste::TCanvasGravador;
using teste_paginas::LivroGerado;
using teste_paginas::LivroVazio;
using teste_paginas::TDestinoTeste;
using teste_paginas::TextosIguais;

// One letter a page: capa, verso, regras, diagramas, branco, separador, simbolo (y),
// puzzles, solucoes (o), ficha.
std::string Tipos(const std::vector<TDescPagina>& APaginas) {
    static const char letras[] = "cvrdbsypof";
    std::string r;
    for (const TDescPagina& p : APaginas) {
        r += letras[static_cast<int>(p.Tipo)];
    }
    return r;
}

bool Numerada(TTipoPagina t) {
    return t != TTipoPagina::pgCapa && t != TTipoPagina::pgVerso && t != TTipoPagina::pgBranco &&
           t != TTipoPagina::pgSeparador && t != TTipoPagina::pgSimbolo;
}

// What must hold for every plan: cover first, sheet last, part titles on odd pages followed
// by their symbol, every puzzle once among the puzzle pages and once among the solution
// pages, in order, and page numbers that count every page.
void VerificarInvariantes(const TLivro& ALivro, const std::vector<TDescPagina>& APlano) {
    const int32_t N = ALivro.Config.N;
    const auto P = static_cast<int32_t>(ALivro.Puzzles.size());
    ASSERT_GE(APlano.size(), 2u);
    EXPECT_EQ(APlano.front().Tipo, TTipoPagina::pgCapa);
    EXPECT_EQ(APlano.back().Tipo, TTipoPagina::pgFicha);
    std::vector<int32_t> vezesPuzzle(static_cast<size_t>(P), 0);
    std::vector<int32_t> vezesSolucao(static_cast<size_t>(P), 0);
    int32_t ultimoPuzzle = -1;
    int32_t ultimaSolucao = -1;
    int32_t separadores = 0;
    const int32_t k = GeometriaPuzzles(N).PorPagina;
    const int32_t m = SolucoesPorPagina(N, ALivro.Config.Caminho);
    for (size_t i = 0; i < APlano.size(); ++i) {
        const TDescPagina& p = APlano[i];
        SCOPED_TRACE("page " + std::to_string(i + 1));
        EXPECT_EQ(p.Numero, i >= 1 && Numerada(p.Tipo) ? int32_t(i) + 1 : 0);
        if (p.Tipo == TTipoPagina::pgSeparador) {
            EXPECT_EQ(i % 2, 0u) << "a part title stands on an odd page";
            ASSERT_LT(i + 1, APlano.size());
            EXPECT_EQ(APlano[i + 1].Tipo, TTipoPagina::pgSimbolo);
            EXPECT_EQ(APlano[i + 1].Primeiro, p.Primeiro);
            EXPECT_EQ(p.Primeiro, separadores++);
        }
        if (p.Tipo == TTipoPagina::pgPuzzles) {
            EXPECT_GT(p.Primeiro, ultimoPuzzle);
            ultimoPuzzle = p.Primeiro;
            for (int32_t j = p.Primeiro; j < p.Primeiro + k && j < P; ++j) {
                ++vezesPuzzle[static_cast<size_t>(j)];
            }
        }
        if (p.Tipo == TTipoPagina::pgSolucoes) {
            EXPECT_GT(p.Primeiro, ultimaSolucao);
            ultimaSolucao = p.Primeiro;
            for (int32_t j = p.Primeiro; j < p.Primeiro + m && j < P; ++j) {
                ++vezesSolucao[static_cast<size_t>(j)];
            }
        }
    }
    EXPECT_EQ(separadores, 2);
    EXPECT_EQ(vezesPuzzle, std::vector<int32_t>(static_cast<size_t>(P), 1));
    EXPECT_EQ(vezesSolucao, std::vector<int32_t>(static_cast<size_t>(P), 1));
}

TEST(PlanoDePaginas, LivrosTipicos) {
    const std::string frente = "cvrrdd";
    struct Caso {
        int32_t N;
        int32_t Puzzles;
        bool Dicas;
        std::string Tipos;
    };
    const Caso casos[] = {
        {8, 50, true,
         frente + "sy" + std::string(25, 'p') + "b" + "sy" + std::string(25, 'o') + "f"},
        {8, 1, true, frente + "syp" + "b" + "syof"},
        // Two puzzle pages make the count even: no parity page before the second title.
        {13, 2, true, frente + "sypp" + "syoof"},
        {16, 50, true, frente + "sy" + std::string(50, 'p') + "sy" + std::string(50, 'o') + "f"},
        {7, 50, false,
         frente + "sy" + std::string(25, 'p') + "b" + "sy" + std::string(13, 'o') + "f"},
        {12, 3, false, frente + "syppp" + "b" + "syoof"},
        {11, 3, true, frente + "sypp" + "syooof"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE("order " + std::to_string(caso.N) + ", " + std::to_string(caso.Puzzles));
        const TLivro livro = LivroVazio(caso.N, caso.Puzzles, caso.Dicas);
        const TCompositorLivro compositor(livro, TInfoLivro{"01/02/2026", "1.0"});
        EXPECT_EQ(Tipos(compositor.Paginas()), caso.Tipos);
        EXPECT_EQ(compositor.NumPaginas(), static_cast<int32_t>(caso.Tipos.size()));
        VerificarInvariantes(livro, compositor.Paginas());
    }
}

TEST(PlanoDePaginas, Ordem8Com50PuzzlesEDicas) {
    const TCompositorLivro compositor(LivroVazio(8, 50, true), TInfoLivro{});
    const std::vector<TDescPagina>& p = compositor.Paginas();
    ASSERT_EQ(compositor.NumPaginas(), 62);
    // Footers on 3-6, 9-33 and 37-62 (1-based); the sheet carries its own number.
    for (int32_t pos = 1; pos <= 62; ++pos) {
        const bool comRodape = (pos >= 3 && pos <= 6) || (pos >= 9 && pos <= 33) || pos >= 37;
        EXPECT_EQ(p[size_t(pos - 1)].Numero, comRodape ? pos : 0) << pos;
    }
    EXPECT_EQ(p[2], (TDescPagina{TTipoPagina::pgRegras, 0, 3}));
    EXPECT_EQ(p[3], (TDescPagina{TTipoPagina::pgRegras, 1, 4}));
    EXPECT_EQ(p[4], (TDescPagina{TTipoPagina::pgDiagramas, 0, 5}));
    EXPECT_EQ(p[5], (TDescPagina{TTipoPagina::pgDiagramas, 1, 6}));
    EXPECT_EQ(p[8], (TDescPagina{TTipoPagina::pgPuzzles, 0, 9}));
    EXPECT_EQ(p[32], (TDescPagina{TTipoPagina::pgPuzzles, 48, 33}));
    EXPECT_EQ(p[33], (TDescPagina{TTipoPagina::pgBranco, 0, 0}));
    EXPECT_EQ(p[34], (TDescPagina{TTipoPagina::pgSeparador, 1, 0}));
    EXPECT_EQ(p[36], (TDescPagina{TTipoPagina::pgSolucoes, 0, 37}));
    EXPECT_EQ(p[60], (TDescPagina{TTipoPagina::pgSolucoes, 48, 61}));
    EXPECT_EQ(p[61], (TDescPagina{TTipoPagina::pgFicha, 0, 62}));
}

TEST(PlanoDePaginas, ContaOsPuzzlesQueExistem) {
    // The plan follows the puzzles actually in the book, not the count asked for.
    TLivro livro = LivroVazio(8, 3, true);
    livro.Config.NumPuzzles = 50;
    const TCompositorLivro compositor(livro, TInfoLivro{});
    EXPECT_EQ(Tipos(compositor.Paginas()), "cvrrddsyppsyoof");
    VerificarInvariantes(livro, compositor.Paginas());

    const TCompositorLivro vazio(LivroVazio(8, 0, true), TInfoLivro{});
    EXPECT_EQ(Tipos(vazio.Paginas()), "cvrrddsysyf");
}

// The footer of page ANumero: its number on the outer edge (right on an odd page, left on an
// even one), the name on the inner edge.
bool TemRodape(const TCanvasGravador& C, int32_t ANumero) {
    const bool impar = ANumero % 2 != 0;
    const double fora = impar ? 192 : 18;
    const double dentro = impar ? 18 : 192;
    const auto paraFora = impar ? TAlinhamento::alDireita : TAlinhamento::alEsquerda;
    const auto paraDentro = impar ? TAlinhamento::alEsquerda : TAlinhamento::alDireita;
    const auto marca = TextosIguais(C, "TAVRELO | Brovanel");
    const auto numero = TextosIguais(C, std::to_string(ANumero));
    for (const auto& m : marca) {
        if (m.Num[0] == dentro && m.Num[1] == 283 && m.Alinhamento == paraDentro) {
            for (const auto& n : numero) {
                if (n.Num[0] == fora && n.Num[1] == 283 && n.Alinhamento == paraFora) {
                    return true;
                }
            }
        }
    }
    return false;
}

TEST(Compositor, UmaPaginaPorPaginaPlaneada) {
    const TLivro& livro = LivroGerado(8, 10);
    TCompositorLivro compositor(livro, TInfoLivro{"01/02/2026", "1.0"});
    TDestinoTeste destino;
    compositor.Compor(destino);
    ASSERT_EQ(static_cast<int32_t>(destino.Paginas.size()), compositor.NumPaginas());
    EXPECT_EQ(compositor.NumPaginas(), 22);
    EXPECT_EQ(destino.Vivas, 0) << "every surface is released when Compor ends";
    EXPECT_LE(destino.MaxVivas, 2) << "a page's surface is dropped once the next one exists";

    const std::vector<TDescPagina>& plano = compositor.Paginas();
    for (size_t i = 0; i < plano.size(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const TDescPagina& p = plano[i];
        const TCanvasGravador& g = *destino.Paginas[i];
        switch (p.Tipo) {
        case TTipoPagina::pgRegras:
        case TTipoPagina::pgDiagramas:
        case TTipoPagina::pgPuzzles:
        case TTipoPagina::pgSolucoes:
            EXPECT_TRUE(TemRodape(g, p.Numero));
            // The footer is the last thing drawn.
            ASSERT_GE(g.Chamadas.size(), 2u);
            EXPECT_EQ(g.Chamadas.back().Texto, std::to_string(p.Numero));
            break;
        case TTipoPagina::pgFicha:
            break; // draws its own footer
        default:
            EXPECT_TRUE(TextosIguais(g, "TAVRELO | Brovanel").empty());
            break;
        }
        if (p.Tipo == TTipoPagina::pgPuzzles) {
            EXPECT_EQ(TextosIguais(g, Formatar("%.3d", p.Primeiro + 1)).size(), 1u);
        }
        if (p.Tipo == TTipoPagina::pgSolucoes) {
            EXPECT_EQ(TextosIguais(g, Formatar("Puzzle %.3d", p.Primeiro + 1)).size(), 1u);
        }
    }
    EXPECT_TRUE(compositor.TemSolver()) << "the hints of a book with hints need the solver";
}

TEST(Compositor, OSolverFazSeUmaVezQuandoPreciso) {
    // Without hints, only the example on the second rules page, worked as the hints would,
    // needs the solver; it is not made before.
    TCompositorLivro compositor(teste_paginas::ComDicas(LivroGerado(8, 10), false), TInfoLivro{});
    EXPECT_FALSE(compositor.TemSolver());
    TDestinoTeste destino;
    compositor.Compor(destino);
    EXPECT_EQ(static_cast<int32_t>(destino.Paginas.size()), compositor.NumPaginas());
    EXPECT_TRUE(compositor.TemSolver());
    TSolverDeducao& s = compositor.SolverDoLivro();
    EXPECT_EQ(s.N(), 8);
    EXPECT_EQ(&compositor.SolverDoLivro(), &s) << "made once";
}

// Where each name is given on the book's pages (1-based page of each Destino call).
std::map<std::string, std::vector<size_t>> DestinosDoLivro(const TDestinoTeste& ADestino) {
    std::map<std::string, std::vector<size_t>> r;
    for (size_t i = 0; i < ADestino.Paginas.size(); ++i) {
        for (const auto& c : ADestino.Paginas[i]->DoTipo("Destino")) {
            r[c.Texto].push_back(i + 1);
        }
    }
    return r;
}

TEST(Compositor, MarcadoresDasPartesEDeCadaPuzzle) {
    // Five puzzles: two a page, and two or four solutions a page, so the last puzzle page and
    // the last solution page hold one.
    for (const bool dicas : {true, false}) {
        SCOPED_TRACE(dicas ? "with hints" : "without hints");
        const TLivro livro = teste_paginas::ComDicas(LivroGerado(8, 5), dicas);
        TCompositorLivro compositor(livro, TInfoLivro{});
        TDestinoTeste destino;
        compositor.Compor(destino);
        const auto destinos = DestinosDoLivro(destino);
        for (const auto& [nome, paginas] : destinos) {
            EXPECT_EQ(paginas.size(), 1u) << nome << " is named once";
        }
        // Each entry opens a name given on the page of what it names.
        const auto paginaDe = [&](const std::string& ANome) {
            const auto it = destinos.find(ANome);
            return it == destinos.end() ? size_t{0} : it->second.front();
        };
        const auto tipoDaPagina = [&](size_t APagina) {
            return compositor.Paginas().at(APagina - 1).Tipo;
        };
        std::vector<std::string> topo;
        std::map<int32_t, std::vector<std::string>> filhos;
        for (const auto& m : destino.Marcadores) {
            SCOPED_TRACE(m.Titulo);
            EXPECT_EQ(paginaDe(m.Destino), m.Pagina) << "added with the page it opens";
            if (m.Pai == MARCADOR_DE_TOPO) {
                topo.push_back(m.Titulo);
            } else {
                filhos[m.Pai].push_back(m.Titulo);
                EXPECT_EQ(tipoDaPagina(m.Pagina),
                          destino.Marcadores.at(size_t(m.Pai) - 1).Titulo == "Puzzles"
                              ? TTipoPagina::pgPuzzles
                              : TTipoPagina::pgSolucoes);
            }
        }
        EXPECT_EQ(topo, (std::vector<std::string>{"Capa", "Regras", "Diagramas", "Puzzles",
                                                  "Soluções", "Ficha técnica"}));
        const std::vector<std::pair<std::string, TTipoPagina>> partes = {
            {"capa", TTipoPagina::pgCapa},           {"regras", TTipoPagina::pgRegras},
            {"diagramas", TTipoPagina::pgDiagramas}, {"puzzles", TTipoPagina::pgSeparador},
            {"solucoes", TTipoPagina::pgSeparador},  {"ficha", TTipoPagina::pgFicha}};
        for (const auto& [nome, tipo] : partes) {
            ASSERT_NE(paginaDe(nome), 0u) << nome;
            EXPECT_EQ(tipoDaPagina(paginaDe(nome)), tipo) << nome;
        }
        ASSERT_EQ(filhos.size(), 2u);
        std::vector<std::string> puzzles, solucoes;
        for (int32_t p = 1; p <= 5; ++p) {
            puzzles.push_back(Formatar("Puzzle %.3d", p));
            solucoes.push_back(Formatar("Solução %.3d", p));
        }
        EXPECT_EQ(filhos.begin()->second, puzzles);
        EXPECT_EQ(filhos.rbegin()->second, solucoes);
    }
}

TEST(Compositor, NumeroDoPuzzleETituloDaSolucaoLigamUmAoOutro) {
    const TLivro& livro = LivroGerado(8, 5);
    TCompositorLivro compositor(livro, TInfoLivro{});
    TDestinoTeste destino;
    compositor.Compor(destino);
    const auto destinos = DestinosDoLivro(destino);
    size_t ligacoes = 0;
    for (size_t i = 0; i < destino.Paginas.size(); ++i) {
        TCanvasGravador& g = *destino.Paginas[i];
        const TDescPagina& pagina = compositor.Paginas()[i];
        for (const auto& l : g.DoTipo("Ligacao")) {
            ++ligacoes;
            SCOPED_TRACE("page " + std::to_string(i + 1) + " to " + l.Texto);
            ASSERT_EQ(destinos.count(l.Texto), 1u) << "the link leads somewhere";
            const TDescPagina& alvo = compositor.Paginas().at(destinos.at(l.Texto).front() - 1);
            const bool dePuzzle = pagina.Tipo == TTipoPagina::pgPuzzles;
            ASSERT_TRUE(dePuzzle || pagina.Tipo == TTipoPagina::pgSolucoes);
            EXPECT_EQ(alvo.Tipo, dePuzzle ? TTipoPagina::pgSolucoes : TTipoPagina::pgPuzzles);
            const int32_t p = std::stoi(l.Texto.substr(l.Texto.size() - 3)) - 1;
            // Two links each way: over the heading and over the page of its counterpart
            // written beside it.
            const int32_t outra = int32_t(destinos.at(l.Texto).front());
            const std::string titulo = Formatar(dePuzzle ? "%.3d" : "Puzzle %.3d", p + 1);
            const std::string referencia =
                Formatar(dePuzzle ? "Solução na página %d" : "(página %d)", outra);
            size_t sobre = 0;
            for (const auto& t : g.DoTipo("Texto")) {
                if ((t.Texto == titulo || t.Texto == referencia) &&
                    l.Num == std::vector<double>{t.Num[0], t.Num[1],
                                                 g.LarguraTexto(t.Texto, t.Num[2], t.Negrito),
                                                 g.AlturaTexto(t.Num[2])}) {
                    ++sobre;
                }
            }
            EXPECT_EQ(sobre, 1u) << "the link lies over the heading or the page beside it";
            EXPECT_EQ(l.Texto, dePuzzle ? DestinoDaSolucao(p) : DestinoDoPuzzle(p));
            EXPECT_EQ(destinos.at(dePuzzle ? DestinoDoPuzzle(p) : DestinoDaSolucao(p)).front(),
                      i + 1)
                << "the heading's own name is on its page";
        }
    }
    EXPECT_EQ(ligacoes, 20u) << "five puzzles, five solutions, two links each";
}

TEST(Compositor, UmErroParaOLivro) {
    TCompositorLivro compositor(LivroGerado(8, 10), TInfoLivro{});
    TDestinoTeste destino;
    destino.FalharNaPagina = 10;
    EXPECT_THROW(compositor.Compor(destino), std::runtime_error);
    EXPECT_EQ(destino.Paginas.size(), 9u);
    EXPECT_EQ(destino.Vivas, 0);
}

TEST(Mobilia, RodapeComONumeroNaMargemDeFora) {
    // A book printed on both sides: odd pages are right-hand pages.
    const struct {
        int32_t Numero;
        double XNome, XNumero;
        TAlinhamento AlNome, AlNumero;
    } casos[] = {
        {37, 18, 192, TAlinhamento::alEsquerda, TAlinhamento::alDireita},
        {3, 18, 192, TAlinhamento::alEsquerda, TAlinhamento::alDireita},
        {38, 192, 18, TAlinhamento::alDireita, TAlinhamento::alEsquerda},
        {4, 192, 18, TAlinhamento::alDireita, TAlinhamento::alEsquerda},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.Numero);
        TCanvasGravador c;
        DesenharRodape(c, caso.Numero);
        ASSERT_EQ(c.Chamadas.size(), 2u);
        const auto& marca = c.Chamadas[0];
        EXPECT_EQ(marca.Texto, "TAVRELO | Brovanel");
        EXPECT_EQ(marca.Num, (std::vector<double>{caso.XNome, 283, 9, 128}));
        EXPECT_FALSE(marca.Negrito);
        EXPECT_EQ(marca.Alinhamento, caso.AlNome);
        const auto& numero = c.Chamadas[1];
        EXPECT_EQ(numero.Texto, std::to_string(caso.Numero));
        EXPECT_EQ(numero.Num, (std::vector<double>{caso.XNumero, 283, 9, 128}));
        EXPECT_FALSE(numero.Negrito);
        EXPECT_EQ(numero.Alinhamento, caso.AlNumero);
    }
    for (const int32_t n : {0, -1}) {
        TCanvasGravador vazio;
        DesenharRodape(vazio, n);
        EXPECT_TRUE(vazio.Chamadas.empty()) << n;
    }
}

TEST(Mobilia, TextosDeOrdemESomas) {
    EXPECT_EQ(TextoTamanho(8), "8 \xC3\x97 8");
    EXPECT_EQ(TextoTamanho(11), "11 \xC3\x97 11");
    EXPECT_EQ(TextoSomas(8), "M = 260   C = 65");
    EXPECT_EQ(TextoSomas(7), "M = 175   C = 50");
    EXPECT_EQ(TextoSomas(16), "M = 2056   C = 257");
}

TEST(Mobilia, GeometriasPorOrdem) {
    struct Caso {
        int32_t N;
        int32_t PorPagina;
        double Lado;
        double L, R;
        int32_t SolucoesComDicas, SolucoesSemDicas;
        double LadoComDicas, LadoSemDicas;
    };
    const Caso casos[] = {
        {7, 2, 96, 23, 187, 2, 4, 74, 74},     {8, 2, 96, 23, 187, 2, 4, 74, 74},
        {11, 2, 96, 23, 187, 1, 2, 120, 110},  {12, 1, 166, 18, 192, 1, 2, 120, 110},
        {13, 1, 166, 18, 192, 1, 2, 120, 110}, {16, 1, 162, 20, 190, 1, 2, 120, 110},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.N);
        const TGeometriaPuzzles g = GeometriaPuzzles(c.N);
        EXPECT_EQ(g.PorPagina, c.PorPagina);
        EXPECT_EQ(g.Lado, c.Lado);
        double L = 0;
        double R = 0;
        LimitesDoBloco(c.N, L, R);
        EXPECT_DOUBLE_EQ(L, c.L);
        EXPECT_DOUBLE_EQ(R, c.R);
        EXPECT_EQ(SolucoesPorPagina(c.N, true), c.SolucoesComDicas);
        EXPECT_EQ(SolucoesPorPagina(c.N, false), c.SolucoesSemDicas);
        EXPECT_EQ(LadoSolucao(c.N, true), c.LadoComDicas);
        EXPECT_EQ(LadoSolucao(c.N, false), c.LadoSemDicas);
    }
}

TEST(Mobilia, InfoDoLivro) {
    const std::time_t antes = std::time(nullptr);
    const TInfoLivro info = CriarInfoLivro();
    const std::time_t depois = std::time(nullptr);
    EXPECT_EQ(info.Versao, "1.0");
    ASSERT_EQ(info.Data.size(), 10u) << info.Data;
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_TRUE(i == 2 || i == 5 ? info.Data[i] == '/' : std::isdigit(info.Data[i]) != 0)
            << info.Data;
    }
    auto hoje = [](std::time_t t) {
        std::tm tm{};
        localtime_r(&t, &tm);
        return Formatar("%02d/%02d/%04d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
    };
    EXPECT_TRUE(info.Data == hoje(antes) || info.Data == hoje(depois)) << info.Data;
    EXPECT_EQ(info.CriadoEm, "") << "the PDF is dated when it is written";
}

// SOURCE_DATE_EPOCH fixes both dates, in UTC; a value that is not a whole number of seconds a
// calendar can hold is not taken.
TEST(Mobilia, InfoDoLivroComDataFixa) {
    const struct {
        const char* Valor;
        const char* Data;
        const char* CriadoEm;
    } casos[] = {
        {"1765432100", "11/12/2025", "2025-12-11T05:48:20Z"},
        {"0", "01/01/1970", "1970-01-01T00:00:00Z"},
        {"253402300799", "31/12/9999", "9999-12-31T23:59:59Z"},
        {"253402300800", nullptr, ""},
        {"-1", nullptr, ""},
        {"", nullptr, ""},
        {"17654321OO", nullptr, ""},
        {" 1765432100", nullptr, ""},
        {"99999999999999999999", nullptr, ""},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Valor);
        ::setenv("SOURCE_DATE_EPOCH", c.Valor, 1);
        const TInfoLivro info = CriarInfoLivro();
        ::unsetenv("SOURCE_DATE_EPOCH");
        EXPECT_EQ(info.CriadoEm, c.CriadoEm);
        if (c.Data != nullptr) {
            EXPECT_EQ(info.Data, c.Data);
        } else {
            EXPECT_EQ(info.Data, CriarInfoLivro().Data) << "today's, as without it";
        }
    }
}

} // namespace
} // namespace tavrelo
