// Opening a file or a folder in the desktop's program for it, and hearing when that failed.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

namespace tavrelo {

// Starts the desktop's opener (xdg-open) on a file or folder and waits for it without
// holding the window. QDesktopServices cannot tell a failure: it reports success as soon as
// the opener starts, even when the opener then finds no program for the file (xdg-open ends
// with 3). Here the opener's end is heard: a failure to start it, or an end with any other
// status than 0, is told by Falhou. An opener still running when this goes away is stopped;
// a viewer it started stays open.
class TAbridor : public QObject {
    Q_OBJECT
  public:
    explicit TAbridor(QObject* AParent = nullptr);
    ~TAbridor() override;

    // The opener, "xdg-open" unless a test names another program.
    void DefinirPrograma(const QString& APrograma);
    // The bus the file manager is asked on: the session's, unless a test gives another.
    void DefinirBarramento(const QDBusConnection& ABarramento);

    void Abrir(const QString& ACaminho);
    // Shows the folder of AFicheiro with AFicheiro selected, through the freedesktop file
    // manager interface (org.freedesktop.FileManager1.ShowItems) where the session offers
    // one; with no file manager there, or when it answers with an error, opens the folder.
    // The call is not waited for.
    void MostrarNaPasta(const QString& AFicheiro);

  signals:
    void Falhou(const QString& ACaminho);

  private:
    QString FPrograma;
    std::optional<QDBusConnection> FBarramento;
};

} // namespace tavrelo
