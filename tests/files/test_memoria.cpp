// Memory that runs out at each allocation in turn while a book's two files are opened, written
// and put in place together.
#include "files/ficheiro.h"

#include "core/tipos.h"

#include "../falhar_alocacao.h"
#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <string>
#include <vector>

namespace tavrelo {
namespace {

using FaltaDeMemoria = teste::TPastaTemporaria;

// The n-th allocation fails, for n = 1, 2, … until the files are written without reaching it:
// each time both targets keep their older text or both have the new one, and nothing is left
// beside them. Then the same with the second rename failing too, so that the roll-back of the
// first file runs with memory about to run out.
TEST_F(FaltaDeMemoria, EmCadaAlocacaoAmbosAntigosOuAmbosNovos) {
    const std::string pdf = Em("livro.pdf");
    const std::string json = Em("livro.json");
    for (const bool segundoFalha : {false, true}) {
        SCOPED_TRACE(segundoFalha ? "the second rename fails" : "every rename succeeds");
        const TFalhaDoPasso falha = [&](TPassoDaConfirmacao APasso, size_t AFicheiro) {
            return segundoFalha && APasso == TPassoDaConfirmacao::pcSubstituir && AFicheiro == 1
                       ? EIO
                       : 0;
        };
        uint64_t n = 1;
        for (;; ++n) {
            SCOPED_TRACE("allocation " + std::to_string(n));
            Criar(pdf, "antigo pdf");
            Criar(json, "antigo json");
            bool gravado = false;
            teste::FalharAlocacao(n);
            try {
                TFicheiroAtomico a(pdf);
                TFicheiroAtomico b(json);
                a.Escrever("novo pdf");
                b.Escrever("novo json");
                TFicheiroAtomico* const ambos[] = {&a, &b};
                gravado = ConfirmarJuntos(ambos, {}, falha);
            } catch (const std::bad_alloc&) {
            } catch (const EVelt&) {
            }
            const bool falhou = teste::AlocacaoFalhou();
            teste::FalharAlocacao(0);
            const std::string textoPdf = Ler(pdf);
            const std::string textoJson = Ler(json);
            const bool novos = textoPdf == "novo pdf" && textoJson == "novo json";
            const bool antigos = textoPdf == "antigo pdf" && textoJson == "antigo json";
            EXPECT_TRUE(segundoFalha ? antigos : novos || antigos)
                << textoPdf << " / " << textoJson;
            EXPECT_EQ(gravado, novos);
            EXPECT_EQ(Conteudo(), (std::vector<std::string>{"livro.json", "livro.pdf"}));
            if (!falhou || HasFailure()) {
                break;
            }
        }
        EXPECT_GT(n, 1u) << "no allocation failed: the failing allocator is not in use";
    }
}

} // namespace
} // namespace tavrelo
