// A book is the same, its JSON and its PDF byte for byte, whatever the number of threads that
// make it and whatever the locale of the process.
#include "cli/livro_json.h"
#include "frontend/fazer_livro.h"

#include "../data_fixa.h"
#include "../pasta_temporaria.h"
#include "../regionais.h"
#include "config_livro.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <system_error>
#include <thread>

namespace tavrelo {
namespace {

struct TLivroEscrito {
    std::string Json;
    std::string Pdf;
};

class LivrosEmParalelo : public teste::TPastaTemporaria {
  protected:
    // Every book says it was made at the same instant.
    const teste::TDataFixa FDataFixa;

    // The book written by FazerLivro, its puzzles made on ATrabalhadores threads.
    TLivroEscrito Escrever(const TConfigLivro& AConfig, int32_t ATrabalhadores) {
        TEtapasLivro etapas = EtapasDoLivro();
        etapas.Trabalhadores = ATrabalhadores;
        return Escrever(AConfig, etapas, "livro" + std::to_string(ATrabalhadores));
    }

    TLivroEscrito Escrever(const TConfigLivro& AConfig, const TEtapasLivro& AEtapas,
                           const std::string& ANome) {
        const std::string nome = Em(ANome);
        TPedidoLivro pedido;
        pedido.Config = AConfig;
        pedido.CaminhoPdf = nome + ".pdf";
        pedido.Outros.push_back({nome + ".json", [](const TLivro& ALivro, const auto& AEscrever) {
                                     EscreverLivroJson(ALivro, AEscrever);
                                 }});
        const TDesfechoLivro d = FazerLivro(pedido, {}, AEtapas);
        EXPECT_EQ(d.Fim, TFimDoLivro::flGravado) << d.Mensagem;
        return {Ler(nome + ".json"), Ler(nome + ".pdf")};
    }
};

// Every order at levels 1 and 5 and the Progressiva, two puzzles each (so that one is made
// ahead). Codes 000003BD (7 × 7) and 0000004F
// (8 × 8) make their second puzzle again in its turn: made ahead, its square is one the
// first puzzle took.
TEST_F(LivrosEmParalelo, OMesmoLivroComUmOuMaisFios) {
    const std::pair<int32_t, uint32_t> ordens[] = {{7, 0x3BD}, {8, 0x4F},  {11, 0x2A},
                                                   {12, 0x2A}, {13, 0x2A}, {16, 0x2A}};
    for (const auto& [N, codigo] : ordens) {
        for (const int32_t nivel : {1, 5, 0}) {
            const TConfigLivro config = teste::Config(N, nivel, 2, codigo);
            SCOPED_TRACE(testing::Message() << N << " nivel " << nivel);
            const TLivroEscrito umFio = Escrever(config, 1);
            const TLivroEscrito doisFios = Escrever(config, 2);
            EXPECT_TRUE(umFio.Json == doisFios.Json);
            EXPECT_TRUE(umFio.Pdf == doisFios.Pdf);
            ASSERT_NE(umFio.Pdf.find("%%EOF"), std::string::npos);
            if (N <= 8) {
                TGeradorLivro gerador;
                TParalelo paralelo;
                paralelo.Trabalhadores = 2;
                gerador.Gerar(config, nullptr, paralelo);
                EXPECT_EQ(gerador.Refeitos(), 1) << "the second puzzle is made again in turn";
            }
        }
    }
}

// Threads the system will not give (a limit on threads, or on memory for their stacks): the
// calling thread makes the whole book, puzzles and pages, and it is the same book.
TEST_F(LivrosEmParalelo, SemFiosTudoNoFioQueChama) {
    const TConfigLivro config = teste::Config(8, 0, 4, 0x4F);
    int32_t pedidos = 0;
    TEtapasLivro semFios = EtapasDoLivro();
    semFios.Trabalhadores = 2;
    semFios.IniciarFio = [&pedidos](const std::function<void()>&) -> TFio {
        ++pedidos;
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    const TLivroEscrito sem = Escrever(config, semFios, "sem-fios");
    EXPECT_EQ(pedidos, 2) << "the pages' thread and the one helper asked for";
    const TLivroEscrito umFio = Escrever(config, 1);
    EXPECT_TRUE(sem.Json == umFio.Json);
    EXPECT_TRUE(sem.Pdf == umFio.Pdf);
    ASSERT_NE(sem.Pdf.find("%%EOF"), std::string::npos);
}

// With the whole process under a user's locale, the decimal comma included (a library or a
// front end may set it so), the book is the one made under C: every link of the PDF in place.
// Its pages are drawn on a thread of their own and its puzzles on several.
TEST_F(LivrosEmParalelo, OMesmoLivroEmCadaLocal) {
    const TConfigLivro config = teste::Config(12, 0, 3, 0x2A);
    const TLivroEscrito emC = Escrever(config, 2);
    ASSERT_NE(emC.Pdf.find("/CreationDate (20251211054820Z)"), std::string::npos)
        << "SOURCE_DATE_EPOCH is the moment the PDF says it was made";
    for (const char* local : teste::LOCAIS_DOS_UTILIZADORES) {
        SCOPED_TRACE(local);
        const teste::TLocalDoProcesso comVirgula(local);
        ASSERT_TRUE(comVirgula.Tem()) << "localedef did not make " << local;
        TEtapasLivro etapas = EtapasDoLivro();
        etapas.Trabalhadores = 2;
        const TLivroEscrito noLocal = Escrever(config, etapas, local);
        EXPECT_TRUE(noLocal.Json == emC.Json);
        EXPECT_TRUE(noLocal.Pdf == emC.Pdf);
    }
}

} // namespace
} // namespace tavrelo
