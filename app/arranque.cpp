#include "app/arranque.h"

#include "files/descritor.h"
#include "files/ficheiro.h"
#include "files/mensagens.h"
#include "files/sinais.h"
#include "frontend/fios.h"
#include "frontend/textos.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QSocketNotifier>
#include <QThreadPool>
#include <QTranslator>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <future>
#include <iterator>
#include <mutex>
#include <new>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace tavrelo {

namespace {

const char* const SEM_ECRA_USE_O_CLI =
    "Sem ecrã, o tavrelo-cli faz os mesmos livros (tavrelo-cli --help mostra como).\n";

std::string Ambiente(const char* ANome) {
    const char* valor = std::getenv(ANome);
    return valor != nullptr ? valor : "";
}

std::string TextoDeAjuda() {
    return "Utilização: tavrelo [OPÇÃO]\n"
           "Abre a janela do TAVRELO, onde se escolhe um livro de puzzles de quadrados mágicos\n"
           "(tamanho, dificuldade, número de puzzles, título) e se grava em PDF.\n"
           "\n"
           "Opções:\n"
           "  -h, --help     mostra esta ajuda e sai\n"
           "  --version      mostra a versão e sai\n"
           "As opções do Qt, como -platform NOME ou -style NOME, também são aceites.\n"
           "\n"
           "A janela precisa de uma sessão gráfica. O tavrelo-cli faz os mesmos livros sem\n"
           "ela, e o código do livro refaz o mesmo livro nos dois programas\n"
           "(Refazer um livro… na janela, -s no tavrelo-cli).\n";
}

} // namespace

TSessaoGrafica SessaoDoProcesso(const std::vector<std::string>& AArgs) {
    TSessaoGrafica s{Ambiente("DISPLAY"), Ambiente("WAYLAND_DISPLAY"), Ambiente("QT_QPA_PLATFORM")};
    for (size_t i = 0; i + 1 < AArgs.size(); ++i) {
        if (AArgs[i] == "-platform" || AArgs[i] == "--platform") {
            s.Plataforma = AArgs[i + 1];
        } else if (AArgs[i] == "-display" || AArgs[i] == "--display") {
            s.Display = AArgs[i + 1];
        }
    }
    return s;
}

bool PlataformaPrecisaDeEcra(const std::string& APlataforma) {
    size_t inicio = 0;
    do {
        const size_t fim = std::min(APlataforma.find(';', inicio), APlataforma.size());
        const std::string entrada = APlataforma.substr(inicio, fim - inicio);
        const std::string nome = entrada.substr(0, entrada.find(':'));
        if (!nome.empty() && nome != "xcb" && nome.rfind("wayland", 0) != 0) {
            return false;
        }
        inicio = fim + 1;
    } while (inicio <= APlataforma.size());
    return true;
}

