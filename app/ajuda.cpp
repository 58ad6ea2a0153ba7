#include "app/ajuda.h"

#include "app/aspeto.h"
#include "frontend/textos.h"

#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tavrelo {

namespace {

// The help's text, fixed in the program: headings and paragraphs, no text of the user's.
const char* const TEXTO_DA_AJUDA = R"(
<h4>O livro</h4>
<p>O TAVRELO faz livros de puzzles de quadrados mágicos, prontos a imprimir em A4. Em cada
puzzle escrevem-se na grelha os números de 1 a N², cada um uma vez, de modo que todas as
somas das leis do livro batam certo; as regras vêm no próprio livro.</p>
<h4>Tamanho</h4>
<p>8 × 8, 12 × 12 e 16 × 16 são quadrados mais-que-perfeitos; 7 × 7, 11 × 11 e 13 × 13 são
ultramágicos. Quanto maior a grelha, mais longo o puzzle.</p>
<h4>Dificuldade</h4>
<p>Do nível 1, o mais fácil, ao nível 5, igual para todos os puzzles: os níveis 4 e 5 pedem a
técnica das listas e dão menos números de partida. A <b>Progressiva</b> sobe do nível 1 ao
nível 5 ao longo do livro, e por isso precisa de pelo menos 5 puzzles.</p>
<h4>Soluções com dicas</h4>
<p>Cada solução mostra também dicas de dedução para quem ficar preso: os passos que não saem de uma lei com uma só casa vazia, e que bastam para acabar a grelha.</p>
<h4>O código do livro</h4>
<p>Cada livro tem um código de oito algarismos hexadecimais, impresso na ficha técnica e
mostrado na linha de estado, de onde se pode copiar. Com as mesmas escolhas e o mesmo
código, o livro sai igual, puzzle a puzzle. <b>Refazer um livro…</b> pede o código, ou o PDF do
livro, que traz dentro as escolhas e o código.</p>
<h4>Teclado</h4>
<p><b>Tab</b> e <b>Shift+Tab</b>: de controlo em controlo, linha a linha.<br>
<b>Setas</b>: a escolha dentro de um grupo; o número de puzzles.<br>
<b>Alt</b> + a letra sublinhada: o botão ou o campo dessa letra.<br>
<b>Enter</b>: o botão em foco, ou Gerar Livro. <b>Escape</b>: cancela o livro em curso.<br>
<b>Ctrl+R</b>: Refazer um livro… <b>F1</b>: esta ajuda.
<b>Ctrl+Q</b>: sair (durante um livro, pergunta primeiro).</p>
)";

} // namespace

TJanelaDeAjuda::TJanelaDeAjuda(QWidget* AParent) : QDialog(AParent) {
    setObjectName("JanelaDeAjuda");
    setWindowTitle("Ajuda do TAVRELO");
    setFont(Fonte(LETRA_CONTROLOS));
    auto* coluna = new QVBoxLayout(this);
    // Scrolled when the screen is small; read with the keyboard as well as the mouse.
    auto* texto = new QTextBrowser(this);
    texto->setObjectName("TextoDaAjuda");
    texto->setHtml(TEXTO_DA_AJUDA);
    texto->setFrameShape(QFrame::NoFrame);
    texto->setMinimumSize(600, 610);
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
