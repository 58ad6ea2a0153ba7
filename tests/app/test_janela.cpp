// The window driven through its widgets, with the dialogs, the desktop and the PDF writer
// replaced where a test needs to answer for the user.
#include "app/aspeto.h"
#include "app/janela.h"
#include "frontend/textos.h"

#include "composition/paginas.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>

using namespace tavrelo;

namespace teste {

// The window with every question answered by the test and every answer recorded.
class TJanelaTeste : public TFormMain {
  public:
    QStringList Avisos;
    QStringList Erros;
    QStringList Perguntas;
    QStringList Abertos;
    QStringList NomesPropostos;
    QString FicheiroEscolhido; // empty: the user gives up in the save dialog
    bool RespostaSim = false;
    std::function<void()> AoDestruir;

    ~TJanelaTeste() override {
        if (AoDestruir) {
            AoDestruir();
        }
    }

  protected:
    void MostrarAviso(const QString& ATexto) override { Avisos << ATexto; }
    void MostrarErro(const QString& ATexto) override { Erros << ATexto; }
    bool PerguntarSimNao(const QString& ATexto) override {
        Perguntas << ATexto;
        return RespostaSim;
    }
    QString PedirFicheiro(const QString& ANomeProposto) override {
        NomesPropostos << ANomeProposto;
        return FicheiroEscolhido;
    }
    void AbrirFicheiro(const QString& ACaminho) override { Abertos << ACaminho; }
};

// What a stand-in PDF writer saw; it writes a small file so a written book can be seen.
struct TGravacoes {
    int32_t Chamadas = 0;
    TLivro Livro;
    TInfoLivro Info;
};

using TGravadorLivro = decltype(TEtapasLivro::GravarPdf);
using TGeradorDeLivro = decltype(TEtapasLivro::Gerar);

TGravadorLivro GravadorFalso(const std::shared_ptr<TGravacoes>& AGravacoes) {
    return [AGravacoes](TFicheiroAtomico& AFicheiro, const TLivro& ALivro, const TInfoLivro& AInfo,
                        const TPedidoDeParagem&) {
        ++AGravacoes->Chamadas;
        AGravacoes->Livro = ALivro;
        AGravacoes->Info = AInfo;
        AFicheiro.Escrever("%PDF-1.4 falso\n");
        return TCompositorLivro(ALivro, AInfo).NumPaginas();
    };
}

// The real book generator held back until the test opens the gate, so a cancel or close
// request made meanwhile is seen by the first progress call, however fast puzzles are.
struct TPortao {
    std::mutex Trinco;
    std::condition_variable Sinal;
    bool Aberto = false;
    void Abrir() {
        {
            std::lock_guard<std::mutex> l(Trinco);
            Aberto = true;
        }
        Sinal.notify_all();
    }
};

TGeradorDeLivro GeradorComPortao(const std::shared_ptr<TPortao>& APortao) {
    return [APortao](const TConfigLivro& AConfig, const TProgressoLivro& AProgresso) {
        {
            std::unique_lock<std::mutex> l(APortao->Trinco);
            APortao->Sinal.wait(l, [&] { return APortao->Aberto; });
        }
        return TGeradorLivro().Gerar(AConfig, AProgresso);
    };
}

// A stand-in writer that waits at the gate before writing, so the window can be seen
// while its book is being written.
TGravadorLivro GravadorComPortao(const std::shared_ptr<TGravacoes>& AGravacoes,
                                 const std::shared_ptr<TPortao>& APortao) {
    return [AGravacoes, APortao](TFicheiroAtomico& AFicheiro, const TLivro& ALivro,
                                 const TInfoLivro& AInfo, const TPedidoDeParagem& AParar) {
        {
            std::unique_lock<std::mutex> l(APortao->Trinco);
            APortao->Sinal.wait(l, [&] { return APortao->Aberto; });
        }
        return GravadorFalso(AGravacoes)(AFicheiro, ALivro, AInfo, AParar);
    };
}

} // namespace teste

using teste::TJanelaTeste;

class TesteJanela : public QObject {
    Q_OBJECT

