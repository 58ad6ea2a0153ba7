// tavrelo-cli: makes one book from the options and writes it as a PDF, as JSON, or both.

#include "cli/livro_json.h"
#include "cli/opcoes.h"
#include "core/random.h"
#include "core/tipos.h"
#include "files/descritor.h"
#include "files/ficheiro.h"
#include "files/mensagens.h"
#include "files/regionais.h"
#include "files/sinais.h"
#include "frontend/fazer_livro.h"
#include "frontend/fios.h"
#include "frontend/textos.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace tavrelo;

constexpr int SAIDA_OK = 0;
constexpr int SAIDA_FALHOU = 1;
constexpr int SAIDA_USO = 2;

// Whether the first request to stop may be told on the terminal, and what it stops.
std::atomic<bool> g_AvisarInterrupcao{false};
std::atomic<bool> g_AGravarPaginas{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void EscreverNoErro(const char* ATexto, size_t ATamanho) noexcept {
    const ssize_t escrito = ::write(STDERR_FILENO, ATexto, ATamanho);
    (void)escrito;
}

// The first request to stop, heard in the signal handler: the book stops after the puzzle or
// page in course, and the user is told how to end it at once.
void AvisarInterrupcao(int) noexcept {
    if (!g_AvisarInterrupcao.load()) {
        return;
    }
    static const char avisoPuzzle[] = "\nA interromper depois do puzzle em curso "
                                      "(Ctrl-C outra vez para sair já).\n";
    static const char avisoPagina[] = "\nA interromper depois da página em curso "
                                      "(Ctrl-C outra vez para sair já).\n";
    if (g_AGravarPaginas.load()) {
        EscreverNoErro(avisoPagina, sizeof avisoPagina - 1);
    } else {
        EscreverNoErro(avisoPuzzle, sizeof avisoPuzzle - 1);
    }
}

// The bytes of the first AMaximo characters of a UTF-8 text, a byte that is not UTF-8 counted
// as one.
size_t BytesDosPrimeiros(const std::string& ATexto, size_t AMaximo) {
    size_t i = 0;
    for (size_t n = 0; n < AMaximo && i < ATexto.size(); ++n) {
        uint32_t ponto = 0;
        i += std::max<size_t>(SequenciaUtf8(ATexto, i, ponto), 1);
    }
    return i;
}

// One line of progress on the terminal, redrawn in place.
class TProgressoTerminal {
  public:
    explicit TProgressoTerminal(bool AAtivo) : FAtivo(AAtivo) {}

    void Mostrar(int32_t AFeitos, int32_t ATotal, const std::string& ATexto) {
        if (!FAtivo) {
            return;
        }
        constexpr int32_t BARRA = 24;
        const int32_t cheios = ATotal > 0 ? BARRA * AFeitos / ATotal : 0;
        char barra[BARRA + 1];
        for (int32_t i = 0; i < BARRA; ++i) {
            barra[i] = i < cheios ? '#' : '-';
        }
        barra[BARRA] = '\0';
        std::string linha = Formatar("[%s] %d/%d  %s", barra, AFeitos, ATotal, ATexto.c_str());
        // One column short of the width, so that the terminal never wraps it.
        linha.resize(BytesDosPrimeiros(linha, Colunas() - 1));
        std::fprintf(stderr, "\r%s\x1b[K", linha.c_str());
        std::fflush(stderr);
        FVisivel = true;
    }

    void Limpar() {
        if (FVisivel) {
            std::fputs("\r\x1b[K", stderr);
            std::fflush(stderr);
            FVisivel = false;
        }
    }

  private:
    static size_t Colunas() {
        winsize tamanho{};
        if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &tamanho) == 0 && tamanho.ws_col >= 20) {
            return tamanho.ws_col;
        }
        return 80;
    }

    bool FAtivo;
    bool FVisivel = false;
};

// Every configuration the book generator accepts is a book: a progressive book of
// fewer than five puzzles simply stops before the top levels.
bool ConfiguracaoAceite(const TConfigLivro& AConfig) {
    try {
        ValidarConfiguracao(AConfig);
    } catch (const EVelt& e) {
        std::cerr << e.what() << "\n";
        return false;
    }
    return true;
}

std::string CaminhoParaMostrar(const std::string& ACaminho) {
    std::error_code erro;
    const std::filesystem::path absoluto = std::filesystem::absolute(ACaminho, erro);
    return NomeParaMostrar(erro ? ACaminho : absoluto.lexically_normal().string());
}

