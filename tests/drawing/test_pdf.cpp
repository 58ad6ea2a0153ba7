#include "drawing/canvas_cairo.h"
#include "drawing/pdf.h"

#include "core/tipos.h"

#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <cairo.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

const char* const ACENTOS = "Ação, órfãs e pêssegos: 8 × 8 · «Progressiva»";

using teste::TComando;

// A reader of PDFs, run with its output (and errors) captured.
TComando Correr(const std::string& AComando) {
    return teste::CorrerComando(AComando);
}

// The lines of a reader's output, each split at blanks.
std::vector<std::vector<std::string>> Linhas(const std::string& ASaida) {
    std::vector<std::vector<std::string>> linhas;
    std::istringstream texto(ASaida);
    std::string linha;
    while (std::getline(texto, linha)) {
        std::istringstream palavras(linha);
        std::vector<std::string> l;
        for (std::string p; palavras >> p;) {
            l.push_back(p);
        }
        linhas.push_back(l);
    }
    return linhas;
}

// The value of a "Name:   value" line of pdfinfo.
std::string Campo(const std::string& ASaida, const std::string& ANome) {
    std::istringstream texto(ASaida);
    std::string linha;
    while (std::getline(texto, linha)) {
        if (linha.rfind(ANome + ":", 0) == 0) {
            const size_t inicio = linha.find_first_not_of(' ', ANome.size() + 1);
            return inicio == std::string::npos ? "" : linha.substr(inicio);
        }
    }
    return "?";
}

std::string Citado(const std::string& ACaminho) {
    return "'" + ACaminho + "'";
}

using DocumentoPdf = teste::TPastaTemporaria;

// Four pages: text in both weights, the badge, shapes, and two blank pages at the end.
void QuatroPaginas(IDestinoPaginas& ADestino) {
    {
        auto c = ADestino.NovaPagina();
        c->Texto(105, 18, ACENTOS, 14, false, 0, TAlinhamento::alCentro);
        c->Texto(18, 40, "Regras do livro", 12, true, 0, TAlinhamento::alEsquerda);
        c->Linha(18, 50, 192, 50, 0.25, 0);
        c->Rectangulo(18, 60, 40, 40, 0.5, 0, 235);
        c->Elipse(70, 60, 40, 40, 1, 0, -1);
        const TPontoMm triangulo[] = {PontoMm(130, 100), PontoMm(150, 60), PontoMm(170, 100)};
        c->Poligono(triangulo, 0.5, -1, 128);
        c->Texto(192, 283, "Página 1", 9, false, 128, TAlinhamento::alDireita);
    }
    {
        auto c = ADestino.NovaPagina();
        c->Imagem(73, 120, 64, 22.5, "SELO_CC_BY_NC_ND");
    }
    ADestino.NovaPagina();
    ADestino.NovaPagina();
}

TEST_F(DocumentoPdf, PaginasA4TituloAutorLetrasETexto) {
    const std::string alvo = Em("livro.pdf");
    GravarPaginasPdf(alvo, QuatroPaginas);
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.pdf"});

    const TComando info = Correr("pdfinfo -f 1 -l 99 " + Citado(alvo));
    ASSERT_EQ(info.Estado, 0) << info.Saida;
    EXPECT_EQ(Campo(info.Saida, "Title"), "TAVRELO");
    EXPECT_EQ(Campo(info.Saida, "Author"), "Brovanel");
    EXPECT_EQ(Campo(info.Saida, "Pages"), "4");
    for (int p = 1; p <= 4; ++p) {
        EXPECT_EQ(Campo(info.Saida, Formatar("Page %4d size", p)), "595.276 x 841.89 pts (A4)")
            << info.Saida;
    }

    // Both weights embedded as TrueType subsets: name, type, encoding, emb, sub, uni.
    const TComando letras = Correr("pdffonts " + Citado(alvo));
    ASSERT_EQ(letras.Estado, 0) << letras.Saida;
    std::vector<std::string> embutidas;
    for (const auto& l : Linhas(letras.Saida)) {
        if (l.size() >= 6 && l[1] == "TrueType" && l[l.size() - 5] == "yes" &&
            l[l.size() - 4] == "yes" && l[0].find('+') != std::string::npos) {
            embutidas.push_back(l[0].substr(l[0].find('+') + 1));
        }
    }
    std::sort(embutidas.begin(), embutidas.end());
    EXPECT_EQ(embutidas, (std::vector<std::string>{"LiberationSans", "LiberationSans-Bold"}))
        << letras.Saida;

    const TComando texto = Correr("pdftotext -layout -f 1 -l 1 " + Citado(alvo) + " -");
    ASSERT_EQ(texto.Estado, 0) << texto.Saida;
    EXPECT_NE(texto.Saida.find(ACENTOS), std::string::npos) << texto.Saida;
    EXPECT_NE(texto.Saida.find("Regras do livro"), std::string::npos);

    // The badge whole on page 2, flattened: no transparency mask goes with it.
    const TComando imagens = Correr("pdfimages -list " + Citado(alvo));
    std::vector<std::string> vistas;
    for (const auto& l : Linhas(imagens.Saida)) {
        if (l.size() > 4 && (l[2] == "image" || l[2] == "smask")) {
            vistas.push_back(l[0] + " " + l[2] + " " + l[3] + "x" + l[4]);
        }
    }
    EXPECT_EQ(vistas, std::vector<std::string>{"2 image 1280x450"}) << imagens.Saida;

    const TComando verificacao = Correr("qpdf --check " + Citado(alvo));
    EXPECT_EQ(verificacao.Estado, 0) << verificacao.Saida;
    EXPECT_NE(verificacao.Saida.find("No syntax or stream encoding errors"), std::string::npos)
        << verificacao.Saida;
}