    template <typename T> static T* Controlo(QWidget& AJanela, const char* ANome) {
        T* w = AJanela.findChild<T*>(ANome);
        if (!w) {
            qFatal("controlo em falta: %s", ANome);
        }
        return w;
    }
    static QLineEdit* EditNumero(QWidget& AJanela) {
        return Controlo<QAbstractSpinBox>(AJanela, "EditNumPuzzles")->findChild<QLineEdit*>();
    }
    static QRadioButton* Radio(QWidget& AJanela, const char* AGrupo, int AItem) {
        auto radios = Controlo<QGroupBox>(AJanela, AGrupo)->findChildren<QRadioButton*>();
        return radios.at(AItem);
    }
    static QString Estado(QWidget& AJanela) {
        return Controlo<QLabel>(AJanela, "LabelEstado")->text();
    }
    static QString Resumo(QWidget& AJanela) {
        return Controlo<QLabel>(AJanela, "LabelResumo")->text();
    }
    static QPushButton* Botao(QWidget& AJanela, const char* ANome) {
        return Controlo<QPushButton>(AJanela, ANome);
    }
    // Chooses a small book: size item, difficulty item, number as typed.
    static void Escolher(QWidget& AJanela, int ATamanho, int ANivel, const QString& ANumero) {
        Radio(AJanela, "RadioGroupTamanho", ATamanho)->click();
        Radio(AJanela, "RadioGroupNivel", ANivel)->click();
        EditNumero(AJanela)->setText(ANumero);
    }
    static void EsperarFim(TFormMain& AJanela) {
        QTRY_VERIFY_WITH_TIMEOUT(!AJanela.Ocupado(), 200000);
    }

  private slots:

    void EstadoInicial();
    void ProgressivaComTresPuzzles();
    void DoisPassaACincoAoEscolherProgressiva();
    void DaProgressivaParaNivel2();
    void NumeroInvalido_data();
    void NumeroInvalido();
    void SetasDoNumero();
    void LerConfiguracao();
    void TituloQueACapaNaoImprime();

    void LivroFeitoPelaJanela();
    void AEscreverOPdf();
    void DialogoDesistido();
    void CancelarPeloBotao();
    void FecharDuranteGeracao_data();
    void FecharDuranteGeracao();
    void FalhaDaGravacao();
    void DestruirDuranteGeracao();
    void LivroComOGravadorVerdadeiro();

    void EstiloEIcone();
};

void TesteJanela::EstadoInicial() {
    TJanelaTeste j;
    j.show();
    QVERIFY(QTest::qWaitForWindowExposed(&j));
    QCOMPARE(j.windowTitle(), QString("TAVRELO | Brovanel"));
    QCOMPARE(j.size(), QSize(676, 368));
    QCOMPARE(j.minimumSize(), j.maximumSize());

    const struct {
        const char* Nome;
        const char* Texto;
        QRect Lugar;
    } botoes[] = {{"BitBtnGerar", "Gerar Livro", {520, 260, 120, 40}},
                  {"BitBtnSair", "Sair", {520, 314, 120, 40}}};
    for (const auto& b : botoes) {
        QCOMPARE(Botao(j, b.Nome)->text(), QString(b.Texto));
        QCOMPARE(Botao(j, b.Nome)->geometry(), b.Lugar);
        QVERIFY(Botao(j, b.Nome)->isEnabled());
    }
    QCOMPARE(Botao(j, "BitBtnCancelar")->text(), QString("Cancelar"));
    QVERIFY(!Botao(j, "BitBtnCancelar")->isEnabled());
    QVERIFY(QRect(0, 0, 676, 368).contains(Botao(j, "BitBtnCancelar")->geometry()));
    QVERIFY(Botao(j, "BitBtnGerar")->isDefault());

    const struct {
        const char* Nome;
        const char* Texto;
    } etiquetas[] = {{"LabelNumPuzzles", "Número de puzzles: "},
                     {"LabelTituloLivro", "Título do livro"},
                     {"LabelNome", "TAVRELO"},
                     {"LabelAutor", "by Brovanel"}};
    for (const auto& e : etiquetas) {
        QCOMPARE(Controlo<QLabel>(j, e.Nome)->text(), QString(e.Texto));
    }
    QCOMPARE(Controlo<QCheckBox>(j, "CheckBoxCaminho")->text(), QString("Soluções com dicas"));
    QCOMPARE(Controlo<QCheckBox>(j, "CheckBoxAbrirPDF")->text(), QString("Abrir o PDF"));
    QVERIFY(Controlo<QCheckBox>(j, "CheckBoxCaminho")->isChecked());
    QVERIFY(Controlo<QCheckBox>(j, "CheckBoxAbrirPDF")->isChecked());
    QCOMPARE(Controlo<QGroupBox>(j, "GroupBoxLivro")->title(), QString("Livro"));
    QCOMPARE(Controlo<QGroupBox>(j, "RadioGroupTamanho")->title(), QString("Tamanho"));
    QCOMPARE(Controlo<QGroupBox>(j, "RadioGroupNivel")->title(), QString("Dificuldade"));

    const QStringList tamanhos = {"8 x 8", "12 x 12", "16 x 16", "7 x 7", "11 x 11", "13 x 13"};
    const QStringList niveis = {"Nível 1", "Nível 2", "Nível 3",
                                "Nível 4", "Nível 5", "Progressiva"};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(Radio(j, "RadioGroupTamanho", i)->text(), tamanhos[i]);
        QCOMPARE(Radio(j, "RadioGroupNivel", i)->text(), niveis[i]);
        QCOMPARE(Radio(j, "RadioGroupTamanho", i)->isChecked(), i == 0);
        QCOMPARE(Radio(j, "RadioGroupNivel", i)->isChecked(), i == 5);
    }
    // Two columns, filled column by column.
    QCOMPARE(Radio(j, "RadioGroupNivel", 3)->x(), Radio(j, "RadioGroupNivel", 5)->x());
    QVERIFY(Radio(j, "RadioGroupNivel", 3)->x() > Radio(j, "RadioGroupNivel", 2)->x());

    QCOMPARE(EditNumero(j)->text(), QString("50"));
    QCOMPARE(EditNumero(j)->maxLength(), 3);
    QCOMPARE(Controlo<TEditComSetas>(j, "EditNumPuzzles")->Minimo(), 5);
    QCOMPARE(Controlo<TEditComSetas>(j, "EditNumPuzzles")->Maximo(), 100);
    QCOMPARE(Controlo<QLineEdit>(j, "EditTituloLivro")->text(), QString());
    QCOMPARE(Resumo(j), QString("50 puzzles · 8 × 8 · progressiva: 10 + 10 + 10 + 10 + 10"));
    QCOMPARE(Estado(j), QString());
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->value(), 0);
}

