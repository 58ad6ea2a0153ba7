#include "app/janela.h"

#include "app/abridor.h"
#include "app/ajuda.h"
#include "app/aspeto.h"
#include "app/dialogos.h"
#include "core/random.h"
#include "frontend/fios.h"
#include "frontend/textos.h"

#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <new>
#include <system_error>

namespace tavrelo {

namespace {

constexpr int32_t PUZZLES_INICIAIS = 50;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The window's layout at 96 dots per inch: a column for the book (its choices, summary,
// status and progress) and a column for the name plate and the buttons, each control where
// the original design puts it.
constexpr QSize TAMANHO_DA_JANELA{676, 368};
constexpr QMargins MARGENS_DA_JANELA{12, 8, 9, 14};
constexpr int ENTRE_COLUNAS = 6;
constexpr int LARGURA_DO_LIVRO = 465;
constexpr int LARGURA_DOS_BOTOES = 184;
// The preview stands right of the buttons, a little apart from them.
constexpr int ANTES_DA_PREVIA = 12;
// A change of choice is previewed once this many milliseconds pass without another, so
// that a title typed asks for one preview, not one per letter.
constexpr int ESPERA_DA_PREVIA = 120;

// Tab reaches a radio group at its selected item; the arrows move within the group.
void SoOEscolhidoNaTabulacao(const QButtonGroup& ABotoes) {
    for (QAbstractButton* b : ABotoes.buttons()) {
        b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

// A radio group of two columns filled column by column, items numbered from 0.
QGroupBox* CriarGrupoDeRadios(QWidget* APai, const char* ANome, const QString& ATitulo,
                              const QStringList& AItens, QButtonGroup*& ABotoes) {
    auto* grupo = new QGroupBox(ATitulo, APai);
    grupo->setObjectName(ANome);
    grupo->setFont(Fonte(LETRA_CONTROLOS));
    auto* grelha = new QGridLayout(grupo);
    grelha->setContentsMargins(8, 4, 8, 4);
    grelha->setHorizontalSpacing(8);
    grelha->setVerticalSpacing(0);
    ABotoes = new QButtonGroup(grupo);
    ABotoes->setExclusive(true);
    const int linhas = (static_cast<int>(AItens.size()) + 1) / 2;
    for (int i = 0; i < AItens.size(); ++i) {
        auto* radio = new QRadioButton(AItens[i], grupo);
        radio->setFont(Fonte(LETRA_CONTROLOS));
        grelha->addWidget(radio, i % linhas, i / linhas);
        ABotoes->addButton(radio, i);
    }
    QButtonGroup* botoes = ABotoes;
    QObject::connect(botoes, &QButtonGroup::buttonToggled, grupo,
                     [botoes] { SoOEscolhidoNaTabulacao(*botoes); });
    return grupo;
}

// Names a control and sets its font.
template <typename T> T* Controlo(T* AControlo, const char* ANome, int ALetra) {
    AControlo->setObjectName(ANome);
    AControlo->setFont(Fonte(ALetra));
    return AControlo;
}

// A row holding AControlo of fixed size, AEsquerda pixels in from its column's left edge.
QBoxLayout* NaColuna(QWidget* AControlo, int AEsquerda, QSize ATamanho) {
    AControlo->setFixedSize(ATamanho);
    auto* linha = new QHBoxLayout;
    linha->setSpacing(0);
    linha->addSpacing(AEsquerda);
    linha->addWidget(AControlo);
    linha->addStretch();
    return linha;
}

bool EEnter(const QKeyEvent& ATecla) {
    return ATecla.key() == Qt::Key_Return || ATecla.key() == Qt::Key_Enter;
}

// Until a book starts, a question before it (its code, its file) leaves the window free
// again however it ends.
class TEscolhaDoLivro {
  public:
    TEscolhaDoLivro(TEstadoJanela& AEstado) : FEstado(AEstado) {
        FEstado = TEstadoJanela::ejAEscolher;
    }
    ~TEscolhaDoLivro() {
        if (FEstado == TEstadoJanela::ejAEscolher) {
            FEstado = TEstadoJanela::ejLivre;
        }
    }
    TEscolhaDoLivro(const TEscolhaDoLivro&) = delete;
    TEscolhaDoLivro& operator=(const TEscolhaDoLivro&) = delete;

  private:
    TEstadoJanela& FEstado;
};

} // namespace

// ---------------------------------------------------------------------------------------

TFormMain::TFormMain(QWidget* AParent)
    : QWidget(AParent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName("FormMain");
    setWindowTitle("TAVRELO | Brovanel");
    setWindowIcon(IconeTavrelo());
    setFont(Fonte(LETRA_BASE));
    FAbridor = new TAbridor(this);
    connect(FAbridor, &TAbridor::Falhou, this, &TFormMain::AbrirFalhou);
    FEtapas.Pausa = &FPausa;
    FPrevias = new TFazedorDePrevias(this);
    connect(FPrevias, &TFazedorDePrevias::Pronta, this, &TFormMain::PreviaPronta);
    connect(FPrevias, &TFazedorDePrevias::SemPrevia, this, &TFormMain::SemPrevia);
    FRelogioDaPrevia = new QTimer(this);
    FRelogioDaPrevia->setSingleShot(true);
    FRelogioDaPrevia->setInterval(ESPERA_DA_PREVIA);
    connect(FRelogioDaPrevia, &QTimer::timeout, this, &TFormMain::FazerPrevia);
    CriarControlos();
    CriarAtalhos();
    NomearControlos();
    DefinirProximoCodigo(SementeDoRelogio());
    // The choices keep their size and places (the layout's least size holds them); the
    // preview takes what the window has left.
    QSize tamanho =
        layout()->minimumSize() +
        QSize(PreVisualizacao->sizeHint().width() - PreVisualizacao->minimumSizeHint().width(), 0);
    if (const QScreen* ecra = QGuiApplication::primaryScreen()) {
        // Room left for the window's frame on a small screen.
        tamanho = tamanho.boundedTo(ecra->availableGeometry().size() - QSize(16, 48));
    }
    resize(tamanho.expandedTo(minimumSize()));
    // Every control has its place before the first text is fitted into it.
    layout()->activate();
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->layout() != nullptr) {
            w->layout()->activate();
        }
    }

