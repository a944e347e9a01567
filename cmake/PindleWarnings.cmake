# Warnings are errors on our own code; third-party headers come in as system includes.
function(pindle_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wpedantic -Wshadow
                                           -Wnon-virtual-dtor -Wno-missing-field-initializers)
endfunction()

# Collects the sources of one folder tree, so adding a file needs no CMake edit.
function(pindle_sources out dir)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(${out} ${found} PARENT_SCOPE)
endfunction()
