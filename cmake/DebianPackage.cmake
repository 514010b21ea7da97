# `cpack -G DEB` in the build folder makes velmora_<version>_<arch>.deb from every install() rule
# of the tree, below /usr. dpkg-shlibdeps computes the dependencies from the programs' libraries.
# Debian's documentation folder holds the copyright and a changelog, gzipped.
string(SUBSTRING ${VELMORA_RELEASE_DATE} 0 4 VELMORA_RELEASE_YEAR)
execute_process(COMMAND date -u -R -d ${VELMORA_RELEASE_DATE} OUTPUT_VARIABLE VELMORA_RELEASE_TIME
  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PROJECT_SOURCE_DIR}/data/copyright.in copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/changelog.in changelog @ONLY)
execute_process(COMMAND gzip -9nkf ${CMAKE_CURRENT_BINARY_DIR}/changelog COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR Tandrel)
set(CPACK_PACKAGE_CONTACT "Tandrel <${VELMORA_SUPPORT_EMAIL}>")
set(CPACK_PACKAGE_HOMEPAGE_URL ${VELMORA_HOME_URL})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert AIFF and AIFF-C files to MP3 or WAV")
# The lines below the summary; CPack indents them as control files want.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Velmora converts Apple AIFF and AIFF-C audio files (every compression:
uncompressed, floating point, A-law, mu-law, IMA ADPCM, GSM 06.10 and DWVW)
into MP3 or WAV files, one file or thousands at a time, in a window or with
the command-line program velmora-cli.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own translations of its standard dialogs (file chooser, buttons) for German and French.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debian ships programs without their debugging information.
set(CPACK_STRIP_FILES ON)
include(CPack)
