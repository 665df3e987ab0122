# `cmake --install <build> --prefix <prefix>` lays out Pagemint as a desktop program:
#   <prefix>/lib/pagemint/pagemint          the program; its application folder (setting.dll is
#   <prefix>/lib/pagemint/data/pdf.exe      written here, so the folder must be the user's own:
#   <prefix>/lib/pagemint/data/pagemint-decoder   install per user with --prefix ~/.local)
#   <prefix>/lib/pagemint/data/pagemint-fallback-decoder
#   <prefix>/lib/pagemint/data/pagemint-recognizer
#   <prefix>/lib/pagemint/data/tessdata/    the fetched Chinese model, when set-up could fetch it
#   <prefix>/lib/pagemint/help/index.html   the user guide (docs/guide.md) with its pictures
#   <prefix>/bin/pagemint                   symbolic link to the program
#   <prefix>/share/applications/pagemint.desktop, Exec naming <prefix>/bin/pagemint
#   <prefix>/share/icons/hicolor/<n>x<n>/apps/pagemint.png
# The program finds data/ beside its own executable; the kernel resolves the link in bin/ to it.

set(PAGEMINT_INSTALL_APP_DIR lib/pagemint)

install(TARGETS pagemint RUNTIME DESTINATION ${PAGEMINT_INSTALL_APP_DIR})
get_property(pagemint_helpers GLOBAL PROPERTY PAGEMINT_HELPER_TARGETS)
install(TARGETS ${pagemint_helpers} RUNTIME DESTINATION ${PAGEMINT_INSTALL_APP_DIR}/data)
install(DIRECTORY ${PAGEMINT_APP_DIR}/help DESTINATION ${PAGEMINT_INSTALL_APP_DIR})
install(DIRECTORY ${PAGEMINT_DATA_DIR}/tessdata DESTINATION ${PAGEMINT_INSTALL_APP_DIR}/data OPTIONAL)

foreach(size 16 24 32 48 128)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/icon_${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME pagemint.png)
endforeach()

# The prefix is only known when installing (--prefix may differ from the configured one), so
# the link and the desktop entry are made then.
install(CODE "set(pagemint_app_dir \"${PAGEMINT_INSTALL_APP_DIR}\")
set(pagemint_desktop_source \"${PROJECT_SOURCE_DIR}/resources/pagemint.desktop\")")
install(CODE [[
  set(pagemint_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

  file(MAKE_DIRECTORY "${pagemint_root}/bin")
  set(pagemint_link "${pagemint_root}/bin/pagemint")
  file(REMOVE "${pagemint_link}")
  file(CREATE_LINK "../${pagemint_app_dir}/pagemint" "${pagemint_link}" SYMBOLIC)
  message(STATUS "Installing: ${pagemint_link} -> ../${pagemint_app_dir}/pagemint")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${pagemint_link}")

  # The menu starts the program by its full path: <prefix>/bin need not be on the PATH.
  set(pagemint_exec "${CMAKE_INSTALL_PREFIX}/bin/pagemint")
  if(pagemint_exec MATCHES "[ \"'\\\\$`]")
    string(REGEX REPLACE "([\"\\\\$`])" "\\\\\\1" pagemint_exec "${pagemint_exec}")
    set(pagemint_exec "\"${pagemint_exec}\"")
  endif()
  file(READ "${pagemint_desktop_source}" pagemint_entry)
  string(REGEX REPLACE "\nExec=[^\n]*" "\nExec=${pagemint_exec}" pagemint_entry "${pagemint_entry}")
  set(pagemint_desktop "${pagemint_root}/share/applications/pagemint.desktop")
  file(WRITE "${pagemint_desktop}" "${pagemint_entry}")
  message(STATUS "Installing: ${pagemint_desktop}")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${pagemint_desktop}")
]])
