# What the Debian package holds and how CPack makes it (scripts/package):
#   /usr/bin            orvvds, orvraid, orvcim, corvane
#   /usr/lib            libOrv_Resources.so (the programs look for it in ../lib)
#   /lib/systemd/system OrvVds.service, the unit orvvds -Service writes for /usr/bin/orvvds
#   /var/lib/orvds      the registry's folder (owner-only)
#   /usr/share/doc/orvvds  README.md
# The programs link the project's libraries statically, so nothing else is installed.
include(GNUInstallDirs)

set(ORV_INSTALLED_ORVVDS /usr/bin/orvvds)
configure_file(${CMAKE_SOURCE_DIR}/packaging/OrvVds.service.in ${CMAKE_BINARY_DIR}/packaging/OrvVds.service @ONLY)

foreach(program orvvds orvraid orvcim corvane)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION bin)
  endif()
endforeach()
if(TARGET Orv_Resources)
  install(TARGETS Orv_Resources LIBRARY DESTINATION lib)
endif()
install(FILES ${CMAKE_BINARY_DIR}/packaging/OrvVds.service DESTINATION /lib/systemd/system)
install(DIRECTORY DESTINATION /var/lib/orvds
        DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/orvvds)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvvds)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "VDS hardware provider service and front end for Corvane iSCSI arrays")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "OrvVds developers <orvvds@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/postinst ${CMAKE_SOURCE_DIR}/packaging/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
