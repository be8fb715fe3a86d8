# Every target of ours compiles clean with these; a warning fails the build
# unless MVR_WERROR is off.
add_library(mvr_warnings INTERFACE)
target_compile_options(mvr_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  -Wnon-virtual-dtor -Wcast-align -Wformat=2)
if(MVR_WERROR)
  target_compile_options(mvr_warnings INTERFACE -Werror)
endif()
