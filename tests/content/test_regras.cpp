#include "content/pictogramas.h"
#include "content/regras.h"
#include "generation/niveis.h"

#include "drawing/canvas_gravador.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

using namespace tavrelo;
using teste::TCanvasGravador;
using teste::TChamada;

// Every run of digits in a text, in order: shows which number went into which slot.
std::vector<int32_t> Numeros(const std::string& ATexto) {
    std::vector<int32_t> r;
    std::string atual;
    for (const char c : ATexto + " ") {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            atual += c;
        } else if (!atual.empty()) {
            r.push_back(std::stoi(atual));
            atual.clear();
        }
    }
    return r;
}

// The numbers of each order as the book's texts use them.
struct TOrdem {
    int32_t N, M, C, C2, MeioC, MeioN, N2, MMenos2N, DoisN, CMenos2N;
};

const std::vector<TOrdem> Ordens = {
    {7, 175, 50, 100, 25, 3, 49, 161, 14, 36},
    {8, 260, 65, 130, 32, 4, 64, 244, 16, 49},
    {11, 671, 122, 244, 61, 5, 121, 649, 22, 100},
    {12, 870, 145, 290, 72, 6, 144, 846, 24, 121},
    {13, 1105, 170, 340, 85, 6, 169, 1079, 26, 144},
    {16, 2056, 257, 514, 128, 8, 256, 2024, 32, 225},
};

bool Igual(const TChamada& a, const TChamada& b) {
    return a.Op == b.Op && a.Num == b.Num && a.Pontos == b.Pontos && a.Texto == b.Texto &&
           a.Negrito == b.Negrito && a.Alinhamento == b.Alinhamento;
}

// The calls just before position AFim must be ARef's, in order.
void EsperarAntes(const std::vector<TChamada>& AChamadas, size_t AFim,
                  const std::vector<TChamada>& ARef, const std::string& AOnde) {
    ASSERT_GE(AFim, ARef.size()) << AOnde;
    for (size_t i = 0; i < ARef.size(); ++i)
        EXPECT_TRUE(Igual(AChamadas[AFim - ARef.size() + i], ARef[i])) << AOnde << " call " << i;
}

size_t IndiceDoTexto(const std::vector<TChamada>& AChamadas, const std::string& ATexto) {
    for (size_t i = 0; i < AChamadas.size(); ++i)
        if (AChamadas[i].Op == "Texto" && AChamadas[i].Texto == ATexto)
            return i;
    ADD_FAILURE() << "not drawn: " << ATexto;
    return AChamadas.size();
}

void EsperarTexto(const TChamada& t, const std::string& ATexto, double X, double Y, double ATam,
                  bool ANegrito) {
    EXPECT_EQ(t.Op, "Texto");
    EXPECT_EQ(t.Texto, ATexto);
    EXPECT_DOUBLE_EQ(t.Num[0], X) << ATexto;
    EXPECT_NEAR(t.Num[1], Y, 1e-9) << ATexto;
    EXPECT_EQ(t.Num[2], ATam) << ATexto;
    EXPECT_EQ(t.Num[3], 0) << ATexto;
    EXPECT_EQ(t.Negrito, ANegrito) << ATexto;
    EXPECT_EQ(t.Alinhamento, TAlinhamento::alEsquerda) << ATexto;
}

// One millimetre per character at 12 pt, proportional to the size.
TCanvasGravador GravadorDeUmMm() {
    TCanvasGravador c;
    c.Largura = [](const std::string& t, double s, bool) {
        return double(teste::CodePoints(t)) * s / 12;
    };
    return c;
}

