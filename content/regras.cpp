#include "content/regras.h"

#include "content/paleta.h"
#include "core/tipos.h"
#include "drawing/pagina.h"
#include "generation/niveis.h"

#include <algorithm>

namespace tavrelo {

namespace {

constexpr double PassoLinha = 6.15;           // every 12 pt paragraph of the book
constexpr double RecuoDaLei = 20;             // a law's text stands right of its 14 mm pictogram
constexpr double PassoDosNiveis = PassoLinha; // the stars are 4.8 mm high
// The guide to the hints: a line every PassoDoGuia (a little closer than the hints' 4.6, to
// leave the book's example room), and the meaning of each form this far right of the widest.
constexpr double PassoDoGuia = 4.5;
constexpr double EspacoEntreColunas = 4;

bool Impar(int32_t N) {
    return (N & 1) != 0;
}

} // namespace

std::vector<std::string> QuebrarLinhas(IVeltCanvas& Canvas, const std::string& Texto,
                                       double LarguraMax, double TamanhoPt) {
    std::vector<std::string> linhas;
    std::string atual;
    size_t inicio = 0;
    // Every blank separates, so two blanks in a row give an empty word that keeps the
    // doubled blank inside its line.
    for (;;) {
        const size_t fim = Texto.find(' ', inicio);
        const std::string palavra =
            Texto.substr(inicio, fim == std::string::npos ? std::string::npos : fim - inicio);
        const std::string candidata = atual.empty() ? palavra : atual + " " + palavra;
        if (!atual.empty() && Canvas.LarguraTexto(candidata, TamanhoPt, false) > LarguraMax) {
            linhas.push_back(atual);
            atual = palavra;
        } else {
            atual = candidata;
        }
        if (fim == std::string::npos)
            break;
        inicio = fim + 1;
    }
    if (!atual.empty())
        linhas.push_back(atual);
    return linhas;
}

std::vector<std::string> LinhasDoParagrafo(IVeltCanvas& Canvas, const std::string& Texto,
                                           double LarguraMax, double TamanhoPt) {
    std::vector<std::string> linhas = QuebrarLinhas(Canvas, Texto, LarguraMax, TamanhoPt);
    if (linhas.size() < 2 || linhas.back().find(' ') != std::string::npos)
        return linhas;
    std::string& acima = linhas[linhas.size() - 2];
    const size_t branco = acima.rfind(' ');
    if (branco == std::string::npos || branco == 0 || branco + 1 == acima.size())
        return linhas;
    const std::string juntas = acima.substr(branco + 1) + " " + linhas.back();
    if (Canvas.LarguraTexto(juntas, TamanhoPt, false) <= LarguraMax) {
        linhas.back() = juntas;
        acima.erase(branco);
    }
    return linhas;
}

double DesenharParagrafo(IVeltCanvas& Canvas, double Y, const std::string& Texto, double LarguraMax,
                         double X) {
    for (const auto& linha :
         LinhasDoParagrafo(Canvas, Texto, LarguraMax, ESTILO_PARAGRAFO.TamanhoPt)) {
        Escrever(Canvas, X, Y, linha, ESTILO_PARAGRAFO);
        Y += PassoLinha;
    }
    return Y;
}

std::string SemQuebra(const std::string& ATexto) {
    std::string r;
    for (const char c : ATexto) {
        if (c == ' ')
            r += ESPACO_FIXO;
        else
            r += c;
    }
    return r;
}

std::string Igualdade(const std::string& ANome, int32_t AValor) {
    return SemQuebra(ANome + " = " + std::to_string(AValor));
}

std::string Vezes(int32_t N) {
    return SemQuebra(std::to_string(N) + " × " + std::to_string(N));
}

TNiveis NiveisDoPlano(const std::vector<int32_t>& Plano) {
    TNiveis r;
    for (const int32_t nivel : Plano)
        if (nivel >= 0 && nivel <= 7)
            r.Bits = static_cast<uint8_t>(r.Bits | (1u << nivel));
    return r;
}

std::vector<TLeiTavrelo> LeisDoTamanho(int32_t N) {
    if (Impar(N))
        return {TLeiTavrelo::llSoma, TLeiTavrelo::llQuebrada, TLeiTavrelo::llPar};
    return {TLeiTavrelo::llSoma, TLeiTavrelo::llQuebrada, TLeiTavrelo::llBloco,
            TLeiTavrelo::llMeia};
}

TPictograma PictogramaDaLei(TLeiTavrelo Lei, int32_t N) {
    switch (Lei) {
    case TLeiTavrelo::llSoma:
        return Impar(N) ? TPictograma::pcSomaImpar : TPictograma::pcSoma;
    case TLeiTavrelo::llQuebrada:
        return TPictograma::pcQuebrada;
    case TLeiTavrelo::llBloco:
        return TPictograma::pcBloco;
    case TLeiTavrelo::llMeia:
        return TPictograma::pcMeia;
    case TLeiTavrelo::llPar:
        break;
    }
    return TPictograma::pcPar;
}

std::string NomeDaLei(TLeiTavrelo Lei) {
    switch (Lei) {
    case TLeiTavrelo::llSoma:
        return "Somas";
    case TLeiTavrelo::llQuebrada:
        return "Diagonais quebradas";
    case TLeiTavrelo::llBloco:
        return "Blocos 2 × 2";
    case TLeiTavrelo::llMeia:
        return "Meia diagonal";
    case TLeiTavrelo::llPar:
        break;
    }
    return "Casas opostas";
}

std::string TextoDaLei(TLeiTavrelo Lei, int32_t N) {
    const std::string m = Igualdade("M", SomaMagica(N));
    const std::string c = Igualdade("C", SomaComplementar(N));
    const int32_t h = N / 2;
    switch (Lei) {
    case TLeiTavrelo::llSoma:
        return Formatar("A soma de cada linha, de cada coluna e de cada uma das duas diagonais "
                        "principais é %s. A diagonal principal vai de L1C1 a L%dC%d; a "
                        "secundária, de L1C%d a L%dC1.",
                        m.c_str(), N, N, N, N);
    case TLeiTavrelo::llQuebrada:
        return Formatar("Todas as diagonais somam %s, também as que saem por um lado e "
                        "continuam pelo outro: uma diagonal que sai por baixo volta a entrar "
                        "por cima, uma coluna ao lado. Nas dicas, cada uma diz-se pelas suas "
                        "casas na primeira e na última linha: diagonal quebrada de L1C3 a L%dC2.",
                        m.c_str(), N);
    case TLeiTavrelo::llBloco:
        return Formatar("Quatro casas que formam um quadrado de %s, em qualquer parte da "
                        "grelha (também a cavalo nas bordas, que se ligam), somam %s. Nas "
                        "dicas, cada bloco diz-se pela casa de cima à esquerda e pela de baixo à "
                        "direita: o bloco %s de L%dC%d a L1C%d junta as linhas %d e 1.",
                        Vezes(2).c_str(), Igualdade("2C", 2 * SomaComplementar(N)).c_str(),
                        Vezes(2).c_str(), N, N - 1, N, N);
    case TLeiTavrelo::llMeia:
        // The example's second pair runs round the foot of the grid: from row N − 1, column 2.
        return Formatar(
            "Cada casa soma %s com a casa %d linhas abaixo e %d colunas ao lado, "
            "dando a volta pelas bordas: estão a meia diagonal uma da outra. Por "
            "exemplo, L1C1 e L%dC%d, ou L%dC2 e L%dC%d. Como %d é metade de %d, as "
            "duas diagonais que partem de uma casa levam à mesma casa. Nas dicas, a lei "
            "diz-se pela outra casa: meia diagonal, com L%dC%d.",
            c.c_str(), h, h, h + 1, h + 1, N - 1, h - 1, h + 2, h, N, h + 1, h + 1);
    case TLeiTavrelo::llPar:
        break;
    }
    return Formatar("Duas casas opostas em relação ao centro da grelha somam %s: por exemplo, "
                    "a de L1C1 e a de L%dC%d. A casa do centro vale sempre metade de C, %d, e "
                    "nunca traz pista. Nas dicas, a lei diz-se pela outra casa: casas opostas, "
                    "com L%dC%d.",
                    c.c_str(), N, N, SomaComplementar(N) / 2, N, N);
}

std::vector<std::string> ParagrafosComoSeJoga(int32_t N) {
    const int32_t n2 = N * N;
    return {
        Formatar("Cada puzzle é uma grelha de %s casas. Preenche as casas vazias com os "
                 "números de 1 a %d, de modo que cada número apareça uma só vez em toda a "
                 "grelha. Cada puzzle tem uma só solução e resolve-se sem adivinhar: há sempre "
                 "uma casa que se pode preencher com certeza.",
                 Vezes(N).c_str(), n2),
        "Os números que ainda não estão na grelha vêm na caixa «Números a colocar», ao lado ou "
        "por baixo. Vai riscando os que colocas: o que sobra na caixa é o que falta. As casas "
        "dizem-se assim: L3C5 é a linha 3, coluna 5.",
        Formatar("As leis do livro desenham-se na faixa por cima da grelha: dizem que certas "
                 "casas somam sempre o mesmo valor. Como os números são de 1 a %d, esse valor é "
                 "sempre o mesmo nesta grelha: %s (a soma de uma linha) e %s (a soma de "
                 "dois números complementares). Escrevem-se à direita da faixa.",
                 n2, Igualdade("M", SomaMagica(N)).c_str(),
                 Igualdade("C", SomaComplementar(N)).c_str()),
    };
}

std::vector<TTecnicaTexto> TecnicasDoTamanho(int32_t N, bool ComLista) {
    const int32_t m = SomaMagica(N);
    const int32_t c = SomaComplementar(N);
    // The worked example always leaves out the cell holding 2N.
    const int32_t falta = 2 * N;
    std::vector<TTecnicaTexto> r;
    if (Impar(N)) {
        r.push_back({"Uma só casa vazia",
                     Formatar("Se numa linha, coluna ou diagonal falta só uma casa, o seu valor "
                              "é o que falta para a soma. Com %s, se as outras %d casas de "
                              "uma linha somam %d, a casa vazia é %d. O mesmo vale para duas "
                              "casas opostas em relação ao centro, que somam %s: se falta "
                              "uma, sai da outra. Por exemplo, o oposto de %d é %d. E o centro "
                              "da grelha vale sempre %d, a metade de C.",
                              Igualdade("M", m).c_str(), N - 1, m - falta, falta,
                              Igualdade("C", c).c_str(), falta, c - falta, c / 2)});
    } else {
        r.push_back({"Uma só casa vazia",
                     Formatar("Se numa linha, coluna ou diagonal falta só uma casa, o seu valor "
                              "é o que falta para a soma. Com %s, se as outras %d casas de "
                              "uma linha somam %d, a casa vazia é %d. O mesmo vale para um "
                              "bloco %s e para a meia diagonal, que têm só quatro e duas "
                              "casas: se falta uma, sai de %s ou de %s. Por exemplo, o "
                              "complementar de %d é %d.",
                              Igualdade("M", m).c_str(), N - 1, m - falta, falta, Vezes(2).c_str(),
                              Igualdade("2C", 2 * c).c_str(), Igualdade("C", c).c_str(), falta,
                              c - falta)});
    }
    if (ComLista)
        r.push_back({"A lista de números",
                     "Quando faltam duas casas numa lei, vê na caixa que pares de números "
                     "somam o que falta. Exemplo: a caixa tem 4, 9, 12, 17 e 20. Numa linha "
                     "faltam duas casas que somam 21: servem 4 e 17, ou 9 e 12. Na coluna de "
                     "uma delas falta outra casa, e as duas somam 24: só servem 4 e 20. A casa "
                     "comum é 4; logo a da linha é 17 e a da coluna é 20."});
    return r;
}

std::vector<std::string> ConselhosDoTamanho(int32_t N) {
    std::string primeiro =
        Impar(N) ? Formatar("Procura primeiro as leis a que falta uma só casa: o centro, que "
                            "vale %d, e os pares de casas opostas fecham-se depressa. Cada "
                            "número que escreves pode dar o seguinte.",
                            SomaComplementar(N) / 2)
                 : Formatar("Procura primeiro as leis a que falta uma só casa: os blocos %s e "
                            "as meias diagonais têm poucas casas e fecham-se depressa. Cada "
                            "número que escreves pode dar o seguinte.",
                            Vezes(2).c_str());
    return {primeiro,
            "Risca na caixa cada número que colocas. Quando uma lei deixa duas casas, a caixa "
            "diz que números são possíveis.",
            "Confere: depois de preencher uma linha, soma-a. Se não der M, há um engano "
            "algures."};
}

std::string ExigenciaDoNivel(int32_t ANivel) {
    switch (ANivel) {
    case 1:
        return "muitos números dados; não pede a lista";
    case 2:
        return "menos números dados; não pede a lista";
    case 3:
        return "poucos números dados; não pede a lista";
    case 4:
        return "pede a lista de números";
    case 5:
        return "pede a lista; poucos números dados";
    default:
        break;
    }
    return "";
}

std::vector<TFormaDeDica> FormasDasDicas(int32_t N) {
    const int32_t m = SomaMagica(N);
    const int32_t c = SomaComplementar(N);
    std::vector<TFormaDeDica> r = {
        {Formatar("L3C5 = %d − %d = 45 (linha 3)", m, m - 45),
         "a lei entre parênteses, dita como na página 3, só tem esta casa vazia"},
    };
    if (Impar(N))
        r.push_back({Formatar("L%dC%d = %d / 2 = %d (o centro)", N / 2 + 1, N / 2 + 1, c, c / 2),
                     "o centro vale sempre metade de C"});
    const std::vector<TFormaDeDica> outras = {
        {"L5C6 só pode ser 12, 20 ou 31 (lista: …)",
         "a lista de números só deixa estes; a dica segue na linha de baixo"},
        {"L1C3 = 46 (lista: …)", "a lista só deixa um número: é o fim da dica"},
        {"L1C3 + L1C5 = 70 na linha 1",
         "uma soma da lista: a lei dita só tem estas duas casas vazias"},
        {"L1C2 = 18 (número-chave)", "um número da solução, dado onde a lista não cabe"},
        {std::string(MARCA_DA_DICA_CHAVE) + " 9.", "marca as dicas que «Uma só casa vazia» não dá"},
    };
    r.insert(r.end(), outras.begin(), outras.end());
    return r;
}

void PaginaRegras(IVeltCanvas& Canvas, int32_t N) {
    Escrever(Canvas, MARGEM_ESQUERDA, TOPO_TITULO, "Regras", ESTILO_TITULO_DA_PAGINA);
    Escrever(Canvas, MARGEM_ESQUERDA, 31, "Como se joga", ESTILO_SECCAO);
    double y = 39.5;
    for (const auto& paragrafo : ParagrafosComoSeJoga(N))
        y = DesenharParagrafo(Canvas, y, paragrafo, LARGURA_COLUNA, MARGEM_ESQUERDA) + 3;
    y += 3;
    Escrever(Canvas, MARGEM_ESQUERDA, y, "As leis deste livro", ESTILO_SECCAO);
    y += 8.5;
    for (const TLeiTavrelo lei : LeisDoTamanho(N)) {
        const auto linhas = LinhasDoParagrafo(
            Canvas, TextoDaLei(lei, N), LARGURA_COLUNA - RecuoDaLei, ESTILO_PARAGRAFO.TamanhoPt);
        // The block is never shorter than its pictogram.
        double altura = 7 + PassoLinha * static_cast<double>(linhas.size());
        if (altura < 14)
            altura = 14;
        DesenharPictograma(Canvas, PictogramaDaLei(lei, N), MARGEM_ESQUERDA, y);
        Escrever(Canvas, MARGEM_ESQUERDA + RecuoDaLei, y, NomeDaLei(lei), ESTILO_SUBTITULO);
        for (size_t k = 0; k < linhas.size(); ++k)
            Escrever(Canvas, MARGEM_ESQUERDA + RecuoDaLei,
                     y + 7 + PassoLinha * static_cast<double>(k), linhas[k], ESTILO_PARAGRAFO);
        y += altura + 5;
    }
}

namespace {

// The guide to the hints from Y: each form at the column's edge, in the hints' own style, and
// what it means beside it; returns the Y under it.
double DesenharGuiaDasDicas(IVeltCanvas& Canvas, int32_t N, double Y) {
    const std::vector<TFormaDeDica> formas = FormasDasDicas(N);
    double largura = 0;
    for (const TFormaDeDica& f : formas)
        largura = std::max(largura, Canvas.LarguraTexto(f.Forma, ESTILO_DICA.TamanhoPt, false));
    const double xSentido = MARGEM_ESQUERDA + largura + EspacoEntreColunas;
    for (const TFormaDeDica& f : formas) {
        Escrever(Canvas, MARGEM_ESQUERDA, Y, f.Forma, ESTILO_DICA);
        for (const auto& linha :
             QuebrarLinhas(Canvas, f.Sentido, MARGEM_DIREITA - xSentido, ESTILO_GUIA.TamanhoPt)) {
            Escrever(Canvas, xSentido, Y, linha, ESTILO_GUIA);
            Y += PassoDoGuia;
        }
    }
    return Y;
}

} // namespace

double PaginaComoSeResolve(IVeltCanvas& Canvas, int32_t N, TNiveis Niveis, bool AComDicas) {
    Escrever(Canvas, MARGEM_ESQUERDA, TOPO_TITULO, "Como se resolve", ESTILO_TITULO_DA_PAGINA);
    double y = 29;
    bool comLista = false;
    for (int32_t nivel = 0; nivel <= 7; ++nivel)
        comLista = comLista || (Niveis.Contem(nivel) && NivelComLista(nivel));
    for (const auto& tecnica : TecnicasDoTamanho(N, comLista)) {
        Escrever(Canvas, MARGEM_ESQUERDA, y, tecnica.Titulo, ESTILO_SUBTITULO);
        y += 7.5;
        y = DesenharParagrafo(Canvas, y, tecnica.Texto, LARGURA_COLUNA, MARGEM_ESQUERDA) + 4;
    }
    y += 2;
    Escrever(Canvas, MARGEM_ESQUERDA, y, "Os níveis deste livro", ESTILO_SECCAO);
    y += 8.5;
    for (int32_t nivel = 1; nivel <= 5; ++nivel) {
        if (!Niveis.Contem(nivel))
            continue;
        DesenharEstrelas(Canvas, 51, y - 0.4, nivel);
        Escrever(Canvas, 58, y,
                 Formatar("Nível de dificuldade %d – %s", nivel, ExigenciaDoNivel(nivel).c_str()),
                 ESTILO_PARAGRAFO);
        y += PassoDosNiveis;
    }
    y += 4;
    Escrever(Canvas, MARGEM_ESQUERDA, y, "Três conselhos", ESTILO_SECCAO);
    y += 8.5;
    const auto conselhos = ConselhosDoTamanho(N);
    for (size_t k = 0; k < conselhos.size(); ++k) {
        Escrever(Canvas, MARGEM_ESQUERDA, y, Formatar("%d.", static_cast<int32_t>(k + 1)),
                 ESTILO_PARAGRAFO_NEGRITO);
        y = DesenharParagrafo(Canvas, y, conselhos[k], 167, 25) + 2;
    }
    if (AComDicas) {
        y += 3;
        Escrever(Canvas, MARGEM_ESQUERDA, y, "As dicas das soluções", ESTILO_SECCAO);
        y = DesenharGuiaDasDicas(Canvas, N, y + 8.5);
    }
    return y;
}

} // namespace tavrelo
