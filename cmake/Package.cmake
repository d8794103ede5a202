# The Debian package (bash scripts/setup.sh package): the program in /usr/bin, its menu entry,
# icons and AppStream metainfo, and an empty database that the first start of each user copies
# into the user's data folder.
include(GNUInstallDirs)

set(DN_APP_ID com.example.DeliveryNote)
set(DN_PACKAGE delivery-note)
set(DN_TEMPLATE_DIR ${CMAKE_INSTALL_DATADIR}/${DN_PACKAGE})

# A template made fresh for the package, never the database a developer works on beside the
# program.
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/template/data.mdb
    COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_BINARY_DIR}/template/data.mdb
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/template
    COMMAND make-empty-db ${CMAKE_BINARY_DIR}/template/data.mdb
    DEPENDS make-empty-db
    VERBATIM)
add_custom_target(database-template ALL DEPENDS ${CMAKE_BINARY_DIR}/template/data.mdb)

install(TARGETS delivery-note RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/template/data.mdb DESTINATION ${DN_TEMPLATE_DIR})
install(FILES resources/package/${DN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/package/${DN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/pictures/app_icon_48.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME ${DN_APP_ID}.png)
install(FILES resources/pictures/app_icon.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME ${DN_APP_ID}.png)
install(FILES resources/pictures/src/app_icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${DN_APP_ID}.svg)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${DN_PACKAGE})
set(CPACK_PACKAGE_VERSION 2.5.0)
set(CPACK_PACKAGE_CONTACT "support@example.com")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "澄朔送货单打印软件: delivery notes for a small business")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the libraries do not name them: the note's 宋体 and Arial stand-ins and
# the Chinese texts of the standard dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-noto-cjk, fonts-liberation | fonts-dejavu-core, qt6-translations-l10n")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
