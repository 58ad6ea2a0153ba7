#include "app/dialogos.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QStandardPaths>

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
    // The list a box of the dialog opens is read out under the box's name.
    for (QComboBox* caixa : ADialogo.findChildren<QComboBox*>()) {
        const auto* rotulo = QAccessible::queryAccessibleInterface(caixa);
        if (caixa->view() != nullptr && rotulo != nullptr) {
            caixa->view()->setAccessibleName(rotulo->text(QAccessible::Name));
        }
    }
}

} // namespace tavrelo
