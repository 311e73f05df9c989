# Installing vistrum: the program, vistrum-events and vistrum-report in bin/, the library
# folders under share/vistrum/lib (where an installed program looks without
# VISTRUM_DIR), the manual pages, and the licences of the shipped files.
# `cpack -G DEB` in the build folder makes vistrum_<version>_<arch>.deb.

include(GNUInstallDirs)

# The version lives in src/core/version.h; the package takes it from there.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/core/version.h VISTRUM_VERSION_LINE REGEX "^#define VISTRUM_VERSION ")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" VISTRUM_VERSION "${VISTRUM_VERSION_LINE}")

# The events converter: its own main over the library.
add_executable(vistrum-events ${CMAKE_SOURCE_DIR}/tools/vistrum-events.cpp)
target_compile_options(vistrum-events PRIVATE -Wall -Wextra)
target_link_libraries(vistrum-events PRIVATE vistrumlib)
add_executable(vistrum-report ${CMAKE_SOURCE_DIR}/tools/vistrum-report.cpp)
target_compile_options(vistrum-report PRIVATE -Wall -Wextra)
target_link_libraries(vistrum-report PRIVATE vistrumlib)

# vistrum(1), written from the option table and the type catalogue at build
# time, so that the manual always lists what this build accepts.
add_executable(vistrum-manpage ${CMAKE_SOURCE_DIR}/tools/vistrum-manpage.cpp)
target_compile_options(vistrum-manpage PRIVATE -Wall -Wextra)
target_link_libraries(vistrum-manpage PRIVATE vistrumlib)
set(VISTRUM_DATADIR_NAME ${CMAKE_INSTALL_DATADIR}/vistrum)
set(VISTRUM_MAN ${CMAKE_BINARY_DIR}/man/vistrum.1)
add_custom_command(
  OUTPUT ${VISTRUM_MAN} ${VISTRUM_MAN}.gz ${CMAKE_BINARY_DIR}/man/vistrum-events.1.gz
         ${CMAKE_BINARY_DIR}/man/vistrum-report.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:vistrum-manpage> ${CMAKE_SOURCE_DIR}/lib > ${VISTRUM_MAN}
  COMMAND gzip -9 -n -c ${VISTRUM_MAN} > ${VISTRUM_MAN}.gz
  COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/tools/vistrum-events.1 > ${CMAKE_BINARY_DIR}/man/vistrum-events.1.gz
  COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/tools/vistrum-report.1 > ${CMAKE_BINARY_DIR}/man/vistrum-report.1.gz
  DEPENDS vistrum-manpage ${CMAKE_SOURCE_DIR}/tools/vistrum-events.1 ${CMAKE_SOURCE_DIR}/tools/vistrum-report.1
  COMMENT "Writing the vistrum(1) manual page"
  VERBATIM)
add_custom_target(manpage ALL DEPENDS ${VISTRUM_MAN}.gz ${CMAKE_BINARY_DIR}/man/vistrum-events.1.gz
                                      ${CMAKE_BINARY_DIR}/man/vistrum-report.1.gz)

install(TARGETS vistrum vistrum-events vistrum-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/lib/fonts ${CMAKE_SOURCE_DIR}/lib/help ${CMAKE_SOURCE_DIR}/lib/imagefiles
                  ${CMAKE_SOURCE_DIR}/lib/wordfiles ${CMAKE_SOURCE_DIR}/lib/soundfiles
                  ${CMAKE_SOURCE_DIR}/lib/scenarios
        DESTINATION ${VISTRUM_DATADIR_NAME}/lib)
install(FILES ${CMAKE_SOURCE_DIR}/lib/README.md DESTINATION ${VISTRUM_DATADIR_NAME}/lib)
install(FILES ${VISTRUM_MAN}.gz ${CMAKE_BINARY_DIR}/man/vistrum-events.1.gz ${CMAKE_BINARY_DIR}/man/vistrum-report.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/lib/fonts/LICENSE-BitstreamVera.txt ${CMAKE_SOURCE_DIR}/lib/fonts/LICENSE-DejaVu.txt
              ${CMAKE_SOURCE_DIR}/lib/fonts/LICENSE-FreeFont.txt ${CMAKE_SOURCE_DIR}/lib/fonts/LICENSE-Liberation.txt
              ${CMAKE_SOURCE_DIR}/lib/wordfiles/LICENSE-SCOWL.txt
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/licences)
install(FILES ${CMAKE_SOURCE_DIR}/lib/imagefiles/photos/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/licences RENAME photos-README.md)
foreach(folder animals objects scenes pairs)
  install(FILES ${CMAKE_SOURCE_DIR}/lib/imagefiles/${folder}/README.md
          DESTINATION ${CMAKE_INSTALL_DOCDIR}/licences RENAME ${folder}-README.md)
endforeach()
# The folders carry the same licence files; one copy each is enough here
# (scenes holds both packages' files).
install(FILES ${CMAKE_SOURCE_DIR}/lib/imagefiles/scenes/LICENSE-GPL-2.txt
              ${CMAKE_SOURCE_DIR}/lib/imagefiles/scenes/COPYRIGHT-tuxpaint-stamps.txt
              ${CMAKE_SOURCE_DIR}/lib/imagefiles/scenes/COPYRIGHT-lomiri-wallpapers.txt
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/licences)
install(FILES ${CMAKE_SOURCE_DIR}/lib/soundfiles/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/licences RENAME sounds-README.md)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vistrum)
set(CPACK_PACKAGE_VERSION ${VISTRUM_VERSION})
set(CPACK_PACKAGE_CONTACT "vistrum developers <vistrum@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen stimuli for functional brain-imaging (fMRI) experiments")
set(CPACK_PACKAGE_DESCRIPTION "vistrum shows numbered stimulus types (checkerboard wedges and rings, dot flows, \
pictures, words, air puffs, laser pulses, sounds, scenario files) full screen with OpenGL, waits for the scanner \
trigger, logs events and responses, and saves frames. vistrum-events turns its event logs into events tables for \
analysis; vistrum-report shows a run's frame timing, targets and answers on one page.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libx11-6, libxtst6, libgl1, libglu1-mesa, libgl1-mesa-dri, libftgl2, libfreetype6, libtiff6, sox, x11-utils")
# vistrum-report draws its plots with gnuplot; without it the page has the numbers only.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnuplot-nox")
include(CPack)
