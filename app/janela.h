// The program's window: the choice of a book, its generation on a worker thread with
// progress and cancel, and the writing of the PDF.
#pragma once

#include "composition/paginas.h"
#include "core/tipos.h"
#include "generation/livro.h"

#include <QAbstractSpinBox>
#include <QWidget>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class QApplication;
class QButtonGroup;
class QCheckBox;
class QCloseEvent;
class QGroupBox;
class QIcon;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tavrelo {

// A number edit with spin buttons. Unlike QSpinBox it keeps whatever the user types, so
// the window can judge the text itself; the arrows step from the typed number when it is
// one, else from the last position.
class TEditComSetas : public QAbstractSpinBox {
    Q_OBJECT
  public:
    explicit TEditComSetas(QWidget* AParent = nullptr);

    int32_t Minimo() const { return FMinimo; }
    int32_t Maximo() const { return FMaximo; }
    int32_t Posicao() const { return FPosicao; }
    void DefinirLimites(int32_t AMinimo, int32_t AMaximo);
    // Moves the position (kept inside the limits) and writes it into the edit.
    void DefinirPosicao(int32_t APosicao);
    QString Texto() const;

    void stepBy(int ASteps) override;
    QValidator::State validate(QString& ATexto, int& APos) const override;
    void fixup(QString& ATexto) const override;

  signals:
    void TextoMudou();

  protected:
    StepEnabled stepEnabled() const override;

  private:
    int32_t Base() const;

    int32_t FMinimo = 1;
    int32_t FMaximo = 100;
    int32_t FPosicao = 1;
};

// Writes the PDF of a finished book; GravarLivroPdf unless a test puts another in.
using TGravadorLivro = std::function<void(const std::string& ANomeFicheiro, const TLivro& ALivro,
                                          const TInfoLivro& AInfo)>;

// Makes the puzzles of a book; TGeradorLivro::Gerar unless a test puts another in.
using TGeradorDeLivro =
    std::function<TLivro(const TConfigLivro& AConfig, const TProgressoLivro& AProgresso)>;

class TFormMain : public QWidget {
    Q_OBJECT
  public:
    explicit TFormMain(QWidget* AParent = nullptr);
    // A book still running is cancelled and waited for; a book already being written is
    // finished, so no half-written file is left behind.
    ~TFormMain() override;

    void DefinirGravador(TGravadorLivro AGravador);
    void DefinirGerador(TGeradorDeLivro AGerador);

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
    struct TDesfecho {
        bool Cancelado = false;
        bool Falhou = false;
        int32_t Feitos = 0;
        int32_t Total = 0;
        std::string Mensagem; // the result line, or the reason of the failure
    };

    void CriarControlos();
    void EscolhaMudou();
    void BitBtnGerarClick();
    void BitBtnCancelarClick();
    void BitBtnSairClick();

    void Trabalhar(TConfigLivro AConfig, std::string ANomeFicheiro, TGeradorDeLivro AGerador,
                   TGravadorLivro AGravador);
    void Progresso(int32_t AFeitos, int32_t ATotal, const std::string& ATexto);
    // The generator has returned; unless the book was cancelled, its pages are being written.
    void GeracaoTerminou(bool ACancelado);
    void LivroTerminou(const TDesfecho& ADesfecho, const std::string& ANomeFicheiro);
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

    TGeradorDeLivro FGerador;
    TGravadorLivro FGravador;
    QString FUltimaPasta;
    std::thread FTrabalhador;
};

// The window's icon: a small magic-square grid in sky blue.
QIcon IconeTavrelo();

// Applies the light sky-blue look carried in the program under the name "SKY"; false when
// it cannot be read, and then nothing is changed.
bool AplicarEstiloSky(QApplication& AApp);

} // namespace tavrelo
