# The releases, made by `cpack` in a built tree from whatever the tree installs: a Debian package
# on Linux; on Windows a zip of the programs and an NSIS installer. Included last, once every
# target is known.
set(CPACK_PACKAGE_NAME quorvel-splitter)
set(CPACK_PACKAGE_VENDOR Quorvel)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cut a large file into numbered pieces and join them back")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvel File Splitter cuts one file into numbered pieces of a chosen size\n"
    "(1_report.doc, 2_report.doc, ...) so that a file too large for one removable\n"
    "medium can be carried on several, and joins such pieces back into the whole\n"
    "file, byte for byte. It comes as a dialog, quorvel-splitter, and a command-line\n"
    "tool for scripts, quorvel-split.")
list(JOIN CPACK_PACKAGE_DESCRIPTION "" CPACK_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGE_CONTACT "Quorvel File Splitter developers <developers@quorvel.example>")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
  # The zip and the installer would otherwise differ only in their extension.
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagingPerGenerator.cmake)

  set(CPACK_PACKAGE_INSTALL_DIRECTORY "Quorvel File Splitter")
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Quorvel File Splitter")
  set(CPACK_NSIS_DISPLAY_NAME "Quorvel File Splitter")
  set(CPACK_NSIS_PACKAGE_NAME "Quorvel File Splitter")
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/res/icons/app_128.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/res/icons/app_128.ico)
  # The project ships no licence text to agree to.
  set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY ${CMAKE_INSTALL_BINDIR})
  set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
  # The Start menu opens the dialog; the command-line tool alone gets only the uninstaller's entry,
  # as a console program started from there would close before it could be read.
  if(TARGET quorvel-splitter)
    set(CPACK_PACKAGE_EXECUTABLES quorvel-splitter "Quorvel File Splitter")
    set(CPACK_NSIS_INSTALLED_ICON_NAME quorvel-splitter.exe)
  endif()
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Qt opens its window-system plugin at run time, which no library dependency shows; the dialog's
  # face is drawn in a font covering its Chinese default.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk")
endif()

include(CPack)