int Executar(int argc, char** argv) {
    const TLeituraOpcoes leitura = LerOpcoes(argc, argv);
    switch (leitura.Accao) {
    case TAccaoCli::acAjuda:
    case TAccaoCli::acVersao:
        return MostrarTextos(STDOUT_FILENO, {leitura.Texto}) ? SAIDA_OK : SAIDA_FALHOU;
    case TAccaoCli::acErro:
        std::cerr << leitura.Texto << "\n";
        return SAIDA_USO;
    case TAccaoCli::acGerar:
        break;
    }
    if (!leitura.Texto.empty()) {
        std::cerr << leitura.Texto << "\n";
    }
    const TOpcoesCli& opcoes = leitura.Opcoes;
    TConfigLivro config = ConfiguracaoDasOpcoes(opcoes, opcoes.Semente ? 0 : SementeDoRelogio());
    if (!ConfiguracaoAceite(config)) {
        return SAIDA_USO;
    }
    const TTituloDoLivro titulo = VerificarTitulo(config.Titulo);
    if (!titulo.Motivo.empty()) {
        std::cerr << titulo.Motivo << "\n";
        return SAIDA_USO;
    }
    config.Titulo = titulo.Titulo;

    TPedidoLivro pedido;
    pedido.Config = config;
    pedido.CaminhoPdf = opcoes.SemPdf ? std::string() : CaminhoDoPdf(opcoes);
    if (!opcoes.Json.empty()) {
        pedido.Outros.push_back({opcoes.Json, [](const TLivro& ALivro, const auto& AEscrever) {
                                     EscreverLivroJson(ALivro, AEscrever);
                                 }});
    }
    // With the book on standard output, every message goes to standard error.
    const bool pdfNaSaida = !pedido.CaminhoPdf.empty() && MesmoFicheiro(pedido.CaminhoPdf, "-");
    const bool livroNaSaida =
        pdfNaSaida || (!opcoes.Json.empty() && MesmoFicheiro(opcoes.Json, "-"));
    if (pdfNaSaida && ::isatty(STDOUT_FILENO) == 1) {
        std::cerr << "O PDF não é escrito no terminal: redirecione a saída padrão "
                     "(tavrelo-cli -o - > livro.pdf) ou indique o ficheiro com -o.\n";
        return SAIDA_USO;
    }

    const bool terminal = !opcoes.Silencioso && ::isatty(STDERR_FILENO) == 1;
    g_AvisarInterrupcao.store(terminal);
    TProgressoTerminal progresso(terminal);
    TAvisosLivro avisos;
    avisos.Progresso = [&](int32_t AFeitos, int32_t ATotal, const std::string& ATexto) {
        // The files are open: from now on a book can stop cleanly.
        ResponderAosSinais(TRespostaAosSinais::rsParar);
        progresso.Mostrar(AFeitos, ATotal, ATexto);
    };
    avisos.InicioDasPaginas = [&] {
        g_AGravarPaginas.store(true);
        if (!pedido.CaminhoPdf.empty()) {
            progresso.Mostrar(config.NumPuzzles, config.NumPuzzles, TEXTO_A_CRIAR_PDF);
        }
    };
    avisos.Cancelar = [] { return PedidoDeParagem() != 0; };
    avisos.PararPaginas = avisos.Cancelar;
    avisos.AntesDeConfirmar = [] { ResponderAosSinais(TRespostaAosSinais::rsSeguir); };

    // Where the book went, said once it is there, is made before: a written book must not be
    // reported as failed for want of memory to say so.
    const auto ondeFicou = [&](const std::string& APdf, const std::string& AJson) {
        std::string r;
        if (!pedido.CaminhoPdf.empty() && pedido.CaminhoPdf != "-") {
            r += "PDF gravado em " + CaminhoParaMostrar(APdf) + "\n";
        }
        if (!opcoes.Json.empty() && opcoes.Json != "-") {
            r += "JSON gravado em " + CaminhoParaMostrar(AJson) + "\n";
        }
        return r;
    };
    std::string onde = ondeFicou(pedido.CaminhoPdf, opcoes.Json);

    const TDesfechoLivro desfecho = FazerLivro(pedido, avisos);
    progresso.Limpar();
    switch (desfecho.Fim) {
    case TFimDoLivro::flCancelado:
        std::cerr << desfecho.Mensagem << "\n";
        return SaidaPeloSinal(PedidoDeParagem() != 0 ? PedidoDeParagem() : SIGINT);
    case TFimDoLivro::flFalhou:
        std::cerr << desfecho.Mensagem << "\n";
        return SAIDA_FALHOU;
    case TFimDoLivro::flGravado:
        break;
    }
    // Where the files are now, when it can be said: a folder renamed meanwhile took them along.
    const std::vector<std::string>& caminhos = desfecho.Caminhos;
    if (caminhos.size() ==
        (pedido.CaminhoPdf.empty() ? 0u : 1u) + (opcoes.Json.empty() ? 0u : 1u)) {
        try {
            onde = ondeFicou(pedido.CaminhoPdf.empty() ? std::string() : caminhos.front(),
                             opcoes.Json.empty() ? std::string() : caminhos.back());
        } catch (const std::bad_alloc&) {
            // the paths as given, made before
        }
    }
    const bool mostrado = MostrarTextos(livroNaSaida ? STDERR_FILENO : STDOUT_FILENO,
                                        {desfecho.Mensagem, "\n", onde});
    for (const std::string& aviso : desfecho.Avisos) {
        MostrarTextos(STDERR_FILENO, {aviso, "\n"});
    }
    return mostrado ? SAIDA_OK : SAIDA_FALHOU;
}

} // namespace

int main(int argc, char** argv) {
    // Before anything is opened: no file may take the place of a closed standard descriptor,
    // and a signal must find the handler in place before the first temporary file exists.
    if (!PrepararProcesso()) {
        static const char aviso[] = "Não foi possível abrir /dev/null para as saídas fechadas.\n";
        EscreverNoErro(aviso, sizeof aviso - 1);
        return SAIDA_FALHOU;
    }
    DefinirAoPedido(AvisarInterrupcao);
    UsarDefinicoesRegionais();
    UmaArenaParaTodosOsFios();
    try {
        return Executar(argc, argv);
    } catch (const std::bad_alloc&) {
        // Whatever held the memory is free again; stderr is unbuffered and needs none.
        std::fputs(MENSAGEM_SEM_MEMORIA, stderr);
        std::fputc('\n', stderr);
        return SAIDA_FALHOU;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "O programa terminou por um erro inesperado: %s\n", e.what());
        return SAIDA_FALHOU;
    }
}
