// Start-up: --help and --version, the graphical session, the application with its title,
// translations and look, the signals that end it, the window, the event loop.
#include "app/arranque.h"
#include "app/aspeto.h"
#include "app/janela.h"
#include "files/mensagens.h"
#include "files/regionais.h"
#include "files/sinais.h"
#include "frontend/fios.h"
#include "frontend/textos.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char* argv[]) {
    using namespace tavrelo;
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    const TSessaoGrafica sessao = SessaoDoProcesso(args);
    const TArranque arranque = LerArranque(args, sessao);
    switch (arranque.Accao) {
    case TAccaoArranque::aaAjuda:
    case TAccaoArranque::aaVersao:
        return MostrarTextos(STDOUT_FILENO, {arranque.Texto}) ? 0 : 1;
    case TAccaoArranque::aaSemEcra:
        std::fputs(arranque.Texto.c_str(), stderr);
        return 1;
    case TAccaoArranque::aaUso:
        std::fputs(arranque.Texto.c_str(), stderr);
        return 2;
    case TAccaoArranque::aaJanela:
        break;
    }

    // No file may take the place of a closed standard descriptor, and a signal that ends the
    // program must not leave a book's temporary file behind.
    PrepararProcesso();
    UmaArenaParaTodosOsFios();

    TVigiaDoArranque vigia(sessao);
    // Qt connects to an X display that answers, held until it has (an X server resets when its
    // last client leaves, and drops a connection made meanwhile).
    TLigacaoAoEcra ecra(sessao);
    QApplication app(argc, argv);
    ecra.Largar();
    // Qt has taken the user's regional settings for the whole process; the C libraries under
    // the book (cairo) must still read numbers with a decimal point.
    UsarDefinicoesRegionais();
    const bool fiosDoQt = ReservarFiosDoQt();
    // Says why when Qt cannot open the window, its pool without a thread included.
    if (!vigia.QtArrancou()) {
        if (!fiosDoQt) {
            // Not through the destructors: Qt's pool would wait at the end for the thread
            // it was refused.
            std::fflush(stderr);
            std::_Exit(1);
        }
        return 1;
    }
    // The first turn of the event loop, wherever it comes (the window's or a box's): the
    // session answers.
    QTimer::singleShot(0, &app, [&vigia] { vigia.SessaoRespondeu(); });
    // From here on, Qt ending the program because the session went away is told and
    // cleaned up after.
    const TFimDaSessao fimDaSessao(sessao);

    // A signal stops the book (nothing is written) and ends the program as a close does.
    QPointer<TFormMain> aberta;
    const TSaidaPorSinal saida([&aberta](int ASinal) {
        if (aberta) {
            aberta->PararParaSair();
        }
        QCoreApplication::exit(SaidaPeloSinal(ASinal));
    });
    // Made once Qt has started (a start that fails leaves no folder behind) and the signals
    // are heard (an ending one removes it), before anything of Qt's opens its settings.
    const TSemDefinicoesDoQt semDefinicoes;

    QApplication::setApplicationName("TAVRELO");
    QApplication::setOrganizationName("Brovanel");
    QApplication::setApplicationVersion(VersaoDoPrograma());
    QGuiApplication::setDesktopFileName("tavrelo");
    QApplication::setWindowIcon(IconeTavrelo());
    TraduzirTextosDoQt(app);

    if (!AplicarEstiloSky(app)) {
        QMessageBox::warning(nullptr, "TAVRELO",
                             "Não foi possível aplicar o estilo visual \"SKY\". O programa "
                             "continua com o aspeto predefinido.");
    }

    try {
        TFormMain janela;
        aberta = &janela;
        janela.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, "TAVRELO",
                              QString("O programa terminou por um erro inesperado: ") +
                                  QString::fromStdString(e.what()));
        return 1;
    }
}
