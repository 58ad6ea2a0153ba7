// The boxes and file dialogs of the window and its dialogs, in Portuguese whatever the
// desktop offers.
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QString>

class QWidget;

namespace tavrelo {

// A box with one OK button; the text is shown as it is (a file name is never read as markup).
void MostrarCaixa(QWidget* APai, QMessageBox::Icon AIcone, const QString& ATexto);

// A question with "Sim" and "Não", "Não" the default; true for "Sim".
bool PerguntarSimNao(QWidget* APai, const QString& ATexto);

// Where a file dialog opens: AUltima when that folder still exists, else the user's
// documents, else the home folder.
QString PastaParaPdf(const QString& AUltima);

// Qt's own file dialog for PDF files, so that it speaks Portuguese: saving (AGuardar, the
// overwrite question left to the caller, who knows the name written) or opening an existing
// file.
void PrepararDialogoPdf(QFileDialog& ADialogo, bool AGuardar);

} // namespace tavrelo
