#include "frontend/receita.h"

#include "drawing/pdf.h"
#include "frontend/fazer_livro.h"
#include "frontend/textos.h"

#include "../pasta_temporaria.h"
#include "config_livro.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace tavrelo {
namespace {

bool Iguais(const TConfigLivro& A, const TConfigLivro& B) {
    return A.N == B.N && A.Nivel == B.Nivel && A.NumPuzzles == B.NumPuzzles &&
           A.Titulo == B.Titulo && A.Caminho == B.Caminho && A.Semente == B.Semente;
}

// A recipe's fields with the sum they need, as a program that knows the form would write them.
std::string ComSoma(const std::string& ACampos) {
    return ACampos + "; soma=" + Formatar("%.8X", Crc32(ACampos));
}

TEST(Receita, AFormaDocumentada) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u); // the check value of CRC-32
    // The example of the manual page and the README.
    EXPECT_EQ(Crc32("TAVRELO-RECEITA/1; tamanho=12; nivel=3; puzzles=20; dicas=sim; "
                    "codigo=0A1B2C3D; programa=1.0.0; titulo=Férias de Verão"),
              0xC151EBB6u);
    const std::string campos = std::string("TAVRELO-RECEITA/1; tamanho=12; nivel=3; puzzles=20; "
                                           "dicas=sim; codigo=0A1B2C3D; programa=") +
                               VersaoDoPrograma() + "; titulo=Férias de Verão";
    EXPECT_EQ(TextoDaReceita(teste::Config(12, 3, 20, 0x0A1B2C3D, "Férias de Verão", true)),
              ComSoma(campos));
    EXPECT_EQ(TextoDaReceita(teste::Config(7, 0, 5, 0xFF, "", false)),
              ComSoma(std::string("TAVRELO-RECEITA/1; tamanho=7; nivel=P; puzzles=5; dicas=não; "
                                  "codigo=000000FF; programa=") +
                      VersaoDoPrograma() + "; titulo="));
}

TEST(Receita, CadaEscolhaVoltaComoFoiEscrita) {
    const TConfigLivro casos[] = {
        teste::Config(8, 0, 50, 0, "", true),
        teste::Config(16, 5, 100, 0xFFFFFFFFu, "Quadrados mágicos", false),
        teste::Config(13, 4, 1, 0x00C0FFEE, "x", true),
        // A title may hold anything the cover prints, the recipe's own separators included.
        teste::Config(11, 1, 3, 7, "Livro; soma=00000000; titulo=a = b", false),
        teste::Config(7, 2, 9, 0x1234, "«Verão» — 100 % ", true),
    };
    for (TConfigLivro c : casos) {
        c.Titulo = VerificarTitulo(c.Titulo).Titulo;
        const TLeituraDaReceita r = LerTextoDaReceita(TextoDaReceita(c), "livro.pdf");
        ASSERT_TRUE(r.Receita) << r.Motivo;
        EXPECT_TRUE(Iguais(r.Receita->Config, c)) << TextoDaReceita(c);
        EXPECT_EQ(r.Receita->Versao, VersaoDoPrograma());
        EXPECT_EQ(AvisoDeVersao(*r.Receita), "");
    }
}

TEST(Receita, RecusasDizemPorque) {
    const std::string boa = TextoDaReceita(teste::Config(12, 3, 20, 0x0A1B2C3D, "Férias", true));
    const std::string campos = boa.substr(0, boa.rfind("; soma="));
    const auto trocar = [&](const std::string& ADe, const std::string& APara) {
        std::string t = campos;
        t.replace(t.find(ADe), ADe.size(), APara);
        return t;
    };
    const std::string semReceita = "«l.pdf» não tem a receita de um livro do TAVRELO: não foi "
                                   "feito pelo TAVRELO, ou foi reescrito por um programa que a "
                                   "apagou.";
    const std::string alterada = "A receita de «l.pdf» foi alterada ou está incompleta: o livro "
                                 "não pode ser refeito a partir dela.";
    const struct {
        std::string Texto;
        std::string Motivo;
    } casos[] = {
        {"", semReceita},
        {"puzzles, quadrados mágicos", semReceita},
        // Changed without the sum, or with it, into something the form does not write.
        {trocar("puzzles=20", "puzzles=21") + boa.substr(campos.size()), alterada},
        {boa + ", puzzles", alterada},
        {"puzzles, " + boa, alterada},
        {boa.substr(0, boa.size() - 1), alterada},
        {campos, alterada},
        {ComSoma(trocar("nivel=3", "nivel=03")), alterada},
        {ComSoma(trocar("codigo=0A1B2C3D", "codigo=0a1b2c3d")), alterada},
        {ComSoma(trocar("dicas=sim", "dicas=talvez")), alterada},
        {ComSoma(trocar("; nivel=3; puzzles=20", "; puzzles=20; nivel=3")), alterada},
        {ComSoma(trocar("; programa=", "; versao=")), alterada},
        {ComSoma(trocar("TAVRELO-RECEITA/1", "TAVRELO-RECEITA/2")),
         "A receita de «l.pdf» está numa forma mais recente (2) do que esta versão do TAVRELO "
         "sabe ler (1): refaça o livro com uma versão mais recente."},
        // Written in the form, with its sum, but not a book this program makes.
        {ComSoma(trocar("tamanho=12", "tamanho=10")),
         "A receita de «l.pdf» pede um livro que esta versão do TAVRELO não faz: Tamanho de "
         "grelha inválido: 10"},
        {ComSoma(trocar("titulo=Férias", "titulo=Cafe\xCC\x81")),
         "A receita de «l.pdf» pede um título que esta versão do TAVRELO não imprime: não está "
         "na forma composta."},
        {ComSoma(trocar("titulo=Férias", "titulo=\xF0\x9F\x98\x80")),
         "A receita de «l.pdf» pede um título que esta versão do TAVRELO não imprime: O título "
         "tem um carácter que a letra do livro não tem: «\xF0\x9F\x98\x80» (U+1F600)."},
    };
    for (const auto& c : casos) {
        const TLeituraDaReceita r = LerTextoDaReceita(c.Texto, "l.pdf");
        EXPECT_FALSE(r.Receita) << c.Texto;
        EXPECT_EQ(r.Motivo, c.Motivo) << c.Texto;
    }
}

