# What an install holds besides the game and its pictures (a manual page, the copyright and
# changelog of the Debian package), and the Debian package itself through CPack's DEB generator.
# scripts/package.sh configures a build with the prefix /usr and the games folders and runs cpack;
# an ordinary `cmake --install` gets the same manual page and documents under its own prefix.

# The manual page and the changelog, compressed as Debian keeps them (gzip -9n: no name or date
# inside, so the same sources give the same bytes).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(packagingDocs "")
foreach(pair "vantor.6:vantor.6.gz" "changelog:changelog.gz")
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 compressed)
    add_custom_command(
        OUTPUT ${PROJECT_BINARY_DIR}/packaging/${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
        COMMAND ${GZIP_PROGRAM} -9n -c ${PROJECT_SOURCE_DIR}/packaging/${source}
                > ${PROJECT_BINARY_DIR}/packaging/${compressed}
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${source}
        COMMENT "Compressing ${source}")
    list(APPEND packagingDocs ${PROJECT_BINARY_DIR}/packaging/${compressed})
endforeach()
add_custom_target(packaging-docs ALL DEPENDS ${packagingDocs})
install(FILES ${PROJECT_BINARY_DIR}/packaging/vantor.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Vantor developers <maintainers@users.noreply.c-seed-cfc0b9a4.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pseudo-3D road racer on a snowy, freshly generated track")
# The extended description; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Drive one car against 7, 15, 23 or 31 computer-driven opponents down a road\n\
of hills and bends that is generated afresh for every race from six settings:\n\
track length, hill steepness, turn sharpness, number of competitors, opponent\n\
speed and grid spacing. The picture is drawn by the game's own code at the\n\
window's resolution, the sound made by its own synthesis.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the game links (SDL2, SDL2_mixer, libpng, the C++ run-time) named by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/build/packages)
# Only the game and what it reads: the packaging build has no tests or benchmarks to install.
include(CPack)