namespace {

// The options Qt takes from the command line of any program (QGuiApplication, QApplication
// and the X11 platform), with one dash or two.
constexpr std::string_view OPCOES_DO_QT_COM_VALOR[] = {"platform",
                                                       "platformpluginpath",
                                                       "platformtheme",
                                                       "plugin",
                                                       "qwindowgeometry",
                                                       "qwindowicon",
                                                       "qwindowtitle",
                                                       "session",
                                                       "display",
                                                       "geometry",
                                                       "title",
                                                       "icon",
                                                       "name",
                                                       "style",
                                                       "stylesheet",
                                                       "qmljsdebugger"};
constexpr std::string_view OPCOES_DO_QT_SEM_VALOR[] = {"reverse", "widgetcount", "testability",
                                                       "nograb",  "dograb",      "sync"};
// Those that may also be written "-opção=valor".
constexpr std::string_view OPCOES_DO_QT_COM_IGUAL[] = {"style", "stylesheet", "qmljsdebugger"};

template <size_t N> bool Uma(const std::string_view (&ANomes)[N], std::string_view ANome) {
    return std::find(std::begin(ANomes), std::end(ANomes), ANome) != std::end(ANomes);
}

TArranque ErroDeUso(const std::string& AMensagem) {
    return {TAccaoArranque::aaUso,
            "tavrelo: " + AMensagem + "\nUse tavrelo --help para ver as opções.\n"};
}

// The first argument neither the program nor Qt takes, as the user typed it; nullopt when
// every one is taken.
std::optional<TArranque> ArgumentoRecusado(const std::vector<std::string>& AArgs) {
    for (size_t i = 0; i < AArgs.size(); ++i) {
        const std::string& a = AArgs[i];
        if (a.size() < 2 || a[0] != '-') {
            return ErroDeUso("argumento inesperado: «" + NomeParaMostrar(a) + "».");
        }
        const std::string_view nome = std::string_view(a).substr(a[1] == '-' ? 2 : 1);
        const size_t igual = nome.find('=');
        if (igual != std::string_view::npos && Uma(OPCOES_DO_QT_COM_IGUAL, nome.substr(0, igual))) {
            continue;
        }
        if (Uma(OPCOES_DO_QT_SEM_VALOR, nome)) {
            continue;
        }
        if (Uma(OPCOES_DO_QT_COM_VALOR, nome)) {
            if (i + 1 >= AArgs.size()) {
                return ErroDeUso("falta o valor da opção «" + NomeParaMostrar(a) + "».");
            }
            ++i;
            continue;
        }
        return ErroDeUso("opção desconhecida: «" + NomeParaMostrar(a) + "».");
    }
    return std::nullopt;
}

} // namespace

TArranque LerArranque(const std::vector<std::string>& AArgs, const TSessaoGrafica& ASessao) {
    for (const std::string& a : AArgs) {
        if (a == "--help" || a == "-h") {
            return {TAccaoArranque::aaAjuda, TextoDeAjuda()};
        }
        if (a == "--version") {
            return {TAccaoArranque::aaVersao, std::string("tavrelo ") + VersaoDoPrograma() + "\n"};
        }
    }
    if (std::optional<TArranque> recusa = ArgumentoRecusado(AArgs)) {
        return *recusa;
    }
    if (ASessao.Display.empty() && ASessao.WaylandDisplay.empty() &&
        PlataformaPrecisaDeEcra(ASessao.Plataforma)) {
        return {TAccaoArranque::aaSemEcra,
                std::string("tavrelo: a janela precisa de uma sessão gráfica, e não há nenhuma "
                            "(DISPLAY e WAYLAND_DISPLAY não estão definidos).\n") +
                    SEM_ECRA_USE_O_CLI};
    }
    return {};
}

namespace {

// "DISPLAY=:0", "DISPLAY=:0, WAYLAND_DISPLAY=wayland-0", or "nenhuma".
std::string NomeDaSessao(const TSessaoGrafica& ASessao) {
    std::string sessao;
    for (const auto& [nome, valor] : {std::pair{"DISPLAY", &ASessao.Display},
                                      std::pair{"WAYLAND_DISPLAY", &ASessao.WaylandDisplay}}) {
        if (!valor->empty()) {
            sessao += (sessao.empty() ? "" : ", ") + std::string(nome) + "=" + *valor;
        }
    }
    return sessao.empty() ? std::string("nenhuma") : sessao;
}

} // namespace

std::string MensagemSessaoNaoRespondeu(const TSessaoGrafica& ASessao) {
    std::string r = "tavrelo: não foi possível abrir a janela: ";
    if (!PlataformaPrecisaDeEcra(ASessao.Plataforma)) {
        r += "a plataforma «" + ASessao.Plataforma + "» do Qt não arrancou.\n";
    } else {
        r += "a sessão gráfica (" + NomeDaSessao(ASessao) + ") não respondeu.\n";
    }
    return r + SEM_ECRA_USE_O_CLI;
}

std::string MensagemQtSemFio() {
    return "tavrelo: não foi possível abrir a janela: o sistema não deu ao Qt um fio de execução "
           "de que a janela precisa (o limite de processos do utilizador, ulimit -u, ou a "
           "memória).\nO tavrelo-cli faz os mesmos livros (tavrelo-cli --help mostra como).\n";
}

