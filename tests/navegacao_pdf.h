// The ways around a written PDF, as qpdf reads them (its JSON): the outline and the links,
// each with the page it takes the reader to.
#pragma once

#include "pasta_temporaria.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace teste {

struct TEntradaDoIndice {
    std::string Titulo;
    int Pagina = 0; // from 1; 0 when the entry leads nowhere
    std::vector<TEntradaDoIndice> Filhos;
};

struct TLigacaoPdf {
    int Pagina = 0;            // the page the link is on, from 1
    int Destino = 0;           // the page it opens, from 1; 0 when it leads nowhere
    std::vector<double> Caixa; // /Rect: left, bottom, right, top, in points from the bottom
};

struct TNavegacaoPdf {
    std::string Erro; // what went wrong reading the file; empty when it was read
    std::vector<TEntradaDoIndice> Indice;
    std::vector<TLigacaoPdf> Ligacoes;
};

class TLeitorNavegacao {
  public:
    explicit TLeitorNavegacao(const nlohmann::json& ADocumento)
        : FObjetos(ADocumento.at("qpdf").at(1)) {
        for (const auto& p : ADocumento.at("pages")) {
            FPaginas.push_back(p.at("object").get<std::string>());
        }
    }

    // An object's value, following an indirect reference ("12 0 R").
    const nlohmann::json& Valor(const nlohmann::json& AValor) const {
        if (AValor.is_string()) {
            const std::string s = AValor.get<std::string>();
            if (s.size() > 2 && s.compare(s.size() - 2, 2, " R") == 0) {
                return FObjetos.at("obj:" + s).at("value");
            }
        }
        return AValor;
    }

    // The page (from 1) of a page reference; 0 for anything else.
    int PaginaDe(const nlohmann::json& AReferencia) const {
        if (!AReferencia.is_string()) {
            return 0;
        }
        for (size_t i = 0; i < FPaginas.size(); ++i) {
            if (FPaginas[i] == AReferencia.get<std::string>()) {
                return static_cast<int>(i) + 1;
            }
        }
        return 0;
    }

    // The page a destination opens: an explicit [page /XYZ …] or a name of the document's
    // /Dests name tree.
    int PaginaDoDestino(const nlohmann::json& ADestino, const nlohmann::json& ACatalogo) const {
        const nlohmann::json& d = Valor(ADestino);
        if (d.is_array() && !d.empty()) {
            return PaginaDe(d[0]);
        }
        if (!d.is_string() || !ACatalogo.contains("/Names")) {
            return 0;
        }
        const nlohmann::json& nomes = Valor(ACatalogo.at("/Names"));
        if (!nomes.contains("/Dests")) {
            return 0;
        }
        return NaArvore(Valor(nomes.at("/Dests")), d.get<std::string>());
    }

    std::vector<std::string> FPaginas;

  private:
    int NaArvore(const nlohmann::json& ANo, const std::string& ANome) const {
        if (ANo.contains("/Names")) {
            const nlohmann::json& n = Valor(ANo.at("/Names"));
            for (size_t i = 0; i + 1 < n.size(); i += 2) {
                if (n[i] == ANome) {
                    const nlohmann::json& alvo = Valor(n[i + 1]);
                    return PaginaDe(alvo.is_object() ? Valor(alvo.at("/D"))[0] : alvo[0]);
                }
            }
        }
        if (ANo.contains("/Kids")) {
            for (const auto& filho : Valor(ANo.at("/Kids"))) {
                if (const int p = NaArvore(Valor(filho), ANome); p != 0) {
                    return p;
                }
            }
        }
        return 0;
    }

    const nlohmann::json& FObjetos;
};

inline std::vector<TEntradaDoIndice> EntradasDoIndice(const nlohmann::json& AEntradas) {
    std::vector<TEntradaDoIndice> r;
    for (const auto& e : AEntradas) {
        TEntradaDoIndice entrada;
        entrada.Titulo = e.at("title").get<std::string>();
        const auto& pagina = e.at("destpageposfrom1");
        entrada.Pagina = pagina.is_number() ? pagina.get<int>() : 0;
        entrada.Filhos = EntradasDoIndice(e.at("kids"));
        r.push_back(entrada);
    }
    return r;
}

inline TNavegacaoPdf LerNavegacao(const std::string& APdf) {
    TNavegacaoPdf r;
    const TComando c = CorrerComando("qpdf --json=2 '" + APdf + "'");
    if (c.Estado != 0) {
        r.Erro = c.Saida;
        return r;
    }
    const nlohmann::json documento = nlohmann::json::parse(c.Saida, nullptr, false);
    if (documento.is_discarded()) {
        r.Erro = "qpdf did not give JSON: " + c.Saida.substr(0, 200);
        return r;
    }
    r.Indice = EntradasDoIndice(documento.at("outlines"));
    const TLeitorNavegacao leitor(documento);
    const nlohmann::json* catalogo = nullptr;
    for (const auto& [chave, objeto] : documento.at("qpdf").at(1).items()) {
        const auto& v = objeto.contains("value") ? objeto.at("value") : objeto;
        if (v.is_object() && v.value("/Type", "") == "/Catalog") {
            catalogo = &v;
        }
    }
    if (catalogo == nullptr) {
        r.Erro = "no catalog";
        return r;
    }
    for (size_t i = 0; i < leitor.FPaginas.size(); ++i) {
        const nlohmann::json& pagina = leitor.Valor(leitor.FPaginas[i]);
        if (!pagina.contains("/Annots")) {
            continue;
        }
        for (const auto& a : leitor.Valor(pagina.at("/Annots"))) {
            const nlohmann::json& anotacao = leitor.Valor(a);
            if (anotacao.value("/Subtype", "") != "/Link") {
                continue;
            }
            TLigacaoPdf l;
            l.Pagina = static_cast<int>(i) + 1;
            if (anotacao.contains("/Dest")) {
                l.Destino = leitor.PaginaDoDestino(anotacao.at("/Dest"), *catalogo);
            } else if (anotacao.contains("/A") && leitor.Valor(anotacao.at("/A")).contains("/D")) {
                l.Destino =
                    leitor.PaginaDoDestino(leitor.Valor(anotacao.at("/A")).at("/D"), *catalogo);
            }
            for (const auto& v : leitor.Valor(anotacao.at("/Rect"))) {
                l.Caixa.push_back(v.get<double>());
            }
            r.Ligacoes.push_back(l);
        }
    }
    return r;
}

} // namespace teste
