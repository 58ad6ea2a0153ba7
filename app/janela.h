// The program's window: the choice of a book, its generation on a worker thread with
// progress and cancel, the writing of the PDF, and where the book went.
#pragma once

#include "app/dialogo_codigo.h"
#include "app/edit_com_setas.h"
#include "app/previa.h"
#include "frontend/fazer_livro.h"

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QCloseEvent;
class QDBusConnection;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;

namespace tavrelo {

class TAbridor;
class TJanelaDeAjuda;

// The path of the book as the user named it in the save dialog: blanks around the typed
// name taken away, and ".pdf" added unless the name already ends in ".pdf" in any case:
// "Livro v1.2" and "Livro.Ferias" become "Livro v1.2.pdf" and "Livro.Ferias.pdf"; a name
// ending in a dot gets only "pdf". Empty when the name is only blanks.
QString CaminhoComPdf(const QString& ACaminho);

// ATexto as it fits in ARotulo (its width, as many wrapped lines as its height holds):
// unchanged when it fits, else with ATrecho, when the text holds it (the path of a book),
// shortened in its middle with "…", and failing that the whole text shortened in its
// middle, so that its start and its end (the reason) stay in sight.
QString TextoQueCabe(const QLabel& ARotulo, const QString& ATexto, const QString& ATrecho = {});

// Where the window is, from its start to its end. Every enabled state and every answer to
// the user follows from it.
enum class TEstadoJanela : uint8_t {
    ejLivre,      // the choices can change; "Gerar Livro" starts a book
    ejAEscolher,  // a question before a book is open (its code, its file): nothing else starts
    ejAGerar,     // the puzzles are being made; "Cancelar" stops them
    ejACancelar,  // a cancel was asked for: the book stops after the puzzle in hand
    ejAEscrever,  // the pages are being written: only closing the window stops them
    ejAPerguntar, // the close question is open, and the book holds until it is answered
    ejAFechar,    // the book is stopping, writing nothing, and the window closes once it has
};

class TFormMain : public QWidget {
    Q_OBJECT
  public:
    explicit TFormMain(QWidget* AParent = nullptr);
    // A book still running is cancelled and waited for; a book already being written is
    // finished, so no half-written file is left behind.
    ~TFormMain() override;

    // Auto-repeated Enter keys, anywhere in the program, go nowhere: a key held in a dialog
    // must not press the window's buttons, nor a dialog's, once per repeat.
    bool eventFilter(QObject* AObjeto, QEvent* AEvento) override;

    // The book generator and the PDF writer, unless a test puts others in.
    void DefinirGerador(decltype(TEtapasLivro::Gerar) AGerador);
    void DefinirGravador(decltype(TEtapasLivro::GravarPdf) AGravador);
    // How the book's threads start, its worker's included, unless a test puts another in.
    void DefinirIniciarFio(decltype(TEtapasLivro::IniciarFio) AIniciar);

    // The pause of the book being made: while it is held (TPausaSegura), every thread of
    // the book holds at its next step (a puzzle, a page) and the window hears nothing from
    // it; a step under way is finished first. The close question holds it.
    TPausa& PausaDoLivro() { return FPausa; }
    // How the preview's pages are made and how its thread starts, unless a test puts others in.
    void DefinirVerLivro(TFazedorDePrevias::TVerLivro AVerLivro);
    void DefinirIniciarFioDaPrevia(TIniciarFio AIniciar);
    // The code "Gerar Livro" makes the next book with, and the preview shows: drawn from the
    // clock when the window opens and after each book is made, set by "Refazer um livro…".
    uint32_t ProximaSemente() const { return FProximaSemente; }
    // The program that opens the PDF and its folder, unless a test names another.
    void DefinirAbridor(const QString& APrograma);
    // The bus "Abrir a pasta" asks the file manager on, unless a test gives another.
    void DefinirBarramento(const QDBusConnection& ABarramento);

    TEstadoJanela Estado() const { return FEstado; }
    // A book is being made or written, or is stopping.
    bool Ocupado() const;

