// The next book seen beside its choices: its first pages made on a thread of their own, the
// newest request first, and shown small, or one of them at the window's size.
#pragma once

#include "frontend/previsao.h"
#include "generation/fio.h"

#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tavrelo {

// Makes the preview of a book off the window's thread, one at a time. A request made while
// another is under way stops that one at its next puzzle or page and is made once it has
// stopped: only the newest request is ever shown, and the window's thread never waits.
class TFazedorDePrevias : public QObject {
    Q_OBJECT
  public:
    using TVerLivro = std::function<std::optional<TVistaDoLivro>(
        const TConfigLivro& AConfig, int32_t ALargura, const std::function<bool()>& AParar)>;

    explicit TFazedorDePrevias(QObject* AParent = nullptr);
    // Stops the preview under way and waits for its thread.
    ~TFazedorDePrevias() override;

    // How the pages are made and how the thread starts, unless a test puts others in.
    void DefinirVerLivro(TVerLivro AVerLivro) { FVerLivro = std::move(AVerLivro); }
    void DefinirIniciarFio(TIniciarFio AIniciar) { FIniciarFio = std::move(AIniciar); }

    // The preview of AConfig, its pages ALargura pixels wide; replaces any request before it.
    void Pedir(const TConfigLivro& AConfig, int32_t ALargura);
    // Gives up whatever was asked: nothing more is shown until the next request.
    void Parar();
    // A preview is being made, or waits for the one before it to stop.
    bool Ocupado() const { return FFio.Iniciado() || FPendente.has_value(); }

  signals:
    // The pages of the newest request, or why it has none.
    void Pronta(const tavrelo::TVistaDoLivro& AVista);
    void SemPrevia(const QString& AMotivo);

  private:
    struct TPedido {
        TConfigLivro Config;
        int32_t Largura = 0;
        uint64_t Numero = 0;
    };
    // What the thread hands back, under FTrinco.
    struct TFeito {
        uint64_t Numero = 0;
        std::optional<TVistaDoLivro> Vista;
        std::string Motivo;
        bool SemMemoria = false;
    };

    void Iniciar();
    Q_INVOKABLE void Recolher();

    TVerLivro FVerLivro;
    TIniciarFio FIniciarFio;
    std::optional<TPedido> FPendente;
    uint64_t FUltimo = 0;
    std::atomic<bool> FParar = false;
    std::mutex FTrinco;
    std::optional<TFeito> FFeito;
    TFio FFio;
};

// A page as the window shows it: its picture (at the size the preview asked for), or the
// reason it has none.
struct TPaginaMostrada {
    QString Nome;
    int32_t Numero = 0;
    QImage Imagem;
    QString Motivo;
};

// A picture of a page for Qt, copied out of AImagem.
QImage ImagemDaPagina(const TImagemPagina& AImagem);
// The line under a page: "Capa · página 1".
QString LegendaDaPagina(const TPaginaMostrada& APagina);

// The three pages side by side, as large as the space allows. One stop of the tab order:
// the arrows choose a page, Enter (or a click) opens it larger.
class TPaginasDaPrevia : public QWidget {
    Q_OBJECT
  public:
    explicit TPaginasDaPrevia(QWidget* AParent = nullptr);

    // The pages to show, or in their place a line that says why there are none.
    void MostrarPaginas(std::vector<TPaginaMostrada> APaginas);
    void MostrarTexto(const QString& ATexto);
    const std::vector<TPaginaMostrada>& Paginas() const { return FPaginas; }
    // Page APagina (from 0), or null when there is none.
    const TPaginaMostrada* Pagina(int32_t APagina) const;
    const QString& Texto() const { return FTexto; }
    // The width, in pixels of the screen, each page is drawn at now.
    int32_t LarguraDaPagina() const;
    int32_t Escolhida() const { return FEscolhida; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

  signals:
    void Ampliar(int32_t APagina);
    void TamanhoMudou();

  protected:
    void paintEvent(QPaintEvent* AEvento) override;
    void keyPressEvent(QKeyEvent* AEvento) override;
    void mousePressEvent(QMouseEvent* AEvento) override;
    void resizeEvent(QResizeEvent* AEvento) override;

  private:
    QRect LugarDaPagina(int32_t APagina) const;
    QSize TamanhoDaPagina() const;

    std::vector<TPaginaMostrada> FPaginas;
    // Each page's picture at the size it was last drawn, made again when that changes.
    std::vector<QPixmap> FDesenhadas;
    QString FTexto;
    int32_t FEscolhida = 0;
};

// One page over the whole window. Escape, Enter or a click closes it.
class TPaginaAmpliada : public QWidget {
    Q_OBJECT
  public:
    explicit TPaginaAmpliada(QWidget* AParent);

    void Mostrar(const TPaginaMostrada& APagina);
    void Atualizar(const TPaginaMostrada& APagina);
    // The width, in pixels of the screen, the page is shown at.
    int32_t LarguraDaPagina() const;

  signals:
    void Fechada();

  protected:
    void paintEvent(QPaintEvent* AEvento) override;
    void keyPressEvent(QKeyEvent* AEvento) override;
    void mousePressEvent(QMouseEvent* AEvento) override;
    bool focusNextPrevChild(bool ASeguinte) override;

  private:
    QRect LugarDaPagina() const;

    TPaginaMostrada FPagina;
};

} // namespace tavrelo
