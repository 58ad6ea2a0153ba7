// Files carried inside the program and found by name: the licence badge and the two
// weights of the typeface, so a built program needs no picture or font on disk.
#pragma once

#include <span>
#include <string_view>

namespace tavrelo {

inline constexpr std::string_view RECURSO_LETRA_NORMAL = "LIBERATION_SANS_REGULAR";
inline constexpr std::string_view RECURSO_LETRA_NEGRITO = "LIBERATION_SANS_BOLD";

struct TRecursoEmbutido {
    std::string_view Nome;
    std::span<const unsigned char> Dados;
};

// Every file compiled in, in the order the build lists them (cmake/recursos.cmake).
std::span<const TRecursoEmbutido> RecursosEmbutidos();

// The bytes of the file stored under ANome (names are case-sensitive); empty when there is
// none.
std::span<const unsigned char> Recurso(std::string_view ANome);

} // namespace tavrelo
