# What `cmake --install` puts where, and the packages CPack makes of it: on Linux a Debian package
# (dependencies worked out from the binaries by dpkg-shlibdeps), in the Windows build a zip to run
# from anywhere and an NSIS installer. Programs are installed only when their targets exist, so a
# build without the desktop program still packages the converter.
include(GNUInstallDirs)

set(K2L_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR}/../packaging)
set(K2L_ICON_DIR ${CMAKE_CURRENT_LIST_DIR}/../data/icons)
set(K2L_ICON_SIZES 16 32 48 64 128 256)

# Packages want directories that everyone may read, whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# A Windows install is one folder: the programs at its top (where the Start-menu shortcuts point),
# README beside them, the examples in a subfolder.
if(WIN32)
  set(K2L_INSTALL_BIN .)
  set(K2L_INSTALL_DOC .)
else()
  set(K2L_INSTALL_BIN ${CMAKE_INSTALL_BINDIR})
  set(K2L_INSTALL_DOC ${CMAKE_INSTALL_DOCDIR})
endif()

foreach(program kelva2larmis kelva2larmis-convert)
  if(TARGET ${program})
    # Qt's project set-up gives programs an $ORIGIN search path for private libraries; ours load
    # only system libraries, and Debian forbids such paths in packaged programs.
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "")
    install(TARGETS ${program} RUNTIME DESTINATION ${K2L_INSTALL_BIN})
  endif()
endforeach()

install(FILES ${CMAKE_CURRENT_LIST_DIR}/../README.md DESTINATION ${K2L_INSTALL_DOC})
# The licence goes with every copy; Debian has it in its copyright file instead.
if(WIN32)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/../LICENSE DESTINATION ${K2L_INSTALL_DOC}
          RENAME LICENSE.txt)
endif()
install(FILES ${CMAKE_CURRENT_LIST_DIR}/../examples/ARTICLE.TXT
              ${CMAKE_CURRENT_LIST_DIR}/../examples/PRINT.TXT
        DESTINATION ${K2L_INSTALL_DOC}/examples)

