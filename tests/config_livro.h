// A book's configuration in one line, the code before the title and the hints as tests
// usually leave them.
#pragma once

#include "core/tipos.h"

#include <cstdint>
#include <string>
#include <utility>

namespace teste {

inline tavrelo::TConfigLivro Config(int32_t N, int32_t ANivel, int32_t APuzzles, uint32_t ACodigo,
                                    std::string ATitulo = {}, bool ADicas = true) {
    return {.NumPuzzles = APuzzles,
            .N = N,
            .Nivel = ANivel,
            .Titulo = std::move(ATitulo),
            .Caminho = ADicas,
            .Semente = ACodigo};
}

} // namespace teste