TEST(TextosDasRegras, LeisDeOrdemParECasasOpostas) {
    // Each law says how the hints name it: the main diagonals by their ends, a broken diagonal
    // by its cells in the first and the last row, a block by two corners, across the edges
    // too, a two-cell law by the other cell.
    EXPECT_EQ(TextoDaLei(TLeiTavrelo::llSoma, 8),
              "A soma de cada linha, de cada coluna e de cada uma das duas diagonais principais é "
              "M\u00A0=\u00A0260. A diagonal principal vai de L1C1 a L8C8; a secundária, de L1C8 "
              "a L8C1.");
    EXPECT_EQ(TextoDaLei(TLeiTavrelo::llQuebrada, 8),
              "Todas as diagonais somam M\u00A0=\u00A0260, também as que saem por um lado e "
              "continuam pelo outro: uma diagonal que sai por baixo volta a entrar por cima, uma "
              "coluna ao lado. Nas dicas, cada uma diz-se pelas suas casas na primeira e na "
              "última linha: diagonal quebrada de L1C3 a L8C2.");
    EXPECT_EQ(TextoDaLei(TLeiTavrelo::llBloco, 8),
              "Quatro casas que formam um quadrado de 2\u00A0×\u00A02, em qualquer parte da grelha "
              "(também a cavalo nas bordas, que se ligam), somam 2C\u00A0=\u00A0130. Nas dicas, "
              "cada bloco diz-se pela casa de cima à esquerda e pela de baixo à direita: o bloco "
              "2\u00A0×\u00A02 de L8C7 a L1C8 junta as linhas 8 e 1.");
    // The half diagonal said plainly: the partner four rows down and four columns across,
    // round the edges, the same by either diagonal.
    EXPECT_EQ(TextoDaLei(TLeiTavrelo::llMeia, 8),
              "Cada casa soma C\u00A0=\u00A065 com a casa 4 linhas abaixo e 4 colunas ao lado, "
              "dando a volta pelas bordas: estão a meia diagonal uma da outra. Por exemplo, L1C1 "
              "e L5C5, ou L7C2 e L3C6. Como 4 é metade de 8, as duas diagonais que partem de uma "
              "casa levam à mesma casa. Nas dicas, a lei diz-se pela outra casa: meia diagonal, "
              "com L5C5.");
    EXPECT_EQ(TextoDaLei(TLeiTavrelo::llPar, 7),
              "Duas casas opostas em relação ao centro da grelha somam C\u00A0=\u00A050: por "
              "exemplo, a de L1C1 e a de L7C7. A casa do centro vale sempre metade de C, 25, e "
              "nunca traz pista. Nas dicas, a lei diz-se pela outra casa: casas opostas, com "
              "L7C7.");
}

// What each level asks agrees with the engine's own rule for it.
TEST(TextosDasRegras, OQueCadaNivelPede) {
    const std::vector<std::string> esperados = {
        "",
        "muitos números dados; não pede a lista",
        "menos números dados; não pede a lista",
        "poucos números dados; não pede a lista",
        "pede a lista de números",
        "pede a lista; poucos números dados",
        "",
    };
    for (int32_t nivel = 0; nivel <= 6; ++nivel) {
        const std::string texto = ExigenciaDoNivel(nivel);
        EXPECT_EQ(texto, esperados[size_t(nivel)]) << nivel;
        if (!texto.empty()) {
            EXPECT_EQ(texto.find("não pede") == std::string::npos, NivelComLista(nivel)) << nivel;
        }
    }
}

