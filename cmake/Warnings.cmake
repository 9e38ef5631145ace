# Settings shared by our own targets only (never forced on a parent project).
add_library(k2l_warnings INTERFACE)
target_compile_options(k2l_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wold-style-cast)
if(DEFINED ENV{CI} OR K2L_WERROR)
  target_compile_options(k2l_warnings INTERFACE -Werror)
endif()

# One static library for a source folder: every .cpp of the folder, headers included as
# "<folder>/<file>.h" from src/. The remaining arguments are PUBLIC dependencies.
function(k2l_add_library name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../src)
  target_link_libraries(${name} PUBLIC ${ARGN} PRIVATE k2l_warnings)
endfunction()
