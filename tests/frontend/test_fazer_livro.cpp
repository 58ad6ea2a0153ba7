#include "frontend/fazer_livro.h"

#include "frontend/textos.h"

#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

using FazerLivroTeste = teste::TPastaTemporaria;

TConfigLivro UmPuzzle() {
    TConfigLivro c;
    c.N = 8;
    c.Nivel = 1;
    c.NumPuzzles = 2;
    c.Semente = 0xC0FFEE;
    return c;
}

// The real generator and a stand-in writer of three short pages, unless a case breaks one.
TEtapasLivro Etapas(bool AFalharPdf = false) {
    TEtapasLivro etapas = EtapasDoLivro();
    etapas.GravarPdf = [AFalharPdf](TFicheiroAtomico& AFicheiro, const TLivro&, const TInfoLivro&,
                                    const TPedidoDeParagem& AParar) {
        for (int32_t p = 1; p <= 3; ++p) {
            if (AParar()) {
                throw EGravacaoInterrompida();
            }
            AFicheiro.Escrever("pagina ");
        }
        if (AFalharPdf) {
            throw EVelt("não há espaço livre no disco.");
        }
        return 3;
    };
    return etapas;
}

// Both files of a book: the PDF and a second file written from the same book.
TPedidoLivro Pedido(const std::string& APdf, const std::string& AOutro, bool AFalharOutro) {
    TPedidoLivro pedido;
    pedido.Config = UmPuzzle();
    pedido.CaminhoPdf = APdf;
    pedido.Outros.push_back({AOutro, [AFalharOutro](const TLivro& ALivro, const auto& AEscrever) {
                                 AEscrever(ALivro.Codigo);
                                 if (AFalharOutro) {
                                     throw std::runtime_error("Disco cheio.");
                                 }
                             }});
    return pedido;
}

TEST_F(FazerLivroTeste, GravaTudoJuntoEContaOQueFez) {
    std::vector<std::string> avisos;
    int32_t paginasComecadas = 0;
    TAvisosLivro a;
    a.Progresso = [&](int32_t AFeitos, int32_t ATotal, const std::string& ATexto) {
        avisos.push_back(std::to_string(AFeitos) + "/" + std::to_string(ATotal) + " " + ATexto);
        EXPECT_FALSE(std::filesystem::exists(Em("livro.pdf")) ||
                     std::filesystem::exists(Em("livro.txt")))
            << "nothing in place meanwhile";
    };
    a.InicioDasPaginas = [&] { ++paginasComecadas; };

    const TDesfechoLivro d =
        FazerLivro(Pedido(Em("livro.pdf"), Em("livro.txt"), false), a, Etapas());
    ASSERT_EQ(d.Fim, TFimDoLivro::flGravado) << d.Mensagem;
    EXPECT_EQ(d.Mensagem, MensagemLivroGerado(2, 3, "00C0FFEE"));
    EXPECT_EQ((std::vector<int32_t>{d.Feitos, d.Total, d.Paginas}),
              (std::vector<int32_t>{2, 2, 3}));
    EXPECT_EQ(avisos, (std::vector<std::string>{"0/2 A preparar o livro...",
                                                "1/2 A gerar o puzzle 1 de 2 (nível 1)",
                                                "2/2 A gerar o puzzle 2 de 2 (nível 1)"}));
    EXPECT_EQ(paginasComecadas, 1);
    EXPECT_EQ(Ler(Em("livro.pdf")), "pagina pagina pagina ");
    EXPECT_EQ(Ler(Em("livro.txt")), "00C0FFEE");
    EXPECT_EQ(Conteudo(), (std::vector<std::string>{"livro.pdf", "livro.txt"}));
}

// However the book stops, the older files stay as they were and nothing is left beside them.
TEST_F(FazerLivroTeste, SemSucessoNadaMuda) {
    const struct {
        const char* Nome;
        bool Cancelar, PararPaginas, FalharPdf, FalharOutro;
        TFimDoLivro Fim;
        std::string Mensagem;
    } casos[] = {
        {"cancelado", true, false, false, false, TFimDoLivro::flCancelado, MensagemCancelada(1, 2)},
        {"parado entre páginas", false, true, false, false, TFimDoLivro::flCancelado,
         MensagemCancelada(2, 2)},
        {"o PDF falha", false, false, true, false, TFimDoLivro::flFalhou,
         MensagemLivroFalhou("não há espaço livre no disco.")},
        {"o outro ficheiro falha", false, false, false, true, TFimDoLivro::flFalhou,
         "Disco cheio."},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.Nome);
        Criar(Em("livro.pdf"), "antigo");
        Criar(Em("livro.txt"), "antigo");
        TAvisosLivro a;
        a.Cancelar = [&] { return c.Cancelar; };
        a.PararPaginas = [&] { return c.PararPaginas; };
        const TDesfechoLivro d = FazerLivro(Pedido(Em("livro.pdf"), Em("livro.txt"), c.FalharOutro),
                                            a, Etapas(c.FalharPdf));
        EXPECT_EQ(d.Fim, c.Fim);
        EXPECT_EQ(d.Mensagem, c.Mensagem);
        EXPECT_EQ(Ler(Em("livro.pdf")), "antigo");
        EXPECT_EQ(Ler(Em("livro.txt")), "antigo");
        EXPECT_EQ(Conteudo(), (std::vector<std::string>{"livro.pdf", "livro.txt"}));
    }
}

// A target that cannot be written is reported before any puzzle is made.
TEST_F(FazerLivroTeste, DestinoImpossivelAntesDoTrabalho) {
    bool avisado = false;
    TAvisosLivro a;
    a.Progresso = [&](int32_t, int32_t, const std::string&) { avisado = true; };
    TEtapasLivro etapas = Etapas();
    etapas.Gerar = [](const TConfigLivro&, const TProgressoLivro&) -> TLivro {
        throw std::logic_error("the generator must not run");
    };
    const std::string outro = Em("nao-existe/livro.txt");
    const TDesfechoLivro d = FazerLivro(Pedido(Em("livro.pdf"), outro, false), a, etapas);
    EXPECT_EQ(d.Fim, TFimDoLivro::flFalhou);
    EXPECT_EQ(d.Mensagem, "Não foi possível gravar " + outro + ": a pasta não existe.");
    EXPECT_FALSE(avisado);
    EXPECT_TRUE(Conteudo().empty());
}

} // namespace
} // namespace tavrelo
