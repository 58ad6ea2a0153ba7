#include "drawing/canvas_cairo.h"
#include "drawing/pdf.h"

#include "core/tipos.h"

#include "../leitura_pdf.h"
#include "../navegacao_pdf.h"
#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <algorithm>
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

using teste::Campo;
using teste::Citado;
using teste::Linhas;

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

    // The badge whole on page 2, as shipped (its printed size at 600 dpi) and flattened: no
    // transparency mask goes with it.
    const TComando imagens = Correr("pdfimages -list " + Citado(alvo));
    std::vector<std::string> vistas;
    for (const auto& l : Linhas(imagens.Saida)) {
        if (l.size() > 4 && (l[2] == "image" || l[2] == "smask")) {
            vistas.push_back(l[0] + " " + l[2] + " " + l[3] + "x" + l[4]);
        }
    }
    EXPECT_EQ(vistas, std::vector<std::string>{"2 image 709x249"}) << imagens.Saida;

    const TComando verificacao = Correr("qpdf --check " + Citado(alvo));
    EXPECT_EQ(verificacao.Estado, 0) << verificacao.Saida;
    EXPECT_NE(verificacao.Saida.find("No syntax or stream encoding errors"), std::string::npos)
        << verificacao.Saida;
}

// Every document names its title, author and creator (the program with its version); the
// subject only when one is given, accents and all.
TEST_F(DocumentoPdf, PropriedadesDoDocumento) {
    const auto umaPagina = [](IDestinoPaginas& ADestino) {
        ADestino.NovaPagina()->Texto(18, 40, "Puzzle", 12, false, 0, TAlinhamento::alEsquerda);
    };
    struct TCaso {
        std::string Assunto, Visto;
    };
    for (const TCaso& c :
         {TCaso{"", "?"}, TCaso{"Férias de Verão: 8 × 8", "Férias de Verão: 8 × 8"}}) {
        SCOPED_TRACE(c.Assunto);
        const std::string alvo = Em("propriedades.pdf");
        GravarPaginasPdf(alvo, umaPagina, TMetadadosPdf{.Assunto = c.Assunto});
        const TComando info = Correr("pdfinfo -enc UTF-8 " + Citado(alvo));
        ASSERT_EQ(info.Estado, 0) << info.Saida;
        EXPECT_EQ(Campo(info.Saida, "Title"), "TAVRELO");
        EXPECT_EQ(Campo(info.Saida, "Author"), "Brovanel");
        // "TAVRELO 1.0.0": the version is three numbers.
        const std::string criador = Campo(info.Saida, "Creator");
        ASSERT_EQ(criador.rfind("TAVRELO ", 0), 0u) << criador;
        const std::string versao = criador.substr(8);
        EXPECT_EQ(std::count(versao.begin(), versao.end(), '.'), 2) << criador;
        EXPECT_EQ(versao.find_first_not_of("0123456789."), std::string::npos) << criador;
        EXPECT_EQ(Campo(info.Saida, "Subject"), c.Visto);
    }
}

