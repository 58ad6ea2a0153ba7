#include "app/dialogos.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

#include <utility>

namespace tavrelo {

namespace {
const char* const TITULO_DAS_CAIXAS = "TAVRELO";
} // namespace

void MostrarCaixa(QWidget* APai, QMessageBox::Icon AIcone, const QString& ATexto) {
    QMessageBox caixa(AIcone, TITULO_DAS_CAIXAS, ATexto, QMessageBox::Ok, APai);
    caixa.setTextFormat(Qt::PlainText);
    caixa.exec();
}

bool PerguntarSimNao(QWidget* APai, const QString& ATexto) {
    QMessageBox caixa(QMessageBox::Question, TITULO_DAS_CAIXAS, ATexto,
                      QMessageBox::Yes | QMessageBox::No, APai);
    caixa.setTextFormat(Qt::PlainText);
    caixa.button(QMessageBox::Yes)->setText("&Sim");
    caixa.button(QMessageBox::No)->setText("&Não");
    caixa.setDefaultButton(QMessageBox::No);
    return caixa.exec() == QMessageBox::Yes;
}

QString PastaParaPdf(const QString& AUltima) {
    for (const QString& pasta :
         {AUltima, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)}) {
        if (!pasta.isEmpty() && QDir(pasta).exists()) {
            return pasta;
        }
    }
    return QDir::homePath();
}

void PrepararDialogoPdf(QFileDialog& ADialogo, bool AGuardar) {
    ADialogo.setNameFilter("PDF (*.pdf)");
    ADialogo.setAcceptMode(AGuardar ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    ADialogo.setFileMode(AGuardar ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Qt's own dialog, whatever the desktop offers, so that it speaks Portuguese. A saved
    // name gets ".pdf" from the window, which also asks before overwriting the name it
    // writes: the dialog's own suffix adds nothing to a name with a dot ("Livro v1.2").
    ADialogo.setOption(QFileDialog::DontUseNativeDialog, true);
    ADialogo.setOption(QFileDialog::DontConfirmOverwrite, true);
    ADialogo.setLabelText(QFileDialog::LookIn, "Procurar em:");
    ADialogo.setLabelText(QFileDialog::FileName, "Nome do ficheiro:");
    ADialogo.setLabelText(QFileDialog::FileType, "Tipo:");
    ADialogo.setLabelText(QFileDialog::Accept, AGuardar ? "Guardar" : "Abrir");
    ADialogo.setLabelText(QFileDialog::Reject, "Cancelar");
    // The list a box of the dialog opens is read out by the box's label ("Procurar em"); the
    // box itself is named by what it shows, and linked to its label.
    for (const auto& [objeto, rotulo] : {std::pair{"lookInCombo", QFileDialog::LookIn},
                                         std::pair{"fileTypeCombo", QFileDialog::FileType}}) {
        if (auto* caixa = ADialogo.findChild<QComboBox*>(objeto)) {
            const QString nome = ADialogo.labelText(rotulo).remove(QRegularExpression(":\\s*$"));
            if (caixa->view() != nullptr) {
                caixa->view()->setAccessibleName(nome);
            }
        }
    }
}

} // namespace tavrelo