    if (const QScreen* ecra = QGuiApplication::primaryScreen()) {
        const QRect area = ecra->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    qApp->installEventFilter(this);
    AtualizarEstado();
}

TFormMain::~TFormMain() {
    FPrevias->Parar();
    FCancelar = true;
    FPausaDaPergunta.reset();
    FTrabalhador.Juntar();
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

void TFormMain::DefinirIniciarFio(decltype(TEtapasLivro::IniciarFio) AIniciar) {
    FEtapas.IniciarFio = std::move(AIniciar);
}

void TFormMain::DefinirVerLivro(TFazedorDePrevias::TVerLivro AVerLivro) {
    FPrevias->DefinirVerLivro(std::move(AVerLivro));
}

void TFormMain::DefinirIniciarFioDaPrevia(TIniciarFio AIniciar) {
    FPrevias->DefinirIniciarFio(std::move(AIniciar));
}

void TFormMain::DefinirAbridor(const QString& APrograma) {
    FAbridor->DefinirPrograma(APrograma);
}

void TFormMain::DefinirBarramento(const QDBusConnection& ABarramento) {
    FAbridor->DefinirBarramento(ABarramento);
}

bool TFormMain::Ocupado() const {
    return FEstado != TEstadoJanela::ejLivre && FEstado != TEstadoJanela::ejAEscolher;
}

void TFormMain::MudarEstado(TEstadoJanela AEstado) {
    FEstado = AEstado;
    AtualizarEstado();
    if (!Ocupado()) {
        PedirPrevia();
    }
}

void TFormMain::CriarControlos() {
    auto* colunas = new QHBoxLayout(this);
    colunas->setContentsMargins(MARGENS_DA_JANELA);
    colunas->setSpacing(ENTRE_COLUNAS);
    colunas->addLayout(CriarColunaDoLivro());
    colunas->addLayout(CriarColunaDosBotoes());
    colunas->addSpacing(ANTES_DA_PREVIA);
    colunas->addLayout(CriarColunaDaPrevia(), 1);

    // Row by row, left to right; "Cancelar" is never in the tab order.
    QList<QWidget*> ordem;
    for (QButtonGroup* grupo : {FBotoesTamanho, FBotoesNivel}) {
        for (QAbstractButton* b : grupo->buttons()) {
            ordem << b;
        }
    }
    ordem << BotaoAjuda << BitBtnRefazer << CheckBoxCaminho << CheckBoxAbrirPDF << EditNumPuzzles
          << EditTituloLivro << BitBtnGerar << BitBtnAbrirPasta << BitBtnCopiarCodigo << BitBtnSair
          << PreVisualizacao;
    for (qsizetype i = 1; i < ordem.size(); ++i) {
        setTabOrder(ordem[i - 1], ordem[i]);
    }

    connect(FBotoesTamanho, &QButtonGroup::idClicked, this, &TFormMain::EscolhaMudou);
    connect(FBotoesNivel, &QButtonGroup::idClicked, this, &TFormMain::EscolhaMudou);
    connect(EditNumPuzzles, &TEditComSetas::TextoMudou, this, &TFormMain::EscolhaMudou);
    connect(EditTituloLivro, &QLineEdit::textChanged, this, &TFormMain::EscolhaMudou);
    connect(CheckBoxCaminho, &QCheckBox::toggled, this, &TFormMain::EscolhaMudou);
    connect(PreVisualizacao, &TPaginasDaPrevia::Ampliar, this, &TFormMain::AmpliarPagina);
    connect(PreVisualizacao, &TPaginasDaPrevia::TamanhoMudou, this, [this] {
        if (LarguraDaPrevia() != FLarguraPedida) {
            PedirPrevia();
        }
    });
    connect(PaginaAmpliada, &TPaginaAmpliada::Fechada, this, [this] {
        FPaginaAmpliada = -1;
        PreVisualizacao->setFocus(Qt::OtherFocusReason);
    });
    connect(BitBtnGerar, &QPushButton::clicked, this, &TFormMain::BitBtnGerarClick);
    connect(BitBtnRefazer, &QPushButton::clicked, this, &TFormMain::BitBtnRefazerClick);
    connect(BitBtnCancelar, &QPushButton::clicked, this, &TFormMain::BitBtnCancelarClick);
    connect(BitBtnSair, &QPushButton::clicked, this, &TFormMain::BitBtnSairClick);
    connect(BitBtnAbrirPasta, &QPushButton::clicked, this, &TFormMain::AbrirPastaClick);
    connect(BitBtnCopiarCodigo, &QPushButton::clicked, this, &TFormMain::CopiarCodigoClick);
}

QLayout* TFormMain::CriarColunaDoLivro() {
    auto* coluna = new QVBoxLayout;
    coluna->setSpacing(0);

    GroupBoxLivro = Controlo(new QGroupBox("Livro", this), "GroupBoxLivro", LETRA_NUMERO);
    GroupBoxLivro->setFixedSize(LARGURA_DO_LIVRO, 168);
    auto* grupos = new QHBoxLayout(GroupBoxLivro);
    // Inside the group's frame and title, as the window's style draws them.
    grupos->setContentsMargins(13, 11, 13, 0);
    grupos->setSpacing(10);
    RadioGroupTamanho = CriarGrupoDeRadios(
        GroupBoxLivro, "RadioGroupTamanho", "Ta&manho",
        {"8 x 8", "12 x 12", "16 x 16", "7 x 7", "11 x 11", "13 x 13"}, FBotoesTamanho);
    RadioGroupTamanho->setFixedSize(190, 125);
    FBotoesTamanho->button(0)->setChecked(true);
    RadioGroupNivel = CriarGrupoDeRadios(
        GroupBoxLivro, "RadioGroupNivel", "Di&ficuldade",
        {"Nível 1", "Nível 2", "Nível 3", "Nível 4", "Nível 5", "Progressiva"}, FBotoesNivel);
    RadioGroupNivel->setFixedSize(237, 125);
    FBotoesNivel->button(ITEM_PROGRESSIVA)->setChecked(true);
    grupos->addWidget(RadioGroupTamanho, 0, Qt::AlignTop);
    grupos->addWidget(RadioGroupNivel, 0, Qt::AlignTop);
    grupos->addStretch();
    coluna->addWidget(GroupBoxLivro);
    coluna->addSpacing(14);

    // The title's label stands on the row of the two check boxes, above its edit.
    auto* linhaDoTitulo = new QHBoxLayout;
    linhaDoTitulo->setSpacing(0);
    LabelTituloLivro =
        Controlo(new QLabel("&Título do livro", this), "LabelTituloLivro", LETRA_CONTROLOS);
    CheckBoxCaminho =
        Controlo(new QCheckBox("Soluções com &dicas", this), "CheckBoxCaminho", LETRA_CONTROLOS);
    CheckBoxCaminho->setChecked(true);
    CheckBoxAbrirPDF =
        Controlo(new QCheckBox("&Abrir o PDF", this), "CheckBoxAbrirPDF", LETRA_CONTROLOS);
    CheckBoxAbrirPDF->setChecked(true);
    linhaDoTitulo->addSpacing(3);
    linhaDoTitulo->addWidget(LabelTituloLivro);
    linhaDoTitulo->addStretch();
    linhaDoTitulo->addWidget(CheckBoxCaminho);
    linhaDoTitulo->addSpacing(21);
    linhaDoTitulo->addWidget(CheckBoxAbrirPDF);
    LabelTituloLivro->setFixedHeight(20);
    CheckBoxCaminho->setFixedSize(165, 20);
    // Its text whole inside its focus mark: 4 pixels wider than the design's 96, to the
    // column's edge.
    CheckBoxAbrirPDF->setFixedSize(100, 20);
    coluna->addLayout(linhaDoTitulo);
    coluna->addSpacing(12);

    EditTituloLivro = Controlo(new QLineEdit(this), "EditTituloLivro", LETRA_CONTROLOS);
    EditTituloLivro->setFixedSize(LARGURA_DO_LIVRO, 28);
    LabelTituloLivro->setBuddy(EditTituloLivro);
    coluna->addWidget(EditTituloLivro);
    coluna->addSpacing(6);

    LabelResumo = Controlo(new QLabel(this), "LabelResumo", LETRA_ESTADO);
    LabelResumo->setFixedSize(LARGURA_DO_LIVRO, 18);
    LabelResumo->setTextFormat(Qt::PlainText);
    coluna->addWidget(LabelResumo);
    coluna->addSpacing(5);

    // The status line can be selected and copied (the book code), by mouse or keyboard,
    // without joining the tab order. Two lines; once a book is saved, the second names it.
    auto* areaDoEstado = new QWidget(this);
    areaDoEstado->setFixedSize(LARGURA_DO_LIVRO, 40);
    auto* estado = new QVBoxLayout(areaDoEstado);
    estado->setContentsMargins(0, 0, 0, 0);
    estado->setSpacing(0);
    LabelEstado = Controlo(new QLabel(areaDoEstado), "LabelEstado", LETRA_ESTADO);
    LabelEstado->setWordWrap(true);
    LabelEstado->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelEstado->setTextFormat(Qt::PlainText);
    LabelEstado->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    estado->addWidget(LabelEstado, 1);
    LinhaFicheiro = new QWidget(areaDoEstado);
    LinhaFicheiro->setObjectName("LinhaFicheiro");
    auto* ficheiro = new QHBoxLayout(LinhaFicheiro);
    ficheiro->setContentsMargins(0, 0, 0, 0);
    ficheiro->setSpacing(8);
    LabelFicheiro = Controlo(new QLabel(LinhaFicheiro), "LabelFicheiro", LETRA_ESTADO);
    LabelFicheiro->setTextFormat(Qt::PlainText);
    LabelFicheiro->setTextInteractionFlags(Qt::TextSelectableByMouse);
    LabelFicheiro->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    BitBtnAbrirPasta = Controlo(new QPushButton("Abrir a &pasta", LinhaFicheiro),
                                "BitBtnAbrirPasta", LETRA_PEQUENA);
    BitBtnAbrirPasta->setFixedHeight(22);
    // The book code, a key away: Tab reaches this button, where the status line itself is
    // only selected by the mouse.
    BitBtnCopiarCodigo = Controlo(new QPushButton("C&opiar o código", LinhaFicheiro),
                                  "BitBtnCopiarCodigo", LETRA_PEQUENA);
    BitBtnCopiarCodigo->setFixedHeight(22);
    ficheiro->addWidget(LabelFicheiro, 1);
    ficheiro->addWidget(BitBtnAbrirPasta);
    ficheiro->addWidget(BitBtnCopiarCodigo);
    LinhaFicheiro->hide();
    estado->addWidget(LinhaFicheiro);
    coluna->addWidget(areaDoEstado);
    // The choices keep their places at the top whatever the window's height.
    coluna->addSpacing(15);

    ProgressBarLote = new QProgressBar(this);
    ProgressBarLote->setObjectName("ProgressBarLote");
    ProgressBarLote->setFixedSize(LARGURA_DO_LIVRO, 20);
    ProgressBarLote->setTextVisible(false);
    ProgressBarLote->setRange(0, PUZZLES_INICIAIS);
    ProgressBarLote->setValue(0);
    coluna->addWidget(ProgressBarLote);
    coluna->addStretch();
    return coluna;
}

QLayout* TFormMain::CriarColunaDosBotoes() {
    auto* coluna = new QVBoxLayout;
    coluna->setSpacing(0);
    coluna->addSpacing(10);

    auto* placa = new QFrame(this);
    placa->setObjectName("BevelApp");
    placa->setFrameShape(QFrame::Panel);
    placa->setFrameShadow(QFrame::Raised);
    placa->setFixedSize(LARGURA_DOS_BOTOES, 94);
    auto* labelNome = new QLabel("TAVRELO", placa);
    labelNome->setObjectName("LabelNome");
    QFont fonteNome = Fonte(LETRA_NOME, true);
    fonteNome.setFamilies({QStringLiteral("Segoe UI Semibold"), QStringLiteral("Segoe UI"),
                           QStringLiteral("Liberation Sans")});
    labelNome->setFont(fonteNome);
    labelNome->move(14, 8);
    labelNome->adjustSize();
    auto* labelAutor = Controlo(new QLabel("by Brovanel", placa), "LabelAutor", LETRA_AUTOR);
    labelAutor->move(25, 51);
    labelAutor->adjustSize();
    // The help and the "Acerca" box, in the plate's free corner.
    BotaoAjuda = Controlo(new QToolButton(placa), "BotaoAjuda", LETRA_CONTROLOS);
    BotaoAjuda->setText("?");
    BotaoAjuda->setToolTip("Ajuda (F1) e Acerca do TAVRELO");
    BotaoAjuda->setFocusPolicy(Qt::StrongFocus);
    BotaoAjuda->setPopupMode(QToolButton::InstantPopup);
    BotaoAjuda->setGeometry(LARGURA_DOS_BOTOES - 32, 62, 26, 26);
    auto* menuAjuda = new QMenu(BotaoAjuda);
    menuAjuda->setObjectName("MenuAjuda");
    // F1 itself is the window's shortcut; the menu only shows it.
    menuAjuda->addAction("&Ajuda\tF1", this, &TFormMain::MostrarAjuda);
    menuAjuda->addAction("A&cerca do TAVRELO", this, &TFormMain::MostrarAcerca);
    BotaoAjuda->setMenu(menuAjuda);
    coluna->addWidget(placa);
    coluna->addSpacing(7);

    // Under the name plate, clear of the controls of the book.
    BitBtnRefazer =
        Controlo(new QPushButton("&Refazer um livro…", this), "BitBtnRefazer", LETRA_PEQUENA);
    BitBtnRefazer->setToolTip("Faz outra vez um livro a partir do código impresso na sua ficha "
                              "técnica, ou do seu PDF (Ctrl+R).");
    coluna->addLayout(NaColuna(BitBtnRefazer, 22, {150, 28}));
    coluna->addSpacing(10);

    LabelNumPuzzles =
        Controlo(new QLabel("&Número de puzzles: ", this), "LabelNumPuzzles", LETRA_CONTROLOS);
    coluna->addLayout(NaColuna(LabelNumPuzzles, 30, {135, 20}));
    coluna->addSpacing(7);

    // The edit and its spin buttons are one control here: 83 + 26 pixels wide.
    EditNumPuzzles = Controlo(new TEditComSetas(this), "EditNumPuzzles", LETRA_NUMERO);
    EditNumPuzzles->DefinirLimites(MIN_PUZZLES, MAX_PUZZLES);
    EditNumPuzzles->DefinirPosicao(PUZZLES_INICIAIS);
    LabelNumPuzzles->setBuddy(EditNumPuzzles);
    coluna->addLayout(NaColuna(EditNumPuzzles, 41, {109, 31}));
    coluna->addSpacing(7);

    // The cancel button stands between the number and "Gerar Livro", where it can be
    // reached by the mouse while a book is running; it never takes the focus, so a key
    // meant for something else cannot press it. Escape and Alt+C press it.
    BitBtnCancelar =
        Controlo(new QPushButton("&Cancelar", this), "BitBtnCancelar", LETRA_CONTROLOS);
    BitBtnCancelar->setEnabled(false);
    BitBtnCancelar->setFocusPolicy(Qt::NoFocus);
    coluna->addLayout(NaColuna(BitBtnCancelar, 37, {120, 30}));
    coluna->addSpacing(8);

    BitBtnGerar = Controlo(new QPushButton("&Gerar Livro", this), "BitBtnGerar", LETRA_CONTROLOS);
    BitBtnGerar->setDefault(true);
    coluna->addLayout(NaColuna(BitBtnGerar, 37, {120, 40}));
    coluna->addSpacing(14);

    BitBtnSair = Controlo(new QPushButton("&Sair", this), "BitBtnSair", LETRA_CONTROLOS);
    coluna->addLayout(NaColuna(BitBtnSair, 37, {120, 40}));
    coluna->addStretch();
    return coluna;
}

// The next book's code over its first pages. The page opened large covers the whole
// window, and is made here last so that it stands over every other control.
QLayout* TFormMain::CriarColunaDaPrevia() {
    auto* coluna = new QVBoxLayout;
    coluna->setSpacing(4);
    coluna->addSpacing(10);
    LabelProximoCodigo = Controlo(new QLabel(this), "LabelProximoCodigo", LETRA_ESTADO);
    LabelProximoCodigo->setTextFormat(Qt::PlainText);
    LabelProximoCodigo->setAlignment(Qt::AlignHCenter);
    LabelProximoCodigo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    coluna->addWidget(LabelProximoCodigo);
    PreVisualizacao = new TPaginasDaPrevia(this);
    PreVisualizacao->setObjectName("PreVisualizacao");
    coluna->addWidget(PreVisualizacao, 1);
    PaginaAmpliada = new TPaginaAmpliada(this);
    PaginaAmpliada->setObjectName("PaginaAmpliada");
    return coluna;
}

void TFormMain::CriarAtalhos() {
    const auto atalho = [this](const QKeySequence& ATecla, auto AAccao) {
        auto* a = new QShortcut(ATecla, this);
        connect(a, &QShortcut::activated, this, AAccao);
    };
    atalho(QKeySequence(Qt::CTRL | Qt::Key_R), [this] {
        if (BitBtnRefazer->isEnabled()) {
            BitBtnRefazer->click();
        }
    });
    atalho(QKeySequence(Qt::Key_F1), [this] { MostrarAjuda(); });
    // Closing asks first while a book is being made (closeEvent).
    atalho(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
}

void TFormMain::NomearControlos() {
    // The inner groups would otherwise take the outer group's title.
    GroupBoxLivro->setAccessibleDescription("O tamanho e a dificuldade dos puzzles.");
    RadioGroupTamanho->setAccessibleName("Tamanho");
    RadioGroupTamanho->setAccessibleDescription("O tamanho da grelha de todos os puzzles.");
    RadioGroupNivel->setAccessibleName("Dificuldade");
    RadioGroupNivel->setAccessibleDescription(
        "O nível de todos os puzzles, ou a Progressiva, que sobe de nível ao longo do livro.");
    // A tooltip is also what a screen reader gives as a control's description.
    for (QAbstractButton* b : FBotoesTamanho->buttons()) {
        b->setToolTip(DicaDoTamanho(FBotoesTamanho->id(b)));
    }
    for (QAbstractButton* b : FBotoesNivel->buttons()) {
        b->setToolTip(DicaDaDificuldade(FBotoesNivel->id(b)));
    }
    CheckBoxCaminho->setToolTip(DicaDasDicas());
    CheckBoxAbrirPDF->setToolTip("Abre o livro no leitor de PDF assim que fica gravado.");
    EditTituloLivro->setToolTip(DicaDoTitulo());
    EditNumPuzzles->setAccessibleName("Número de puzzles");
    LabelEstado->setAccessibleName("Linha de estado");
    LabelEstado->setAccessibleDescription("O progresso e o resultado do livro, ou o que falta "
                                          "para o poder fazer.");
    BitBtnAbrirPasta->setToolTip("Mostra o livro na sua pasta, no gestor de ficheiros.");
    DefinirFicheiro(QString());
    ProgressBarLote->setAccessibleName("Progresso do livro");
    ProgressBarLote->setAccessibleDescription("Os puzzles feitos.");
    BotaoAjuda->setAccessibleName("Ajuda");
    BitBtnGerar->setToolTip("Pede o nome do ficheiro e faz o livro com estas escolhas.");
    BitBtnCancelar->setToolTip("Para o livro em curso, sem gravar nada (Escape).");
    BitBtnSair->setToolTip("Fecha o programa (Ctrl+Q).");
}

int32_t TFormMain::ItemTamanho() const {
    return FBotoesTamanho->checkedId();
}

int32_t TFormMain::ItemNivel() const {
    return FBotoesNivel->checkedId();
}

void TFormMain::EscolhaMudou() {
    AtualizarEstado();
    PedirPrevia();
}

void TFormMain::DefinirProximoCodigo(uint32_t ASemente) {
    FProximaSemente = ASemente;
    const QString codigo = Q(CodigoDoLivro(ASemente));
    LabelProximoCodigo->setText("Código do próximo livro: " + codigo);
    PreVisualizacao->setAccessibleName("Pré-visualização do próximo livro, código " + codigo);
    PedirPrevia();
}

void TFormMain::PedirPrevia() {
    if (isVisible() && !Ocupado()) {
        FRelogioDaPrevia->start();
    }
}

int32_t TFormMain::LarguraDaPrevia() const {
    return FPaginaAmpliada >= 0
               ? std::max(PaginaAmpliada->LarguraDaPagina(), PreVisualizacao->LarguraDaPagina())
               : PreVisualizacao->LarguraDaPagina();
}

void TFormMain::FazerPrevia() {
    if (!isVisible() || Ocupado()) {
        return;
    }
    TConfigLivro config;
    if (const std::string motivo = LerEscolhas(config); !motivo.empty()) {
        FPrevias->Parar();
        FLarguraPedida = 0;
        SemPrevia("Sem pré-visualização: " + Q(motivo));
        return;
    }
    FLarguraPedida = LarguraDaPrevia();
    FPrevias->Pedir(config, FLarguraPedida);
}

void TFormMain::PreviaPronta(const TVistaDoLivro& AVista) {
    std::vector<TPaginaMostrada> paginas;
    QStringList descricao;
    for (const TPaginaVista& p : AVista.Paginas) {
        paginas.push_back({Q(p.Nome), p.Numero, ImagemDaPagina(p.Imagem), Q(p.Motivo)});
        descricao << LegendaDaPagina(paginas.back());
    }
    PreVisualizacao->MostrarPaginas(std::move(paginas));
    PreVisualizacao->setAccessibleDescription(
        QString("As primeiras páginas do livro com o código %1: %2. As setas escolhem uma "
                "página, Enter mostra-a em grande.")
            .arg(Q(AVista.Codigo), descricao.join("; ")));
    if (const TPaginaMostrada* ampliada = PreVisualizacao->Pagina(FPaginaAmpliada)) {
        PaginaAmpliada->Atualizar(*ampliada);
    }
}

void TFormMain::SemPrevia(const QString& AMotivo) {
    PreVisualizacao->MostrarTexto(AMotivo);
    PreVisualizacao->setAccessibleDescription(AMotivo);
    if (FPaginaAmpliada >= 0) {
        PaginaAmpliada->hide();
        FPaginaAmpliada = -1;
    }
}

void TFormMain::AmpliarPagina(int32_t APagina) {
    const TPaginaMostrada* pagina = PreVisualizacao->Pagina(APagina);
    if (pagina == nullptr) {
        return;
    }
    FPaginaAmpliada = APagina;
    PaginaAmpliada->Mostrar(*pagina);
    // Made again at the size it is now shown at.
    if (LarguraDaPrevia() != FLarguraPedida) {
        PedirPrevia();
    }
}

void TFormMain::showEvent(QShowEvent* AEvento) {
    QWidget::showEvent(AEvento);
    PedirPrevia();
}

void TFormMain::resizeEvent(QResizeEvent* AEvento) {
    QWidget::resizeEvent(AEvento);
    if (PaginaAmpliada->isVisible()) {
        PaginaAmpliada->setGeometry(rect());
        if (LarguraDaPrevia() > FLarguraPedida) {
            PedirPrevia();
        }
    }
}

void TFormMain::DefinirEstado(const QString& ATexto, const QString& ACaminho) {
    FTextoDoEstado = ATexto;
    FCaminhoDoEstado = ACaminho;
    const QString visivel = TextoQueCabe(*LabelEstado, ATexto, ACaminho);
    LabelEstado->setText(visivel);
    LabelEstado->setToolTip(visivel == ATexto ? QString() : ATexto);
    // A screen reader hears the whole line, however it is shortened on screen.
    LabelEstado->setAccessibleName(ATexto.isEmpty() ? QString("Linha de estado") : ATexto);
}

void TFormMain::DefinirFicheiro(const QString& ACaminho, const QString& ACodigo) {
    FLivroGravado = ACaminho;
    FCodigoGravado = ACodigo;
    LinhaFicheiro->setVisible(!ACaminho.isEmpty());
    BitBtnCopiarCodigo->setVisible(!ACodigo.isEmpty());
    BitBtnCopiarCodigo->setToolTip(
        QString("Copia o código do livro%1 para a área de transferência.")
            .arg(ACodigo.isEmpty() ? QString() : ", " + ACodigo + ","));
    if (ACaminho.isEmpty()) {
        LabelFicheiro->clear();
        LabelFicheiro->setToolTip(QString());
        LabelFicheiro->setAccessibleName("Ficheiro do livro");
        return;
    }
    const QFileInfo info(ACaminho);
    const QString nome = info.fileName();
    const QString texto = "Gravado em " + nome;
    const QFontMetrics metrica(LabelFicheiro->font());
    int largura = LARGURA_DO_LIVRO - BitBtnAbrirPasta->sizeHint().width() - 8;
    if (!ACodigo.isEmpty()) {
        largura -= BitBtnCopiarCodigo->sizeHint().width() + 8;
    }
    LabelFicheiro->setText(
        metrica.horizontalAdvance(texto) <= largura
            ? texto
            : "Gravado em " +
                  metrica.elidedText(nome, Qt::ElideMiddle,
                                     largura - metrica.horizontalAdvance("Gravado em ")));
    const QString onde = QDir::toNativeSeparators(info.absoluteFilePath());
    LabelFicheiro->setToolTip(onde);
    LabelFicheiro->setAccessibleName("Gravado em " + onde);
}

void TFormMain::AtualizarEstado() {
    const bool livre = FEstado == TEstadoJanela::ejLivre || FEstado == TEstadoJanela::ejAEscolher;
    if (ItemTamanho() < 0) {
        FBotoesTamanho->button(0)->setChecked(true);
    }
    if (ItemNivel() < 0) {
        FBotoesNivel->button(ITEM_PROGRESSIVA)->setChecked(true);
    }
    const int32_t N = TamanhoDoIndice(ItemTamanho());
    const int32_t minimo = MinimoDePuzzles(ItemNivel());

    if (EditNumPuzzles->Minimo() != minimo) {
        // The number rewritten here is no new choice to judge.
        const QSignalBlocker calado(EditNumPuzzles);
        EditNumPuzzles->DefinirLimites(minimo, MAX_PUZZLES);
        EditNumPuzzles->setAccessibleDescription(
            QString("Quantos puzzles tem o livro: de %1 a %2.").arg(minimo).arg(MAX_PUZZLES));
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
          static_cast<QWidget*>(BitBtnSair), static_cast<QWidget*>(BitBtnAbrirPasta)}) {
        w->setEnabled(livre);
    }
    BitBtnGerar->setEnabled(livre && motivo.empty());
    BitBtnRefazer->setEnabled(BitBtnGerar->isEnabled());
    BitBtnCancelar->setEnabled(
        FEstado == TEstadoJanela::ejAGerar ||
        (FEstado == TEstadoJanela::ejAPerguntar && FAntesDaPergunta == TEstadoJanela::ejAGerar));

    LabelResumo->setText(valido ? Q(ResumoDaEscolha(n, N, ItemNivel())) : QString());

    if (livre) {
        if (!motivo.empty()) {
            DefinirEstado(Q(motivo));
            DefinirFicheiro(QString());
            FMotivoMostrado = true;
        } else if (FMotivoMostrado) {
            DefinirEstado(QString());
            FMotivoMostrado = false;
        }
    }
}

std::string TFormMain::LerEscolhas(TConfigLivro& AConfig) const {
    AConfig = TConfigLivro{};
    int32_t n = 0;
    if (!LerNumPuzzles(EditNumPuzzles->Texto().toStdString(), n)) {
        return MensagemNumPuzzles(false);
    }
    if (ItemNivel() == ITEM_PROGRESSIVA && n < MinimoDePuzzles(ITEM_PROGRESSIVA)) {
        return MensagemMinimoProgressiva();
    }
    AConfig.NumPuzzles = n;
    AConfig.N = TamanhoDoIndice(ItemTamanho());
    AConfig.Nivel = NivelDoItem(ItemNivel());
    AConfig.Titulo = EditTituloLivro->text().toStdString();
    AConfig.Caminho = CheckBoxCaminho->isChecked();
    AConfig.Semente = FProximaSemente;
    try {
        ValidarConfiguracao(AConfig);
    } catch (const EVelt& e) {
        return e.what();
    }
    return {};
}

bool TFormMain::LerConfiguracao(TConfigLivro& AConfig) {
    std::string motivo = LerEscolhas(AConfig);
    if (motivo.empty()) {
        const TTituloDoLivro titulo = VerificarTitulo(AConfig.Titulo);
        motivo = titulo.Motivo;
        AConfig.Titulo = titulo.Titulo;
    }
    if (!motivo.empty()) {
        AConfig = TConfigLivro{};
        MostrarAviso(Q(motivo));
        return false;
    }
    return true;
}

bool TFormMain::AplicarEscolhas(const TConfigLivro& AConfig) {
    // The window makes no Progressiva of fewer puzzles than levels; the command line does.
    if (AConfig.Nivel == 0 && AConfig.NumPuzzles < MinimoDePuzzles(ITEM_PROGRESSIVA)) {
        MostrarAviso(QString("Este livro tem %1 na dificuldade Progressiva, que a janela não faz "
                             "(pede pelo menos %2). O tavrelo-cli refá-lo: tavrelo-cli "
                             "--refazer LIVRO.pdf")
                         .arg(Q(PluralDe(AConfig.NumPuzzles, "puzzle", "puzzles")))
                         .arg(MinimoDePuzzles(ITEM_PROGRESSIVA)));
        return false;
    }
    FBotoesTamanho->button(IndiceDoTamanho(AConfig.N))->setChecked(true);
    FBotoesNivel->button(AConfig.Nivel == 0 ? ITEM_PROGRESSIVA : AConfig.Nivel - 1)
        ->setChecked(true);
    AtualizarEstado(); // the number's limits follow the difficulty
    EditNumPuzzles->DefinirPosicao(AConfig.NumPuzzles);
    CheckBoxCaminho->setChecked(AConfig.Caminho);
    EditTituloLivro->setText(Q(AConfig.Titulo));
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
    if (FEstado != TEstadoJanela::ejLivre) {
        return;
    }
    const TEscolhaDoLivro escolha(FEstado);
    TConfigLivro config;
    if (!LerConfiguracao(config)) {
        return;
    }
    if (!ARefazer) {
        const QString caminho =
            PedirFicheiro(Q(NomeDoFicheiro(config.N, config.Nivel, config.NumPuzzles)));
        if (!caminho.isEmpty()) {
            GerarLivro(config, caminho.toStdString());
        }
        return;
    }
    const std::optional<TLivroARefazer> pedido = PedirRefazer(TextoDaEscolha(config));
    if (!pedido) {
        return;
    }
    // Until the book starts, what the window showed comes back if none is made.
    const TEscolhasDaJanela antes = GuardarEscolhas(config);
    if (pedido->Receita) {
        if (!AplicarEscolhas(pedido->Receita->Config)) {
            return;
        }
        if (const std::string aviso = AvisoDeVersao(*pedido->Receita); !aviso.empty()) {
            MostrarAviso(Q(aviso));
        }
    }
    DefinirProximoCodigo(pedido->Codigo);
    if (!LerConfiguracao(config)) {
        ReporEscolhas(antes);
        return;
    }
    // What the PDF holds, seen before its book is made again.
    if (pedido->Receita) {
        const QString nome = pedido->Origem.isEmpty()
                                 ? QString("do livro")
                                 : "«" + QFileInfo(pedido->Origem).fileName() + "»";
        // Where the line is too long, the numbers of each level go first.
        DefinirEstado(QString("O PDF %1 tem: %2 Código do livro: %3.")
                          .arg(nome, TextoDaEscolha(config), Q(CodigoDoLivro(config.Semente))),
                      Q(ResumoDaEscolha(config.NumPuzzles, config.N, ItemNivel())));
        FMotivoMostrado = false;
    }
    const QString caminho =
        PedirFicheiro(Q(NomeDoFicheiro(config.N, config.Nivel, config.NumPuzzles)));
    if (caminho.isEmpty()) {
        ReporEscolhas(antes);
        return;
    }
    // A book made again from its PDF is never written over that PDF, as on the command line.
    if (!pedido->Origem.isEmpty()) {
        if (const std::string recusa =
                RecusaDoDestinoDoRefeito(caminho.toStdString(), pedido->Origem.toStdString());
            !recusa.empty()) {
            MostrarAviso(Q(recusa));
            ReporEscolhas(antes);
            return;
        }
    }
    GerarLivro(config, caminho.toStdString());
}

TFormMain::TEscolhasDaJanela TFormMain::GuardarEscolhas(const TConfigLivro& AConfig) const {
    return {AConfig, EditTituloLivro->text(), FTextoDoEstado, FCaminhoDoEstado, FMotivoMostrado};
}

void TFormMain::ReporEscolhas(const TEscolhasDaJanela& AEscolhas) {
    AplicarEscolhas(AEscolhas.Config);
    EditTituloLivro->setText(AEscolhas.Titulo);
    DefinirProximoCodigo(AEscolhas.Config.Semente);
    DefinirEstado(AEscolhas.Estado, AEscolhas.CaminhoDoEstado);
    FMotivoMostrado = AEscolhas.MotivoMostrado;
}

void TFormMain::BitBtnCancelarClick() {
    if (FEstado == TEstadoJanela::ejAGerar) {
        FCancelar = true;
        MudarEstado(TEstadoJanela::ejACancelar);
        DefinirEstado("A cancelar…");
    }
}

void TFormMain::BitBtnSairClick() {
    close();
}

void TFormMain::AbrirPastaClick() {
    if (!FLivroGravado.isEmpty()) {
        FAbridor->MostrarNaPasta(FLivroGravado);
    }
}

// The code goes to the clipboard, and the status line says so after the result it ends.
void TFormMain::CopiarCodigoClick() {
    if (FCodigoGravado.isEmpty()) {
        return;
    }
    QGuiApplication::clipboard()->setText(FCodigoGravado);
    const QString linha = LabelEstado->accessibleName();
    if (linha.endsWith(FCodigoGravado)) {
        DefinirEstado(linha + " (copiado)", FLivroGravado);
    }
}

void TFormMain::MostrarAjuda() {
    if (!FAjuda) {
        FAjuda = new TJanelaDeAjuda(this);
        FAjuda->setAttribute(Qt::WA_DeleteOnClose);
    }
    FAjuda->show();
    FAjuda->raise();
    FAjuda->activateWindow();
}

void TFormMain::MostrarAcerca() {
    tavrelo::MostrarAcerca(this);
}

void TFormMain::GerarLivro(const TConfigLivro& AConfig, const std::string& ANomeFicheiro) {
    if (Ocupado()) {
        return;
    }
    FTrabalhador.Juntar();
    FCancelar = false;
    FPararPaginas = false;
    FMotivoMostrado = false;
    FDesfechoPendente.reset();
    FConfigEmCurso = AConfig;
    FFicheirosAbertos = false;

    ProgressBarLote->setRange(0, std::max(AConfig.NumPuzzles, 1));
    ProgressBarLote->setValue(0);
    DefinirFicheiro(QString());
    DefinirEstado(TEXTO_A_PREPARAR);
    MudarEstado(TEstadoJanela::ejAGerar);
    // The book goes first: the preview under way stops at its next puzzle or page, and the
    // next is made once the book is over.
    FRelogioDaPrevia->stop();
    FPrevias->Parar();
    if (FPaginaAmpliada >= 0) {
        PaginaAmpliada->hide();
        FPaginaAmpliada = -1;
    }

    TPedidoLivro pedido;
    pedido.Config = AConfig;
    pedido.CaminhoPdf = ANomeFicheiro;
    try {
        try {
            // The signals that end the program stay with the window's thread.
            auto corpo = [this, pedido, etapas = FEtapas] { Trabalhar(pedido, etapas, false); };
            FTrabalhador = FEtapas.IniciarFio ? FEtapas.IniciarFio(std::move(corpo))
                                              : IniciarFioSemSinais(std::move(corpo));
            return;
        } catch (const std::system_error&) {
        } catch (const std::bad_alloc&) {
        }
        // No thread for the worker (a limit on threads, or on memory for its stack): the book
        // is made here, as the command line makes it, on the threads it can have.
        Trabalhar(std::move(pedido), FEtapas, true);
    } catch (const std::bad_alloc&) {
        TDesfechoLivro semMemoria;
        semMemoria.Total = AConfig.NumPuzzles;
        semMemoria.Mensagem = MensagemLivroFalhou(MOTIVO_SEM_MEMORIA);
        LivroTerminou(semMemoria, ANomeFicheiro);
    }
}

// Runs on the worker thread: touches no widget and no flag but FCancelar and FPararPaginas;
// everything the window shows is posted back to its own thread, in order. On the window's
// own thread (ANaJanela), the window answers between two puzzles or two pages, there
// being no other moment: a close, a cancel, a signal are heard then.
void TFormMain::Trabalhar(TPedidoLivro APedido, TEtapasLivro AEtapas, bool ANaJanela) {
    const auto responder = [this, ANaJanela] {
        if (ANaJanela && QThread::currentThread() == thread()) {
            QCoreApplication::processEvents();
        }
    };
    const auto naJanela = [this, &responder](std::function<void()> AAccao) {
        ParaAJanela(std::move(AAccao));
        responder();
    };
    TAvisosLivro avisos;
    avisos.Progresso = [&](int32_t AFeitos, int32_t ATotal, const std::string& ATexto) {
        naJanela([this, AFeitos, ATotal, ATexto] { Progresso(AFeitos, ATotal, ATexto); });
    };
    avisos.InicioDasPaginas = [&] { naJanela([this] { GeracaoTerminou(); }); };
    avisos.Cancelar = [&] {
        responder();
        return FCancelar.load();
    };
    avisos.PararPaginas = [&] {
        responder();
        return FPararPaginas.load();
    };
    TDesfechoLivro desfecho = FazerLivro(APedido, avisos, AEtapas);
    // Handed over without allocating: a worker short of memory still tells how its book ended.
    {
        std::lock_guard<std::mutex> l(FTrincoDaFila);
        FFim.emplace(std::move(desfecho), std::move(APedido.CaminhoPdf));
    }
    QMetaObject::invokeMethod(this, "AtenderFila", Qt::QueuedConnection);
}

// The worker's calls wait in a queue of the window's own, under its own lock: Qt is told only
// to come and take them, so that what the worker hands over is ordered by a lock the
// program's own tools see, not by Qt's event queue alone.
void TFormMain::ParaAJanela(std::function<void()> AAccao) {
    {
        std::lock_guard<std::mutex> l(FTrincoDaFila);
        FFila.push_back(std::move(AAccao));
    }
    QMetaObject::invokeMethod(this, "AtenderFila", Qt::QueuedConnection);
}

void TFormMain::AtenderFila() {
    std::vector<std::function<void()>> chamadas;
    std::optional<std::pair<TDesfechoLivro, std::string>> fim;
    {
        std::lock_guard<std::mutex> l(FTrincoDaFila);
        chamadas.swap(FFila);
        fim.swap(FFim);
    }
    for (const std::function<void()>& c : chamadas) {
        c();
    }
    if (fim) {
        LivroTerminou(fim->first, fim->second);
    }
}

void TFormMain::Progresso(int32_t AFeitos, int32_t ATotal, const std::string& ATexto) {
    FFicheirosAbertos = true;
    if (!Ocupado()) {
        return;
    }
    ProgressBarLote->setRange(0, std::max(ATotal, 1));
    ProgressBarLote->setValue(AFeitos);
    // After a cancel the status line keeps "A cancelar…", after a close request the last
    // progress line.
    if (!FCancelar) {
        DefinirEstado(Q(ATexto));
    }
}

void TFormMain::GeracaoTerminou() {
    switch (FEstado) {
    case TEstadoJanela::ejAGerar:
    case TEstadoJanela::ejACancelar:
        MudarEstado(TEstadoJanela::ejAEscrever);
        break;
    case TEstadoJanela::ejAPerguntar:
        FAntesDaPergunta = TEstadoJanela::ejAEscrever;
        AtualizarEstado();
        break;
    default:
        break;
    }
    ProgressBarLote->setValue(ProgressBarLote->maximum());
    if (FEstado != TEstadoJanela::ejAFechar) {
        DefinirEstado(TEXTO_A_CRIAR_PDF);
    }
}

void TFormMain::LivroTerminou(const TDesfechoLivro& ADesfecho, const std::string& ANomeFicheiro) {
    if (FEstado == TEstadoJanela::ejAPerguntar) {
        // The close question is open: its answer comes first.
        FDesfechoPendente.emplace(ADesfecho, ANomeFicheiro);
        return;
    }
    FTrabalhador.Juntar();
    const bool fechar = FEstado == TEstadoJanela::ejAFechar;
    // Back to Livre before any box about the outcome: a close meanwhile is not asked about
    // a book that is over.
    MudarEstado(TEstadoJanela::ejLivre);
    if (!fechar) {
        // The focus left the controls while they were locked; the next book is a key away.
        BitBtnGerar->setFocus(Qt::OtherFocusReason);
    }
    // Where the book is now: a folder renamed meanwhile took it along.
    const QString caminho =
        Q(ADesfecho.Caminhos.empty() ? ANomeFicheiro : ADesfecho.Caminhos.front());
    DefinirEstado(Q(ADesfecho.Mensagem), caminho);
    if (ADesfecho.Fim != TFimDoLivro::flFalhou || FFicheirosAbertos) {
        FUltimaPasta = QFileInfo(caminho).absolutePath();
    }
    switch (ADesfecho.Fim) {
    case TFimDoLivro::flFalhou:
        ProgressBarLote->setValue(0);
        if (!FFicheirosAbertos && !fechar) {
            GravarNoutroSitio(Q(ADesfecho.Mensagem), caminho);
            return;
        }
        MostrarErro(Q(ADesfecho.Mensagem));
        break;
    case TFimDoLivro::flCancelado:
        ProgressBarLote->setValue(0);
        break;
    case TFimDoLivro::flGravado:
        ProgressBarLote->setValue(ProgressBarLote->maximum());
        DefinirFicheiro(caminho, Q(ADesfecho.Codigo));
        DefinirProximoCodigo(SementeDoRelogio());
        for (const std::string& aviso : ADesfecho.Avisos) {
            MostrarAviso(Q(aviso));
        }
        if (CheckBoxAbrirPDF->isChecked()) {
            AbrirFicheiro(caminho);
        }
        break;
    }
    if (fechar) {
        close();
    }
}

void TFormMain::GravarNoutroSitio(const QString& AMotivo, const QString& ACaminho) {
    QString novo;
    {
        const TEscolhaDoLivro escolha(FEstado);
        MostrarErro(AMotivo);
        novo = PedirFicheiro(ACaminho);
    }
    if (!novo.isEmpty()) {
        GerarLivro(FConfigEmCurso, novo.toStdString());
    }
}

void TFormMain::AbrirFalhou(const QString& ACaminho) {
    const QFileInfo info(ACaminho);
    const QString onde = QDir::toNativeSeparators(info.absoluteFilePath());
    MostrarAviso(info.isDir()
                     ? QString("Não foi possível abrir a pasta num gestor de ficheiros.\nA pasta "
                               "é:\n%1")
                           .arg(onde)
                     : QString("O livro foi gravado, mas não foi possível abri-lo num leitor de "
                               "PDF.\nO ficheiro está em:\n%1")
                           .arg(onde));
}

// While a book is made, the close is refused and the question asked; the worker holds at
// its next puzzle, or its next page, until it is answered. "Não" lets it go on; "Sim"
// cancels it, pages included, so nothing is written, and the window closes when the
// worker has stopped.
void TFormMain::closeEvent(QCloseEvent* AEvento) {
    if (!Ocupado()) {
        AEvento->accept();
        return;
    }
    AEvento->ignore();
    if (FEstado == TEstadoJanela::ejAPerguntar || FEstado == TEstadoJanela::ejAFechar) {
        return;
    }
    FAntesDaPergunta = FEstado;
    FEstado = TEstadoJanela::ejAPerguntar;
    FPausaDaPergunta.emplace(&FPausa);
    const bool sim = PerguntarSimNao(Q(MensagemSairDuranteGeracao()));
    if (sim) {
        FCancelar = true;
        FPararPaginas = true;
    }
    // A signal meanwhile (PararParaSair) has already decided.
    const bool fechar = sim || FEstado == TEstadoJanela::ejAFechar;
    MudarEstado(fechar ? TEstadoJanela::ejAFechar : FAntesDaPergunta);
    FPausaDaPergunta.reset();
    if (FDesfechoPendente) {
        // The book ended while the question was open (before it could be held): its
        // outcome is shown now, and the window closes after it if asked to.
        QMetaObject::invokeMethod(
            this, [this, d = std::move(*FDesfechoPendente)] { LivroTerminou(d.first, d.second); },
            Qt::QueuedConnection);
        FDesfechoPendente.reset();
    }
}

void TFormMain::PararParaSair() {
    FCancelar = true;
    FPararPaginas = true;
    if (Ocupado()) {
        MudarEstado(TEstadoJanela::ejAFechar);
    }
    FPausaDaPergunta.reset();
}

void TFormMain::keyPressEvent(QKeyEvent* AEvento) {
    // Auto-repeated keys never get here (eventFilter): one press, one click.
    if (EEnter(*AEvento)) {
        if (auto* botao = qobject_cast<QPushButton*>(focusWidget()); botao && botao->isEnabled()) {
            botao->click();
        } else if (focusWidget() == BotaoAjuda) {
            BotaoAjuda->showMenu();
        } else if (BitBtnGerar->isEnabled()) {
            BitBtnGerar->click();
        }
        AEvento->accept();
        return;
    }
    if (AEvento->key() == Qt::Key_Escape && Ocupado()) {
        BitBtnCancelarClick();
        AEvento->accept();
        return;
    }
    QWidget::keyPressEvent(AEvento);
}

void TFormMain::MostrarAviso(const QString& ATexto) {
    MostrarCaixa(this, QMessageBox::Warning, ATexto);
}

void TFormMain::MostrarErro(const QString& ATexto) {
    MostrarCaixa(this, QMessageBox::Critical, ATexto);
}

bool TFormMain::PerguntarSimNao(const QString& ATexto) {
    return tavrelo::PerguntarSimNao(this, ATexto);
}

QString TFormMain::PedirFicheiro(const QString& ANomeProposto) {
    QFileDialog dialogo(this, "Guardar o livro", PastaParaPdf(FUltimaPasta));
    PrepararDialogoPdf(dialogo, true);
    QString nome = ANomeProposto;
    for (;;) {
        dialogo.selectFile(nome);
        if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty()) {
            return {};
        }
        const QString caminho = CaminhoComPdf(dialogo.selectedFiles().constFirst());
        const QFileInfo info(caminho);
        if (caminho.isEmpty()) {
            MostrarAviso("Escreva um nome para o ficheiro do livro.");
        } else if (!info.dir().exists()) {
            MostrarAviso(QString("A pasta «%1» não existe.").arg(info.absolutePath()));
        } else if (info.isDir()) {
            MostrarAviso(
                QString("«%1» é uma pasta. Escolha outro nome para o livro.").arg(info.fileName()));
        } else if (!info.exists() ||
                   PerguntarSimNao(QString("O ficheiro «%1» já existe. Quer substituí-lo?")
                                       .arg(info.fileName()))) {
            return caminho;
        }
        if (!caminho.isEmpty()) {
            dialogo.setDirectory(info.absolutePath());
            nome = info.fileName();
        }
    }
}

std::optional<TLivroARefazer> TFormMain::PedirRefazer(const QString& AEscolha) {
    TDialogoCodigo dialogo(AEscolha, FUltimaPasta, this);
    dialogo.exec();
    return dialogo.Resultado();
}

void TFormMain::AbrirFicheiro(const QString& ACaminho) {
    FAbridor->Abrir(ACaminho);
}

// ---------------------------------------------------------------------------------------

QString CaminhoComPdf(const QString& ACaminho) {
    // Only the name typed is trimmed: the folder is the dialog's, blanks and all.
    const qsizetype barra = ACaminho.lastIndexOf('/');
    const QString pasta = ACaminho.left(barra + 1);
    const QString nome = ACaminho.mid(barra + 1).trimmed();
    if (nome.isEmpty()) {
        return {};
    }
    if (nome.endsWith(".pdf", Qt::CaseInsensitive)) {
        return pasta + nome;
    }
    return pasta + nome + (nome.endsWith('.') ? "pdf" : ".pdf");
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
