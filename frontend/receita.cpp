#include "frontend/receita.h"

#include "files/ficheiro.h"
#include "files/mensagens.h"
#include "frontend/pdf_lido.h"
#include "frontend/textos.h"
#include "generation/livro.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <new>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace tavrelo {

namespace {

constexpr std::string_view SEPARADOR = "; ";
constexpr std::string_view CAMPO_DA_SOMA = "; soma=";
constexpr size_t DIGITOS_HEX = 8;

std::string Citado(const std::string& ATexto) {
    return "«" + NomeParaMostrar(ATexto) + "»";
}

std::string Hexadecimal(uint32_t AValor) {
    return Formatar("%.8X", AValor);
}

std::string TextoDoNivel(int32_t ANivel) {
    return ANivel == 0 ? "P" : std::to_string(ANivel);
}

// A number written as the recipe writes it: digits only, no sign, no leading zero.
std::optional<int32_t> NumeroCanonico(std::string_view ATexto) {
    int32_t valor = 0;
    const char* fim = ATexto.data() + ATexto.size();
    const auto [resto, erro] = std::from_chars(ATexto.data(), fim, valor);
    if (ATexto.empty() || erro != std::errc() || resto != fim || std::to_string(valor) != ATexto) {
        return std::nullopt;
    }
    return valor;
}

std::optional<uint32_t> CodigoCanonico(std::string_view ATexto) {
    uint32_t valor = 0;
    const char* fim = ATexto.data() + ATexto.size();
    const auto [resto, erro] = std::from_chars(ATexto.data(), fim, valor, 16);
    if (ATexto.size() != DIGITOS_HEX || erro != std::errc() || resto != fim ||
        Hexadecimal(valor) != ATexto) {
        return std::nullopt;
    }
    return valor;
}

// A program's version as the recipe writes it: numbers separated by dots, short.
bool VersaoCanonica(std::string_view ATexto) {
    constexpr size_t MAXIMO = 15;
    if (ATexto.empty() || ATexto.size() > MAXIMO || ATexto.front() == '.' || ATexto.back() == '.' ||
        ATexto.find("..") != std::string_view::npos) {
        return false;
    }
    return ATexto.find_first_not_of("0123456789.") == std::string_view::npos;
}

// The fields of a recipe, in their order, from the text after its mark and form.
class TLeitorDeCampos {
  public:
    explicit TLeitorDeCampos(std::string_view AResto) : FResto(AResto) {}

    // The value of the next field, which must be ANome; it runs to the next separator.
    std::optional<std::string_view> Campo(std::string_view ANome) {
        if (!Nome(ANome)) {
            return std::nullopt;
        }
        const size_t fim = FResto.find(SEPARADOR);
        const std::string_view valor = FResto.substr(0, fim);
        FResto.remove_prefix(fim == std::string_view::npos ? FResto.size() : fim);
        return valor;
    }

    // The value of the last field, which must be ANome: the whole of what is left.
    std::optional<std::string_view> Ultimo(std::string_view ANome) {
        if (!Nome(ANome)) {
            return std::nullopt;
        }
        const std::string_view valor = FResto;
        FResto = {};
        return valor;
    }

  private:
    bool Nome(std::string_view ANome) {
        if (FResto.substr(0, SEPARADOR.size()) != SEPARADOR) {
            return false;
        }
        FResto.remove_prefix(SEPARADOR.size());
        if (FResto.substr(0, ANome.size()) != ANome || FResto.substr(ANome.size(), 1) != "=") {
            return false;
        }
        FResto.remove_prefix(ANome.size() + 1);
        return true;
    }