TEST(TextosDasRegras, UmaSoCasaVaziaEConselhos) {
    const auto t7 = TecnicasDoTamanho(7, false);
    ASSERT_EQ(t7.size(), 1u);
    EXPECT_EQ(t7[0].Titulo, "Uma só casa vazia");
    EXPECT_EQ(
        t7[0].Texto,
        "Se numa linha, coluna ou diagonal falta só uma casa, o seu valor é o que falta para "
        "a soma. Com M\u00A0=\u00A0175, se as outras 6 casas de uma linha somam 161, a casa vazia "
        "é 14. "
        "O mesmo vale para duas casas opostas em relação ao centro, que somam C\u00A0=\u00A050: se "
        "falta uma, sai da outra. Por exemplo, o oposto de 14 é 36. E o centro da grelha "
        "vale sempre 25, a metade de C.");
    EXPECT_EQ(TecnicasDoTamanho(8, false)[0].Texto,
              "Se numa linha, coluna ou diagonal falta só uma casa, o seu valor é o que falta para "
              "a soma. Com M\u00A0=\u00A0260, se as outras 7 casas de uma linha somam 244, a casa "
              "vazia é 16. "
              "O mesmo vale para um bloco 2\u00A0×\u00A02 e para a meia diagonal, que têm só "
              "quatro e duas "
              "casas: se falta uma, sai de 2C\u00A0=\u00A0130 ou de C\u00A0=\u00A065. Por exemplo, "
              "o complementar de 16 é "
              "49.");
    EXPECT_EQ(Numeros(TecnicasDoTamanho(16, false)[0].Texto),
              (std::vector<int32_t>{2056, 15, 2024, 32, 2, 2, 2, 514, 257, 32, 225}));

    const auto lista = TecnicasDoTamanho(12, true);
    ASSERT_EQ(lista.size(), 2u);
    EXPECT_EQ(lista[1].Titulo, "A lista de números");
    EXPECT_EQ(lista[1].Texto,
              "Quando faltam duas casas numa lei, vê na caixa que pares de números somam o que "
              "falta. Exemplo: a caixa tem 4, 9, 12, 17 e 20. Numa linha faltam duas casas que "
              "somam 21: servem 4 e 17, ou 9 e 12. Na coluna de uma delas falta outra casa, e as "
              "duas somam 24: só servem 4 e 20. A casa comum é 4; logo a da linha é 17 e a da "
              "coluna é 20.");
    EXPECT_EQ(TecnicasDoTamanho(7, true)[1], lista[1]);

    const std::vector<std::string> comuns = {
        "Risca na caixa cada número que colocas. Quando uma lei deixa duas casas, a caixa diz que "
        "números são possíveis.",
        "Confere: depois de preencher uma linha, soma-a. Se não der M, há um engano algures."};
    EXPECT_EQ(ConselhosDoTamanho(13),
              (std::vector<std::string>{
                  "Procura primeiro as leis a que falta uma só casa: o centro, que vale 85, e os "
                  "pares de casas opostas fecham-se depressa. Cada número que escreves pode dar o "
                  "seguinte.",
                  comuns[0], comuns[1]}));
    EXPECT_EQ(ConselhosDoTamanho(12),
              (std::vector<std::string>{
                  "Procura primeiro as leis a que falta uma só casa: os blocos 2\u00A0×\u00A02 e "
                  "as meias "
                  "diagonais têm poucas casas e fecham-se depressa. Cada número que escreves pode "
                  "dar o seguinte.",
                  comuns[0], comuns[1]}));
}

TEST(TextosDasRegras, ComoSeJoga) {
    EXPECT_EQ(
        ParagrafosComoSeJoga(11),
        (std::vector<std::string>{
            "Cada puzzle é uma grelha de 11\u00A0×\u00A011 casas. Preenche as casas vazias com os "
            "números de 1 a 121, de modo que cada número apareça uma só vez em toda a grelha. "
            "Cada puzzle tem uma só solução e resolve-se sem adivinhar: há sempre uma casa "
            "que se pode preencher com certeza.",
            "Os números que ainda não estão na grelha vêm na caixa «Números a colocar», ao "
            "lado ou por baixo. Vai riscando os que colocas: o que sobra na caixa é o que "
            "falta. As casas dizem-se assim: L3C5 é a linha 3, coluna 5.",
            "As leis do livro desenham-se na faixa por cima da grelha: dizem que certas "
            "casas somam sempre o mesmo valor. Como os números são de 1 a 121, esse valor é "
            "sempre o mesmo nesta grelha: M\u00A0=\u00A0671 (a soma de uma linha) e "
            "C\u00A0=\u00A0122 (a soma de "
            "dois números complementares). Escrevem-se à direita da faixa."}));
}