void TesteJanela::ProgressivaComTresPuzzles() {
    TJanelaTeste j;
    QLineEdit* edit = EditNumero(j);
    edit->selectAll();
    QTest::keyClicks(edit, "3");
    QCOMPARE(edit->text(), QString("3"));
    QCOMPARE(Resumo(j), QString("3 puzzles · 8 × 8 · progressiva: 1 + 1 + 1"));
    QCOMPARE(Estado(j), QString::fromStdString(MensagemMinimoProgressiva()));
    QVERIFY(!Botao(j, "BitBtnGerar")->isEnabled());

    // "Gerar Livro" reached anyway (by the keyboard) is refused with the same reason.
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(j.NomesPropostos.size(), 0);
    QVERIFY(!j.Ocupado());
}

void TesteJanela::DoisPassaACincoAoEscolherProgressiva() {
    TJanelaTeste j;
    Escolher(j, 0, 1, "2");
    QCOMPARE(Resumo(j), QString("2 puzzles · 8 × 8 · nível 2"));
    Radio(j, "RadioGroupNivel", 5)->click();
    QCOMPARE(EditNumero(j)->text(), QString("5"));
    QCOMPARE(Controlo<TEditComSetas>(j, "EditNumPuzzles")->Minimo(), 5);
    QCOMPARE(Resumo(j), QString("5 puzzles · 8 × 8 · progressiva: 1 + 1 + 1 + 1 + 1"));
    QCOMPARE(Estado(j), QString());
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
}

void TesteJanela::DaProgressivaParaNivel2() {
    TJanelaTeste j;
    EditNumero(j)->setText("3"); // below the Progressiva's minimum: the reason is shown
    Radio(j, "RadioGroupNivel", 1)->click();
    QCOMPARE(Controlo<TEditComSetas>(j, "EditNumPuzzles")->Minimo(), 1);
    QCOMPARE(EditNumero(j)->text(), QString("3"));
    QCOMPARE(Resumo(j), QString("3 puzzles · 8 × 8 · nível 2"));
    QCOMPARE(Estado(j), QString());
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());

    Radio(j, "RadioGroupTamanho", 5)->click();
    QCOMPARE(Resumo(j), QString("3 puzzles · 13 × 13 · nível 2"));
}

