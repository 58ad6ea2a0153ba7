// The window driven through its widgets, with the dialogs, the desktop and the PDF writer
// replaced where a test needs to answer for the user; the program's start-up tried on the
// built program.
#include "app/ajuda.h"
#include "app/arranque.h"
#include "app/aspeto.h"
#include "app/dialogo_codigo.h"
#include "app/dialogos.h"
#include "app/janela.h"
#include "app/previa.h"
#include "frontend/fios.h"
#include "frontend/receita.h"
#include "frontend/textos.h"

#include "composition/paginas.h"
#include "drawing/pdf.h"

#include "../config_livro.h"
#include "../data_fixa.h"
#include "../leitor_de_teste.h"
#include "../pdf_hostil.h"
#include "../regionais.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusError>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cinttypes>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <functional>
#include <grp.h>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <poll.h>
#include <pwd.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <system_error>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

using namespace tavrelo;

namespace teste {

// The window with every question answered by the test and every answer recorded.
class TJanelaTeste : public TFormMain {
  public:
    QStringList Avisos;
    QStringList Erros;
    QStringList Perguntas;
    QStringList Abertos;
    QStringList NomesPropostos;
    QStringList EstadosNoDialogo;          // the whole status line as the save dialog opened
    QList<uint32_t> CodigosNoDialogo;      // the next book's code then
    QStringList Escolhas;                  // what the code dialog was shown
    QList<bool> OcupadaNasCaixas;          // whether the window was busy as each box was shown
    QString FicheiroEscolhido;             // empty: the user gives up in the save dialog
    bool DialogoVerdadeiro = false;        // the real save dialog instead of FicheiroEscolhido
    std::optional<TLivroARefazer> Refazer; // the answer of the code dialog
    bool RespostaSim = false;
    int32_t Acercas = 0; // "Acerca do TAVRELO" boxes shown
    std::function<void()> AoDestruir;
    // Runs while the yes/no question is open, before it is answered.
    std::function<void()> DuranteAPergunta;

    // The PDF is "opened" by a program that does nothing and succeeds, unless a test names
    // another.
    TJanelaTeste() { DefinirAbridor("true"); }
    ~TJanelaTeste() override {
        if (AoDestruir) {
            AoDestruir();
        }
    }

  protected:
    void MostrarAviso(const QString& ATexto) override {
        Avisos << ATexto;
        OcupadaNasCaixas << Ocupado();
    }
    void MostrarErro(const QString& ATexto) override {
        Erros << ATexto;
        OcupadaNasCaixas << Ocupado();
    }
    bool PerguntarSimNao(const QString& ATexto) override {
        Perguntas << ATexto;
        if (DuranteAPergunta) {
            DuranteAPergunta();
        }
        return RespostaSim;
    }
    QString PedirFicheiro(const QString& ANomeProposto) override {
        NomesPropostos << ANomeProposto;
        EstadosNoDialogo << findChild<QLabel*>("LabelEstado")->accessibleName();
        CodigosNoDialogo << ProximaSemente();
        return DialogoVerdadeiro ? TFormMain::PedirFicheiro(ANomeProposto) : FicheiroEscolhido;
    }
    std::optional<TLivroARefazer> PedirRefazer(const QString& AEscolha) override {
        Escolhas << AEscolha;
        return Refazer;
    }
    void AbrirFicheiro(const QString& ACaminho) override {
        Abertos << ACaminho;
        TFormMain::AbrirFicheiro(ACaminho);
    }
    void MostrarAcerca() override { ++Acercas; }
};

// Answers the next modal dialogs in turn as the user would, once each opens: a
// QFileDialog gets the name (in APasta) and is accepted, or rejected for an empty name;
// ARever looks at each dialog first.
void ResponderAosDialogos(const QStringList& ANomes, const QString& APasta,
                          std::function<void(QFileDialog&)> ARever = {}) {
    auto* relogio = new QTimer;
    auto restantes = std::make_shared<QStringList>(ANomes);
    QObject::connect(relogio, &QTimer::timeout, [relogio, restantes, APasta, ARever] {
        auto* dialogo = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialogo == nullptr || !dialogo->isVisible()) {
            return;
        }
        if (ARever) {
            ARever(*dialogo);
        }
        const QString nome = restantes->takeFirst();
        if (nome.isEmpty()) {
            dialogo->reject();
        } else {
            dialogo->setDirectory(APasta);
            dialogo->selectFile(nome);
            static_cast<QDialog*>(dialogo)->accept();
        }
        if (restantes->isEmpty()) {
            relogio->deleteLater();
        }
    });
    relogio->start(10);
}

// What a stand-in PDF writer saw; it writes a small file so a written book can be seen.
struct TGravacoes {
    int32_t Chamadas = 0;
    TLivro Livro;
    TInfoLivro Info;
};

using TGravadorLivro = decltype(TEtapasLivro::GravarPdf);
using TGeradorDeLivro = decltype(TEtapasLivro::Gerar);

TGravadorLivro GravadorFalso(const std::shared_ptr<TGravacoes>& AGravacoes) {
    return [AGravacoes](TFicheiroAtomico& AFicheiro, const TLivro& ALivro, const TInfoLivro& AInfo,
                        const TPedidoDeParagem&) {
        ++AGravacoes->Chamadas;
        AGravacoes->Livro = ALivro;
        AGravacoes->Info = AInfo;
        AFicheiro.Escrever("%PDF-1.4 falso\n");
        return TCompositorLivro(ALivro, AInfo).NumPaginas();
    };
}

// The real book generator held back until the test opens the gate, so a cancel or close
// request made meanwhile is seen by the first progress call, however fast puzzles are.
struct TPortao {
    std::mutex Trinco;
    std::condition_variable Sinal;
    bool Aberto = false;
    void Abrir() {
        {
            std::lock_guard<std::mutex> l(Trinco);
            Aberto = true;
        }
        Sinal.notify_all();
    }
};

// The real book generator, counting the puzzles made before the window hears of them, at
// least APausa apart, so that a worker that does not hold is seen going on.
TGeradorDeLivro GeradorContado(const std::shared_ptr<std::atomic<int32_t>>& AFeitos,
                               std::chrono::milliseconds APausa) {
    return [AFeitos, APausa](const TConfigLivro& AConfig, const TProgressoLivro& AProgresso) {
        return TGeradorLivro().Gerar(AConfig, [&](int32_t AFeitosAgora, int32_t ATotal,
                                                  const std::string& ATexto, bool& ACancelar) {
            AFeitos->store(AFeitosAgora);
            std::this_thread::sleep_for(APausa);
            AProgresso(AFeitosAgora, ATotal, ATexto, ACancelar);
        });
    };
}

TGeradorDeLivro GeradorComPortao(const std::shared_ptr<TPortao>& APortao) {
    return [APortao](const TConfigLivro& AConfig, const TProgressoLivro& AProgresso) {
        {
            std::unique_lock<std::mutex> l(APortao->Trinco);
            APortao->Sinal.wait(l, [&] { return APortao->Aberto; });
        }
        return TGeradorLivro().Gerar(AConfig, AProgresso);
    };
}

// A stand-in for the preview's pages. Each call is noted (its configuration and width);
// the first Retidas calls wait until the test lets each go, or, when OuveParar, until the
// window asks them to stop (then they give nothing). The pages it gives are named after
// the book's title, one white pixel each.
struct TPreviasFalsas {
    std::mutex Trinco;
    std::condition_variable Sinal;
    std::vector<TConfigLivro> Configs;
    std::vector<int32_t> Larguras;
    std::vector<bool> Livres;
    int32_t Retidas = 0;
    bool OuveParar = true;
    bool TodasLivres = false;
    std::atomic<bool> ViuParar = false;

    int32_t Chamadas() {
        std::lock_guard<std::mutex> l(Trinco);
        return static_cast<int32_t>(Configs.size());
    }
    TConfigLivro Config(int32_t AChamada) {
        std::lock_guard<std::mutex> l(Trinco);
        return Configs.at(static_cast<size_t>(AChamada));
    }
    int32_t Largura(int32_t AChamada) {
        std::lock_guard<std::mutex> l(Trinco);
        return Larguras.at(static_cast<size_t>(AChamada));
    }
    void Soltar(int32_t AChamada) {
        {
            std::lock_guard<std::mutex> l(Trinco);
            Livres.resize(std::max(Livres.size(), static_cast<size_t>(AChamada) + 1));
            Livres[static_cast<size_t>(AChamada)] = true;
        }
        Sinal.notify_all();
    }
    // Every call goes, so that a test that fails midway still ends.
    void SoltarTodas() {
        {
            std::lock_guard<std::mutex> l(Trinco);
            TodasLivres = true;
        }
        Sinal.notify_all();
    }
};

TFazedorDePrevias::TVerLivro VerLivroFalso(const std::shared_ptr<TPreviasFalsas>& AFalsas) {
    return [AFalsas](const TConfigLivro& AConfig, int32_t ALargura,
                     const std::function<bool()>& AParar) -> std::optional<TVistaDoLivro> {
        TPreviasFalsas& f = *AFalsas;
        std::unique_lock<std::mutex> l(f.Trinco);
        const size_t chamada = f.Configs.size();
        f.Configs.push_back(AConfig);
        f.Larguras.push_back(ALargura);
        if (static_cast<int32_t>(chamada) < f.Retidas) {
            while (!f.TodasLivres && !(chamada < f.Livres.size() && f.Livres[chamada])) {
                if (AParar()) {
                    f.ViuParar = true;
                    if (f.OuveParar) {
                        return std::nullopt;
                    }
                }
                f.Sinal.wait_for(l, std::chrono::milliseconds(5));
            }
        }
        TVistaDoLivro vista;
        vista.Codigo = CodigoDoLivro(AConfig.Semente);
        for (int32_t i = 0; i < 3; ++i) {
            TPaginaVista pagina;
            pagina.Nome = AConfig.Titulo;
            pagina.Numero = i + 1;
            pagina.Imagem = {1, 1, 4, {0xFFFFFFFFu}};
            vista.Paginas.push_back(std::move(pagina));
        }
        return vista;
    };
}

// A stand-in writer that waits at the gate before writing, so the window can be seen
// while its book is being written.
TGravadorLivro GravadorComPortao(const std::shared_ptr<TGravacoes>& AGravacoes,
                                 const std::shared_ptr<TPortao>& APortao) {
    return [AGravacoes, APortao](TFicheiroAtomico& AFicheiro, const TLivro& ALivro,
                                 const TInfoLivro& AInfo, const TPedidoDeParagem& AParar) {
        {
            std::unique_lock<std::mutex> l(APortao->Trinco);
            APortao->Sinal.wait(l, [&] { return APortao->Aberto; });
        }
        return GravadorFalso(AGravacoes)(AFicheiro, ALivro, AInfo, AParar);
    };
}

// A stand-in writer of three pages that, past the gate, asks before every page whether
// to stop, as the real writer does, and counts the pages it wrote.
TGravadorLivro GravadorDePaginas(const std::shared_ptr<TGravacoes>& AGravacoes,
                                 const std::shared_ptr<TPortao>& APortao,
                                 const std::shared_ptr<std::atomic<int32_t>>& APaginas) {
    return
        [AGravacoes, APortao, APaginas](TFicheiroAtomico& AFicheiro, const TLivro& ALivro,
                                        const TInfoLivro& AInfo, const TPedidoDeParagem& AParar) {
            {
                std::unique_lock<std::mutex> l(APortao->Trinco);
                APortao->Sinal.wait(l, [&] { return APortao->Aberto; });
            }
            for (int32_t p = 0; p < 3; ++p) {
                if (AParar && AParar()) {
                    throw EGravacaoInterrompida();
                }
                ++*APaginas;
            }
            return GravadorFalso(AGravacoes)(AFicheiro, ALivro, AInfo, AParar);
        };
}

// A book as tavrelo-cli --json writes it, for comparing the window's book with it.
nlohmann::json LivroEmJson(const TLivro& ALivro) {
    using nlohmann::json;
    json puzzles = json::array();
    for (const TPuzzleDoLivro& p : ALivro.Puzzles) {
        json passos = json::array();
        for (const TPassoDeducao& d : p.Puzzle.Resultado.Passos) {
            passos.push_back({{"Ronda", d.Ronda},
                              {"Lei", d.Lei},
                              {"Familia", static_cast<int32_t>(d.Familia)},
                              {"Celula", d.Celula},
                              {"Valor", d.Valor},
                              {"Parceiro", d.Parceiro},
                              {"Resto", d.Resto}});
        }
        char chave[17];
        std::snprintf(chave, sizeof chave, "%016" PRIX64, p.Puzzle.Chave);
        puzzles.push_back({{"Posicao", p.Posicao},
                           {"SubSemente", p.SubSemente},
                           {"Puzzle",
                            {{"N", p.Puzzle.N},
                             {"Nivel", p.Puzzle.Nivel},
                             {"Solucao", p.Puzzle.Solucao},
                             {"Dados", p.Puzzle.Dados},
                             {"NumPistas", p.Puzzle.NumPistas},
                             {"NumPistasPiso", p.Puzzle.NumPistasPiso},
                             {"Chave", chave},
                             {"Resultado",
                              {{"Resolvido", p.Puzzle.Resultado.Resolvido},
                               {"Rondas", p.Puzzle.Resultado.Rondas},
                               {"Passos", passos},
                               {"Usos", p.Puzzle.Resultado.Usos}}}}}});
    }
    const TConfigLivro& c = ALivro.Config;
    return {{"Config",
             {{"NumPuzzles", c.NumPuzzles},
              {"N", c.N},
              {"Nivel", c.Nivel},
              {"Titulo", c.Titulo},
              {"Caminho", c.Caminho},
              {"Semente", c.Semente}}},
            {"Codigo", ALivro.Codigo},
            {"Plano", ALivro.Plano},
            {"Cancelado", ALivro.Cancelado},
            {"Puzzles", puzzles}};
}

struct TResultadoProcesso {
    int Estado = -1;
    QString Saida, Erros;
};

// Runs a built program with AAmbiente's variables set (an empty value removes one).
TResultadoProcesso Correr(const QString& APrograma, const QStringList& AArgs,
                          const QList<QPair<QString, QString>>& AAmbiente = {}) {
    QProcess processo;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    for (const auto& [nome, valor] : AAmbiente) {
        if (valor.isEmpty()) {
            ambiente.remove(nome);
        } else {
            ambiente.insert(nome, valor);
        }
    }
    processo.setProcessEnvironment(ambiente);
    processo.start(APrograma, AArgs);
    TResultadoProcesso r;
    if (processo.waitForFinished(120000) && processo.exitStatus() == QProcess::NormalExit) {
        r.Estado = processo.exitCode();
    }
    r.Saida = QString::fromUtf8(processo.readAllStandardOutput());
    r.Erros = QString::fromUtf8(processo.readAllStandardError());
    return r;
}

// A stand-in for the desktop's opener: it notes each path it is given, one a line, in
// ANome.abertos, and ends with AEstado (xdg-open ends with 3 when no program opens the file).
QString Abridor(const QTemporaryDir& APasta, const QString& ANome, int AEstado) {
    const QString caminho = APasta.filePath(ANome);
    QFile f(caminho);
    if (!f.open(QIODevice::WriteOnly)) {
        qFatal("sem abridor");
    }
    f.write(QString("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '%1.abertos'\nexit %2\n")
                .arg(caminho)
                .arg(AEstado)
                .toUtf8());
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return caminho;
}

