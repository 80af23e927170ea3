# cmake --install and the Debian package (cpack -G DEB in the build folder).
#
#   bin/halvotmpro2006, bin/tmpro, bin/tallowmere-setup   links into lib/tallowmere-pro/
#   lib/tallowmere-pro/   the programs, the language files beside them (where they look for
#                         them), tmpro's clipboard module (loaded from beside tmpro), the setup
#                         extension and its driver
#   share/applications, share/mime/packages, share/icons/hicolor   the desktop's entries
#   share/tallowmere-pro/samples   the samples tallowmere-setup copies for each user
#   share/man/man1/tmpro.1 and the completions (top-level CMakeLists.txt)
set(TW_PRIVATE_DIR lib/tallowmere-pro)

set(TW_INSTALLED_PROGRAMS tmpro)
if(TW_BUILD_GUI)
    list(APPEND TW_INSTALLED_PROGRAMS halvotmpro2006)
endif()
install(TARGETS ${TW_INSTALLED_PROGRAMS} tallowmere-setup RUNTIME DESTINATION ${TW_PRIVATE_DIR})
install(TARGETS TallowmerePro2006_MobileSetup LIBRARY DESTINATION ${TW_PRIVATE_DIR} NAMELINK_SKIP)
install(TARGETS tmpro-clip LIBRARY DESTINATION ${TW_PRIVATE_DIR})
install(FILES ${TW_LANGUAGE_MODULES} DESTINATION ${TW_PRIVATE_DIR})

# Relative links, so the tree works under any prefix and inside the package.
set(TW_LINK_DIR ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${TW_LINK_DIR})
foreach(program ${TW_INSTALLED_PROGRAMS} tallowmere-setup)
    file(CREATE_LINK ../${TW_PRIVATE_DIR}/${program} ${TW_LINK_DIR}/${program} SYMBOLIC)
    install(FILES ${TW_LINK_DIR}/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

install(FILES "${CMAKE_BINARY_DIR}/samples/My Sample Wallet.tm5" "${CMAKE_BINARY_DIR}/samples/Form Sample.tmx"
              "${CMAKE_BINARY_DIR}/samples/Import Sample.txt"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tallowmere-pro/samples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallowmere-pro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Halvorsgarden)
set(CPACK_PACKAGE_CONTACT "Tallowmere Pro developers <tallowmere@halvorsgarden.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "password and private-data wallet")
set(CPACK_PACKAGE_DESCRIPTION
    "Tallowmere Pro keeps passwords, PINs, account numbers and other private data in enciphered\n"
    "wallet files (.tm5). It holds the desktop program halvotmpro2006, the command-line tool tmpro\n"
    "and tallowmere-setup, which gives each user the samples and a language.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The file types and the menu entry are registered by the triggers of these packages; the
# program's windows need Qt's X11 and Wayland platform plugins, which libqt6gui6 leaves out.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
