#include "composition/livro_pdf.h"

#include "core/tipos.h"

#include "../leitura_pdf.h"
#include "../navegacao_pdf.h"
#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

using teste::Campo;
using teste::Citado;
using teste::Linhas;
using teste::TComando;
using DocumentoPdf = teste::TPastaTemporaria;

TLivro LivroDeEnsaio(int32_t N, int32_t ANivel, int32_t APuzzles, bool ADicas) {
    TConfigLivro config;
    config.N = N;
    config.Nivel = ANivel;
    config.NumPuzzles = APuzzles;
    config.Caminho = ADicas;
    config.Titulo = "Livro de ensaio";
    config.Semente = 0x2A;
    return TGeradorLivro().Gerar(config, {});
}

// Whole books: the file has exactly the planned pages, all A4, and independent readers
// find it sound.
TEST_F(DocumentoPdf, LivroCompletoTemAsPaginasDoPlano) {
    struct TCaso {
        int32_t N, Nivel, Puzzles;
        bool Dicas;
        int32_t Paginas;
    };
    const TCaso casos[] = {
        {8, 0, 50, true, 62},   {8, 1, 1, true, 14},   {13, 2, 2, true, 15},
        {16, 1, 50, true, 111}, {7, 0, 50, false, 50},
    };
    for (const TCaso& c : casos) {
        SCOPED_TRACE(Formatar("ordem %d, nivel %d, %d puzzles", c.N, c.Nivel, c.Puzzles));
        const TLivro livro = LivroDeEnsaio(c.N, c.Nivel, c.Puzzles, c.Dicas);
        const TInfoLivro info = CriarInfoLivro();
        ASSERT_EQ(TCompositorLivro(livro, info).NumPaginas(), c.Paginas);
        const std::string alvo = Em("livro.pdf");
        GravarLivroPdf(alvo, livro, info);
        EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.pdf"});

        const TComando meta = teste::CorrerComando("pdfinfo -f 1 -l " + std::to_string(c.Paginas) +
                                                   " " + Citado(alvo));
        ASSERT_EQ(meta.Estado, 0) << meta.Saida;
        EXPECT_EQ(Campo(meta.Saida, "Pages"), std::to_string(c.Paginas));
        EXPECT_EQ(Campo(meta.Saida, "Title"), "TAVRELO");
        EXPECT_EQ(Campo(meta.Saida, "Author"), "Brovanel");
        EXPECT_EQ(Campo(meta.Saida, "Subject"), "Livro de ensaio") << "the book's title";
        for (int32_t p = 1; p <= c.Paginas; ++p) {
            EXPECT_EQ(Campo(meta.Saida, Formatar("Page %4d size", p)), "595.276 x 841.89 pts (A4)")
                << "página " << p;
        }
        for (const auto& l : Linhas(teste::CorrerComando("pdffonts " + Citado(alvo)).Saida)) {
            if (l.size() >= 6 && l[1] == "TrueType") {
                EXPECT_EQ(l[l.size() - 5], "yes") << "letra não embutida: " << l[0];
            }
        }
        const TComando verificacao = teste::CorrerComando("qpdf --check " + Citado(alvo));
        EXPECT_EQ(verificacao.Estado, 0) << verificacao.Saida;
    }
}