QStringList Abertos(const QString& AAbridor) {
    QFile f(AAbridor + ".abertos");
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

// A window's books in a test: written by the stand-in writer (what it got kept in
// Gravacoes), each waiting at the gate Portao before it starts.
struct TLivrosDeTeste {
    std::shared_ptr<TGravacoes> Gravacoes;
    std::shared_ptr<TPortao> Portao;
};

TLivrosDeTeste ComGravadorEPortao(TJanelaTeste& AJanela) {
    TLivrosDeTeste l{std::make_shared<TGravacoes>(), std::make_shared<TPortao>()};
    AJanela.DefinirGravador(GravadorFalso(l.Gravacoes));
    AJanela.DefinirGerador(GeradorComPortao(l.Portao));
    return l;
}

// What a screen reader is told of one element of a window, read through Qt's accessibility
// as the desktop's bridge (AT-SPI) reads it.
struct TLido {
    QString Objeto; // the widget's object name, or its class when it has none
    QAccessible::Role Papel = QAccessible::NoRole;
    QString Nome, Descricao;
    bool Focavel = false;
};

// Every element of AJanela's accessibility tree, depth first.
QList<TLido> LerArvore(QWidget& AJanela) {
    QList<TLido> r;
    std::function<void(QAccessibleInterface*)> ler = [&](QAccessibleInterface* AElemento) {
        if (AElemento == nullptr || !AElemento->isValid()) {
            return;
        }
        const QObject* o = AElemento->object();
        r.push_back({o == nullptr                ? QString()
                     : o->objectName().isEmpty() ? QString(o->metaObject()->className())
                                                 : o->objectName(),
                     AElemento->role(), AElemento->text(QAccessible::Name),
                     AElemento->text(QAccessible::Description), AElemento->state().focusable != 0});
        for (int i = 0; i < AElemento->childCount(); ++i) {
            ler(AElemento->child(i));
        }
    };
    ler(QAccessible::queryAccessibleInterface(&AJanela));
    return r;
}

// The controls of AJanela a screen reader cannot name: an element that takes the focus, or a
// button, box, edit, list or bar, named by nothing or by symbols alone ("?", "…").
QStringList SemNome(QWidget& AJanela) {
    static const QList<QAccessible::Role> controlos = {
        QAccessible::PushButton, QAccessible::CheckBox,     QAccessible::RadioButton,
        QAccessible::SpinBox,    QAccessible::EditableText, QAccessible::ProgressBar,
        QAccessible::ComboBox,   QAccessible::List,         QAccessible::Tree,
        QAccessible::Table,      QAccessible::ButtonMenu,   QAccessible::ButtonDropDown};
    QStringList r;
    for (const TLido& l : LerArvore(AJanela)) {
        const bool nomeado =
            std::any_of(l.Nome.cbegin(), l.Nome.cend(), [](QChar c) { return c.isLetter(); });
        if ((l.Focavel || controlos.contains(l.Papel)) && !nomeado) {
            r << QString("%1 (papel %2): «%3»").arg(l.Objeto).arg(l.Papel).arg(l.Nome);
        }
    }
    return r;
}

// The contrast of two colours as the web's accessibility guidelines measure it, 1 to 21.
double Contraste(QRgb A, QRgb B) {
    const auto luz = [](QRgb c) {
        const auto canal = [](int v) {
            const double x = v / 255.0;
            return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * canal(qRed(c)) + 0.7152 * canal(qGreen(c)) + 0.0722 * canal(qBlue(c));
    };
    const double a = luz(A);
    const double b = luz(B);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// A stand-in for the desktop's file manager on a bus of the test's own: it notes what it is
// asked to show, and answers with an error when told to fail.
class TGestorDeFicheiros : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
  public:
    QStringList Mostrados;
    bool Falhar = false;

  public slots:
    void ShowItems(const QStringList& AUris, const QString& /*AArranque*/) {
        Mostrados << AUris;
        if (Falhar) {
            sendErrorReply(QDBusError::Failed, "sem janela para mostrar");
        }
    }
};

// A D-Bus daemon of the test's own, in APasta, that nothing of the desktop's can reach or
// activate; stopped when this goes away.
class TBarramento {
  public:
    explicit TBarramento(const QTemporaryDir& APasta) {
        QFile conf(APasta.filePath("barramento.conf"));
        if (!conf.open(QIODevice::WriteOnly)) {
            return;
        }
        conf.write(QString("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                           "Configuration 1.0//EN\"\n \"http://www.freedesktop.org/standards/"
                           "dbus/1.0/busconfig.dtd\">\n"
                           "<busconfig>\n"
                           "  <type>session</type>\n"
                           "  <listen>unix:path=%1</listen>\n"
                           "  <auth>EXTERNAL</auth>\n"
                           "  <policy context=\"default\">\n"
                           "    <allow send_destination=\"*\"/>\n"
                           "    <allow receive_sender=\"*\"/>\n"
                           "    <allow own=\"*\"/>\n"
                           "  </policy>\n"
                           "</busconfig>\n")
                       .arg(APasta.filePath("bus"))
                       .toUtf8());
        conf.close();
        FDaemon.setStandardErrorFile(QProcess::nullDevice());
        FDaemon.start("dbus-daemon",
                      {"--config-file=" + conf.fileName(), "--nofork", "--print-address=1"});
        if (FDaemon.waitForStarted(10000)) {
            while (!FDaemon.canReadLine() && FDaemon.waitForReadyRead(10000)) {
            }
            FEndereco = QString::fromUtf8(FDaemon.readLine()).trimmed();
        }
    }
    ~TBarramento() {
        FDaemon.kill();
        FDaemon.waitForFinished(10000);
    }
    TBarramento(const TBarramento&) = delete;
    TBarramento& operator=(const TBarramento&) = delete;

    // Empty when the daemon did not start.
    QString Endereco() const { return FEndereco; }

  private:
    QProcess FDaemon;
    QString FEndereco;
};

} // namespace teste

using teste::TJanelaTeste;

class TesteJanela : public QObject {
    Q_OBJECT

    template <typename T> static T* Controlo(QWidget& AJanela, const char* ANome) {
        T* w = AJanela.findChild<T*>(ANome);
        if (!w) {
            qFatal("controlo em falta: %s", ANome);
        }
        return w;
    }
    static QLineEdit* EditNumero(QWidget& AJanela) {
        return Controlo<QAbstractSpinBox>(AJanela, "EditNumPuzzles")->findChild<QLineEdit*>();
    }
    static QRadioButton* Radio(QWidget& AJanela, const char* AGrupo, int AItem) {
        auto radios = Controlo<QGroupBox>(AJanela, AGrupo)->findChildren<QRadioButton*>();
        return radios.at(AItem);
    }
    static QString Estado(QWidget& AJanela) {
        return Controlo<QLabel>(AJanela, "LabelEstado")->text();
    }
    static QString Resumo(QWidget& AJanela) {
        return Controlo<QLabel>(AJanela, "LabelResumo")->text();
    }
    static QPushButton* Botao(QWidget& AJanela, const char* ANome) {
        return Controlo<QPushButton>(AJanela, ANome);
    }
    // Chooses a small book: size item, difficulty item, number as typed.
    static void Escolher(QWidget& AJanela, int ATamanho, int ANivel, const QString& ANumero) {
        Radio(AJanela, "RadioGroupTamanho", ATamanho)->click();
        Radio(AJanela, "RadioGroupNivel", ANivel)->click();
        EditNumero(AJanela)->setText(ANumero);
    }
    static void EsperarFim(TFormMain& AJanela) {
        QTRY_VERIFY_WITH_TIMEOUT(!AJanela.Ocupado(), 200000);
    }
    static bool Mostrar(QWidget& AJanela) {
        AJanela.show();
        AJanela.activateWindow();
        return QTest::qWaitForWindowActive(&AJanela, 60000); // a loaded machine is slow
    }
    // A key event as the keyboard sends it to whatever has the focus, auto-repeated or not,
    // at the time AInstante (milliseconds; 0 for none).
    static void Enviar(QEvent::Type ATipo, Qt::Key ATecla, bool ARepetida, quint64 AInstante = 0) {
        QWidget* alvo = QApplication::focusWidget();
        if (alvo == nullptr) {
            alvo = QApplication::activeWindow();
        }
        QKeyEvent evento(ATipo, ATecla, Qt::NoModifier, ATecla == Qt::Key_Return ? "\r" : "",
                         ARepetida);
        evento.setTimestamp(AInstante);
        QApplication::sendEvent(alvo, &evento);
    }
    static void Premir(Qt::Key ATecla, bool ARepetida) {
        Enviar(QEvent::KeyPress, ATecla, ARepetida);
    }

    // The user's home while the tests run: what the window leaves there is looked at.
    QTemporaryDir FCasa;
    std::unique_ptr<TSemDefinicoesDoQt> FSemDefinicoes;

  private slots:
    void initTestCase();

    void EstadoInicial();
    void ProgressivaComTresPuzzles();
    void DoisPassaACincoAoEscolherProgressiva();
    void DaProgressivaParaNivel2();
    void NumeroInvalido_data();
    void NumeroInvalido();
    void SetasDoNumero();
    void LerConfiguracao();
    void TituloQueACapaNaoImprime();

    void LivroFeitoPelaJanela();
    void AEscreverOPdf();
    void DialogoDesistido();
    void CancelarPeloBotao();
    void FecharDuranteGeracao_data();
    void FecharDuranteGeracao();
    void FalhaDaGravacao();
    void DestruirDuranteGeracao();
    void LivroComOGravadorVerdadeiro_data();
    void LivroComOGravadorVerdadeiro();

    void EstiloEIcone();

    void Teclado();
    void EnterUmaVezPorTecla();
    void EscapeCancela();
    void PausaDuranteAPergunta_data();
    void PausaDuranteAPergunta();
    void FecharAEscreverAsPaginas_data();
    void FecharAEscreverAsPaginas();
    void FiosRecusados_data();
    void FiosRecusados();
    void FecharComOLivroNaJanela_data();
    void FecharComOLivroNaJanela();
    void CaminhoComPdf_data();
    void CaminhoComPdf();
    void NomesNoDialogo_data();
    void NomesNoDialogo();
    void DialogoEmPortuguesSemDefinicoes();
    void OndeFicouOLivro();
    void FocoVoltaAGerar();
    void EscolhaVisivelDuranteOLivro();
    void AjudaEAtalhos();
    void EstadoLongoEncolhido();
    void TextoQueCabe();
    void DialogoDoCodigo();
    void RefazerIgualAoCli_data();
    void RefazerIgualAoCli();
    void DialogoDoCodigoComPdf();
    void PdfLidoForaDaJanela();
    void RefazerDeUmPdf();
    void RefazerPorCimaDaOrigem();
    void Arranque();
    void ProgramaSemEcra();
    void ProgramaSemFios();
    void EcraQueRecusaNoArranque();
    void PararParaSair();
    void SinalTerminaOPrograma();

    void NomesParaOLeitorDeEcra();
    void NomesNosDialogos();
    void CodigoPeloTeclado();
    void AjudaQueCabe();
    void MarcaDeFocoVisivel();
    void GravacaoQueFalhaVoltaAoDialogo();
    void AbrirAPastaNoGestorDeFicheiros();

    void PreviaDoProximoLivro_data();
    void PreviaDoProximoLivro();
    void PreviaSempreAUltima_data();
    void PreviaSempreAUltima();
    void LivroAntesDaPrevia();
    void PreviaSemFio();
    void PaginaEmGrande();
    void RefazerDesistidoRepoe_data();
    void RefazerDesistidoRepoe();
};

// Before anything opens Qt's settings: the home is a folder of the test's own, and the
// program's start-up steps that tests rely on are taken.
void TesteJanela::initTestCase() {
    QVERIFY(FCasa.isValid());
    qputenv("HOME", FCasa.path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    // Nothing reaches the desktop's own session bus (its file manager, its screen reader):
    // a bus is given where a test needs one.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + FCasa.filePath("sem-barramento").toUtf8());
    FSemDefinicoes = std::make_unique<TSemDefinicoesDoQt>();
    QVERIFY(!FSemDefinicoes->Pasta().isEmpty());
    QCOMPARE(TraduzirTextosDoQt(*QCoreApplication::instance()), 2);
}

void TesteJanela::EstadoInicial() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(AplicarEstiloSky(*app));
    const std::unique_ptr<QApplication, void (*)(QApplication*)> semEstilo(
        app, [](QApplication* a) { a->setStyleSheet(QString()); });
    TJanelaTeste j;
    j.show();
    QVERIFY(QTest::qWaitForWindowExposed(&j, 60000));
    QCOMPARE(j.windowTitle(), QString("TAVRELO | Brovanel"));
    // The choices' size, and more for the preview; the window can be resized, and is usable
    // on a screen of 1024 × 600.
    QVERIFY(j.width() > 676);
    QCOMPARE(j.height(), 368);
    QVERIFY(j.minimumSize().width() <= 1024 && j.minimumSize().height() <= 600);
    QVERIFY(j.minimumSize() != j.maximumSize());

    // Every control where the window's design puts it, in the window's own look (the title's
    // label on the row of the check boxes; the summary and the status line in a larger type).
    const struct {
        const char* Nome;
        QRect Lugar;
    } lugares[] = {
        {"GroupBoxLivro", {12, 8, 465, 168}},     {"RadioGroupTamanho", {26, 36, 190, 125}},
        {"RadioGroupNivel", {226, 36, 237, 125}}, {"LabelTituloLivro", {15, 190, 0, 20}},
        {"CheckBoxCaminho", {191, 190, 165, 20}}, {"CheckBoxAbrirPDF", {377, 190, 100, 20}},
        {"EditTituloLivro", {12, 222, 465, 28}},  {"LabelResumo", {12, 256, 465, 18}},
        {"ProgressBarLote", {12, 334, 465, 20}},  {"BevelApp", {483, 18, 184, 94}},
        {"BitBtnRefazer", {505, 119, 150, 28}},   {"LabelNumPuzzles", {513, 157, 135, 20}},
        {"EditNumPuzzles", {524, 184, 109, 31}},  {"BitBtnCancelar", {520, 222, 120, 30}},
        {"BitBtnGerar", {520, 260, 120, 40}},     {"BitBtnSair", {520, 314, 120, 40}},
    };
    // Resized, the choices stay where they were; the preview, right of them, takes the rest.
    for (const QSize tamanho : {j.size(), QSize(1024, 600), j.minimumSize()}) {
        j.resize(tamanho);
        QTRY_COMPARE(j.size(), tamanho);
        for (const auto& l : lugares) {
            QWidget* w = Controlo<QWidget>(j, l.Nome);
            QRect lugar(w->mapTo(&j, QPoint(0, 0)), w->size());
            if (l.Lugar.width() == 0) {
                lugar.setWidth(0); // as wide as its text
            }
            QVERIFY2(lugar == l.Lugar, qPrintable(QString("%1: %2, %3, %4, %5")
                                                      .arg(l.Nome)
                                                      .arg(lugar.x())
                                                      .arg(lugar.y())
                                                      .arg(lugar.width())
                                                      .arg(lugar.height())));
        }
        QWidget* previa = Controlo<QWidget>(j, "PreVisualizacao");
        const QRect lugar(previa->mapTo(&j, QPoint(0, 0)), previa->size());
        QVERIFY(j.rect().contains(lugar));
        QVERIFY(lugar.left() >= 676 && lugar.width() >= 150 && lugar.height() >= 150);
    }
    const struct {
        const char* Nome;
        const char* Texto;
    } botoes[] = {{"BitBtnGerar", "&Gerar Livro"}, {"BitBtnSair", "&Sair"}};
    for (const auto& b : botoes) {
        QCOMPARE(Botao(j, b.Nome)->text(), QString(b.Texto));
        QVERIFY(Botao(j, b.Nome)->isEnabled());
    }
    QCOMPARE(Botao(j, "BitBtnCancelar")->text(), QString("&Cancelar"));
    QVERIFY(!Botao(j, "BitBtnCancelar")->isEnabled());
    QVERIFY(QRect(0, 0, 676, 368).contains(Botao(j, "BitBtnCancelar")->geometry()));
    QVERIFY(Botao(j, "BitBtnGerar")->isDefault());

    // "Refazer um livro…" is added inside the window without covering any other control.
    QPushButton* refazer = Botao(j, "BitBtnRefazer");
    QCOMPARE(refazer->text(), QString("&Refazer um livro…"));
    QVERIFY(refazer->isEnabled());
    QVERIFY(QRect(0, 0, 676, 368).contains(refazer->geometry()));
    for (QWidget* outro : j.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QVERIFY2(outro == refazer || !outro->geometry().intersects(refazer->geometry()),
                 qPrintable(outro->objectName()));
    }

    const struct {
        const char* Nome;
        const char* Texto;
    } etiquetas[] = {{"LabelNumPuzzles", "&Número de puzzles: "},
                     {"LabelTituloLivro", "&Título do livro"},
                     {"LabelNome", "TAVRELO"},
                     {"LabelAutor", "by Brovanel"}};
    for (const auto& e : etiquetas) {
        QCOMPARE(Controlo<QLabel>(j, e.Nome)->text(), QString(e.Texto));
    }
    QCOMPARE(Controlo<QCheckBox>(j, "CheckBoxCaminho")->text(), QString("Soluções com &dicas"));
    QCOMPARE(Controlo<QCheckBox>(j, "CheckBoxAbrirPDF")->text(), QString("&Abrir o PDF"));
    QVERIFY(Controlo<QCheckBox>(j, "CheckBoxCaminho")->isChecked());
    QVERIFY(Controlo<QCheckBox>(j, "CheckBoxAbrirPDF")->isChecked());
    QCOMPARE(Controlo<QGroupBox>(j, "GroupBoxLivro")->title(), QString("Livro"));
    QCOMPARE(Controlo<QGroupBox>(j, "RadioGroupTamanho")->title(), QString("Ta&manho"));
    QCOMPARE(Controlo<QGroupBox>(j, "RadioGroupNivel")->title(), QString("Di&ficuldade"));

    const QStringList tamanhos = {"8 x 8", "12 x 12", "16 x 16", "7 x 7", "11 x 11", "13 x 13"};
    const QStringList niveis = {"Nível 1", "Nível 2", "Nível 3",
                                "Nível 4", "Nível 5", "Progressiva"};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(Radio(j, "RadioGroupTamanho", i)->text(), tamanhos[i]);
        QCOMPARE(Radio(j, "RadioGroupNivel", i)->text(), niveis[i]);
        QCOMPARE(Radio(j, "RadioGroupTamanho", i)->isChecked(), i == 0);
        QCOMPARE(Radio(j, "RadioGroupNivel", i)->isChecked(), i == 5);
    }
    // Two columns, filled column by column.
    QCOMPARE(Radio(j, "RadioGroupNivel", 3)->x(), Radio(j, "RadioGroupNivel", 5)->x());
    QVERIFY(Radio(j, "RadioGroupNivel", 3)->x() > Radio(j, "RadioGroupNivel", 2)->x());

    QCOMPARE(EditNumero(j)->text(), QString("50"));
    QCOMPARE(EditNumero(j)->maxLength(), 3);
    QCOMPARE(Controlo<TEditComSetas>(j, "EditNumPuzzles")->Minimo(), 5);
    QCOMPARE(Controlo<TEditComSetas>(j, "EditNumPuzzles")->Maximo(), 100);
    QCOMPARE(Controlo<QLineEdit>(j, "EditTituloLivro")->text(), QString());
    QCOMPARE(Resumo(j), QString("50 puzzles · 8 × 8 · progressiva: 10 + 10 + 10 + 10 + 10"));
    QCOMPARE(Estado(j), QString());
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->value(), 0);
}

void TesteJanela::ProgressivaComTresPuzzles() {
    TJanelaTeste j;
    QLineEdit* edit = EditNumero(j);
    edit->selectAll();
    QTest::keyClicks(edit, "3");
    QCOMPARE(edit->text(), QString("3"));
    QCOMPARE(Resumo(j), QString("3 puzzles · 8 × 8 · progressiva: 1 + 1 + 1"));
    QCOMPARE(Estado(j), QString::fromStdString(MensagemMinimoProgressiva()));
    QVERIFY(!Botao(j, "BitBtnGerar")->isEnabled());

    // "Gerar Livro" reached anyway (by the keyboard) is refused with the same reason.
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(j.NomesPropostos.size(), 0);
    QVERIFY(!j.Ocupado());
}

void TesteJanela::DoisPassaACincoAoEscolherProgressiva() {
    TJanelaTeste j;
    Escolher(j, 0, 1, "2");
    QCOMPARE(Resumo(j), QString("2 puzzles · 8 × 8 · nível 2"));
    Radio(j, "RadioGroupNivel", 5)->click();
    QCOMPARE(EditNumero(j)->text(), QString("5"));
    QCOMPARE(Controlo<TEditComSetas>(j, "EditNumPuzzles")->Minimo(), 5);
    QCOMPARE(Resumo(j), QString("5 puzzles · 8 × 8 · progressiva: 1 + 1 + 1 + 1 + 1"));
    QCOMPARE(Estado(j), QString());
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
}

void TesteJanela::DaProgressivaParaNivel2() {
    TJanelaTeste j;
    EditNumero(j)->setText("3"); // below the Progressiva's minimum: the reason is shown
    Radio(j, "RadioGroupNivel", 1)->click();
    QCOMPARE(Controlo<TEditComSetas>(j, "EditNumPuzzles")->Minimo(), 1);
    QCOMPARE(EditNumero(j)->text(), QString("3"));
    QCOMPARE(Resumo(j), QString("3 puzzles · 8 × 8 · nível 2"));
    QCOMPARE(Estado(j), QString());
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());

    Radio(j, "RadioGroupTamanho", 5)->click();
    QCOMPARE(Resumo(j), QString("3 puzzles · 13 × 13 · nível 2"));
}

void TesteJanela::NumeroInvalido_data() {
    QTest::addColumn<QString>("texto");
    QTest::newRow("0") << "0";
    QTest::newRow("101") << "101";
    QTest::newRow("abc") << "abc";
    QTest::newRow("vazio") << "";
}

void TesteJanela::NumeroInvalido() {
    QFETCH(QString, texto);
    TJanelaTeste j;
    EditNumero(j)->setText(texto);
    QCOMPARE(Resumo(j), QString());
    QCOMPARE(Estado(j), QString("Indique um número de puzzles entre 1 e 100."));
    QVERIFY(!Botao(j, "BitBtnGerar")->isEnabled());
    // The text stays as typed, also when the edit loses the focus.
    QCOMPARE(EditNumero(j)->text(), texto);

    // Switching difficulty while invalid changes neither the text nor the reason.
    Radio(j, "RadioGroupNivel", 0)->click();
    QCOMPARE(EditNumero(j)->text(), texto);
    QCOMPARE(Estado(j), QString("Indique um número de puzzles entre 1 e 100."));

    EditNumero(j)->setText("12");
    QCOMPARE(Estado(j), QString());
    QCOMPARE(Resumo(j), QString("12 puzzles · 8 × 8 · nível 1"));
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
}

void TesteJanela::SetasDoNumero() {
    TJanelaTeste j;
    auto* setas = Controlo<TEditComSetas>(j, "EditNumPuzzles");
    const struct {
        int Nivel;
        const char* Texto;
        int Passos;
        const char* Depois;
    } casos[] = {
        {0, "7", 1, "8"},    {0, "7", -3, "4"},      {0, "100", 1, "100"},
        {0, "1", -1, "1"},   {5, "5", -1, "5"},      {5, "6", -4, "5"},
        {0, " 9 ", 1, "10"}, {0, "abc", 1, nullptr}, // from the last position
    };
    for (const auto& c : casos) {
        Radio(j, "RadioGroupNivel", c.Nivel)->click();
        EditNumero(j)->setText("20");
        setas->stepBy(0); // the position follows the last number shown by the arrows
        EditNumero(j)->setText(c.Texto);
        setas->stepBy(c.Passos);
        QCOMPARE(EditNumero(j)->text(), QString(c.Depois ? c.Depois : "21"));
    }
}