// Each number lands in its own slot, for every order of the program.
TEST(TextosDasRegras, NumerosDeCadaOrdem) {
    for (const auto& o : Ordens) {
        SCOPED_TRACE(o.N);
        const bool impar = o.N % 2 == 1;
        const int32_t h = o.MeioN;
        const int32_t N = o.N;
        EXPECT_EQ(Numeros(TextoDaLei(TLeiTavrelo::llSoma, N)),
                  (std::vector<int32_t>{o.M, 1, 1, N, N, 1, N, N, 1}));
        EXPECT_EQ(Numeros(TextoDaLei(TLeiTavrelo::llQuebrada, N)),
                  (std::vector<int32_t>{o.M, 1, 3, N, 2}));
        EXPECT_EQ(Numeros(TextoDaLei(TLeiTavrelo::llBloco, N)),
                  (std::vector<int32_t>{2, 2, 2, o.C2, 2, 2, N, N - 1, 1, N, N, 1}));
        // The second pair of the example, from row N − 1 and column 2, runs round the edges.
        EXPECT_EQ(Numeros(TextoDaLei(TLeiTavrelo::llMeia, N)),
                  (std::vector<int32_t>{o.C, h, h, 1, 1, h + 1, h + 1, N - 1, 2, h - 1, h + 2, h, N,
                                        h + 1, h + 1}));
        EXPECT_EQ(Numeros(TextoDaLei(TLeiTavrelo::llPar, N)),
                  (std::vector<int32_t>{o.C, 1, 1, N, N, o.MeioC, N, N}));
        const auto jogo = ParagrafosComoSeJoga(o.N);
        ASSERT_EQ(jogo.size(), 3u);
        EXPECT_EQ(Numeros(jogo[0]), (std::vector<int32_t>{o.N, o.N, 1, o.N2}));
        EXPECT_EQ(Numeros(jogo[1]), (std::vector<int32_t>{3, 5, 3, 5}));
        EXPECT_EQ(Numeros(jogo[2]), (std::vector<int32_t>{1, o.N2, o.M, o.C}));
        const auto tecnicas = TecnicasDoTamanho(o.N, false);
        ASSERT_EQ(tecnicas.size(), 1u);
        const std::vector<int32_t> umaSo =
            impar ? std::vector<int32_t>{o.M, o.N - 1, o.MMenos2N, o.DoisN,
                                         o.C, o.DoisN, o.CMenos2N, o.MeioC}
                  : std::vector<int32_t>{o.M, o.N - 1, o.MMenos2N, o.DoisN, 2,         2,
                                         2,   o.C2,    o.C,        o.DoisN, o.CMenos2N};
        EXPECT_EQ(Numeros(tecnicas[0].Texto), umaSo);
        const auto conselhos = ConselhosDoTamanho(o.N);
        ASSERT_EQ(conselhos.size(), 3u);
        const std::vector<int32_t> primeiro =
            impar ? std::vector<int32_t>{o.MeioC} : std::vector<int32_t>{2, 2};
        EXPECT_EQ(Numeros(conselhos[0]), primeiro);
    }
}

