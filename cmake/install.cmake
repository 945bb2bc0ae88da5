# install.cmake - what `cmake --install` puts where, and the Debian package
# made of it:
#
#   bin/wendol                                   the program
#   share/man/man1/wendol.1.gz                   its manual page (help2man)
#   share/bash-completion/completions/wendol     its bash completion
#   share/wendol/                                the layout for Linux (what
#                                                `wendol xkb` writes) and
#                                                install.sh, which installs it
#   share/wendol/build/                          the layout build rule, kbd.h
#                                                and vkeys.h, for modules
#                                                built from a .klc source
#   lib/wendol/finish_image                      their finishing step
#   share/doc/wendol/copyright, changelog.gz     the licence and the history
#
#     cmake --build --preset release --target deb
#                                    # build-release/wendol_<version>_amd64.deb
include(GNUInstallDirs)

# The date the manual page and the package's entries carry: the latest
# entry of the changelog (installer/debian/changelog), in seconds since
# 1970, UTC.
set(WENDOL_RELEASE_EPOCH 1796774400)   # Wed, 09 Dec 2026 00:00:00 +0000

find_program(WENDOL_HELP2MAN NAMES help2man REQUIRED)
find_program(WENDOL_GZIP NAMES gzip REQUIRED)
set(WENDOL_SHARE_BUILD ${CMAKE_BINARY_DIR}/share)

# The manual page from the program's own help, and what Debian wants of the
# page and the changelog: gzip -9, without a name or a time (-n).
add_custom_command(OUTPUT ${WENDOL_SHARE_BUILD}/wendol.1.gz
    COMMAND ${CMAKE_COMMAND} -DWENDOL=$<TARGET_FILE:wendol> -DHELP2MAN=${WENDOL_HELP2MAN}
            -DOUTPUT=${WENDOL_SHARE_BUILD}/wendol.1 -DEPOCH=${WENDOL_RELEASE_EPOCH}
            -P ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
    COMMAND ${WENDOL_GZIP} -9nf ${WENDOL_SHARE_BUILD}/wendol.1
    DEPENDS wendol ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
    COMMENT "Writing the manual page" VERBATIM)
add_custom_command(OUTPUT ${WENDOL_SHARE_BUILD}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${WENDOL_SHARE_BUILD}
    COMMAND ${WENDOL_GZIP} -9nc ${PROJECT_SOURCE_DIR}/installer/debian/changelog
            > ${WENDOL_SHARE_BUILD}/changelog.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/installer/debian/changelog
    COMMENT "Compressing the changelog")
# The layout for Linux comes from the `linux` target (build/linux/).
add_custom_target(share ALL
    DEPENDS ${WENDOL_SHARE_BUILD}/wendol.1.gz ${WENDOL_SHARE_BUILD}/changelog.gz)
add_dependencies(share linux)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS wendol RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${WENDOL_SHARE_BUILD}/wendol.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/installer/bash-completion/wendol
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(DIRECTORY ${CMAKE_BINARY_DIR}/linux/ DESTINATION ${CMAKE_INSTALL_DATADIR}/wendol)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/installer/linux/install.sh
        DESTINATION ${CMAKE_INSTALL_DATADIR}/wendol)
# What a module built from a .klc source is built with; the program finds
# them beside itself (bin/../share/wendol/build, bin/../lib/wendol).
install(FILES ${PROJECT_SOURCE_DIR}/cmake/layout_rule.cmake
              ${PROJECT_SOURCE_DIR}/layout/kbd.h ${PROJECT_SOURCE_DIR}/layout/vkeys.h
        DESTINATION ${CMAKE_INSTALL_DATADIR}/wendol/build)
install(TARGETS finish_image RUNTIME DESTINATION lib/wendol)
install(FILES ${PROJECT_SOURCE_DIR}/installer/debian/copyright
              ${WENDOL_SHARE_BUILD}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/wendol)

# The Debian package.  CPack's config goes to a name of its own, so that it
# leaves the `package` target to the release zip.
set(CPACK_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackDebConfig.cmake)
set(CPACK_SOURCE_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackDebSourceConfig.cmake)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wendol)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Wendol developers")
# No address of ours receives mail yet: example.org stands in (lintian
# refuses a host that is no domain, such as localhost).
set(CPACK_PACKAGE_CONTACT "The Wendol developers <wendol@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keyboard-layout module toolkit and the Tarvena layout for XKB")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
wendol loads a Windows keyboard-layout module (a KBD*.dll image) as the
Windows loader would, reads its tables and types with them: it prints the
image and its tables, types keys, finds the keys that type a character,
names keys, verifies the image against the rules the platform reads it by,
draws a chart of the layout and writes the layout for XKB.
.
The package also holds the Tarvena layout (the US arrangement with AltGr
levels, a Greek layer on Caps Lock and fourteen dead keys) for
libxkbcommon, and /usr/share/wendol/install.sh, which installs it for a
user or the whole machine.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

# Every entry carries the changelog's date, so that two builds of the same
# sources give the same package.
add_custom_target(deb
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${WENDOL_RELEASE_EPOCH}
            ${CMAKE_CPACK_COMMAND} --config ${CPACK_OUTPUT_CONFIG_FILE}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    COMMENT "Packing ${CMAKE_BINARY_DIR}/wendol_${PROJECT_VERSION}_amd64.deb" VERBATIM)
add_dependencies(deb wendol finish_image share)
