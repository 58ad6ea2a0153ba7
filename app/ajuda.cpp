#include "app/ajuda.h"

#include "app/aspeto.h"
#include "content/regras.h"
#include "core/tipos.h"
#include "frontend/textos.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <string>
#include <vector>

namespace tavrelo {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The techniques as the book's rules pages name them: the one every level uses, and the one
// levels 4 and 5 need.
QString TecnicaSimples() {
    return Q(TecnicasDoTamanho(8, false).front().Titulo);
}

QString TecnicaDaLista() {
    return Q(TecnicasDoTamanho(8, true).back().Titulo);
}

// "Somas, Diagonais quebradas, Blocos 2 × 2 e Meia diagonal": the laws of an order, as the
// book names them.
QString LeisDoLivro(int32_t N) {
    const std::vector<TLeiTavrelo> leis = LeisDoTamanho(N);
    QString r;
    for (size_t i = 0; i < leis.size(); ++i) {
        r += (i == 0 ? "" : i + 1 == leis.size() ? " e " : ", ") + Q(NomeDaLei(leis[i]));
    }
    return r;
}

// The window's own words and keys in the help stand out.
QString Negrito(const QString& ATexto) {
    return "<b>" + ATexto.toHtmlEscaped() + "</b>";
}

QString Seccao(const QString& ATitulo, const QString& ACorpo) {
    return "<h4>" + ATitulo.toHtmlEscaped() + "</h4>" + ACorpo;
}

// One line a key: the key, then what it does.
QString Teclas(const std::vector<std::pair<QString, QString>>& ATeclas) {
    QString r = "<table cellspacing=\"0\" cellpadding=\"2\">";
    for (const auto& [tecla, accao] : ATeclas) {
        r += "<tr><td>" + Negrito(tecla) + "</td><td style=\"padding-left: 12px\">" +
             accao.toHtmlEscaped() + "</td></tr>";
    }
    return r + "</table>";
}

// The help's text, made from the program's own texts: headings, paragraphs, lists and the
// table of keys; no text of the user's.
QString TextoDaAjuda() {
    QString t;
    t += Seccao("Fazer um livro",
                "<ol><li>Escolha o " + Negrito("Tamanho") + " da grelha e a " +
                    Negrito("Dificuldade") + ".</li><li>Escreva o " + Negrito("Número de puzzles") +
                    " (de 1 a 100) e, se quiser, o " + Negrito("Título do livro") +
                    ", impresso na capa.</li><li>Prima " + Negrito("Gerar Livro") + ". Na janela " +
                    Negrito("Guardar o livro") +
                    ", escolha a pasta, escreva o nome do ficheiro e prima " + Negrito("Guardar") +
                    ".</li><li>A barra por baixo da linha de estado mostra os puzzles feitos; " +
                    Negrito("Cancelar") + " (ou Escape) para o livro, e nada é gravado.</li></ol>");
    t += Seccao(
        "Onde fica o livro",
        "<p>O livro é um ficheiro PDF, gravado na pasta e com o nome que escolher, terminado "
        "sempre em .pdf. A janela " +
            Negrito("Guardar o livro") +
            " abre da primeira vez na pasta Documentos, depois na pasta do último livro "
            "gravado.</p><p>Quando o livro fica pronto, a linha de estado diz quantos puzzles "
            "e páginas tem e o seu código; por baixo dela aparecem o nome do ficheiro, " +
            Negrito("Abrir a pasta") + ", que mostra o livro no gestor de ficheiros, e " +
            Negrito("Copiar o código") + ". Com " + Negrito("Abrir o PDF") +
            " marcado, o livro abre-se logo no leitor de PDF.</p>");
    t += Seccao("O livro",
                "<p>O TAVRELO faz livros de puzzles de quadrados mágicos, prontos a imprimir "
                "em A4. Em cada puzzle escrevem-se na grelha os números de 1 a N², cada um "
                "uma vez, de modo que todas as leis do livro batam certo; as regras vêm no "
                "próprio livro.</p>");
    QString tamanhos = "<ul>";
    for (int item = 0; item < 6; ++item) {
        tamanhos += "<li>" + DicaDoTamanho(item).toHtmlEscaped() + "</li>";
    }
    t += Seccao("Tamanho", tamanhos + "</ul><p>Quanto maior a grelha, mais longo o puzzle.</p>");
    QString niveis = "<ul>";
    for (int item = 0; item <= ITEM_PROGRESSIVA; ++item) {
        const QString nome =
            item == ITEM_PROGRESSIVA ? QString("Progressiva") : QString("Nível %1").arg(item + 1);
        niveis += "<li>" + Negrito(nome) + ": " + DicaDaDificuldade(item).toHtmlEscaped() + "</li>";
    }
    t += Seccao("Dificuldade",
                niveis + "</ul><p>As duas técnicas vêm nas regras do próprio livro: «" +
                    TecnicaSimples().toHtmlEscaped() + "», que todos os níveis usam, e «" +
                    TecnicaDaLista().toHtmlEscaped() + "», que os níveis 4 e 5 pedem.</p>");
    t += Seccao("Soluções com dicas", "<p>" + DicaDasDicas().toHtmlEscaped() + "</p>");
    t += Seccao("O código do livro",
                "<p>Cada livro tem um código de oito algarismos hexadecimais, impresso na ficha "
                "técnica e mostrado na linha de estado; " +
                    Negrito("Copiar o código") +
                    " copia-o. O do próximo livro está por cima da pré-visualização, que mostra a "
                    "capa, a primeira página de puzzles e a primeira de soluções tal como o PDF "
                    "as terá. Com as mesmas escolhas e o mesmo código, o livro sai igual, "
                    "puzzle a puzzle. " +
                    Negrito("Refazer um livro…") +
                    " pede o código, ou o PDF do livro, que traz dentro as escolhas e o "
                    "código.</p>");
    t += Seccao("Teclado",
                Teclas({{"Tab", "o controlo seguinte, linha a linha"},
                        {"Shift+Tab", "o controlo anterior"},
                        {"Setas", "a escolha dentro de um grupo; o número de puzzles; a página da "
                                  "pré-visualização"},
                        {"Alt + a letra sublinhada", "o botão ou o campo dessa letra"},
                        {"Enter", "o botão em foco, ou Gerar Livro; na pré-visualização, a página "
                                  "do tamanho da janela"},
                        {"Escape", "cancela o livro em curso; volta da página grande"},
                        {"Ctrl+R", "Refazer um livro…"},
                        {"F1", "esta ajuda"},
                        {"Ctrl+Q", "sair (durante um livro, pergunta primeiro)"}}));
    return t;
}

} // namespace

