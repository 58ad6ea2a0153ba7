#include "composition/editorial.h"

#include "content/diagramas.h"
#include "content/regras.h"
#include "core/tipos.h"
#include "drawing/pagina.h"

#include <map>
#include <vector>

namespace tavrelo {

namespace {

const char* const Autor = "Brovanel";
const char* const Produto = "TAVRELO";
const char* const SegundaLinhaVerso = "Puzzles de quadrados mágicos · Brovanel";
const char* const Licenca =
    "Esta obra está licenciada com uma Licença Creative Commons "
    "Atribuição-NãoComercial-SemDerivações 4.0 Internacional (CC BY-NC-ND 4.0). Pode copiá-la e "
    "partilhá-la, sem fins comerciais e sem alterações, desde que indique o autor.";
const char* const Selo = "SELO_CC_BY_NC_ND";

// The book's title on the cover: its sizes, the top of a single line and the distance from
// one broken line to the next.
constexpr double TITULO_MAIOR = 34;
constexpr double TITULO_MENOR = 16;
constexpr double TOPO_DO_TITULO = 150;
constexpr double ENTRELINHA_DO_TITULO = 7.5;

std::string Maiusculas(std::string ATexto) {
    for (char& c : ATexto)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return ATexto;
}

// The largest size from AMaior down in steps of APasso whose bold width fits the column;
// the smallest is taken without measuring.
double TamanhoQueCabe(IVeltCanvas& Canvas, const std::string& ATexto, double AMaior, double AMenor,
                      double APasso) {
    double s = AMaior;
    while (s > AMenor && Canvas.LarguraTexto(ATexto, s, true) > LARGURA_COLUNA)
        s -= APasso;
    return s;
}

void SimboloDaPagina(IVeltCanvas& Canvas, int32_t n, double g, const std::vector<int32_t>& ANumeros,
                     const std::vector<int32_t>& ADestaque) {
    constexpr double X0 = 75.5;
    constexpr double Y0 = 119;
    constexpr double Lado = 59;
    const double h = Canvas.AlturaTexto(20);
    for (const int32_t c : ADestaque)
        Canvas.Rectangulo(X0 + (c % n) * g, Y0 + (c / n) * g, g, g, 0, -1, 235);
    for (int32_t i = 1; i < n; ++i) {
        Canvas.Linha(X0, Y0 + i * g, X0 + Lado, Y0 + i * g, 0.5, 0);
        Canvas.Linha(X0 + i * g, Y0, X0 + i * g, Y0 + Lado, 0.5, 0);
    }
    Canvas.Rectangulo(X0, Y0, Lado, Lado, 1.0, 0, -1);
    for (int32_t linha = 0; linha < n; ++linha)
        for (int32_t coluna = 0; coluna < n; ++coluna)
            Canvas.Texto(X0 + coluna * g + g / 2, Y0 + linha * g + (g - h) / 2,
                         std::to_string(ANumeros.at(static_cast<size_t>(linha * n + coluna))), 20,
                         true, 0, TAlinhamento::alCentro);
}

// "50 puzzles"; a book of one puzzle says "1 puzzle", not "1 puzzles".
std::string TextoNumeroDePuzzles(int32_t APuzzles) {
    return APuzzles == 1 ? std::string("1 puzzle") : Formatar("%d puzzles", APuzzles);
}

} // namespace

TTituloDaCapa TituloDaCapa(IVeltCanvas& Canvas, const std::string& ATitulo) {
    TTituloDaCapa r;
    const std::string titulo = SemBrancos(ATitulo);
    if (titulo.empty())
        return r;
    std::map<std::string, double> medidas;
    const auto largura = [&](const std::string& ALinha) {
        const auto [it, nova] = medidas.try_emplace(ALinha, 0.0);
        if (nova)
            it->second = Canvas.LarguraTexto(ALinha, r.TamanhoPt, true);
        return it->second;
    };
    // A size above the smallest was measured and fits; the smallest is measured now, since a
    // title too wide for it is broken into lines.
    r.TamanhoPt = TamanhoQueCabe(Canvas, titulo, TITULO_MAIOR, TITULO_MENOR, 2);
    if (r.TamanhoPt > TITULO_MENOR || largura(titulo) <= LARGURA_COLUNA) {
        r.Linhas = {titulo};
        return r;
    }
    // Word by word, a line takes the next word while it stays within ALimite; the blanks
    // where a line breaks go, those between the words of a line stay as typed. Past the
    // third line the rest is left unbroken.
    const auto quebrar = [&](double ALimite) {
        std::vector<std::string> linhas;
        std::string linha;
        size_t i = 0;
        while (i < titulo.size()) {
            const size_t inicioDoIntervalo = i;
            while (i < titulo.size() && titulo[i] == ' ')
                ++i;
            const size_t inicioDaPalavra = i;
            while (i < titulo.size() && titulo[i] != ' ')
                ++i;
            const std::string palavra = titulo.substr(inicioDaPalavra, i - inicioDaPalavra);
            const std::string junta =
                linha.empty()
                    ? palavra
                    : linha +
                          titulo.substr(inicioDoIntervalo, inicioDaPalavra - inicioDoIntervalo) +
                          palavra;
            if (linha.empty() || largura(junta) <= ALimite) {
                linha = junta;
                continue;
            }
            linhas.push_back(linha);
            if (linhas.size() == LINHAS_MAX_DO_TITULO) {
                linhas.push_back(titulo.substr(inicioDaPalavra));
                return linhas;
            }
            linha = palavra;
        }
        linhas.push_back(linha);
        return linhas;
    };
    const auto cabem = [&](const std::vector<std::string>& ALinhas, double ALimite) {
        bool sim = ALinhas.size() <= LINHAS_MAX_DO_TITULO;
        for (const std::string& l : ALinhas)
            sim = sim && largura(l) <= ALimite;
        return sim;
    };
    r.Linhas = quebrar(LARGURA_COLUNA);
    r.Cabe = cabem(r.Linhas, LARGURA_COLUNA);
    if (!r.Cabe)
        return r;
    // Lines as even as they can be: the narrowest measure, to half a millimetre, that breaks
    // the title into as many lines, so no short word is left alone at the end.
    double estreita = 0;
    double larga = LARGURA_COLUNA;
    while (larga - estreita > 0.5) {
        const double meio = (estreita + larga) / 2;
        const std::vector<std::string> linhas = quebrar(meio);
        if (linhas.size() == r.Linhas.size() && cabem(linhas, meio))
            larga = meio;
        else
            estreita = meio;
    }
    r.Linhas = quebrar(larga);
    return r;
}

uint32_t CaracterSemLetraNoTitulo(IVeltCanvas& Canvas, const std::string& ATitulo) {
    size_t i = 0;
    while (i < ATitulo.size()) {
        uint32_t ponto = 0;
        const size_t n = SequenciaUtf8(ATitulo, i, ponto);
        if (n == 0) {
            ++i;
            continue;
        }
        if (!Canvas.TemCaracter(ponto, true))
            return ponto;
        i += n;
    }
    return 0;
}

void DesenharCapa(IVeltCanvas& Canvas, const TLivro& ALivro) {
    const auto centro = TAlinhamento::alCentro;
    Canvas.Texto(CENTRO_PAGINA, 42, Maiusculas(Autor), 24, true, 0, centro);
    Canvas.Texto(CENTRO_PAGINA, 92, Produto, TamanhoQueCabe(Canvas, Produto, 80, 24, 4), true, 0,
                 centro);
    const TTituloDaCapa titulo = TituloDaCapa(Canvas, ALivro.Config.Titulo);
    // Broken lines are centred as a block on the middle of a single line of their size.
    const double altura = Canvas.AlturaTexto(titulo.TamanhoPt);
    const double bloco =
        ENTRELINHA_DO_TITULO * (static_cast<double>(titulo.Linhas.size()) - 1) + altura;
    double y = titulo.Linhas.size() > 1 ? TOPO_DO_TITULO + (altura - bloco) / 2 : TOPO_DO_TITULO;
    for (const std::string& linha : titulo.Linhas) {
        Canvas.Texto(CENTRO_PAGINA, y, linha, titulo.TamanhoPt, true, 0, centro);
        y += ENTRELINHA_DO_TITULO;
    }
    Canvas.Texto(CENTRO_PAGINA, 202,
                 TextoNumeroDePuzzles(static_cast<int32_t>(ALivro.Puzzles.size())), 16, false, 0,
                 centro);
    Canvas.Texto(CENTRO_PAGINA, 212, TextoTamanho(ALivro.Config.N), 16, false, 0, centro);
}

void PaginaVerso(IVeltCanvas& Canvas, const std::string& ANome) {
    const auto esq = TAlinhamento::alEsquerda;
    Canvas.Texto(MARGEM_ESQUERDA, 205, ANome, 14, true, 0, esq);
    Canvas.Texto(MARGEM_ESQUERDA, 213, SegundaLinhaVerso, 12, false, 0, esq);
    double y = 225;
    for (const auto& linha : QuebrarLinhas(Canvas, Licenca, LARGURA_COLUNA, 12)) {
        Canvas.Texto(MARGEM_ESQUERDA, y, linha, 12, false, 0, esq);
        y += 6.15;
    }
    Canvas.Imagem(MARGEM_ESQUERDA, y + 4, 30, 10.546875, Selo);
}

void PaginaSeparador(IVeltCanvas& Canvas, int32_t AParte) {
    const double h = Canvas.AlturaTexto(36);
    Canvas.Texto(CENTRO_PAGINA, 148.5 - h / 2 - 4, AParte == 0 ? "Puzzles" : "Soluções", 36, true,
                 0, TAlinhamento::alCentro);
    Canvas.Linha(90, 162.5, 120, 162.5, 0.8, 0);
}

void PaginaSimboloPar(IVeltCanvas& Canvas) {
    SimboloDaPagina(Canvas, 4, 14.75, QuadradoDeExemplo4(), {5, 6, 9, 10});
}

void PaginaSimboloImpar(IVeltCanvas& Canvas) {
    SimboloDaPagina(Canvas, 5, 11.8, QuadradoDeExemplo5(), {1, 12, 23});
}

void DesenharFicha(IVeltCanvas& Canvas, const TLivro& ALivro, const TInfoLivro& AInfo,
                   int32_t ANumero) {
    Canvas.Texto(CENTRO_PAGINA, TOPO_TITULO, "Ficha técnica", 20, true, 0, TAlinhamento::alCentro);
    const int32_t nivel = ALivro.Config.Nivel;
    const std::pair<const char*, std::string> linhas[] = {
        {"Código do livro:", ALivro.Codigo},
        {"Data:", AInfo.Data},
        {"Versão:", AInfo.Versao},
        {"Puzzles:", std::to_string(ALivro.Puzzles.size())},
        {"Tamanho:", TextoTamanho(ALivro.Config.N)},
        {"Nível:", nivel != 0 ? std::to_string(nivel) : std::string("Progressiva")},
    };
    double y = 45;
    for (const auto& [rotulo, valor] : linhas) {
        Canvas.Texto(MARGEM_ESQUERDA, y, rotulo, 12, false, 0, TAlinhamento::alEsquerda);
        Canvas.Texto(66, y, valor, 12, true, 0, TAlinhamento::alEsquerda);
        y += 9;
    }
    DesenharRodape(Canvas, ANumero);
}

} // namespace tavrelo