if(NOT WIN32)
  # The changelog names the version it describes; a version without its entry would ship a
  # package whose changelog contradicts it.
  file(STRINGS ${K2L_PACKAGING_DIR}/changelog k2l_changelog_head LIMIT_COUNT 1)
  if(NOT k2l_changelog_head MATCHES "^kelva2larmis \\(${PROJECT_VERSION}\\) ")
    message(WARNING "packaging/changelog has no entry for version ${PROJECT_VERSION} at its top")
  endif()

  # Compressed with -n: no name or time stamp in the .gz, so two builds give the same bytes.
  set(k2l_compressed ${CMAKE_CURRENT_BINARY_DIR}/packaging)
  file(MAKE_DIRECTORY ${k2l_compressed})
  function(k2l_gzip source target)
    add_custom_command(OUTPUT ${target}
                       COMMAND gzip -9n -c ${source} > ${target}
                       DEPENDS ${source} VERBATIM)
  endfunction()
  k2l_gzip(${K2L_PACKAGING_DIR}/changelog ${k2l_compressed}/changelog.gz)
  set(k2l_generated ${k2l_compressed}/changelog.gz)

  if(TARGET kelva2larmis)
    k2l_gzip(${K2L_PACKAGING_DIR}/kelva2larmis.1 ${k2l_compressed}/kelva2larmis.1.gz)
    list(APPEND k2l_generated ${k2l_compressed}/kelva2larmis.1.gz)
    install(FILES ${k2l_compressed}/kelva2larmis.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${K2L_PACKAGING_DIR}/kelva2larmis.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(size ${K2L_ICON_SIZES})
      install(FILES ${K2L_ICON_DIR}/kelva2larmis-${size}.png
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
              RENAME kelva2larmis.png)
    endforeach()
    install(FILES ${K2L_ICON_DIR}/kelva2larmis.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  endif()

  # The converter's manual page is made from its own --help and --version, so it cannot drift
  # from them.
  find_program(K2L_HELP2MAN help2man)
  if(TARGET kelva2larmis-convert AND K2L_HELP2MAN)
    set(page ${k2l_compressed}/kelva2larmis-convert.1)
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${K2L_HELP2MAN} --locale=C.UTF-8 --no-info --no-discard-stderr
              --include=${K2L_PACKAGING_DIR}/kelva2larmis-convert.h2m --output=${page}
              $<TARGET_FILE:kelva2larmis-convert>
      COMMAND gzip -9nf ${page}
      DEPENDS kelva2larmis-convert ${K2L_PACKAGING_DIR}/kelva2larmis-convert.h2m VERBATIM)
    list(APPEND k2l_generated ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  elseif(TARGET kelva2larmis-convert)
    message(WARNING "help2man not found: the converter's manual page is not built (scripts/deps "
                    "installs it)")
  endif()
  add_custom_target(k2l_packaging_files ALL DEPENDS ${k2l_generated})

  install(FILES ${K2L_PACKAGING_DIR}/copyright ${k2l_compressed}/changelog.gz
          DESTINATION ${K2L_INSTALL_DOC})
endif()

set(CPACK_PACKAGE_NAME kelva2larmis)
set(CPACK_PACKAGE_VENDOR kelva2larmis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "move a KELVA goods directory and stock into ЛАРМИС")
# (Lines of at most 80 characters: Debian shows the description as it is.)
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "kelva2larmis reads the two fixed-column text reports that the shop system\n"
       "KELVA saves (ARTICLE.TXT and PRINT.TXT, code page 866), generates the missing\n"
       "barcodes, lets the operator review and correct every row, and writes the two\n"
       "dBASE III tables that the fuel-station software ЛАРМИС loads as its goods\n"
       "directory and quick inventory.\n"
       "The package holds the desktop program and kelva2larmis-convert, the same\n"
       "conversion on the command line.")
set(K2L_PACKAGE_CONTACT "kelva2larmis maintainers <maintainers@kelva2larmis.example>"
    CACHE STRING "Maintainer of the packages (name <address>)")
set(CPACK_PACKAGE_CONTACT ${K2L_PACKAGE_CONTACT})
# Release packages carry no symbols, whatever the build type.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  set(CPACK_GENERATOR ZIP NSIS)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY kelva2larmis)
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY kelva2larmis)
  set(CPACK_NSIS_PACKAGE_NAME kelva2larmis)
  set(CPACK_NSIS_DISPLAY_NAME "kelva2larmis ${PROJECT_VERSION}")
  set(CPACK_NSIS_CONTACT ${K2L_PACKAGE_CONTACT})
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
  # Our own installer script (packaging/NSIS.template.in): for the current user by default, for
  # all users with /AllUsers, an earlier installation of either kind replaced.
  set(CPACK_MODULE_PATH ${K2L_PACKAGING_DIR} ${CMAKE_MODULE_PATH})
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  file(REAL_PATH ${CMAKE_CURRENT_LIST_DIR}/../LICENSE CPACK_RESOURCE_FILE_LICENSE)
  set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
  # A 64-bit installer for the 64-bit programs, and Unicode, so that a folder with Cyrillic
  # letters installs whatever the system's ANSI code page (NSIS defaults to a 32-bit ANSI one).
  set(CPACK_NSIS_DEFINES "Target amd64-unicode")
  set(CPACK_NSIS_MENU_LINKS "examples" "Examples")
  if(TARGET kelva2larmis)
    set(CPACK_PACKAGE_EXECUTABLES kelva2larmis kelva2larmis)
    set(CPACK_NSIS_INSTALLED_ICON_NAME kelva2larmis.exe)
  endif()
  file(REAL_PATH ${K2L_ICON_DIR}/kelva2larmis.ico k2l_icon)
  set(CPACK_NSIS_MUI_ICON ${k2l_icon})
  set(CPACK_NSIS_MUI_UNIICON ${k2l_icon})
  # The installer's name says what it is beside the zip of the same programs.
  set(CPACK_PROJECT_CONFIG_FILE ${K2L_PACKAGING_DIR}/CPackProjectConfig.cmake)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The windows are drawn in Tahoma, which Debian ships with Wine's fonts; without it they fall
  # back to the default font.
  if(TARGET kelva2larmis)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-wine)
  endif()
endif()

include(CPack)

# Packages are made of ordinary builds: the sanitizer builds' programs would only bring their
# runtime libraries into the package checks.
if(K2L_BUILD_TESTS AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/../tests/packaging ${CMAKE_BINARY_DIR}/tests/packaging)
endif()
