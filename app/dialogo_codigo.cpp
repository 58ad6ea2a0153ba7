#include "app/dialogo_codigo.h"

#include "app/aspeto.h"
#include "app/dialogos.h"
#include "files/mensagens.h"
#include "frontend/fios.h"
#include "frontend/textos.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>
#include <new>

namespace tavrelo {

namespace {

QLabel* Paragrafo(const QString& ATexto, QWidget* APai) {
    auto* rotulo = new QLabel(ATexto, APai);
    rotulo->setTextFormat(Qt::PlainText);
    rotulo->setWordWrap(true);
    return rotulo;
}

} // namespace

TDialogoCodigo::TDialogoCodigo(const QString& AEscolha, const QString& APasta, QWidget* AParent)
    : QDialog(AParent), FPasta(APasta) {
    setObjectName("DialogoCodigo");
    setWindowTitle("Refazer um livro");
    setFont(Fonte(LETRA_CONTROLOS));
    setMinimumWidth(460);

    auto* coluna = new QVBoxLayout(this);
    coluna->addWidget(Paragrafo("Cada livro tem um código de oito algarismos hexadecimais, "
                                "impresso na ficha técnica. Com o mesmo código e as mesmas "
                                "escolhas, o livro sai igual ao original, puzzle a puzzle.",
                                this));
    coluna->addWidget(Paragrafo("Com o código, as escolhas da janela têm de ser as do original: o "
                                "tamanho, a dificuldade e o número de puzzles, como estão na "
                                "ficha técnica, as soluções com ou sem dicas e o título da capa. "
                                "O PDF do livro traz dentro todas as escolhas e o código.",
                                this));
    QLabel* escolha = Paragrafo("Escolhas atuais: " + AEscolha, this);
    escolha->setObjectName("LabelEscolha");
    coluna->addWidget(escolha);

    auto* linha = new QGridLayout;
    auto* rotulo = new QLabel("&Código do livro:", this);
    FEditCodigo = new QLineEdit(this);
    FEditCodigo->setObjectName("EditCodigo");
    FEditCodigo->setPlaceholderText("0A1B2C3D");
    rotulo->setBuddy(FEditCodigo);
    linha->addWidget(rotulo, 0, 0);
    linha->addWidget(FEditCodigo, 0, 1);
    FBotaoPdf = new QPushButton("Escolher o &PDF do livro…", this);
    FBotaoPdf->setObjectName("BotaoPdf");
    FBotaoPdf->setAutoDefault(false);
    linha->addWidget(FBotaoPdf, 1, 1, Qt::AlignLeft);
    coluna->addLayout(linha);

    FMotivo = Paragrafo(QString(), this);
    FMotivo->setObjectName("LabelMotivo");
    FMotivo->setFont(Fonte(LETRA_PEQUENA));
    coluna->addWidget(FMotivo);

    auto* botoes = new QDialogButtonBox(this);
    FBotaoRefazer = botoes->addButton("&Refazer", QDialogButtonBox::AcceptRole);
    FBotaoRefazer->setObjectName("BotaoRefazer");
    FBotaoRefazer->setDefault(true);
    botoes->addButton("Cancelar", QDialogButtonBox::RejectRole)->setObjectName("BotaoCancelar");
    coluna->addWidget(botoes);

    connect(botoes, &QDialogButtonBox::accepted, this, [this] {
        if (Codigo() && !ALer()) {
            FReceita.reset();
            accept();
        }
    });
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(FBotaoPdf, &QPushButton::clicked, this, &TDialogoCodigo::ProcurarPdf);
    connect(FEditCodigo, &QLineEdit::textChanged, this, &TDialogoCodigo::CodigoMudou);
    CodigoMudou();
}

TDialogoCodigo::~TDialogoCodigo() {
    PararLeitura();
}

std::optional<uint32_t> TDialogoCodigo::Codigo() const {
    return LerCodigoDoLivro(FEditCodigo->text().toStdString());
}

std::optional<TLivroARefazer> TDialogoCodigo::Resultado() const {
    if (result() != QDialog::Accepted) {
        return std::nullopt;
    }
    if (FReceita) {
        return TLivroARefazer{FReceita->Config.Semente, FReceita, FOrigem};
    }
    if (const auto codigo = Codigo()) {
        return TLivroARefazer{*codigo, std::nullopt};
    }
    return std::nullopt;
}

void TDialogoCodigo::CodigoMudou() {
    const bool valido = Codigo().has_value();
    FBotaoRefazer->setEnabled(valido && !ALer());
    if (ALer()) {
        return; // the line says what is being read
    }
    FMotivo->setText(valido || FEditCodigo->text().trimmed().isEmpty()
                         ? QString()
                         : "O código tem de 1 a 8 algarismos hexadecimais (de 0 a 9 e de A a "
                           "F), como 0A1B2C3D.");
}

void TDialogoCodigo::ProcurarPdf() {
    QFileDialog dialogo(this, "O PDF do livro a refazer", PastaParaPdf(FPasta));
    PrepararDialogoPdf(dialogo, false);
    if (dialogo.exec() == QDialog::Accepted && !dialogo.selectedFiles().isEmpty()) {
        EscolherPdf(dialogo.selectedFiles().constFirst());
    }
}

void TDialogoCodigo::EscolherPdf(const QString& ACaminho) {
    if (ALer()) {
        return;
    }
    PararLeitura(); // the thread of a reading already ended
    FPasta = QFileInfo(ACaminho).absolutePath();
    FLida = false;
    FParar = false;
    FBotaoPdf->setEnabled(false);
    FBotaoRefazer->setEnabled(false);
    FMotivo->setText(
        "A ler «" +
        QString::fromStdString(NomeParaMostrar(QFileInfo(ACaminho).fileName().toStdString())) +
        "»…");
    const std::string caminho = ACaminho.toStdString();
    const auto ler = [this, caminho] {
        TLeituraDaReceita lida;
        try {
            lida = LerReceitaDoPdf(caminho, &FParar);
        } catch (const std::bad_alloc&) {
            lida.Motivo = MENSAGEM_SEM_MEMORIA;
        }
        return lida;
    };
    try {
        FLeitura = IniciarFioSemSinais([this, ACaminho, ler] {
            TLeituraDaReceita lida = ler();
            QMetaObject::invokeMethod(
                this, [this, ACaminho, lida] { LeituraTerminou(ACaminho, lida); },
                Qt::QueuedConnection);
        });
    } catch (const std::exception&) {
        // No thread to be had (std::system_error, or no memory to start one): read here, the
        // reader still within its bounds.
        LeituraTerminou(ACaminho, ler());
    }
}

void TDialogoCodigo::LeituraTerminou(const QString& ACaminho, TLeituraDaReceita ALeitura) {
    FLida = true;
    FBotaoPdf->setEnabled(true);
    CodigoMudou();
    if (FParar) {
        return; // given up on: nothing of it is taken
    }
    FMotivo->setText(QString::fromStdString(ALeitura.Motivo));
    emit PdfLido(ACaminho, ALeitura);
    if (ALeitura.Receita) {
        FReceita = std::move(ALeitura.Receita);
        FOrigem = ACaminho;
        accept();
    }
}

void TDialogoCodigo::PararLeitura() {
    FParar = true;
    FLeitura.Juntar();
}

void TDialogoCodigo::reject() {
    // Cancelar, Escape or closing it stop a reading in course: nothing of it is taken.
    FParar = true;
    QDialog::reject();
}

} // namespace tavrelo