TEST(LeisDoTamanho, LeisPictogramasENomes) {
    using L = TLeiTavrelo;
    using P = TPictograma;
    struct TCaso {
        int32_t N;
        std::vector<L> Leis;
        std::vector<P> Pictogramas;
        std::vector<std::string> Nomes;
    };
    const std::vector<TCaso> casos = {
        {8,
         {L::llSoma, L::llQuebrada, L::llBloco, L::llMeia},
         {P::pcSoma, P::pcQuebrada, P::pcBloco, P::pcMeia},
         {"Somas", "Diagonais quebradas", "Blocos 2 × 2", "Meia diagonal"}},
        {7,
         {L::llSoma, L::llQuebrada, L::llPar},
         {P::pcSomaImpar, P::pcQuebrada, P::pcPar},
         {"Somas", "Diagonais quebradas", "Casas opostas"}},
        {13, {L::llSoma, L::llQuebrada, L::llPar}, {P::pcSomaImpar, P::pcQuebrada, P::pcPar}, {}},
        {16,
         {L::llSoma, L::llQuebrada, L::llBloco, L::llMeia},
         {P::pcSoma, P::pcQuebrada, P::pcBloco, P::pcMeia},
         {}},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.N);
        const auto leis = LeisDoTamanho(caso.N);
        EXPECT_EQ(leis, caso.Leis);
        std::vector<P> pictogramas;
        std::vector<std::string> nomes;
        for (const auto lei : leis) {
            pictogramas.push_back(PictogramaDaLei(lei, caso.N));
            nomes.push_back(NomeDaLei(lei));
        }
        EXPECT_EQ(pictogramas, caso.Pictogramas);
        if (!caso.Nomes.empty()) {
            EXPECT_EQ(nomes, caso.Nomes);
        }
    }
}

TEST(NiveisDoPlano, GuardaOsNiveisDe0A7QueAparecem) {
    const auto n = NiveisDoPlano({1, 1, 2, 5});
    EXPECT_EQ(n.Bits, 0b100110);
    EXPECT_EQ(NiveisDoPlano({}).Bits, 0);
    EXPECT_EQ(NiveisDoPlano({-1, 8, 100, 0, 7}).Bits, 0b10000001);
    EXPECT_TRUE(NiveisDoPlano({3}).Contem(3));
    EXPECT_FALSE(NiveisDoPlano({3}).Contem(4));
}

TEST(PaginaRegras, TitulosParagrafosEBlocosDasLeis) {
    TCanvasGravador c;
    c.Largura = [](const std::string& t, double s, bool) {
        return double(teste::CodePoints(t)) * s / 24;
    };
    PaginaRegras(c, 8);
    const auto& ch = c.Chamadas;
    const size_t iRegras = IndiceDoTexto(ch, "Regras");
    ASSERT_EQ(iRegras, 0u);
    EsperarTexto(ch[0], "Regras", 18, 18, 20, true);
    EsperarTexto(ch[1], "Como se joga", 18, 31, 14, true);

    // The three paragraphs, 3 mm apart, from 39.5.
    size_t i = 2;
    double y = 39.5;
    for (const auto& p : ParagrafosComoSeJoga(8)) {
        for (const auto& linha : LinhasDoParagrafo(c, p, 174, 12)) {
            EsperarTexto(ch.at(i++), linha, 18, y, 12, false);
            y += 6.15;
        }
        y += 3;
    }
    y += 3;
    EsperarTexto(ch.at(i), "As leis deste livro", 18, y, 14, true);
    y += 8.5;

    // With half a millimetre per character the laws of 8 wrap to 1, 1, 1 and 2 lines, so the
    // blocks are 14 (never below the pictogram), 14, 14 and 19.3 mm high, 5 mm apart.
    const std::vector<size_t> numLinhas = {1, 1, 1, 2};
    const std::vector<double> alturas = {14, 14, 14, 19.3};
    const auto leis = LeisDoTamanho(8);
    for (size_t k = 0; k < leis.size(); ++k) {
        SCOPED_TRACE(NomeDaLei(leis[k]));
        const size_t iNome = IndiceDoTexto(ch, NomeDaLei(leis[k]));
        ASSERT_LT(iNome + numLinhas[k], ch.size());
        EsperarTexto(ch[iNome], NomeDaLei(leis[k]), 38, y, 13, true);
        const auto linhas = LinhasDoParagrafo(c, TextoDaLei(leis[k], 8), 154, 12);
        ASSERT_EQ(linhas.size(), numLinhas[k]);
        for (size_t j = 0; j < linhas.size(); ++j)
            EsperarTexto(ch[iNome + 1 + j], linhas[j], 38, y + 7 + 6.15 * double(j), 12, false);
        // The pictogram is drawn at the block's top-left, just before the heading.
        TCanvasGravador ref;
        DesenharPictograma(ref, PictogramaDaLei(leis[k], 8), 18, y);
        EsperarAntes(ch, iNome, ref.Chamadas, NomeDaLei(leis[k]));
        y += alturas[k] + 5;
    }
}

