# Layers that the build enforces. Headers are included by their folder ("core/tipos.h");
# instead of the whole source tree, each layer's library puts on the include path a folder
# of links to its own source folders only. A library sees its own headers and, through what
# it links, those of the layers below it, never those above.
#
# The compiler also looks for a quoted include beside the file that includes it, and follows
# ".." through the links: "../composition/paginas.h" in drawing/, or
# "drawing/../composition/paginas.h", would reach a layer above. So before a layer is built,
# every source and header of its folders is read, and an include that leaves its folder or
# names an absolute path stops the build (cmake/includes_relativos.cmake).

# tavrelo_camada(<library> <folder>...)
function(tavrelo_camada alvo)
  set(raiz ${CMAKE_BINARY_DIR}/camadas/${alvo})
  file(MAKE_DIRECTORY ${raiz})
  set(fontes "")
  foreach(pasta IN LISTS ARGN)
    if(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${pasta})
      message(FATAL_ERROR "A camada ${alvo} não tem a pasta ${pasta}")
    endif()
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${pasta} ${raiz}/${pasta} SYMBOLIC)
    file(GLOB_RECURSE da_pasta CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${pasta}/*.h
         ${PROJECT_SOURCE_DIR}/${pasta}/*.cpp)
    list(APPEND fontes ${da_pasta})
  endforeach()
  target_include_directories(${alvo} PUBLIC ${raiz})
  tavrelo_sem_includes_relativos(${alvo} ${fontes})
endfunction()

# tavrelo_sem_includes_relativos(<target> <file>...): <target> builds only once no <file>
# includes a path that leaves its folder.
function(tavrelo_sem_includes_relativos alvo)
  set(lista ${CMAKE_BINARY_DIR}/camadas/${alvo}.fontes)
  set(marca ${CMAKE_BINARY_DIR}/camadas/${alvo}.includes-verificados)
  file(CONFIGURE OUTPUT ${lista} CONTENT "${ARGN}")
  add_custom_command(
    OUTPUT ${marca}
    COMMAND ${CMAKE_COMMAND} -DLISTA=${lista} -P
            ${PROJECT_SOURCE_DIR}/cmake/includes_relativos.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${marca}
    DEPENDS ${ARGN} ${lista} ${PROJECT_SOURCE_DIR}/cmake/includes_relativos.cmake
    COMMENT "A verificar os includes de ${alvo}"
    VERBATIM)
  add_custom_target(${alvo}_includes DEPENDS ${marca})
  add_dependencies(${alvo} ${alvo}_includes)
endfunction()