TEST_F(DocumentoPdf, MedidasIguaisNoPdfENumaImagem) {
    // The page's context is scaled to points; text widths must not depend on it.
    const std::vector<std::string> textos = {ACENTOS, "Regras do livro", "M = 260   C = 65"};
    std::vector<double> noPdf;
    GravarPaginasPdf(Em("m.pdf"), [&](IDestinoPaginas& ADestino) {
        auto c = ADestino.NovaPagina();
        for (const std::string& t : textos) {
            for (const bool negrito : {false, true}) {
                noPdf.push_back(c->LarguraTexto(t, 10.5, negrito));
            }
        }
        noPdf.push_back(c->AlturaTexto(10.5));
    });
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
    cairo_t* cr = cairo_create(s);
    std::vector<double> naImagem;
    {
        TCanvasCairo c(cr, 300);
        for (const std::string& t : textos) {
            for (const bool negrito : {false, true}) {
                naImagem.push_back(c.LarguraTexto(t, 10.5, negrito));
            }
        }
        naImagem.push_back(c.AlturaTexto(10.5));
    }
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    EXPECT_EQ(noPdf, naImagem);
}

TEST_F(DocumentoPdf, SubstituiUmFicheiroAntigo) {
    const std::string alvo = Em("livro.pdf");
    std::ofstream(alvo) << "antigo";
    ASSERT_EQ(::chmod(alvo.c_str(), 0640), 0);
    GravarPaginasPdf(alvo, [](IDestinoPaginas& ADestino) { ADestino.NovaPagina(); });
    EXPECT_EQ(Ler(alvo).rfind("%PDF-", 0), 0u);
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.pdf"});
    struct stat info {};
    ASSERT_EQ(::stat(alvo.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u) << "the replaced file's permissions are kept";
    EXPECT_EQ(Campo(Correr("pdfinfo " + Citado(alvo)).Saida, "Pages"), "1");
}

// A failure at any point leaves no file and an older one as it was.
TEST_F(DocumentoPdf, FalhaNaoDeixaNadaEMantemOAntigo) {
    const std::string alvo = Em("livro.pdf");
    auto falhaNaPagina3 = [](IDestinoPaginas& ADestino) {
        for (int p = 1; p <= 5; ++p) {
            auto c = ADestino.NovaPagina();
            c->Texto(20, 20, "Página", 12, false, 0, TAlinhamento::alEsquerda);
            if (p == 3) {
                c->Imagem(10, 10, 10, 10, "NAO_HA");
            }
        }
    };
    std::ofstream(alvo) << "antigo";
    try {
        GravarPaginasPdf(alvo, falhaNaPagina3);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Imagem: o recurso NAO_HA nao existe no executavel");
    }
    EXPECT_EQ(Ler(alvo), "antigo");
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.pdf"});

    // A full disk: at the first block of a long document, which stops being drawn, and at
    // the last block of a short one.
    auto muitasPaginas = [](int& APaginas) {
        return [&APaginas](IDestinoPaginas& ADestino) {
            for (APaginas = 0; APaginas < 400; ++APaginas) {
                auto c = ADestino.NovaPagina();
                for (int i = 0; i < 40; ++i) {
                    c->Texto(20, 10 + 6 * i, Formatar("Linha %d da página %d", i, APaginas), 10,
                             i % 2 == 1, 0, TAlinhamento::alEsquerda);
                }
            }
        };
    };
    for (const bool longo : {true, false}) {
        TFicheiroAtomico ficheiro(alvo);
        int paginas = 0;
        try {
            GravarPaginasPdf(ficheiro,
                             longo ? TComporPaginas(muitasPaginas(paginas)) : QuatroPaginas, {},
                             [&](std::string_view) {
                                 throw EVelt("Não foi possível gravar " + alvo +
                                             ": não há espaço livre no disco.");
                             });
            ADD_FAILURE() << "no error";
        } catch (const EVelt& e) {
            EXPECT_EQ(std::string(e.what()),
                      "não foi possível gravar " + alvo + ": não há espaço livre no disco.");
        }
        if (longo) {
            EXPECT_LT(paginas, 399) << "drawing went on after the disk failed";
        }
    }
    EXPECT_EQ(Ler(alvo), "antigo");
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.pdf"});

    // A stop asked for between pages.
    {
        TFicheiroAtomico ficheiro(alvo);
        int perguntas = 0;
        EXPECT_THROW(GravarPaginasPdf(ficheiro, QuatroPaginas, [&] { return ++perguntas == 3; }),
                     ELivroInterrompido);
        EXPECT_EQ(perguntas, 3);
    }
    EXPECT_EQ(Ler(alvo), "antigo");
    EXPECT_EQ(Conteudo(), std::vector<std::string>{"livro.pdf"});
}

TEST_F(DocumentoPdf, PastaImpossivelDizPorque) {
    struct TCaso {
        std::string Alvo;
        std::string Mensagem;
    };
    std::vector<TCaso> casos = {
        {Em("nao-existe/livro.pdf"),
         "não foi possível gravar " + Em("nao-existe/livro.pdf") + ": a pasta não existe."},
        {FPasta.string(), "não foi possível gravar " + FPasta.string() + ": é uma pasta."},
    };
    // Permissions do not bind the superuser.
    if (::geteuid() != 0) {
        fs::create_directory(Em("fechada"));
        fs::permissions(Em("fechada"), fs::perms::owner_read | fs::perms::owner_exec);
        casos.push_back({Em("fechada/livro.pdf"), "não foi possível gravar " +
                                                      Em("fechada/livro.pdf") +
                                                      ": sem permissão para escrever."});
    }
    for (const TCaso& c : casos) {
        int paginas = 0;
        try {
            GravarPaginasPdf(c.Alvo, [&](IDestinoPaginas& ADestino) {
                ++paginas;
                ADestino.NovaPagina();
            });
            ADD_FAILURE() << "no error for " << c.Alvo;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), c.Mensagem);
        }
        EXPECT_EQ(paginas, 0) << "the target is checked before anything is drawn";
    }
    if (::geteuid() != 0) {
        EXPECT_TRUE(fs::is_empty(Em("fechada")));
    }
}

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

        const TComando meta =
            Correr("pdfinfo -f 1 -l " + std::to_string(c.Paginas) + " " + Citado(alvo));
        ASSERT_EQ(meta.Estado, 0) << meta.Saida;
        EXPECT_EQ(Campo(meta.Saida, "Pages"), std::to_string(c.Paginas));
        EXPECT_EQ(Campo(meta.Saida, "Title"), "TAVRELO");
        EXPECT_EQ(Campo(meta.Saida, "Author"), "Brovanel");
        for (int32_t p = 1; p <= c.Paginas; ++p) {
            EXPECT_EQ(Campo(meta.Saida, Formatar("Page %4d size", p)), "595.276 x 841.89 pts (A4)")
                << "página " << p;
        }
        for (const auto& l : Linhas(Correr("pdffonts " + Citado(alvo)).Saida)) {
            if (l.size() >= 6 && l[1] == "TrueType") {
                EXPECT_EQ(l[l.size() - 5], "yes") << "letra não embutida: " << l[0];
            }
        }
        const TComando verificacao = Correr("qpdf --check " + Citado(alvo));
        EXPECT_EQ(verificacao.Estado, 0) << verificacao.Saida;
    }
}