// A reader finds the parts and every puzzle and solution in the outline, and goes from a
// puzzle's number to its solution and back.
TEST_F(DocumentoPdf, LivroNavegavelPorMarcadoresELigacoes) {
    struct TCaso {
        int32_t N, Puzzles;
        bool Dicas;
    };
    // Two puzzles and two solutions a page; two puzzles a page and four solutions.
    for (const TCaso& c : {TCaso{8, 5, true}, TCaso{7, 5, false}}) {
        SCOPED_TRACE(Formatar("ordem %d", c.N));
        const TLivro livro = LivroDeEnsaio(c.N, 0, c.Puzzles, c.Dicas);
        const TCompositorLivro compositor(livro, CriarInfoLivro());
        const std::vector<TDescPagina>& plano = compositor.Paginas();
        const auto pagina = [&](TTipoPagina ATipo, int32_t APuzzle) {
            int32_t r = 0;
            for (size_t i = 0; i < plano.size(); ++i) {
                if (plano[i].Tipo == ATipo && plano[i].Primeiro <= APuzzle) {
                    r = static_cast<int32_t>(i) + 1;
                }
            }
            return r;
        };
        const std::string alvo = Em("livro.pdf");
        GravarLivroPdf(alvo, livro, CriarInfoLivro());
        const TComando verificacao = teste::CorrerComando("qpdf --check " + Citado(alvo));
        EXPECT_EQ(verificacao.Estado, 0) << verificacao.Saida;
        EXPECT_NE(verificacao.Saida.find("No syntax or stream encoding errors"), std::string::npos)
            << verificacao.Saida;

        const teste::TNavegacaoPdf nav = teste::LerNavegacao(alvo);
        ASSERT_EQ(nav.Erro, "");
        const int32_t ultima = static_cast<int32_t>(plano.size());
        const std::vector<std::pair<std::string, int32_t>> partes = {
            {"Capa", 1},
            {"Regras", 3},
            {"Diagramas", 5},
            {"Puzzles", pagina(TTipoPagina::pgSeparador, 0)},
            {"Soluções", pagina(TTipoPagina::pgSeparador, 1)},
            {"Ficha técnica", ultima}};
        ASSERT_EQ(nav.Indice.size(), partes.size());
        for (size_t k = 0; k < partes.size(); ++k) {
            EXPECT_EQ(nav.Indice[k].Titulo, partes[k].first);
            EXPECT_EQ(nav.Indice[k].Pagina, partes[k].second) << partes[k].first;
            EXPECT_EQ(nav.Indice[k].Filhos.size(), k == 3 || k == 4 ? size_t(c.Puzzles) : 0u);
        }
        std::vector<std::pair<int, int>> ligacoes, esperadas;
        for (const auto& l : nav.Ligacoes) {
            ligacoes.emplace_back(l.Pagina, l.Destino);
        }
        for (int32_t p = 0; p < c.Puzzles && nav.Indice.size() == partes.size(); ++p) {
            const int32_t doPuzzle = pagina(TTipoPagina::pgPuzzles, p);
            const int32_t daSolucao = pagina(TTipoPagina::pgSolucoes, p);
            const auto& puzzle = nav.Indice[3].Filhos.at(size_t(p));
            const auto& solucao = nav.Indice[4].Filhos.at(size_t(p));
            EXPECT_EQ(puzzle.Titulo, Formatar("Puzzle %.3d", p + 1));
            EXPECT_EQ(puzzle.Pagina, doPuzzle);
            EXPECT_EQ(solucao.Titulo, Formatar("Solução %.3d", p + 1));
            EXPECT_EQ(solucao.Pagina, daSolucao);
            // The heading and the page written beside it, each way.
            for (int32_t vez = 0; vez < 2; ++vez) {
                esperadas.emplace_back(doPuzzle, daSolucao);
                esperadas.emplace_back(daSolucao, doPuzzle);
            }
        }
        std::sort(ligacoes.begin(), ligacoes.end());
        std::sort(esperadas.begin(), esperadas.end());
        EXPECT_EQ(ligacoes, esperadas);
    }
}

TEST_F(DocumentoPdf, LivroCompletoMostraPuzzlesSolucoesDicasERodape) {
    const std::string alvo = Em("livro.pdf");
    GravarLivroPdf(alvo, LivroDeEnsaio(8, 0, 50, true), TInfoLivro{"10/12/2026", "1.0"});
    const TComando texto = teste::CorrerComando("pdftotext -layout " + Citado(alvo) + " -");
    ASSERT_EQ(texto.Estado, 0) << texto.Saida;
    for (const char* esperado :
         {"TAVRELO | Brovanel", "Números a colocar", "Soluções", "Puzzle 001", "Puzzle 050",
          "M = 260", "C = 65", "(linha 1)", "(lista: L",
          "O resto resulta de leis com uma só casa vazia.", "Ficha técnica", "0000002A",
          "10/12/2026", "Livro de ensaio", "Regras", "Como se resolve", "Os diagramas das leis"}) {
        EXPECT_NE(texto.Saida.find(esperado), std::string::npos) << esperado;
    }
}

