# automat_add_test(NAME <name> SOURCES <files...> LIBS <targets...> [LABEL <label>])
# One QtTest executable registered with CTest, offscreen, with a pinned French locale
# and the paths the tests need to find the built programs and their data.
function(automat_add_test)
  cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
  target_compile_definitions(${T_NAME} PRIVATE
    AUTOMAT_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    AUTOMAT_CMD="$<TARGET_FILE:automat-cmd>"
    AUTOMAT_BIN_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES
    LABELS "${T_LABEL}"
    TIMEOUT 600
    ENVIRONMENT "QTEST_DISABLE_STACK_DUMP=1;QT_QPA_PLATFORM=offscreen;LANG=fr_FR.UTF-8;LC_ALL=;LANGUAGE=fr;TZ=Europe/Paris;AUTOMAT_HOME=")
endfunction()
