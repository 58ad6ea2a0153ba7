#include "app/dialogo_codigo.h"

#include "app/aspeto.h"
#include "frontend/textos.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrelo {

namespace {

QLabel* Paragrafo(const QString& ATexto, QWidget* APai) {
    auto* rotulo = new QLabel(ATexto, APai);
    rotulo->setTextFormat(Qt::PlainText);
    rotulo->setWordWrap(true);
    return rotulo;
}

} // namespace

TDialogoCodigo::TDialogoCodigo(const QString& AEscolha, QWidget* AParent) : QDialog(AParent) {
    setObjectName("DialogoCodigo");
    setWindowTitle("Refazer um livro");
    setFont(Fonte(15));
    setMinimumWidth(460);

    auto* coluna = new QVBoxLayout(this);
    coluna->addWidget(Paragrafo("Cada livro tem um código de oito algarismos hexadecimais, "
                                "impresso na ficha técnica. Com o mesmo código e as mesmas "
                                "escolhas, o livro sai igual ao original, puzzle a puzzle.",
                                this));
    coluna->addWidget(Paragrafo("As escolhas da janela têm de ser as do original: o tamanho, a "
                                "dificuldade e o número de puzzles, como estão na ficha técnica, "
                                "as soluções com ou sem dicas e o título da capa.",
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
    coluna->addLayout(linha);

    FMotivo = Paragrafo(QString(), this);
    FMotivo->setObjectName("LabelMotivo");
    FMotivo->setFont(Fonte(12));
    coluna->addWidget(FMotivo);

    auto* botoes = new QDialogButtonBox(this);
    FBotaoRefazer = botoes->addButton("&Refazer", QDialogButtonBox::AcceptRole);
    FBotaoRefazer->setObjectName("BotaoRefazer");
    FBotaoRefazer->setDefault(true);
    botoes->addButton("Cancelar", QDialogButtonBox::RejectRole)->setObjectName("BotaoCancelar");
    coluna->addWidget(botoes);

    connect(botoes, &QDialogButtonBox::accepted, this, [this] {
        if (Codigo()) {
            accept();
        }
    });
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(FEditCodigo, &QLineEdit::textChanged, this, &TDialogoCodigo::CodigoMudou);
    CodigoMudou();
}

std::optional<uint32_t> TDialogoCodigo::Codigo() const {
    return LerCodigoDoLivro(FEditCodigo->text().toStdString());
}

void TDialogoCodigo::CodigoMudou() {
    const bool valido = Codigo().has_value();
    FBotaoRefazer->setEnabled(valido);
    FMotivo->setText(valido || FEditCodigo->text().trimmed().isEmpty()
                         ? QString()
                         : "O código tem de 1 a 8 algarismos hexadecimais (de 0 a 9 e de A a "
                           "F), como 0A1B2C3D.");
}

} // namespace tavrelo
