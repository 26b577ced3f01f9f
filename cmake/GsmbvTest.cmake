# gsmbv_add_test(<name> SOURCES <files...> LIBS <libs...>)
# One Qt Test program per area; runs headless on the offscreen platform. The
# user's data folder is one in the build tree, so that the backups and logs of
# tests never land in the home folder.
function(gsmbv_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gsmbv_testkit Qt6::Test)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;GSMBV_BIN_DIR=${CMAKE_BINARY_DIR}/bin;GSMBV_SOURCE_DIR=${CMAKE_SOURCE_DIR};XDG_DATA_HOME=${CMAKE_BINARY_DIR}/tests/daten")
endfunction()
