// What the program does around its window: the answers to --help and --version, which
// need no display; the refusal, in Portuguese, of unknown options and of a start without a
// graphical session, or with one that does not answer; Qt's own texts in Portuguese; no
// settings file of Qt's; and an end in order on a signal or when the session goes away.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCoreApplication;
class QSocketNotifier;
struct xcb_connection_t;

namespace tavrelo {

// The graphical session the program would open its window in, as the environment and the
// command line tell it: DISPLAY, WAYLAND_DISPLAY, and the Qt platform asked for with
// QT_QPA_PLATFORM or "-platform NAME" (the argument wins).
struct TSessaoGrafica {
    std::string Display;
    std::string WaylandDisplay;
    std::string Plataforma;
};

// The session of this process: its environment and AArgs, the arguments after its name
// ("-display NAME" and "-platform NAME", Qt's, win over DISPLAY and QT_QPA_PLATFORM).
TSessaoGrafica SessaoDoProcesso(const std::vector<std::string>& AArgs);

enum class TAccaoArranque : uint8_t {
    aaJanela,  // open the window
    aaAjuda,   // print Texto on standard output, exit 0
    aaVersao,  // print Texto on standard output, exit 0
    aaSemEcra, // print Texto on standard error, exit 1
    aaUso,     // an option the program does not know: print Texto on standard error, exit 2
};

struct TArranque {
    TAccaoArranque Accao = TAccaoArranque::aaJanela;
    std::string Texto;
};

// What to do with the arguments after the program's name in ASessao. "--help" ("-h") and
// "--version" are answered wherever the program runs; Qt's own options ("-platform NOME",
// "-style=NOME", with one dash or two) are left to Qt; anything else is refused.
TArranque LerArranque(const std::vector<std::string>& AArgs, const TSessaoGrafica& ASessao);

// True when the platform list (QT_QPA_PLATFORM's form: "wayland;xcb", "offscreen:opção")
// can only open windows on an X or Wayland display: every entry is xcb or wayland, or
// the list is empty (Qt's own choice is then one of them).
bool PlataformaPrecisaDeEcra(const std::string& APlataforma);

// What the program says, before Qt says anything, when the session named in ASessao did
// not let Qt open a window.
std::string MensagemSessaoNaoRespondeu(const TSessaoGrafica& ASessao);

// What the program says when Qt could not start a thread the window needs.
std::string MensagemQtSemFio();

// Made once the application object exists, while TVigiaDoArranque still holds Qt's messages
// and its clock runs: the threads Qt would otherwise start on first use, and wait on for
// ever when the system refuses them (a limit on the user's processes), are had now. Its
// global pool, which large pictures are converted and scaled on, part by part, keeps one
// thread for good and does every part on it; the session bus, asked for while the window's
// controls are made, starts its thread. False when the pool has no thread: the window
// would freeze at its first large picture. A session bus whose thread is refused waits for
// ever in Qt, where the clock ends it saying so.
bool ReservarFiosDoQt();

// How long the start may wait for the graphical session before giving up: a display that
// stopped answering (its X server stopped) would otherwise hold the program for ever.
inline constexpr int32_t SEGUNDOS_PARA_ARRANCAR = 10;

// Made before the application object. While Qt starts, its messages are held: when it
// cannot start (a display that does not answer, a platform that fails), the program prints
// MensagemSessaoNaoRespondeu and then Qt's own words, and ends with status 1. A start that
// has not reached the event loop SEGUNDOS_PARA_ARRANCAR seconds later ends the same way,
// when the system gives a thread for that clock: without one, the program starts unwatched.
class TVigiaDoArranque {
  public:
    explicit TVigiaDoArranque(TSessaoGrafica ASessao);
    // Stops the clock if it still runs, and passes on what Qt said.
    ~TVigiaDoArranque();
    TVigiaDoArranque(const TVigiaDoArranque&) = delete;
    TVigiaDoArranque& operator=(const TVigiaDoArranque&) = delete;

