# The plug-in's version, from project(VERSION), and build date, from the
# commit being built (or SOURCE_DATE_EPOCH when set, as reproducible-build
# tools do): two builds of one commit are the same bytes. Defines the
# INTERFACE library qolm_identity, whose include directory holds QolmVersion.h.
set(qolm_identity_dir "${CMAKE_BINARY_DIR}/generated/identity")
find_package(Git QUIET)
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} AND GIT_FOUND)
  execute_process(COMMAND "${GIT_EXECUTABLE}" log -1 --format=%ct WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}"
    OUTPUT_VARIABLE qolm_commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --path-format=absolute --git-path logs/HEAD
    WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}" OUTPUT_VARIABLE qolm_head_log OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(qolm_commit_time MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} "${qolm_commit_time}")
  endif()
  # A new commit or checkout configures again, so the date follows it.
  if(EXISTS "${qolm_head_log}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${qolm_head_log}")
  endif()
endif()
# Takes SOURCE_DATE_EPOCH when set; a bare source tree has only the clock.
string(TIMESTAMP QOLM_BUILD_DATE "%d %b %Y" UTC)

set(QOLM_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
set(qolm_patch 0)
if(NOT PROJECT_VERSION_PATCH STREQUAL "")
  set(qolm_patch ${PROJECT_VERSION_PATCH})
  string(APPEND QOLM_VERSION_TEXT ".${qolm_patch}")
endif()
# VST's vendor version: 3.1 is 3100.
math(EXPR QOLM_VENDOR_VERSION "${PROJECT_VERSION_MAJOR} * 1000 + ${PROJECT_VERSION_MINOR} * 100 + ${qolm_patch}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/QolmVersion.h.in" "${qolm_identity_dir}/QolmVersion.h" @ONLY)

add_library(qolm_identity INTERFACE)
target_include_directories(qolm_identity INTERFACE "${qolm_identity_dir}")