void TesteJanela::NumeroInvalido_data() {
    QTest::addColumn<QString>("texto");
    QTest::newRow("0") << "0";
    QTest::newRow("101") << "101";
    QTest::newRow("abc") << "abc";
    QTest::newRow("vazio") << "";
}

void TesteJanela::NumeroInvalido() {
    QFETCH(QString, texto);
    TJanelaTeste j;
    EditNumero(j)->setText(texto);
    QCOMPARE(Resumo(j), QString());
    QCOMPARE(Estado(j), QString("Indique um número de puzzles entre 1 e 100."));
    QVERIFY(!Botao(j, "BitBtnGerar")->isEnabled());
    // The text stays as typed, also when the edit loses the focus.
    QCOMPARE(EditNumero(j)->text(), texto);

    // Switching difficulty while invalid changes neither the text nor the reason.
    Radio(j, "RadioGroupNivel", 0)->click();
    QCOMPARE(EditNumero(j)->text(), texto);
    QCOMPARE(Estado(j), QString("Indique um número de puzzles entre 1 e 100."));

    EditNumero(j)->setText("12");
    QCOMPARE(Estado(j), QString());
    QCOMPARE(Resumo(j), QString("12 puzzles · 8 × 8 · nível 1"));
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
}

void TesteJanela::SetasDoNumero() {
    TJanelaTeste j;
    auto* setas = Controlo<TEditComSetas>(j, "EditNumPuzzles");
    const struct {
        int Nivel;
        const char* Texto;
        int Passos;
        const char* Depois;
    } casos[] = {
        {0, "7", 1, "8"},    {0, "7", -3, "4"},      {0, "100", 1, "100"},
        {0, "1", -1, "1"},   {5, "5", -1, "5"},      {5, "6", -4, "5"},
        {0, " 9 ", 1, "10"}, {0, "abc", 1, nullptr}, // from the last position
    };
    for (const auto& c : casos) {
        Radio(j, "RadioGroupNivel", c.Nivel)->click();
        EditNumero(j)->setText("20");
        setas->stepBy(0); // the position follows the last number shown by the arrows
        EditNumero(j)->setText(c.Texto);
        setas->stepBy(c.Passos);
        QCOMPARE(EditNumero(j)->text(), QString(c.Depois ? c.Depois : "21"));
    }
}

void TesteJanela::LerConfiguracao() {
    TJanelaTeste j;
    Escolher(j, 4, 3, "12");
    Controlo<QLineEdit>(j, "EditTituloLivro")->setText("  \t ");
    Controlo<QCheckBox>(j, "CheckBoxCaminho")->setChecked(false);
    TConfigLivro c;
    QVERIFY(j.LerConfiguracao(c));
    QCOMPARE(c.NumPuzzles, 12);
    QCOMPARE(c.N, 11);
    QCOMPARE(c.Nivel, 4);
    QCOMPARE(c.Titulo, std::string());
    QCOMPARE(c.Caminho, false);

    Controlo<QLineEdit>(j, "EditTituloLivro")->setText("  Férias de Verão ");
    Radio(j, "RadioGroupNivel", 5)->click();
    QVERIFY(j.LerConfiguracao(c));
    QCOMPARE(c.Titulo, std::string("Férias de Verão"));
    QCOMPARE(c.Nivel, 0);
    QVERIFY(j.Avisos.isEmpty());

    const struct {
        int Nivel;
        const char* Texto;
        std::string Aviso;
    } recusas[] = {{0, "abc", MensagemNumPuzzles(false)},
                   {0, "101", MensagemNumPuzzles(false)},
                   {5, "4", MensagemMinimoProgressiva()}};
    for (const auto& r : recusas) {
        j.Avisos.clear();
        Radio(j, "RadioGroupNivel", r.Nivel)->click();
        EditNumero(j)->setText(r.Texto);
        QVERIFY(!j.LerConfiguracao(c));
        QCOMPARE(j.Avisos, QStringList{QString::fromStdString(r.Aviso)});
        QCOMPARE(c.NumPuzzles, 0);
    }
}

