# mirpan_add_test(NAME name SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s])
# One CTest test per GoogleTest executable; each run leaves a JUnit-style XML report in
# build/<preset>/test-results so that scripts/test can add up the cases of both presets.
function(mirpan_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set(results ${CMAKE_BINARY_DIR}/test-results)
  file(MAKE_DIRECTORY ${results})
  if(WIN32)
    # Wine sees the Unix root as drive Z:.
    set(xml "Z:${results}/${T_NAME}.xml")
  else()
    set(xml "${results}/${T_NAME}.xml")
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_output=xml:${xml})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}"
    ENVIRONMENT "MIRPAN_SOURCE_DIR=${CMAKE_SOURCE_DIR};MIRPAN_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()