void TesteJanela::LerConfiguracao() {
    TJanelaTeste j;
    Escolher(j, 4, 3, "12");
    Controlo<QLineEdit>(j, "EditTituloLivro")->setText("  \t ");
    Controlo<QCheckBox>(j, "CheckBoxCaminho")->setChecked(false);
    TConfigLivro c;
    QVERIFY(j.LerConfiguracao(c));
    QCOMPARE(c.NumPuzzles, 12);
    QCOMPARE(c.N, 11);
    QCOMPARE(c.Nivel, 4);
    QCOMPARE(c.Titulo, std::string());
    QCOMPARE(c.Caminho, false);

    Controlo<QLineEdit>(j, "EditTituloLivro")->setText("  Férias de Verão ");
    Radio(j, "RadioGroupNivel", 5)->click();
    QVERIFY(j.LerConfiguracao(c));
    QCOMPARE(c.Titulo, std::string("Férias de Verão"));
    QCOMPARE(c.Nivel, 0);
    QVERIFY(j.Avisos.isEmpty());

    const struct {
        int Nivel;
        const char* Texto;
        std::string Aviso;
    } recusas[] = {{0, "abc", MensagemNumPuzzles(false)},
                   {0, "101", MensagemNumPuzzles(false)},
                   {5, "4", MensagemMinimoProgressiva()}};
    for (const auto& r : recusas) {
        j.Avisos.clear();
        Radio(j, "RadioGroupNivel", r.Nivel)->click();
        EditNumero(j)->setText(r.Texto);
        QVERIFY(!j.LerConfiguracao(c));
        QCOMPARE(j.Avisos, QStringList{QString::fromStdString(r.Aviso)});
        QCOMPARE(c.NumPuzzles, 0);
    }
}

// A title the cover cannot print stops the book as a bad number does, with its reason.
void TesteJanela::TituloQueACapaNaoImprime() {
    TJanelaTeste j;
    auto* titulo = Controlo<QLineEdit>(j, "EditTituloLivro");
    const QString longo = QString("Quadrados mágicos ").repeated(12);
    const struct {
        QString Titulo;
        const char* Motivo;
    } recusas[] = {
        {QString::fromUtf8("Férias \xF0\x9F\x98\x80"),
         "O título tem um carácter que a letra do livro não tem: «\xF0\x9F\x98\x80» "
         "(U+1F600)."},
        {longo, "O título é demasiado comprido: não cabe na capa, nem em três linhas."},
    };
    for (const auto& r : recusas) {
        titulo->setText(r.Titulo);
        QCOMPARE(Estado(j), QString::fromUtf8(r.Motivo));
        QVERIFY(!Botao(j, "BitBtnGerar")->isEnabled());
        j.Avisos.clear();
        TConfigLivro c;
        QVERIFY(!j.LerConfiguracao(c));
        QCOMPARE(j.Avisos, QStringList{QString::fromUtf8(r.Motivo)});

        // A bad number is told first; once it is mended the title's reason is back.
        EditNumero(j)->setText("0");
        QCOMPARE(Estado(j), QString("Indique um número de puzzles entre 1 e 100."));
        EditNumero(j)->setText("50");
        QCOMPARE(Estado(j), QString::fromUtf8(r.Motivo));
    }
    // Mended: the reason goes, the book may be made, and its title is composed (e + U+0301).
    titulo->setText(QString::fromUtf8("Cafe\xCC\x81"));
    QCOMPARE(Estado(j), QString());
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
    TConfigLivro c;
    QVERIFY(j.LerConfiguracao(c));
    QCOMPARE(c.Titulo, std::string("Caf\xC3\xA9"));
}

void TesteJanela::LivroFeitoPelaJanela() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "2");
    Controlo<QLineEdit>(j, "EditTituloLivro")->setText(" Primeiro ");

    Botao(j, "BitBtnGerar")->click();
    QCOMPARE(j.NomesPropostos, QStringList{"Tavrelo_8x8_N1_2.pdf"});
    QVERIFY(j.Ocupado());
    // A gerar: every input and "Sair" locked, cancel open.
    for (const char* nome :
         {"EditNumPuzzles", "EditTituloLivro", "RadioGroupTamanho", "RadioGroupNivel",
          "CheckBoxCaminho", "CheckBoxAbrirPDF", "BitBtnSair", "BitBtnGerar"}) {
        QVERIFY2(!Controlo<QWidget>(j, nome)->isEnabled(), nome);
    }
    QVERIFY(Botao(j, "BitBtnCancelar")->isEnabled());
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->maximum(), 2);
    // A second click while busy starts nothing.
    Botao(j, "BitBtnGerar")->click();
    QCOMPARE(j.NomesPropostos.size(), 1);

    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 1);
    const TLivro& livro = gravacoes->Livro;
    QCOMPARE(livro.Puzzles.size(), size_t(2));
    QCOMPARE(livro.Config.Titulo, std::string("Primeiro"));
    QCOMPARE(livro.Config.Nivel, 1);
    QCOMPARE(livro.Config.N, 8);
    QVERIFY(livro.Config.Caminho);
    const int32_t paginas = TCompositorLivro(livro, gravacoes->Info).NumPaginas();
    QCOMPARE(Estado(j), QString::fromStdString(MensagemLivroGerado(2, paginas, livro.Codigo)));
    QVERIFY(Estado(j).startsWith("Livro gerado: 2 puzzles, "));
    QVERIFY(QFileInfo::exists(j.FicheiroEscolhido));
    QCOMPARE(j.Abertos, QStringList{j.FicheiroEscolhido});
    QVERIFY(j.Erros.isEmpty());
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->value(), 2);

    // Back to Livre, the result kept in the status line while the choice stays valid.
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
    QVERIFY(Botao(j, "BitBtnSair")->isEnabled());
    QVERIFY(!Botao(j, "BitBtnCancelar")->isEnabled());
    EditNumero(j)->setText("3");
    QVERIFY(Estado(j).startsWith("Livro gerado: "));

    // Without "Abrir o PDF" nothing is opened.
    Controlo<QCheckBox>(j, "CheckBoxAbrirPDF")->setChecked(false);
    EditNumero(j)->setText("1");
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 2);
    QCOMPARE(j.Abertos.size(), 1);
    QVERIFY(Estado(j).startsWith("Livro gerado: 1 puzzle, "));
}

// Between the last puzzle and the written file: every control locked, cancel included, the
// bar full and "A criar o PDF…" in the status line.
void TesteJanela::AEscreverOPdf() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    auto portao = std::make_shared<teste::TPortao>();
    j.DefinirGravador(teste::GravadorComPortao(gravacoes, portao));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 3, 0, "3");
    Botao(j, "BitBtnGerar")->click();

    QTRY_COMPARE_WITH_TIMEOUT(Estado(j), QString("A criar o PDF…"), 200000);
    QVERIFY(j.Ocupado());
    for (const char* nome :
         {"EditNumPuzzles", "EditTituloLivro", "RadioGroupTamanho", "RadioGroupNivel",
          "CheckBoxCaminho", "CheckBoxAbrirPDF", "BitBtnSair", "BitBtnGerar", "BitBtnCancelar"}) {
        QVERIFY2(!Controlo<QWidget>(j, nome)->isEnabled(), nome);
    }
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->value(), 3);
    QCOMPARE(gravacoes->Chamadas, 0);

    portao->Abrir();
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 1);
    QVERIFY(Estado(j).startsWith("Livro gerado: 3 puzzles, "));
}

void TesteJanela::DialogoDesistido() {
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    Escolher(j, 3, 5, "10");
    Botao(j, "BitBtnGerar")->click();
    QCOMPARE(j.NomesPropostos, QStringList{"Tavrelo_7x7_P_10.pdf"});
    QVERIFY(!j.Ocupado());
    QCOMPARE(Estado(j), QString());
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
}

void TesteJanela::CancelarPeloBotao() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    const auto [gravacoes, portao] = teste::ComGravadorEPortao(j);
    j.FicheiroEscolhido = pasta.filePath("cancelado.pdf");
    Escolher(j, 0, 0, "20");

    Botao(j, "BitBtnGerar")->click();
    QCOMPARE(Estado(j), QString("A preparar o livro…"));
    QVERIFY(Botao(j, "BitBtnCancelar")->isEnabled());
    Botao(j, "BitBtnCancelar")->click();
    QCOMPARE(Estado(j), QString("A cancelar…"));
    QVERIFY(!Botao(j, "BitBtnCancelar")->isEnabled());
    QVERIFY(!Botao(j, "BitBtnSair")->isEnabled());
    portao->Abrir();

    EsperarFim(j);
    QCOMPARE(Estado(j), QString("Geração cancelada aos 1 de 20 puzzles. Nada foi gravado."));
    QCOMPARE(gravacoes->Chamadas, 0);
    QVERIFY(!QFileInfo::exists(j.FicheiroEscolhido));
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->value(), 0);
    QVERIFY(j.Abertos.isEmpty());
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
    QVERIFY(!Botao(j, "BitBtnCancelar")->isEnabled());
}

void TesteJanela::FecharDuranteGeracao_data() {
    QTest::addColumn<bool>("sim");
    QTest::addColumn<QString>("numero");
    QTest::addColumn<bool>("gravado");
    QTest::addColumn<QString>("estado");
    QTest::newRow("não: o livro continua") << false << "2" << true << "Livro gerado: 2 puzzles, ";
    QTest::newRow("sim: cancela e fecha")
        << true << "20" << false << "Geração cancelada aos 1 de 20 puzzles. Nada foi gravado.";
    QTest::newRow("sim com o último puzzle: cancela e fecha")
        << true << "1" << false << "Geração cancelada aos 1 de 1 puzzles. Nada foi gravado.";
}

void TesteJanela::FecharDuranteGeracao() {
    QFETCH(bool, sim);
    QFETCH(QString, numero);
    QFETCH(bool, gravado);
    QFETCH(QString, estado);

    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    auto portao = std::make_shared<teste::TPortao>();
    j.DefinirGerador(teste::GeradorComPortao(portao));
    j.RespostaSim = sim;
    Escolher(j, 0, 0, numero);
    j.show();
    QVERIFY(QTest::qWaitForWindowExposed(&j, 60000));

    Botao(j, "BitBtnGerar")->click();
    QVERIFY(!j.close()); // refused while busy; the question is asked
    QCOMPARE(j.Perguntas, QStringList{"Está a ser gerado um livro. Cancelar e sair?"});
    QVERIFY(j.isVisible());
    QCOMPARE(Botao(j, "BitBtnCancelar")->isEnabled(), !sim);
    // A close request does not put "A cancelar…" in the status line.
    QCOMPARE(Estado(j), QString("A preparar o livro…"));
    portao->Abrir();
    EsperarFim(j);
    QVERIFY(Estado(j).startsWith(estado));
    QCOMPARE(gravacoes->Chamadas, gravado ? 1 : 0);
    QCOMPARE(QFileInfo::exists(j.FicheiroEscolhido), gravado);
    QCOMPARE(j.isVisible(), !sim);
    QCOMPARE(j.Perguntas.size(), 1);
}

void TesteJanela::FalhaDaGravacao() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    j.DefinirGravador([](TFicheiroAtomico&, const TLivro&, const TInfoLivro&,
                         const TPedidoDeParagem&) -> int32_t {
        throw std::runtime_error("Não foi possível escrever o ficheiro: disco cheio.");
    });
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "1");
    Controlo<QLineEdit>(j, "EditTituloLivro")->setText("Guardado");
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    const QString esperado =
        "Não foi possível terminar o livro: Não foi possível escrever o ficheiro: disco cheio.";
    QCOMPARE(Estado(j), esperado);
    QCOMPARE(j.Erros, QStringList{esperado});
    // The box comes once the window is free again: a close meanwhile is not asked about.
    QCOMPARE(j.OcupadaNasCaixas, QList<bool>{false});
    QVERIFY(j.Abertos.isEmpty());
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->value(), 0);
    // Back to Livre with the inputs kept.
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
    QCOMPARE(Controlo<QLineEdit>(j, "EditTituloLivro")->text(), QString("Guardado"));
    QCOMPARE(EditNumero(j)->text(), QString("1"));
}

void TesteJanela::DestruirDuranteGeracao() {
    QTemporaryDir pasta;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    auto portao = std::make_shared<teste::TPortao>();
    {
        TJanelaTeste j;
        j.DefinirGravador(teste::GravadorFalso(gravacoes));
        // The generator starts only as the window goes away.
        j.DefinirGerador(teste::GeradorComPortao(portao));
        j.AoDestruir = [portao] { portao->Abrir(); };
        j.FicheiroEscolhido = pasta.filePath("livro.pdf");
        Escolher(j, 0, 0, "100");
        Botao(j, "BitBtnGerar")->click();
        QVERIFY(j.Ocupado());
    }
    // The worker was stopped and waited for; what it posted back is never delivered.
    QCoreApplication::processEvents();
    QCOMPARE(gravacoes->Chamadas, 0);
    QVERIFY(!QFileInfo::exists(pasta.filePath("livro.pdf")));
}

void TesteJanela::LivroComOGravadorVerdadeiro_data() {
    QTest::addColumn<QString>("local");
    QTest::newRow("C") << "C";
    for (const char* local : teste::LOCAIS_DOS_UTILIZADORES) {
        QTest::newRow(local) << local;
    }
}

// Uses the real PDF writer: one 8 × 8 puzzle makes a book of 14 pages, its links in place,
// under C and with the whole process under a user's locale and its decimal comma.
void TesteJanela::LivroComOGravadorVerdadeiro() {
    QFETCH(QString, local);
    const teste::TLocalDoProcesso noLocal(qPrintable(local));
    QVERIFY2(noLocal.Tem() || local == "C", "localedef did not make the locale");
    QTemporaryDir pasta;
    TJanelaTeste j;
    j.FicheiroEscolhido = pasta.filePath("verdadeiro.pdf");
    Escolher(j, 0, 0, "1");
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QVERIFY2(j.Erros.isEmpty(), qPrintable(j.Erros.join('\n')));
    QVERIFY2(Estado(j).startsWith("Livro gerado: 1 puzzle, 14 páginas. Código do livro: "),
             qPrintable(Estado(j)));
    QFile pdf(j.FicheiroEscolhido);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
    QCOMPARE(QDir(pasta.path()).entryList(QDir::Files), QStringList{"verdadeiro.pdf"});
}

void TesteJanela::EstiloEIcone() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(app);
    QVERIFY(AplicarEstiloSky(*app));
    QVERIFY(app->styleSheet().contains("QPushButton"));
    QVERIFY(!IconeTavrelo().isNull());
    TJanelaTeste j;
    QVERIFY(!j.windowIcon().isNull());
    app->setStyleSheet(QString());
}

// Tab goes round the window row by row, left to right, reaching each radio group at its
// selected item and never the cancel button; the mnemonics and Ctrl+R press what they name,
// from any control.
void TesteJanela::Teclado() {
    TJanelaTeste j;
    QVERIFY(Mostrar(j));
    QCOMPARE(Botao(j, "BitBtnCancelar")->focusPolicy(), Qt::NoFocus);

    auto* numero = Controlo<TEditComSetas>(j, "EditNumPuzzles");
    const auto volta = [&] {
        QList<QWidget*> r;
        Botao(j, "BitBtnSair")->setFocus();
        for (int i = 0; i < 11; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* w = QApplication::focusWidget();
            r << (w != nullptr && w->parentWidget() == numero ? numero : w);
        }
        return r;
    };
    const auto esperado = [&](int ATamanho, int ANivel) {
        // The preview, last, is one stop: Tab passes it in one key.
        return QList<QWidget*>{Controlo<QWidget>(j, "PreVisualizacao"),
                               Radio(j, "RadioGroupTamanho", ATamanho),
                               Radio(j, "RadioGroupNivel", ANivel),
                               Controlo<QToolButton>(j, "BotaoAjuda"),
                               Botao(j, "BitBtnRefazer"),
                               Controlo<QCheckBox>(j, "CheckBoxCaminho"),
                               Controlo<QCheckBox>(j, "CheckBoxAbrirPDF"),
                               numero,
                               Controlo<QLineEdit>(j, "EditTituloLivro"),
                               Botao(j, "BitBtnGerar"),
                               Botao(j, "BitBtnSair")};
    };
    QCOMPARE(volta(), esperado(0, 5));
    Radio(j, "RadioGroupTamanho", 2)->click();
    Radio(j, "RadioGroupNivel", 1)->click();
    QCOMPARE(volta(), esperado(2, 1));
    // The arrows move the choice within the group; Tab follows it.
    Radio(j, "RadioGroupNivel", 1)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QVERIFY(Radio(j, "RadioGroupNivel", 2)->isChecked());
    QCOMPARE(volta(), esperado(2, 2));

    // From the number edit, Alt+G presses "Gerar Livro" (the user then gives up) and types
    // nothing.
    QLineEdit* edit = EditNumero(j);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(j.NomesPropostos.size(), 1);
    QCOMPARE(edit->text(), QString("50"));

    const struct {
        Qt::Key Tecla;
        QWidget* Foco;
    } focos[] = {{Qt::Key_T, Controlo<QLineEdit>(j, "EditTituloLivro")},
                 {Qt::Key_N, numero},
                 {Qt::Key_M, Radio(j, "RadioGroupTamanho", 2)},
                 {Qt::Key_F, Radio(j, "RadioGroupNivel", 2)}};
    for (const auto& f : focos) {
        Botao(j, "BitBtnSair")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), f.Tecla, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), f.Foco);
    }
    for (const auto& [tecla, nome] :
         {std::pair{Qt::Key_D, "CheckBoxCaminho"}, std::pair{Qt::Key_A, "CheckBoxAbrirPDF"}}) {
        QTest::keyClick(edit, tecla, Qt::AltModifier);
        QTRY_VERIFY2(!Controlo<QCheckBox>(j, nome)->isChecked(), nome);
    }

    // Alt+R and Ctrl+R ask for the code; giving up starts nothing.
    QTest::keyClick(edit, Qt::Key_R, Qt::AltModifier);
    QTRY_COMPARE(j.Escolhas.size(), 1);
    QTest::keyClick(edit, Qt::Key_R, Qt::ControlModifier);
    QTRY_COMPARE(j.Escolhas.size(), 2);
    QCOMPARE(j.NomesPropostos.size(), 1);
    QVERIFY(!j.Ocupado());

    QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(!j.isVisible());
}

// The Enter that confirmed the save dialog starts the book once; the repeats of the held
// key that reach the window afterwards neither cancel it nor start another.
void TesteJanela::EnterUmaVezPorTecla() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    const auto [gravacoes, portao] = teste::ComGravadorEPortao(j);
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "3");
    QVERIFY(Mostrar(j));
    EditNumero(j)->setFocus();

    Premir(Qt::Key_Return, false);
    QCOMPARE(j.NomesPropostos.size(), 1);
    QVERIFY(j.Ocupado());
    QVERIFY(QApplication::focusWidget() != Botao(j, "BitBtnCancelar"));
    for (int i = 0; i < 5; ++i) {
        Premir(Qt::Key_Return, true);
    }
    QVERIFY(Botao(j, "BitBtnCancelar")->isEnabled());
    QCOMPARE(Estado(j), QString("A preparar o livro…"));
    portao->Abrir();
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 1);
    QVERIFY(Estado(j).startsWith("Livro gerado: 3 puzzles, "));

    for (int i = 0; i < 5; ++i) {
        Premir(Qt::Key_Return, true);
    }
    QCOMPARE(j.NomesPropostos.size(), 1);

    // Where the display server does not mark repeats (X without detectable auto-repeat),
    // the held key comes as a release and a press at the same instant.
    for (quint64 t = 1000; t < 1200; t += 40) {
        Enviar(QEvent::KeyRelease, Qt::Key_Return, false, t);
        Enviar(QEvent::KeyPress, Qt::Key_Return, false, t);
    }
    QCOMPARE(j.NomesPropostos.size(), 1);
    Enviar(QEvent::KeyRelease, Qt::Key_Return, false, 1300);

    // A new press is a new book.
    Enviar(QEvent::KeyPress, Qt::Key_Return, false, 1450);
    QCOMPARE(j.NomesPropostos.size(), 2);
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 2);
}

void TesteJanela::EscapeCancela() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    const auto [gravacoes, portao] = teste::ComGravadorEPortao(j);
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "20");
    QVERIFY(Mostrar(j));

    Premir(Qt::Key_Escape, false); // nothing to cancel
    QVERIFY(j.isVisible());
    QCOMPARE(Estado(j), QString());

    Botao(j, "BitBtnGerar")->click();
    Premir(Qt::Key_Escape, false);
    QCOMPARE(Estado(j), QString("A cancelar…"));
    portao->Abrir();
    EsperarFim(j);
    QCOMPARE(Estado(j), QString("Geração cancelada aos 1 de 20 puzzles. Nada foi gravado."));
    QCOMPARE(gravacoes->Chamadas, 0);
    QVERIFY(j.isVisible());
}