std::string MensagemSessaoTerminou(const TSessaoGrafica& ASessao) {
    return "tavrelo: a ligação à sessão gráfica (" + NomeDaSessao(ASessao) +
           ") perdeu-se e o programa terminou; um livro que estivesse a ser feito não foi "
           "gravado.\n";
}

// ---------------------------------------------------------------------------------------

namespace {

// Qt's settings folder, for a clean-up that may run in a signal handler or after Qt ended
// the program: its path; whether the folder under that path may be just being made; and,
// once it is made, an open descriptor of it. Set while TSemDefinicoesDoQt lives.
char g_PastaDasDefinicoes[PATH_MAX];
std::atomic<bool> g_PastaPorFazer{false};
std::atomic<int> g_DescritorDaPasta{-1};
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);

bool PontoOuPontoPonto(const char* ANome) {
    return ANome[0] == '.' && (ANome[1] == '\0' || (ANome[1] == '.' && ANome[2] == '\0'));
}

// Removes the few files Qt left in its settings folder, then the folder. Safe in a signal
// handler: no allocation, only getdents64, unlinkat and rmdir.
void ApagarPastaDasDefinicoes() noexcept {
    const int pasta = g_DescritorDaPasta.exchange(-1);
    if (pasta < 0) {
        // Not open yet: made an instant ago, it holds nothing.
        if (g_PastaPorFazer.exchange(false)) {
            ::rmdir(g_PastaDasDefinicoes);
        }
        return;
    }
    alignas(struct dirent64) char bloco[4096];
    for (bool apagou = true; apagou;) {
        apagou = false;
        ::lseek(pasta, 0, SEEK_SET);
        for (ssize_t lidos; (lidos = ::getdents64(pasta, bloco, sizeof bloco)) > 0;) {
            for (ssize_t i = 0; i < lidos;) {
                const auto* entrada = reinterpret_cast<const struct dirent64*>(bloco + i);
                if (!PontoOuPontoPonto(entrada->d_name) &&
                    (::unlinkat(pasta, entrada->d_name, 0) == 0 ||
                     ::unlinkat(pasta, entrada->d_name, AT_REMOVEDIR) == 0)) {
                    apagou = true;
                }
                i += entrada->d_reclen;
            }
        }
    }
    ::close(pasta);
    ::rmdir(g_PastaDasDefinicoes);
}

// Everything a book or Qt left that an abrupt end would leave behind.
void LimparAoFim() noexcept {
    ApagarTemporariosPendentes();
    ApagarPastaDasDefinicoes();
}

void Escrever(const std::string& ATexto) noexcept {
    EscreverTudo(STDERR_FILENO, ATexto);
}

// ---------------------------------------------------------------------------------------

struct TMensagemDoQt {
    QtMsgType Tipo;
    std::string Ficheiro, Funcao, Categoria;
    int Linha;
    QString Texto;
};

// What the start-up watch shares with Qt's message handler, which any of Qt's threads may
// call: while Segurar is set, messages are held, and a fatal one ends the program.
std::mutex g_TrincoDoArranque;
std::atomic<QtMessageHandler> g_Anterior{nullptr};
std::atomic<bool> g_Segurar{false};
// Qt said, while it started, that a thread of its own could not be made.
std::atomic<bool> g_FioRecusado{false};
// Qt's pool of picture conversions has no thread (ReservarFiosDoQt).
std::atomic<bool> g_PoolSemFio{false};
std::string g_NaoRespondeu; // the Portuguese line, made before Qt starts
std::vector<TMensagemDoQt> g_Guardadas;

void Passar(const TMensagemDoQt& AMensagem) {
    // A message without a category is Qt's "default" one: an empty name would be printed as
    // a category of its own (": text").
    const char* categoria = AMensagem.Categoria.empty() ? "default" : AMensagem.Categoria.c_str();
    const QMessageLogContext contexto(AMensagem.Ficheiro.c_str(), AMensagem.Linha,
                                      AMensagem.Funcao.c_str(), categoria);
    g_Anterior.load()(AMensagem.Tipo, contexto, AMensagem.Texto);
}

