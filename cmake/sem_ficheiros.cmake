# cmake -DNM=<nm> -DBIBLIOTECA=<library.a> -P sem_ficheiros.cmake
# Fails, naming them, when the library calls anything that opens, renames, links, removes or
# syncs a file, by the system's calls, C's or C++'s streams, std::filesystem, or the cairo and
# FreeType calls that take a file name: a layer that writes through the files layer only.
execute_process(COMMAND ${NM} -u --format=just-symbols ${BIBLIOTECA}
                OUTPUT_VARIABLE simbolos RESULT_VARIABLE estado)
if(NOT estado EQUAL 0)
  message(FATAL_ERROR "${NM} não leu ${BIBLIOTECA}")
endif()
string(REPLACE "\n" ";" simbolos "${simbolos}")
set(proibidos
  "^(open|openat|creat|fopen|freopen|fdopen|opendir)(64)?$"
  "^(rename|renameat|renameat2|link|linkat|symlink|symlinkat|unlink|unlinkat|remove|rmdir|mkdir|mkdirat)$"
  "^(fsync|fdatasync|sync|syncfs|sync_file_range|truncate|ftruncate)(64)?$"
  "^(mkstemp|mkostemp|mkstemps|mkostemps|mkdtemp|tmpfile)(64)?$"
  "basic_(filebuf|fstream|ifstream|ofstream)"
  "St10filesystem|NSt10filesystem"
  "^cairo_(pdf|ps|svg)_surface_create$"
  "^cairo_surface_write_to_png$"
  "^cairo_image_surface_create_from_png$"
  "^FT_New_Face$")
set(achados "")
foreach(simbolo IN LISTS simbolos)
  foreach(padrao IN LISTS proibidos)
    if(simbolo MATCHES "${padrao}")
      list(APPEND achados ${simbolo})
    endif()
  endforeach()
endforeach()
if(achados)
  list(REMOVE_DUPLICATES achados)
  list(JOIN achados "\n  " lista)
  # CMake wraps a message's sentences at 80 columns, not its indented lines: the path, which
  # may be long and hold blanks, goes on a line of its own.
  message(FATAL_ERROR "Esta biblioteca mexe em ficheiros por si:\n  ${BIBLIOTECA}\n"
                      "Pelas chamadas:\n  ${lista}")
endif()