    std::string_view FResto;
};

// The choices of a recipe whose mark, form and sum are right; nullopt when a field is missing,
// out of order or not written as the recipe writes it.
std::optional<TReceitaDoLivro> LerCampos(std::string_view ACampos) {
    TLeitorDeCampos leitor(ACampos);
    const auto tamanho = leitor.Campo("tamanho");
    const auto nivel = leitor.Campo("nivel");
    const auto puzzles = leitor.Campo("puzzles");
    const auto dicas = leitor.Campo("dicas");
    const auto codigo = leitor.Campo("codigo");
    const auto programa = leitor.Campo("programa");
    const auto titulo = leitor.Ultimo("titulo");
    if (!tamanho || !nivel || !puzzles || !dicas || !codigo || !programa || !titulo) {
        return std::nullopt;
    }
    const auto n = NumeroCanonico(*tamanho);
    const auto p = NumeroCanonico(*puzzles);
    const auto semente = CodigoCanonico(*codigo);
    // The Progressiva is written P, never 0.
    const auto l = *nivel == "P" ? std::optional<int32_t>(0) : NumeroCanonico(*nivel);
    const bool nivelEscrito = l && (*nivel == "P" || *l != 0);
    if (!n || !p || !semente || !nivelEscrito || (*dicas != "sim" && *dicas != "não") ||
        !VersaoCanonica(*programa)) {
        return std::nullopt;
    }
    TReceitaDoLivro r;
    r.Config.N = *n;
    r.Config.Nivel = *l;
    r.Config.NumPuzzles = *p;
    r.Config.Caminho = *dicas == "sim";
    r.Config.Semente = *semente;
    r.Config.Titulo = std::string(*titulo);
    r.Versao = std::string(*programa);
    return r;
}

// Why the cover would not print ATitulo as the recipe holds it, or nothing.
std::string MotivoDoTitulo(const std::string& ATitulo) {
    const TTituloDoLivro titulo = VerificarTitulo(ATitulo);
    if (!titulo.Motivo.empty() || titulo.Titulo == ATitulo) {
        return titulo.Motivo;
    }
    // The check takes controls at a title's ends for blanks and drops them: inside, they are
    // told for what they are.
    if (TemControlos(ATitulo)) {
        return VerificarTitulo("x" + ATitulo + "x").Motivo;
    }
    return SemBrancos(ATitulo) != ATitulo ? "começa ou acaba em espaços."
                                          : "não está na forma composta.";
}

std::string MotivoDeLeitura(int AErro) {
    switch (AErro) {
    case ENOENT:
        return "o ficheiro não existe";
    case EACCES:
    case EPERM:
        return "sem permissão para o ler";
    default:
        return MotivoDoErro(AErro);
    }
}

// Why the thing at AOrigem, of the kind AModo, is not read as a PDF.
std::string NaoEUmFicheiro(const std::string& AOrigem, mode_t AModo) {
    if (S_ISDIR(AModo)) {
        return AOrigem + " é uma pasta, não um PDF.";
    }
    if (S_ISSOCK(AModo)) {
        return AOrigem + " é um socket, não um PDF.";
    }
    const char* tipo = S_ISFIFO(AModo)                    ? "um FIFO (um canal entre programas)"
                       : S_ISCHR(AModo) || S_ISBLK(AModo) ? "um dispositivo"
                                                          : "algo";
    return AOrigem + " é " + tipo + ", não um ficheiro guardado no disco, de onde se leia um PDF.";
}

// Why the PDF reader could not be started, from the errno of fork or exec.
std::string MotivoDoArranque(int AErro) {
    switch (AErro) {
    case EACCES:
    case EPERM:
        return "sem permissão para o executar";
    case EAGAIN:
        return "o sistema não deixa criar mais processos";
    default:
        return MotivoDoErro(AErro);
    }
}

// ABytes in megabytes, as the messages write them: "64 MB", "1,5 MB".
std::string Megabytes(uint64_t ABytes) {
    const uint64_t decimos = (ABytes * 10 + (1u << 20) / 2) >> 20;
    return decimos % 10 == 0
               ? Formatar("%llu MB", static_cast<unsigned long long>(decimos / 10))
               : Formatar("%llu,%llu MB", static_cast<unsigned long long>(decimos / 10),
                          static_cast<unsigned long long>(decimos % 10));
}

TLeituraDaReceita Recusa(std::string AMotivo) {
    return {std::nullopt, std::move(AMotivo)};
}

} // namespace

uint32_t Crc32(const std::string& ATexto) {
    const auto* bytes = reinterpret_cast<const Bytef*>(ATexto.data());
    return static_cast<uint32_t>(crc32_z(crc32_z(0, Z_NULL, 0), bytes, ATexto.size()));
}