void DuranteOArranque(QtMsgType ATipo, const QMessageLogContext& AContexto, const QString& ATexto) {
    const auto texto = [](const char* s) { return std::string(s != nullptr ? s : ""); };
    TMensagemDoQt m{ATipo,
                    texto(AContexto.file),
                    texto(AContexto.function),
                    texto(AContexto.category),
                    AContexto.line,
                    ATexto};
    std::unique_lock<std::mutex> l(g_TrincoDoArranque);
    if (!g_Segurar.load()) {
        // A thread of Qt's that took this handler just before the watch let go.
        l.unlock();
        Passar(m);
        return;
    }
    if (ATipo != QtFatalMsg) {
        // Qt's own words when QThread::start is refused a thread.
        if (ATexto.startsWith(QLatin1String("QThread::start: Thread creation error"))) {
            g_FioRecusado = true;
        }
        g_Guardadas.push_back(std::move(m));
        return;
    }
    // Qt cannot start: the Portuguese line, then Qt's own words, which say why.
    Escrever(g_NaoRespondeu);
    for (const TMensagemDoQt& guardada : g_Guardadas) {
        Passar(guardada);
    }
    Passar(m);
    LimparAoFim();
    std::_Exit(1);
}

} // namespace

// The clock of the start: a thread that ends the program when the session has not answered
// in time.
struct TVigiaDoArranque::TRelogio {
    std::mutex Trinco;
    std::condition_variable Sinal;
    bool Parado = false;
    std::string Mensagem;
    TFio Fio;

