#include "app/janela.h"

#include "app/aspeto.h"
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
#include <QStandardPaths>
#include <QStyle>
#include <QUrl>

#include <algorithm>

namespace tavrelo {

namespace {

constexpr int32_t PUZZLES_INICIAIS = 50;

const char* const TITULO_MENSAGENS = "TAVRELO";

QString Q(const std::string& s) {
    return QString::fromStdString(s);
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
    return grupo;
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
    AtualizarEstado();
}

TFormMain::~TFormMain() {
    FCancelar = true;
    if (FTrabalhador.joinable()) {
        FTrabalhador.join();
    }
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
        Colocar(CriarGrupoDeRadios(GroupBoxLivro, "Tamanho",
                                   {"8 x 8", "12 x 12", "16 x 16", "7 x 7", "11 x 11", "13 x 13"},
                                   FBotoesTamanho),
                "RadioGroupTamanho", 15, {14, 28, 190, 125});
    FBotoesTamanho->button(0)->setChecked(true);

    RadioGroupNivel = Colocar(
        CriarGrupoDeRadios(GroupBoxLivro, "Dificuldade",
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

    LabelNumPuzzles = Colocar(new QLabel("Número de puzzles: ", this), "LabelNumPuzzles", 15,
                              {513, 157, 135, 20});

    // The edit and its spin buttons are one control here: 83 + 26 pixels wide.
    EditNumPuzzles = Colocar(new TEditComSetas(this), "EditNumPuzzles", 17, {524, 184, 109, 31});
    EditNumPuzzles->DefinirLimites(MIN_PUZZLES, MAX_PUZZLES);
    EditNumPuzzles->DefinirPosicao(PUZZLES_INICIAIS);
    LabelNumPuzzles->setBuddy(EditNumPuzzles);

    LabelTituloLivro =
        Colocar(new QLabel("Título do livro", this), "LabelTituloLivro", 15, {15, 196, 93, 20});

    EditTituloLivro = Colocar(new QLineEdit(this), "EditTituloLivro", 15, {12, 222, 465, 28});
    LabelTituloLivro->setBuddy(EditTituloLivro);

    CheckBoxCaminho = Colocar(new QCheckBox("Soluções com dicas", this), "CheckBoxCaminho", 15,
                              {191, 191, 165, 17});
    CheckBoxCaminho->setChecked(true);

    CheckBoxAbrirPDF =
        Colocar(new QCheckBox("Abrir o PDF", this), "CheckBoxAbrirPDF", 15, {377, 191, 96, 17});
    CheckBoxAbrirPDF->setChecked(true);

    LabelResumo = Colocar(new QLabel(this), "LabelResumo", 12, {12, 256, 465, 30});
    LabelResumo->setWordWrap(true);
    LabelResumo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    LabelEstado = Colocar(new QLabel(this), "LabelEstado", 12, {12, 291, 465, 30});
    LabelEstado->setWordWrap(true);
    LabelEstado->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ProgressBarLote = new QProgressBar(this);
    ProgressBarLote->setObjectName("ProgressBarLote");
    ProgressBarLote->setGeometry(12, 334, 465, 20);
    ProgressBarLote->setTextVisible(false);
    ProgressBarLote->setRange(0, PUZZLES_INICIAIS);
    ProgressBarLote->setValue(0);

    // The cancel button stands between the number and "Gerar Livro", where it can be
    // reached while a book is running.
    BitBtnCancelar =
        Colocar(new QPushButton("Cancelar", this), "BitBtnCancelar", 15, {520, 222, 120, 30});
    BitBtnCancelar->setEnabled(false);

    BitBtnGerar =
        Colocar(new QPushButton("Gerar Livro", this), "BitBtnGerar", 15, {520, 260, 120, 40});
    BitBtnGerar->setDefault(true);

    BitBtnSair = Colocar(new QPushButton("Sair", this), "BitBtnSair", 15, {520, 314, 120, 40});

    setTabOrder(EditTituloLivro, CheckBoxCaminho);
    setTabOrder(CheckBoxCaminho, CheckBoxAbrirPDF);
    setTabOrder(CheckBoxAbrirPDF, EditNumPuzzles);
    setTabOrder(EditNumPuzzles, BitBtnGerar);
    setTabOrder(BitBtnGerar, BitBtnSair);
    setTabOrder(BitBtnSair, BitBtnCancelar);

    connect(FBotoesTamanho, &QButtonGroup::idClicked, this, &TFormMain::EscolhaMudou);
    connect(FBotoesNivel, &QButtonGroup::idClicked, this, &TFormMain::EscolhaMudou);
    connect(EditNumPuzzles, &TEditComSetas::TextoMudou, this, &TFormMain::EscolhaMudou);
    connect(EditTituloLivro, &QLineEdit::textChanged, this, &TFormMain::EscolhaMudou);
    connect(BitBtnGerar, &QPushButton::clicked, this, &TFormMain::BitBtnGerarClick);
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

void TFormMain::DefinirEstado(const QString& ATexto) {
    LabelEstado->setText(ATexto);
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
    if (FOcupado) {
        return;
    }
    TConfigLivro config;
    if (!LerConfiguracao(config)) {
        return;
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

// Runs on the worker thread: touches no widget and no flag but FCancelar; everything the
// window shows is posted back to its own thread, in order.
void TFormMain::Trabalhar(TPedidoLivro APedido, TEtapasLivro AEtapas) {
    const auto naJanela = [this](auto AAccao) {
        QMetaObject::invokeMethod(this, std::move(AAccao), Qt::QueuedConnection);
    };
    TAvisosLivro avisos;
    avisos.Progresso = [&](int32_t AFeitos, int32_t ATotal, const std::string& ATexto) {
        naJanela([this, AFeitos, ATotal, ATexto] { Progresso(AFeitos, ATotal, ATexto); });
    };
    avisos.InicioDasPaginas = [&] { naJanela([this] { GeracaoTerminou(); }); };
    avisos.Cancelar = [this] { return FCancelar.load(); };
    const TDesfechoLivro desfecho = FazerLivro(APedido, avisos, AEtapas);
    naJanela([this, desfecho, caminho = APedido.CaminhoPdf] { LivroTerminou(desfecho, caminho); });
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
    if (FTrabalhador.joinable()) {
        FTrabalhador.join();
    }
    FPodeCancelar = false;
    DefinirEstado(Q(ADesfecho.Mensagem));
    switch (ADesfecho.Fim) {
    case TFimDoLivro::flFalhou:
        ProgressBarLote->setValue(0);
        MostrarErro(LabelEstado->text());
        break;
    case TFimDoLivro::flCancelado:
        ProgressBarLote->setValue(0);
        break;
    case TFimDoLivro::flGravado:
        ProgressBarLote->setValue(ProgressBarLote->maximum());
        if (CheckBoxAbrirPDF->isChecked()) {
            AbrirFicheiro(Q(ANomeFicheiro));
        }
        break;
    }
    FOcupado = false;
    FPodeCancelar = false;
    AtualizarEstado();
    if (FFecharNoFim) {
        close();
    }
}

void TFormMain::closeEvent(QCloseEvent* AEvento) {
    if (!FOcupado) {
        AEvento->accept();
        return;
    }
    AEvento->ignore();
    if (FPerguntando) {
        return;
    }
    FPerguntando = true;
    const bool sim = PerguntarSimNao(Q(MensagemSairDuranteGeracao()));
    FPerguntando = false;
    if (!sim) {
        return;
    }
    if (FOcupado) {
        FCancelar = true;
        FFecharNoFim = true;
        AtualizarEstado();
    } else {
        // The book ended while the question was open.
        AEvento->accept();
    }
}

void TFormMain::keyPressEvent(QKeyEvent* AEvento) {
    if (AEvento->key() == Qt::Key_Return || AEvento->key() == Qt::Key_Enter) {
        if (auto* botao = qobject_cast<QPushButton*>(focusWidget()); botao && botao->isEnabled()) {
            botao->click();
        } else if (BitBtnGerar->isEnabled()) {
            BitBtnGerar->click();
        }
        AEvento->accept();
        return;
    }
    QWidget::keyPressEvent(AEvento);
}

void TFormMain::MostrarAviso(const QString& ATexto) {
    QMessageBox::warning(this, TITULO_MENSAGENS, ATexto, QMessageBox::Ok);
}

void TFormMain::MostrarErro(const QString& ATexto) {
    QMessageBox::critical(this, TITULO_MENSAGENS, ATexto, QMessageBox::Ok);
}

bool TFormMain::PerguntarSimNao(const QString& ATexto) {
    QMessageBox caixa(QMessageBox::Question, TITULO_MENSAGENS, ATexto,
                      QMessageBox::Yes | QMessageBox::No, this);
    caixa.button(QMessageBox::Yes)->setText("Sim");
    caixa.button(QMessageBox::No)->setText("Não");
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
    dialogo.setDefaultSuffix("pdf");
    // The overwrite question is asked here, in Portuguese, whatever dialog the desktop gives.
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
        const QString caminho = dialogo.selectedFiles().constFirst();
        const QFileInfo info(caminho);
        if (!info.dir().exists()) {
            MostrarAviso(QString("A pasta «%1» não existe.").arg(info.absolutePath()));
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

void TFormMain::AbrirFicheiro(const QString& ACaminho) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(ACaminho));
}

} // namespace tavrelo
