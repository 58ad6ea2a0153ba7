#include "frontend/receita.h"

#include "files/mensagens.h"
#include "frontend/pdf_lido.h"
#include "frontend/textos.h"
#include "generation/livro.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

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
        programa->empty()) {
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

TLeituraDaReceita Recusa(std::string AMotivo) {
    return {std::nullopt, std::move(AMotivo)};
}

} // namespace

uint32_t Crc32(const std::string& ATexto) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const char c : ATexto) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ ((crc & 1u) != 0 ? 0xEDB88320u : 0u);
        }
    }
    return ~crc;
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
    const TTituloDoLivro titulo = VerificarTitulo(receita->Config.Titulo);
    if (!titulo.Motivo.empty() || titulo.Titulo != receita->Config.Titulo) {
        return Recusa(
            "A receita de " + origem +
            " pede um título que esta versão do TAVRELO não "
            "imprime: " +
            (titulo.Motivo.empty() ? std::string("não está na forma composta.") : titulo.Motivo));
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

TLeituraDaReceita LerReceitaDoPdf(const std::string& ACaminho) {
    const std::string origem = Citado(ACaminho);
    // Without O_NONBLOCK a FIFO would hold the program until something writes into it.
    const int descritor = ::open(ACaminho.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descritor < 0) {
        return Recusa("Não foi possível ler " + origem + ": " + MotivoDeLeitura(errno) + ".");
    }
    struct stat estado {};
    if (::fstat(descritor, &estado) != 0 || !S_ISREG(estado.st_mode)) {
        ::close(descritor);
        return Recusa(S_ISDIR(estado.st_mode)
                          ? origem + " é uma pasta, não um PDF."
                          : origem + " não é um ficheiro guardado no disco, de onde se leia um "
                                     "PDF.");
    }
    std::FILE* ficheiro = ::fdopen(descritor, "rb");
    if (ficheiro == nullptr) {
        const int erro = errno;
        ::close(descritor);
        return Recusa("Não foi possível ler " + origem + ": " + MotivoDeLeitura(erro) + ".");
    }
    // A damaged file is not searched for what it might have held: the recipe is only
    // trusted in a PDF that reads as one.
    const std::optional<std::string> palavrasChave = PalavrasChaveDoPdf(ficheiro, ACaminho);
    if (!palavrasChave) {
        return Recusa(origem + " não é um PDF que se consiga ler.");
    }
    return LerTextoDaReceita(*palavrasChave, ACaminho);
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
