# The manual beside the program in the build folder, and what
# `cmake --install` puts where a Debian system expects it:
#
#   <libexecdir>/pellmark/   the program, the stand-in address book library and
#                            its tool, the stand-in Outlook (server and program),
#                            the registry file naming those installed paths, and
#                            a link to the manual: the program finds all of them
#                            in its own folder, as it does in build/bin
#   <bindir>/                links: pellmark, pellmark-wabtool, pellmark-outlook
#   <docdir>/PELLMARK.html   the manual
#   <datadir>/applications/, metainfo/, icons/hicolor/{scalable,256x256}/apps/
#                            the desktop entry, the AppStream file, the icon
include(GNUInstallDirs)
# The manual's folder is named after the package, share/doc/pellmark, unless
# the builder chose another.
if(CMAKE_INSTALL_DOCDIR STREQUAL "${CMAKE_INSTALL_DATAROOTDIR}/doc/${PROJECT_NAME}")
  set(CMAKE_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/pellmark")
endif()

set(PELLMARK_APP_ID "com.tessaro.Pellmark")
set(_data ${PROJECT_SOURCE_DIR}/data)

# The manual is opened from the program's folder, so the build puts a copy
# there (copied again whenever the source changes).
configure_file(${PROJECT_SOURCE_DIR}/docs/PELLMARK.html ${PELLMARK_BIN_DIR}/PELLMARK.html COPYONLY)

set(_progdir ${CMAKE_INSTALL_LIBEXECDIR}/pellmark)

# Installed programs find the stand-in Outlook server beside themselves.
foreach(_t pellmark OUTLOOK.EXE wabtool)
  if(TARGET ${_t})
    set_target_properties(${_t} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${_t} RUNTIME DESTINATION ${_progdir})
  endif()
endforeach()
foreach(_t wab32 olstandin)
  if(TARGET ${_t})
    install(TARGETS ${_t} LIBRARY DESTINATION ${_progdir})
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/docs/PELLMARK.html DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${_data}/${PELLMARK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_data}/${PELLMARK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon is the program's logo: its SVG as the scalable icon, and a 256 x 256
# rendering drawn at build time by the same code that draws it in the window.
add_executable(pellmark_render_icon ${_data}/RenderIcon.cpp)
target_link_libraries(pellmark_render_icon PRIVATE ui)
set(_icon_png ${CMAKE_BINARY_DIR}/data/${PELLMARK_APP_ID}.png)
add_custom_command(OUTPUT ${_icon_png}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/data
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:pellmark_render_icon> ${_icon_png} 256
  DEPENDS pellmark_render_icon
  COMMENT "Rendering the 256 x 256 icon")
add_custom_target(pellmark_icon ALL DEPENDS ${_icon_png})
install(FILES ${PROJECT_SOURCE_DIR}/app/ui/pellmark.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${PELLMARK_APP_ID}.svg)
install(FILES ${_icon_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# At install time (the prefix may be given only then): the registry file is
# the build's, with the build folder replaced by the installed program
# folder; then the links. Paths inside the registry file name the prefix,
# not a staging DESTDIR.
install(CODE "
  set(_prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(_dest \"\$ENV{DESTDIR}\${_prefix}/${_progdir}\")
  file(READ \"${PELLMARK_BIN_DIR}/pellmark.reg\" _reg)
  string(REPLACE \"${PELLMARK_BIN_DIR}/\" \"\${_prefix}/${_progdir}/\" _reg \"\${_reg}\")
  file(MAKE_DIRECTORY \"\${_dest}\")
  message(STATUS \"Installing: \${_dest}/pellmark.reg\")
  file(WRITE \"\${_dest}/pellmark.reg\" \"\${_reg}\")
  file(RELATIVE_PATH _doc \"\${_prefix}/${_progdir}\" \"\${_prefix}/${CMAKE_INSTALL_DOCDIR}/PELLMARK.html\")
  file(CREATE_LINK \"\${_doc}\" \"\${_dest}/PELLMARK.html\" SYMBOLIC)
  set(_bin \"\$ENV{DESTDIR}\${_prefix}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${_bin}\")
  file(RELATIVE_PATH _up \"\${_prefix}/${CMAKE_INSTALL_BINDIR}\" \"\${_prefix}/${_progdir}\")
  foreach(_pair pellmark:pellmark wabtool:pellmark-wabtool OUTLOOK.EXE:pellmark-outlook)
    string(REPLACE \":\" \";\" _pair \"\${_pair}\")
    list(GET _pair 0 _target)
    list(GET _pair 1 _link)
    if(EXISTS \"\${_dest}/\${_target}\")
      message(STATUS \"Installing: \${_bin}/\${_link}\")
      file(CREATE_LINK \"\${_up}/\${_target}\" \"\${_bin}/\${_link}\" SYMBOLIC)
    endif()
  endforeach()
")