TEST(Receita, OutraVersaoDoProgramaAvisa) {
    std::string texto = TextoDaReceita(teste::Config(8, 1, 2, 1, "", true));
    const std::string campos = texto.substr(0, texto.rfind("; soma="));
    const std::string versao = std::string("programa=") + VersaoDoPrograma();
    std::string outra = campos;
    outra.replace(outra.find(versao), versao.size(), "programa=0.9.1");
    const TLeituraDaReceita r = LerTextoDaReceita(ComSoma(outra), "l.pdf");
    ASSERT_TRUE(r.Receita) << r.Motivo;
    EXPECT_EQ(r.Receita->Versao, "0.9.1");
    EXPECT_EQ(AvisoDeVersao(*r.Receita),
              std::string("Este livro foi feito pela versão 0.9.1 do TAVRELO, e esta é a ") +
                  VersaoDoPrograma() +
                  ": se a maneira de fazer os livros mudou entretanto, o livro refeito pode não "
                  "ser igual ao original.");
}

using ReceitaNoPdf = teste::TPastaTemporaria;

// The recipe goes into the book's PDF and comes back from it; a PDF that lost it, or a file
// that is no PDF, is refused with its reason.
TEST_F(ReceitaNoPdf, LidaDoLivroERecusadaSemEla) {
    TPedidoLivro pedido;
    pedido.Config = teste::Config(8, 1, 1, 0x2A, "Verão; soma=1", false);
    pedido.CaminhoPdf = Em("livro.pdf");
    const TDesfechoLivro d = FazerLivro(pedido, {});
    ASSERT_EQ(d.Fim, TFimDoLivro::flGravado) << d.Mensagem;

    const TLeituraDaReceita lida = LerReceitaDoPdf(pedido.CaminhoPdf);
    ASSERT_TRUE(lida.Receita) << lida.Motivo;
    EXPECT_TRUE(Iguais(lida.Receita->Config, pedido.Config));
    // Any reader of PDFs shows it.
    EXPECT_NE(teste::CorrerComando("pdfinfo '" + pedido.CaminhoPdf + "'")
                  .Saida.find("TAVRELO-RECEITA/1; tamanho=8; nivel=1; puzzles=1; dicas=não; "
                              "codigo=0000002A; "),
              std::string::npos);

    // A copy written again by qpdf keeps its document information, and so its recipe; one
    // made of its pages alone loses it.
    ASSERT_EQ(teste::CorrerComando("qpdf --object-streams=generate '" + pedido.CaminhoPdf + "' '" +
                                   Em("reescrito.pdf") + "'")
                  .Estado,
              0);
    EXPECT_TRUE(LerReceitaDoPdf(Em("reescrito.pdf")).Receita);
    ASSERT_EQ(teste::CorrerComando("qpdf --empty --pages '" + pedido.CaminhoPdf + "' -- '" +
                                   Em("paginas.pdf") + "'")
                  .Estado,
              0);

    GravarPaginasPdf(Em("outro.pdf"), [](IDestinoPaginas& ADestino) { ADestino.NovaPagina(); });
    Criar(Em("texto.pdf"), "%PDF-1.4\nnão é um PDF\n");
    ASSERT_EQ(::mkdir(Em("pasta.pdf").c_str(), 0700), 0);
    ASSERT_EQ(::mkfifo(Em("fifo.pdf").c_str(), 0600), 0);
    const std::string semReceita =
        " não tem a receita de um livro do TAVRELO: não foi feito pelo TAVRELO, ou foi reescrito "
        "por um programa que a apagou.";
    const struct {
        std::string Caminho;
        std::string Motivo;
    } recusas[] = {
        {Em("paginas.pdf"), "«" + Em("paginas.pdf") + "»" + semReceita},
        {Em("outro.pdf"), "«" + Em("outro.pdf") + "»" + semReceita},
        {Em("texto.pdf"), "«" + Em("texto.pdf") + "» não é um PDF que se consiga ler."},
        {Em("nada.pdf"), "Não foi possível ler «" + Em("nada.pdf") + "»: o ficheiro não existe."},
        {Em("pasta.pdf"), "«" + Em("pasta.pdf") + "» é uma pasta, não um PDF."},
        {Em("fifo.pdf"),
         "«" + Em("fifo.pdf") + "» não é um ficheiro guardado no disco, de onde se leia um PDF."},
    };
    for (const auto& r : recusas) {
        const TLeituraDaReceita lido = LerReceitaDoPdf(r.Caminho);
        EXPECT_FALSE(lido.Receita) << r.Caminho;
        EXPECT_EQ(lido.Motivo, r.Motivo);
    }
}

} // namespace
} // namespace tavrelo
