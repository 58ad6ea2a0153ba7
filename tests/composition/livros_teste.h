// Books for the composition tests: plain records for the page plan, and real generated books
// (made once per test program) where pages need real puzzles.
#pragma once

#include "composition/paginas.h"
#include "drawing/canvas_gravador.h"
#include "generation/livro.h"

#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace tavrelo::teste_paginas {

// A book of APuzzles empty puzzles: enough for the plan, which reads only the count, the
// order and the hints switch.
inline TLivro LivroVazio(int32_t N, int32_t APuzzles, bool AComDicas) {
    TLivro l;
    l.Config.N = N;
    l.Config.NumPuzzles = APuzzles;
    l.Config.Caminho = AComDicas;
    l.Config.Titulo = "Teste";
    l.Puzzles.resize(static_cast<size_t>(APuzzles));
    for (int32_t i = 0; i < APuzzles; ++i) {
        l.Puzzles[static_cast<size_t>(i)].Posicao = i;
        l.Puzzles[static_cast<size_t>(i)].Puzzle.N = N;
    }
    return l;
}

// A generated book with the hints switch on, Progressiva unless ANivel says; seed 0x2A.
inline const TLivro& LivroGerado(int32_t N, int32_t APuzzles, int32_t ANivel = 0) {
    static std::map<std::tuple<int32_t, int32_t, int32_t>, TLivro> cache;
    auto it = cache.find({N, APuzzles, ANivel});
    if (it == cache.end()) {
        TConfigLivro c;
        c.N = N;
        c.Nivel = ANivel;
        c.NumPuzzles = APuzzles;
        c.Titulo = "Teste";
        c.Caminho = true;
        c.Semente = 0x2A;
        it =
            cache.emplace(std::tuple{N, APuzzles, ANivel}, TGeradorLivro().Gerar(c, nullptr)).first;
    }
    return it->second;
}

inline TLivro ComDicas(TLivro ALivro, bool AComDicas) {
    ALivro.Config.Caminho = AComDicas;
    return ALivro;
}

// The Texto calls of a recording whose text is ATexto.
inline std::vector<teste::TChamada> TextosIguais(const teste::TCanvasGravador& C,
                                                 const std::string& ATexto) {
    std::vector<teste::TChamada> r;
    for (const auto& c : C.Chamadas) {
        if (c.Op == "Texto" && c.Texto == ATexto) {
            r.push_back(c);
        }
    }
    return r;
}

// The numbers written in the cells of an N × N grid of side ALado at (X, Y): the Texto calls
// of size ATamanhoPt that fall inside the grid, as (cell, value, bold). Calls that do not
// sit exactly on a cell centre, black and centred, are reported as cell -1.
struct TNumeroNaGrelha {
    int32_t Celula;
    int32_t Valor;
    bool Negrito;
    bool operator==(const TNumeroNaGrelha&) const = default;
};

inline std::vector<TNumeroNaGrelha> NumerosDaGrelha(const teste::TCanvasGravador& C, int32_t N,
                                                    double X, double Y, double ALado,
                                                    double ATamanhoPt) {
    const double g = ALado / N;
    const double h = teste::TCanvasGravador::AlturaPorPt * ATamanhoPt;
    std::vector<TNumeroNaGrelha> r;
    for (const auto& c : C.Chamadas) {
        if (c.Op != "Texto" || c.Num[2] != ATamanhoPt || c.Num[0] < X || c.Num[0] > X + ALado ||
            c.Num[1] < Y || c.Num[1] > Y + ALado) {
            continue;
        }
        const double fc = (c.Num[0] - X - g / 2) / g;
        const double fl = (c.Num[1] - Y - (g - h) / 2) / g;
        const auto col = static_cast<int32_t>(std::lround(fc));
        const auto lin = static_cast<int32_t>(std::lround(fl));
        const bool noCentro = std::abs(fc - col) < 1e-9 && std::abs(fl - lin) < 1e-9 && col >= 0 &&
                              col < N && lin >= 0 && lin < N &&
                              c.Alinhamento == TAlinhamento::alCentro && c.Num[3] == 0;
        r.push_back({noCentro ? lin * N + col : -1, std::stoi(c.Texto), c.Negrito});
    }
    return r;
}

} // namespace tavrelo::teste_paginas
