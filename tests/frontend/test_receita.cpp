#include "frontend/receita.h"

#include "drawing/pdf.h"
#include "frontend/fazer_livro.h"
#include "frontend/textos.h"

#include "../leitor_de_teste.h"
#include "../pasta_temporaria.h"
#include "../pdf_hostil.h"
#include "config_livro.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

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
    // The example of the manual page and of docs/recipe.md.
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
        // A version is numbers and dots, short: nothing else of it is ever shown.
        {ComSoma(trocar("; programa=", "; programa=1.0\x1B[2J\x1B]0;ok\x07")), alterada},
        {ComSoma(trocar("; programa=", "; programa=v")), alterada},
        {ComSoma(trocar("; programa=", "; programa=.")), alterada},
        {ComSoma(trocar("; programa=", "; programa=1..")), alterada},
        {ComSoma(trocar("; programa=", "; programa=1.2.3.4.5.6.7.8.9")), alterada},
        {ComSoma(trocar("titulo=Férias", "titulo=" + std::string(5000, 'a'))), alterada},
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
        {ComSoma(trocar("titulo=Férias", "titulo=Férias ")),
         "A receita de «l.pdf» pede um título que esta versão do TAVRELO não imprime: começa ou "
         "acaba em espaços."},
        {ComSoma(trocar("titulo=Férias", "titulo=\x1B]52;c;b2zDoQ==\x07")),
         "A receita de «l.pdf» pede um título que esta versão do TAVRELO não imprime: O título "
         "tem de ser uma só linha, sem caracteres de controlo."},
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
        {Em("fifo.pdf"), "«" + Em("fifo.pdf") +
                             "» é um FIFO (um canal entre programas), não um ficheiro guardado "
                             "no disco, de onde se leia um PDF."},
    };
    for (const auto& r : recusas) {
        const TLeituraDaReceita lido = LerReceitaDoPdf(r.Caminho);
        EXPECT_FALSE(lido.Receita) << r.Caminho;
        EXPECT_EQ(lido.Motivo, r.Motivo);
    }
}

