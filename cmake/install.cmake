# Install rules: the program with its help file and sound, the commands, the manual pages and the
# desktop integration. The Debian package is built from debian/ and uses these rules.
# CMAKE_INSTALL_BINDIR=games puts the commands where Debian keeps games.
include(GNUInstallDirs)

set(TORIPIN_APP_ID "io.github.toripin.Toripin")
set(TORIPIN_RESOURCES "${PROJECT_SOURCE_DIR}/resources")
set(TORIPIN_APP_DIR "${PROJECT_BINARY_DIR}/app")
# The program looks for its help file beside itself, so both stay in one private directory; on
# Windows that directory is bin itself.
if(WIN32)
  set(TORIPIN_PKGLIBDIR "${CMAKE_INSTALL_BINDIR}")
else()
  set(TORIPIN_PKGLIBDIR "${CMAKE_INSTALL_LIBDIR}/toripin")
endif()

# The help file and the sound beside the built program: build/app is laid out as installed. The help
# file names the version, filled in here.
configure_file("${TORIPIN_RESOURCES}/help/tori.hlp" "${TORIPIN_APP_DIR}/tori.hlp" @ONLY)
add_custom_command(
  OUTPUT "${TORIPIN_APP_DIR}/tada.wav"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${TORIPIN_APP_DIR}"
  COMMAND ${CMAKE_COMMAND} -E copy "${TORIPIN_RESOURCES}/sound/tada.wav" "${TORIPIN_APP_DIR}/"
  DEPENDS "${TORIPIN_RESOURCES}/sound/tada.wav"
  COMMENT "Copying tada.wav beside the program"
  VERBATIM)
add_custom_target(toripin_app_files ALL DEPENDS "${TORIPIN_APP_DIR}/tada.wav")
set(toripin_app_files "${TORIPIN_APP_DIR}/tori.hlp" "${TORIPIN_RESOURCES}/sound/tada.wav")

# The Windows version record and icon, configured on every platform so a test can compare it with
# generated/version.h; only a Windows build compiles it.
set(TORIPIN_ICON_FILE "${TORIPIN_RESOURCES}/icons/toripin.ico")
configure_file("${TORIPIN_RESOURCES}/windows/toripin.rc.in" "${PROJECT_BINARY_DIR}/generated/toripin.rc" @ONLY)

if(TARGET toripin)
  add_dependencies(toripin toripin_app_files)
  if(WIN32)
    target_sources(toripin PRIVATE "${PROJECT_BINARY_DIR}/generated/toripin.rc")
  endif()

  install(TARGETS toripin RUNTIME DESTINATION "${TORIPIN_PKGLIBDIR}")
  # The sound module, which the program loads from its own directory.
  install(TARGETS toripin_sound LIBRARY DESTINATION "${TORIPIN_PKGLIBDIR}")
  install(FILES ${toripin_app_files} DESTINATION "${TORIPIN_PKGLIBDIR}")

  if(UNIX)
    # A relative link keeps the installed tree relocatable; the program resolves /proc/self/exe and so
    # finds its real directory, with the help file, through the link.
    file(RELATIVE_PATH toripin_link_target "${CMAKE_INSTALL_FULL_BINDIR}"
         "${CMAKE_INSTALL_FULL_LIBDIR}/toripin/toripin")
    set(toripin_link "${PROJECT_BINARY_DIR}/install-link/toripin")
    file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/install-link")
    file(CREATE_LINK "${toripin_link_target}" "${toripin_link}" SYMBOLIC)
    install(FILES "${toripin_link}" DESTINATION "${CMAKE_INSTALL_BINDIR}")
  endif()
endif()

install(FILES "${TORIPIN_RESOURCES}/desktop/${TORIPIN_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${TORIPIN_RESOURCES}/desktop/${TORIPIN_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${TORIPIN_RESOURCES}/icons/toripin.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps" RENAME "${TORIPIN_APP_ID}.png")
install(FILES "${TORIPIN_RESOURCES}/icons/toripin.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps" RENAME "${TORIPIN_APP_ID}.svg")
install(FILES "${TORIPIN_RESOURCES}/doc/copyright" DESTINATION "${CMAKE_INSTALL_DOCDIR}")

# The manual pages, in English and Japanese, written in POD and turned into roff here. The
# program's page names the folders this build installs into.
if(UNIX)
  find_program(POD2MAN pod2man REQUIRED)
  set(TORIPIN_APP_DIR_INSTALLED "${CMAKE_INSTALL_FULL_LIBDIR}/toripin")
  set(TORIPIN_LINK_INSTALLED "${CMAKE_INSTALL_FULL_BINDIR}/toripin")
  set(toripin_man_pages "")
  foreach(lang en ja)
    if(lang STREQUAL "en")
      set(sub "")
      set(center "Toripin")
    else()
      set(sub "${lang}/")
      set(center "トリピン")
    endif()
    foreach(page toripin toripin-solve)
      set(pod "${PROJECT_BINARY_DIR}/man/pod/${sub}${page}.6.pod")
      set(roff "${PROJECT_BINARY_DIR}/man/${sub}man6/${page}.6")
      configure_file("${TORIPIN_RESOURCES}/man/${sub}${page}.6.pod" "${pod}" @ONLY)
      string(TOUPPER "${page}" name)
      # PERL_UNICODE=A: the centre caption arrives as UTF-8, not as Latin-1 bytes.
      add_custom_command(
        OUTPUT "${roff}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${PROJECT_BINARY_DIR}/man/${sub}man6"
        COMMAND ${CMAKE_COMMAND} -E env PERL_UNICODE=A
                "${POD2MAN}" --utf8 --errors=die --section=6 "--name=${name}" "--center=${center}"
                "--release=toripin ${PROJECT_VERSION}" "${pod}" "${roff}"
        DEPENDS "${pod}"
        COMMENT "Writing the manual page ${sub}${page}.6"
        VERBATIM)
      list(APPEND toripin_man_pages "${roff}")
      install(FILES "${roff}" DESTINATION "${CMAKE_INSTALL_MANDIR}/${sub}man6")
    endforeach()
  endforeach()
  add_custom_target(toripin_man ALL DEPENDS ${toripin_man_pages})
endif()