    // The program is ending (a signal): the book stops at its next puzzle or page, nothing
    // is written, and no question is asked.
    void PararParaSair();

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
    // The chosen path (CaminhoComPdf), or empty when the user gives up.
    virtual QString PedirFicheiro(const QString& ANomeProposto);
    // The code of the book to make again, or its PDF's recipe; nothing when the user gives
    // up. AEscolha describes the current choices.
    virtual std::optional<TLivroARefazer> PedirRefazer(const QString& AEscolha);
    // Shows the file (or folder) in the desktop's program for it; a failure, which may come
    // later, is told by AbrirFalhou.
    virtual void AbrirFicheiro(const QString& ACaminho);
    virtual void MostrarAcerca();

    void closeEvent(QCloseEvent* AEvento) override;
    void keyPressEvent(QKeyEvent* AEvento) override;
    void showEvent(QShowEvent* AEvento) override;
    void resizeEvent(QResizeEvent* AEvento) override;

  private:
    void CriarControlos();
    QLayout* CriarColunaDoLivro();
    QLayout* CriarColunaDosBotoes();
    QLayout* CriarColunaDaPrevia();
    void CriarAtalhos();
    // Names, descriptions and tooltips: what a screen reader says of each control, and the
    // help where each choice is made.
    void NomearControlos();
    void EscolhaMudou();
    void BitBtnGerarClick();
    void BitBtnRefazerClick();
    void BitBtnCancelarClick();
    void BitBtnSairClick();
    void AbrirPastaClick();
    void CopiarCodigoClick();
    void MostrarAjuda();
    // The book of the current choices, with a fresh code or, when ARefazer, with the code or
    // the PDF the user gives (PedirRefazer).
    void FazerLivroDaEscolha(bool ARefazer);
    // Sets every choice of the window to those of AConfig; false, with the reason shown,
    // when the window cannot make that book.
    bool AplicarEscolhas(const TConfigLivro& AConfig);
    // The book of the window's choices with the next code, its title as typed; empty, or the
    // reason the window cannot make it (the title is not judged here).
    std::string LerEscolhas(TConfigLivro& AConfig) const;
    void DefinirProximoCodigo(uint32_t ASemente);
    // The preview follows the choices a moment after the last change (FazerPrevia), unless
    // a book is being made: the book goes first.
    void PedirPrevia();
    void FazerPrevia();
    void PreviaPronta(const TVistaDoLivro& AVista);
    void SemPrevia(const QString& AMotivo);
    void AmpliarPagina(int32_t APagina);
    // The width the preview's pages are wanted at now: that of the page opened large, when
    // one is.
    int32_t LarguraDaPrevia() const;
    // The window's choices (AConfig: as read by LerConfiguracao, with the next code), its
    // title as typed and its status line, kept while a book to remake is chosen and put back
    // when none is made.
    struct TEscolhasDaJanela {
        TConfigLivro Config;
        QString Titulo;
        QString Estado;
        QString CaminhoDoEstado;
        bool MotivoMostrado = false;
    };
    TEscolhasDaJanela GuardarEscolhas(const TConfigLivro& AConfig) const;
    void ReporEscolhas(const TEscolhasDaJanela& AEscolhas);
    // "50 puzzles · 8 × 8 · progressiva: …; soluções com dicas; sem título."
    QString TextoDaEscolha(const TConfigLivro& AConfig) const;
    void MudarEstado(TEstadoJanela AEstado);

