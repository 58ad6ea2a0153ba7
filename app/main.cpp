// Start-up: the application, its title and look, the window, the event loop.
#include "app/aspeto.h"
#include "app/janela.h"
#include "frontend/sinais.h"
#include "frontend/textos.h"

#include <QApplication>
#include <QMessageBox>

#include <exception>

int main(int argc, char* argv[]) {
    // No file may take the place of a closed standard descriptor, and a signal that ends the
    // program must not leave a book's temporary file behind.
    tavrelo::PrepararProcesso();
    QApplication app(argc, argv);
    QApplication::setApplicationName("TAVRELO");
    QApplication::setOrganizationName("Brovanel");
    QApplication::setApplicationVersion(tavrelo::VersaoDoPrograma());
    QGuiApplication::setDesktopFileName("tavrelo");
    QApplication::setWindowIcon(tavrelo::IconeTavrelo());

    if (!tavrelo::AplicarEstiloSky(app)) {
        QMessageBox::warning(nullptr, "TAVRELO",
                             "Não foi possível aplicar o estilo visual \"SKY\". O programa "
                             "continua com o aspeto predefinido.");
    }

    try {
        tavrelo::TFormMain janela;
        janela.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, "TAVRELO",
                              QString("O programa terminou por um erro inesperado: ") +
                                  QString::fromStdString(e.what()));
        return 1;
    }
}
