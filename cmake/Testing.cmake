# GoogleTest from its source tree (Debian's googletest package by default), built with the
# project's own compiler and flags. Only the test library itself: nothing uses the mocks.
set(MIRPAN_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
  "GoogleTest source tree (Debian: the googletest package)")
if(NOT EXISTS ${MIRPAN_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in MIRPAN_GOOGLETEST_SOURCE_DIR="
    "${MIRPAN_GOOGLETEST_SOURCE_DIR}: install them (scripts/bootstrap), point the variable at "
    "a copy, or configure with -DMIRPAN_BUILD_TESTS=OFF")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${MIRPAN_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

set(MIRPAN_TEST_RESULTS ${CMAKE_BINARY_DIR}/test-results)
file(MAKE_DIRECTORY ${MIRPAN_TEST_RESULTS})

# mirpan_add_test(NAME name
#   [SOURCES src... [LIBS lib...]]   a GoogleTest program named `name`, built from these
#   [PROGRAM target]                 or a GoogleTest program another test built
#   [WRAPPER command arg...]         run the program through this command, which gets the
#                                    program's path and its arguments last
#   [ARGS arg...]                    more arguments for the program
#   [COMMAND command arg...]         or a plain command, no GoogleTest program at all
#   [DEPENDS target...]              built before the program (not with COMMAND)
#   [LABELS label...] [TIMEOUT s] [ENVIRONMENT var=value...])
# Every GoogleTest run leaves a JUnit-style XML report in build/<preset>/test-results, so
# that scripts/test can add up the cases of both presets. Every test learns the source and
# build trees from MIRPAN_SOURCE_DIR and MIRPAN_BINARY_DIR.
function(mirpan_add_test)
  cmake_parse_arguments(PARSE_ARGV 0 T "" "NAME;TIMEOUT;PROGRAM"
    "SOURCES;LIBS;WRAPPER;ARGS;COMMAND;DEPENDS;LABELS;ENVIRONMENT")
  if(T_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "mirpan_add_test(${T_NAME}): unknown arguments ${T_UNPARSED_ARGUMENTS}")
  endif()
  set(kinds 0)
  foreach(kind SOURCES PROGRAM COMMAND)
    if(T_${kind})
      math(EXPR kinds "${kinds} + 1")
    endif()
  endforeach()
  if(NOT kinds EQUAL 1)
    message(FATAL_ERROR "mirpan_add_test(${T_NAME}): give exactly one of SOURCES, PROGRAM, COMMAND")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()

  set(program "")
  if(T_COMMAND)
    set(command ${T_COMMAND})
  else()
    set(program ${T_PROGRAM})
    if(T_SOURCES)
      set(program ${T_NAME})
      add_executable(${program} ${T_SOURCES})
      target_link_libraries(${program} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    endif()
    if(WIN32)
      # Wine sees the Unix root as drive Z:.
      set(xml "Z:${MIRPAN_TEST_RESULTS}/${T_NAME}.xml")
    else()
      set(xml "${MIRPAN_TEST_RESULTS}/${T_NAME}.xml")
    endif()
    if(T_WRAPPER)
      # A wrapper is no target, so the Windows program must reach it by its path; the wrapper
      # runs it under Wine itself.
      set(command ${T_WRAPPER} $<TARGET_FILE:${program}>)
    else()
      set(command ${program})
    endif()
    list(APPEND command ${T_ARGS} --gtest_output=xml:${xml})
  endif()
  if(T_DEPENDS)
    if(NOT program)
      message(FATAL_ERROR "mirpan_add_test(${T_NAME}): DEPENDS needs a GoogleTest program")
    endif()
    add_dependencies(${program} ${T_DEPENDS})
  endif()

  add_test(NAME ${T_NAME} COMMAND ${command})
  set(environment MIRPAN_SOURCE_DIR=${CMAKE_SOURCE_DIR} MIRPAN_BINARY_DIR=${CMAKE_BINARY_DIR}
    ${T_ENVIRONMENT})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}"
    ENVIRONMENT "${environment}")
endfunction()
