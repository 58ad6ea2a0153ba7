# cmake -DLISTA=<file> -P includes_relativos.cmake
# Fails, naming each one, when a file listed in LISTA (a CMake list of paths) includes a path
# that leaves its folder ("../x.h", "a/../b.h") or an absolute path: such an include could
# reach a layer the file's layer may not see. Headers are included from the root of the
# sources ("core/tipos.h").
file(READ ${LISTA} ficheiros)
set(recusados "")
foreach(ficheiro IN LISTS ficheiros)
  file(STRINGS ${ficheiro} linhas REGEX "^[ \t]*#[ \t]*include")
  foreach(linha IN LISTS linhas)
    # A computed include (FreeType's #include FT_FREETYPE_H) names a library's header.
    if(linha MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"]")
      if(CMAKE_MATCH_1 MATCHES "(^|/)\\.\\.(/|$)" OR CMAKE_MATCH_1 MATCHES "^/")
        string(APPEND recusados "  ${ficheiro}: ${linha}\n")
      endif()
    endif()
  endforeach()
endforeach()
if(recusados)
  message(FATAL_ERROR "Um include sai da pasta do seu ficheiro e pode chegar a uma camada que "
                      "esta não vê; escreva-o a partir da raiz das fontes (\"core/tipos.h\"):\n"
                      "${recusados}")
endif()