void TesteJanela::PausaDuranteAPergunta_data() {
    QTest::addColumn<bool>("sim");
    QTest::newRow("não: o livro retoma") << false;
    QTest::newRow("sim: cancela e fecha") << true;
}

// While the close question is open the worker holds after the puzzle under way, at the
// book's pause; the answer then resumes it or cancels it.
void TesteJanela::PausaDuranteAPergunta() {
    QFETCH(bool, sim);
    constexpr int32_t TOTAL = 100;
    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    auto feitos = std::make_shared<std::atomic<int32_t>>(0);
    j.DefinirGerador(teste::GeradorContado(feitos, std::chrono::milliseconds(20)));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    j.RespostaSim = sim;
    Escolher(j, 0, 0, QString::number(TOTAL));
    QVERIFY(Mostrar(j));

    int32_t aoPerguntar = -1, parado = -1, maisTarde = -1;
    int64_t passagens = -1;
    bool segura = false;
    j.DuranteAPergunta = [&] {
        aoPerguntar = feitos->load();
        // The puzzle under way may end; then the worker holds at the pause.
        segura = QTest::qWaitFor([&] { return j.PausaDoLivro().Esperando() == 1; }, 200000);
        parado = feitos->load();
        passagens = j.PausaDoLivro().Passagens();
        QCoreApplication::processEvents();
        maisTarde = feitos->load();
    };
    Botao(j, "BitBtnGerar")->click();
    QTRY_VERIFY_WITH_TIMEOUT(feitos->load() >= 2, 100000);
    QVERIFY(!j.close());
    QCOMPARE(j.Perguntas, QStringList{QString::fromStdString(MensagemSairDuranteGeracao())});
    QVERIFY(segura);
    QVERIFY2(parado <= aoPerguntar + 1,
             qPrintable(QString("%1 → %2").arg(aoPerguntar).arg(parado)));
    QCOMPARE(maisTarde, parado);
    QVERIFY(parado < TOTAL);

    EsperarFim(j);
    QVERIFY2(j.PausaDoLivro().Passagens() > passagens, "released once answered");
    if (sim) {
        QCOMPARE(Estado(j), QString::fromStdString(MensagemCancelada(parado, TOTAL)));
        QCOMPARE(gravacoes->Chamadas, 0);
        QVERIFY(!QFileInfo::exists(j.FicheiroEscolhido));
        QVERIFY(!j.isVisible());
    } else {
        QVERIFY(Estado(j).startsWith("Livro gerado: 100 puzzles, "));
        QCOMPARE(gravacoes->Chamadas, 1);
        QVERIFY(QFileInfo::exists(j.FicheiroEscolhido));
        QVERIFY(j.isVisible());
    }
}

void TesteJanela::FecharAEscreverAsPaginas_data() {
    QTest::addColumn<bool>("sim");
    QTest::newRow("não: as páginas continuam") << false;
    QTest::newRow("sim: nada é gravado") << true;
}

// Once the pages are being written "Cancelar" is off, but closing still asks, holds the
// writer before its next page and, on "Sim", stops it: nothing is written after "Sim".
void TesteJanela::FecharAEscreverAsPaginas() {
    QFETCH(bool, sim);
    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    auto portao = std::make_shared<teste::TPortao>();
    auto paginas = std::make_shared<std::atomic<int32_t>>(0);
    j.DefinirGravador(teste::GravadorDePaginas(gravacoes, portao, paginas));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    j.RespostaSim = sim;
    Escolher(j, 3, 0, "2");
    QVERIFY(Mostrar(j));

    int32_t paginasNaPergunta = -1;
    bool segura = false;
    j.DuranteAPergunta = [&] {
        portao->Abrir();
        // The writer, let through the gate, holds at the pause before its first page.
        segura = QTest::qWaitFor([&] { return j.PausaDoLivro().Esperando() == 1; }, 200000);
        paginasNaPergunta = paginas->load();
    };
    Botao(j, "BitBtnGerar")->click();
    QTRY_COMPARE_WITH_TIMEOUT(Estado(j), QString("A criar o PDF…"), 200000);
    QVERIFY(!Botao(j, "BitBtnCancelar")->isEnabled());
    QVERIFY(!j.close());
    QCOMPARE(j.Perguntas.size(), 1);
    QVERIFY(segura);
    QCOMPARE(paginasNaPergunta, 0);

    EsperarFim(j);
    QCOMPARE(paginas->load(), sim ? 0 : 3);
    QCOMPARE(gravacoes->Chamadas, sim ? 0 : 1);
    QCOMPARE(QFileInfo::exists(j.FicheiroEscolhido), !sim);
    QCOMPARE(j.isVisible(), !sim);
}

// Starts the book's threads as the program does, but refuses, as a system out of threads
// does, every start from the APrimeira-th to the AUltima-th (counted from 1), counting them in
// APedidos.
decltype(TEtapasLivro::IniciarFio) FiosRecusadosDe(int32_t APrimeira, int32_t AUltima,
                                                   std::shared_ptr<int32_t> APedidos) {
    return [=](std::function<void()> ACorpo) -> TFio {
        const int32_t n = ++*APedidos;
        if (n >= APrimeira && n <= AUltima) {
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        }
        return IniciarFioSemSinais(std::move(ACorpo));
    };
}

void TesteJanela::FiosRecusados_data() {
    QTest::addColumn<int>("primeira");
    QTest::addColumn<int>("ultima");
    QTest::newRow("nenhum fio: o livro na janela") << 1 << INT_MAX;
    QTest::newRow("o do trabalhador: o livro na janela, com os outros") << 1 << 1;
    QTest::newRow("os do livro, não o do trabalhador") << 2 << INT_MAX;
}

// Threads the system will not give, from the window's worker on or after it, make the same
// book, real generator and writer: with no worker, on the window's own thread, which stays
// up and answers between puzzles; nothing is shown but the book written.
void TesteJanela::FiosRecusados() {
    QFETCH(int, primeira);
    QFETCH(int, ultima);
    const teste::TDataFixa dataFixa;
    QTemporaryDir pasta;
    const TConfigLivro config = teste::Config(12, 2, 4, 0x2A, {}, false);
    QByteArray comFios;
    {
        TJanelaTeste j;
        Controlo<QCheckBox>(j, "CheckBoxAbrirPDF")->setChecked(false);
        j.GerarLivro(config, pasta.filePath("com-fios.pdf").toStdString());
        EsperarFim(j);
        QFile f(pasta.filePath("com-fios.pdf"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        comFios = f.readAll();
    }
    TJanelaTeste j;
    Controlo<QCheckBox>(j, "CheckBoxAbrirPDF")->setChecked(false);
    auto pedidos = std::make_shared<int32_t>(0);
    j.DefinirIniciarFio(FiosRecusadosDe(primeira, ultima, pedidos));
    int32_t progressos = 0;
    connect(Controlo<QProgressBar>(j, "ProgressBarLote"), &QProgressBar::valueChanged, &j,
            [&progressos] { ++progressos; });
    QVERIFY(Mostrar(j));
    const QString pdf = pasta.filePath("sem-fios.pdf");
    j.GerarLivro(config, pdf.toStdString());
    EsperarFim(j);
    QVERIFY2(Estado(j).startsWith("Livro gerado: 4 puzzles, "), qPrintable(Estado(j)));
    QVERIFY(j.Erros.isEmpty());
    QVERIFY(j.isVisible());
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
    QVERIFY2(*pedidos >= 2, "the worker and the pages' thread at least were asked for");
    QVERIFY2(progressos >= 4, "the progress was shown as the puzzles came");
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll() == comFios);
    QCOMPARE(QDir(pasta.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{"com-fios.pdf", "sem-fios.pdf"}));
}

void TesteJanela::FecharComOLivroNaJanela_data() {
    QTest::addColumn<bool>("sim");
    QTest::newRow("não: o livro continua") << false;
    QTest::newRow("sim: cancela e fecha") << true;
}

// With no thread to be had the book is made on the window's own thread, which still hears a
// close between two puzzles, asks, and stops the book or lets it go on.
void TesteJanela::FecharComOLivroNaJanela() {
    QFETCH(bool, sim);
    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.DefinirIniciarFio(FiosRecusadosDe(1, INT_MAX, std::make_shared<int32_t>(0)));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    j.RespostaSim = sim;
    Controlo<QCheckBox>(j, "CheckBoxAbrirPDF")->setChecked(false);
    Escolher(j, 0, 0, "5");
    QVERIFY(Mostrar(j));
    // Heard at the first moment the book lets the window answer.
    QTimer::singleShot(0, &j, [&j] { j.close(); });
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QCOMPARE(j.Perguntas, QStringList{QString::fromStdString(MensagemSairDuranteGeracao())});
    if (sim) {
        QCOMPARE(Estado(j), QString::fromStdString(MensagemCancelada(1, 5)));
        QCOMPARE(gravacoes->Chamadas, 0);
        QVERIFY(!QFileInfo::exists(j.FicheiroEscolhido));
    } else {
        QVERIFY(Estado(j).startsWith("Livro gerado: 5 puzzles, "));
        QCOMPARE(gravacoes->Chamadas, 1);
    }
    QTRY_COMPARE(j.isVisible(), !sim);
}

void TesteJanela::CaminhoComPdf_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("gravado");
    QTest::newRow("sem extensão") << "/l/livro"
                                  << "/l/livro.pdf";
    QTest::newRow("versão com ponto") << "/l/Livro v1.2"
                                      << "/l/Livro v1.2.pdf";
    QTest::newRow("ponto no meio") << "/l/Livro.Ferias"
                                   << "/l/Livro.Ferias.pdf";
    QTest::newRow("outra extensão") << "/l/livro.txt"
                                    << "/l/livro.txt.pdf";
    QTest::newRow("ponto no fim") << "/l/livro."
                                  << "/l/livro.pdf";
    QTest::newRow("já em pdf") << "/l/livro.pdf"
                               << "/l/livro.pdf";
    QTest::newRow("PDF em maiúsculas") << "/l/LIVRO.PDF"
                                       << "/l/LIVRO.PDF";
    QTest::newRow("Pdf misto") << "/l/livro.Pdf"
                               << "/l/livro.Pdf";
    QTest::newRow("pdf sem ponto") << "/l/livropdf"
                                   << "/l/livropdf.pdf";
    // The blanks around the name typed go; the folder's own stay.
    QTest::newRow("brancos à volta") << "/os meus /  Livro v1.2 \t"
                                     << "/os meus /Livro v1.2.pdf";
    QTest::newRow("só brancos") << "/l/   "
                                << "";
}

void TesteJanela::CaminhoComPdf() {
    QFETCH(QString, nome);
    QFETCH(QString, gravado);
    QCOMPARE(tavrelo::CaminhoComPdf(nome), gravado);
}

void TesteJanela::NomesNoDialogo_data() {
    QTest::addColumn<QString>("escrito");
    QTest::addColumn<QString>("existente"); // "pasta:" makes a folder of that name
    QTest::addColumn<QString>("gravado");   // empty: no book
    QTest::addColumn<QString>("pergunta");
    QTest::addColumn<QString>("aviso");
    QTest::newRow("versão com ponto") << "Livro v1.2"
                                      << ""
                                      << "Livro v1.2.pdf"
                                      << ""
                                      << "";
    QTest::newRow("ponto no meio") << "Livro.Ferias"
                                   << ""
                                   << "Livro.Ferias.pdf"
                                   << ""
                                   << "";
    QTest::newRow("PDF em maiúsculas") << "livro.PDF"
                                       << ""
                                       << "livro.PDF"
                                       << ""
                                       << "";
    QTest::newRow("brancos à volta do nome") << "  Livro com brancos  "
                                             << ""
                                             << "Livro com brancos.pdf"
                                             << ""
                                             << "";
    QTest::newRow("substituir o nome gravado")
        << "Livro v1.2"
        << "Livro v1.2.pdf"
        << "Livro v1.2.pdf"
        << "O ficheiro «Livro v1.2.pdf» já existe. Quer substituí-lo?"
        << "";
    QTest::newRow("existe só o nome escrito") << "Livro v1.2"
                                              << "Livro v1.2"
                                              << "Livro v1.2.pdf"
                                              << ""
                                              << "";
    QTest::newRow("uma pasta com o nome gravado")
        << "capitulo"
        << "pasta:capitulo.pdf"
        << ""
        << ""
        << "«capitulo.pdf» é uma pasta. Escolha outro nome para o livro.";
}

// The real save dialog, answered as a user types: the book goes to the name with ".pdf",
// and the overwrite question is about that name.
void TesteJanela::NomesNoDialogo() {
    QFETCH(QString, escrito);
    QFETCH(QString, existente);
    QFETCH(QString, gravado);
    QFETCH(QString, pergunta);
    QFETCH(QString, aviso);
    QTemporaryDir pasta;
    if (existente.startsWith("pasta:")) {
        QVERIFY(QDir(pasta.path()).mkdir(existente.mid(6)));
    } else if (!existente.isEmpty()) {
        QFile f(pasta.filePath(existente));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.DialogoVerdadeiro = true;
    j.RespostaSim = true;
    Escolher(j, 0, 0, "1");
    QVERIFY(Mostrar(j));
    // After a warning the dialog opens again, and the user gives up.
    teste::ResponderAosDialogos(aviso.isEmpty() ? QStringList{escrito} : QStringList{escrito, ""},
                                pasta.path());
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);

    QCOMPARE(j.Perguntas, pergunta.isEmpty() ? QStringList() : QStringList{pergunta});
    QCOMPARE(j.Avisos, aviso.isEmpty() ? QStringList() : QStringList{aviso});
    QCOMPARE(gravacoes->Chamadas, gravado.isEmpty() ? 0 : 1);
    if (!gravado.isEmpty()) {
        QCOMPARE(j.Abertos, QStringList{pasta.filePath(gravado)});
        QFile livro(pasta.filePath(gravado));
        QVERIFY(livro.open(QIODevice::ReadOnly));
        QCOMPARE(livro.readAll(), QByteArray("%PDF-1.4 falso\n"));
    }
    QStringList esperados{gravado, existente.mid(existente.startsWith("pasta:") ? 6 : 0)};
    esperados.removeAll(QString());
    esperados.removeDuplicates();
    esperados.sort();
    QCOMPARE(QDir(pasta.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), esperados);
}

// The save dialog and the edits' menus speak Portuguese (Portugal's catalogue first,
// Brazil's for what it lacks), and the dialog's history goes nowhere under ~/.config.
void TesteJanela::DialogoEmPortuguesSemDefinicoes() {
    const QDir configuracao(FCasa.filePath(".config"));
    QVERIFY(!configuracao.exists() || configuracao.isEmpty());
    {
        TJanelaTeste j;
        j.DialogoVerdadeiro = true;
        QVERIFY(Mostrar(j));
        QStringList vistos;
        teste::ResponderAosDialogos({""}, QString(), [&vistos](QFileDialog& d) {
            vistos << d.windowTitle() << d.labelText(QFileDialog::LookIn)
                   << d.labelText(QFileDialog::FileName) << d.labelText(QFileDialog::FileType)
                   << d.labelText(QFileDialog::Accept) << d.labelText(QFileDialog::Reject);
            for (const char* botao : {"backButton", "toParentButton", "newFolderButton"}) {
                auto* b = d.findChild<QWidget*>(botao);
                vistos << (b != nullptr ? b->toolTip() : QString());
            }
        });
        Botao(j, "BitBtnGerar")->click();
        QCOMPARE(vistos, (QStringList{"Guardar o livro",
                                      "Procurar em:", "Nome do ficheiro:", "Tipo:", "Guardar",
                                      "Cancelar", "Recuar", "Pasta Mãe", "Criar Nova Pasta"}));

        std::unique_ptr<QMenu> menu(
            Controlo<QLineEdit>(j, "EditTituloLivro")->createStandardContextMenu());
        QStringList itens;
        for (const QAction* a : menu->actions()) {
            if (!a->isSeparator()) {
                itens << a->text().section('\t', 0, 0);
            }
        }
        QCOMPARE(itens, (QStringList{"&Desfazer", "&Refazer", "Cor&tar", "&Copiar", "Co&lar",
                                     "Apagar", "Seleccionar Tudo"}));
        // Missing from Portugal's catalogue: the status line's menu, from Brazil's.
        QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "&Copy"), QString("&Copiar"));
    }
    QVERIFY2(
        !configuracao.exists() || configuracao.isEmpty(),
        qPrintable(configuracao.entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(", ")));
    // What Qt keeps went to the program's own folder, removed when the program ends.
    QVERIFY(QFileInfo::exists(FSemDefinicoes->Pasta() + "/QtProject.conf"));
}

// Where the book went: its name under the status line, the folder a click away, and a viewer
// that cannot open it (the opener fails, or is missing) told with where the file is.
void TesteJanela::OndeFicouOLivro() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "1");
    auto* linha = Controlo<QWidget>(j, "LinhaFicheiro");
    auto* ficheiro = Controlo<QLabel>(j, "LabelFicheiro");
    QVERIFY(!linha->isVisibleTo(&j));

    const QString naoAbriu = "O livro foi gravado, mas não foi possível abri-lo num leitor de "
                             "PDF.\nO ficheiro está em:\n" +
                             j.FicheiroEscolhido;
    const struct {
        QString Abridor;
        bool Avisa;
    } casos[] = {
        {teste::Abridor(pasta, "abre", 0), false},
        {teste::Abridor(pasta, "sem-leitor", 3), true},
        {pasta.filePath("nao-existe"), true},
    };
    for (const auto& c : casos) {
        j.Avisos.clear();
        j.DefinirAbridor(c.Abridor);
        Botao(j, "BitBtnGerar")->click();
        EsperarFim(j);
        QVERIFY(Estado(j).startsWith("Livro gerado: 1 puzzle, "));
        QVERIFY(linha->isVisibleTo(&j));
        QCOMPARE(ficheiro->text(), QString("Gravado em livro.pdf"));
        QCOMPARE(ficheiro->toolTip(), j.FicheiroEscolhido);
        if (c.Avisa) {
            QTRY_COMPARE(j.Avisos, QStringList{naoAbriu});
        } else {
            QTRY_COMPARE(teste::Abertos(c.Abridor), QStringList{j.FicheiroEscolhido});
            // Once the opener's end is heard (it is gone), the window has said all it will.
            QTRY_VERIFY_WITH_TIMEOUT(j.findChildren<QProcess*>().isEmpty(), 60000);
            QVERIFY(j.Avisos.isEmpty());
        }
    }
    QCOMPARE(teste::Abertos(casos[1].Abridor), QStringList{j.FicheiroEscolhido});

    // "Abrir a pasta" opens the book's folder, and says so when it cannot.
    j.Avisos.clear();
    Botao(j, "BitBtnAbrirPasta")->click();
    QTRY_COMPARE(j.Avisos, QStringList{"Não foi possível abrir a pasta num gestor de ficheiros.\n"
                                       "A pasta é:\n" +
                                       pasta.path()});
    j.DefinirAbridor(casos[0].Abridor);
    Botao(j, "BitBtnAbrirPasta")->click();
    QTRY_COMPARE(teste::Abertos(casos[0].Abridor),
                 (QStringList{j.FicheiroEscolhido, pasta.path()}));

    // A book that is not saved names no file.
    j.DefinirGravador(
        [](TFicheiroAtomico&, const TLivro&, const TInfoLivro&,
           const TPedidoDeParagem&) -> int32_t { throw std::runtime_error("disco cheio."); });
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QVERIFY(!linha->isVisibleTo(&j));
}

