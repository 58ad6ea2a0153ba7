// tavrelo-cli: makes one book from the options and writes it as a PDF, as JSON, or both.

#include "app/textos.h"
#include "cli/livro_json.h"
#include "cli/opcoes.h"
#include "composition/paginas.h"
#include "core/random.h"
#include "drawing/ficheiro.h"
#include "drawing/pdf.h"
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
// The temporary files being written (the PDF and the JSON), removed if a second signal
// ends the program at once.
std::atomic<const char*> g_Temporarios[2] = {nullptr, nullptr};
// Whether the handler may tell the user on the terminal what happens next.
std::atomic<bool> g_AvisarInterrupcao{false};
// Whether the pages are being written (the stop then comes after the current page).
std::atomic<bool> g_AGravarPaginas{false};

static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<const char*>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void AoSinal(int ASinal) {
    if (g_Sinal.exchange(ASinal) != 0) {
        // A second request: stop now, without the puzzle in progress.
        for (const auto& t : g_Temporarios) {
            if (const char* temporario = t.load()) {
                ::unlink(temporario);
            }
        }
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

// A book that could not be made or written: the bar goes, the reason is said, and nothing
// has been put in place.
int LivroFalhou(TProgressoTerminal& AProgresso, const std::exception& AErro) {
    AProgresso.Limpar();
    const bool semMemoria = dynamic_cast<const std::bad_alloc*>(&AErro) != nullptr;
    std::cerr << MensagemLivroFalhou(semMemoria ? "não há memória suficiente" : AErro.what())
              << "\n";
    return SAIDA_FALHOU;
}

// Ties the signal handler's view of a temporary file to the file's life.
class TFicheiroVigiado {
  public:
    TFicheiroVigiado(const std::string& ACaminho, std::atomic<const char*>& AVigia)
        : FFicheiro(std::make_unique<TFicheiroAtomico>(ACaminho)), FVigia(AVigia) {
        FVigia.store(FFicheiro->CaminhoTemporario());
    }
    ~TFicheiroVigiado() {
        FVigia.store(nullptr);
        FFicheiro.reset();
    }
    TFicheiroVigiado(const TFicheiroVigiado&) = delete;
    TFicheiroVigiado& operator=(const TFicheiroVigiado&) = delete;

    TFicheiroAtomico& Ficheiro() { return *FFicheiro; }

    void Confirmar() {
        FFicheiro->Confirmar();
        FVigia.store(nullptr);
    }

  private:
    std::unique_ptr<TFicheiroAtomico> FFicheiro;
    std::atomic<const char*>& FVigia;
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

    // The files are opened before the long work, so a folder that cannot be written
    // is reported at once.
    const std::string caminhoPdf = opcoes.SemPdf ? std::string() : CaminhoDoPdf(opcoes);
    std::unique_ptr<TFicheiroVigiado> pdf;
    std::unique_ptr<TFicheiroVigiado> json;
    try {
        if (!opcoes.SemPdf) {
            pdf = std::make_unique<TFicheiroVigiado>(caminhoPdf, g_Temporarios[0]);
        }
        if (!opcoes.Json.empty() && !jsonNaSaidaPadrao) {
            json = std::make_unique<TFicheiroVigiado>(opcoes.Json, g_Temporarios[1]);
        }
    } catch (const EVelt& e) {
        std::cerr << e.what() << "\n";
        return SAIDA_FALHOU;
    }

    TProgressoTerminal progresso(terminal);

    progresso.Mostrar(0, config.NumPuzzles, TEXTO_A_PREPARAR);
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
    } catch (const std::exception& e) {
        return LivroFalhou(progresso, e);
    }
    progresso.Limpar();

    // An interrupt counts even when it came during the last puzzle: the user asked to stop.
    if (g_Sinal.load() != 0) {
        std::cerr << MensagemCancelada(static_cast<int32_t>(livro.Puzzles.size()),
                                       config.NumPuzzles)
                  << "\n";
        return SAIDA_INTERROMPIDO;
    }

    const auto puzzles = static_cast<int32_t>(livro.Puzzles.size());

    // The pages go to their temporary file first; nothing is put in place until every
    // file of the book is complete.
    int32_t paginas = 0;
    if (pdf) {
        progresso.Mostrar(config.NumPuzzles, config.NumPuzzles, TEXTO_A_CRIAR_PDF);
        g_AGravarPaginas.store(true);
        try {
            const TInfoLivro info = CriarInfoLivro();
            paginas = TCompositorLivro(livro, info).NumPaginas();
            GravarLivroPdf(pdf->Ficheiro(), livro, info, [] { return g_Sinal.load() != 0; });
        } catch (const ELivroInterrompido&) {
            progresso.Limpar();
            std::cerr << MensagemCancelada(puzzles, config.NumPuzzles) << "\n";
            return SAIDA_INTERROMPIDO;
        } catch (const std::exception& e) {
            return LivroFalhou(progresso, e);
        }
        progresso.Limpar();
        if (g_Sinal.load() != 0) {
            std::cerr << MensagemCancelada(puzzles, config.NumPuzzles) << "\n";
            return SAIDA_INTERROMPIDO;
        }
    }

    try {
        if (!opcoes.Json.empty()) {
            const std::string texto = TextoDoLivroJson(livro);
            if (jsonNaSaidaPadrao) {
                if (!EscreverNaSaidaPadrao(texto)) {
                    std::cerr << "Não foi possível escrever o livro na saída padrão.\n";
                    return SAIDA_FALHOU;
                }
            } else {
                json->Ficheiro().Escrever(texto);
            }
        }
        if (pdf) {
            pdf->Confirmar();
        }
        if (json) {
            json->Confirmar();
        }
    } catch (const std::bad_alloc&) {
        std::cerr << MensagemLivroFalhou("não há memória suficiente") << "\n";
        return SAIDA_FALHOU;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return SAIDA_FALHOU;
    }

    if (pdf) {
        mensagens << MensagemLivroGerado(puzzles, paginas, livro.Codigo) << "\n";
        mensagens << "PDF gravado em " << CaminhoParaMostrar(caminhoPdf) << "\n";
    } else {
        mensagens << MensagemLivroGerado(puzzles, livro.Codigo) << "\n";
    }
    if (json) {
        mensagens << "JSON gravado em " << CaminhoParaMostrar(opcoes.Json) << "\n";
    }
    mensagens.flush();
    return SAIDA_OK;
}

} // namespace

int main(int argc, char** argv) {
    return Executar(argc, argv);
}
