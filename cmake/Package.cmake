# Installing and the Debian package (`make package`, CPack): the programs in <prefix>/bin, the
# read-only data as `stage` made it in <prefix>/share/pedalyx, where the `pedalyx` command
# finds it relative to its own folder, the menu entry and its icon.
set(PACKAGE_FILES ${CMAKE_SOURCE_DIR}/tools/package)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
  GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS Pedalyx pedalyx_command RUNTIME DESTINATION bin)
if(TARGET Cobblet)
  install(TARGETS Cobblet RUNTIME DESTINATION bin)
endif()
install(DIRECTORY ${DATA_DIR}/ DESTINATION share/pedalyx PATTERN README.md EXCLUDE)
install(FILES ${PACKAGE_FILES}/pedalyx.desktop DESTINATION share/applications)
install(FILES ${PACKAGE_FILES}/pedalyx.svg DESTINATION share/icons/hicolor/scalable/apps)
# The central database's schema, for the administrator who creates it once.
install(FILES ${CMAKE_SOURCE_DIR}/tools/central-schema.sql DESTINATION share/doc/pedalyx)

# The Debian changelog names the version; it is installed compressed as Debian requires.
file(STRINGS ${PACKAGE_FILES}/changelog CHANGELOG_HEAD LIMIT_COUNT 1)
string(REGEX REPLACE "^pedalyx \\(([^)]+)\\).*" "\\1" PEDALYX_VERSION "${CHANGELOG_HEAD}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PACKAGE_FILES}/changelog)
execute_process(COMMAND gzip -9nc ${PACKAGE_FILES}/changelog
  OUTPUT_FILE ${CMAKE_BINARY_DIR}/changelog.gz)
install(FILES ${PACKAGE_FILES}/copyright ${CMAKE_BINARY_DIR}/changelog.gz
  DESTINATION share/doc/pedalyx)

# One manual page for the command and both programs, compressed as Debian requires.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PACKAGE_FILES}/pedalyx.1)
execute_process(COMMAND gzip -9nc ${PACKAGE_FILES}/pedalyx.1
  OUTPUT_FILE ${CMAKE_BINARY_DIR}/man/pedalyx.1.gz)
foreach(program Pedalyx Cobblet)
  file(CREATE_LINK pedalyx.1.gz ${CMAKE_BINARY_DIR}/man/${program}.1.gz SYMBOLIC)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/man/pedalyx.1.gz ${CMAKE_BINARY_DIR}/man/Pedalyx.1.gz
  ${CMAKE_BINARY_DIR}/man/Cobblet.1.gz DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pedalyx)
set(CPACK_PACKAGE_VERSION ${PEDALYX_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pedalyx developers <developers@pedalyx.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "foot-pressure measurement station for shoe fitting")
# CPack indents the extended description and marks its empty lines as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pedalyx turns the camera picture of an optical pressure plate into a colour
pressure picture, measures both feet, classifies the foot type, prints the
customer's report and keeps a measurement database. Cobblet, started by the
station, fits an insole height map to each foot.

Every operator account works in a station folder of its own,
~/.local/share/pedalyx by default.")
# Library packages from the programs' own links; the report needs the Chinese font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "onboard")
include(CPack)
