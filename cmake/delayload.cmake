# Delay-loaded system libraries. A library linked through wendlar_delay_load(<target> <name>...)
# is loaded at the program's first call into it instead of with the program: under Wine every
# system library loaded at start-up adds to every start (the file dialogs' library, with what
# it loads in turn, about 20 ms), so the ones needed only after start-up come this way.
# The import library of delayed calls is made at configure time from the toolchain's own
# import library of that system library, so every function it exports stays callable.
function(wendlar_delay_load target)
  set(_dir ${CMAKE_BINARY_DIR}/delayload)
  foreach(_name ${ARGN})
    set(_lib ${_dir}/lib${_name}_delay.a)
    if(NOT EXISTS ${_lib})
      find_library(WENDLAR_IMPLIB_${_name} NAMES ${_name} REQUIRED NO_CMAKE_PATH NO_CMAKE_ENVIRONMENT_PATH)
      execute_process(COMMAND ${CMAKE_NM} ${WENDLAR_IMPLIB_${_name}} OUTPUT_VARIABLE _symbols
                      RESULT_VARIABLE _rc ERROR_QUIET)
      string(REGEX MATCHALL "__imp_[A-Za-z0-9_]+" _imports "${_symbols}")
      list(REMOVE_DUPLICATES _imports)
      list(TRANSFORM _imports REPLACE "^__imp_" "")
      if(_rc OR NOT _imports)
        message(FATAL_ERROR "No exports of ${_name} found in ${WENDLAR_IMPLIB_${_name}}")
      endif()
      string(JOIN "\n" _exports ${_imports})
      file(WRITE ${_dir}/${_name}.def "LIBRARY ${_name}.dll\nEXPORTS\n${_exports}\n")
      execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${_dir}/${_name}.def --output-delaylib ${_lib}
                              --dllname ${_name}.dll
                      RESULT_VARIABLE _rc)
      if(_rc)
        file(REMOVE ${_lib})
        message(FATAL_ERROR "dlltool could not make the delayed import library of ${_name}")
      endif()
    endif()
    target_link_libraries(${target} PUBLIC ${_lib})
  endforeach()
  # The helper that loads a library at its first call.
  target_link_libraries(${target} PUBLIC delayimp)
endfunction()
