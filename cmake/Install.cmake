# Installing the game like any Linux game: the binary where the launcher finds
# it, art and sound under share/lakeport-nights, the launcher on the PATH, a
# desktop entry with its software-centre metadata, hicolor icons, a man page,
# the README and the licence; and a Debian package through CPack.
include(GNUInstallDirs)

set(LAKEPORT_BINARY_DEST "${CMAKE_INSTALL_LIBEXECDIR}/lakeport-nights")
set(LAKEPORT_DATA_DEST "${CMAKE_INSTALL_DATADIR}/lakeport-nights")

# The launcher finds the binary and the art relative to itself, so an install
# under any prefix (or a relocated one) works.
file(RELATIVE_PATH LAUNCHER_TO_BINARY "/prefix/${CMAKE_INSTALL_BINDIR}"
     "/prefix/${LAKEPORT_BINARY_DEST}/lakeport-nights")
file(RELATIVE_PATH LAUNCHER_TO_DATA "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${LAKEPORT_DATA_DEST}")
configure_file(${CMAKE_SOURCE_DIR}/dist/lakeport-nights.in
               ${CMAKE_BINARY_DIR}/launcher/lakeport-nights @ONLY)

install(TARGETS lakeport-nights RUNTIME DESTINATION ${LAKEPORT_BINARY_DEST})
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/lakeport-nights DESTINATION ${CMAKE_INSTALL_BINDIR})
if(LAKEPORT_ASSETS)
  install(DIRECTORY ${LAKEPORT_GAME_BUILD_DIR}/pics ${LAKEPORT_GAME_BUILD_DIR}/sounds
          DESTINATION ${LAKEPORT_DATA_DEST})
endif()
# The desktop entry and the software-centre metadata share one id.
set(LAKEPORT_APP_ID org.lakeport_nights.LakeportNights)
install(FILES ${CMAKE_SOURCE_DIR}/dist/${LAKEPORT_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/${LAKEPORT_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Man pages are installed compressed, as man-db and Debian expect.
set(LAKEPORT_MAN_GZ ${CMAKE_BINARY_DIR}/man/lakeport-nights.6.gz)
add_custom_command(OUTPUT ${LAKEPORT_MAN_GZ}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/dist/lakeport-nights.6 > ${LAKEPORT_MAN_GZ}
  DEPENDS ${CMAKE_SOURCE_DIR}/dist/lakeport-nights.6)
add_custom_target(manpage ALL DEPENDS ${LAKEPORT_MAN_GZ})
install(FILES ${LAKEPORT_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
# The licence goes in as copyright and the changelog compressed, the names
# Debian gives them.
set(LAKEPORT_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${LAKEPORT_CHANGELOG_GZ}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
  COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/dist/changelog > ${LAKEPORT_CHANGELOG_GZ}
  DEPENDS ${CMAKE_SOURCE_DIR}/dist/changelog)
add_custom_target(changelog ALL DEPENDS ${LAKEPORT_CHANGELOG_GZ})
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${LAKEPORT_CHANGELOG_GZ}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lakeport-nights)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lakeport-nights
        RENAME copyright)

# Icons rendered from our own drawing at the usual hicolor sizes.
set(LAKEPORT_ICON_SVG ${CMAKE_SOURCE_DIR}/assets/icon/lakeport-nights.svg)
set(LAKEPORT_ICONS)
foreach(size 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}/lakeport-nights.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
    COMMAND rsvg-convert -w ${size} -h ${size} ${LAKEPORT_ICON_SVG} -o ${png}
    DEPENDS ${LAKEPORT_ICON_SVG} VERBATIM)
  list(APPEND LAKEPORT_ICONS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${LAKEPORT_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
add_custom_target(icons ALL DEPENDS ${LAKEPORT_ICONS})

set(CPACK_PACKAGE_NAME "lakeport-nights")
set(CPACK_PACKAGE_VENDOR "the Lakeport Nights developers")
set(CPACK_PACKAGE_CONTACT "the Lakeport Nights developers <lakeport-nights@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shooting gallery in the gangland of the 1920s")
set(CPACK_PACKAGE_DESCRIPTION
    "Gangsters and bystanders step into the doors and windows of a night street;\n\
shoot the gangsters, spare the bystanders. Mouse, keyboard, two joysticks and\n\
a serial motion tracker each play as a player of their own, all together.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
# The usual name, lakeport-nights_<version>_<architecture>.deb, with the
# architecture dpkg reports.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# dpkg-shlibdeps names the SDL runtime libraries (and libc, libstdc++) the
# binary links, with the versions it needs; without it they are named by hand.
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl1.2debian, libsdl-image1.2, libsdl-mixer1.2")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/DebStaging.cmake)
set(CPACK_LAKEPORT_DIST_DIR ${CMAKE_SOURCE_DIR}/dist)
set(CPACK_GENERATOR "DEB")
include(CPack)