TEST(PaginaRegras, OrdemImparTemTresBlocos) {
    TCanvasGravador c;
    PaginaRegras(c, 7);
    const auto textos = c.Textos();
    for (const char* nome : {"Somas", "Diagonais quebradas", "Casas opostas"})
        EXPECT_NE(std::find(textos.begin(), textos.end(), nome), textos.end()) << nome;
    for (const char* nome : {"Blocos 2 × 2", "Meia diagonal"})
        EXPECT_EQ(std::find(textos.begin(), textos.end(), nome), textos.end()) << nome;
}

struct TCasoResolve {
    std::vector<int32_t> Plano;
    std::vector<std::string> Tecnicas;
    std::vector<int32_t> NiveisListados;
};

TEST(PaginaComoSeResolve, TecnicasNiveisEConselhos) {
    const std::vector<TCasoResolve> casos = {
        {{1, 2, 3, 3}, {"Uma só casa vazia"}, {1, 2, 3}},
        {{2, 2, 2}, {"Uma só casa vazia"}, {2}},
        {{1, 1, 2, 5}, {"Uma só casa vazia", "A lista de números"}, {1, 2, 5}},
        {{4}, {"Uma só casa vazia", "A lista de números"}, {4}},
        // Levels outside 1..5 are never listed and never ask for the list.
        {{0, 3, 6, 7}, {"Uma só casa vazia"}, {3}},
    };
    for (const int32_t N : {7, 8}) {
        for (const auto& caso : casos) {
            SCOPED_TRACE(::testing::Message() << "N " << N << ", levels " << caso.Plano.size());
            auto c = GravadorDeUmMm();
            const double fim = PaginaComoSeResolve(c, N, NiveisDoPlano(caso.Plano), false);
            const auto& ch = c.Chamadas;
            EsperarTexto(ch[0], "Como se resolve", 18, 18, 20, true);
            size_t i = 1;
            double y = 29;
            const auto tecnicas = TecnicasDoTamanho(N, caso.Tecnicas.size() == 2);
            ASSERT_EQ(tecnicas.size(), caso.Tecnicas.size());
            for (size_t k = 0; k < tecnicas.size(); ++k) {
                EsperarTexto(ch.at(i++), caso.Tecnicas[k], 18, y, 13, true);
                y += 7.5;
                for (const auto& linha : LinhasDoParagrafo(c, tecnicas[k].Texto, 174, 12)) {
                    EsperarTexto(ch.at(i++), linha, 18, y, 12, false);
                    y += 6.15;
                }
                y += 4;
            }
            y += 2;
            EsperarTexto(ch.at(i++), "Os níveis deste livro", 18, y, 14, true);
            y += 8.5;
            for (const int32_t nivel : caso.NiveisListados) {
                TCanvasGravador ref;
                DesenharEstrelas(ref, 51, y - 0.4, nivel);
                for (const auto& r : ref.Chamadas)
                    EXPECT_TRUE(Igual(ch.at(i++), r)) << "stars of level " << nivel;
                EsperarTexto(ch.at(i++),
                             "Nível de dificuldade " + std::to_string(nivel) + " – " +
                                 ExigenciaDoNivel(nivel),
                             58, y, 12, false);
                y += 6.15;
            }
            y += 4;
            EsperarTexto(ch.at(i++), "Três conselhos", 18, y, 14, true);
            y += 8.5;
            const auto conselhos = ConselhosDoTamanho(N);
            for (size_t k = 0; k < conselhos.size(); ++k) {
                EsperarTexto(ch.at(i++), std::to_string(k + 1) + ".", 18, y, 12, true);
                for (const auto& linha : LinhasDoParagrafo(c, conselhos[k], 167, 12)) {
                    EsperarTexto(ch.at(i++), linha, 25, y, 12, false);
                    y += 6.15;
                }
                y += 2;
            }
            EXPECT_EQ(i, ch.size());
            EXPECT_NEAR(fim, y, 1e-9);
        }
    }
}

