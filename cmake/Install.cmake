# Installation: `cmake --install build --prefix PREFIX` and the Debian package (cpack -G DEB).
#
#   PREFIX/lib/msx-desktop-kit/   the executables beside the kit's data, with the installed-kit
#                                 marker, so each program keeps its state in the user's folders
#   PREFIX/bin/tarvel, lumivo     links to the executables there
#   PREFIX/share/applications/    a menu entry per program
#   PREFIX/share/icons/hicolor/   their icons and the project file type's
#   PREFIX/share/mime/packages/   the .tpj file type
set(KIT_INSTALL_DIR "lib/msx-desktop-kit")
set(KIT_PACKAGING_DIR "${CMAKE_SOURCE_DIR}/packaging")

install(TARGETS tarvel lumivo RUNTIME DESTINATION "${KIT_INSTALL_DIR}")
install(DIRECTORY "${KIT_SOURCE_DIR}/" DESTINATION "${KIT_INSTALL_DIR}" USE_SOURCE_PERMISSIONS)
install(FILES "${KIT_OUTPUT_DIR}/tarvel.png" "${KIT_PACKAGING_DIR}/installed-kit" DESTINATION "${KIT_INSTALL_DIR}")

# The links are made in the build tree and installed as links.
set(kit_links "${CMAKE_BINARY_DIR}/install-links")
file(MAKE_DIRECTORY "${kit_links}")
foreach(program tarvel lumivo)
  file(CREATE_LINK "../${KIT_INSTALL_DIR}/${program}" "${kit_links}/${program}" SYMBOLIC)
  install(FILES "${kit_links}/${program}" DESTINATION bin)
endforeach()

install(FILES "${KIT_PACKAGING_DIR}/tarvel.desktop" "${KIT_PACKAGING_DIR}/lumivo.desktop"
        DESTINATION share/applications)
install(FILES "${KIT_OUTPUT_DIR}/tarvel.png" DESTINATION share/icons/hicolor/64x64/apps)
install(FILES "${LUMIVO_ICON}" DESTINATION share/icons/hicolor/64x64/apps)
install(FILES "${KIT_OUTPUT_DIR}/tarvel.png" DESTINATION share/icons/hicolor/64x64/mimetypes
        RENAME application-x-tarvel-project.png)
install(FILES "${KIT_PACKAGING_DIR}/tarvel-mime.xml" DESTINATION share/mime/packages RENAME tarvel.xml)

# A direct installation brings the desktop's caches up to date itself; the package leaves that
# to dpkg's triggers (DESTDIR is set while CPack stages it).
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    set(share "${CMAKE_INSTALL_PREFIX}/share")
    find_program(kit_update_mime update-mime-database)
    find_program(kit_update_desktop update-desktop-database)
    find_program(kit_update_icons gtk-update-icon-cache)
    if(kit_update_mime)
      execute_process(COMMAND "${kit_update_mime}" "${share}/mime")
    endif()
    if(kit_update_desktop)
      execute_process(COMMAND "${kit_update_desktop}" "${share}/applications")
    endif()
    if(kit_update_icons AND EXISTS "${share}/icons/hicolor/index.theme")
      execute_process(COMMAND "${kit_update_icons}" -q -t "${share}/icons/hicolor")
    endif()
  endif()
]])

# The documentation every Debian package carries: the copyright notice and a change log in
# Debian's format that points at the kit's own history.
set(kit_doc "${CMAKE_BINARY_DIR}/package-doc")
string(TIMESTAMP kit_date "%a, %d %b %Y 00:00:00 +0000" UTC)
file(WRITE "${kit_doc}/changelog"
  "msx-desktop-kit (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
  "  * Version ${PROJECT_VERSION}; the changes are listed in\n"
  "    /usr/lib/msx-desktop-kit/history.txt.\n\n"
  " -- MSX desktop kit developers <kit@example.invalid>  ${kit_date}\n")
add_custom_command(
  OUTPUT "${kit_doc}/changelog.gz"
  COMMAND gzip -n -9 -f -k "${kit_doc}/changelog"
  DEPENDS "${kit_doc}/changelog"
  COMMENT "Compressing the change log for the package")
set(kit_pages)
foreach(page tarvel.1 lumivo.1)
  add_custom_command(
    OUTPUT "${kit_doc}/${page}.gz"
    COMMAND gzip -n -9 -c "${KIT_PACKAGING_DIR}/${page}" > "${kit_doc}/${page}.gz"
    DEPENDS "${KIT_PACKAGING_DIR}/${page}"
    COMMENT "Compressing the manual page ${page}")
  list(APPEND kit_pages "${kit_doc}/${page}.gz")
endforeach()
add_custom_target(package_doc ALL DEPENDS "${kit_doc}/changelog.gz" ${kit_pages})
install(FILES "${KIT_PACKAGING_DIR}/copyright" "${kit_doc}/changelog.gz" DESTINATION share/doc/msx-desktop-kit)
install(FILES ${kit_pages} DESTINATION share/man/man1)

set(CPACK_PACKAGE_NAME "msx-desktop-kit")
set(CPACK_PACKAGE_VENDOR "MSX desktop kit developers")
set(CPACK_PACKAGE_CONTACT "MSX desktop kit developers <kit@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turbo Pascal 3 IDE and emulator launcher for MSX")
# The summary is the synopsis line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tarvel is an IDE for Turbo Pascal 3 programs that run on MSX computers:
an editor with a project tree, builds through the outside compiler,
compile-and-run in an emulator and new projects from templates.
Lumivo starts an MSX emulator (openMSX, BR-MSX in DOSBox or fMSX) on a
disk image, ROM, tape image or folder.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "devel")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "mtools")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "openmsx, dosbox")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
