# Layers that the build enforces. Headers are included by their folder ("core/tipos.h");
# instead of the whole source tree, each layer's library puts on the include path a folder
# of links to its own source folders only. A library sees its own headers and, through what
# it links, those of the layers below it, never those above.

# tavrelo_camada(<library> <folder>...)
function(tavrelo_camada alvo)
  set(raiz ${CMAKE_BINARY_DIR}/camadas/${alvo})
  file(MAKE_DIRECTORY ${raiz})
  foreach(pasta IN LISTS ARGN)
    if(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${pasta})
      message(FATAL_ERROR "A camada ${alvo} não tem a pasta ${pasta}")
    endif()
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${pasta} ${raiz}/${pasta} SYMBOLIC)
  endforeach()
  target_include_directories(${alvo} PUBLIC ${raiz})
endfunction()
