// The window's help (F1), the help where each choice is made (the tooltips of the choices)
// and the "Acerca do TAVRELO" box.
#pragma once

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QString>

namespace tavrelo {

// The help: how a book is made and where its file goes, what the sizes, the levels, the
// Progressiva and the hints are, what the book code is for, and the keyboard. A window of
// its own, beside the main one, so that it can stay open while the book is chosen; it fits
// the screen it opens on, and its text scrolls.
class TJanelaDeAjuda : public QDialog {
    Q_OBJECT
  public:
    explicit TJanelaDeAjuda(QWidget* AParent = nullptr);
};

// The help's size on a screen whose free area is ADisponivel: as large as it likes to be,
// but never wider or taller than that area less the room its window frame takes.
QSize TamanhoDaAjuda(const QRect& ADisponivel);

// The tooltips of the choices, in the book's own words: a size item (8 × 8, 12 × 12, …), a
// difficulty item (levels 1 to 5, then the Progressiva), the hints and the title.
QString DicaDoTamanho(int AItem);
QString DicaDaDificuldade(int AItem);
QString DicaDasDicas();
QString DicaDoTitulo();

// The version, what the program makes, and the licences.
QString TextoAcerca();

void MostrarAcerca(QWidget* APai);

} // namespace tavrelo