    explicit TRelogio(std::string AMensagem) : Mensagem(std::move(AMensagem)) {
        try {
            Fio = IniciarFioSemSinais([this] {
                std::unique_lock<std::mutex> l(Trinco);
                if (!Sinal.wait_for(l, std::chrono::seconds(SEGUNDOS_PARA_ARRANCAR),
                                    [this] { return Parado; })) {
                    // Qt waits for ever on a thread the system refused it (the session
                    // bus's): that, not the session, is why nothing answered.
                    Escrever(g_FioRecusado.load() ? MensagemQtSemFio() : Mensagem);
                    LimparAoFim();
                    ::_exit(1);
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had (a limit on threads, or on memory for its stack): the
            // program starts without its clock, as it would on a session that answers.
        } catch (const std::bad_alloc&) {
        }
    }

    void Parar() {
        {
            std::lock_guard<std::mutex> l(Trinco);
            Parado = true;
        }
        Sinal.notify_all();
        Fio.Juntar();
    }
};

TVigiaDoArranque::TVigiaDoArranque(TSessaoGrafica ASessao) {
    const std::string mensagem = MensagemSessaoNaoRespondeu(ASessao);
    {
        std::lock_guard<std::mutex> l(g_TrincoDoArranque);
        g_NaoRespondeu = mensagem;
        g_Guardadas.clear();
        g_Segurar = true;
    }
    g_Anterior = qInstallMessageHandler(DuranteOArranque);
    FRelogio = std::make_unique<TRelogio>(mensagem);
}

TVigiaDoArranque::~TVigiaDoArranque() {
    SessaoRespondeu();
    QtArrancou();
}

bool TVigiaDoArranque::QtArrancou() {
    std::vector<TMensagemDoQt> guardadas;
    bool semFio = false;
    {
        // Held messages are passed on in order, before any that comes after.
        std::lock_guard<std::mutex> l(g_TrincoDoArranque);
        if (!g_Segurar.exchange(false)) {
            return true;
        }
        guardadas.swap(g_Guardadas);
        // Of the threads Qt starts with its application, the one that needs the session is
        // its reader of the display: without it, no event would ever reach the window.
        semFio = g_PoolSemFio.load() ||
                 (g_FioRecusado.load() && qobject_cast<QGuiApplication*>(qApp) &&
                  PlataformaPrecisaDeEcra(QGuiApplication::platformName().toStdString()));
        if (semFio) {
            Escrever(MensagemQtSemFio());
        }
        for (const TMensagemDoQt& m : guardadas) {
            Passar(m);
        }
    }
    qInstallMessageHandler(g_Anterior.load());
    return !semFio;
}

bool ReservarFiosDoQt() {
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setMaxThreadCount(1);
    pool->setExpiryTimeout(-1);
    // A thread the system refuses is still counted by the pool, and what was given to it is
    // never done: the pool is good only once a task has run on it.
    auto correu = std::make_shared<std::promise<void>>();
    std::future<void> feito = correu->get_future();
    pool->start([correu] { correu->set_value(); });
    if (feito.wait_for(std::chrono::seconds(SEGUNDOS_PARA_ARRANCAR / 2)) !=
        std::future_status::ready) {
        g_FioRecusado = true;
        g_PoolSemFio = true;
        return false;
    }
    QDBusConnection::sessionBus();
    return true;
}

void TVigiaDoArranque::SessaoRespondeu() {
    if (FRelogio) {
        FRelogio->Parar();
        FRelogio.reset();
    }
}

namespace {

// Whether Qt opens its window on the X display of ASessao: xcb first among the platforms
// asked for or, with none asked for, a DISPLAY outside a Wayland session.
bool JanelaNoX(const TSessaoGrafica& ASessao) {
    if (ASessao.Display.empty()) {
        return false;
    }
    if (ASessao.Plataforma.empty()) {
        return ASessao.WaylandDisplay.empty();
    }
    return ASessao.Plataforma.substr(0, ASessao.Plataforma.find_first_of(";:")) == "xcb";
}

// A connection to the display ADisplay that answers a request, or null.
xcb_connection_t* LigarAoX(const std::string& ADisplay) {
    xcb_connection_t* ligacao = xcb_connect(ADisplay.c_str(), nullptr);
    if (xcb_connection_has_error(ligacao) == 0) {
        // Answered past its setup: the server is not resetting under this connection.
        if (xcb_get_input_focus_reply_t* resposta =
                xcb_get_input_focus_reply(ligacao, xcb_get_input_focus(ligacao), nullptr)) {
            std::free(resposta);
            return ligacao;
        }
    }
    xcb_disconnect(ligacao);
    return nullptr;
}

} // namespace

TLigacaoAoEcra::TLigacaoAoEcra(const TSessaoGrafica& ASessao) {
    if (!JanelaNoX(ASessao)) {
        return;
    }
    const auto prazo =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(MILISSEGUNDOS_PARA_O_ECRA);
    while ((FLigacao = LigarAoX(ASessao.Display)) == nullptr &&
           std::chrono::steady_clock::now() < prazo) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TLigacaoAoEcra::~TLigacaoAoEcra() {
    Largar();
}

void TLigacaoAoEcra::Largar() {
    if (FLigacao != nullptr) {
        xcb_disconnect(FLigacao);
        FLigacao = nullptr;
    }
}

int32_t TraduzirTextosDoQt(QCoreApplication& AApp) {
    const QString pasta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    int32_t carregados = 0;
    // The catalogue installed last is searched first.
    for (const char* catalogo : {"qtbase_pt_BR", "qt_pt_PT"}) {
        auto* tradutor = new QTranslator(&AApp);
        if (tradutor->load(QString::fromLatin1(catalogo), pasta) &&
            QCoreApplication::installTranslator(tradutor)) {
            ++carregados;
        } else {
            delete tradutor;
        }
    }
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Portugal));
    return carregados;
}

namespace {

// The user's runtime folder of the session (removed at logout) where there is one, else the
// temporary folder.
QString PastaTemporaria() {
    const QString sessao = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    return !sessao.isEmpty() && QDir(sessao).exists() ? sessao : QDir::tempPath();
}

} // namespace

// The folder is made here, not by QTemporaryDir, so that its clean-up is in place before it
// exists: mkdtemp writes the name it makes into the very buffer the clean-up reads, so a
// signal at any instant of its making still removes it.
TSemDefinicoesDoQt::TSemDefinicoesDoQt() {
    const QByteArray modelo = QFile::encodeName(PastaTemporaria()) + "/tavrelo-XXXXXX";
    if (static_cast<size_t>(modelo.size()) >= sizeof g_PastaDasDefinicoes) {
        return;
    }
    std::memcpy(g_PastaDasDefinicoes, modelo.constData(), static_cast<size_t>(modelo.size()) + 1);
    g_PastaPorFazer = true;
    DefinirLimpezaFinal(ApagarPastaDasDefinicoes);
    if (::mkdtemp(g_PastaDasDefinicoes) == nullptr) {
        g_PastaPorFazer = false;
        DefinirLimpezaFinal(nullptr);
        return;
    }
    g_DescritorDaPasta =
        ::open(g_PastaDasDefinicoes, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    g_PastaPorFazer = g_DescritorDaPasta.load() < 0;
    FPasta = QFile::decodeName(g_PastaDasDefinicoes);
    for (const QSettings::Format formato : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(formato, QSettings::UserScope, FPasta);
    }
}

TSemDefinicoesDoQt::~TSemDefinicoesDoQt() {
    if (FPasta.isEmpty()) {
        return;
    }
    // Removed while its clean-up is still in place, then the clean-up taken away.
    QDir(FPasta).removeRecursively();
    DefinirLimpezaFinal(nullptr);
    g_PastaPorFazer = false;
    if (const int pasta = g_DescritorDaPasta.exchange(-1); pasta >= 0) {
        ::close(pasta);
    }
}

QString TSemDefinicoesDoQt::Pasta() const {
    return FPasta;
}

// ---------------------------------------------------------------------------------------

namespace {

// The handler tells the application's thread through a pipe: it may only write.
int g_TuboDoSinal[2] = {-1, -1};

void AvisarPeloTubo(int) noexcept {
    const char aviso = 1;
    const ssize_t escrito = ::write(g_TuboDoSinal[1], &aviso, 1);
    (void)escrito;
}

} // namespace

TSaidaPorSinal::TSaidaPorSinal(std::function<void(int)> AAoSinal) : FAoSinal(std::move(AAoSinal)) {
    if (::pipe2(g_TuboDoSinal, O_CLOEXEC | O_NONBLOCK) != 0) {
        return; // the signals keep their default action
    }
    FNotificador = new QSocketNotifier(g_TuboDoSinal[0], QSocketNotifier::Read, this);
    connect(FNotificador, &QSocketNotifier::activated, this, [this] {
        char lido = 0;
        while (::read(g_TuboDoSinal[0], &lido, 1) > 0) {
        }
        if (const int sinal = PedidoDeParagem(); sinal != 0 && FAoSinal) {
            FAoSinal(sinal);
        }
    });
    DefinirAoPedido(AvisarPeloTubo);
    ResponderAosSinais(TRespostaAosSinais::rsParar);
}

TSaidaPorSinal::~TSaidaPorSinal() {
    if (FNotificador == nullptr) {
        return;
    }
    ResponderAosSinais(TRespostaAosSinais::rsTerminar);
    DefinirAoPedido(nullptr);
    delete FNotificador;
    ::close(g_TuboDoSinal[0]);
    ::close(g_TuboDoSinal[1]);
    g_TuboDoSinal[0] = g_TuboDoSinal[1] = -1;
}

// ---------------------------------------------------------------------------------------

namespace {

std::atomic<bool> g_FimPorVigiar{false};
std::string g_SessaoTerminou;

// Run by exit() when Qt ends the program (the display's connection broke): main never comes
// back, nor do the destructors that would remove what a book and Qt left.
extern "C" void AoFimSemAviso() {
    if (g_FimPorVigiar.exchange(false)) {
        LimparAoFim();
        Escrever(g_SessaoTerminou);
        // The window's worker may still be running; nothing else should run after it.
        ::_exit(1);
    }
}

} // namespace

TFimDaSessao::TFimDaSessao(const TSessaoGrafica& ASessao) {
    static const bool registado = std::atexit(AoFimSemAviso) == 0;
    g_SessaoTerminou = MensagemSessaoTerminou(ASessao);
    g_FimPorVigiar = registado;
}

TFimDaSessao::~TFimDaSessao() {
    g_FimPorVigiar = false;
}

} // namespace tavrelo