    // Makes the book, on the worker or, when no thread can be had for it, on the window's
    // own thread (ANaJanela), which then goes on answering between two puzzles or pages.
    void Trabalhar(TPedidoLivro APedido, TEtapasLivro AEtapas, bool ANaJanela);
    // From any thread: AAccao runs on the window's thread, after those posted before it.
    void ParaAJanela(std::function<void()> AAccao);
    Q_INVOKABLE void AtenderFila();
    void Progresso(int32_t AFeitos, int32_t ATotal, const std::string& ATexto);
    // The puzzles are done and the pages are being written.
    void GeracaoTerminou();
    void LivroTerminou(const TDesfechoLivro& ADesfecho, const std::string& ANomeFicheiro);
    void AbrirFalhou(const QString& ACaminho);
    // The book's file could not be opened where the user chose (a folder without permission,
    // a folder gone): the reason, then the save dialog again in that folder with the name
    // kept, and the same book (its code too) wherever the user then chooses.
    void GravarNoutroSitio(const QString& AMotivo, const QString& ACaminho);
    // The status line: ATexto as it fits (TextoQueCabe, ACaminho being the part to shorten
    // first), the whole of it in the tooltip when it had to be shortened.
    void DefinirEstado(const QString& ATexto, const QString& ACaminho = {});
    // The line under it with the book just saved (ACaminho), "Abrir a pasta" and "Copiar o
    // código" (ACodigo); hidden for an empty path.
    void DefinirFicheiro(const QString& ACaminho, const QString& ACodigo = {});

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
    QWidget* LinhaFicheiro = nullptr;
    QLabel* LabelFicheiro = nullptr;
    QPushButton* BitBtnAbrirPasta = nullptr;
    QPushButton* BitBtnCopiarCodigo = nullptr;
    QProgressBar* ProgressBarLote = nullptr;
    QPushButton* BitBtnGerar = nullptr;
    QPushButton* BitBtnRefazer = nullptr;
    QPushButton* BitBtnSair = nullptr;
    QPushButton* BitBtnCancelar = nullptr;
    QToolButton* BotaoAjuda = nullptr;
    QLabel* LabelProximoCodigo = nullptr;
    TPaginasDaPrevia* PreVisualizacao = nullptr;
    TPaginaAmpliada* PaginaAmpliada = nullptr;
    TFazedorDePrevias* FPrevias = nullptr;
    QTimer* FRelogioDaPrevia = nullptr;
    // The page open large, and the width the preview was last asked for.
    int32_t FPaginaAmpliada = -1;
    int32_t FLarguraPedida = 0;
    QPointer<TJanelaDeAjuda> FAjuda;
    TAbridor* FAbridor = nullptr;

    TEstadoJanela FEstado = TEstadoJanela::ejLivre;
    // Where the close question goes back to when answered "Não".
    TEstadoJanela FAntesDaPergunta = TEstadoJanela::ejLivre;
    // The status line shows a reason the choice cannot be made, which goes once it can.
    bool FMotivoMostrado = false;
    // The whole status line and the path in it (DefinirEstado).
    QString FTextoDoEstado;
    QString FCaminhoDoEstado;
    // Read by the worker: a cancel, after every puzzle; a stop ("Sim" to the close question,
    // a signal), before every page too.
    std::atomic<bool> FCancelar = false;
    std::atomic<bool> FPararPaginas = false;
    // The time stamp of the last release of Enter (eventFilter).
    std::optional<quint64> FEnterLargado;
    // The outcome of a book that ended while the close question was open, shown once it
    // is answered.
    std::optional<std::pair<TDesfechoLivro, std::string>> FDesfechoPendente;
    // The book last saved and its code, for "Abrir a pasta" and "Copiar o código".
    QString FLivroGravado;
    QString FCodigoGravado;

    // What the worker posted for the window's thread (ParaAJanela), in order, and last how
    // its book ended, with the path of its PDF.
    std::mutex FTrincoDaFila;
    std::vector<std::function<void()>> FFila;
    std::optional<std::pair<TDesfechoLivro, std::string>> FFim;

    // Every book of the window passes it; held while the close question is open.
    TPausa FPausa;
    std::optional<TPausaSegura> FPausaDaPergunta;

    TEtapasLivro FEtapas = EtapasDoLivro();
    uint32_t FProximaSemente = 0;
    // Where the save dialog opens: the folder of the last book that could be written there.
    QString FUltimaPasta;
    // The book in hand, and whether its files were opened (its first progress came).
    TConfigLivro FConfigEmCurso;
    bool FFicheirosAbertos = false;
    TFio FTrabalhador;
};

} // namespace tavrelo
