# Release archives and Debian packages, made by `cpack` in a build folder:
#   qolm-<version>-linux-<arch>.tar.gz  Qolm.so, Qolm.lv2/, README.md and the
#                                       licence notes, in one folder
#   qolm_<version>_<debian arch>.deb    /usr/lib/vst/Qolm.so, /usr/lib/lv2/Qolm.lv2/
#                                       and the notes in /usr/share/doc/qolm
# The files go into two components of their own, left out of a plain
# `cmake --install`, which keeps installing for the user alone.
if(NOT TARGET qolm_lv2)
  return()
endif()

if(QOLM_PLATFORM_BITS EQUAL 32)
  set(qolm_release_arch i686)
  set(qolm_release_debian_arch i386)
else()
  set(qolm_release_arch x86_64)
  set(qolm_release_debian_arch amd64)
endif()
set(qolm_release_notes ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/THIRD_PARTY.md)
# THIRD_PARTY.md asks for the Apache License text to travel with the binaries.
set(qolm_apache_licence /usr/share/common-licenses/Apache-2.0)
get_target_property(qolm_release_bundle qolm_lv2 LIBRARY_OUTPUT_DIRECTORY)

install(TARGETS Qolm LIBRARY DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)
install(DIRECTORY ${qolm_release_bundle} DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL USE_SOURCE_PERMISSIONS)
install(FILES ${qolm_release_notes} DESTINATION . COMPONENT archive EXCLUDE_FROM_ALL)

install(TARGETS Qolm LIBRARY DESTINATION lib/vst COMPONENT deb EXCLUDE_FROM_ALL)
install(DIRECTORY ${qolm_release_bundle} DESTINATION lib/lv2 COMPONENT deb EXCLUDE_FROM_ALL USE_SOURCE_PERMISSIONS)
install(FILES ${qolm_release_notes} DESTINATION share/doc/qolm COMPONENT deb EXCLUDE_FROM_ALL)

if(EXISTS ${qolm_apache_licence})
  install(FILES ${qolm_apache_licence} DESTINATION licenses COMPONENT archive EXCLUDE_FROM_ALL)
  install(FILES ${qolm_apache_licence} DESTINATION share/doc/qolm COMPONENT deb EXCLUDE_FROM_ALL)
endif()

set(CPACK_PACKAGE_NAME qolm)
set(CPACK_PACKAGE_VENDOR VRAX)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Resonant high-pass filter plug-in (VST 2.4 and LV2)")
set(CPACK_PACKAGE_FILE_NAME qolm-${PROJECT_VERSION}-linux-${qolm_release_arch})
set(CPACK_GENERATOR "TGZ;DEB")
set(CPACK_COMPONENTS_ALL archive deb)
# Component installs, so that only the listed components go in, each
# package holding all of its generator's components.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${qolm_release_debian_arch})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "VRAX <plugins@vrax.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libx11-6, libgl1")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Qolm, a resonant high-pass filter with its own editor, as a VST 2.4 plug-in\n(/usr/lib/vst) and an LV2 bundle (/usr/lib/lv2).")
# Each generator takes its own component: see ReleaseGenerators.cmake.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/ReleaseGenerators.cmake)
include(CPack)

# The packages made and unpacked by the test suite.
if(BUILD_TESTING)
  add_test(NAME lv2_release_packages COMMAND ${CMAKE_COMMAND}
    -DBUILD_DIR=${CMAKE_BINARY_DIR} -DARCH=${qolm_release_arch} -DDEBIAN_ARCH=${qolm_release_debian_arch}
    -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/tests/lv2/check_release.cmake)
  set_tests_properties(lv2_release_packages PROPERTIES LABELS lv2 TIMEOUT 300)
endif()