// A title the cover cannot print stops the book as a bad number does, with its reason.
void TesteJanela::TituloQueACapaNaoImprime() {
    TJanelaTeste j;
    auto* titulo = Controlo<QLineEdit>(j, "EditTituloLivro");
    const QString longo = QString("Quadrados mágicos ").repeated(12);
    const struct {
        QString Titulo;
        const char* Motivo;
    } recusas[] = {
        {QString::fromUtf8("Férias \xF0\x9F\x98\x80"),
         "O título tem um carácter que a letra do livro não tem: «\xF0\x9F\x98\x80» "
         "(U+1F600)."},
        {longo, "O título é demasiado comprido: não cabe na capa, nem em três linhas."},
    };
    for (const auto& r : recusas) {
        titulo->setText(r.Titulo);
        QCOMPARE(Estado(j), QString::fromUtf8(r.Motivo));
        QVERIFY(!Botao(j, "BitBtnGerar")->isEnabled());
        j.Avisos.clear();
        TConfigLivro c;
        QVERIFY(!j.LerConfiguracao(c));
        QCOMPARE(j.Avisos, QStringList{QString::fromUtf8(r.Motivo)});

        // A bad number is told first; once it is mended the title's reason is back.
        EditNumero(j)->setText("0");
        QCOMPARE(Estado(j), QString("Indique um número de puzzles entre 1 e 100."));
        EditNumero(j)->setText("50");
        QCOMPARE(Estado(j), QString::fromUtf8(r.Motivo));
    }
    // Mended: the reason goes, the book may be made, and its title is composed (e + U+0301).
    titulo->setText(QString::fromUtf8("Cafe\xCC\x81"));
    QCOMPARE(Estado(j), QString());
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
    TConfigLivro c;
    QVERIFY(j.LerConfiguracao(c));
    QCOMPARE(c.Titulo, std::string("Caf\xC3\xA9"));
}

void TesteJanela::LivroFeitoPelaJanela() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "2");
    Controlo<QLineEdit>(j, "EditTituloLivro")->setText(" Primeiro ");

    Botao(j, "BitBtnGerar")->click();
    QCOMPARE(j.NomesPropostos, QStringList{"Tavrelo_8x8_N1_2.pdf"});
    QVERIFY(j.Ocupado());
    // A gerar: every input and "Sair" locked, cancel open.
    for (const char* nome :
         {"EditNumPuzzles", "EditTituloLivro", "RadioGroupTamanho", "RadioGroupNivel",
          "CheckBoxCaminho", "CheckBoxAbrirPDF", "BitBtnSair", "BitBtnGerar"}) {
        QVERIFY2(!Controlo<QWidget>(j, nome)->isEnabled(), nome);
    }
    QVERIFY(Botao(j, "BitBtnCancelar")->isEnabled());
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->maximum(), 2);
    // A second click while busy starts nothing.
    Botao(j, "BitBtnGerar")->click();
    QCOMPARE(j.NomesPropostos.size(), 1);

    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 1);
    const TLivro& livro = gravacoes->Livro;
    QCOMPARE(livro.Puzzles.size(), size_t(2));
    QCOMPARE(livro.Config.Titulo, std::string("Primeiro"));
    QCOMPARE(livro.Config.Nivel, 1);
    QCOMPARE(livro.Config.N, 8);
    QVERIFY(livro.Config.Caminho);
    const int32_t paginas = TCompositorLivro(livro, gravacoes->Info).NumPaginas();
    QCOMPARE(Estado(j), QString::fromStdString(MensagemLivroGerado(2, paginas, livro.Codigo)));
    QVERIFY(Estado(j).startsWith("Livro gerado: 2 puzzles, "));
    QVERIFY(QFileInfo::exists(j.FicheiroEscolhido));
    QCOMPARE(j.Abertos, QStringList{j.FicheiroEscolhido});
    QVERIFY(j.Erros.isEmpty());
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->value(), 2);

    // Back to Livre, the result kept in the status line while the choice stays valid.
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
    QVERIFY(Botao(j, "BitBtnSair")->isEnabled());
    QVERIFY(!Botao(j, "BitBtnCancelar")->isEnabled());
    EditNumero(j)->setText("3");
    QVERIFY(Estado(j).startsWith("Livro gerado: "));

    // Without "Abrir o PDF" nothing is opened.
    Controlo<QCheckBox>(j, "CheckBoxAbrirPDF")->setChecked(false);
    EditNumero(j)->setText("1");
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 2);
    QCOMPARE(j.Abertos.size(), 1);
    QVERIFY(Estado(j).startsWith("Livro gerado: 1 puzzle, "));
}

