#include "app/abridor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace tavrelo {

TAbridor::TAbridor(QObject* AParent) : QObject(AParent), FPrograma("xdg-open") {}

TAbridor::~TAbridor() {
    // The openers are stopped without a word: nobody is left to tell.
    for (QProcess* processo : findChildren<QProcess*>()) {
        processo->disconnect(this);
    }
    // So is a file manager's late answer.
    for (QDBusPendingCallWatcher* espera : findChildren<QDBusPendingCallWatcher*>()) {
        espera->disconnect(this);
    }
}

void TAbridor::DefinirPrograma(const QString& APrograma) {
    FPrograma = APrograma;
}

void TAbridor::DefinirBarramento(const QDBusConnection& ABarramento) {
    FBarramento = ABarramento;
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

void TAbridor::MostrarNaPasta(const QString& AFicheiro) {
    const QString pasta = QFileInfo(AFicheiro).absolutePath();
    const QDBusConnection barramento = FBarramento.value_or(QDBusConnection::sessionBus());
    if (!barramento.isConnected()) {
        Abrir(pasta);
        return;
    }
    // Asked without looking first: a bus with no file manager answers at once with an error,
    // and the folder is opened instead.
    QDBusMessage pedido = QDBusMessage::createMethodCall(
        "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
        "org.freedesktop.FileManager1", "ShowItems");
    pedido << QStringList{QUrl::fromLocalFile(QFileInfo(AFicheiro).absoluteFilePath())
                              .toString(QUrl::FullyEncoded)}
           << QString();
    auto* espera = new QDBusPendingCallWatcher(barramento.asyncCall(pedido), this);
    connect(espera, &QDBusPendingCallWatcher::finished, this, [this, espera, pasta] {
        espera->deleteLater();
        if (espera->isError()) {
            Abrir(pasta);
        }
    });
}

} // namespace tavrelo