// Once a book ends, saved or cancelled, the focus is back on "Gerar Livro": a key makes the
// next one.
void TesteJanela::FocoVoltaAGerar() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    const auto [gravacoes, portao] = teste::ComGravadorEPortao(j);
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "1");
    QVERIFY(Mostrar(j));

    Controlo<QLineEdit>(j, "EditTituloLivro")->setFocus();
    Botao(j, "BitBtnGerar")->click();
    Premir(Qt::Key_Escape, false);
    portao->Abrir();
    EsperarFim(j);
    QVERIFY(Estado(j).startsWith("Geração cancelada"));
    QCOMPARE(QApplication::focusWidget(), Botao(j, "BitBtnGerar"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(j.NomesPropostos.size(), 2);
    EsperarFim(j);
    QVERIFY(Estado(j).startsWith("Livro gerado: "));
    QCOMPARE(QApplication::focusWidget(), Botao(j, "BitBtnGerar"));
}

// With the window's style, the chosen size and level keep their mark while the book locks
// them.
void TesteJanela::EscolhaVisivelDuranteOLivro() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(AplicarEstiloSky(*app));
    {
        QTemporaryDir pasta;
        TJanelaTeste j;
        auto portao = std::make_shared<teste::TPortao>();
        j.DefinirGerador(teste::GeradorComPortao(portao));
        j.AoDestruir = [portao] { portao->Abrir(); };
        j.DefinirGravador(teste::GravadorFalso(std::make_shared<teste::TGravacoes>()));
        j.FicheiroEscolhido = pasta.filePath("livro.pdf");
        Escolher(j, 0, 0, "1");
        QVERIFY(Mostrar(j));
        Botao(j, "BitBtnGerar")->click();
        QVERIFY(!Radio(j, "RadioGroupTamanho", 0)->isEnabled());
        const auto marca = [&](const char* AGrupo, int AItem) {
            QRadioButton* r = Radio(j, AGrupo, AItem);
            return r->grab(QRect(0, 0, r->height(), r->height())).toImage();
        };
        for (const char* grupo : {"RadioGroupTamanho", "RadioGroupNivel"}) {
            QVERIFY2(marca(grupo, 0) != marca(grupo, 1), grupo);
            QCOMPARE(marca(grupo, 1), marca(grupo, 2));
        }
        portao->Abrir();
        EsperarFim(j);
    }
    app->setStyleSheet(QString());
}

// F1 and the "?" button open the help; the same button has "Acerca do TAVRELO"; Ctrl+Q
// closes, asking first during a book.
void TesteJanela::AjudaEAtalhos() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    QVERIFY(Mostrar(j));
    QVERIFY(j.findChild<TJanelaDeAjuda*>() == nullptr);
    QTest::keyClick(Controlo<QLineEdit>(j, "EditTituloLivro"), Qt::Key_F1);
    auto* ajuda = j.findChild<TJanelaDeAjuda*>();
    QVERIFY(ajuda != nullptr);
    QTRY_VERIFY(ajuda->isVisible());
    QCOMPARE(ajuda->windowTitle(), QString("Ajuda do TAVRELO"));
    const QString texto = ajuda->findChild<QTextBrowser*>("TextoDaAjuda")->toPlainText();
    for (const char* palavra : {"Tamanho", "Dificuldade", "Progressiva", "dicas", "código do livro",
                                "Refazer um livro…", "Ctrl+Q", "F1"}) {
        QVERIFY2(texto.contains(QString::fromUtf8(palavra)), palavra);
    }
    ajuda->close();

    auto* menu = Controlo<QToolButton>(j, "BotaoAjuda")->menu();
    QVERIFY(menu != nullptr);
    QCOMPARE(menu->actions().size(), 2);
    menu->actions().at(0)->trigger();
    QTRY_VERIFY(j.findChild<TJanelaDeAjuda*>() && j.findChild<TJanelaDeAjuda*>()->isVisible());
    j.findChild<TJanelaDeAjuda*>()->close();
    QCOMPARE(menu->actions().at(1)->text(), QString("A&cerca do TAVRELO"));
    menu->actions().at(1)->trigger();
    QCOMPARE(j.Acercas, 1);
    const QString acerca = TextoAcerca();
    for (const QString& parte : {QString("TAVRELO ") + VersaoDoPrograma(), QString("Brovanel"),
                                 QString("CC BY-NC-ND 4.0"), QString(qVersion())}) {
        QVERIFY2(acerca.contains(parte), qPrintable(parte));
    }

    // Ctrl+Q during a book asks; "Não" lets the book go on.
    QVERIFY(Mostrar(j));
    auto portao = std::make_shared<teste::TPortao>();
    j.DefinirGerador(teste::GeradorComPortao(portao));
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "1");
    Botao(j, "BitBtnGerar")->click();
    QTest::keyClick(&j, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(j.Perguntas, QStringList{QString::fromStdString(MensagemSairDuranteGeracao())});
    QVERIFY(j.isVisible());
    portao->Abrir();
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 1);
    QTest::keyClick(&j, Qt::Key_Q, Qt::ControlModifier);
    QTRY_VERIFY(!j.isVisible());
    QCOMPARE(j.Perguntas.size(), 1);
}

// A reason about a long path stays in the two-line status line: the path is shortened in
// its middle, the whole text is in the tooltip and in the error box.
void TesteJanela::EstadoLongoEncolhido() {
    QTemporaryDir pasta;
    QString longo = pasta.path();
    for (int i = 0; i < 8; ++i) {
        longo += "/uma pasta que não existe";
    }
    longo += "/livro.pdf";
    TJanelaTeste j;
    j.FicheiroEscolhido = longo;
    Escolher(j, 0, 0, "1");
    Botao(j, "BitBtnGerar")->click();
    j.FicheiroEscolhido.clear(); // the save dialog, opened again, is given up
    EsperarFim(j);

    QCOMPARE(j.Erros.size(), 1);
    const QString completo = j.Erros.first();
    const qsizetype onde = completo.indexOf(longo);
    QVERIFY2(onde > 0, qPrintable(completo));
    auto* rotulo = Controlo<QLabel>(j, "LabelEstado");
    const QString visto = rotulo->text();
    QVERIFY(visto != completo);
    QVERIFY(visto.contains("…"));
    QVERIFY(visto.startsWith(completo.left(onde + 5)));
    QVERIFY(visto.endsWith(completo.mid(onde + longo.size()))); // the reason, whole
    QVERIFY(rotulo->heightForWidth(rotulo->width()) <= rotulo->height());
    QCOMPARE(rotulo->toolTip(), completo);

    // A line that fits is whole, without a tooltip, and its code can be selected and copied.
    j.DefinirGravador(teste::GravadorFalso(std::make_shared<teste::TGravacoes>()));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QVERIFY(Estado(j).startsWith("Livro gerado: "));
    QCOMPARE(rotulo->toolTip(), QString());
    QVERIFY(rotulo->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
    QVERIFY(rotulo->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard));
    const QString codigo = Estado(j).right(8);
    rotulo->setSelection(static_cast<int>(Estado(j).size()) - 8, 8);
    QCOMPARE(rotulo->selectedText(), codigo);
}

void TesteJanela::TextoQueCabe() {
    QLabel rotulo;
    rotulo.setFont(Fonte(12));
    rotulo.setWordWrap(true);
    rotulo.resize(465, 30);
    QString caminho = "/home/utilizador/Documentos";
    for (int i = 0; i < 6; ++i) {
        caminho += "/Os meus livros de puzzles";
    }
    caminho += "/Livro v1.2.pdf";
    const QString longo = "Não foi possível gravar " + caminho + ": Permissão negada.";
    const struct {
        QString Texto, Trecho;
        bool Inteiro;
    } casos[] = {
        {"Livro gerado: 1 puzzle, 14 páginas. Código do livro: 0A1B2C3D", caminho, true},
        {longo, caminho, false},
        {longo, QString(), false},                    // no path given: the whole text
        {longo, "/outro/caminho.pdf", false},         // a path the text does not hold
        {QString(200, QChar('x')), QString(), false}, // one word wider than the line
    };
    for (const auto& c : casos) {
        const QString r = tavrelo::TextoQueCabe(rotulo, c.Texto, c.Trecho);
        rotulo.setText(r);
        QVERIFY2(rotulo.heightForWidth(465) <= 30, qPrintable(r));
        QCOMPARE(r == c.Texto, c.Inteiro);
        if (!c.Inteiro) {
            QVERIFY2(r.contains("…"), qPrintable(r));
            QCOMPARE(r.left(5), c.Texto.left(5));
            QCOMPARE(r.right(5), c.Texto.right(5));
        }
    }
    // Shortened in the path, the sentence around it is whole.
    const QString r = tavrelo::TextoQueCabe(rotulo, longo, caminho);
    QVERIFY(r.startsWith("Não foi possível gravar /home/"));
    QVERIFY(r.endsWith("Livro v1.2.pdf: Permissão negada."));
}

void TesteJanela::DialogoDoCodigo() {
    const QString escolha = "3 puzzles · 7 × 7 · nível 2; soluções sem dicas; sem título.";
    TDialogoCodigo d(escolha);
    QStringList textos;
    for (const QLabel* l : d.findChildren<QLabel*>()) {
        textos << l->text();
    }
    const QString tudo = textos.join(' ');
    for (const char* palavra :
         {"ficha técnica", "tamanho", "dificuldade", "número de puzzles", "dicas", "título"}) {
        QVERIFY2(tudo.contains(QString::fromUtf8(palavra)), palavra);
    }
    QCOMPARE(d.findChild<QLabel*>("LabelEscolha")->text(), "Escolhas atuais: " + escolha);

    auto* edit = d.findChild<QLineEdit*>("EditCodigo");
    auto* refazer = d.findChild<QPushButton*>("BotaoRefazer");
    auto* motivo = d.findChild<QLabel*>("LabelMotivo");
    const QString explicacao =
        "O código tem de 1 a 8 algarismos hexadecimais (de 0 a 9 e de A a F), como 0A1B2C3D.";
    const struct {
        const char* Texto;
        std::optional<uint32_t> Codigo;
        bool Motivo;
    } casos[] = {
        {"", {}, false},         {"0a1b2c3d", 0x0A1B2C3Du, false},
        {" FF ", 0xFFu, false},  {"0", 0u, false},
        {"123456789", {}, true}, {"0x1F", {}, true},
        {"G1", {}, true},        {"-1", {}, true},
        {"   ", {}, false},
    };
    for (const auto& c : casos) {
        edit->setText(c.Texto);
        QCOMPARE(d.Codigo(), c.Codigo);
        QCOMPARE(refazer->isEnabled(), c.Codigo.has_value());
        QCOMPARE(motivo->text(), c.Motivo ? explicacao : QString());
    }

    // Enter takes a valid code only.
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d, 60000));
    edit->setText("G1");
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(d.isVisible());
    edit->setText("2a");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(d.Codigo(), std::optional<uint32_t>(0x2Au));
    QCOMPARE(d.Resultado()->Codigo, 0x2Au);
    QVERIFY(!d.Resultado()->Receita);
}

// "Escolher o PDF do livro…" in the code's dialog: a PDF with a recipe gives the whole book;
// a file without one is refused in the dialog, which stays open.
void TesteJanela::DialogoDoCodigoComPdf() {
    QTemporaryDir pasta;
    const QString pdf = pasta.filePath("livro.pdf");
    const teste::TResultadoProcesso cli =
        teste::Correr(TAVRELO_CLI_PATH, {"-t", "12", "-n", "4", "-p", "1", "-s", "C0DE", "-q",
                                         "--titulo", "Inverno", "-o", pdf});
    QCOMPARE(cli.Estado, 0);
    QFile texto(pasta.filePath("texto.pdf"));
    QVERIFY(texto.open(QIODevice::WriteOnly));
    texto.write("não sou um PDF");
    texto.close();

    TDialogoCodigo d("8 × 8", pasta.path());
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d, 60000));
    teste::ResponderAosDialogos({"texto.pdf"}, pasta.path(), [](QFileDialog& ADialogo) {
        QCOMPARE(ADialogo.acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(ADialogo.labelText(QFileDialog::Accept), QString("Abrir"));
    });
    d.findChild<QPushButton*>("BotaoPdf")->click();
    QTRY_VERIFY(!d.ALer());
    QVERIFY(d.isVisible());
    QCOMPARE(d.findChild<QLabel*>("LabelMotivo")->text(),
             "«" + pasta.filePath("texto.pdf") + "» não é um PDF que se consiga ler.");
    QVERIFY(!d.Resultado());

    teste::ResponderAosDialogos({"livro.pdf"}, pasta.path());
    d.findChild<QPushButton*>("BotaoPdf")->click();
    QTRY_COMPARE(d.result(), int(QDialog::Accepted));
    const std::optional<TLivroARefazer> r = d.Resultado();
    QVERIFY(r && r->Receita);
    QCOMPARE(r->Codigo, 0xC0DEu);
    QCOMPARE(r->Origem, pdf);
    const TConfigLivro& c = r->Receita->Config;
    QCOMPARE(std::make_tuple(c.N, c.Nivel, c.NumPuzzles, c.Titulo, c.Caminho),
             std::make_tuple(12, 4, 1, std::string("Inverno"), true));
}

// The PDF is read off the window's thread: the dialog answers while a slow reader works, a PDF
// made to fill the memory is refused with its reason, and a reading in course waits for
// nothing when the dialog is cancelled.
void TesteJanela::PdfLidoForaDaJanela() {
    QTemporaryDir pasta;
    QFile bomba(pasta.filePath("bomba.pdf"));
    QVERIFY(bomba.open(QIODevice::WriteOnly));
    bomba.write(QByteArray::fromStdString(teste::PdfBomba(1024)));
    bomba.close();
    const auto leitor = [&](const QString& ANome, const QByteArray& AComandos) {
        QFile f(pasta.filePath(ANome));
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\n" + AComandos + "\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        return f.fileName().toStdString();
    };
    const std::unique_ptr<void, void (*)(void*)> repor(
        this, [](void*) { DefinirLeitor(TAVRELO_LEITOR_PATH); });

    // A reader that takes a second and a half: the window's thread turns meanwhile, and the
    // longest it stands still is measured.
    DefinirLeitor(leitor("devagar", "sleep 1.5; echo ILEGIVEL"));
    TDialogoCodigo d("8 × 8", pasta.path());
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QStringList lidos;
    connect(&d, &TDialogoCodigo::PdfLido,
            [&](const QString& ACaminho, const TLeituraDaReceita& ALida) {
                lidos << ACaminho + ": " + QString::fromStdString(ALida.Motivo);
            });
    QElapsedTimer relogio;
    relogio.start();
    qint64 ultimo = 0, maiorParagem = 0;
    QTimer batida;
    connect(&batida, &QTimer::timeout, [&] {
        maiorParagem = std::max(maiorParagem, relogio.elapsed() - ultimo);
        ultimo = relogio.elapsed();
    });
    batida.start(10);
    d.EscolherPdf(bomba.fileName());
    QVERIFY(d.ALer());
    QCOMPARE(d.findChild<QLabel*>("LabelMotivo")->text(), QString("A ler «bomba.pdf»…"));
    QVERIFY(!d.findChild<QPushButton*>("BotaoPdf")->isEnabled());
    QVERIFY(!d.findChild<QPushButton*>("BotaoRefazer")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!d.ALer(), 20000);
    batida.stop();
    QVERIFY2(relogio.elapsed() >= 1500, qPrintable(QString::number(relogio.elapsed())));
    QVERIFY2(maiorParagem < 500, qPrintable(QString::number(maiorParagem)));
    const QString ilegivel =
        bomba.fileName() + ": «" + bomba.fileName() + "» não é um PDF que se consiga ler.";
    QCOMPARE(lidos, QStringList{ilegivel});
    QVERIFY(d.isVisible());
    QVERIFY(d.findChild<QPushButton*>("BotaoPdf")->isEnabled());

    // The program's own reader, on the PDF that inflates to a gigabyte.
    DefinirLeitor(TAVRELO_LEITOR_PATH);
    d.EscolherPdf(bomba.fileName());
    QTRY_VERIFY_WITH_TIMEOUT(!d.ALer(), 20000);
    QCOMPARE(lidos.size(), 2);
    QVERIFY2(d.findChild<QLabel*>("LabelMotivo")->text().contains("esgotar a memória"),
             qPrintable(d.findChild<QLabel*>("LabelMotivo")->text()));
    QVERIFY(d.isVisible());

    // A reader that would take a minute: Cancelar closes the dialog and the reading at once.
    DefinirLeitor(leitor("lento", "exec sleep 60"));
    QElapsedTimer cancelado;
    cancelado.start();
    {
        TDialogoCodigo outro("8 × 8", pasta.path());
        outro.show();
        outro.EscolherPdf(bomba.fileName());
        QVERIFY(outro.ALer());
        outro.findChild<QPushButton*>("BotaoCancelar")->click();
        QCOMPARE(outro.result(), int(QDialog::Rejected));
        QVERIFY(!outro.Resultado());
    }
    QVERIFY(cancelado.elapsed() < SEGUNDOS_DO_LEITOR * 1000);
}

void TesteJanela::RefazerIgualAoCli_data() {
    QTest::addColumn<int>("tamanho");
    QTest::addColumn<int>("nivel");
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<bool>("dicas");
    QTest::addColumn<uint32_t>("codigo");
    QTest::addColumn<QStringList>("opcoes");
    QTest::addColumn<QString>("escolha");
    QTest::newRow("7 × 7, nível 2, título, sem dicas")
        << 3 << 1 << "3"
        << "  Férias de Verão " << false << 0x0A1B2C3Du
        << QStringList{"-t",          "7",  "-n",       "2",
                       "-p",          "3",  "--titulo", "Férias de Verão",
                       "--sem-dicas", "-s", "0A1B2C3D"}
        << "3 puzzles · 7 × 7 · nível 2; soluções sem dicas; título «Férias de Verão».";
    QTest::newRow("8 × 8, Progressiva, com dicas")
        << 0 << 5 << "5"
        << "" << true << 0xFFu << QStringList{"-n", "P", "-p", "5", "-s", "ff"}
        << "5 puzzles · 8 × 8 · progressiva: 1 + 1 + 1 + 1 + 1; soluções com dicas; sem título.";
}

// A book made again from its code in the window (Ctrl+R) is the book tavrelo-cli makes
// with the same options and -s, puzzle for puzzle.
void TesteJanela::RefazerIgualAoCli() {
    QFETCH(int, tamanho);
    QFETCH(int, nivel);
    QFETCH(QString, numero);
    QFETCH(QString, titulo);
    QFETCH(bool, dicas);
    QFETCH(uint32_t, codigo);
    QFETCH(QStringList, opcoes);
    QFETCH(QString, escolha);

    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("refeito.pdf");
    j.Refazer = TLivroARefazer{codigo, std::nullopt};
    Escolher(j, tamanho, nivel, numero);
    Controlo<QLineEdit>(j, "EditTituloLivro")->setText(titulo);
    Controlo<QCheckBox>(j, "CheckBoxCaminho")->setChecked(dicas);
    QVERIFY(Mostrar(j));
    QTest::keyClick(&j, Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(j.Escolhas, QStringList{escolha});
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 1);
    const QString hexadecimal = QString("%1").arg(codigo, 8, 16, QChar('0')).toUpper();
    QVERIFY2(Estado(j).endsWith("Código do livro: " + hexadecimal), qPrintable(Estado(j)));

    const teste::TResultadoProcesso cli =
        teste::Correr(TAVRELO_CLI_PATH, opcoes + QStringList{"--sem-pdf", "--json", "-", "-q"});
    QCOMPARE(cli.Estado, 0);
    const nlohmann::json daLinha = nlohmann::json::parse(cli.Saida.toStdString());
    const nlohmann::json daJanela = teste::LivroEmJson(gravacoes->Livro);
    QCOMPARE(daJanela.size(), daLinha.size());
    QVERIFY2(daJanela == daLinha,
             qPrintable(QString::fromStdString(daJanela["Config"].dump() + " / " +
                                               daLinha["Config"].dump())));
}