// Between the last puzzle and the written file: every control locked, cancel included, the
// bar full and "A criar o PDF..." in the status line.
void TesteJanela::AEscreverOPdf() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    auto portao = std::make_shared<teste::TPortao>();
    j.DefinirGravador(teste::GravadorComPortao(gravacoes, portao));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 3, 0, "3");
    Botao(j, "BitBtnGerar")->click();

    QTRY_COMPARE_WITH_TIMEOUT(Estado(j), QString("A criar o PDF..."), 200000);
    QVERIFY(j.Ocupado());
    for (const char* nome :
         {"EditNumPuzzles", "EditTituloLivro", "RadioGroupTamanho", "RadioGroupNivel",
          "CheckBoxCaminho", "CheckBoxAbrirPDF", "BitBtnSair", "BitBtnGerar", "BitBtnCancelar"}) {
        QVERIFY2(!Controlo<QWidget>(j, nome)->isEnabled(), nome);
    }
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->value(), 3);
    QCOMPARE(gravacoes->Chamadas, 0);

    portao->Abrir();
    EsperarFim(j);
    QCOMPARE(gravacoes->Chamadas, 1);
    QVERIFY(Estado(j).startsWith("Livro gerado: 3 puzzles, "));
}

void TesteJanela::DialogoDesistido() {
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    Escolher(j, 3, 5, "10");
    Botao(j, "BitBtnGerar")->click();
    QCOMPARE(j.NomesPropostos, QStringList{"Tavrelo_7x7_P_10.pdf"});
    QVERIFY(!j.Ocupado());
    QCOMPARE(Estado(j), QString());
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
}

void TesteJanela::CancelarPeloBotao() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    auto portao = std::make_shared<teste::TPortao>();
    j.DefinirGerador(teste::GeradorComPortao(portao));
    j.FicheiroEscolhido = pasta.filePath("cancelado.pdf");
    Escolher(j, 0, 0, "20");

    Botao(j, "BitBtnGerar")->click();
    QCOMPARE(Estado(j), QString("A preparar o livro..."));
    QVERIFY(Botao(j, "BitBtnCancelar")->isEnabled());
    Botao(j, "BitBtnCancelar")->click();
    QCOMPARE(Estado(j), QString("A cancelar..."));
    QVERIFY(!Botao(j, "BitBtnCancelar")->isEnabled());
    QVERIFY(!Botao(j, "BitBtnSair")->isEnabled());
    portao->Abrir();

    EsperarFim(j);
    QCOMPARE(Estado(j), QString("Geração cancelada aos 1 de 20 puzzles. Nada foi gravado."));
    QCOMPARE(gravacoes->Chamadas, 0);
    QVERIFY(!QFileInfo::exists(j.FicheiroEscolhido));
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->value(), 0);
    QVERIFY(j.Abertos.isEmpty());
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
    QVERIFY(!Botao(j, "BitBtnCancelar")->isEnabled());
}

void TesteJanela::FecharDuranteGeracao_data() {
    QTest::addColumn<bool>("sim");
    QTest::addColumn<QString>("numero");
    QTest::addColumn<bool>("gravado");
    QTest::addColumn<QString>("estado");
    QTest::newRow("não: o livro continua") << false << "2" << true << "Livro gerado: 2 puzzles, ";
    QTest::newRow("sim: cancela e fecha")
        << true << "20" << false << "Geração cancelada aos 1 de 20 puzzles. Nada foi gravado.";
    QTest::newRow("sim com o último puzzle: cancela e fecha")
        << true << "1" << false << "Geração cancelada aos 1 de 1 puzzles. Nada foi gravado.";
}

