#include "app/previa.h"

#include "app/aspeto.h"
#include "frontend/fios.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <new>
#include <system_error>

namespace tavrelo {

namespace {

// The share of an A4 page's height in its width.
constexpr double ALTURA_A4 = 297.0 / 210.0;
constexpr int ENTRE_PAGINAS = 10;
constexpr int ALTURA_DA_LEGENDA = 20;
// The smallest page the preview draws, in pixels of the window.
constexpr int MENOR_PAGINA = 60;

const QColor COR_DO_FUNDO_AMPLIADO(60, 64, 72);
const QColor COR_DA_MARGEM(150, 158, 170);
const QColor COR_DA_ESCOLHA(0, 84, 166);

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A page, its frame and, when it has none, the reason in its place.
void DesenharPagina(QPainter& APintor, const QRect& ALugar, const TPaginaMostrada& APagina,
                    QPixmap& ADesenhada) {
    APintor.fillRect(ALugar, Qt::white);
    if (!APagina.Imagem.isNull()) {
        const qreal escala = APintor.device()->devicePixelRatioF();
        const QSize pixeis = (QSizeF(ALugar.size()) * escala).toSize();
        if (ADesenhada.isNull() || ADesenhada.size() != pixeis) {
            // Drawn pixel for pixel when made at this size (crisp), else smoothly scaled.
            ADesenhada =
                QPixmap::fromImage(APagina.Imagem.size() == pixeis
                                       ? APagina.Imagem
                                       : APagina.Imagem.scaled(pixeis, Qt::IgnoreAspectRatio,
                                                               Qt::SmoothTransformation));
            ADesenhada.setDevicePixelRatio(escala);
        }
        APintor.drawPixmap(ALugar.topLeft(), ADesenhada);
    } else if (!APagina.Motivo.isEmpty()) {
        APintor.setPen(Qt::black);
        APintor.drawText(ALugar.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                         APagina.Motivo);
    }
    APintor.setPen(COR_DA_MARGEM);
    APintor.setBrush(Qt::NoBrush);
    APintor.drawRect(ALugar.adjusted(0, 0, -1, -1));
}

// The line under a page as it fits AEspaco pixels: whole, or with "p." for "página", or cut.
QString LegendaQueCabe(const TPaginaMostrada& APagina, const QFontMetrics& AMetrica, int AEspaco) {
    const QString inteira = LegendaDaPagina(APagina);
    if (AMetrica.horizontalAdvance(inteira) <= AEspaco) {
        return inteira;
    }
    const QString curta = QString("%1 · p. %2").arg(APagina.Nome).arg(APagina.Numero);
    return AMetrica.elidedText(curta, Qt::ElideMiddle, AEspaco);
}

// The largest A4 page that fits ALargura × AAltura pixels.
QSize PaginaQueCabe(int ALargura, int AAltura) {
    const int largura = std::min(ALargura, static_cast<int>(std::floor(AAltura / ALTURA_A4)));
    return {largura, static_cast<int>(std::lround(largura * ALTURA_A4))};
}

} // namespace

// ---------------------------------------------------------------------------------------

TFazedorDePrevias::TFazedorDePrevias(QObject* AParent) : QObject(AParent) {}

TFazedorDePrevias::~TFazedorDePrevias() {
    FPendente.reset();
    FParar = true;
    FFio.Juntar();
}

void TFazedorDePrevias::Pedir(const TConfigLivro& AConfig, int32_t ALargura) {
    FPendente = TPedido{AConfig, ALargura, ++FUltimo};
    if (FFio.Iniciado()) {
        // The one under way stops at its next step; this one starts when it has.
        FParar = true;
        return;
    }
    Iniciar();
}

void TFazedorDePrevias::Parar() {
    FPendente.reset();
    ++FUltimo;
    FParar = true;
}

void TFazedorDePrevias::Iniciar() {
    TPedido pedido = std::move(*FPendente);
    FPendente.reset();
    FParar = false;
    TVerLivro ver = FVerLivro ? FVerLivro : TVerLivro(&VerLivro);
    auto corpo = [this, pedido = std::move(pedido), ver = std::move(ver)] {
        TFeito feito;
        feito.Numero = pedido.Numero;
        try {
            feito.Vista = ver(pedido.Config, pedido.Largura, [this] { return FParar.load(); });
        } catch (const std::bad_alloc&) {
            feito.SemMemoria = true;
        } catch (const std::exception& e) {
            try {
                feito.Motivo = e.what();
            } catch (const std::bad_alloc&) {
                feito.SemMemoria = true;
            }
        }
        // Handed over without allocating: the window hears how it ended, even short of memory.
        {
            std::lock_guard<std::mutex> l(FTrinco);
            FFeito = std::move(feito);
        }
        QMetaObject::invokeMethod(this, "Recolher", Qt::QueuedConnection);
    };
    try {
        try {
            FFio =
                FIniciarFio ? FIniciarFio(std::move(corpo)) : IniciarFioSemSinais(std::move(corpo));
            return;
        } catch (const std::system_error&) {
        }
        emit SemPrevia("Sem pré-visualização: o sistema não deu um fio de execução para a fazer. "
                       "O livro pode ser feito na mesma.");
    } catch (const std::bad_alloc&) {
        emit SemPrevia("Sem pré-visualização: não há memória suficiente.");
    }
}

void TFazedorDePrevias::Recolher() {
    std::optional<TFeito> feito;
    {
        std::lock_guard<std::mutex> l(FTrinco);
        feito.swap(FFeito);
    }
    if (!feito) {
        return;
    }
    FFio.Juntar();
    // Shown only when no newer request came meanwhile.
    if (feito->Numero == FUltimo && !FPendente) {
        if (feito->Vista) {
            emit Pronta(*feito->Vista);
        } else if (feito->SemMemoria) {
            emit SemPrevia("Sem pré-visualização: não há memória suficiente.");
        } else if (!feito->Motivo.empty()) {
            emit SemPrevia("Sem pré-visualização: " + Q(feito->Motivo));
        }
    }
    if (FPendente) {
        Iniciar();
    }
}

// ---------------------------------------------------------------------------------------

QImage ImagemDaPagina(const TImagemPagina& AImagem) {
    if (AImagem.Largura <= 0 || AImagem.Altura <= 0) {
        return {};
    }
    return QImage(reinterpret_cast<const uchar*>(AImagem.Pixeis.data()), AImagem.Largura,
                  AImagem.Altura, AImagem.Passo, QImage::Format_RGB32)
        .copy();
}

QString LegendaDaPagina(const TPaginaMostrada& APagina) {
    return QString("%1 · página %2").arg(APagina.Nome).arg(APagina.Numero);
}

// ---------------------------------------------------------------------------------------

TPaginasDaPrevia::TPaginasDaPrevia(QWidget* AParent) : QWidget(AParent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFont(Fonte(LETRA_PEQUENA));
}

void TPaginasDaPrevia::MostrarPaginas(std::vector<TPaginaMostrada> APaginas) {
    FPaginas = std::move(APaginas);
    FDesenhadas.assign(FPaginas.size(), QPixmap());
    FTexto.clear();
    FEscolhida = std::clamp(FEscolhida, 0, std::max(0, static_cast<int32_t>(FPaginas.size()) - 1));
    update();
}

const TPaginaMostrada* TPaginasDaPrevia::Pagina(int32_t APagina) const {
    return APagina >= 0 && APagina < static_cast<int32_t>(FPaginas.size())
               ? &FPaginas[static_cast<size_t>(APagina)]
               : nullptr;
}

void TPaginasDaPrevia::MostrarTexto(const QString& ATexto) {
    FPaginas.clear();
    FDesenhadas.clear();
    FTexto = ATexto;
    update();
}

QSize TPaginasDaPrevia::TamanhoDaPagina() const {
    return PaginaQueCabe((width() - 2 * ENTRE_PAGINAS - 4) / 3, height() - ALTURA_DA_LEGENDA - 4);
}

int32_t TPaginasDaPrevia::LarguraDaPagina() const {
    const int largura = std::max(TamanhoDaPagina().width(), MENOR_PAGINA);
    return static_cast<int32_t>(std::lround(largura * devicePixelRatioF()));
}

QRect TPaginasDaPrevia::LugarDaPagina(int32_t APagina) const {
    const QSize pagina = TamanhoDaPagina();
    const int todas = 3 * pagina.width() + 2 * ENTRE_PAGINAS;
    const int x = (width() - todas) / 2 + APagina * (pagina.width() + ENTRE_PAGINAS);
    return {QPoint(x, 2), pagina};
}

QSize TPaginasDaPrevia::minimumSizeHint() const {
    return {3 * MENOR_PAGINA + 2 * ENTRE_PAGINAS + 4,
            static_cast<int>(MENOR_PAGINA * ALTURA_A4) + ALTURA_DA_LEGENDA + 4};
}

QSize TPaginasDaPrevia::sizeHint() const {
    return {3 * 212 + 2 * ENTRE_PAGINAS + 4, 300 + ALTURA_DA_LEGENDA + 4};
}

void TPaginasDaPrevia::paintEvent(QPaintEvent*) {
    QPainter pintor(this);
    if (FPaginas.empty()) {
        pintor.setPen(palette().color(QPalette::WindowText));
        pintor.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, FTexto);
        return;
    }
    for (size_t i = 0; i < FPaginas.size(); ++i) {
        const QRect lugar = LugarDaPagina(static_cast<int32_t>(i));
        DesenharPagina(pintor, lugar, FPaginas[i], FDesenhadas[i]);
        pintor.setPen(palette().color(QPalette::WindowText));
        const QRect legenda(lugar.left() - ENTRE_PAGINAS / 2, lugar.bottom() + 2,
                            lugar.width() + ENTRE_PAGINAS, ALTURA_DA_LEGENDA);
        pintor.drawText(legenda, Qt::AlignHCenter | Qt::AlignTop,
                        LegendaQueCabe(FPaginas[i], pintor.fontMetrics(), legenda.width()));
        if (hasFocus() && static_cast<int32_t>(i) == FEscolhida) {
            // The page Enter opens: a dark outline, as the focus of the other controls.
            pintor.setPen(QPen(COR_DA_ESCOLHA, 2));
            pintor.setBrush(Qt::NoBrush);
            pintor.drawRect(lugar.adjusted(-2, -2, 1, 1));
        }
    }
}