TEST_F(DocumentoPdf, LivroCompletoMostraPuzzlesSolucoesDicasERodape) {
    const std::string alvo = Em("livro.pdf");
    GravarLivroPdf(alvo, LivroDeEnsaio(8, 0, 50, true), TInfoLivro{"10/12/2026", "1.0"});
    const TComando texto = Correr("pdftotext -layout " + Citado(alvo) + " -");
    ASSERT_EQ(texto.Estado, 0) << texto.Saida;
    for (const char* esperado :
         {"TAVRELO | Brovanel", "Números a colocar", "Soluções", "Puzzle 001", "Puzzle 050",
          "M = 260", "C = 65", "(linha 1)", "Os restantes números resultam do mesmo modo.",
          "Ficha técnica", "0000002A", "10/12/2026", "Livro de ensaio", "Regras", "Como se resolve",
          "Os diagramas das leis"}) {
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

  private:
    std::unique_ptr<IVeltCanvas> FReal;
};

class TDestinoSemSelo : public IDestinoPaginas {
  public:
    explicit TDestinoSemSelo(IDestinoPaginas& AReal) : FReal(AReal) {}
    std::unique_ptr<IVeltCanvas> NovaPagina() override {
        return std::make_unique<TCanvasSemSelo>(FReal.NovaPagina());
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
