#include "app/janela.h"

#include "app/aspeto.h"
#include "app/dialogo_codigo.h"
#include "core/random.h"
#include "frontend/textos.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QStyle>
#include <QUrl>

#include <algorithm>
#include <climits>

namespace tavrelo {

namespace {

constexpr int32_t PUZZLES_INICIAIS = 50;

const char* const TITULO_MENSAGENS = "TAVRELO";

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// Tab reaches a radio group at its selected item; the arrows move within the group.
void SoOEscolhidoNaTabulacao(const QButtonGroup& ABotoes) {
    for (QAbstractButton* b : ABotoes.buttons()) {
        b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

// A radio group of two columns filled column by column, items numbered from 0.
QGroupBox* CriarGrupoDeRadios(QWidget* APai, const QString& ATitulo, const QStringList& AItens,
                              QButtonGroup*& ABotoes) {
    auto* grupo = new QGroupBox(ATitulo, APai);
    auto* grelha = new QGridLayout(grupo);
    grelha->setContentsMargins(8, 4, 8, 4);
    grelha->setHorizontalSpacing(8);
    grelha->setVerticalSpacing(0);
    ABotoes = new QButtonGroup(grupo);
    ABotoes->setExclusive(true);
    const int linhas = (static_cast<int>(AItens.size()) + 1) / 2;
    for (int i = 0; i < AItens.size(); ++i) {
        auto* radio = new QRadioButton(AItens[i], grupo);
        radio->setFont(Fonte(15));
        grelha->addWidget(radio, i % linhas, i / linhas);
        ABotoes->addButton(radio, i);
    }
    QButtonGroup* botoes = ABotoes;
    QObject::connect(botoes, &QButtonGroup::buttonToggled, grupo,
                     [botoes] { SoOEscolhidoNaTabulacao(*botoes); });
    return grupo;
}

bool EEnter(const QKeyEvent& ATecla) {
    return ATecla.key() == Qt::Key_Return || ATecla.key() == Qt::Key_Enter;
}

} // namespace

// ---------------------------------------------------------------------------------------

TFormMain::TFormMain(QWidget* AParent)
    : QWidget(AParent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName("FormMain");
    setWindowTitle("TAVRELO | Brovanel");
    setWindowIcon(IconeTavrelo());
    setFont(Fonte(12));
    setFixedSize(676, 368);
    CriarControlos();

    if (const QScreen* ecra = QGuiApplication::primaryScreen()) {
        const QRect area = ecra->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    qApp->installEventFilter(this);
    AtualizarEstado();
}

TFormMain::~TFormMain() {
    FCancelar = true;
    Pausar(false);
    if (FTrabalhador.joinable()) {
        FTrabalhador.join();
    }
}

// A held key repeats as presses Qt marks as repeated or, where the display server does not
// tell repeats apart (X without detectable auto-repeat, as under Xvfb), as a release and a
// press with the same time stamp: no hand presses a key again in the millisecond it let
// it go. Events without a time stamp (0, made by a program) are taken as they say.
bool TFormMain::eventFilter(QObject* AObjeto, QEvent* AEvento) {
    if (AEvento->type() == QEvent::KeyPress || AEvento->type() == QEvent::KeyRelease) {
        const auto* tecla = static_cast<const QKeyEvent*>(AEvento);
        if (EEnter(*tecla)) {
            if (AEvento->type() == QEvent::KeyRelease) {
                FEnterLargado = tecla->timestamp();
            } else if (tecla->isAutoRepeat() ||
                       (tecla->timestamp() != 0 && FEnterLargado == tecla->timestamp())) {
                return true;
            }
        }
    }
    return QWidget::eventFilter(AObjeto, AEvento);
}

void TFormMain::DefinirGerador(decltype(TEtapasLivro::Gerar) AGerador) {
    FEtapas.Gerar = std::move(AGerador);
}

void TFormMain::DefinirGravador(decltype(TEtapasLivro::GravarPdf) AGravador) {
    FEtapas.GravarPdf = std::move(AGravador);
}

namespace {

// Names one control, sets its font and places it, as the window's layout lists them.
template <typename T> T* Colocar(T* AControlo, const char* ANome, int AFonte, QRect AGeometria) {
    AControlo->setObjectName(ANome);
    AControlo->setFont(Fonte(AFonte));
    AControlo->setGeometry(AGeometria);
    return AControlo;
}

} // namespace

void TFormMain::CriarControlos() {
    GroupBoxLivro = Colocar(new QGroupBox("Livro", this), "GroupBoxLivro", 17, {12, 8, 465, 168});

    RadioGroupTamanho =
        Colocar(CriarGrupoDeRadios(GroupBoxLivro, "Ta&manho",
                                   {"8 x 8", "12 x 12", "16 x 16", "7 x 7", "11 x 11", "13 x 13"},
                                   FBotoesTamanho),
                "RadioGroupTamanho", 15, {14, 28, 190, 125});
    FBotoesTamanho->button(0)->setChecked(true);

    RadioGroupNivel = Colocar(
        CriarGrupoDeRadios(GroupBoxLivro, "Di&ficuldade",
                           {"Nível 1", "Nível 2", "Nível 3", "Nível 4", "Nível 5", "Progressiva"},
                           FBotoesNivel),
        "RadioGroupNivel", 15, {214, 28, 237, 125});
    FBotoesNivel->button(ITEM_PROGRESSIVA)->setChecked(true);

    auto* bevel = new QFrame(this);
    bevel->setObjectName("BevelApp");
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Raised);
    bevel->setGeometry(483, 18, 184, 94);
    auto* labelNome = new QLabel("TAVRELO", this);
    labelNome->setObjectName("LabelNome");
    QFont fonteNome = Fonte(33, true);
    fonteNome.setFamilies({QStringLiteral("Segoe UI Semibold"), QStringLiteral("Segoe UI"),
                           QStringLiteral("Liberation Sans")});
    labelNome->setFont(fonteNome);
    labelNome->move(497, 26);
    labelNome->adjustSize();
    auto* labelAutor = new QLabel("by Brovanel", this);
    labelAutor->setObjectName("LabelAutor");
    labelAutor->setFont(Fonte(15));
    labelAutor->move(508, 69);
    labelAutor->adjustSize();

    LabelNumPuzzles = Colocar(new QLabel("&Número de puzzles: ", this), "LabelNumPuzzles", 15,
                              {513, 157, 135, 20});

    // The edit and its spin buttons are one control here: 83 + 26 pixels wide.
    EditNumPuzzles = Colocar(new TEditComSetas(this), "EditNumPuzzles", 17, {524, 184, 109, 31});
    EditNumPuzzles->DefinirLimites(MIN_PUZZLES, MAX_PUZZLES);
    EditNumPuzzles->DefinirPosicao(PUZZLES_INICIAIS);
    LabelNumPuzzles->setBuddy(EditNumPuzzles);

    LabelTituloLivro =
        Colocar(new QLabel("&Título do livro", this), "LabelTituloLivro", 15, {15, 196, 93, 20});

    EditTituloLivro = Colocar(new QLineEdit(this), "EditTituloLivro", 15, {12, 222, 465, 28});
    LabelTituloLivro->setBuddy(EditTituloLivro);

    CheckBoxCaminho = Colocar(new QCheckBox("Soluções com &dicas", this), "CheckBoxCaminho", 15,
                              {191, 191, 165, 17});
    CheckBoxCaminho->setChecked(true);

    CheckBoxAbrirPDF =
        Colocar(new QCheckBox("&Abrir o PDF", this), "CheckBoxAbrirPDF", 15, {377, 191, 96, 17});
    CheckBoxAbrirPDF->setChecked(true);

    LabelResumo = Colocar(new QLabel(this), "LabelResumo", 12, {12, 256, 465, 30});
    LabelResumo->setWordWrap(true);
    LabelResumo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelResumo->setTextFormat(Qt::PlainText);

    // The status line can be selected and copied (the book code), by mouse or keyboard,
    // without joining the tab order.
    LabelEstado = Colocar(new QLabel(this), "LabelEstado", 12, {12, 291, 465, 30});
    LabelEstado->setWordWrap(true);
    LabelEstado->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelEstado->setTextFormat(Qt::PlainText);
    LabelEstado->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    ProgressBarLote = new QProgressBar(this);
    ProgressBarLote->setObjectName("ProgressBarLote");
    ProgressBarLote->setGeometry(12, 334, 465, 20);
    ProgressBarLote->setTextVisible(false);
    ProgressBarLote->setRange(0, PUZZLES_INICIAIS);
    ProgressBarLote->setValue(0);

    // The cancel button stands between the number and "Gerar Livro", where it can be
    // reached by the mouse while a book is running; it never takes the focus, so a key
    // meant for something else cannot press it. Escape and Alt+C press it.
    BitBtnCancelar =
        Colocar(new QPushButton("&Cancelar", this), "BitBtnCancelar", 15, {520, 222, 120, 30});
    BitBtnCancelar->setEnabled(false);
    BitBtnCancelar->setFocusPolicy(Qt::NoFocus);

    BitBtnGerar =
        Colocar(new QPushButton("&Gerar Livro", this), "BitBtnGerar", 15, {520, 260, 120, 40});
    BitBtnGerar->setDefault(true);

    BitBtnSair = Colocar(new QPushButton("&Sair", this), "BitBtnSair", 15, {520, 314, 120, 40});

    // Under the name plate, clear of the controls of the book.
    BitBtnRefazer = Colocar(new QPushButton("&Refazer um livro…", this), "BitBtnRefazer", 13,
                            {505, 119, 150, 28});
    BitBtnRefazer->setToolTip("Faz outra vez um livro a partir do código impresso na sua ficha "
                              "técnica (Ctrl+R).");
    auto* atalhoRefazer = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(atalhoRefazer, &QShortcut::activated, this, [this] {
        if (BitBtnRefazer->isEnabled()) {
            BitBtnRefazer->click();
        }
    });

    QList<QWidget*> ordem;
    for (QButtonGroup* grupo : {FBotoesTamanho, FBotoesNivel}) {
        for (QAbstractButton* b : grupo->buttons()) {
            ordem << b;
        }
    }
    ordem << EditTituloLivro << CheckBoxCaminho << CheckBoxAbrirPDF << EditNumPuzzles << BitBtnGerar
          << BitBtnRefazer << BitBtnSair;
    for (qsizetype i = 1; i < ordem.size(); ++i) {
        setTabOrder(ordem[i - 1], ordem[i]);
    }

    connect(FBotoesTamanho, &QButtonGroup::idClicked, this, &TFormMain::EscolhaMudou);
    connect(FBotoesNivel, &QButtonGroup::idClicked, this, &TFormMain::EscolhaMudou);
    connect(EditNumPuzzles, &TEditComSetas::TextoMudou, this, &TFormMain::EscolhaMudou);
    connect(EditTituloLivro, &QLineEdit::textChanged, this, &TFormMain::EscolhaMudou);
    connect(BitBtnGerar, &QPushButton::clicked, this, &TFormMain::BitBtnGerarClick);
    connect(BitBtnRefazer, &QPushButton::clicked, this, &TFormMain::BitBtnRefazerClick);
    connect(BitBtnCancelar, &QPushButton::clicked, this, &TFormMain::BitBtnCancelarClick);
    connect(BitBtnSair, &QPushButton::clicked, this, &TFormMain::BitBtnSairClick);
}

int32_t TFormMain::ItemTamanho() const {
    return FBotoesTamanho->checkedId();
}

int32_t TFormMain::ItemNivel() const {
    return FBotoesNivel->checkedId();
}

void TFormMain::EscolhaMudou() {
    AtualizarEstado();
}

void TFormMain::DefinirEstado(const QString& ATexto, const QString& ACaminho) {
    const QString visivel = TextoQueCabe(*LabelEstado, ATexto, ACaminho);
    LabelEstado->setText(visivel);
    LabelEstado->setToolTip(visivel == ATexto ? QString() : ATexto);
}

void TFormMain::AtualizarEstado() {
    if (FAtualizando) {
        return;
    }
    FAtualizando = true;
    struct TFimDaAtualizacao {
        bool& Flag;
        ~TFimDaAtualizacao() { Flag = false; }
    } fim{FAtualizando};

    const bool livre = !FOcupado;
    if (ItemTamanho() < 0) {
        FBotoesTamanho->button(0)->setChecked(true);
    }
    if (ItemNivel() < 0) {
        FBotoesNivel->button(ITEM_PROGRESSIVA)->setChecked(true);
    }
    const int32_t N = TamanhoDoIndice(ItemTamanho());
    const int32_t minimo = MinimoDePuzzles(ItemNivel());

    if (EditNumPuzzles->Minimo() != minimo) {
        EditNumPuzzles->DefinirLimites(minimo, MAX_PUZZLES);
        int32_t atual = 0;
        if (LerNumPuzzles(EditNumPuzzles->Texto().toStdString(), atual) && atual < minimo) {
            EditNumPuzzles->DefinirPosicao(minimo);
        }
    }

    int32_t n = 0;
    const bool valido = LerNumPuzzles(EditNumPuzzles->Texto().toStdString(), n);
    std::string motivo = MensagemNumPuzzles(valido);
    if (valido && n < minimo) {
        motivo = MensagemMinimoProgressiva();
    }
    if (motivo.empty()) {
        motivo = VerificarTitulo(EditTituloLivro->text().toStdString()).Motivo;
    }

    for (QWidget* w :
         {static_cast<QWidget*>(EditNumPuzzles), static_cast<QWidget*>(EditTituloLivro),
          static_cast<QWidget*>(RadioGroupTamanho), static_cast<QWidget*>(RadioGroupNivel),
          static_cast<QWidget*>(CheckBoxCaminho), static_cast<QWidget*>(CheckBoxAbrirPDF),
          static_cast<QWidget*>(BitBtnSair)}) {
        w->setEnabled(livre);
    }
    BitBtnGerar->setEnabled(livre && motivo.empty());
    BitBtnRefazer->setEnabled(BitBtnGerar->isEnabled());
    BitBtnCancelar->setEnabled(FPodeCancelar && !FCancelar);

    LabelResumo->setText(valido ? Q(ResumoDaEscolha(n, N, ItemNivel())) : QString());

    if (livre) {
        if (!motivo.empty()) {
            DefinirEstado(Q(motivo));
            FMotivoMostrado = true;
        } else if (FMotivoMostrado) {
            DefinirEstado(QString());
            FMotivoMostrado = false;
        }
    }
}

bool TFormMain::LerConfiguracao(TConfigLivro& AConfig) {
    AConfig = TConfigLivro{};
    int32_t n = 0;
    if (!LerNumPuzzles(EditNumPuzzles->Texto().toStdString(), n)) {
        MostrarAviso(Q(MensagemNumPuzzles(false)));
        return false;
    }
    if (ItemNivel() == ITEM_PROGRESSIVA && n < MinimoDePuzzles(ITEM_PROGRESSIVA)) {
        MostrarAviso(Q(MensagemMinimoProgressiva()));
        return false;
    }
    if (ItemTamanho() < 0 || ItemNivel() < 0) {
        return false;
    }
    AConfig.NumPuzzles = n;
    AConfig.N = TamanhoDoIndice(ItemTamanho());
    AConfig.Nivel = NivelDoItem(ItemNivel());
    const TTituloDoLivro titulo = VerificarTitulo(EditTituloLivro->text().toStdString());
    if (!titulo.Motivo.empty()) {
        MostrarAviso(Q(titulo.Motivo));
        return false;
    }
    AConfig.Titulo = titulo.Titulo;
    AConfig.Caminho = CheckBoxCaminho->isChecked();
    AConfig.Semente = SementeDoRelogio();
    try {
        ValidarConfiguracao(AConfig);
    } catch (const EVelt& e) {
        MostrarAviso(Q(e.what()));
        return false;
    }
    return true;
}

void TFormMain::BitBtnGerarClick() {
    FazerLivroDaEscolha(false);
}

void TFormMain::BitBtnRefazerClick() {
    FazerLivroDaEscolha(true);
}

QString TFormMain::TextoDaEscolha(const TConfigLivro& AConfig) const {
    return Q(ResumoDaEscolha(AConfig.NumPuzzles, AConfig.N, ItemNivel())) + "; " +
           (AConfig.Caminho ? "soluções com dicas" : "soluções sem dicas") + "; " +
           (AConfig.Titulo.empty() ? QString("sem título") : "título «" + Q(AConfig.Titulo) + "»") +
           ".";
}

void TFormMain::FazerLivroDaEscolha(bool ARefazer) {
    if (FOcupado) {
        return;
    }
    TConfigLivro config;
    if (!LerConfiguracao(config)) {
        return;
    }
    if (ARefazer) {
        const std::optional<uint32_t> codigo = PedirCodigo(TextoDaEscolha(config));
        if (!codigo || FOcupado) {
            return;
        }
        config.Semente = *codigo;
    }
    const QString caminho =
        PedirFicheiro(Q(NomeDoFicheiro(config.N, config.Nivel, config.NumPuzzles)));
    // The dialog is modal: a second click could not start a book meanwhile, but be sure.
    if (caminho.isEmpty() || FOcupado) {
        return;
    }
    GerarLivro(config, caminho.toStdString());
}

void TFormMain::BitBtnCancelarClick() {
    if (FPodeCancelar && !FCancelar) {
        FCancelar = true;
        BitBtnCancelar->setEnabled(false);
        DefinirEstado("A cancelar...");
    }
}

void TFormMain::BitBtnSairClick() {
    close();
}

void TFormMain::GerarLivro(const TConfigLivro& AConfig, const std::string& ANomeFicheiro) {
    if (FOcupado) {
        return;
    }
    if (FTrabalhador.joinable()) {
        FTrabalhador.join();
    }
    FOcupado = true;
    FPodeCancelar = true;
    FCancelar = false;
    FPararPaginas = false;
    FMotivoMostrado = false;

    ProgressBarLote->setRange(0, std::max(AConfig.NumPuzzles, 1));
    ProgressBarLote->setValue(0);
    DefinirEstado(TEXTO_A_PREPARAR);
    AtualizarEstado();

    TPedidoLivro pedido;
    pedido.Config = AConfig;
    pedido.CaminhoPdf = ANomeFicheiro;
    FTrabalhador = std::thread(&TFormMain::Trabalhar, this, std::move(pedido), FEtapas);
}

// Runs on the worker thread: touches no widget and no flag but FCancelar, FPararPaginas and
// the pause; everything the window shows is posted back to its own thread, in order.
void TFormMain::Trabalhar(TPedidoLivro APedido, TEtapasLivro AEtapas) {
    const auto naJanela = [this](auto AAccao) {
        QMetaObject::invokeMethod(this, std::move(AAccao), Qt::QueuedConnection);
    };
    TAvisosLivro avisos;
    avisos.Progresso = [&](int32_t AFeitos, int32_t ATotal, const std::string& ATexto) {
        naJanela([this, AFeitos, ATotal, ATexto] { Progresso(AFeitos, ATotal, ATexto); });
    };
    avisos.InicioDasPaginas = [&] { naJanela([this] { GeracaoTerminou(); }); };
    avisos.Cancelar = [this] { return EsperarResposta(FCancelar); };
    avisos.PararPaginas = [this] { return EsperarResposta(FPararPaginas); };
    const TDesfechoLivro desfecho = FazerLivro(APedido, avisos, AEtapas);
    naJanela([this, desfecho, caminho = APedido.CaminhoPdf] { LivroTerminou(desfecho, caminho); });
}

bool TFormMain::EsperarResposta(const std::atomic<bool>& APedido) {
    std::unique_lock<std::mutex> l(FTrincoPausa);
    FSinalPausa.wait(l, [this] { return !FEmPausa; });
    return APedido.load();
}

void TFormMain::Pausar(bool APausa) {
    {
        std::lock_guard<std::mutex> l(FTrincoPausa);
        FEmPausa = APausa;
    }
    FSinalPausa.notify_all();
}

void TFormMain::Progresso(int32_t AFeitos, int32_t ATotal, const std::string& ATexto) {
    if (!FOcupado) {
        return;
    }
    ProgressBarLote->setRange(0, std::max(ATotal, 1));
    ProgressBarLote->setValue(AFeitos);
    if (!FCancelar) {
        DefinirEstado(Q(ATexto));
    }
}

void TFormMain::GeracaoTerminou() {
    FPodeCancelar = false;
    AtualizarEstado();
    ProgressBarLote->setValue(ProgressBarLote->maximum());
    DefinirEstado(TEXTO_A_CRIAR_PDF);
}

void TFormMain::LivroTerminou(const TDesfechoLivro& ADesfecho, const std::string& ANomeFicheiro) {
    if (FPerguntando) {
        // The close question is open: its answer comes first.
        FDesfechoPendente.emplace(ADesfecho, ANomeFicheiro);
        return;
    }
    if (FTrabalhador.joinable()) {
        FTrabalhador.join();
    }
    // Back to Livre before any box about the outcome: a close meanwhile is not asked about
    // a book that is over.
    FOcupado = false;
    FPodeCancelar = false;
    AtualizarEstado();
    const QString caminho = Q(ANomeFicheiro);
    DefinirEstado(Q(ADesfecho.Mensagem), caminho);
    switch (ADesfecho.Fim) {
    case TFimDoLivro::flFalhou:
        ProgressBarLote->setValue(0);
        MostrarErro(Q(ADesfecho.Mensagem));
        break;
    case TFimDoLivro::flCancelado:
        ProgressBarLote->setValue(0);
        break;
    case TFimDoLivro::flGravado:
        ProgressBarLote->setValue(ProgressBarLote->maximum());
        for (const std::string& aviso : ADesfecho.Avisos) {
            MostrarAviso(Q(aviso));
        }
        if (CheckBoxAbrirPDF->isChecked() && !AbrirFicheiro(caminho)) {
            MostrarAviso(QString("O livro foi gravado, mas não foi possível abri-lo num leitor de "
                                 "PDF.\nO ficheiro está em:\n%1")
                             .arg(QDir::toNativeSeparators(QFileInfo(caminho).absoluteFilePath())));
        }
        break;
    }
    if (FFecharNoFim) {
        close();
    }
}

// While a book is made, the close is refused and the question asked; the worker holds at
// its next puzzle, or its next page, until it is answered. "Não" lets it go on; "Sim"
// cancels it, pages included, so nothing is written, and the window closes when the
// worker has stopped.
void TFormMain::closeEvent(QCloseEvent* AEvento) {
    if (!FOcupado) {
        AEvento->accept();
        return;
    }
    AEvento->ignore();
    if (FPerguntando || FFecharNoFim) {
        return;
    }
    FPerguntando = true;
    Pausar(true);
    const bool sim = PerguntarSimNao(Q(MensagemSairDuranteGeracao()));
    if (sim) {
        FCancelar = true;
        FPararPaginas = true;
        FFecharNoFim = true;
    }
    Pausar(false);
    FPerguntando = false;
    if (FDesfechoPendente) {
        // The book ended while the question was open (before it could be held): its
        // outcome is shown now, and the window closes after it if asked to.
        QMetaObject::invokeMethod(
            this, [this, d = std::move(*FDesfechoPendente)] { LivroTerminou(d.first, d.second); },
            Qt::QueuedConnection);
        FDesfechoPendente.reset();
    } else if (sim) {
        AtualizarEstado();
    }
}

void TFormMain::PararParaSair() {
    FCancelar = true;
    FPararPaginas = true;
    FFecharNoFim = true;
    Pausar(false);
}

void TFormMain::keyPressEvent(QKeyEvent* AEvento) {
    // Auto-repeated keys never get here (eventFilter): one press, one click.
    if (EEnter(*AEvento)) {
        if (auto* botao = qobject_cast<QPushButton*>(focusWidget()); botao && botao->isEnabled()) {
            botao->click();
        } else if (BitBtnGerar->isEnabled()) {
            BitBtnGerar->click();
        }
        AEvento->accept();
        return;
    }
    if (AEvento->key() == Qt::Key_Escape && FOcupado) {
        BitBtnCancelarClick();
        AEvento->accept();
        return;
    }
    QWidget::keyPressEvent(AEvento);
}

namespace {

// Plain text: a file name is shown as it is, never read as markup.
void MostrarCaixa(QWidget* APai, QMessageBox::Icon AIcone, const QString& ATexto) {
    QMessageBox caixa(AIcone, TITULO_MENSAGENS, ATexto, QMessageBox::Ok, APai);
    caixa.setTextFormat(Qt::PlainText);
    caixa.exec();
}

} // namespace

void TFormMain::MostrarAviso(const QString& ATexto) {
    MostrarCaixa(this, QMessageBox::Warning, ATexto);
}

void TFormMain::MostrarErro(const QString& ATexto) {
    MostrarCaixa(this, QMessageBox::Critical, ATexto);
}

bool TFormMain::PerguntarSimNao(const QString& ATexto) {
    QMessageBox caixa(QMessageBox::Question, TITULO_MENSAGENS, ATexto,
                      QMessageBox::Yes | QMessageBox::No, this);
    caixa.setTextFormat(Qt::PlainText);
    caixa.button(QMessageBox::Yes)->setText("&Sim");
    caixa.button(QMessageBox::No)->setText("&Não");
    caixa.setDefaultButton(QMessageBox::No);
    return caixa.exec() == QMessageBox::Yes;
}

QString TFormMain::PedirFicheiro(const QString& ANomeProposto) {
    QString pasta = FUltimaPasta;
    if (pasta.isEmpty() || !QDir(pasta).exists()) {
        pasta = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (pasta.isEmpty() || !QDir(pasta).exists()) {
            pasta = QDir::homePath();
        }
    }
    QFileDialog dialogo(this, "Guardar o livro", pasta, "PDF (*.pdf)");
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog, whatever the desktop offers, so that it speaks Portuguese. Its
    // default suffix is not used: it adds nothing to a name with a dot ("Livro v1.2"), so
    // ".pdf" is added here (CaminhoComPdf), and the overwrite question is asked here about
    // the name that is written.
    dialogo.setOption(QFileDialog::DontUseNativeDialog, true);
    dialogo.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialogo.setLabelText(QFileDialog::LookIn, "Procurar em:");
    dialogo.setLabelText(QFileDialog::FileName, "Nome do ficheiro:");
    dialogo.setLabelText(QFileDialog::FileType, "Tipo:");
    dialogo.setLabelText(QFileDialog::Accept, "Guardar");
    dialogo.setLabelText(QFileDialog::Reject, "Cancelar");
    QString nome = ANomeProposto;
    for (;;) {
        dialogo.selectFile(nome);
        if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) {
            return {};
        }
        const QString caminho = CaminhoComPdf(dialogo.selectedFiles().constFirst());
        const QFileInfo info(caminho);
        if (!info.dir().exists()) {
            MostrarAviso(QString("A pasta «%1» não existe.").arg(info.absolutePath()));
        } else if (info.isDir()) {
            MostrarAviso(
                QString("«%1» é uma pasta. Escolha outro nome para o livro.").arg(info.fileName()));
        } else if (!info.exists() ||
                   PerguntarSimNao(QString("O ficheiro «%1» já existe. Quer substituí-lo?")
                                       .arg(info.fileName()))) {
            FUltimaPasta = info.absolutePath();
            return caminho;
        }
        dialogo.setDirectory(info.absolutePath());
        nome = info.fileName();
    }
}

std::optional<uint32_t> TFormMain::PedirCodigo(const QString& AEscolha) {
    TDialogoCodigo dialogo(AEscolha, this);
    if (dialogo.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialogo.Codigo();
}

bool TFormMain::AbrirFicheiro(const QString& ACaminho) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(ACaminho));
}

// ---------------------------------------------------------------------------------------

QString CaminhoComPdf(const QString& ACaminho) {
    if (ACaminho.endsWith(".pdf", Qt::CaseInsensitive)) {
        return ACaminho;
    }
    return ACaminho + (ACaminho.endsWith('.') ? "pdf" : ".pdf");
}

QString TextoQueCabe(const QLabel& ARotulo, const QString& ATexto, const QString& ATrecho) {
    const QRect area = ARotulo.contentsRect();
    const QFontMetrics metrica(ARotulo.font());
    const auto cabe = [&](const QString& ATentativa) {
        const QRect r = metrica.boundingRect(QRect(0, 0, area.width(), INT_MAX),
                                             Qt::AlignLeft | Qt::TextWordWrap, ATentativa);
        return r.width() <= area.width() && r.height() <= area.height();
    };
    if (cabe(ATexto)) {
        return ATexto;
    }
    // The widest shortening of the part from AInicio, ANumero characters long, that fits.
    const auto encolher = [&](qsizetype AInicio, qsizetype ANumero) -> std::optional<QString> {
        const QString antes = ATexto.left(AInicio);
        const QString parte = ATexto.mid(AInicio, ANumero);
        const QString depois = ATexto.mid(AInicio + ANumero);
        std::optional<QString> melhor;
        int baixo = 0;
        int alto = metrica.horizontalAdvance(parte);
        while (baixo <= alto) {
            const int meio = baixo + (alto - baixo) / 2;
            const QString tentativa =
                antes + metrica.elidedText(parte, Qt::ElideMiddle, meio) + depois;
            if (cabe(tentativa)) {
                melhor = tentativa;
                baixo = meio + 1;
            } else {
                alto = meio - 1;
            }
        }
        return melhor;
    };
    if (const qsizetype onde = ATrecho.isEmpty() ? -1 : ATexto.indexOf(ATrecho); onde >= 0) {
        if (auto r = encolher(onde, ATrecho.size())) {
            return *r;
        }
    }
    return encolher(0, ATexto.size()).value_or(QString());
}

} // namespace tavrelo