void TPaginasDaPrevia::keyPressEvent(QKeyEvent* AEvento) {
    const int32_t paginas = static_cast<int32_t>(FPaginas.size());
    switch (AEvento->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (paginas > 0) {
            const int32_t passo = AEvento->key() == Qt::Key_Left ? -1 : 1;
            FEscolhida = std::clamp(FEscolhida + passo, 0, paginas - 1);
            update();
        }
        AEvento->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (paginas > 0 && !AEvento->isAutoRepeat()) {
            emit Ampliar(FEscolhida);
        }
        AEvento->accept();
        return;
    default:
        QWidget::keyPressEvent(AEvento);
    }
}

void TPaginasDaPrevia::mousePressEvent(QMouseEvent* AEvento) {
    for (int32_t i = 0; i < static_cast<int32_t>(FPaginas.size()); ++i) {
        if (LugarDaPagina(i).contains(AEvento->position().toPoint())) {
            FEscolhida = i;
            setFocus(Qt::MouseFocusReason);
            emit Ampliar(i);
            return;
        }
    }
    QWidget::mousePressEvent(AEvento);
}

void TPaginasDaPrevia::resizeEvent(QResizeEvent* AEvento) {
    QWidget::resizeEvent(AEvento);
    emit TamanhoMudou();
}