// A book remade from its PDF in the window: every choice comes from the recipe, and the
// book is the one the command line made. A Progressiva of fewer puzzles than levels, which the
// window does not make, is refused without touching the choices.
void TesteJanela::RefazerDeUmPdf() {
    QTemporaryDir pasta;
    const QString pdf = pasta.filePath("original.pdf");
    const QStringList opcoes{"-t",       "11",          "-n",          "3",  "-p",  "2",
                             "--titulo", "Pão; soma=0", "--sem-dicas", "-s", "BEEF"};
    QCOMPARE(teste::Correr(TAVRELO_CLI_PATH, opcoes + QStringList{"-q", "-o", pdf}).Estado, 0);
    const teste::TResultadoProcesso json =
        teste::Correr(TAVRELO_CLI_PATH, opcoes + QStringList{"-q", "--sem-pdf", "--json", "-"});
    QCOMPARE(json.Estado, 0);

    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("refeito.pdf");
    const TLeituraDaReceita receita = LerReceitaDoPdf(pdf.toStdString());
    QVERIFY2(receita.Receita, receita.Motivo.c_str());
    j.Refazer = TLivroARefazer{receita.Receita->Config.Semente, receita.Receita};
    QVERIFY(Mostrar(j));
    QTest::keyClick(&j, Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(j.NomesPropostos, QStringList{"Tavrelo_11x11_N3_2.pdf"});
    QVERIFY(Radio(j, "RadioGroupTamanho", 4)->isChecked());
    QVERIFY(Radio(j, "RadioGroupNivel", 2)->isChecked());
    QCOMPARE(EditNumero(j)->text(), QString("2"));
    QCOMPARE(Controlo<QLineEdit>(j, "EditTituloLivro")->text(), QString("Pão; soma=0"));
    QVERIFY(!Controlo<QCheckBox>(j, "CheckBoxCaminho")->isChecked());
    EsperarFim(j);
    QVERIFY(j.Avisos.isEmpty());
    QVERIFY(Estado(j).endsWith("Código do livro: 0000BEEF"));
    QVERIFY(teste::LivroEmJson(gravacoes->Livro) ==
            nlohmann::json::parse(json.Saida.toStdString()));

    const QString curto = pasta.filePath("curto.pdf");
    QCOMPARE(teste::Correr(TAVRELO_CLI_PATH, {"-n", "P", "-p", "3", "-s", "1", "-q", "-o", curto})
                 .Estado,
             0);
    const TLeituraDaReceita deCurto = LerReceitaDoPdf(curto.toStdString());
    QVERIFY(deCurto.Receita);
    j.Refazer = TLivroARefazer{1, deCurto.Receita};
    QTest::keyClick(&j, Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(j.Avisos, QStringList{"Este livro tem 3 puzzles na dificuldade Progressiva, que a "
                                   "janela não faz (pede pelo menos 5). O tavrelo-cli refá-lo: "
                                   "tavrelo-cli --refazer LIVRO.pdf"});
    QCOMPARE(j.NomesPropostos.size(), 1);
    QVERIFY(Radio(j, "RadioGroupTamanho", 4)->isChecked());
    QCOMPARE(EditNumero(j)->text(), QString("2"));
    QCOMPARE(j.Estado(), TEstadoJanela::ejLivre);
}

// A book made again from its PDF is never written over that PDF, under any of its names,
// as on the command line; the same message, and nothing made.
void TesteJanela::RefazerPorCimaDaOrigem() {
    QTemporaryDir pasta;
    const QString pdf = pasta.filePath("original.pdf");
    QCOMPARE(teste::Correr(TAVRELO_CLI_PATH,
                           {"-t", "8", "-n", "2", "-p", "1", "-s", "7", "-q", "-o", pdf})
                 .Estado,
             0);
    QVERIFY(QFile::link(pdf, pasta.filePath("ligacao.pdf")));
    const TLeituraDaReceita receita = LerReceitaDoPdf(pdf.toStdString());
    QVERIFY2(receita.Receita, receita.Motivo.c_str());
    const QByteArray antes = [&] {
        QFile f(pdf);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.Refazer = TLivroARefazer{7, receita.Receita, pdf};
    QVERIFY(Mostrar(j));
    for (const QString& nome : {pdf, pasta.filePath("ligacao.pdf")}) {
        j.Avisos.clear();
        j.FicheiroEscolhido = nome;
        QTest::keyClick(&j, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(j.Avisos,
                 QStringList{"O livro refeito não pode ser gravado por cima do PDF de onde vem a "
                             "receita («" +
                             nome + "»): escolha outro nome."});
        QCOMPARE(j.Estado(), TEstadoJanela::ejLivre);
    }
    QCOMPARE(gravacoes->Chamadas, 0);
    QFile depois(pdf);
    QVERIFY(depois.open(QIODevice::ReadOnly));
    QCOMPARE(depois.readAll(), antes);

    // Another name is taken.
    j.FicheiroEscolhido = pasta.filePath("refeito.pdf");
    QTest::keyClick(&j, Qt::Key_R, Qt::ControlModifier);
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 1);
}

void TesteJanela::Arranque() {
    const struct {
        const char* Plataforma;
        bool Precisa;
    } plataformas[] = {
        {"", true},
        {"xcb", true},
        {"wayland", true},
        {"wayland-egl", true},
        {"wayland;xcb", true},
        {"xcb:nograb", true},
        {"offscreen", false},
        {"offscreen:fontengine=freetype", false},
        {"xcb;offscreen", false},
        {"minimal", false},
        {"vnc", false},
    };
    for (const auto& p : plataformas) {
        QVERIFY2(PlataformaPrecisaDeEcra(p.Plataforma) == p.Precisa, p.Plataforma);
    }

    using V = std::vector<std::string>;
    const TSessaoGrafica semEcra{};
    const TSessaoGrafica x11{":0", "", ""};
    const struct {
        V Args;
        TSessaoGrafica Sessao;
        TAccaoArranque Accao;
    } casos[] = {
        {{"--version"}, semEcra, TAccaoArranque::aaVersao},
        {{"--help"}, semEcra, TAccaoArranque::aaAjuda},
        {{"-h"}, x11, TAccaoArranque::aaAjuda},
        {{}, semEcra, TAccaoArranque::aaSemEcra},
        {{"-style", "fusion"}, semEcra, TAccaoArranque::aaSemEcra},
        {{}, x11, TAccaoArranque::aaJanela},
        {{}, {"", "wayland-0", ""}, TAccaoArranque::aaJanela},
        {{}, {"", "", "offscreen"}, TAccaoArranque::aaJanela},
        {{}, {"", "", "xcb"}, TAccaoArranque::aaSemEcra},
    };
    for (const auto& c : casos) {
        QCOMPARE(LerArranque(c.Args, c.Sessao).Accao, c.Accao);
    }
    QCOMPARE(LerArranque({"--version"}, x11).Texto,
             std::string("tavrelo ") + VersaoDoPrograma() + "\n");

    // "-platform NAME" is Qt's own option and wins over QT_QPA_PLATFORM.
    const QByteArray antes = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "xcb");
    const TSessaoGrafica comArgumento = SessaoDoProcesso({"-platform", "offscreen"});
    const TSessaoGrafica semArgumento = SessaoDoProcesso({});
    qputenv("QT_QPA_PLATFORM", antes);
    QCOMPARE(comArgumento.Plataforma, std::string("offscreen"));
    QCOMPARE(semArgumento.Plataforma, std::string("xcb"));
}

// An X display that takes connections and never answers, as one whose server stopped: a
// socket in the abstract namespace where X clients look first, so no file is made.
class TEcraParado {
  public:
    TEcraParado() {
        // From :7000 up, clear of the display that is not there at all (:6543).
        for (int n = 7000 + static_cast<int>(::getpid() % 1000); n < 9000 && FNumero < 0; ++n) {
            FSocket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un endereco{};
            endereco.sun_family = AF_UNIX;
            const std::string nome = "/tmp/.X11-unix/X" + std::to_string(n);
            std::memcpy(endereco.sun_path + 1, nome.data(), nome.size());
            const auto tamanho =
                static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + nome.size());
            if (::bind(FSocket, reinterpret_cast<sockaddr*>(&endereco), tamanho) == 0 &&
                ::listen(FSocket, 16) == 0) {
                FNumero = n;
            } else {
                ::close(FSocket);
                FSocket = -1;
            }
        }
    }
    ~TEcraParado() {
        if (FSocket >= 0) {
            ::close(FSocket);
        }
    }
    QString Display() const { return QString(":%1").arg(FNumero); }
    // Its listening socket, for a display that does answer (TEcraQueRecusa).
    int Socket() const { return FSocket; }

  private:
    int FSocket = -1;
    int FNumero = -1;
};

// Connects to the abstract socket of the X display :ANumero (where X clients look first).
int LigarAoEcra(int ANumero) {
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un endereco{};
    endereco.sun_family = AF_UNIX;
    const std::string nome = "/tmp/.X11-unix/X" + std::to_string(ANumero);
    std::memcpy(endereco.sun_path + 1, nome.data(), nome.size());
    const auto tamanho = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + nome.size());
    if (::connect(s, reinterpret_cast<sockaddr*>(&endereco), tamanho) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

// An X display of the test's own that drops its first connections at once, as an X server
// that resets (when its last client leaves) or is still starting does, and then relays every
// other one to the display :ADestino.
class TEcraQueRecusa {
  public:
    // On a display that, as it stands, takes connections and never answers.
    TEcraQueRecusa(int ADestino, int ARecusas)
        : FDestino(ADestino), FRecusas(ARecusas), FEscuta(FEcra.Socket()) {
        FFio = std::thread([this] { Servir(); });
    }
    ~TEcraQueRecusa() {
        FParar = true;
        FFio.join();
    }
    QString Display() const { return FEcra.Display(); }
    int Recusadas() const { return FRecusadas; }

  private:
    void Servir() {
        std::vector<std::pair<int, int>> pares; // (client, display), relayed both ways
        while (!FParar) {
            std::vector<pollfd> fds{{FEscuta, POLLIN, 0}};
            for (const auto& [a, b] : pares) {
                fds.push_back({a, POLLIN, 0});
                fds.push_back({b, POLLIN, 0});
            }
            if (::poll(fds.data(), fds.size(), 50) <= 0) {
                continue;
            }
            std::vector<std::pair<int, int>> vivos;
            for (size_t i = 0; i < pares.size(); ++i) {
                const int lados[2] = {pares[i].first, pares[i].second};
                bool fechado = false;
                for (size_t k = 0; k < 2 && !fechado; ++k) {
                    if ((fds[1 + 2 * i + k].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                        continue;
                    }
                    fechado = !Passar(lados[k], lados[1 - k]);
                }
                if (fechado) {
                    ::close(lados[0]);
                    ::close(lados[1]);
                } else {
                    vivos.push_back(pares[i]);
                }
            }
            pares.swap(vivos);
            if ((fds[0].revents & POLLIN) != 0) {
                const int cliente = ::accept4(FEscuta, nullptr, nullptr, SOCK_CLOEXEC);
                if (cliente >= 0 && FRecusadas < FRecusas) {
                    ++FRecusadas;
                    ::close(cliente);
                } else if (cliente >= 0) {
                    pares.emplace_back(cliente, LigarAoEcra(FDestino));
                }
            }
        }
        for (const auto& [a, b] : pares) {
            ::close(a);
            ::close(b);
        }
    }

    // What one side sent, to the other, with the descriptors it passed (Qt hands the server
    // its shared memory so); false once a side is closed.
    static bool Passar(int ADe, int APara) {
        char bloco[65536];
        alignas(cmsghdr) char controlo[CMSG_SPACE(16 * sizeof(int))];
        iovec parte{bloco, sizeof bloco};
        msghdr m{};
        m.msg_iov = &parte;
        m.msg_iovlen = 1;
        m.msg_control = controlo;
        m.msg_controllen = sizeof controlo;
        const ssize_t n = ::recvmsg(ADe, &m, MSG_CMSG_CLOEXEC);
        if (n <= 0) {
            return false;
        }
        parte.iov_len = static_cast<size_t>(n);
        if (m.msg_controllen == 0) {
            m.msg_control = nullptr;
        }
        const bool passado = ::sendmsg(APara, &m, MSG_NOSIGNAL) == n;
        for (cmsghdr* c = CMSG_FIRSTHDR(&m); c != nullptr; c = CMSG_NXTHDR(&m, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS) {
                const size_t quantos = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
                for (size_t i = 0; i < quantos; ++i) {
                    int d = -1;
                    std::memcpy(&d, CMSG_DATA(c) + i * sizeof(int), sizeof d);
                    ::close(d);
                }
            }
        }
        return passado;
    }

    TEcraParado FEcra;
    int FDestino;
    int FRecusas;
    int FEscuta;
    std::atomic<int> FRecusadas{0};
    std::atomic<bool> FParar{false};
    std::thread FFio;
};

// Whether the display :ANumero shows a window of that title (a child of the root: no window
// manager runs there).
bool JanelaVisivel(int ANumero, const char* ATitulo) {
    xcb_connection_t* x = xcb_connect((":" + std::to_string(ANumero)).c_str(), nullptr);
    bool vista = false;
    if (xcb_connection_has_error(x) == 0) {
        const xcb_window_t raiz = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
        xcb_query_tree_reply_t* arvore = xcb_query_tree_reply(x, xcb_query_tree(x, raiz), nullptr);
        const int n = arvore != nullptr ? xcb_query_tree_children_length(arvore) : 0;
        const xcb_window_t* filhos = arvore != nullptr ? xcb_query_tree_children(arvore) : nullptr;
        for (int i = 0; i < n && !vista; ++i) {
            xcb_get_property_reply_t* nome = xcb_get_property_reply(
                x, xcb_get_property(x, 0, filhos[i], XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 256),
                nullptr);
            xcb_get_window_attributes_reply_t* atributos = xcb_get_window_attributes_reply(
                x, xcb_get_window_attributes(x, filhos[i]), nullptr);
            vista =
                nome != nullptr && atributos != nullptr &&
                atributos->map_state == XCB_MAP_STATE_VIEWABLE &&
                std::string(static_cast<const char*>(xcb_get_property_value(nome)),
                            static_cast<size_t>(xcb_get_property_value_length(nome))) == ATitulo;
            std::free(nome);
            std::free(atributos);
        }
        std::free(arvore);
    }
    xcb_disconnect(x);
    return vista;
}

// An X display that drops the program's first connections, as an X server does while it
// resets (when its last client has left, unless started with -noreset) or while it starts: the
// program tries again and opens its window, instead of giving up at once with "could not
// connect to display". The display is a real Xvfb, reached through a relay of the test's own
// that drops the first connections; skipped where Xvfb is not installed.
// A user whose limit of processes leaves the window no thread but its own: the program says
// so and ends, instead of a window that freezes at its first large picture, its parts
// waiting for ever on threads Qt was refused. The superuser has no such limit, so the
// program runs as nobody, from a copy where nobody can reach it.
void TesteJanela::ProgramaSemFios() {
    if (::geteuid() != 0) {
        QSKIP("only the superuser can run the program as nobody");
    }
    const passwd* ninguem = ::getpwnam("nobody");
    QVERIFY(ninguem != nullptr);
    QTemporaryDir pasta;
    QVERIFY(QFile::setPermissions(pasta.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner | QFile::ReadOther |
                                                    QFile::ExeOther));
    const QString programa = pasta.filePath("tavrelo");
    QVERIFY(QFile::copy(TAVRELO_JANELA_PATH, programa));
    QProcess p;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert("QT_QPA_PLATFORM", "offscreen");
    ambiente.insert("HOME", pasta.path());
    ambiente.insert("XDG_RUNTIME_DIR", pasta.path());
    // The leak check at the end starts a thread of its own, which the limit refuses.
    ambiente.insert("ASAN_OPTIONS", "detect_leaks=0");
    ambiente.remove("LSAN_OPTIONS");
    p.setProcessEnvironment(ambiente);
    const uid_t uid = ninguem->pw_uid;
    const gid_t gid = ninguem->pw_gid;
    p.setChildProcessModifier([uid, gid] {
        const rlimit umSo{1, 1};
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0 ||
            ::setrlimit(RLIMIT_NPROC, &umSo) != 0) {
            ::_exit(126);
        }
    });
    p.start(programa, {});
    if (!p.waitForStarted(20000)) {
        QSKIP("the program could not start as nobody (other processes of nobody's)");
    }
    QVERIFY2(p.waitForFinished(60000), "the window went on without the threads it needs");
    const QString erros = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QVERIFY2(p.exitCode() != 126, "could not become nobody");
    QCOMPARE(p.exitCode(), 1);
    QVERIFY2(erros.startsWith(QString::fromStdString(MensagemQtSemFio())), qPrintable(erros));
}

void TesteJanela::EcraQueRecusaNoArranque() {
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty()) {
        QSKIP("Xvfb is not installed (package xvfb)");
    }
    int numero = 6000 + static_cast<int>(::getpid() % 1000);
    while (QFile::exists(QString("/tmp/.X%1-lock").arg(numero))) {
        ++numero;
    }
    QProcess servidor;
    servidor.start(xvfb,
                   {QString(":%1").arg(numero), "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
    QVERIFY(servidor.waitForStarted());
    const std::unique_ptr<QProcess, void (*)(QProcess*)> parar(&servidor, [](QProcess* p) {
        p->terminate();
        p->waitForFinished(10000);
    });
    // Ready once it takes connections.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            const int s = LigarAoEcra(numero);
            if (s >= 0) {
                ::close(s);
            }
            return s >= 0;
        }(),
        30000);

    TEcraQueRecusa recusa(numero, 3);
    QProcess programa;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    for (const char* nome : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"}) {
        ambiente.remove(nome);
    }
    ambiente.insert("DISPLAY", recusa.Display());
    QTemporaryDir sessao;
    ambiente.insert("XDG_RUNTIME_DIR", sessao.path());
    programa.setProcessEnvironment(ambiente);
    programa.start(TAVRELO_JANELA_PATH, {});
    QVERIFY(programa.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(JanelaVisivel(numero, "TAVRELO | Brovanel") ||
                                 programa.state() == QProcess::NotRunning,
                             60000);
    QVERIFY2(programa.state() == QProcess::Running,
             qPrintable(QString::fromUtf8(programa.readAllStandardError())));
    QCOMPARE(recusa.Recusadas(), 3);
    ::kill(static_cast<pid_t>(programa.processId()), SIGTERM);
    QVERIFY(programa.waitForFinished(30000));
    QVERIFY2(programa.exitCode() == 128 + SIGTERM,
             qPrintable(QString::fromUtf8(programa.readAllStandardError())));
}

// The built program, started as a user starts it: --version and --help answer without a
// display; without one it says so in Portuguese, and so it does, followed by Qt's own words,
// when the display named does not answer; a display that stopped answering is given up on
// after a while. Options neither the program nor Qt knows are refused.
void TesteJanela::ProgramaSemEcra() {
    const QString programa = TAVRELO_JANELA_PATH;
    const QList<QPair<QString, QString>> semEcra = {{"DISPLAY", ""},
                                                    {"WAYLAND_DISPLAY", ""},
                                                    {"QT_QPA_PLATFORM", ""},
                                                    {"XDG_SESSION_TYPE", ""}};

    // The stopped display takes the longest: it runs while the rest is tried.
    TEcraParado parado;
    QTemporaryDir sessao;
    QProcess esperando;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    for (const auto& [nome, valor] : semEcra) {
        ambiente.remove(nome);
    }
    ambiente.insert("DISPLAY", parado.Display());
    ambiente.insert("XDG_RUNTIME_DIR", sessao.path());
    esperando.setProcessEnvironment(ambiente);
    esperando.start(programa, {});

    const teste::TResultadoProcesso versao = teste::Correr(programa, {"--version"}, semEcra);
    QCOMPARE(versao.Estado, 0);
    QCOMPARE(versao.Saida, QString("tavrelo %1\n").arg(VersaoDoPrograma()));
    QCOMPARE(versao.Erros, QString());

    const teste::TResultadoProcesso ajuda = teste::Correr(programa, {"--help"}, semEcra);
    QCOMPARE(ajuda.Estado, 0);
    QVERIFY(ajuda.Saida.startsWith("Utilização: tavrelo"));
    QVERIFY(ajuda.Saida.contains("--version"));
    QVERIFY(ajuda.Saida.contains("tavrelo-cli"));

    // What cannot reach standard output (a full disk, made here) is not a success.
    QTemporaryDir pasta;
    const QByteArray cheio = QFile::encodeName(pasta.filePath("cheio"));
    if (::mknod(cheio.constData(), S_IFCHR | 0666, ::makedev(1, 7)) == 0) {
        for (const char* opcao : {"--help", "--version"}) {
            QProcess p;
            QProcessEnvironment a = QProcessEnvironment::systemEnvironment();
            for (const auto& [nome, valor] : semEcra) {
                a.remove(nome);
            }
            p.setProcessEnvironment(a);
            p.setStandardOutputFile(pasta.filePath("cheio"));
            p.start(programa, {opcao});
            QVERIFY(p.waitForFinished(20000));
            QCOMPARE(p.exitCode(), 1);
            QCOMPARE(QString::fromUtf8(p.readAllStandardError()),
                     QString("Não foi possível escrever na saída padrão: não há espaço livre no "
                             "disco.\n"));
        }
    }

    const struct {
        QStringList Argumentos;
        const char* Erros;
    } recusas[] = {
        {{"--bogus"}, "tavrelo: opção desconhecida: «--bogus».\n"},
        {{"-style", "fusion", "-x"}, "tavrelo: opção desconhecida: «-x».\n"},
        {{"--platform"}, "tavrelo: falta o valor da opção «--platform».\n"},
        {{"livro.pdf"}, "tavrelo: argumento inesperado: «livro.pdf».\n"},
    };
    for (const auto& r : recusas) {
        const teste::TResultadoProcesso recusa = teste::Correr(programa, r.Argumentos, semEcra);
        QCOMPARE(recusa.Estado, 2);
        QCOMPARE(recusa.Erros,
                 QString::fromUtf8(r.Erros) + "Use tavrelo --help para ver as opções.\n");
        QCOMPARE(recusa.Saida, QString());
    }

    const teste::TResultadoProcesso sem = teste::Correr(programa, {"-style=fusion"}, semEcra);
    QCOMPARE(sem.Estado, 1);
    QCOMPARE(sem.Saida, QString());
    QCOMPARE(sem.Erros, QString::fromStdString(LerArranque({}, {}).Texto));
    QVERIFY(sem.Erros.contains("tavrelo-cli"));

    auto mortos = semEcra;
    mortos.append(qMakePair(QString("DISPLAY"), QString(":6543")));
    const teste::TResultadoProcesso morto = teste::Correr(programa, {}, mortos);
    QCOMPARE(morto.Estado, 1);
    const QString naoRespondeu =
        QString::fromStdString(MensagemSessaoNaoRespondeu({":6543", "", ""}));
    QVERIFY2(morto.Erros.startsWith(naoRespondeu), qPrintable(morto.Erros));
    // Then Qt's own words, which name the cause.
    QVERIFY2(morto.Erros.mid(naoRespondeu.size()).contains(":6543"), qPrintable(morto.Erros));

    QVERIFY(esperando.waitForFinished(60000));
    QCOMPARE(esperando.exitStatus(), QProcess::NormalExit);
    QCOMPARE(esperando.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(esperando.readAllStandardError()),
             QString::fromStdString(
                 MensagemSessaoNaoRespondeu({parado.Display().toStdString(), "", ""})));
    QCOMPARE(QDir(sessao.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

// The program ending on a signal while the pages are written: they stop, nothing is
// written, nothing is asked, and the window closes.
void TesteJanela::PararParaSair() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    auto portao = std::make_shared<teste::TPortao>();
    auto paginas = std::make_shared<std::atomic<int32_t>>(0);
    j.DefinirGravador(teste::GravadorDePaginas(gravacoes, portao, paginas));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 3, 0, "2");
    QVERIFY(Mostrar(j));
    Botao(j, "BitBtnGerar")->click();
    QTRY_COMPARE_WITH_TIMEOUT(Estado(j), QString("A criar o PDF…"), 200000);

    j.PararParaSair();
    portao->Abrir();
    EsperarFim(j);
    QCOMPARE(paginas->load(), 0);
    QCOMPARE(gravacoes->Chamadas, 0);
    QCOMPARE(QDir(pasta.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    QVERIFY(j.Perguntas.isEmpty());
    QVERIFY(!j.isVisible());
}

// Every signal that ends the built program ends it with 128 + its number and removes the
// folder of Qt's settings: SIGTERM (the session ending) in order, the others at once, through
// the same clean-up as a second INT or TERM.
void TesteJanela::SinalTerminaOPrograma() {
    const struct {
        const char* Nome;
        int Sinal;
    } casos[] = {{"TERM", SIGTERM}, {"QUIT", SIGQUIT}, {"USR1", SIGUSR1},
                 {"USR2", SIGUSR2}, {"ALRM", SIGALRM}, {"PIPE", SIGPIPE}};
    QTemporaryDir casa;
    std::vector<std::unique_ptr<QTemporaryDir>> sessoes;
    std::vector<std::unique_ptr<QProcess>> programas;
    for (size_t i = 0; i < std::size(casos); ++i) {
        sessoes.push_back(std::make_unique<QTemporaryDir>());
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.remove("DISPLAY");
        ambiente.remove("WAYLAND_DISPLAY");
        ambiente.insert("QT_QPA_PLATFORM", "offscreen");
        ambiente.insert("HOME", casa.path());
        ambiente.insert("XDG_RUNTIME_DIR", sessoes.back()->path());
        programas.push_back(std::make_unique<QProcess>());
        programas.back()->setProcessEnvironment(ambiente);
        // As from a terminal: a test run in the background has QUIT ignored, and an ignored
        // signal stays ignored in the program.
        programas.back()->setChildProcessModifier([] { std::signal(SIGQUIT, SIG_DFL); });
        programas.back()->start(TAVRELO_JANELA_PATH, {});
    }
    for (size_t i = 0; i < std::size(casos); ++i) {
        const QDir sessao(sessoes[i]->path());
        QTRY_VERIFY_WITH_TIMEOUT(!sessao.entryList({"tavrelo-*"}, QDir::Dirs).isEmpty(), 60000);
        ::kill(static_cast<pid_t>(programas[i]->processId()), casos[i].Sinal);
    }
    for (size_t i = 0; i < std::size(casos); ++i) {
        QProcess& programa = *programas[i];
        QVERIFY2(programa.state() == QProcess::NotRunning || programa.waitForFinished(60000),
                 casos[i].Nome);
        QCOMPARE(programa.exitStatus(), QProcess::NormalExit);
        QVERIFY2(programa.exitCode() == 128 + casos[i].Sinal,
                 qPrintable(QString("%1: %2").arg(casos[i].Nome).arg(programa.exitCode())));
        QVERIFY2(
            QDir(sessoes[i]->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty(),
            casos[i].Nome);
    }
    QCOMPARE(QDir(casa.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

// Every control of the window is named for a screen reader by what it is, its groups by their
// own titles, with a description where the name is short; the number edit reports its value
// and range.
void TesteJanela::NomesParaOLeitorDeEcra() {
    TJanelaTeste j;
    const QList<teste::TLido> arvore = teste::LerArvore(j);
    const auto lido = [&](const QString& AObjeto) {
        for (const teste::TLido& l : arvore) {
            if (l.Objeto == AObjeto) {
                return l;
            }
        }
        return teste::TLido{};
    };
    const struct {
        const char* Objeto;
        QAccessible::Role Papel;
        const char* Nome;
    } controlos[] = {
        {"RadioGroupTamanho", QAccessible::Grouping, "Tamanho"},
        {"RadioGroupNivel", QAccessible::Grouping, "Dificuldade"},
        {"EditNumPuzzles", QAccessible::SpinBox, "Número de puzzles"},
        {"EditTituloLivro", QAccessible::EditableText, "Título do livro"},
        {"CheckBoxCaminho", QAccessible::CheckBox, "Soluções com dicas"},
        {"CheckBoxAbrirPDF", QAccessible::CheckBox, "Abrir o PDF"},
        {"BotaoAjuda", QAccessible::ButtonMenu, "Ajuda"},
        {"BitBtnRefazer", QAccessible::Button, "Refazer um livro…"},
        {"BitBtnGerar", QAccessible::Button, "Gerar Livro"},
        {"BitBtnCancelar", QAccessible::Button, "Cancelar"},
        {"BitBtnSair", QAccessible::Button, "Sair"},
        {"BitBtnAbrirPasta", QAccessible::Button, "Abrir a pasta"},
        {"BitBtnCopiarCodigo", QAccessible::Button, "Copiar o código"},
        {"LabelEstado", QAccessible::StaticText, "Linha de estado"},
        {"ProgressBarLote", QAccessible::ProgressBar, "Progresso do livro"},
    };
    for (const auto& c : controlos) {
        const teste::TLido l = lido(c.Objeto);
        QVERIFY2(l.Papel == c.Papel,
                 qPrintable(QString("%1: papel %2").arg(c.Objeto).arg(l.Papel)));
        QCOMPARE(l.Nome, QString::fromUtf8(c.Nome));
        QVERIFY2(!l.Descricao.isEmpty(), c.Objeto);
    }
    // The items of the two groups: their own text, and what they choose as description.
    for (int i = 0; i < 6; ++i) {
        const auto* tamanho =
            QAccessible::queryAccessibleInterface(Radio(j, "RadioGroupTamanho", i));
        const auto* nivel = QAccessible::queryAccessibleInterface(Radio(j, "RadioGroupNivel", i));
        QCOMPARE(tamanho->text(QAccessible::Name), Radio(j, "RadioGroupTamanho", i)->text());
        QCOMPARE(tamanho->text(QAccessible::Description), DicaDoTamanho(i));
        QCOMPARE(nivel->text(QAccessible::Name), Radio(j, "RadioGroupNivel", i)->text());
        QCOMPARE(nivel->text(QAccessible::Description), DicaDaDificuldade(i));
    }
    QCOMPARE(teste::SemNome(j), QStringList());

    // The number's value and range follow what is typed and the difficulty.
    QAccessibleInterface* numero =
        QAccessible::queryAccessibleInterface(Controlo<TEditComSetas>(j, "EditNumPuzzles"));
    QAccessibleValueInterface* valor = numero->valueInterface();
    QVERIFY(valor != nullptr);
    const auto lerValor = [&] {
        return std::make_tuple(valor->currentValue().toInt(), valor->minimumValue().toInt(),
                               valor->maximumValue().toInt());
    };
    QCOMPARE(lerValor(), std::make_tuple(50, 5, 100));
    QCOMPARE(numero->text(QAccessible::Description),
             QString("Quantos puzzles tem o livro: de 5 a 100."));
    Radio(j, "RadioGroupNivel", 1)->click();
    EditNumero(j)->setText("7");
    QCOMPARE(lerValor(), std::make_tuple(7, 1, 100));
    QCOMPARE(numero->text(QAccessible::Description),
             QString("Quantos puzzles tem o livro: de 1 a 100."));
    Controlo<TEditComSetas>(j, "EditNumPuzzles")->stepBy(2);
    QCOMPARE(lerValor(), std::make_tuple(9, 1, 100));
}

// The help, the boxes, the save dialog and the code's dialog name every control too.
void TesteJanela::NomesNosDialogos() {
    TJanelaTeste j;
    QVERIFY(Mostrar(j));
    TJanelaDeAjuda ajuda(&j);
    QCOMPARE(teste::SemNome(ajuda), QStringList());
    TDialogoCodigo codigo("8 × 8");
    QCOMPARE(teste::SemNome(codigo), QStringList());

    // A box is read once it is open, then closed.
    const auto naCaixa = [](const std::function<void()>& AAbrir) {
        QStringList r{"a caixa não abriu"};
        QTimer relogio;
        QObject::connect(&relogio, &QTimer::timeout, [&] {
            if (auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                r = teste::SemNome(*caixa);
                caixa->reject();
            }
        });
        relogio.start(10);
        AAbrir();
        return r;
    };
    QCOMPARE(naCaixa([&] { tavrelo::MostrarAcerca(&j); }), QStringList());
    QCOMPARE(naCaixa([&] { tavrelo::MostrarCaixa(&j, QMessageBox::Warning, "Aviso."); }),
             QStringList());
    QCOMPARE(naCaixa([&] { tavrelo::PerguntarSimNao(&j, "Continuar?"); }), QStringList());

    QStringList noDialogo{"o diálogo não abriu"};
    j.DialogoVerdadeiro = true;
    teste::ResponderAosDialogos({""}, QString(),
                                [&](QFileDialog& d) { noDialogo = teste::SemNome(d); });
    Botao(j, "BitBtnGerar")->click();
    QCOMPARE(noDialogo, QStringList());
}

// The book code is copied with the keyboard: once a book is saved, Tab goes from "Gerar
// Livro" to "Abrir a pasta" and "Copiar o código", which puts the code on the clipboard and
// says so; a screen reader hears the whole status line.
void TesteJanela::CodigoPeloTeclado() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "1");
    QVERIFY(Mostrar(j));
    QPushButton* copiar = Botao(j, "BitBtnCopiarCodigo");
    QVERIFY(!copiar->isVisibleTo(&j));

    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    const QString codigo = QString::fromStdString(gravacoes->Livro.Codigo);
    const QString linha = Estado(j);
    QVERIFY2(linha.startsWith("Livro gerado: ") && linha.endsWith(codigo), qPrintable(linha));
    QVERIFY(copiar->isVisibleTo(&j));
    QVERIFY(copiar->toolTip().contains(codigo));
    QCOMPARE(QApplication::focusWidget(), Botao(j, "BitBtnGerar"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Botao(j, "BitBtnAbrirPasta"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), copiar);
    QGuiApplication::clipboard()->setText("outra coisa");
    QTest::keyClick(copiar, Qt::Key_Space);
    QCOMPARE(QGuiApplication::clipboard()->text(), codigo);
    QCOMPARE(Estado(j), linha + " (copiado)");
    QCOMPARE(Controlo<QLabel>(j, "LabelEstado")->accessibleName(), Estado(j));
    // Alt+O copies it from anywhere, once more said once.
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(Controlo<QLineEdit>(j, "EditTituloLivro"), Qt::Key_O, Qt::AltModifier);
    QTRY_COMPARE(QGuiApplication::clipboard()->text(), codigo);
    QCOMPARE(Estado(j), linha + " (copiado)");

    // A cancelled book has no code to copy.
    auto portao = std::make_shared<teste::TPortao>();
    j.DefinirGerador(teste::GeradorComPortao(portao));
    Botao(j, "BitBtnGerar")->click();
    Premir(Qt::Key_Escape, false);
    portao->Abrir();
    EsperarFim(j);
    QVERIFY(!copiar->isVisibleTo(&j));
}

// The help fits any screen from 1024 × 600, at 1× and at 2× (a free area half as large): its
// text scrolls, wraps, and "Fechar" stays in sight. It says how a book is made and where it
// goes, in the book's own words, a key a line.
void TesteJanela::AjudaQueCabe() {
    const QSize desejado = TamanhoDaAjuda(QRect(0, 0, 4000, 3000));
    QVERIFY(desejado.width() >= 600 && desejado.height() >= 600);
    const QRect livres[] = {{0, 0, 1024, 600}, {0, 0, 1024, 570}, {0, 0, 512, 300},
                            {0, 0, 512, 285},  {0, 0, 960, 540},  {50, 30, 1366, 738}};
    for (const QRect& livre : livres) {
        const QSize t = TamanhoDaAjuda(livre);
        QVERIFY2(t.width() + 16 <= livre.width() && t.height() + 40 <= livre.height(),
                 qPrintable(QString("%1 × %2").arg(livre.width()).arg(livre.height())));
        QCOMPARE(t, desejado.boundedTo(t));
    }

    TJanelaTeste j;
    TJanelaDeAjuda ajuda(&j);
    const QSize menor = TamanhoDaAjuda(QRect(0, 0, 512, 285));
    QVERIFY(ajuda.minimumSizeHint().boundedTo(menor) == ajuda.minimumSizeHint());
    const QRect livre = j.screen()->availableGeometry();
    QVERIFY(ajuda.width() <= livre.width() && ajuda.height() <= livre.height());
    ajuda.resize(menor);
    ajuda.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ajuda));
    QCOMPARE(ajuda.size(), menor);
    auto* texto = ajuda.findChild<QTextBrowser*>("TextoDaAjuda");
    QVERIFY(texto->verticalScrollBar()->maximum() > 0);
    QCOMPARE(texto->horizontalScrollBar()->maximum(), 0);
    for (QPushButton* b : ajuda.findChildren<QPushButton*>()) {
        QVERIFY(ajuda.rect().contains(QRect(b->mapTo(&ajuda, QPoint(0, 0)), b->size())));
    }
    // Read with the keyboard: the text has the focus, Page Down scrolls it, Enter closes.
    ajuda.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&ajuda));
    QCOMPARE(QApplication::focusWidget(), texto);
    QTest::keyClick(texto, Qt::Key_PageDown);
    QVERIFY(texto->verticalScrollBar()->value() > 0);
    QTest::keyClick(texto, Qt::Key_End, Qt::ControlModifier);
    // At the end, but for the document's own margin under the last line.
    QVERIFY(texto->verticalScrollBar()->value() >=
            texto->verticalScrollBar()->maximum() - texto->fontMetrics().height());
    QTest::keyClick(texto, Qt::Key_Return);
    QTRY_VERIFY(!ajuda.isVisible());

    const QString escrito = texto->toPlainText();
    for (const char* palavra :
         {"Gerar Livro", "Guardar o livro", "pasta Documentos", "Abrir o PDF", "Abrir a pasta",
          "Copiar o código", "Uma só casa vazia", "A lista de números", "Refazer um livro…"}) {
        QVERIFY2(escrito.contains(QString::fromUtf8(palavra)), palavra);
    }
    QVERIFY(!escrito.contains("técnica das listas"));
    const QStringList linhas = escrito.split('\n');
    for (const char* tecla :
         {"Tab", "Shift+Tab", "Setas", "Enter", "Escape", "Ctrl+R", "F1", "Ctrl+Q"}) {
        QVERIFY2(linhas.contains(QString(tecla)), tecla);
    }
}

// The keyboard's place on a radio button or a check box is marked at least 3:1 against what
// is around it.
void TesteJanela::MarcaDeFocoVisivel() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(AplicarEstiloSky(*app));
    {
        TJanelaTeste j;
        QVERIFY(Mostrar(j));
        for (QAbstractButton* w : std::initializer_list<QAbstractButton*>{
                 Radio(j, "RadioGroupTamanho", 0), Radio(j, "RadioGroupNivel", 5),
                 Controlo<QCheckBox>(j, "CheckBoxCaminho"),
                 Controlo<QCheckBox>(j, "CheckBoxAbrirPDF")}) {
            const QRect lugar(w->mapTo(&j, QPoint(0, 0)), w->size());
            Botao(j, "BitBtnSair")->setFocus(Qt::TabFocusReason);
            const QImage sem = j.grab(lugar).toImage();
            w->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(w->hasFocus());
            const QImage com = j.grab(lugar).toImage();
            int32_t marcados = 0;
            for (int y = 0; y < com.height(); ++y) {
                for (int x = 0; x < com.width(); ++x) {
                    marcados += teste::Contraste(com.pixel(x, y), sem.pixel(x, y)) >= 3.0;
                }
            }
            // Around the whole control: most of its outline.
            QVERIFY2(marcados >= (lugar.width() + lugar.height()) * 3 / 2,
                     qPrintable(QString("%1: %2").arg(w->text()).arg(marcados)));
        }
    }
    app->setStyleSheet(QString());
}

// A book that cannot be written where the user chose (here a name that is a link into a
// folder gone, which stops root too) tells why and opens the save dialog again in that folder
// with the name kept; the same book is then written where the user says. Given up, the next
// "Gerar Livro" opens where the last book was written, not in the folder that failed.
void TesteJanela::GravacaoQueFalhaVoltaAoDialogo() {
    QTemporaryDir boa;
    QTemporaryDir ma;
    QVERIFY(QFile::link(ma.filePath("sumiu/livro.pdf"), ma.filePath("livro.pdf")));
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.DefinirAbridor("true");
    j.DialogoVerdadeiro = true;
    Escolher(j, 0, 0, "1");
    QVERIFY(Mostrar(j));

    QStringList pastas;
    QStringList escolhidos;
    const auto rever = [&](QFileDialog& d) {
        pastas << d.directory().path();
        escolhidos << d.selectedFiles().value(0);
    };
    teste::ResponderAosDialogos({"livro.pdf", "bom.pdf"}, ma.path(), rever);
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QCOMPARE(j.Erros.size(), 1);
    QVERIFY2(j.Erros[0].startsWith("Não foi possível gravar " + ma.filePath("livro.pdf")),
             qPrintable(j.Erros[0]));
    QCOMPARE(pastas.size(), 2);
    QCOMPARE(pastas[1], ma.path());
    QCOMPARE(escolhidos[1], ma.filePath("livro.pdf"));
    QCOMPARE(gravacoes->Chamadas, 1);
    QVERIFY(QFileInfo::exists(ma.filePath("bom.pdf")));
    QVERIFY(Estado(j).startsWith("Livro gerado: 1 puzzle, "));

    // Given up after the failure: the reason stays, and the next dialog opens in the folder
    // of the last book written.
    teste::ResponderAosDialogos({"bom.pdf"}, boa.path());
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 2);
    pastas.clear();
    teste::ResponderAosDialogos({"livro.pdf", ""}, ma.path(), rever);
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QCOMPARE(j.Erros.size(), 2);
    QCOMPARE(pastas, (QStringList{boa.path(), ma.path()}));
    QVERIFY(Estado(j).startsWith("Não foi possível gravar "));
    pastas.clear();
    teste::ResponderAosDialogos({""}, QString(), rever);
    Botao(j, "BitBtnGerar")->click();
    QCOMPARE(pastas, QStringList{boa.path()});
    QCOMPARE(gravacoes->Chamadas, 2);
}

// "Abrir a pasta" asks the desktop's file manager to show the book selected in its folder
// (org.freedesktop.FileManager1.ShowItems); with no file manager on the bus, or one that
// answers with an error, the folder is opened instead.
void TesteJanela::AbrirAPastaNoGestorDeFicheiros() {
    QTemporaryDir pasta;
    const teste::TBarramento barramento(pasta);
    QVERIFY2(!barramento.Endereco().isEmpty(), "dbus-daemon não arrancou");
    QDBusConnection daJanela = QDBusConnection::connectToBus(barramento.Endereco(), "janela");
    QDBusConnection doGestor = QDBusConnection::connectToBus(barramento.Endereco(), "gestor");
    QVERIFY(daJanela.isConnected() && doGestor.isConnected());
    teste::TGestorDeFicheiros gestor;
    QVERIFY(doGestor.registerObject("/org/freedesktop/FileManager1", &gestor,
                                    QDBusConnection::ExportAllSlots));
    {
        TJanelaTeste j;
        const QString abridor = teste::Abridor(pasta, "abre", 0);
        j.DefinirAbridor(abridor);
        j.DefinirBarramento(daJanela);
        j.DefinirGravador(teste::GravadorFalso(std::make_shared<teste::TGravacoes>()));
        j.FicheiroEscolhido = pasta.filePath("o meu livro.pdf");
        Controlo<QCheckBox>(j, "CheckBoxAbrirPDF")->setChecked(false);
        Escolher(j, 0, 0, "1");
        Botao(j, "BitBtnGerar")->click();
        EsperarFim(j);
        const QString uri = QUrl::fromLocalFile(j.FicheiroEscolhido).toString(QUrl::FullyEncoded);
        QVERIFY(uri.endsWith("o%20meu%20livro.pdf"));

        // No file manager on the bus: the folder.
        Botao(j, "BitBtnAbrirPasta")->click();
        QTRY_COMPARE(teste::Abertos(abridor), QStringList{pasta.path()});
        // A file manager: the book, selected; then one that fails: the folder again. Had the
        // first answer sent the folder too, it would be there before the second.
        QVERIFY(doGestor.registerService("org.freedesktop.FileManager1"));
        Botao(j, "BitBtnAbrirPasta")->click();
        QTRY_COMPARE(gestor.Mostrados, QStringList{uri});
        gestor.Falhar = true;
        Botao(j, "BitBtnAbrirPasta")->click();
        QTRY_COMPARE(teste::Abertos(abridor), (QStringList{pasta.path(), pasta.path()}));
        QCOMPARE(gestor.Mostrados, (QStringList{uri, uri}));
        QVERIFY(j.Avisos.isEmpty());
    }
    QDBusConnection::disconnectFromBus("janela");
    QDBusConnection::disconnectFromBus("gestor");
}

void TesteJanela::PreviaDoProximoLivro_data() {
    QTest::addColumn<int>("tamanho");
    QTest::addColumn<int>("nivel");
    QTest::addColumn<QString>("numero");
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<bool>("dicas");
    QTest::newRow("8 × 8, nível 1, título") << 0 << 0 << "2"
                                            << "Primeiro" << true;
    QTest::newRow("16 × 16, nível 1, sem dicas") << 2 << 0 << "1"
                                                 << "" << false;
    QTest::newRow("7 × 7: dois puzzles na primeira página") << 3 << 1 << "3"
                                                            << "Sete" << true;
    QTest::newRow("título que não cabe na capa")
        << 0 << 0 << "1" << QString("Quadrados mágicos ").repeated(12) << true;
}

// The preview shows the very pages VerLivro draws for the window's choices and its next
// code (which the PDF holds), under that code; "Gerar Livro" makes the book of that code,
// and the next one has another.
void TesteJanela::PreviaDoProximoLivro() {
    QFETCH(int, tamanho);
    QFETCH(int, nivel);
    QFETCH(QString, numero);
    QFETCH(QString, titulo);
    QFETCH(bool, dicas);

    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    QVERIFY(Mostrar(j));
    Escolher(j, tamanho, nivel, numero);
    Controlo<QLineEdit>(j, "EditTituloLivro")->setText(titulo);
    Controlo<QCheckBox>(j, "CheckBoxCaminho")->setChecked(dicas);

    auto* previa = Controlo<TPaginasDaPrevia>(j, "PreVisualizacao");
    const TConfigLivro config =
        teste::Config(TamanhoDoIndice(tamanho), NivelDoItem(nivel), numero.toInt(),
                      j.ProximaSemente(), titulo.toStdString(), dicas);
    const std::optional<TVistaDoLivro> vista = VerLivro(config, previa->LarguraDaPagina());
    QVERIFY(vista);
    const auto igual = [&] {
        const std::vector<TPaginaMostrada>& mostradas = previa->Paginas();
        if (mostradas.size() != vista->Paginas.size()) {
            return false;
        }
        for (size_t i = 0; i < mostradas.size(); ++i) {
            const TPaginaVista& p = vista->Paginas[i];
            if (mostradas[i].Nome != QString::fromStdString(p.Nome) ||
                mostradas[i].Numero != p.Numero ||
                mostradas[i].Motivo != QString::fromStdString(p.Motivo) ||
                mostradas[i].Imagem != ImagemDaPagina(p.Imagem)) {
                return false;
            }
        }
        return true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(igual(), 120000);
    QCOMPARE(previa->Paginas().at(0).Imagem.isNull(), !vista->Paginas[0].Motivo.empty());

    const QString codigo = QString::fromStdString(CodigoDoLivro(j.ProximaSemente()));
    QCOMPARE(Controlo<QLabel>(j, "LabelProximoCodigo")->text(),
             "Código do próximo livro: " + codigo);
    QAccessibleInterface* acessivel = QAccessible::queryAccessibleInterface(previa);
    QVERIFY(acessivel->text(QAccessible::Name).startsWith("Pré-visualização"));
    QVERIFY(acessivel->text(QAccessible::Name).contains(codigo));

    if (!vista->Paginas[0].Motivo.empty()) {
        QVERIFY(!Botao(j, "BitBtnGerar")->isEnabled());
        return;
    }
    const uint32_t semente = j.ProximaSemente();
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 1);
    QCOMPARE(gravacoes->Livro.Codigo, codigo.toStdString());
    QVERIFY2(Estado(j).endsWith("Código do livro: " + codigo), qPrintable(Estado(j)));
    // The next book has a code of its own, and the preview follows it.
    QVERIFY(j.ProximaSemente() != semente);
    QTRY_VERIFY_WITH_TIMEOUT(
        acessivel->text(QAccessible::Description)
            .contains(QString::fromStdString(CodigoDoLivro(j.ProximaSemente()))),
        120000);
}

void TesteJanela::PreviaSempreAUltima_data() {
    QTest::addColumn<bool>("ouveParar");
    QTest::newRow("a primeira para a pedido") << true;
    QTest::newRow("a primeira acaba na mesma") << false;
}

// A choice changed while a preview is being made: the one under way is asked to stop, the
// next starts once it has, and the window never shows the first, even when it ends.
void TesteJanela::PreviaSempreAUltima() {
    QFETCH(bool, ouveParar);
    auto falsas = std::make_shared<teste::TPreviasFalsas>();
    falsas->Retidas = 2;
    falsas->OuveParar = ouveParar;
    TJanelaTeste j;
    j.DefinirVerLivro(teste::VerLivroFalso(falsas));
    j.AoDestruir = [falsas] { falsas->SoltarTodas(); };
    auto* titulo = Controlo<QLineEdit>(j, "EditTituloLivro");
    titulo->setText("Primeiro");
    QVERIFY(Mostrar(j));
    auto* previa = Controlo<TPaginasDaPrevia>(j, "PreVisualizacao");
    QTRY_COMPARE_WITH_TIMEOUT(falsas->Chamadas(), 1, 60000);

    titulo->setText("Segundo");
    QTRY_VERIFY_WITH_TIMEOUT(falsas->ViuParar, 60000);
    if (!ouveParar) {
        falsas->Soltar(0);
    }
    QTRY_COMPARE_WITH_TIMEOUT(falsas->Chamadas(), 2, 60000);
    QCOMPARE(falsas->Config(1).Titulo, std::string("Segundo"));
    QCOMPARE(falsas->Config(1).Semente, falsas->Config(0).Semente);
    QCoreApplication::processEvents();
    QVERIFY(previa->Paginas().empty());

    falsas->Soltar(1);
    QTRY_VERIFY_WITH_TIMEOUT(previa->Paginas().size() == 3, 60000);
    QCOMPARE(previa->Paginas()[0].Nome, QString("Segundo"));
    QCOMPARE(falsas->Chamadas(), 2);
}

// A book goes first: the preview under way stops when "Gerar Livro" starts one, none is
// made while it runs (however the window is resized meanwhile), and once it is made the
// preview is of the next book, with a code of its own.
void TesteJanela::LivroAntesDaPrevia() {
    QTemporaryDir pasta;
    auto falsas = std::make_shared<teste::TPreviasFalsas>();
    falsas->Retidas = 1;
    TJanelaTeste j;
    j.DefinirVerLivro(teste::VerLivroFalso(falsas));
    j.AoDestruir = [falsas] { falsas->SoltarTodas(); };
    auto portao = std::make_shared<teste::TPortao>();
    j.DefinirGerador(teste::GeradorComPortao(portao));
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "1");
    QVERIFY(Mostrar(j));
    QTRY_COMPARE_WITH_TIMEOUT(falsas->Chamadas(), 1, 60000);
    const uint32_t daPrevia = falsas->Config(0).Semente;
    QCOMPARE(daPrevia, j.ProximaSemente());

    Botao(j, "BitBtnGerar")->click();
    QVERIFY(j.Ocupado());
    QTRY_VERIFY_WITH_TIMEOUT(falsas->ViuParar, 60000);
    j.resize(j.size() + QSize(40, 40));
    QTRY_COMPARE(j.size().height(), 368 + 40);
    portao->Abrir();
    EsperarFim(j);
    QCOMPARE(gravacoes->Livro.Codigo, CodigoDoLivro(daPrevia));
    QTRY_COMPARE_WITH_TIMEOUT(falsas->Chamadas(), 2, 60000);
    QVERIFY(falsas->Config(1).Semente != daPrevia);
    QCOMPARE(falsas->Config(1).Semente, j.ProximaSemente());
}

// No thread for the preview: a reason in its place, and the window makes its book.
void TesteJanela::PreviaSemFio() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    j.DefinirIniciarFioDaPrevia([](std::function<void()>) -> TFio {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "1");
    QVERIFY(Mostrar(j));
    auto* previa = Controlo<TPaginasDaPrevia>(j, "PreVisualizacao");
    QTRY_VERIFY_WITH_TIMEOUT(previa->Texto().startsWith("Sem pré-visualização: o sistema não deu"),
                             60000);
    QVERIFY(previa->Paginas().empty());
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 1);
    QVERIFY(j.Erros.isEmpty());
}