std::string TextoDaReceita(const TConfigLivro& AConfig) {
    const std::string campos =
        MARCA_DA_RECEITA + std::to_string(FORMA_DA_RECEITA) +
        Formatar("; tamanho=%d; nivel=%s; puzzles=%d; dicas=%s; codigo=%s; programa=%s; titulo=",
                 AConfig.N, TextoDoNivel(AConfig.Nivel).c_str(), AConfig.NumPuzzles,
                 AConfig.Caminho ? "sim" : "não", CodigoDoLivro(AConfig.Semente).c_str(),
                 VersaoDoPrograma()) +
        AConfig.Titulo;
    return campos + std::string(CAMPO_DA_SOMA) + Hexadecimal(Crc32(campos));
}

TLeituraDaReceita LerTextoDaReceita(const std::string& ATexto, const std::string& AOrigem) {
    const std::string origem = Citado(AOrigem);
    const size_t marca = ATexto.find(MARCA_DA_RECEITA);
    if (marca == std::string::npos) {
        return Recusa(origem + " não tem a receita de um livro do TAVRELO: não foi feito pelo "
                               "TAVRELO, ou foi reescrito por um programa que a apagou.");
    }
    const std::string alterada = "A receita de " + origem +
                                 " foi alterada ou está incompleta: o livro não pode ser refeito "
                                 "a partir dela.";
    if (ATexto.size() > MAXIMO_DAS_PALAVRAS) {
        return Recusa(alterada);
    }
    const std::string_view texto(ATexto);
    const std::string_view depoisDaMarca =
        texto.substr(marca + std::string_view(MARCA_DA_RECEITA).size());
    const auto forma = NumeroCanonico(depoisDaMarca.substr(0, depoisDaMarca.find(';')));
    if (marca == 0 && forma && *forma > FORMA_DA_RECEITA) {
        return Recusa(Formatar("A receita de %s está numa forma mais recente (%d) do que esta "
                               "versão do TAVRELO sabe ler (%d): refaça o livro com uma versão "
                               "mais recente.",
                               origem.c_str(), *forma, FORMA_DA_RECEITA));
    }
    const size_t soma = texto.rfind(CAMPO_DA_SOMA);
    if (marca != 0 || forma != FORMA_DA_RECEITA || soma == std::string_view::npos) {
        return Recusa(alterada);
    }
    const std::string campos(texto.substr(0, soma));
    const auto somaEscrita = CodigoCanonico(texto.substr(soma + CAMPO_DA_SOMA.size()));
    if (!somaEscrita || *somaEscrita != Crc32(campos)) {
        return Recusa(alterada);
    }
    const std::string cabecalho = MARCA_DA_RECEITA + std::to_string(FORMA_DA_RECEITA);
    std::optional<TReceitaDoLivro> receita =
        LerCampos(std::string_view(campos).substr(cabecalho.size()));
    if (!receita) {
        return Recusa(alterada);
    }
    if (const std::string motivo = MotivoDoTitulo(receita->Config.Titulo); !motivo.empty()) {
        return Recusa(
            "A receita de " + origem +
            " pede um título que esta versão do TAVRELO não imprime: " + NomeParaMostrar(motivo));
    }
    try {
        ValidarConfiguracao(receita->Config);
    } catch (const EVelt& e) {
        return Recusa("A receita de " + origem +
                      " pede um livro que esta versão do TAVRELO não "
                      "faz: " +
                      e.what());
    }
    return {std::move(receita), {}};
}

