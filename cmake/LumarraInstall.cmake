# Install layout: the game in bin/, its keyboard-lock library and the hook
# slot that library shares with it in a private lib/lumarra/, the sounds in
# share/lumarra/ (the installed copy's program folder), and the desktop's
# menu entry, icons, AppStream metadata and man page. `make package` wraps it
# all in a .deb.

set(LUMARRA_PRIVATE_LIBDIR lib/lumarra)
file(RELATIVE_PATH lib_from_bin /${CMAKE_INSTALL_BINDIR} /${LUMARRA_PRIVATE_LIBDIR})
set_target_properties(lumarra PROPERTIES INSTALL_RPATH "$ORIGIN/${lib_from_bin}")
set_target_properties(tumbler PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS lumarra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tumbler lumarra_keyhook LIBRARY DESTINATION ${LUMARRA_PRIVATE_LIBDIR} NAMELINK_SKIP)

# Only the sounds: a picture cache or temporaries that runs of the build left
# in Data/ are the user's, not the program's.
install(DIRECTORY ${LUMARRA_BIN_DIR}/Data ${LUMARRA_BIN_DIR}/Wave
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lumarra OPTIONAL
  FILES_MATCHING PATTERN "*.mp3" PATTERN "*.wav")

set(desktop_dir ${CMAKE_SOURCE_DIR}/resources/desktop)
set(desktop_out ${CMAKE_BINARY_DIR}/desktop)
set(LUMARRA_APP_ID org.example.lumarra)
configure_file(${desktop_dir}/${LUMARRA_APP_ID}.metainfo.xml.in ${desktop_out}/${LUMARRA_APP_ID}.metainfo.xml @ONLY)
configure_file(${desktop_dir}/lumarra.6 ${desktop_out}/lumarra.6 @ONLY)
configure_file(${desktop_dir}/changelog ${desktop_out}/changelog @ONLY)
# Debian keeps man pages and change logs compressed, without a time stamp.
find_program(GZIP gzip REQUIRED)
foreach(file lumarra.6 changelog)
  add_custom_command(OUTPUT ${desktop_out}/${file}.gz
    COMMAND ${GZIP} -9nkf ${desktop_out}/${file}
    DEPENDS ${desktop_out}/${file}
    VERBATIM)
endforeach()
add_custom_target(lumarra_desktop_files ALL DEPENDS ${desktop_out}/lumarra.6.gz ${desktop_out}/changelog.gz)

install(FILES ${desktop_dir}/${LUMARRA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_out}/${LUMARRA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop_out}/lumarra.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${desktop_dir}/copyright ${desktop_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumarra)
install(DIRECTORY ${LUMARRA_THEME_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor OPTIONAL
  FILES_MATCHING PATTERN "lumarra.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumarra)
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT "Lumarra developers <lumarra@lumarra.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture card game in Japanese for young children")
set(CPACK_PACKAGE_DESCRIPTION "A recorded voice reads a verse while it appears on a reading card, and the
child races a computer opponent to take the matching picture card from the
cards on the table. Three proverb decks and a kana-word deck, a study screen
for the proverbs and the kana, and a child lock that covers the desktop.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://lumarra.example.org/)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debian's games section is for programs in /usr/games; this one lies in
# bin/ and teaches as it plays.
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; the fonts are looked up by name at
# run time, so nothing links them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho")
# The version box's link opens the home page through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