// A page opens at the window's size by Enter on the preview (the arrows choose which) or
// by a click, drawn again at that size; Escape, Enter or a click bring the preview back
// with the focus, and Tab reaches nothing under the page meanwhile.
void TesteJanela::PaginaEmGrande() {
    auto falsas = std::make_shared<teste::TPreviasFalsas>();
    TJanelaTeste j;
    j.DefinirVerLivro(teste::VerLivroFalso(falsas));
    j.AoDestruir = [falsas] { falsas->SoltarTodas(); };
    Controlo<QLineEdit>(j, "EditTituloLivro")->setText("Grande");
    QVERIFY(Mostrar(j));
    auto* previa = Controlo<TPaginasDaPrevia>(j, "PreVisualizacao");
    auto* grande = Controlo<TPaginaAmpliada>(j, "PaginaAmpliada");
    QTRY_VERIFY_WITH_TIMEOUT(previa->Paginas().size() == 3, 60000);
    const int32_t pequena = falsas->Largura(falsas->Chamadas() - 1);

    previa->setFocus();
    QTest::keyClick(previa, Qt::Key_Right);
    QTest::keyClick(previa, Qt::Key_Return);
    QVERIFY(grande->isVisible());
    QCOMPARE(grande->geometry(), j.rect());
    QCOMPARE(QApplication::focusWidget(), grande);
    QCOMPARE(grande->accessibleName(), QString("Página ampliada: Grande · página 2"));
    QTRY_VERIFY_WITH_TIMEOUT(falsas->Largura(falsas->Chamadas() - 1) > pequena, 60000);
    QTest::keyClick(grande, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), grande);
    QTest::keyClick(grande, Qt::Key_Escape);
    QVERIFY(!grande->isVisible());
    QCOMPARE(QApplication::focusWidget(), previa);
    QVERIFY(!j.Ocupado());

    for (const Qt::Key tecla : {Qt::Key_Escape, Qt::Key_Enter}) {
        QTest::mouseClick(previa, Qt::LeftButton, {}, QPoint(previa->width() / 2 - 1, 20));
        QVERIFY(grande->isVisible());
        QCOMPARE(grande->accessibleName(), QString("Página ampliada: Grande · página 2"));
        QTest::keyClick(grande, tecla);
        QVERIFY(!grande->isVisible());
    }
    QTest::keyClick(previa, Qt::Key_Left);
    QTest::keyClick(previa, Qt::Key_Left);
    QCOMPARE(previa->Escolhida(), 0);
    QTest::keyClick(previa, Qt::Key_Space);
    QCOMPARE(grande->accessibleName(), QString("Página ampliada: Grande · página 1"));
    QTest::mouseClick(grande, Qt::LeftButton);
    QVERIFY(!grande->isVisible());
}

