// What the program does around its window: the answers to --help and --version, which
// need no display; the refusal, in Portuguese, to start without a graphical session; Qt's
// own texts in Portuguese; and no settings file of Qt's.
#pragma once

#include <QObject>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QCoreApplication;
class QSocketNotifier;

namespace tavrelo {

// The graphical session the program would open its window in, as the environment and the
// command line tell it: DISPLAY, WAYLAND_DISPLAY, and the Qt platform asked for with
// QT_QPA_PLATFORM or "-platform NAME" (the argument wins).
struct TSessaoGrafica {
    std::string Display;
    std::string WaylandDisplay;
    std::string Plataforma;
};

// The session of this process: its environment and AArgs, the arguments after its name.
TSessaoGrafica SessaoDoProcesso(const std::vector<std::string>& AArgs);

enum class TAccaoArranque : uint8_t {
    aaJanela,  // open the window
    aaAjuda,   // print Texto on standard output, exit 0
    aaVersao,  // print Texto on standard output, exit 0
    aaSemEcra, // print Texto on standard error, exit 1
};

struct TArranque {
    TAccaoArranque Accao = TAccaoArranque::aaJanela;
    std::string Texto;
};

// What to do with the arguments after the program's name in ASessao. "--help" ("-h") and
// "--version" are answered wherever the program runs; other arguments are left to Qt.
TArranque LerArranque(const std::vector<std::string>& AArgs, const TSessaoGrafica& ASessao);

// True when the platform list (QT_QPA_PLATFORM's form: "wayland;xcb", "offscreen:opção")
// can only open windows on an X or Wayland display: every entry is xcb or wayland, or
// the list is empty (Qt's own choice is then one of them).
bool PlataformaPrecisaDeEcra(const std::string& APlataforma);

// What the program says, before Qt says anything, when the session named in ASessao did
// not let Qt open a window.
std::string MensagemSessaoNaoRespondeu(const TSessaoGrafica& ASessao);

// Held while the application object is created: when Qt cannot start there (a display
// that does not answer), the program prints MensagemSessaoNaoRespondeu instead of Qt's
// English report and ends with status 1. What Qt says on a start that succeeds is passed
// on unchanged once this is destroyed.
class TVigiaDoArranque {
  public:
    explicit TVigiaDoArranque(TSessaoGrafica ASessao);
    ~TVigiaDoArranque();
    TVigiaDoArranque(const TVigiaDoArranque&) = delete;
    TVigiaDoArranque& operator=(const TVigiaDoArranque&) = delete;
};

// Installs Qt's Portuguese translations on AApp, those of Portugal searched before the
// Brazilian catalogue that fills what they lack, and makes Portuguese (Portugal) the
// locale of Qt's widgets. Returns how many catalogues were loaded (2 when both are there).
int32_t TraduzirTextosDoQt(QCoreApplication& AApp);

// While it lives, what Qt keeps of its own (the file dialog's history and column widths,
// "QtProject.conf") goes to a folder of its own that is removed with it, never under
// ~/.config: the PDF is the only file the program leaves. Made before anything of Qt's
// opens settings (the file dialog). The folder is in the session's runtime folder
// (XDG_RUNTIME_DIR) where there is one, else in the temporary folder.
class TSemDefinicoesDoQt {
  public:
    TSemDefinicoesDoQt();
    // The folder Qt's settings go to while this lives; empty when none could be made.
    QString Pasta() const;

  private:
    QTemporaryDir FPasta;
};

// While it lives, a request to stop (SIGINT, SIGTERM, SIGHUP: Ctrl-C in the terminal, the end
// of the session; see SinalDePedido) ends the program in order: the first calls AAoSinal with
// the signal on the application's thread, which stops the book and leaves the event loop; a
// second one, or any other terminating signal, removes the temporary file of a book being
// written and ends the program at once with status 128 + the signal. One at a time.
class TSaidaPorSinal : public QObject {
  public:
    explicit TSaidaPorSinal(std::function<void(int)> AAoSinal);
    ~TSaidaPorSinal() override;

  private:
    std::function<void(int)> FAoSinal;
    QSocketNotifier* FNotificador = nullptr;
};

} // namespace tavrelo
