# cmake --install: the program with its user guide beside it (where it looks for the guide), and
# what makes it a desktop application: the desktop entry, the AppStream metainfo and the icons in
# the hicolor theme, all named by the application's id. Included at the end of the top-level
# CMakeLists.txt, once every target exists. The stand-in reading program installs and registers
# itself (tools/orlavex).
include(GNUInstallDirs)

if(NOT TARGET quillrun)
    return()
endif()

set(quillrunAppId com.tandrel.Quillrun)
set(quillrunUiRes ${CMAKE_SOURCE_DIR}/src/ui/res)

# The dialog finds its guide beside its own executable. A Debian package may have no folder in
# /usr/bin, so it keeps both in a folder of their own (lib/quillrun), with a link in bin.
set(QUILLRUN_DIALOG_DIR ${CMAKE_INSTALL_BINDIR} CACHE STRING
    "Where the dialog and its guide are installed (below the prefix)")
install(TARGETS quillrun RUNTIME DESTINATION ${QUILLRUN_DIALOG_DIR})

foreach(helpFile IN LISTS QUILLRUN_HELP_FILES)
    get_filename_component(helpFolder ${helpFile} DIRECTORY)
    install(FILES ${quillrunUiRes}/help/${helpFile}
            DESTINATION ${QUILLRUN_DIALOG_DIR}/${helpFolder})
endforeach()
if(NOT QUILLRUN_DIALOG_DIR STREQUAL CMAKE_INSTALL_BINDIR)
    file(RELATIVE_PATH dialogLink /${CMAKE_INSTALL_BINDIR} /${QUILLRUN_DIALOG_DIR}/quillrun)
    install(CODE "
        set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(MAKE_DIRECTORY \"\${bin}\")
        file(CREATE_LINK ${dialogLink} \"\${bin}/quillrun\" SYMBOLIC)")
endif()

foreach(iconSize 16 32 48 256)
    install(FILES ${quillrunUiRes}/icons/quillrun-${iconSize}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${iconSize}x${iconSize}/apps
            RENAME ${quillrunAppId}.png)
endforeach()
install(FILES ${quillrunUiRes}/icons/quillrun.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${quillrunAppId}.svg)

install(FILES ${quillrunUiRes}/desktop/quillrun.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        RENAME ${quillrunAppId}.desktop)

configure_file(${quillrunUiRes}/desktop/${quillrunAppId}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${quillrunAppId}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${quillrunAppId}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