void TesteJanela::FecharDuranteGeracao() {
    QFETCH(bool, sim);
    QFETCH(QString, numero);
    QFETCH(bool, gravado);
    QFETCH(QString, estado);

    QTemporaryDir pasta;
    TJanelaTeste j;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    j.DefinirGravador(teste::GravadorFalso(gravacoes));
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    auto portao = std::make_shared<teste::TPortao>();
    j.DefinirGerador(teste::GeradorComPortao(portao));
    j.RespostaSim = sim;
    Escolher(j, 0, 0, numero);
    j.show();
    QVERIFY(QTest::qWaitForWindowExposed(&j));

    Botao(j, "BitBtnGerar")->click();
    QVERIFY(!j.close()); // refused while busy; the question is asked
    QCOMPARE(j.Perguntas, QStringList{"Está a ser gerado um livro. Cancelar e sair?"});
    QVERIFY(j.isVisible());
    QCOMPARE(Botao(j, "BitBtnCancelar")->isEnabled(), !sim);
    // A close request does not put "A cancelar..." in the status line.
    QCOMPARE(Estado(j), QString("A preparar o livro..."));
    portao->Abrir();
    EsperarFim(j);
    QVERIFY(Estado(j).startsWith(estado));
    QCOMPARE(gravacoes->Chamadas, gravado ? 1 : 0);
    QCOMPARE(QFileInfo::exists(j.FicheiroEscolhido), gravado);
    QCOMPARE(j.isVisible(), !sim);
    QCOMPARE(j.Perguntas.size(), 1);
}

void TesteJanela::FalhaDaGravacao() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    j.DefinirGravador([](TFicheiroAtomico&, const TLivro&, const TInfoLivro&,
                         const TPedidoDeParagem&) -> int32_t {
        throw std::runtime_error("Não foi possível escrever o ficheiro: disco cheio.");
    });
    j.FicheiroEscolhido = pasta.filePath("livro.pdf");
    Escolher(j, 0, 0, "1");
    Controlo<QLineEdit>(j, "EditTituloLivro")->setText("Guardado");
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    const QString esperado =
        "Não foi possível terminar o livro: Não foi possível escrever o ficheiro: disco cheio.";
    QCOMPARE(Estado(j), esperado);
    QCOMPARE(j.Erros, QStringList{esperado});
    QVERIFY(j.Abertos.isEmpty());
    QCOMPARE(Controlo<QProgressBar>(j, "ProgressBarLote")->value(), 0);
    // Back to Livre with the inputs kept.
    QVERIFY(Botao(j, "BitBtnGerar")->isEnabled());
    QCOMPARE(Controlo<QLineEdit>(j, "EditTituloLivro")->text(), QString("Guardado"));
    QCOMPARE(EditNumero(j)->text(), QString("1"));
}

void TesteJanela::DestruirDuranteGeracao() {
    QTemporaryDir pasta;
    auto gravacoes = std::make_shared<teste::TGravacoes>();
    auto portao = std::make_shared<teste::TPortao>();
    {
        TJanelaTeste j;
        j.DefinirGravador(teste::GravadorFalso(gravacoes));
        // The generator starts only as the window goes away.
        j.DefinirGerador(teste::GeradorComPortao(portao));
        j.AoDestruir = [portao] { portao->Abrir(); };
        j.FicheiroEscolhido = pasta.filePath("livro.pdf");
        Escolher(j, 0, 0, "100");
        Botao(j, "BitBtnGerar")->click();
        QVERIFY(j.Ocupado());
    }
    // The worker was stopped and waited for; what it posted back is never delivered.
    QCoreApplication::processEvents();
    QCOMPARE(gravacoes->Chamadas, 0);
    QVERIFY(!QFileInfo::exists(pasta.filePath("livro.pdf")));
}

// Uses the real PDF writer: one 8 × 8 puzzle makes a book of 14 pages.
void TesteJanela::LivroComOGravadorVerdadeiro() {
    QTemporaryDir pasta;
    TJanelaTeste j;
    j.FicheiroEscolhido = pasta.filePath("verdadeiro.pdf");
    Escolher(j, 0, 0, "1");
    Botao(j, "BitBtnGerar")->click();
    EsperarFim(j);
    QVERIFY2(j.Erros.isEmpty(), qPrintable(j.Erros.join('\n')));
    QVERIFY2(Estado(j).startsWith("Livro gerado: 1 puzzle, 14 páginas. Código do livro: "),
             qPrintable(Estado(j)));
    QFile pdf(j.FicheiroEscolhido);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
    QCOMPARE(QDir(pasta.path()).entryList(QDir::Files), QStringList{"verdadeiro.pdf"});
}

void TesteJanela::EstiloEIcone() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QVERIFY(app);
    QVERIFY(AplicarEstiloSky(*app));
    QVERIFY(app->styleSheet().contains("QPushButton"));
    QVERIFY(!IconeTavrelo().isNull());
    TJanelaTeste j;
    QVERIFY(!j.windowIcon().isNull());
    app->setStyleSheet(QString());
}

QTEST_MAIN(TesteJanela)
#include "test_janela.moc"