TEST(PaginaComoSeResolve, GuiaDasDicas) {
    // With hints, the guide follows the tips 3 mm lower: each form at the column's edge in
    // the hints' style, what it means 4 mm right of the widest, dark grey, a row every 4.5 mm.
    for (const int32_t N : {7, 8, 16}) {
        SCOPED_TRACE(N);
        auto sem = GravadorDeUmMm();
        const double fimSem = PaginaComoSeResolve(sem, N, NiveisDoPlano({1, 5}), false);
        auto com = GravadorDeUmMm();
        const double fim = PaginaComoSeResolve(com, N, NiveisDoPlano({1, 5}), true);
        const auto& ch = com.Chamadas;
        ASSERT_GT(ch.size(), sem.Chamadas.size());
        for (size_t i = 0; i < sem.Chamadas.size(); ++i) {
            EXPECT_TRUE(Igual(ch[i], sem.Chamadas[i])) << "call " << i;
        }
        size_t i = sem.Chamadas.size();
        double y = fimSem + 3;
        EsperarTexto(ch.at(i++), "As dicas das soluções", 18, y, 14, true);
        y += 8.5;
        const auto formas = FormasDasDicas(N);
        double largura = 0;
        for (const auto& f : formas) {
            largura = std::max(largura, com.LarguraTexto(f.Forma, 9.5, false));
        }
        for (const auto& f : formas) {
            EsperarTexto(ch.at(i++), f.Forma, 18, y, 9.5, false);
            for (const auto& linha : QuebrarLinhas(com, f.Sentido, 174 - largura - 4, 9.5)) {
                const TChamada& t = ch.at(i++);
                EXPECT_EQ(t.Texto, linha);
                EXPECT_EQ(t.Num, (std::vector<double>{18 + largura + 4, y, 9.5, 77}));
                y += 4.5;
            }
        }
        EXPECT_EQ(i, ch.size());
        EXPECT_NEAR(fim, y, 1e-9);
    }
}

// The guide shows every form a hint takes, with the order's own sums, and the mark.
TEST(TextosDasRegras, FormasDasDicas) {
    for (const auto& o : Ordens) {
        SCOPED_TRACE(o.N);
        const auto formas = FormasDasDicas(o.N);
        std::vector<std::string> exemplos;
        for (const auto& f : formas) {
            exemplos.push_back(f.Forma);
            EXPECT_FALSE(f.Sentido.empty());
        }
        std::vector<std::string> esperados = {"L3C5 = " + std::to_string(o.M) + " − " +
                                              std::to_string(o.M - 45) + " = 45 (linha 3)"};
        if (o.N % 2 == 1) {
            const std::string centro = std::to_string(o.N / 2 + 1);
            esperados.push_back("L" + centro + "C" + centro + " = " + std::to_string(o.C) +
                                " / 2 = " + std::to_string(o.MeioC) + " (o centro)");
        }
        for (const char* e :
             {"L5C6 só pode ser 12, 20 ou 31 (lista: …)", "L1C3 = 46 (lista: …)",
              "L1C3 + L1C5 = 70 na linha 1", "L1C2 = 18 (número-chave)", "\u25BA 9."}) {
            esperados.push_back(e);
        }
        EXPECT_EQ(exemplos, esperados);
    }
}

} // namespace