    // The application object exists: what Qt said while it was made is passed on, and
    // what it says from now on goes straight to where it went before. False when Qt could
    // not have the thread its platform reads the graphical session with, or its pool none
    // (a limit on the user's threads): a window would never answer, so the program has said
    // why (MensagemQtSemFio) before Qt's own words, and ends with status 1.
    bool QtArrancou();
    // The event loop runs: the session answers, and the clock stops.
    void SessaoRespondeu();

  private:
    struct TRelogio;
    std::unique_ptr<TRelogio> FRelogio;
};

// How long the start tries again to reach an X display that refuses it: an X server resets
// when its last client leaves (unless started with -noreset) and refuses, or drops, a
// connection made meanwhile; one that is still starting refuses them too.
inline constexpr int32_t MILISSEGUNDOS_PARA_O_ECRA = 2000;

// Made before the application object, when Qt is to open its window on an X display (the
// session's DISPLAY, and no platform asked for but xcb, nor a Wayland session): a connection of
// the program's own to that display, tried again for MILISSEGUNDOS_PARA_O_ECRA while the
// display refuses it, and held until Qt has its own (Largar): a server with a client does not
// reset, so Qt's connection is never made while the server resets. A display that never
// accepts is left to Qt, which then says why; one that accepts and never answers is left to
// the start's clock (TVigiaDoArranque).
class TLigacaoAoEcra {
  public:
    explicit TLigacaoAoEcra(const TSessaoGrafica& ASessao);
    ~TLigacaoAoEcra();
    TLigacaoAoEcra(const TLigacaoAoEcra&) = delete;
    TLigacaoAoEcra& operator=(const TLigacaoAoEcra&) = delete;

    // The display answered this program's connection.
    bool Ligado() const { return FLigacao != nullptr; }
    // Qt has its connection: this one goes.
    void Largar();

  private:
    xcb_connection_t* FLigacao = nullptr;
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
//
// The folder is removed also when the program ends without coming back here: on a signal
// or a fault (DefinirLimpezaFinal), or when Qt ends it because the session went away.
class TSemDefinicoesDoQt {
  public:
    TSemDefinicoesDoQt();
    ~TSemDefinicoesDoQt();
    TSemDefinicoesDoQt(const TSemDefinicoesDoQt&) = delete;
    TSemDefinicoesDoQt& operator=(const TSemDefinicoesDoQt&) = delete;
    // The folder Qt's settings go to while this lives; empty when none could be made.
    QString Pasta() const;

  private:
    QString FPasta;
};

// While it lives, an end of the program that does not come back through main — Qt ends it
// with exit(1) when the connection to the display breaks (the X server died, the session
// closed) — removes the temporary file of a book being written and Qt's settings folder,
// says so in Portuguese, and keeps status 1.
class TFimDaSessao {
  public:
    explicit TFimDaSessao(const TSessaoGrafica& ASessao);
    ~TFimDaSessao();
    TFimDaSessao(const TFimDaSessao&) = delete;
    TFimDaSessao& operator=(const TFimDaSessao&) = delete;
};

// What the program says when the session it runs in goes away.
std::string MensagemSessaoTerminou(const TSessaoGrafica& ASessao);

// While it lives, a request to stop (SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2, SIGALRM: Ctrl-C
// in the terminal, the end of the session; see SinalDePedido) ends the program in order: the first
// calls AAoSinal with the signal on the application's thread, which stops the book and leaves the
// event loop; a second one, or any other terminating signal, removes the temporary file of a book
// being written and ends the program at once with status 128 + the signal. One at a time.
class TSaidaPorSinal : public QObject {
  public:
    explicit TSaidaPorSinal(std::function<void(int)> AAoSinal);
    ~TSaidaPorSinal() override;

  private:
    std::function<void(int)> FAoSinal;
    QSocketNotifier* FNotificador = nullptr;
};

} // namespace tavrelo
