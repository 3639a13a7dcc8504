# Installation where a desktop finds the game, and the Debian package.
set(TESSLE_APP_ID "example.korvanel.Tessle")
set(TESSLE_INSTALL_GAMESDIR "games" CACHE STRING "Directory of the game binary, relative to the prefix")

install(TARGETS tessle RUNTIME DESTINATION ${TESSLE_INSTALL_GAMESDIR})
# Run by the package's postinst, as root, to make the shared record store.
install(TARGETS tessle-store-setup RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tessle)
# The solver from the command line, beside the game (no setgid: it touches no store).
install(TARGETS tessle-solve RUNTIME DESTINATION ${TESSLE_INSTALL_GAMESDIR})

set(linux_dir ${PROJECT_SOURCE_DIR}/resources/linux)
install(FILES ${linux_dir}/${TESSLE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${linux_dir}/${TESSLE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/tessle-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${TESSLE_APP_ID}.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/tessle.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${TESSLE_APP_ID}.svg)

# The manual page and the changelog go compressed, reproducibly (no name, no time stamp).
set(gz_dir ${CMAKE_BINARY_DIR}/gz)
foreach(item "tessle.6" "tessle-solve.6" "changelog" "NEWS")
  add_custom_command(OUTPUT ${gz_dir}/${item}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${gz_dir}
    COMMAND gzip -9n -c ${linux_dir}/${item} > ${gz_dir}/${item}.gz
    DEPENDS ${linux_dir}/${item} VERBATIM)
  list(APPEND gz_files ${gz_dir}/${item}.gz)
endforeach()
add_custom_target(tessle_docs ALL DEPENDS ${gz_files})
install(FILES ${gz_dir}/tessle.6.gz ${gz_dir}/tessle-solve.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${gz_dir}/changelog.gz ${linux_dir}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessle)
install(FILES ${gz_dir}/NEWS.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessle RENAME NEWS.Debian.gz)

# Debian package: `cpack -G DEB` in a build configured with CMAKE_INSTALL_PREFIX=/usr and
# TESSLE_STORE_DIR=/var/games, the places the maintainer scripts set up.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessle)
set(CPACK_PACKAGE_VENDOR KORVANEL)
set(CPACK_PACKAGE_CONTACT "KORVANEL <tessle@korvanel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sliding tile picture puzzle")
set(CPACK_PACKAGE_DESCRIPTION
    "A picture is cut into a 3 x 3 or 4 x 4 grid with one tile left blank;\nslide the tiles back in as few moves as you can. The fewest moves per\nboard size are shared by every user of the computer, and a solver shows\nthe shortest solution of any 3 x 3 position step by step.\nThe arrow keys slide the tiles, and H marks the tile that starts a\nshortest solution on either board size.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tessle.korvanel.example/soft/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins are a package of their own that no library dependency names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${linux_dir}/postinst;${linux_dir}/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
