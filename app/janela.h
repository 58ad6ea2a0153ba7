// The program's window: the choice of a book, its generation on a worker thread with
// progress and cancel, and the writing of the PDF.
#pragma once

#include "app/edit_com_setas.h"
#include "frontend/fazer_livro.h"

#include <QWidget>

#include <atomic>
#include <string>
#include <thread>

class QButtonGroup;
class QCheckBox;
class QCloseEvent;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tavrelo {

class TFormMain : public QWidget {
    Q_OBJECT
  public:
    explicit TFormMain(QWidget* AParent = nullptr);
    // A book still running is cancelled and waited for; a book already being written is
    // finished, so no half-written file is left behind.
    ~TFormMain() override;

    // The book generator and the PDF writer, unless a test puts others in.
    void DefinirGerador(decltype(TEtapasLivro::Gerar) AGerador);
    void DefinirGravador(decltype(TEtapasLivro::GravarPdf) AGravador);

    bool Ocupado() const { return FOcupado; }

    void AtualizarEstado();
    bool LerConfiguracao(TConfigLivro& AConfig);
    // Starts the book; returns at once, the rest happens on the worker and in the queued
    // calls it posts back.
    void GerarLivro(const TConfigLivro& AConfig, const std::string& ANomeFicheiro);

  protected:
    // Dialogs and the desktop, kept apart so they can be replaced where no user answers.
    virtual void MostrarAviso(const QString& ATexto);
    virtual void MostrarErro(const QString& ATexto);
    virtual bool PerguntarSimNao(const QString& ATexto);
    // The chosen path, or empty when the user gives up.
    virtual QString PedirFicheiro(const QString& ANomeProposto);
    virtual void AbrirFicheiro(const QString& ACaminho);

    void closeEvent(QCloseEvent* AEvento) override;
    void keyPressEvent(QKeyEvent* AEvento) override;

  private:
    void CriarControlos();
    void EscolhaMudou();
    void BitBtnGerarClick();
    void BitBtnCancelarClick();
    void BitBtnSairClick();

    void Trabalhar(TPedidoLivro APedido, TEtapasLivro AEtapas);
    void Progresso(int32_t AFeitos, int32_t ATotal, const std::string& ATexto);
    // The puzzles are done and the pages are being written.
    void GeracaoTerminou();
    void LivroTerminou(const TDesfechoLivro& ADesfecho, const std::string& ANomeFicheiro);
    void DefinirEstado(const QString& ATexto);

    int32_t ItemTamanho() const;
    int32_t ItemNivel() const;

    QGroupBox* GroupBoxLivro = nullptr;
    QGroupBox* RadioGroupTamanho = nullptr;
    QGroupBox* RadioGroupNivel = nullptr;
    QButtonGroup* FBotoesTamanho = nullptr;
    QButtonGroup* FBotoesNivel = nullptr;
    QLabel* LabelNumPuzzles = nullptr;
    TEditComSetas* EditNumPuzzles = nullptr;
    QLabel* LabelTituloLivro = nullptr;
    QLineEdit* EditTituloLivro = nullptr;
    QCheckBox* CheckBoxCaminho = nullptr;
    QCheckBox* CheckBoxAbrirPDF = nullptr;
    QLabel* LabelResumo = nullptr;
    QLabel* LabelEstado = nullptr;
    QProgressBar* ProgressBarLote = nullptr;
    QPushButton* BitBtnGerar = nullptr;
    QPushButton* BitBtnSair = nullptr;
    QPushButton* BitBtnCancelar = nullptr;

    bool FOcupado = false;
    bool FPodeCancelar = false;
    std::atomic<bool> FCancelar = false; // read by the worker after every puzzle
    bool FFecharNoFim = false;
    bool FAtualizando = false;
    bool FMotivoMostrado = false;
    bool FPerguntando = false;

    TEtapasLivro FEtapas = EtapasDoLivro();
    QString FUltimaPasta;
    std::thread FTrabalhador;
};

} // namespace tavrelo