// Whether ATexto holds a byte or character that acts on a terminal: C0, DEL and C1 controls.
bool TemControlos(const std::string& ATexto) {
    for (size_t i = 0; i < ATexto.size(); ++i) {
        const auto c = static_cast<unsigned char>(ATexto[i]);
        const bool c1 = c == 0xC2 && i + 1 < ATexto.size() &&
                        static_cast<unsigned char>(ATexto[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(ATexto[i + 1]) < 0xA0;
        if (c < 0x20 || c == 0x7F || c1) {
            return true;
        }
    }
    return false;
}

// PDFs made to harm whoever reads them, and files that are no PDF at all: each is refused with
// its reason, the reader within its bounds, and nothing they hold reaches the reason raw.
TEST_F(ReceitaNoPdf, PdfsFeitosParaFazerMal) {
    TPedidoLivro pedido;
    pedido.Config = teste::Config(7, 2, 1, 0xC0DE, "Inverno", true);
    pedido.CaminhoPdf = Em("livro.pdf");
    ASSERT_EQ(FazerLivro(pedido, {}).Fim, TFimDoLivro::flGravado);
    const std::string receita = TextoDaReceita(pedido.Config);
    const std::string campos = receita.substr(0, receita.rfind("; soma="));
    const auto trocar = [&](const std::string& ADe, const std::string& APara) {
        std::string t = campos;
        t.replace(t.find(ADe), ADe.size(), APara);
        return ComSoma(t);
    };
    const auto escrever = [&](const std::string& ANome, const std::string& APdf) {
        Criar(Em(ANome), APdf);
        return Em(ANome);
    };
    const auto comPalavras = [&](const std::string& ANome, const std::string& APalavras) {
        return escrever(ANome,
                        teste::PdfComInfo("<< /Keywords " + teste::TextoPdf(APalavras) + " >>"));
    };
    const auto cifrar = [&](const std::string& ANome, const std::string& APalavraPasse) {
        EXPECT_EQ(teste::CorrerComando("qpdf --encrypt '" + APalavraPasse + "' dono 256 -- '" +
                                       pedido.CaminhoPdf + "' '" + Em(ANome) + "'")
                      .Estado,
                  0);
        return Em(ANome);
    };

    // Within its bounds the reader reads the same PDFs: a recipe behind the double compression
    // of a megabyte, and one whose PDF opens without a password.
    for (const std::string& legivel :
         {escrever("comprimido.pdf", teste::PdfBomba(1, teste::TextoPdf(receita))),
          cifrar("so-dono.pdf", "")}) {
        const TLeituraDaReceita lida = LerReceitaDoPdf(legivel);
        ASSERT_TRUE(lida.Receita) << lida.Motivo;
        EXPECT_TRUE(Iguais(lida.Receita->Config, pedido.Config));
    }

    ASSERT_EQ(::mkfifo(Em("fifo.pdf").c_str(), 0600), 0);
    const int escuta = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un endereco{};
    endereco.sun_family = AF_UNIX;
    ASSERT_LT(Em("socket.pdf").size(), sizeof endereco.sun_path);
    std::strcpy(endereco.sun_path, Em("socket.pdf").c_str());
    ASSERT_EQ(::bind(escuta, reinterpret_cast<const sockaddr*>(&endereco), sizeof endereco), 0);
    fs::create_symlink("laco-b.pdf", Em("laco-a.pdf"));
    fs::create_symlink("laco-a.pdf", Em("laco-b.pdf"));
    Criar(Em("enorme.pdf"), "");
    fs::resize_file(Em("enorme.pdf"), MAXIMO_DO_PDF + (1u << 20));
    const std::string alterada =
        "A receita de % foi alterada ou está incompleta: o livro não pode ser refeito a partir "
        "dela.";
    const std::string foraDosLimites =
        "% não foi lido: pedia mais memória ou mais tempo do que o PDF de qualquer livro do "
        "TAVRELO (64 MB de memória, 1 s de processador). Não é um livro do TAVRELO, ou foi feito "
        "para esgotar a memória de quem o lê.";
    const auto longa = [&](size_t AVersao) {
        return trocar("programa=", "programa=" + std::string(AVersao, '9'));
    };
    struct TCaso {
        std::string Caminho;
        std::string Motivo; // "%" stands for the file's name
    };
    std::vector<TCaso> casos = {
        {escrever("bomba.pdf", teste::PdfBomba(1024)), foraDosLimites},
        {comPalavras("ecra.pdf", trocar("programa=", "programa=1\x1B[2J\x1B[H")), alterada},
        {comPalavras("osc52.pdf", trocar("titulo=Inverno", "titulo=\x1B]52;c;b2zDoQ==\x07")),
         "A receita de % pede um título que esta versão do TAVRELO não imprime: O título tem de "
         "ser uma só linha, sem caracteres de controlo."},
        {comPalavras("c1.pdf", trocar("titulo=Inverno", "titulo=\xC2\x9B"
                                                        "2J")),
         "A receita de % pede um título que esta versão do TAVRELO não imprime: O título tem de "
         "ser uma só linha, sem caracteres de controlo."},
        // A field of 10 MB takes the reader past its memory; one of 100 kB is not passed on.
        {escrever("dez-mb.pdf", teste::PdfComInfo("<< /Keywords (" + longa(10 << 20) + ") >>")),
         foraDosLimites},
        {escrever("cem-kb.pdf", teste::PdfComInfo("<< /Keywords (" + longa(100 << 10) + ") >>")),
         "% não tem a receita de um livro do TAVRELO: as suas palavras-chave são longas demais "
         "para o serem (mais de 4096 bytes)."},
        {cifrar("cifrado.pdf", "segredo"),
         "% está protegido por uma palavra-passe, e a receita do livro não se lê sem ela: use o "
         "PDF tal como o TAVRELO o gravou."},
        {Em("socket.pdf"), "% é um socket, não um PDF."},
        {Em("laco-a.pdf"), "Não foi possível ler %: há demasiadas ligações simbólicas encadeadas."},
        {Em("enorme.pdf"),
         "% tem 65 MB, mais do que o PDF de qualquer livro do TAVRELO (até 64 MB): não foi lido."},
    };
    // A device, where this user may make one (the superuser): the null device, made here.
    if (::mknod(Em("dispositivo.pdf").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0) {
        casos.push_back({Em("dispositivo.pdf"),
                         "% é um dispositivo, não um ficheiro guardado no disco, de onde se leia "
                         "um PDF."});
    }
    for (TCaso& c : casos) {
        SCOPED_TRACE(c.Caminho);
        const TLeituraDaReceita lida = LerReceitaDoPdf(c.Caminho);
        EXPECT_FALSE(lida.Receita);
        const size_t marca = c.Motivo.find('%');
        c.Motivo.replace(marca, 1, "«" + c.Caminho + "»");
        EXPECT_EQ(lida.Motivo, c.Motivo);
        EXPECT_FALSE(TemControlos(lida.Motivo)) << lida.Motivo;
    }
    ::close(escuta);
}

// The reader replaced by others that misbehave: missing, not a program, one that runs past its
// processor time, one that answers nonsense, and one stopped while it waits.
TEST_F(ReceitaNoPdf, LeitorQueFalha) {
    struct TOutroLeitor {
        ~TOutroLeitor() { DefinirLeitor(TAVRELO_LEITOR_PATH); }
    } repor;
    TPedidoLivro pedido;
    pedido.Config = teste::Config(8, 1, 1, 1, "", true);
    pedido.CaminhoPdf = Em("livro.pdf");
    ASSERT_EQ(FazerLivro(pedido, {}).Fim, TFimDoLivro::flGravado);
    const auto programa = [&](const std::string& ANome, const std::string& ATexto, unsigned AModo) {
        Criar(Em(ANome), "#!/bin/sh\n" + ATexto + "\n");
        ::chmod(Em(ANome).c_str(), AModo);
        return Em(ANome);
    };
    const std::string livro = "«" + pedido.CaminhoPdf + "»";
    const struct {
        std::string Leitor;
        std::string Motivo;
    } casos[] = {
        {Em("nenhum"), "Não foi possível ler " + livro + ": falta o programa que lê os PDF, " +
                           Em("nenhum") + " (instale o TAVRELO outra vez)."},
        {programa("sem-x", "echo PALAVRAS", 0644),
         "Não foi possível ler " + livro + ": o programa que lê os PDF, " + Em("sem-x") +
             ", não arrancou (sem permissão para o executar)."},
        {programa("sem-fim", "while :; do :; done", 0755),
         livro + " não foi lido: pedia mais memória ou mais tempo do que o PDF de qualquer livro "
                 "do TAVRELO (64 MB de memória, 1 s de processador). Não é um livro do TAVRELO, "
                 "ou foi feito para esgotar a memória de quem o lê."},
        {programa("outro", "echo 'TUDO BEM'", 0755),
         "Não foi possível ler " + livro + ": o programa que lê os PDF, " + Em("outro") +
             ", terminou sem dar resposta."},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Leitor);
        DefinirLeitor(c.Leitor);
        EXPECT_EQ(LerReceitaDoPdf(pedido.CaminhoPdf).Motivo, c.Motivo);
    }

    // Stopped while it waits: at once, not when it would have ended.
    DefinirLeitor(programa("lento", "exec sleep 60", 0755));
    std::atomic<bool> parar{false};
    const auto inicio = std::chrono::steady_clock::now();
    std::thread pedir([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        parar = true;
    });
    const TLeituraDaReceita lida = LerReceitaDoPdf(pedido.CaminhoPdf, &parar);
    pedir.join();
    EXPECT_EQ(lida.Motivo, "A leitura de " + livro + " foi interrompida.");
    EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(SEGUNDOS_DO_LEITOR));
}

} // namespace
} // namespace tavrelo
