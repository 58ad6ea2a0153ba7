// The question of "Refazer um livro…": the code of the book to make again, read as the
// command line reads -s, with the choices that must be those of the original book.
#pragma once

#include <QDialog>

#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrelo {

class TDialogoCodigo : public QDialog {
    Q_OBJECT
  public:
    // AEscolha: the window's current choices, as the dialog shows them.
    explicit TDialogoCodigo(const QString& AEscolha, QWidget* AParent = nullptr);

    // The code typed, when it is one (LerCodigoDoLivro).
    std::optional<uint32_t> Codigo() const;

  private:
    void CodigoMudou();

    QLabel* FMotivo = nullptr;
    QLineEdit* FEditCodigo = nullptr;
    QPushButton* FBotaoRefazer = nullptr;
};

} // namespace tavrelo
