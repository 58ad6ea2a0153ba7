#include "frontend/previsao.h"

#include "composition/paginas.h"
#include "frontend/textos.h"

#include <algorithm>

namespace tavrelo {

int32_t PuzzlesDaVista(const TConfigLivro& AConfig) {
    const int32_t primeiras = std::max(GeometriaPuzzles(AConfig.N).PorPagina,
                                       SolucoesPorPagina(AConfig.N, AConfig.Caminho));
    return std::min(primeiras, AConfig.NumPuzzles);
}

namespace {

// The book with its first puzzles made and empty places for the others, so that the pages
// are planned and numbered as in the whole book.
std::optional<TLivro> LivroDaVista(const TConfigLivro& AConfig,
                                   const std::function<bool()>& AParar) {
    const int32_t precisos = PuzzlesDaVista(AConfig);
    bool parado = false;
    TLivro feitos = TGeradorLivro().Gerar(
        AConfig, [&](int32_t AFeitos, int32_t, const std::string&, bool& ACancelar) {
            parado = AParar && AParar();
            ACancelar = parado || AFeitos >= precisos;
        });
    if (parado && static_cast<int32_t>(feitos.Puzzles.size()) < precisos) {
        return std::nullopt;
    }
    TLivro livro = LivroAChegar(AConfig);
    std::move(feitos.Puzzles.begin(), feitos.Puzzles.end(), livro.Puzzles.begin());
    return livro;
}

const TDescPagina* PrimeiraDoTipo(const std::vector<TDescPagina>& APaginas, TTipoPagina ATipo) {
    const auto p = std::find_if(APaginas.begin(), APaginas.end(),
                                [ATipo](const TDescPagina& d) { return d.Tipo == ATipo; });
    return p == APaginas.end() ? nullptr : &*p;
}

} // namespace

std::optional<TVistaDoLivro> VerLivro(const TConfigLivro& AConfig, int32_t ALargura,
                                      const std::function<bool()>& AParar) {
    // The title as the book holds it; one its cover cannot print is told in its place.
    const TTituloDoLivro titulo = VerificarTitulo(AConfig.Titulo);
    TConfigLivro config = AConfig;
    config.Titulo = titulo.Motivo.empty() ? titulo.Titulo : std::string();
    const std::optional<TLivro> livro = LivroDaVista(config, AParar);
    if (!livro) {
        return std::nullopt;
    }
    TCompositorLivro compositor(*livro, CriarInfoLivro());
    const std::vector<TDescPagina>& paginas = compositor.Paginas();
    TVistaDoLivro vista;
    vista.Codigo = livro->Codigo;
    const struct {
        const char* Nome;
        TTipoPagina Tipo;
    } vistas[] = {{"Capa", TTipoPagina::pgCapa},
                  {"Puzzles", TTipoPagina::pgPuzzles},
                  {"Soluções", TTipoPagina::pgSolucoes}};
    for (const auto& v : vistas) {
        if (AParar && AParar()) {
            return std::nullopt;
        }
        const TDescPagina* pagina = PrimeiraDoTipo(paginas, v.Tipo);
        TPaginaVista vistaDaPagina;
        vistaDaPagina.Nome = v.Nome;
        vistaDaPagina.Numero = static_cast<int32_t>(pagina - paginas.data()) + 1;
        if (v.Tipo == TTipoPagina::pgCapa && !titulo.Motivo.empty()) {
            vistaDaPagina.Motivo = titulo.Motivo;
        } else {
            vistaDaPagina.Imagem = DesenharPaginaEmImagem(
                ALargura, [&](IVeltCanvas& Canvas) { compositor.DesenharPagina(Canvas, *pagina); });
        }
        vista.Paginas.push_back(std::move(vistaDaPagina));
    }
    return vista;
}

} // namespace tavrelo
