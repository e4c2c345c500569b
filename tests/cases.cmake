# Read by ctest when it starts, once per test program (see wendlar_test in CMakeLists.txt):
# lists the program's GoogleTest cases and adds each as its own test "<program>.<Suite>.<Case>",
# run alone in a process of its own. Listing runs the program (under Wine), so it is done
# again only when the program is newer than the saved list.
#
# wendlar_add_cases(PROGRAM <name> EXE <file> [EMULATOR <command>] WORKDIR <folder>
#                   LIST <saved list> CMAKE <cmake>
#                   [LOCKS <resource>...] [CASE_LOCKS <case prefix> <resource>...])
# Every case runs once. CASE_LOCKS gives the cases whose name ("Suite.Case") starts with the
# prefix one more resource lock.
cmake_policy(VERSION 3.20)

function(wendlar_add_cases)
  cmake_parse_arguments(A "" "PROGRAM;EXE;EMULATOR;WORKDIR;LIST;CMAKE"
                        "LOCKS;CASE_LOCKS" ${ARGN})
  if(NOT EXISTS "${A_EXE}")
    # Not built (a build of some targets only): one failing entry says so.
    add_test("${A_PROGRAM}.NOT_BUILT" "${A_CMAKE}" -E cat "${A_EXE}")
    return()
  endif()

  get_filename_component(dir "${A_LIST}" DIRECTORY)
  if(NOT EXISTS "${A_LIST}" OR "${A_EXE}" IS_NEWER_THAN "${A_LIST}")
    # The list comes as a JSON file, which output of Wine or of the program cannot spoil.
    set(json "${A_PROGRAM}_cases.json")
    file(REMOVE "${dir}/${json}")
    execute_process(COMMAND ${A_EMULATOR} "${A_EXE}" --gtest_list_tests "--gtest_output=json:${json}"
                    WORKING_DIRECTORY "${dir}" TIMEOUT 120
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    set(cases "")
    set(error "")
    if(NOT rc EQUAL 0 OR NOT EXISTS "${dir}/${json}")
      set(error "listing the cases of ${A_EXE} failed (${rc}):\n${out}")
    else()
      file(READ "${dir}/${json}" text)
      string(JSON suites ERROR_VARIABLE error LENGTH "${text}" testsuites)
      if(NOT error AND suites GREATER 0)
        math(EXPR last_suite "${suites} - 1")
        foreach(s RANGE ${last_suite})
          string(JSON suite GET "${text}" testsuites ${s} name)
          string(JSON count LENGTH "${text}" testsuites ${s} testsuite)
          if(count GREATER 0)
            math(EXPR last_case "${count} - 1")
            foreach(c RANGE ${last_case})
              string(JSON name GET "${text}" testsuites ${s} testsuite ${c} name)
              list(APPEND cases "${suite}.${name}")
            endforeach()
          endif()
        endforeach()
      endif()
      if(error)
        set(error "the case list of ${A_EXE} cannot be read: ${error}")
      endif()
    endif()
    file(REMOVE "${dir}/${json}")
    if(error)
      # Not saved, so the next run lists again; one failing entry shows why.
      file(REMOVE "${A_LIST}")
      set(script "${dir}/${A_PROGRAM}_not_listed.cmake")
      file(WRITE "${script}" "message(FATAL_ERROR [==[${error}]==])\n")
      add_test("${A_PROGRAM}.NOT_LISTED" "${A_CMAKE}" -P "${script}")
      return()
    endif()
    list(JOIN cases "\n" lines)
    file(WRITE "${A_LIST}" "${lines}\n")
  endif()
  file(STRINGS "${A_LIST}" cases)

  foreach(case IN LISTS cases)
    set(test "${A_PROGRAM}.${case}")
    set(command ${A_EMULATOR} "${A_EXE}" "--gtest_filter=${case}" --gtest_color=no)
    add_test("${test}" ${command})
    set_tests_properties("${test}" PROPERTIES
      WORKING_DIRECTORY "${A_WORKDIR}"
      ENVIRONMENT "WENDLAR_TEST_NAME=${test}"
      SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
    set(locks ${A_LOCKS})
    set(pairs ${A_CASE_LOCKS})
    while(pairs)
      list(POP_FRONT pairs prefix lock)
      string(FIND "${case}" "${prefix}" at)
      if(at EQUAL 0)
        list(APPEND locks "${lock}")
      endif()
    endwhile()
    if("display" IN_LIST locks)
      # One of the virtual displays that scripts/test starts, with a Wine prefix of its own.
      list(REMOVE_ITEM locks display)
      set_tests_properties("${test}" PROPERTIES RESOURCE_GROUPS "displays:1")
      set(shows_windows TRUE)
    else()
      set(shows_windows FALSE)
    endif()
    if(locks)
      set_tests_properties("${test}" PROPERTIES RESOURCE_LOCK "${locks}")
    endif()
    if(NOT shows_windows)
      # The case shares the display with others: the test program fails it if it shows or
      # activates a window.
      set_tests_properties("${test}" PROPERTIES ENVIRONMENT "WENDLAR_TEST_NAME=${test};WENDLAR_TEST_NODISPLAY=1")
    endif()
    if(case MATCHES "(^|[./])DISABLED_")
      set_tests_properties("${test}" PROPERTIES DISABLED TRUE)
    endif()
  endforeach()
endfunction()