TEST_F(DocumentoPdf, MedidasIguaisNoPdfNumaImagemENaMedida) {
    // The page's context is scaled to points; text widths must not depend on it, and the
    // surface that fits text before any document exists measures as the pages do.
    const auto medir = [](IVeltCanvas& c) {
        std::vector<double> r;
        for (const std::string t : {ACENTOS, "Regras do livro", "M = 260   C = 65"}) {
            for (const bool negrito : {false, true}) {
                r.push_back(c.LarguraTexto(t, 10.5, negrito));
                r.push_back(c.LarguraTexto(t, 16, negrito));
            }
        }
        r.push_back(c.AlturaTexto(10.5));
        return r;
    };
    std::vector<double> noPdf;
    GravarPaginasPdf(Em("m.pdf"),
                     [&](IDestinoPaginas& ADestino) { noPdf = medir(*ADestino.NovaPagina()); });
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
    cairo_t* cr = cairo_create(s);
    std::vector<double> naImagem;
    {
        TCanvasCairo c(cr, 300);
        naImagem = medir(c);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    EXPECT_EQ(noPdf, naImagem);
    EXPECT_EQ(medir(*CanvasDeMedida()), noPdf);
}

TEST_F(DocumentoPdf, MarcadoresELigacoesLevamAsPaginas) {
    // Links both ways between pages 1 and 3, one written before its destination exists; an
    // outline of two levels; names that need quoting.
    const std::string alvo = Em("navegavel.pdf");
    GravarPaginasPdf(alvo, [](IDestinoPaginas& ADestino) {
        {
            auto c = ADestino.NovaPagina();
            c->Destino("inicio", 0, 0);
            c->Texto(20, 30, "Puzzle 001", 14, true, 0, TAlinhamento::alEsquerda);
            c->Ligacao(20, 30, 30, 6, "o 'fim' \\ 3");
            ADestino.Marcador(MARCADOR_DE_TOPO, "Capa", "inicio");
        }
        ADestino.NovaPagina();
        {
            auto c = ADestino.NovaPagina();
            c->Destino("o 'fim' \\ 3", 0, 100);
            c->Texto(20, 100, "Soluções", 14, true, 0, TAlinhamento::alEsquerda);
            c->Ligacao(0, 0, 210, 297, "inicio");
            const int32_t pai = ADestino.Marcador(MARCADOR_DE_TOPO, "Soluções", "o 'fim' \\ 3");
            ADestino.Marcador(pai, "Solução 001", "o 'fim' \\ 3");
            ADestino.Marcador(pai, "Solução 002", "inicio");
        }
    });
    const TComando verificacao = Correr("qpdf --check " + Citado(alvo));
    EXPECT_EQ(verificacao.Estado, 0) << verificacao.Saida;
    EXPECT_NE(verificacao.Saida.find("No syntax or stream encoding errors"), std::string::npos)
        << verificacao.Saida;

    const teste::TNavegacaoPdf nav = teste::LerNavegacao(alvo);
    ASSERT_EQ(nav.Erro, "");
    ASSERT_EQ(nav.Indice.size(), 2u);
    EXPECT_EQ(nav.Indice[0].Titulo, "Capa");
    EXPECT_EQ(nav.Indice[0].Pagina, 1);
    EXPECT_TRUE(nav.Indice[0].Filhos.empty());
    EXPECT_EQ(nav.Indice[1].Titulo, "Soluções");
    EXPECT_EQ(nav.Indice[1].Pagina, 3);
    ASSERT_EQ(nav.Indice[1].Filhos.size(), 2u);
    EXPECT_EQ(nav.Indice[1].Filhos[0].Titulo, "Solução 001");
    EXPECT_EQ(nav.Indice[1].Filhos[0].Pagina, 3);
    EXPECT_EQ(nav.Indice[1].Filhos[1].Titulo, "Solução 002");
    EXPECT_EQ(nav.Indice[1].Filhos[1].Pagina, 1);

    ASSERT_EQ(nav.Ligacoes.size(), 2u);
    EXPECT_EQ(nav.Ligacoes[0].Pagina, 1);
    EXPECT_EQ(nav.Ligacoes[0].Destino, 3);
    EXPECT_EQ(nav.Ligacoes[1].Pagina, 3);
    EXPECT_EQ(nav.Ligacoes[1].Destino, 1);
    // The box in points from the page's bottom-left corner: x 20 to 50 mm, y 30 to 36 mm
    // from the top.
    const double altura = MmParaPt(297);
    const std::vector<double> esperada = {MmParaPt(20), altura - MmParaPt(36), MmParaPt(50),
                                          altura - MmParaPt(30)};
    ASSERT_EQ(nav.Ligacoes[0].Caixa.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(nav.Ligacoes[0].Caixa[i], esperada[i], 1.0) << i;
    }
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
                             longo ? TComporPaginas(muitasPaginas(paginas)) : QuatroPaginas, {}, {},
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
        EXPECT_THROW(
            GravarPaginasPdf(ficheiro, QuatroPaginas, {}, [&] { return ++perguntas == 3; }),
            EGravacaoInterrompida);
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

} // namespace
} // namespace tavrelo
