# Run by cpack on its staging folder before it makes the package: takes out of the programs
# (and the PDF reader in libexec) the sections that Debian's own packaging strips as well (.comment, which holds the
# compilers' version strings, and .note), as dh_strip does.
set(_raiz "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
file(GLOB _programas "${_raiz}/bin/*" "${_raiz}/libexec/tavrelo/*")
if(NOT _programas)
  message(FATAL_ERROR "Não há programas em ${CPACK_TEMPORARY_DIRECTORY}"
                      "${CPACK_PACKAGING_INSTALL_PREFIX}/bin.")
endif()
foreach(_programa IN LISTS _programas)
  execute_process(
    COMMAND "${CPACK_TAVRELO_STRIP}" --remove-section=.comment --remove-section=.note
            "${_programa}"
    RESULT_VARIABLE _resultado)
  if(NOT _resultado EQUAL 0)
    message(FATAL_ERROR "strip falhou em ${_programa}.")
  endif()
endforeach()
