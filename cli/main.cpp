// tavrelo-cli: makes one book from the options and writes it as JSON.

#include "drawing/ficheiro.h"
#include "cli/livro_json.h"
#include "cli/opcoes.h"
#include "app/textos.h"
#include "core/random.h"
#include "generation/livro.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
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
// The temporary file being written, removed if a second signal ends the program at once.
std::atomic<const char*> g_Temporario{nullptr};
// Whether the handler may tell the user on the terminal what happens next.
std::atomic<bool> g_AvisarInterrupcao{false};

static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<const char*>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void AoSinal(int ASinal) {
    if (g_Sinal.exchange(ASinal) != 0) {
        // A second request: stop now, without the puzzle in progress.
        if (const char* temporario = g_Temporario.load()) {
            ::unlink(temporario);
        }
        ::_exit(SAIDA_INTERROMPIDO);
    }
    if (g_AvisarInterrupcao.load()) {
        static const char aviso[] = "\nA interromper depois do puzzle em curso "
                                    "(Ctrl-C outra vez para sair já).\n";
        const ssize_t escrito = ::write(STDERR_FILENO, aviso, sizeof aviso - 1);
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

// Ties the signal handler's view of the temporary file to the file's life.
class TFicheiroVigiado {
  public:
    explicit TFicheiroVigiado(const std::string& ACaminho)
        : FFicheiro(std::make_unique<TFicheiroAtomico>(ACaminho)) {
        g_Temporario.store(FFicheiro->CaminhoTemporario());
    }
    ~TFicheiroVigiado() {
        g_Temporario.store(nullptr);
        FFicheiro.reset();
    }
    TFicheiroVigiado(const TFicheiroVigiado&) = delete;
    TFicheiroVigiado& operator=(const TFicheiroVigiado&) = delete;

    void Gravar(const std::string& ATexto) {
        FFicheiro->Escrever(ATexto);
        FFicheiro->Confirmar();
        g_Temporario.store(nullptr);
    }

  private:
    std::unique_ptr<TFicheiroAtomico> FFicheiro;
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

bool EscreverNaSaidaPadrao(const std::string& ATexto) {
    return std::fwrite(ATexto.data(), 1, ATexto.size(), stdout) == ATexto.size() &&
           std::fflush(stdout) == 0;
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
    const TConfigLivro config =
        ConfiguracaoDasOpcoes(opcoes, opcoes.Semente ? 0 : SementeDoRelogio());
    if (!ConfiguracaoAceite(config)) {
        return SAIDA_USO;
    }

    // With the book on standard output, every message goes to standard error.
    const bool jsonNaSaidaPadrao = opcoes.Json == "-";
    std::ostream& mensagens = jsonNaSaidaPadrao ? std::cerr : std::cout;

    // From here on an interrupt stops the book cleanly; the handler must be in place
    // before the temporary file exists, or a default kill could leave it behind.
    const bool terminal = !opcoes.Silencioso && ::isatty(STDERR_FILENO) == 1;
    g_AvisarInterrupcao.store(terminal);
    InstalarSinais();

    // The file is opened before the long work, so a folder that cannot be written
    // is reported at once.
    std::unique_ptr<TFicheiroVigiado> ficheiro;
    if (!jsonNaSaidaPadrao) {
        try {
            ficheiro = std::make_unique<TFicheiroVigiado>(opcoes.Json);
        } catch (const EVelt& e) {
            std::cerr << e.what() << "\n";
            return SAIDA_FALHOU;
        }
    }

    TProgressoTerminal progresso(terminal);

    progresso.Mostrar(0, config.NumPuzzles, "A preparar o livro...");
    const TProgressoLivro aoProgresso = [&](int32_t AFeitos, int32_t ATotal,
                                            const std::string& ATexto, bool& ACancelar) {
        if (g_Sinal.load() != 0) {
            ACancelar = true;
            return;
        }
        progresso.Mostrar(AFeitos, ATotal, ATexto);
    };

    TLivro livro;
    try {
        livro = TGeradorLivro().Gerar(config, aoProgresso);
    } catch (const std::bad_alloc&) {
        progresso.Limpar();
        std::cerr << MensagemLivroFalhou("não há memória suficiente") << "\n";
        return SAIDA_FALHOU;
    } catch (const std::exception& e) {
        progresso.Limpar();
        std::cerr << MensagemLivroFalhou(e.what()) << "\n";
        return SAIDA_FALHOU;
    }
    progresso.Limpar();

    // An interrupt counts even when it came during the last puzzle: the user asked to stop.
    if (g_Sinal.load() != 0) {
        std::cerr << MensagemCancelada(static_cast<int32_t>(livro.Puzzles.size()),
                                       config.NumPuzzles)
                  << "\n";
        return SAIDA_INTERROMPIDO;
    }

    try {
        const std::string texto = TextoDoLivroJson(livro);
        if (jsonNaSaidaPadrao) {
            if (!EscreverNaSaidaPadrao(texto)) {
                std::cerr << "Não foi possível escrever o livro na saída padrão.\n";
                return SAIDA_FALHOU;
            }
        } else {
            ficheiro->Gravar(texto);
        }
    } catch (const std::bad_alloc&) {
        std::cerr << MensagemLivroFalhou("não há memória suficiente") << "\n";
        return SAIDA_FALHOU;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return SAIDA_FALHOU;
    }

    mensagens << MensagemLivroGerado(static_cast<int32_t>(livro.Puzzles.size()), livro.Codigo)
              << "\n";
    if (!jsonNaSaidaPadrao) {
        mensagens << "JSON gravado em " << CaminhoParaMostrar(opcoes.Json) << "\n";
    }
    mensagens.flush();
    return SAIDA_OK;
}

} // namespace

int main(int argc, char** argv) {
    return Executar(argc, argv);
}
