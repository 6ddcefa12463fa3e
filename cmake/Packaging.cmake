# What `cmake --install` puts where, and the packages CPack makes of it:
#   on Linux   a Debian package (DEB) for /usr, its dependencies computed by dpkg-shlibdeps;
#   on Windows a zip of the static program with the README and the licence.
# scripts/package makes them all into dist/, with the browser folder's archive.
# The browser build's folder is archived as it is, by scripts/package.
if(EMSCRIPTEN)
  return()
endif()
set(ORV_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

set(CPACK_PACKAGE_NAME orvendal)
set(CPACK_PACKAGE_VENDOR "The Orvendal developers")
set(CPACK_PACKAGE_CONTACT "The Orvendal developers <developers@orvendal.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small arcade game: steer a ship over a star field")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  if(TARGET orvendal)
    # The file icon and the version resource.
    set(ORV_ICON_FILE ${PROJECT_SOURCE_DIR}/assets/icons/orvendal.ico)
    configure_file(${PROJECT_SOURCE_DIR}/assets/version.rc.in ${CMAKE_BINARY_DIR}/version.rc @ONLY)
    target_sources(orvendal PRIVATE ${CMAKE_BINARY_DIR}/version.rc)
    set_source_files_properties(${CMAKE_BINARY_DIR}/version.rc PROPERTIES
      OBJECT_DEPENDS ${ORV_ICON_FILE})
    install(TARGETS orvendal RUNTIME DESTINATION .)
  endif()
  install(FILES README.md DESTINATION .)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME orvendal-${PROJECT_VERSION}-windows-x86_64)
  include(CPack)
  return()
endif()

# Linux: the conventional places, games in games/ under the prefix.
include(GNUInstallDirs)
set(ORV_INSTALL_GAMESDIR games CACHE STRING "Where the program goes, below the prefix")
set(ORV_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/orvendal)

if(TARGET orvendal)
  install(TARGETS orvendal RUNTIME DESTINATION ${ORV_INSTALL_GAMESDIR})
endif()
install(FILES ${ORV_PACKAGING_DIR}/orvendal.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/orvendal-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME orvendal.png)
endforeach()

# The changelog's latest entry is for this version.
file(STRINGS ${ORV_PACKAGING_DIR}/debian/changelog orv_changelog_top LIMIT_COUNT 1)
if(NOT orv_changelog_top MATCHES "^orvendal \\(${PROJECT_VERSION}\\) ")
  message(WARNING "packaging/debian/changelog begins '${orv_changelog_top}': "
                  "add an entry for ${PROJECT_VERSION} at its top")
endif()

# The manual page and the Debian changelog, compressed as Debian wants them (no time stamp).
configure_file(${ORV_PACKAGING_DIR}/orvendal.6.in ${CMAKE_BINARY_DIR}/packaging/orvendal.6 @ONLY)
set(orv_compressed ${CMAKE_BINARY_DIR}/packaging/orvendal.6.gz
                   ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${orv_compressed}
  COMMAND sh -c "gzip -9nc packaging/orvendal.6 >packaging/orvendal.6.gz"
  COMMAND sh -c "gzip -9nc '${ORV_PACKAGING_DIR}/debian/changelog' >packaging/changelog.gz"
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/orvendal.6 ${ORV_PACKAGING_DIR}/debian/changelog
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Compressing the manual page and the changelog"
  VERBATIM)
add_custom_target(orv_packaging_files ALL DEPENDS ${orv_compressed})
install(FILES ${CMAKE_BINARY_DIR}/packaging/orvendal.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES README.md ${ORV_PACKAGING_DIR}/debian/copyright
              ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${ORV_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Below the summary line, which CPack puts first.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvendal shows a title menu over a space backdrop. Start lets the player
steer a ship with the arrow keys or a joystick; when the ship touches the
orb, play ends and the menu is back. The game takes the whole screen at
640x480 with 256 colours, scaled by a whole factor; it also plays in a
window (--window, --scale N).")
include(CPack)
