# MvrLibdeflate: the whole-buffer deflater behind the fast and the strongest
# compressors of the code stream. It is required rather than optional so that
# every build writes the same bytes for the same choice.
add_library(MvrLibdeflate INTERFACE)
mvr_link_system_library(MvrLibdeflate PKG libdeflate LIB deflate HEADER libdeflate.h)
if(NOT MvrLibdeflate_FOUND)
  message(FATAL_ERROR "libdeflate not found (Debian: apt-get install libdeflate-dev)")
endif()