// A surface that passes every call on, but whose program lacks the licence badge.
class TCanvasSemSelo : public IVeltCanvas {
  public:
    explicit TCanvasSemSelo(std::unique_ptr<IVeltCanvas> AReal) : FReal(std::move(AReal)) {}
    void Linha(double X1, double Y1, double X2, double Y2, double E, int32_t C) override {
        FReal->Linha(X1, Y1, X2, Y2, E, C);
    }
    void Rectangulo(double X, double Y, double L, double A, double E, int32_t C,
                    int32_t P) override {
        FReal->Rectangulo(X, Y, L, A, E, C, P);
    }
    void Poligono(std::span<const TPontoMm> Pts, double E, int32_t C, int32_t P) override {
        FReal->Poligono(Pts, E, C, P);
    }
    void Elipse(double X, double Y, double L, double A, double E, int32_t C, int32_t P) override {
        FReal->Elipse(X, Y, L, A, E, C, P);
    }
    void Texto(double X, double Y, const std::string& T, double S, bool B, int32_t C,
               TAlinhamento Al) override {
        FReal->Texto(X, Y, T, S, B, C, Al);
    }
    double LarguraTexto(const std::string& T, double S, bool B) override {
        return FReal->LarguraTexto(T, S, B);
    }
    double AlturaTexto(double S) override { return FReal->AlturaTexto(S); }
    void Imagem(double X, double Y, double L, double A, const std::string& Nome) override {
        FReal->Imagem(X, Y, L, A, Nome == "SELO_CC_BY_NC_ND" ? "SELO_EM_FALTA" : Nome);
    }
    bool TemCaracter(uint32_t APonto, bool B) override { return FReal->TemCaracter(APonto, B); }
    void Destino(const std::string& ANome, double X, double Y) override {
        FReal->Destino(ANome, X, Y);
    }
    void Ligacao(double X, double Y, double L, double A, const std::string& ADestino) override {
        FReal->Ligacao(X, Y, L, A, ADestino);
    }

  private:
    std::unique_ptr<IVeltCanvas> FReal;
};

class TDestinoSemSelo : public IDestinoPaginas {
  public:
    explicit TDestinoSemSelo(IDestinoPaginas& AReal) : FReal(AReal) {}
    std::unique_ptr<IVeltCanvas> NovaPagina() override {
        return std::make_unique<TCanvasSemSelo>(FReal.NovaPagina());
    }
    int32_t Marcador(int32_t APai, const std::string& ATitulo,
                     const std::string& ADestino) override {
        return FReal.Marcador(APai, ATitulo, ADestino);
    }

  private:
    IDestinoPaginas& FReal;
};

TEST_F(DocumentoPdf, LivroSemSeloFalhaENaoGravaNada) {
    const std::string alvo = Em("livro.pdf");
    {
        std::ofstream antigo(alvo);
        antigo << "livro antigo";
    }
    const TLivro livro = LivroDeEnsaio(7, 1, 1, true);
    try {
        GravarPaginasPdf(alvo, [&](IDestinoPaginas& ADestino) {
            TDestinoSemSelo destino(ADestino);
            TCompositorLivro(livro, CriarInfoLivro()).Compor(destino);
        });
        FAIL() << "o livro foi gravado sem o selo";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Imagem: o recurso SELO_EM_FALTA nao existe no executavel");
    }
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.pdf"});
    EXPECT_EQ(Ler(alvo), "livro antigo");
}

} // namespace
} // namespace tavrelo
