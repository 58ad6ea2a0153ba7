#include "app/ajuda.h"

#include "app/aspeto.h"
#include "frontend/textos.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrelo {

namespace {

// The help's text, fixed in the program: headings and paragraphs, no text of the user's.
const char* const TEXTO_DA_AJUDA = R"(
<h3>O livro</h3>
<p>O TAVRELO faz livros de puzzles de quadrados mágicos, prontos a imprimir em A4. Em cada
puzzle escrevem-se na grelha os números de 1 a N², cada um uma vez, de modo que todas as
somas das leis do livro batam certo; as regras vêm no próprio livro.</p>
<h3>Tamanho</h3>
<p>8 × 8, 12 × 12 e 16 × 16 são quadrados mais-que-perfeitos; 7 × 7, 11 × 11 e 13 × 13 são
ultramágicos. Quanto maior a grelha, mais longo o puzzle.</p>
<h3>Dificuldade</h3>
<p>Do nível 1, o mais fácil, ao nível 5, igual para todos os puzzles: os níveis 4 e 5 pedem a
técnica das listas e dão menos números de partida. A <b>Progressiva</b> sobe do nível 1 ao
nível 5 ao longo do livro, e por isso precisa de pelo menos 5 puzzles.</p>
<h3>Soluções com dicas</h3>
<p>Cada solução mostra também os primeiros passos da dedução, para quem ficar preso.</p>
<h3>O código do livro</h3>
<p>Cada livro tem um código de oito algarismos hexadecimais, impresso na ficha técnica e
mostrado na linha de estado, de onde se pode copiar. Com as mesmas escolhas e o mesmo
código, o livro sai igual, puzzle a puzzle. <b>Refazer um livro…</b> pede o código, ou o PDF do
livro, que traz dentro as escolhas e o código.</p>
<h3>Teclado</h3>
<table cellspacing="2">
<tr><td><b>Tab</b>, <b>Shift+Tab</b>&nbsp;&nbsp;</td><td>de controlo em controlo, linha a linha</td></tr>
<tr><td><b>Setas</b></td><td>a escolha dentro de um grupo; o número de puzzles</td></tr>
<tr><td><b>Alt</b> + letra sublinhada</td><td>o botão ou o campo dessa letra</td></tr>
<tr><td><b>Enter</b></td><td>o botão em foco, ou Gerar Livro</td></tr>
<tr><td><b>Escape</b></td><td>cancela o livro em curso</td></tr>
<tr><td><b>Ctrl+R</b></td><td>Refazer um livro…</td></tr>
<tr><td><b>F1</b></td><td>esta ajuda</td></tr>
<tr><td><b>Ctrl+Q</b></td><td>sair (durante um livro, pergunta primeiro)</td></tr>
</table>
)";

} // namespace

TJanelaDeAjuda::TJanelaDeAjuda(QWidget* AParent) : QDialog(AParent) {
    setObjectName("JanelaDeAjuda");
    setWindowTitle("Ajuda do TAVRELO");
    setFont(Fonte(LETRA_CONTROLOS));
    auto* coluna = new QVBoxLayout(this);
    auto* texto = new QLabel(TEXTO_DA_AJUDA, this);
    texto->setObjectName("TextoDaAjuda");
    texto->setTextFormat(Qt::RichText);
    texto->setWordWrap(true);
    texto->setFixedWidth(560);
    texto->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    coluna->addWidget(texto);
    auto* botoes = new QDialogButtonBox(this);
    QPushButton* fechar = botoes->addButton("&Fechar", QDialogButtonBox::RejectRole);
    fechar->setDefault(true);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::close);
    coluna->addWidget(botoes);
}

QString TextoAcerca() {
    return QString("TAVRELO %1\n"
                   "Livros de puzzles de quadrados mágicos, prontos a imprimir.\n\n"
                   "© 2026 Brovanel. Todos os direitos reservados.\n\n"
                   "Os livros que o programa faz são publicados com a licença Creative Commons "
                   "Atribuição-NãoComercial-SemDerivações 4.0 Internacional (CC BY-NC-ND 4.0), "
                   "impressa no verso da capa de cada livro.\n\n"
                   "Feito com Qt %2, cairo, FreeType, utf8proc e qpdf. A letra dos livros é a "
                   "Liberation Sans (SIL Open Font License 1.1).")
        .arg(VersaoDoPrograma(), qVersion());
}

void MostrarAcerca(QWidget* APai) {
    QMessageBox caixa(QMessageBox::NoIcon, "Acerca do TAVRELO", TextoAcerca(), QMessageBox::Ok,
                      APai);
    caixa.setObjectName("CaixaAcerca");
    caixa.setTextFormat(Qt::PlainText);
    caixa.setIconPixmap(IconeTavrelo().pixmap(64, 64));
    caixa.button(QMessageBox::Ok)->setText("&Fechar");
    caixa.exec();
}

} // namespace tavrelo