void TesteJanela::RefazerDesistidoRepoe_data() {
    QTest::addColumn<bool>("doPdf");
    QTest::addColumn<QString>("destino"); // empty: the save dialog given up
    QTest::newRow("código escrito, diálogo desistido") << false << "";
    QTest::newRow("PDF, diálogo desistido") << true << "";
    QTest::newRow("PDF, gravar por cima dele") << true << "original.pdf";
}

// Remaking a book sets its choices and code, and says what its PDF holds, before the save
// dialog; when no book is made after all, the window's choices, its next code and its
// status line are those it had before.
void TesteJanela::RefazerDesistidoRepoe() {
    QFETCH(bool, doPdf);
    QFETCH(QString, destino);
    QTemporaryDir pasta;
    auto falsas = std::make_shared<teste::TPreviasFalsas>();
    TJanelaTeste j;
    j.DefinirVerLivro(teste::VerLivroFalso(falsas));
    j.AoDestruir = [falsas] { falsas->SoltarTodas(); };
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    Escolher(j, 0, 1, "2");
    Controlo<QLineEdit>(j, "EditTituloLivro")->setText(" Antes ");
    Controlo<QCheckBox>(j, "CheckBoxCaminho")->setChecked(true);
    QVERIFY(Mostrar(j));
    // A book made first, so that the status line has something to keep.
    j.FicheiroEscolhido = pasta.filePath("primeiro.pdf");
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    const QString estadoAntes = Controlo<QLabel>(j, "LabelEstado")->accessibleName();
    QVERIFY(estadoAntes.startsWith("Livro gerado: "));
    const uint32_t codigoAntes = j.ProximaSemente();

    TConfigLivro doLivro;
    doLivro.N = 11;
    doLivro.Nivel = 3;
    doLivro.NumPuzzles = 3;
    doLivro.Titulo = "Do PDF";
    doLivro.Caminho = false;
    doLivro.Semente = 0xBEEF;
    const QString origem = pasta.filePath("original.pdf");
    j.Refazer = doPdf ? TLivroARefazer{0xBEEF, TReceitaDoLivro{doLivro, VersaoDoPrograma()}, origem}
                      : TLivroARefazer{0xBEEF, std::nullopt};
    j.FicheiroEscolhido = destino.isEmpty() ? QString() : pasta.filePath(destino);
    QTest::keyClick(&j, Qt::Key_R, Qt::ControlModifier);

    // As the save dialog opened: the code (and the PDF's choices) in the window.
    QCOMPARE(j.CodigosNoDialogo.size(), 2);
    QCOMPARE(j.CodigosNoDialogo.last(), 0xBEEFu);
    if (doPdf) {
        QCOMPARE(j.NomesPropostos.last(), QString("Tavrelo_11x11_N3_3.pdf"));
        QCOMPARE(j.EstadosNoDialogo.last(),
                 QString("O PDF «original.pdf» tem: 3 puzzles · 11 × 11 · nível 3; soluções "
                         "sem dicas; título «Do PDF». Código do livro: 0000BEEF."));
    } else {
        QCOMPARE(j.NomesPropostos.last(), QString("Tavrelo_8x8_N2_2.pdf"));
    }

    // No book made: everything as it was.
    QCOMPARE(gravacoes->Chamadas, 1);
    QCOMPARE(j.Estado(), TEstadoJanela::ejLivre);
    QVERIFY(Radio(j, "RadioGroupTamanho", 0)->isChecked());
    QVERIFY(Radio(j, "RadioGroupNivel", 1)->isChecked());
    QCOMPARE(EditNumero(j)->text(), QString("2"));
    QCOMPARE(Controlo<QLineEdit>(j, "EditTituloLivro")->text(), QString(" Antes "));
    QVERIFY(Controlo<QCheckBox>(j, "CheckBoxCaminho")->isChecked());
    QCOMPARE(j.ProximaSemente(), codigoAntes);
    QCOMPARE(Controlo<QLabel>(j, "LabelEstado")->accessibleName(), estadoAntes);
    QVERIFY(Controlo<QLabel>(j, "LabelProximoCodigo")
                ->text()
                .endsWith(QString::fromStdString(CodigoDoLivro(codigoAntes))));
    // And the preview is of that book again.
    QTRY_VERIFY_WITH_TIMEOUT(falsas->Chamadas() > 0 &&
                                 falsas->Config(falsas->Chamadas() - 1).Semente == codigoAntes &&
                                 falsas->Config(falsas->Chamadas() - 1).Titulo == " Antes ",
                             60000);
}

QTEST_MAIN(TesteJanela)
#include "test_janela.moc"
