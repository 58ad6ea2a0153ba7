#include "composition/editorial.h"

#include "content/diagramas.h"
#include "content/paleta.h"
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

// The book's title on the cover: its smallest size (the largest is its style's), the top of a
// single line and the distance from one broken line to the next.
constexpr double TITULO_MENOR = 16;
constexpr double TOPO_DO_TITULO = 150;
constexpr double ENTRELINHA_DO_TITULO = 7.5;

std::string Maiusculas(std::string ATexto) {
    for (char& c : ATexto)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return ATexto;
}

// The largest size from AEstilo's own down in steps of APasso whose width fits the column;
// the smallest is taken without measuring.
double TamanhoQueCabe(IVeltCanvas& Canvas, const std::string& ATexto, const TEstiloTexto& AEstilo,
                      double AMenor, double APasso) {
    double s = AEstilo.TamanhoPt;
    while (s > AMenor && LarguraDe(Canvas, ATexto, ComTamanho(AEstilo, s)) > LARGURA_COLUNA)
        s -= APasso;
    return s;
}

void SimboloDaPagina(IVeltCanvas& Canvas, int32_t n, double g, const std::vector<int32_t>& ANumeros,
                     const std::vector<int32_t>& ADestaque) {
    constexpr double X0 = 75.5;
    constexpr double Y0 = 119;
    constexpr double Lado = 59;
    constexpr double TracoInterior = 0.5;
    constexpr double TracoDaMoldura = 1.0;
    const double h = AlturaDe(Canvas, ESTILO_NUMERO_DO_SIMBOLO);
    for (const int32_t c : ADestaque)
        Canvas.Rectangulo(X0 + (c % n) * g, Y0 + (c / n) * g, g, g, 0, SEM_COR, SOMBRA_CLARA);
    for (int32_t i = 1; i < n; ++i) {
        Canvas.Linha(X0, Y0 + i * g, X0 + Lado, Y0 + i * g, TracoInterior, PRETO);
        Canvas.Linha(X0 + i * g, Y0, X0 + i * g, Y0 + Lado, TracoInterior, PRETO);
    }
    Canvas.Rectangulo(X0, Y0, Lado, Lado, TracoDaMoldura, PRETO, SEM_COR);
    for (int32_t linha = 0; linha < n; ++linha)
        for (int32_t coluna = 0; coluna < n; ++coluna)
            Escrever(Canvas, X0 + coluna * g + g / 2, Y0 + linha * g + (g - h) / 2,
                     std::to_string(ANumeros.at(static_cast<size_t>(linha * n + coluna))),
                     ESTILO_NUMERO_DO_SIMBOLO);
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
            it->second = LarguraDe(Canvas, ALinha, ComTamanho(ESTILO_TITULO_NA_CAPA, r.TamanhoPt));
        return it->second;
    };
    // A size above the smallest was measured and fits; the smallest is measured now, since a
    // title too wide for it is broken into lines.
    r.TamanhoPt = TamanhoQueCabe(Canvas, titulo, ESTILO_TITULO_NA_CAPA, TITULO_MENOR, 2);
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
    Escrever(Canvas, CENTRO_PAGINA, 42, Maiusculas(Autor), ESTILO_AUTOR_NA_CAPA);
    Escrever(Canvas, CENTRO_PAGINA, 92, Produto,
             ComTamanho(ESTILO_NOME_NA_CAPA,
                        TamanhoQueCabe(Canvas, Produto, ESTILO_NOME_NA_CAPA, 24, 4)));
    const TTituloDaCapa titulo = TituloDaCapa(Canvas, ALivro.Config.Titulo);
    const TEstiloTexto estiloDoTitulo = ComTamanho(ESTILO_TITULO_NA_CAPA, titulo.TamanhoPt);
    // Broken lines are centred as a block on the middle of a single line of their size.
    const double altura = AlturaDe(Canvas, estiloDoTitulo);
    const double bloco =
        ENTRELINHA_DO_TITULO * (static_cast<double>(titulo.Linhas.size()) - 1) + altura;
    double y = titulo.Linhas.size() > 1 ? TOPO_DO_TITULO + (altura - bloco) / 2 : TOPO_DO_TITULO;
    for (const std::string& linha : titulo.Linhas) {
        Escrever(Canvas, CENTRO_PAGINA, y, linha, estiloDoTitulo);
        y += ENTRELINHA_DO_TITULO;
    }
    Escrever(Canvas, CENTRO_PAGINA, 202,
             TextoNumeroDePuzzles(static_cast<int32_t>(ALivro.Puzzles.size())), ESTILO_CAPA);
    Escrever(Canvas, CENTRO_PAGINA, 212, TextoTamanho(ALivro.Config.N), ESTILO_CAPA);
}

void PaginaVerso(IVeltCanvas& Canvas, const std::string& ANome) {
    Escrever(Canvas, MARGEM_ESQUERDA, 205, ANome, ESTILO_NOME_NO_VERSO);
    Escrever(Canvas, MARGEM_ESQUERDA, 213, SegundaLinhaVerso, ESTILO_PARAGRAFO);
    double y = 225;
    for (const auto& linha :
         LinhasDoParagrafo(Canvas, Licenca, LARGURA_COLUNA, ESTILO_PARAGRAFO.TamanhoPt)) {
        Escrever(Canvas, MARGEM_ESQUERDA, y, linha, ESTILO_PARAGRAFO);
        y += 6.15;
    }
    Canvas.Imagem(MARGEM_ESQUERDA, y + 4, 30, 10.546875, Selo);
}

void PaginaSeparador(IVeltCanvas& Canvas, int32_t AParte) {
    const double h = AlturaDe(Canvas, ESTILO_PARTE);
    Escrever(Canvas, CENTRO_PAGINA, 148.5 - h / 2 - 4, AParte == 0 ? "Puzzles" : "Soluções",
             ESTILO_PARTE);
    constexpr double TracoDoFio = 0.8;
    Canvas.Linha(90, 162.5, 120, 162.5, TracoDoFio, PRETO);
}

void PaginaSimboloPar(IVeltCanvas& Canvas) {
    SimboloDaPagina(Canvas, 4, 14.75, QuadradoDeExemplo4(), {5, 6, 9, 10});
}

void PaginaSimboloImpar(IVeltCanvas& Canvas) {
    SimboloDaPagina(Canvas, 5, 11.8, QuadradoDeExemplo5(), {1, 12, 23});
}

void DesenharFicha(IVeltCanvas& Canvas, const TLivro& ALivro, const TInfoLivro& AInfo,
                   int32_t ANumero) {
    Escrever(Canvas, CENTRO_PAGINA, TOPO_TITULO, "Ficha técnica", ESTILO_TITULO_DA_FICHA);
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
        Escrever(Canvas, MARGEM_ESQUERDA, y, rotulo, ESTILO_PARAGRAFO);
        Escrever(Canvas, 66, y, valor, ESTILO_PARAGRAFO_NEGRITO);
        y += 9;
    }
    DesenharRodape(Canvas, ANumero);
}

} // namespace tavrelo
