#include "frontend/textos.h"

#include "composition/editorial.h"
#include "core/tipos.h"
#include "drawing/pdf.h"
#include "files/mensagens.h"
#include "generation/niveis.h"

#include <charconv>
#include <cstdlib>
#include <memory>
#include <utf8proc.h>

namespace tavrelo {

namespace {
constexpr int32_t MINIMO_PROGRESSIVA = 5;

// The composed form (NFC) of a UTF-8 text; false when the text is not UTF-8.
bool Composto(const std::string& ATexto, std::string& AComposto) {
    utf8proc_uint8_t* composto = nullptr;
    const utf8proc_ssize_t n =
        utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(ATexto.data()),
                     static_cast<utf8proc_ssize_t>(ATexto.size()), &composto,
                     static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
    const std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> dono(composto, &std::free);
    if (n < 0) {
        return false;
    }
    AComposto.assign(reinterpret_cast<const char*>(composto), static_cast<size_t>(n));
    return true;
}

bool TemControlo(const std::string& ATexto) {
    size_t i = 0;
    while (i < ATexto.size()) {
        uint32_t ponto = 0;
        const size_t n = SequenciaUtf8(ATexto, i, ponto);
        if (ponto < 0x20 || (ponto >= 0x7F && ponto < 0xA0)) {
            return true;
        }
        i += n > 0 ? n : 1;
    }
    return false;
}

// One character as UTF-8, for a message that names it.
std::string Caracter(uint32_t APonto) {
    utf8proc_uint8_t bytes[4] = {};
    const utf8proc_ssize_t n = utf8proc_encode_char(static_cast<utf8proc_int32_t>(APonto), bytes);
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
}

} // namespace

const char* VersaoDoPrograma() {
    return TAVRELO_VERSAO;
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

std::string MensagemInterrompidoAoGravar() {
    return "Livro interrompido antes de ser gravado. Nenhum ficheiro foi alterado.";
}

std::string NotaDeEscritaParcial(const std::vector<std::string>& AFluxos) {
    if (AFluxos.empty()) {
        return {};
    }
    std::string onde;
    for (size_t i = 0; i < AFluxos.size(); ++i) {
        onde += i == 0 ? "" : " e ";
        onde += AFluxos[i] == "-" ? "na saída padrão" : "em " + NomeParaMostrar(AFluxos[i]);
    }
    return " Parte do livro já tinha sido escrita " + onde + ".";
}

std::string AvisoOutrosNomes(const std::string& ACaminho, uint64_t AOutros) {
    if (AOutros == 1) {
        return "Aviso: " + NomeParaMostrar(ACaminho) +
               " tinha outro nome (uma ligação fixa), que continua com o ficheiro antigo.";
    }
    return "Aviso: " + NomeParaMostrar(ACaminho) + " tinha mais " + std::to_string(AOutros) +
           " nomes (ligações fixas), que continuam com o ficheiro antigo.";
}

std::string MensagemLivroFalhou(const std::string& AMotivo) {
    return "Não foi possível terminar o livro: " + AMotivo;
}

int32_t MinimoDePuzzlesDoNivel(int32_t ANivel) {
    return ANivel == 0 ? MINIMO_PROGRESSIVA : 1;
}

int32_t NivelDoItem(int32_t AItem) {
    return AItem == ITEM_PROGRESSIVA ? 0 : AItem + 1;
}

int32_t MinimoDePuzzles(int32_t AItem) {
    return MinimoDePuzzlesDoNivel(NivelDoItem(AItem));
}

bool LerNumPuzzles(const std::string& ATexto, int32_t& n) {
    n = 0;
    const std::string t = SemBrancos(ATexto);
    if (t.empty() || t.size() > static_cast<size_t>(DIGITOS_MAX_PUZZLES)) {
        return false;
    }
    int32_t valor = 0;
    for (const char c : t) {
        if (c < '0' || c > '9') {
            return false;
        }
        valor = valor * 10 + (c - '0');
    }
    if (valor < MIN_PUZZLES || valor > MAX_PUZZLES) {
        return false;
    }
    n = valor;
    return true;
}

std::string MensagemNumPuzzles(bool AValido) {
    if (AValido) {
        return {};
    }
    return "Indique um número de puzzles entre " + std::to_string(MIN_PUZZLES) + " e " +
           std::to_string(MAX_PUZZLES) + ".";
}

std::string ResumoDaEscolha(int32_t n, int32_t N, int32_t AItem) {
    std::string r =
        PluralDe(n, "puzzle", "puzzles") + " · " + std::to_string(N) + " × " + std::to_string(N);
    if (AItem == ITEM_PROGRESSIVA) {
        r += " · progressiva";
        if (TamanhoValido(N)) {
            std::string contagens;
            for (int32_t c : PlanoProgressivoDoTamanho(n, N)) {
                if (c > 0) {
                    contagens += (contagens.empty() ? "" : " + ") + std::to_string(c);
                }
            }
            r += ": " + contagens;
        }
    } else if (AItem >= 0 && AItem < ITEM_PROGRESSIVA) {
        r += " · nível " + std::to_string(AItem + 1);
    }
    return r;
}

std::optional<uint32_t> LerCodigoDoLivro(const std::string& ATexto) {
    const std::string t = SemBrancos(ATexto);
    if (t.empty() || t.size() > 8) {
        return std::nullopt;
    }
    uint32_t valor = 0;
    const char* fim = t.data() + t.size();
    const auto [resto, erro] = std::from_chars(t.data(), fim, valor, 16);
    if (erro != std::errc() || resto != fim) {
        return std::nullopt;
    }
    return valor;
}

std::string MensagemSairDuranteGeracao() {
    return "Está a ser gerado um livro. Cancelar e sair?";
}

std::string MensagemMinimoProgressiva() {
    return Formatar("Na dificuldade Progressiva, o livro precisa de pelo menos %d puzzles (um por "
                    "nível).",
                    MINIMO_PROGRESSIVA);
}

TTituloDoLivro VerificarTitulo(const std::string& ATitulo) {
    TTituloDoLivro r;
    if (!Composto(SemBrancos(ATitulo), r.Titulo)) {
        r.Titulo = SemBrancos(ATitulo);
        r.Motivo = "O título não é texto UTF-8 válido.";
        return r;
    }
    if (TemControlo(r.Titulo)) {
        r.Motivo = "O título tem de ser uma só linha, sem caracteres de controlo.";
        return r;
    }
    const std::unique_ptr<IVeltCanvas> medida = CanvasDeMedida();
    if (const uint32_t falta = CaracterSemLetraNoTitulo(*medida, r.Titulo); falta != 0) {
        r.Motivo = "O título tem um carácter que a letra do livro não tem: «" + Caracter(falta) +
                   "» (" + Formatar("U+%04X", falta) + ").";
        return r;
    }
    if (!TituloDaCapa(*medida, r.Titulo).Cabe) {
        r.Motivo = "O título é demasiado comprido: não cabe na capa, nem em três linhas.";
    }
    return r;
}

} // namespace tavrelo
