# gsmbv_layer(<name> DEPS <libs...>)
# A layer is the static library gsmbv_<name> made of every .cpp in its folder
# (main.cpp excepted: that is an executable's). A folder without sources adds
# nothing yet.
function(gsmbv_layer name)
  cmake_parse_arguments(L "" "" "DEPS" ${ARGN})
  file(GLOB quellen CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER quellen EXCLUDE REGEX "/main\\.cpp$")
  if(NOT quellen)
    return()
  endif()
  add_library(gsmbv_${name} STATIC ${quellen})
  target_link_libraries(gsmbv_${name} PUBLIC ${L_DEPS})
endfunction()
