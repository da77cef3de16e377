# orvalin_add_test(NAME name SOURCES ... LIBS ... [GUI])
# One GoogleTest binary; every test case becomes its own CTest test, run under Wine.
# Tests share the registry and the display of one Wine prefix, so they run one at a time.
function(orvalin_add_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} orvalin_test_support GTest::gtest)
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/test-work
                       PROPERTIES RUN_SERIAL TRUE TIMEOUT 300 LABELS "${T_NAME}")
endfunction()
