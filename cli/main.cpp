// tavrelo-cli: makes one book from the options and writes it as a PDF, as JSON, or both.

#include "cli/livro_json.h"
#include "cli/opcoes.h"
#include "core/random.h"
#include "files/ficheiro.h"
#include "files/sinais.h"
#include "frontend/fazer_livro.h"
#include "frontend/textos.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using namespace tavrelo;

constexpr int SAIDA_OK = 0;
constexpr int SAIDA_FALHOU = 1;
constexpr int SAIDA_USO = 2;
constexpr int SAIDA_POR_SINAL = 128;

// Where the book is, for the signal handler.
enum TFase : int {
    fsPreparar,  // options read, files opened: a signal ends the program at once
    fsFazer,     // puzzles and pages being made: a first request stops after the one in course
    fsConfirmar, // the files are being put in place, or are: the book ends as it would anyway
};
std::atomic<int> g_Fase{fsPreparar};
// The first request to stop (SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2, SIGALRM), turned into
// a cancel by the progress callback.
std::atomic<int> g_Sinal{0};
// Whether the handler may tell the user on the terminal what happens next.
std::atomic<bool> g_AvisarInterrupcao{false};
// Whether the pages are being written (the stop then comes after the current page).
std::atomic<bool> g_AGravarPaginas{false};

static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

void EscreverNoErro(const char* ATexto, size_t ATamanho) {
    const ssize_t escrito = ::write(STDERR_FILENO, ATexto, ATamanho);
    (void)escrito;
}

extern "C" void AoSinal(int ASinal) {
    const int fase = g_Fase.load();
    if (fase == fsConfirmar) {
        return;
    }
    // SIGQUIT asks to quit now; after SIGPIPE nobody reads what would follow; after SIGXFSZ no
    // file can grow.
    const bool pedido = ASinal != SIGQUIT && ASinal != SIGPIPE && ASinal != SIGXFSZ;
    if (fase == fsPreparar || !pedido || g_Sinal.exchange(ASinal) != 0) {
        if (ASinal == SIGXFSZ) {
            static const char aviso[] = "\nO ficheiro a gravar excede o tamanho máximo que este "
                                        "programa pode escrever (ulimit -f).\n";
            EscreverNoErro(aviso, sizeof aviso - 1);
        }
        TerminarPeloSinal(ASinal);
    }
    if (g_AvisarInterrupcao.load()) {
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
    const bool livroNaSaida =
        (!pedido.CaminhoPdf.empty() && MesmoFicheiro(pedido.CaminhoPdf, "-")) ||
        (!opcoes.Json.empty() && MesmoFicheiro(opcoes.Json, "-"));

    const bool terminal = !opcoes.Silencioso && ::isatty(STDERR_FILENO) == 1;
    g_AvisarInterrupcao.store(terminal);
    TProgressoTerminal progresso(terminal);
    TAvisosLivro avisos;
    avisos.Progresso = [&](int32_t AFeitos, int32_t ATotal, const std::string& ATexto) {
        g_Fase.store(fsFazer); // the files are open: from now on a book can stop cleanly
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
    avisos.AntesDeConfirmar = [] { g_Fase.store(fsConfirmar); };

    const TDesfechoLivro desfecho = FazerLivro(pedido, avisos);
    progresso.Limpar();
    switch (desfecho.Fim) {
    case TFimDoLivro::flCancelado:
        std::cerr << desfecho.Mensagem << "\n";
        return SAIDA_POR_SINAL + (g_Sinal.load() != 0 ? g_Sinal.load() : SIGINT);
    case TFimDoLivro::flFalhou:
        std::cerr << desfecho.Mensagem << "\n";
        return SAIDA_FALHOU;
    case TFimDoLivro::flGravado:
        break;
    }

    std::ostream& mensagens = livroNaSaida ? std::cerr : std::cout;
    mensagens << desfecho.Mensagem << "\n";
    if (!pedido.CaminhoPdf.empty() && pedido.CaminhoPdf != "-") {
        mensagens << "PDF gravado em " << CaminhoParaMostrar(pedido.CaminhoPdf) << "\n";
    }
    if (!opcoes.Json.empty() && opcoes.Json != "-") {
        mensagens << "JSON gravado em " << CaminhoParaMostrar(opcoes.Json) << "\n";
    }
    mensagens.flush();
    for (const std::string& aviso : desfecho.Avisos) {
        std::cerr << aviso << "\n";
    }
    return SAIDA_OK;
}

} // namespace

int main(int argc, char** argv) {
    // Before anything is opened: no file may take the place of a closed standard descriptor,
    // and a signal must find the handler in place before the first temporary file exists.
    if (!ProtegerDescritoresPadrao()) {
        static const char aviso[] = "Não foi possível abrir /dev/null para as saídas fechadas.\n";
        EscreverNoErro(aviso, sizeof aviso - 1);
        return SAIDA_FALHOU;
    }
    InstalarSinaisDeFim(AoSinal);
    InstalarLimpezaNasFalhas();
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
