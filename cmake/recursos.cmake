# The files compiled into the programs, found at run time by name (drawing/recursos.h).
# The bytes are pulled in by the assembler (.incbin) from a small generated source, so a
# megabyte of typeface costs no more to build than a few lines of code; the source is
# rebuilt whenever one of the files changes.

# The typeface files, wherever the system keeps them: fontconfig says where Liberation
# Sans is installed; the usual font folders are searched as well.
find_program(TAVRELO_FC_LIST fc-list)
set(_tavrelo_pastas_de_letras "")
if(TAVRELO_FC_LIST)
  execute_process(COMMAND ${TAVRELO_FC_LIST} -f "%{file}\n" "Liberation Sans"
                  OUTPUT_VARIABLE _tavrelo_fc OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  string(REPLACE "\n" ";" _tavrelo_fc "${_tavrelo_fc}")
  foreach(_tavrelo_f IN LISTS _tavrelo_fc)
    get_filename_component(_tavrelo_d "${_tavrelo_f}" DIRECTORY)
    list(APPEND _tavrelo_pastas_de_letras "${_tavrelo_d}")
  endforeach()
endif()
foreach(_tavrelo_face Regular Bold)
  find_file(TAVRELO_LETRA_${_tavrelo_face} LiberationSans-${_tavrelo_face}.ttf
            HINTS ${_tavrelo_pastas_de_letras}
            PATHS /usr/share/fonts /usr/local/share/fonts
            PATH_SUFFIXES truetype/liberation2 truetype/liberation liberation2 liberation
            NO_DEFAULT_PATH)
  if(NOT TAVRELO_LETRA_${_tavrelo_face})
    message(FATAL_ERROR "Falta a letra Liberation Sans ${_tavrelo_face} "
                        "(LiberationSans-${_tavrelo_face}.ttf; pacote fonts-liberation2).")
  endif()
endforeach()

set(TAVRELO_RECURSOS
  SELO_CC_BY_NC_ND ${CMAKE_CURRENT_SOURCE_DIR}/resources/selo_cc_by_nc_nd.png
  LIBERATION_SANS_REGULAR ${TAVRELO_LETRA_Regular}
  LIBERATION_SANS_BOLD ${TAVRELO_LETRA_Bold}
)

set(_tavrelo_asm "")
set(_tavrelo_decl "")
set(_tavrelo_tabela "")
set(_tavrelo_ficheiros "")
list(LENGTH TAVRELO_RECURSOS _tavrelo_n)
math(EXPR _tavrelo_ultimo "${_tavrelo_n} - 1")
set(_tavrelo_i 0)
foreach(_tavrelo_k RANGE 0 ${_tavrelo_ultimo} 2)
  math(EXPR _tavrelo_kf "${_tavrelo_k} + 1")
  list(GET TAVRELO_RECURSOS ${_tavrelo_k} _tavrelo_nome)
  list(GET TAVRELO_RECURSOS ${_tavrelo_kf} _tavrelo_ficheiro)
  if(NOT EXISTS ${_tavrelo_ficheiro})
    message(FATAL_ERROR "Falta o ficheiro do recurso ${_tavrelo_nome}: ${_tavrelo_ficheiro}")
  endif()
  list(APPEND _tavrelo_ficheiros ${_tavrelo_ficheiro})
  string(REPLACE "\\" "\\\\" _tavrelo_citado "${_tavrelo_ficheiro}")
  string(REPLACE "\"" "\\\"" _tavrelo_citado "${_tavrelo_citado}")
  set(_tavrelo_s "tavrelo_recurso_${_tavrelo_i}")
  string(APPEND _tavrelo_asm
    "    .globl ${_tavrelo_s}_inicio\n"
    "    .hidden ${_tavrelo_s}_inicio\n"
    "    .balign 16\n"
    "${_tavrelo_s}_inicio:\n"
    "    .incbin \"${_tavrelo_citado}\"\n"
    "    .globl ${_tavrelo_s}_fim\n"
    "    .hidden ${_tavrelo_s}_fim\n"
    "${_tavrelo_s}_fim:\n"
    "    .byte 0\n")
  string(APPEND _tavrelo_decl
    "extern \"C\" const unsigned char ${_tavrelo_s}_inicio[];\n"
    "extern \"C\" const unsigned char ${_tavrelo_s}_fim[];\n")
  string(APPEND _tavrelo_tabela
    "    {\"${_tavrelo_nome}\", {${_tavrelo_s}_inicio, ${_tavrelo_s}_fim}},\n")
  math(EXPR _tavrelo_i "${_tavrelo_i} + 1")
endforeach()

set(_tavrelo_fonte ${CMAKE_CURRENT_BINARY_DIR}/recursos_embutidos.cpp)
file(CONFIGURE OUTPUT ${_tavrelo_fonte} @ONLY CONTENT
"// Made by cmake/recursos.cmake; do not edit.
#include \"drawing/recursos.h\"

asm(R\"(
    .pushsection .rodata
@_tavrelo_asm@    .popsection
)\");

@_tavrelo_decl@
namespace tavrelo {

namespace {
const TRecursoEmbutido RECURSOS[] = {
@_tavrelo_tabela@};
} // namespace

std::span<const TRecursoEmbutido> RecursosEmbutidos() {
    return RECURSOS;
}

} // namespace tavrelo
")
set_source_files_properties(${_tavrelo_fonte} PROPERTIES OBJECT_DEPENDS "${_tavrelo_ficheiros}")
target_sources(tavrelo_drawing PRIVATE ${_tavrelo_fonte})
