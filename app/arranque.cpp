#include "app/arranque.h"

#include "files/sinais.h"
#include "frontend/textos.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QSocketNotifier>
#include <QTranslator>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iterator>
#include <mutex>
#include <unistd.h>

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

TArranque LerArranque(const std::vector<std::string>& AArgs, const TSessaoGrafica& ASessao) {
    for (const std::string& a : AArgs) {
        if (a == "--help" || a == "-h") {
            return {TAccaoArranque::aaAjuda, TextoDeAjuda()};
        }
        if (a == "--version") {
            return {TAccaoArranque::aaVersao, std::string("tavrelo ") + VersaoDoPrograma() + "\n"};
        }
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

std::string MensagemSessaoNaoRespondeu(const TSessaoGrafica& ASessao) {
    std::string r = "tavrelo: não foi possível abrir a janela: ";
    if (!PlataformaPrecisaDeEcra(ASessao.Plataforma)) {
        r += "a plataforma «" + ASessao.Plataforma + "» do Qt não arrancou.\n";
    } else {
        std::string sessao;
        for (const auto& [nome, valor] : {std::pair{"DISPLAY", &ASessao.Display},
                                          std::pair{"WAYLAND_DISPLAY", &ASessao.WaylandDisplay}}) {
            if (!valor->empty()) {
                sessao += (sessao.empty() ? "" : ", ") + std::string(nome) + "=" + *valor;
            }
        }
        r += "a sessão gráfica (" + (sessao.empty() ? std::string("nenhuma") : sessao) +
             ") não respondeu.\n";
    }
    return r + SEM_ECRA_USE_O_CLI;
}

// ---------------------------------------------------------------------------------------

namespace {

struct TMensagemDoQt {
    QtMsgType Tipo;
    std::string Ficheiro, Funcao, Categoria;
    int Linha;
    QString Texto;
};

std::mutex g_TrincoDoArranque;
QtMessageHandler g_Anterior = nullptr;
TSessaoGrafica g_Sessao;
std::vector<TMensagemDoQt> g_Guardadas;

void DuranteOArranque(QtMsgType ATipo, const QMessageLogContext& AContexto, const QString& ATexto) {
    if (ATipo == QtFatalMsg) {
        std::fputs(MensagemSessaoNaoRespondeu(g_Sessao).c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    const auto texto = [](const char* s) { return std::string(s != nullptr ? s : ""); };
    std::lock_guard<std::mutex> l(g_TrincoDoArranque);
    g_Guardadas.push_back({ATipo, texto(AContexto.file), texto(AContexto.function),
                           texto(AContexto.category), AContexto.line, ATexto});
}

} // namespace

TVigiaDoArranque::TVigiaDoArranque(TSessaoGrafica ASessao) {
    g_Sessao = std::move(ASessao);
    g_Anterior = qInstallMessageHandler(DuranteOArranque);
}

TVigiaDoArranque::~TVigiaDoArranque() {
    qInstallMessageHandler(g_Anterior);
    std::vector<TMensagemDoQt> guardadas;
    {
        std::lock_guard<std::mutex> l(g_TrincoDoArranque);
        guardadas.swap(g_Guardadas);
    }
    for (const TMensagemDoQt& m : guardadas) {
        const QMessageLogContext contexto(m.Ficheiro.c_str(), m.Linha, m.Funcao.c_str(),
                                          m.Categoria.c_str());
        g_Anterior(m.Tipo, contexto, m.Texto);
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

TSemDefinicoesDoQt::TSemDefinicoesDoQt() : FPasta(PastaTemporaria() + "/tavrelo-XXXXXX") {
    if (FPasta.isValid()) {
        for (const QSettings::Format formato : {QSettings::NativeFormat, QSettings::IniFormat}) {
            QSettings::setPath(formato, QSettings::UserScope, FPasta.path());
        }
    }
}

QString TSemDefinicoesDoQt::Pasta() const {
    return FPasta.isValid() ? FPasta.path() : QString();
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

} // namespace tavrelo
