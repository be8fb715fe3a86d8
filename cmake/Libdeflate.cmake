# MvrLibdeflate: the whole-buffer deflater behind the fast and the strongest
# compressors of the code stream. It is required rather than optional so that
# every build writes the same bytes for the same choice.
add_library(MvrLibdeflate INTERFACE)
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(LIBDEFLATE QUIET IMPORTED_TARGET libdeflate)
endif()
if(LIBDEFLATE_FOUND)
  target_link_libraries(MvrLibdeflate INTERFACE PkgConfig::LIBDEFLATE)
else()
  find_library(LIBDEFLATE_LIBRARY NAMES deflate)
  find_path(LIBDEFLATE_INCLUDE_DIR NAMES libdeflate.h)
  if(NOT LIBDEFLATE_LIBRARY OR NOT LIBDEFLATE_INCLUDE_DIR)
    message(FATAL_ERROR "libdeflate not found (Debian: apt-get install libdeflate-dev)")
  endif()
  target_include_directories(MvrLibdeflate INTERFACE ${LIBDEFLATE_INCLUDE_DIR})
  target_link_libraries(MvrLibdeflate INTERFACE ${LIBDEFLATE_LIBRARY})
endif()
