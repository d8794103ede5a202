# The Windows build (bash scripts/setup.sh windows): the program as a Windows GUI program with
# its icon and version, and the folder the installer is made from (target windows-stage): the
# program (without its debugging data), the Qt DLLs and plugins it needs and nothing more, Qt's
# Chinese texts, and the empty database that scripts/windows/make-installer.sh adds before
# makensis packs it.

set_target_properties(delivery-note PROPERTIES WIN32_EXECUTABLE ON)
configure_file(${CMAKE_SOURCE_DIR}/resources/windows/app.rc.in ${CMAKE_BINARY_DIR}/app.rc @ONLY)
target_sources(delivery-note PRIVATE ${CMAKE_BINARY_DIR}/app.rc)

set(DN_WINDOWS_STAGE ${CMAKE_BINARY_DIR}/stage)
get_filename_component(dn_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
set(dn_qt_dlls Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport)
set(dn_runtime_dlls libstdc++-6 libgcc_s_seh-1 libwinpthread-1 libpq)
set(dn_stage_commands
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${DN_WINDOWS_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DN_WINDOWS_STAGE}/plugins/platforms
        ${DN_WINDOWS_STAGE}/plugins/styles ${DN_WINDOWS_STAGE}/translations ${DN_WINDOWS_STAGE}/template
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:delivery-note> ${DN_WINDOWS_STAGE}/
    COMMAND ${CMAKE_STRIP} ${DN_WINDOWS_STAGE}/delivery-note.exe
    COMMAND ${CMAKE_COMMAND} -E copy ${dn_qt_prefix}/plugins/platforms/qwindows.dll
        ${DN_WINDOWS_STAGE}/plugins/platforms/
    COMMAND ${CMAKE_COMMAND} -E copy ${dn_qt_prefix}/plugins/styles/qwindowsvistastyle.dll
        ${DN_WINDOWS_STAGE}/plugins/styles/
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/windows/qt.conf ${DN_WINDOWS_STAGE}/
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/windows/app_icon.ico ${DN_WINDOWS_STAGE}/)
foreach(dll ${dn_qt_dlls} ${dn_runtime_dlls})
    list(APPEND dn_stage_commands COMMAND ${CMAKE_COMMAND} -E copy ${dn_qt_prefix}/bin/${dll}.dll
        ${DN_WINDOWS_STAGE}/)
endforeach()
# Qt's own Chinese texts (the standard dialogs' buttons) are data: Debian's qt6-translations-l10n.
set(DN_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH "Qt's .qm files")
foreach(qm qtbase_zh_CN)
    list(APPEND dn_stage_commands COMMAND ${CMAKE_COMMAND} -E copy ${DN_QT_TRANSLATIONS}/${qm}.qm
        ${DN_WINDOWS_STAGE}/translations/)
endforeach()
add_custom_target(windows-stage ${dn_stage_commands} DEPENDS delivery-note make-empty-db VERBATIM)
