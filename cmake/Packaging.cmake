# The releases, made by `cpack` in a built tree from whatever the tree installs: a Debian package
# on Linux; on Windows a zip of the programs and an NSIS installer. Included last, once every
# target is known.
# The name, version, summary and maker are the project's (the top CMakeLists.txt).
set(CPACK_PACKAGE_NAME quorvel-splitter)
set(CPACK_PACKAGE_VENDOR "${QUORVEL_VENDOR}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "${QUORVEL_PRODUCT_NAME} cuts one file into numbered pieces of a chosen size\n"
    "(1_report.doc, 2_report.doc, ...) so that a file too large for one removable\n"
    "medium can be carried on several, and joins such pieces back into the whole\n"
    "file, byte for byte. It comes as a dialog, quorvel-splitter, and a command-line\n"
    "tool for scripts, quorvel-split.")
list(JOIN CPACK_PACKAGE_DESCRIPTION "" CPACK_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGE_CONTACT "${QUORVEL_CONTACT}")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
  # The zip and the installer would otherwise differ only in their extension.
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagingPerGenerator.cmake)

  set(CPACK_PACKAGE_INSTALL_DIRECTORY "${QUORVEL_PRODUCT_NAME}")
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "${QUORVEL_PRODUCT_NAME}")
  set(CPACK_NSIS_DISPLAY_NAME "${QUORVEL_PRODUCT_NAME}")
  set(CPACK_NSIS_PACKAGE_NAME "${QUORVEL_PRODUCT_NAME}")
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/res/icons/app_128.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/res/icons/app_128.ico)
  # The project ships no licence text to agree to.
  set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY ${CMAKE_INSTALL_BINDIR})
  set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
  set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
  # The Start menu opens the dialog, and so can the last page; the command-line tool alone gets
  # only the uninstaller's entry, as a console program started from there would close before it
  # could be read.
  if(TARGET quorvel-splitter)
    set(CPACK_PACKAGE_EXECUTABLES quorvel-splitter "${QUORVEL_PRODUCT_NAME}")
    set(CPACK_NSIS_INSTALLED_ICON_NAME quorvel-splitter.exe)
    set(CPACK_NSIS_MUI_FINISHPAGE_RUN quorvel-splitter.exe)
  endif()
  # Add/Remove Programs shows the size of what the installer put in place (in KiB), beside the
  # publisher it shows already. (Double quotes would not survive into CPack's configuration.)
  set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  SectionGetSize 0 $0
  WriteRegDWORD SHCTX 'Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\@CPACK_PACKAGE_INSTALL_REGISTRY_KEY@' EstimatedSize $0]=])
  string(CONFIGURE "${CPACK_NSIS_EXTRA_INSTALL_COMMANDS}" CPACK_NSIS_EXTRA_INSTALL_COMMANDS @ONLY)

  # quorvel-split goes on the user's PATH unless the options page says otherwise, and off it again
  # on uninstall. CMake's own installer script puts the folder's bin there, where our programs sit
  # at the top of theirs: the script is taken with that one change, beside our options page.
  set(CPACK_NSIS_MODIFY_PATH ON)
  set(nsis_templates ${PROJECT_BINARY_DIR}/nsis)
  file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in installer)
  string(REGEX MATCHALL "Push \\$INSTDIR\\\\bin\n" binPushes "${installer}")
  list(LENGTH binPushes binPushCount)
  if(NOT binPushCount EQUAL 2)
    message(FATAL_ERROR "CMake's NSIS template no longer puts $INSTDIR\\bin on the PATH where expected")
  endif()
  string(REPLACE "Push $INSTDIR\\bin\n" "Push $INSTDIR\n" installer "${installer}")
  file(WRITE ${nsis_templates}/NSIS.template.in "${installer}")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/nsis/NSIS.InstallOptions.ini.in
    ${nsis_templates}/NSIS.InstallOptions.ini.in COPYONLY)
  set(CPACK_MODULE_PATH ${nsis_templates} ${CMAKE_MODULE_PATH})
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
