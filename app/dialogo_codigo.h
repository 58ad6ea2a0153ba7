// The question of "Refazer um livro…": the code of the book to make again, read as the
// command line reads -s, with the choices that must be those of the original book; or the
// book's PDF, whose recipe gives every choice and the code. The PDF is read off the window's
// thread, by the PDF reader within its bounds, and the dialog answers meanwhile.
#pragma once

#include "frontend/receita.h"
#include "generation/fio.h"

#include <QDialog>
#include <QString>

#include <atomic>
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
    // That PDF, which the book made again may not be written over (RecusaDoDestinoDoRefeito).
    QString Origem = {};
};

class TDialogoCodigo : public QDialog {
    Q_OBJECT
  public:
    // AEscolha: the window's current choices, as the dialog shows them; APasta: where the
    // PDF is looked for first.
    explicit TDialogoCodigo(const QString& AEscolha, const QString& APasta = {},
                            QWidget* AParent = nullptr);
    // A PDF still being read is let go: its reader is stopped at once.
    ~TDialogoCodigo() override;

    // The code typed, when it is one (LerCodigoDoLivro).
    std::optional<uint32_t> Codigo() const;
    // The book to make again, once the dialog is accepted.
    std::optional<TLivroARefazer> Resultado() const;
    // Starts reading the PDF at ACaminho and returns at once; "Refazer" and the PDF's button
    // wait meanwhile, "Cancelar" stops the reading. Once read (PdfLido), with a recipe the
    // dialog is accepted with it; without one, the reason is shown and the dialog stays open.
    void EscolherPdf(const QString& ACaminho);
    // A PDF is being read.
    bool ALer() const { return FLeitura.Iniciado() && !FLida; }
    // The folder the PDF was in, after a choice.
    QString Pasta() const { return FPasta; }

    void reject() override;

  signals:
    // The PDF ACaminho was read: its recipe, or why there is none (also shown). Sent on the
    // dialog's thread before the dialog is accepted with the recipe.
    void PdfLido(const QString& ACaminho, const tavrelo::TLeituraDaReceita& ALeitura);

  private:
    void CodigoMudou();
    void ProcurarPdf();
    // On the dialog's thread, once the reading of ACaminho ended.
    void LeituraTerminou(const QString& ACaminho, TLeituraDaReceita ALeitura);
    void PararLeitura();

    QLabel* FMotivo = nullptr;
    QLineEdit* FEditCodigo = nullptr;
    QPushButton* FBotaoRefazer = nullptr;
    QPushButton* FBotaoPdf = nullptr;
    QString FPasta;
    std::optional<TReceitaDoLivro> FReceita;
    QString FOrigem;
    // The reading of a PDF, on a thread of its own; FParar stops its reader.
    TFio FLeitura;
    std::atomic<bool> FParar{false};
    bool FLida = true;
};

} // namespace tavrelo
