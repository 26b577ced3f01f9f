# gsmbv_layer(<name> DEPS <libs...>)
# A layer is the static library gsmbv_<name> made of every .cpp in its folder
# (main.cpp excepted: that is an executable's). A folder without sources adds
# nothing yet.
#
# Every layer is included as "<name>/header.h". Its include folder is a folder
# of its own in the build tree that holds one link, <name> -> src/<name>, and
# only the layer and what links it see that folder. So a header of a layer that
# is not linked (directly, or through a layer whose headers use it) is not
# found, and the build fails there. The layers a layer links are public: its
# headers include theirs.
function(gsmbv_layer name)
  cmake_parse_arguments(L "" "" "DEPS" ${ARGN})
  file(GLOB quellen CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER quellen EXCLUDE REGEX "/main\\.cpp$")
  if(NOT quellen)
    return()
  endif()
  add_library(gsmbv_${name} STATIC ${quellen})
  target_link_libraries(gsmbv_${name} PUBLIC ${L_DEPS})
  set(wurzel ${CMAKE_BINARY_DIR}/include/${name})
  file(MAKE_DIRECTORY ${wurzel})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${wurzel}/${name} SYMBOLIC)
  target_include_directories(gsmbv_${name} PUBLIC ${wurzel})
endfunction()