// ---------------------------------------------------------------------------------------

TPaginaAmpliada::TPaginaAmpliada(QWidget* AParent) : QWidget(AParent) {
    setFocusPolicy(Qt::StrongFocus);
    setFont(Fonte(LETRA_ESTADO));
    // It covers the window: what is under it is never seen through.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName("Página ampliada");
    hide();
}

void TPaginaAmpliada::Mostrar(const TPaginaMostrada& APagina) {
    setGeometry(parentWidget()->rect());
    Atualizar(APagina);
    raise();
    show();
    setFocus(Qt::OtherFocusReason);
}

void TPaginaAmpliada::Atualizar(const TPaginaMostrada& APagina) {
    FPagina = APagina;
    setAccessibleName("Página ampliada: " + LegendaDaPagina(FPagina));
    setAccessibleDescription("Escape volta às escolhas do livro.");
    update();
}

QRect TPaginaAmpliada::LugarDaPagina() const {
    const QRect area = rect().adjusted(12, ALTURA_DA_LEGENDA + 12, -12, -12);
    const QSize pagina = PaginaQueCabe(area.width(), area.height());
    return {area.left() + (area.width() - pagina.width()) / 2, area.top(), pagina.width(),
            pagina.height()};
}

int32_t TPaginaAmpliada::LarguraDaPagina() const {
    const int largura = std::max(LugarDaPagina().width(), MENOR_PAGINA);
    return static_cast<int32_t>(std::lround(largura * devicePixelRatioF()));
}

void TPaginaAmpliada::paintEvent(QPaintEvent*) {
    QPainter pintor(this);
    pintor.fillRect(rect(), COR_DO_FUNDO_AMPLIADO);
    pintor.setPen(Qt::white);
    pintor.drawText(QRect(12, 6, width() - 24, ALTURA_DA_LEGENDA), Qt::AlignHCenter | Qt::AlignTop,
                    LegendaDaPagina(FPagina) + " (Escape volta)");
    QPixmap desenhada;
    DesenharPagina(pintor, LugarDaPagina(), FPagina, desenhada);
}

void TPaginaAmpliada::keyPressEvent(QKeyEvent* AEvento) {
    switch (AEvento->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (!AEvento->isAutoRepeat()) {
            hide();
            emit Fechada();
        }
        AEvento->accept();
        return;
    default:
        QWidget::keyPressEvent(AEvento);
    }
}

void TPaginaAmpliada::mousePressEvent(QMouseEvent* AEvento) {
    AEvento->accept();
    hide();
    emit Fechada();
}

// While it covers the window, Tab reaches nothing under it.
bool TPaginaAmpliada::focusNextPrevChild(bool) {
    return true;
}

} // namespace tavrelo
