// tavrelo-cli: makes one book from the options and writes it as a PDF, as JSON, or both.

#include "cli/livro_json.h"
#include "cli/opcoes.h"
#include "core/random.h"
#include "drawing/ficheiro.h"
#include "frontend/fazer_livro.h"
#include "frontend/textos.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using namespace tavrelo;

constexpr int SAIDA_OK = 0;
constexpr int SAIDA_FALHOU = 1;
constexpr int SAIDA_USO = 2;
constexpr int SAIDA_INTERROMPIDO = 130;

// Set by the first SIGINT or SIGTERM; the progress callback turns it into a cancel.
std::atomic<int> g_Sinal{0};
// Whether the handler may tell the user on the terminal what happens next.
std::atomic<bool> g_AvisarInterrupcao{false};
// Whether the pages are being written (the stop then comes after the current page).
std::atomic<bool> g_AGravarPaginas{false};

static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void AoSinal(int ASinal) {
    if (g_Sinal.exchange(ASinal) != 0) {
        // A second request: stop now, without the puzzle in progress.
        ApagarTemporariosPendentes();
        ::_exit(SAIDA_INTERROMPIDO);
    }
    if (g_AvisarInterrupcao.load()) {
        static const char avisoPuzzle[] = "\nA interromper depois do puzzle em curso "
                                          "(Ctrl-C outra vez para sair já).\n";
        static const char avisoPagina[] = "\nA interromper depois da página em curso "
                                          "(Ctrl-C outra vez para sair já).\n";
        const bool paginas = g_AGravarPaginas.load();
        const ssize_t escrito = paginas
                                    ? ::write(STDERR_FILENO, avisoPagina, sizeof avisoPagina - 1)
                                    : ::write(STDERR_FILENO, avisoPuzzle, sizeof avisoPuzzle - 1);
        (void)escrito;
    }
}

void InstalarSinais() {
    struct sigaction accao {};
    accao.sa_handler = AoSinal;
    sigemptyset(&accao.sa_mask);
    accao.sa_flags = SA_RESTART;
    sigaction(SIGINT, &accao, nullptr);
    sigaction(SIGTERM, &accao, nullptr);
}

// Number of characters (not bytes) of a UTF-8 text.
size_t Largura(const std::string& ATexto) {
    size_t n = 0;
    for (const char c : ATexto) {
        n += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u ? 1 : 0;
    }
    return n;
}

// The first AMaximo characters of a UTF-8 text.
std::string Cortar(const std::string& ATexto, size_t AMaximo) {
    size_t n = 0;
    for (size_t i = 0; i < ATexto.size(); ++i) {
        if ((static_cast<unsigned char>(ATexto[i]) & 0xC0u) != 0x80u && n++ == AMaximo) {
            return ATexto.substr(0, i);
        }
    }
    return ATexto;
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
        const size_t colunas = Colunas();
        if (Largura(linha) >= colunas) {
            linha = Cortar(linha, colunas - 1);
        }
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
    return erro ? ACaminho : absoluto.lexically_normal().string();
}

int Executar(int argc, char** argv) {
    const TLeituraOpcoes leitura = LerOpcoes(argc, argv);
    switch (leitura.Accao) {
    case TAccaoCli::acAjuda:
    case TAccaoCli::acVersao:
        std::cout << leitura.Texto << std::flush;
        return SAIDA_OK;
    case TAccaoCli::acErro:
        std::cerr << leitura.Texto << "\n";
        return SAIDA_USO;
    case TAccaoCli::acGerar:
        break;
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

    // From here on an interrupt stops the book cleanly; the handler must be in place
    // before the temporary files exist, or a default kill could leave them behind.
    const bool terminal = !opcoes.Silencioso && ::isatty(STDERR_FILENO) == 1;
    g_AvisarInterrupcao.store(terminal);
    InstalarSinais();

    TPedidoLivro pedido;
    pedido.Config = config;
    pedido.CaminhoPdf = opcoes.SemPdf ? std::string() : CaminhoDoPdf(opcoes);
    if (!opcoes.Json.empty()) {
        pedido.Outros.push_back({opcoes.Json, [](const TLivro& ALivro, const auto& AEscrever) {
                                     AEscrever(TextoDoLivroJson(ALivro));
                                 }});
    }

    TProgressoTerminal progresso(terminal);
    TAvisosLivro avisos;
    avisos.Progresso = [&](int32_t AFeitos, int32_t ATotal, const std::string& ATexto) {
        progresso.Mostrar(AFeitos, ATotal, ATexto);
    };
    avisos.InicioDasPaginas = [&] {
        g_AGravarPaginas.store(true);
        if (!pedido.CaminhoPdf.empty()) {
            progresso.Mostrar(config.NumPuzzles, config.NumPuzzles, TEXTO_A_CRIAR_PDF);
        }
    };
    avisos.Cancelar = [] { return g_Sinal.load() != 0; };
    avisos.PararPaginas = avisos.Cancelar;

    const TDesfechoLivro desfecho = FazerLivro(pedido, avisos);
    progresso.Limpar();
    switch (desfecho.Fim) {
    case TFimDoLivro::flCancelado:
        std::cerr << desfecho.Mensagem << "\n";
        return SAIDA_INTERROMPIDO;
    case TFimDoLivro::flFalhou:
        std::cerr << desfecho.Mensagem << "\n";
        return SAIDA_FALHOU;
    case TFimDoLivro::flGravado:
        break;
    }

    // With the book on standard output, every message goes to standard error.
    std::ostream& mensagens = opcoes.Json == "-" ? std::cerr : std::cout;
    mensagens << desfecho.Mensagem << "\n";
    if (!pedido.CaminhoPdf.empty()) {
        mensagens << "PDF gravado em " << CaminhoParaMostrar(pedido.CaminhoPdf) << "\n";
    }
    if (!opcoes.Json.empty() && opcoes.Json != "-") {
        mensagens << "JSON gravado em " << CaminhoParaMostrar(opcoes.Json) << "\n";
    }
    mensagens.flush();
    return SAIDA_OK;
}

} // namespace

int main(int argc, char** argv) {
    return Executar(argc, argv);
}