TLeituraDaReceita LerReceitaDoPdf(const std::string& ACaminho, const std::atomic<bool>* AParar) {
    const std::string origem = Citado(ACaminho);
    // Without O_NONBLOCK a FIFO would hold the program until something writes into it.
    const TDescritor pdf(::open(ACaminho.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat estado {};
    if (!pdf.Aberto()) {
        const int erro = errno;
        // A socket cannot be opened at all: it is named for what it is.
        if (erro == ENXIO && ::stat(ACaminho.c_str(), &estado) == 0 && !S_ISREG(estado.st_mode)) {
            return Recusa(NaoEUmFicheiro(origem, estado.st_mode));
        }
        return Recusa("Não foi possível ler " + origem + ": " + MotivoDeLeitura(erro) + ".");
    }
    if (::fstat(*pdf, &estado) != 0) {
        return Recusa("Não foi possível ler " + origem + ": " + MotivoDeLeitura(errno) + ".");
    }
    if (!S_ISREG(estado.st_mode)) {
        return Recusa(NaoEUmFicheiro(origem, estado.st_mode));
    }
    if (static_cast<uint64_t>(estado.st_size) > MAXIMO_DO_PDF) {
        return Recusa(Formatar("%s tem %s, mais do que o PDF de qualquer livro do TAVRELO (até "
                               "%s): não foi lido.",
                               origem.c_str(),
                               Megabytes(static_cast<uint64_t>(estado.st_size)).c_str(),
                               Megabytes(MAXIMO_DO_PDF).c_str()));
    }
    const TLeituraDoPdf lido = LerPdf(*pdf, AParar);
    const std::string leitor = NomeParaMostrar(CaminhoDoLeitor());
    switch (lido.Falha) {
    case TFalhaDoLeitor::flNenhuma:
        break;
    case TFalhaDoLeitor::flSemLeitor:
        return Recusa("Não foi possível ler " + origem + ": falta o programa que lê os PDF, " +
                      leitor + " (instale o TAVRELO outra vez).");
    case TFalhaDoLeitor::flNaoArrancou:
        return Recusa("Não foi possível ler " + origem + ": o programa que lê os PDF, " + leitor +
                      ", não arrancou" +
                      (lido.Erro != 0 ? " (" + MotivoDoArranque(lido.Erro) + ")" : std::string()) +
                      ".");
    case TFalhaDoLeitor::flForaDosLimites:
        return Recusa(Formatar("%s não foi lido: pedia mais memória ou mais tempo do que o PDF de "
                               "qualquer livro do TAVRELO (%s de memória, %d s de processador). "
                               "Não é um livro do TAVRELO, ou foi feito para esgotar a memória "
                               "de quem o lê.",
                               origem.c_str(), Megabytes(MEMORIA_DO_LEITOR).c_str(),
                               PROCESSADOR_DO_LEITOR));
    case TFalhaDoLeitor::flSemResposta:
        return Recusa("Não foi possível ler " + origem + ": o programa que lê os PDF, " + leitor +
                      ", terminou sem dar resposta.");
    case TFalhaDoLeitor::flCancelada:
        return Recusa("A leitura de " + origem + " foi interrompida.");
    }
    switch (lido.Resposta.Tipo) {
    case TRespostaDoLeitor::rlPalavras:
        return LerTextoDaReceita(lido.Resposta.Palavras, ACaminho);
    case TRespostaDoLeitor::rlLongas:
        return Recusa(
            Formatar("%s não tem a receita de um livro do TAVRELO: as suas palavras-chave "
                     "são longas demais para o serem (mais de %zu bytes).",
                     origem.c_str(), MAXIMO_DAS_PALAVRAS));
    case TRespostaDoLeitor::rlPalavraPasse:
        return Recusa(origem + " está protegido por uma palavra-passe, e a receita do livro não "
                               "se lê sem ela: use o PDF tal como o TAVRELO o gravou.");
    case TRespostaDoLeitor::rlIlegivel:
    case TRespostaDoLeitor::rlSemMemoria:
        break;
    }
    return Recusa(origem + " não é um PDF que se consiga ler.");
}

std::string RecusaDoDestinoDoRefeito(const std::string& ADestino, const std::string& AOrigem) {
    if (!MesmoFicheiro(ADestino, AOrigem)) {
        return {};
    }
    return "O livro refeito não pode ser gravado por cima do PDF de onde vem a receita (" +
           Citado(ADestino) + "): escolha outro nome.";
}

std::string AvisoDeVersao(const TReceitaDoLivro& AReceita) {
    if (AReceita.Versao == VersaoDoPrograma()) {
        return {};
    }
    return Formatar("Este livro foi feito pela versão %s do TAVRELO, e esta é a %s: se a maneira "
                    "de fazer os livros mudou entretanto, o livro refeito pode não ser igual ao "
                    "original.",
                    AReceita.Versao.c_str(), VersaoDoPrograma());
}

} // namespace tavrelo
