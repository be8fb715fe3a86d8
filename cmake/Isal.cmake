# MvrIsal: ISA-L's inflater and CRC-32 for whoever reads difference files,
# empty where the build goes without them. MVR_HAVE_ISAL tells the sources
# which of the two paths they have.
add_library(MvrIsal INTERFACE)
if(MVR_ISAL)
  mvr_link_system_library(MvrIsal PKG libisal LIB isal HEADER isa-l/igzip_lib.h)
  if(MvrIsal_FOUND)
    target_compile_definitions(MvrIsal INTERFACE MVR_HAVE_ISAL)
    message(STATUS "ISA-L: inflating and CRC-32 through it, zlib as the fallback")
  else()
    message(STATUS "ISA-L not found: zlib alone inflates and checksums")
  endif()
endif()
