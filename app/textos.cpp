#include "app/textos.h"

#include "core/tipos.h"

namespace tavrelo {

namespace {
constexpr int32_t MINIMO_PROGRESSIVA = 5;
}

std::string PluralDe(int32_t n, const std::string& ASingular, const std::string& APlural) {
    return std::to_string(n) + " " + (n == 1 ? ASingular : APlural);
}

std::string NomeDoFicheiro(int32_t N, int32_t ANivel, int32_t ANumPuzzles) {
    if (ANivel == 0) {
        return Formatar("Tavrelo_%dx%d_P_%d.pdf", N, N, ANumPuzzles);
    }
    return Formatar("Tavrelo_%dx%d_N%d_%d.pdf", N, N, ANivel, ANumPuzzles);
}

std::string MensagemLivroGerado(int32_t APuzzles, int32_t APaginas, const std::string& ACodigo) {
    return "Livro gerado: " + PluralDe(APuzzles, "puzzle", "puzzles") + ", " +
           PluralDe(APaginas, "página", "páginas") + ". Código do livro: " + ACodigo;
}

std::string MensagemLivroGerado(int32_t APuzzles, const std::string& ACodigo) {
    return "Livro gerado: " + PluralDe(APuzzles, "puzzle", "puzzles") +
           ". Código do livro: " + ACodigo;
}

std::string MensagemCancelada(int32_t AFeitos, int32_t ATotal) {
    return "Geração cancelada aos " + std::to_string(AFeitos) + " de " + std::to_string(ATotal) +
           " puzzles. Nada foi gravado.";
}

std::string MensagemLivroFalhou(const std::string& AMotivo) {
    return "Não foi possível terminar o livro: " + AMotivo;
}

int32_t MinimoDePuzzlesDoNivel(int32_t ANivel) {
    return ANivel == 0 ? MINIMO_PROGRESSIVA : 1;
}

std::string MensagemMinimoProgressiva() {
    return Formatar("Na dificuldade Progressiva, o livro precisa de pelo menos %d puzzles (um por "
                    "nível).",
                    MINIMO_PROGRESSIVA);
}

} // namespace tavrelo
