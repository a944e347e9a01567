# Warnings on our own code; third-party headers come in as system includes. The project's
# scripts and CI turn PINDLE_WERROR on so that warnings fail the build there, while a plain
# build with another compiler or optimisation level still succeeds.
option(PINDLE_WERROR "Treat compiler warnings as errors" OFF)

function(pindle_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${PINDLE_WERROR}>:-Werror>
                                           -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wno-missing-field-initializers)
  # GCC 12 reports -Wrestrict inside libstdc++'s string code at -O3 where no overlap is
  # possible (GCC bug 105329).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-Wno-restrict>)
  endif()
endfunction()

# Collects the sources of one folder tree, so adding a file needs no CMake edit.
function(pindle_sources out dir)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(${out} ${found} PARENT_SCOPE)
endfunction()
