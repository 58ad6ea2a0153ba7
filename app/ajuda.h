// The window's help (F1) and its "Acerca do TAVRELO" box.
#pragma once

#include <QDialog>
#include <QString>

namespace tavrelo {

// The help: what the sizes, the levels, the Progressiva and the hints are, what the book code
// is for, and the keyboard. A window of its own, beside the main one, so that it can stay
// open while the book is chosen.
class TJanelaDeAjuda : public QDialog {
    Q_OBJECT
  public:
    explicit TJanelaDeAjuda(QWidget* AParent = nullptr);
};

// The version, what the program makes, and the licences.
QString TextoAcerca();

void MostrarAcerca(QWidget* APai);

} // namespace tavrelo
