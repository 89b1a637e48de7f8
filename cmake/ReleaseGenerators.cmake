# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE): the archive
# holds the files as a user unpacks them, the Debian package the system's
# layout under /usr.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_COMPONENTS_ALL archive)
  # One folder, named as the archive, around everything.
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
elseif(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL deb)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
