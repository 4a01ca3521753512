# dovrelle_library(NAME DEPS...): a static library from every .cpp of the folder.
# Sources are globbed so that adding a file needs no edit here. Includes name their folder
# ("db/oracle_connection.h"), so only src/ is an include directory.
function(dovrelle_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()
