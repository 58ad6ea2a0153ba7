// The question of "Refazer um livro…": the code of the book to make again, read as the
// command line reads -s, with the choices that must be those of the original book; or the
// book's PDF, whose recipe gives every choice and the code.
#pragma once

#include "frontend/receita.h"

#include <QDialog>

#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrelo {

// What the user gave to make a book again.
struct TLivroARefazer {
    uint32_t Codigo = 0;
    // Every choice and the code, when the book's PDF was given.
    std::optional<TReceitaDoLivro> Receita;
};

class TDialogoCodigo : public QDialog {
    Q_OBJECT
  public:
    // AEscolha: the window's current choices, as the dialog shows them; APasta: where the
    // PDF is looked for first.
    explicit TDialogoCodigo(const QString& AEscolha, const QString& APasta = {},
                            QWidget* AParent = nullptr);

    // The code typed, when it is one (LerCodigoDoLivro).
    std::optional<uint32_t> Codigo() const;
    // The book to make again, once the dialog is accepted.
    std::optional<TLivroARefazer> Resultado() const;
    // The PDF at ACaminho: with a recipe the dialog is accepted with it; without one, the
    // reason is shown and the dialog stays open. The folder the PDF was in, after a choice.
    bool EscolherPdf(const QString& ACaminho);
    QString Pasta() const { return FPasta; }

  private:
    void CodigoMudou();
    void ProcurarPdf();

    QLabel* FMotivo = nullptr;
    QLineEdit* FEditCodigo = nullptr;
    QPushButton* FBotaoRefazer = nullptr;
    QString FPasta;
    std::optional<TReceitaDoLivro> FReceita;
};

} // namespace tavrelo