QString DicaDoTamanho(int AItem) {
    const int32_t N = TamanhoDoIndice(AItem);
    return QString("%1 × %1: os números de 1 a %2. Leis: %3.")
        .arg(N)
        .arg(N * N)
        .arg(LeisDoLivro(N));
}

QString DicaDaDificuldade(int AItem) {
    // The lines of the book's own page "Os níveis deste livro".
    switch (AItem) {
    case 0:
        return "O mais fácil: muitos números dados; não pede a lista.";
    case 1:
        return "Menos números dados; não pede a lista.";
    case 2:
        return "Poucos números dados; não pede a lista.";
    case 3:
        return "Pede a lista de números.";
    case 4:
        return "O mais difícil: pede a lista; poucos números dados.";
    default:
        return QString("Sobe do nível 1 ao nível 5 ao longo do livro, com os puzzles repartidos "
                       "pelos cinco níveis; pede pelo menos %1 puzzles.")
            .arg(MinimoDePuzzles(ITEM_PROGRESSIVA));
    }
}

QString DicaDasDicas() {
    return "Por baixo de cada solução, dicas para quem ficar preso. As marcadas com ► são os "
           "passos que «" +
           TecnicaSimples() + "» não dá; o resto resulta de leis com uma só casa vazia.";
}

QString DicaDoTitulo() {
    return "Opcional: o título impresso na capa do livro, em até três linhas.";
}

QSize TamanhoDaAjuda(const QRect& ADisponivel) {
    // As large as the text likes, within the free area less the window's frame (its borders
    // and title bar), whatever the desktop draws.
    constexpr QSize DESEJADO{660, 720};
    constexpr QSize MOLDURA{24, 64};
    return DESEJADO.boundedTo(ADisponivel.size() - MOLDURA).expandedTo(QSize(1, 1));
}

TJanelaDeAjuda::TJanelaDeAjuda(QWidget* AParent) : QDialog(AParent) {
    setObjectName("JanelaDeAjuda");
    setWindowTitle("Ajuda do TAVRELO");
    setFont(Fonte(LETRA_CONTROLOS));
    auto* coluna = new QVBoxLayout(this);
    // Scrolled whenever the window is smaller than the text; read with the keyboard as well
    // as the mouse.
    auto* texto = new QTextBrowser(this);
    texto->setObjectName("TextoDaAjuda");
    texto->setAccessibleName("Texto da ajuda");
    texto->setHtml(TextoDaAjuda());
    texto->setFrameShape(QFrame::NoFrame);
    // A caret the keys move (arrows, Ctrl+End), and select with, as a screen reader reads.
    texto->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    texto->setMinimumSize(120, 60);
    coluna->addWidget(texto, 1);
    auto* botoes = new QDialogButtonBox(this);
    QPushButton* fechar = botoes->addButton("&Fechar", QDialogButtonBox::RejectRole);
    fechar->setDefault(true);
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::close);
    coluna->addWidget(botoes);
    // The keys scroll the text from the start (arrows, Page Down, Ctrl+End); Enter and
    // Escape close.
    texto->setFocus();
    // Sized for the screen it opens on; Qt centres it on the window, inside that screen.
    const QScreen* ecra = AParent != nullptr ? AParent->screen() : QGuiApplication::primaryScreen();
    if (ecra != nullptr) {
        resize(TamanhoDaAjuda(ecra->availableGeometry()));
    }
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
