# The Debian package: `cpack -G DEB` in a build folder. Its dependencies are worked out from the
# binaries (dpkg-shlibdeps); it installs under /usr.
set(CPACK_PACKAGE_NAME peterin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ぺてりん developers")
set(CPACK_PACKAGE_CONTACT "ぺてりん developers <peterin@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "simulator and editor for a falling-pair colour-matching puzzle")
set(CPACK_PACKAGE_DESCRIPTION
    "Compose positions by painting cells with the mouse, play the coming pairs\n\
with every chain animated, counted and scored, and battle two fields against\n\
each other with nuisance sent across. Pair sequences are reproducible from one\n\
number. The package also holds peterin-sim, which runs the game engine from a\n\
terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Section "games" would want the programs in /usr/games; they install in bin like any other.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Japanese text needs a CJK font; the program runs without one, with boxes for the glyphs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-noto-cjk)
include(CPack)
