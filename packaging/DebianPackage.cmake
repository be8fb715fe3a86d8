# One Debian package, mendivar, with everything `cmake --install` puts down.
# Its library dependencies come from dpkg-shlibdeps; the MIME, desktop, icon
# and manual databases are refreshed by the triggers of the packages that
# own them, so the package needs no scripts of its own.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mendivar)
set(CPACK_PACKAGE_VENDOR "Mendivar")
set(CPACK_PACKAGE_CONTACT "Mendivar maintainers <maintainers@mendivar.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "binary difference files: construct, reconstruct, view")
set(CPACK_PACKAGE_DESCRIPTION
  "Mendivar builds a difference file (.mvr) from an original and a modified\n"
  "file, and rebuilds the modified file from the original and the difference\n"
  "file. It brings the desktop program Qorvex, the console tools MvrCnstr and\n"
  "MvrRecn, the viewer MvrView, and the libraries with their headers, CMake\n"
  "package and pkg-config file.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
