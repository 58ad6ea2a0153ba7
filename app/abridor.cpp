#include "app/abridor.h"

#include <QProcess>

namespace tavrelo {

TAbridor::TAbridor(QObject* AParent) : QObject(AParent), FPrograma("xdg-open") {}

TAbridor::~TAbridor() {
    // The openers are stopped without a word: nobody is left to tell.
    for (QProcess* processo : findChildren<QProcess*>()) {
        processo->disconnect(this);
    }
}

void TAbridor::DefinirPrograma(const QString& APrograma) {
    FPrograma = APrograma;
}

void TAbridor::Abrir(const QString& ACaminho) {
    auto* processo = new QProcess(this);
    processo->setProgram(FPrograma);
    processo->setArguments({ACaminho});
    // What the opener says goes where the program's own messages go.
    processo->setProcessChannelMode(QProcess::ForwardedChannels);
    processo->setStandardInputFile(QProcess::nullDevice());
    connect(processo, &QProcess::finished, this,
            [this, processo, ACaminho](int ACodigo, QProcess::ExitStatus AEstado) {
                processo->deleteLater();
                if (AEstado != QProcess::NormalExit || ACodigo != 0) {
                    emit Falhou(ACaminho);
                }
            });
    connect(processo, &QProcess::errorOccurred, this,
            [this, processo, ACaminho](QProcess::ProcessError AErro) {
                if (AErro == QProcess::FailedToStart) {
                    processo->deleteLater();
                    emit Falhou(ACaminho);
                }
            });
    processo->start();
}

} // namespace tavrelo
