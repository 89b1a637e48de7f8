# The plug-in's version and build date, from one source each: the version
# from project(VERSION), the date from the commit being built (or from
# SOURCE_DATE_EPOCH when that is set, as reproducible-build tools do), so
# that two builds of one commit are the same bytes. Defines the INTERFACE
# library qolm_identity, whose include directory holds QolmVersion.h.

set(qolm_identity_dir "${CMAKE_BINARY_DIR}/generated/identity")

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND "${GIT_EXECUTABLE}" log -1 --format=%ct
      WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}" OUTPUT_VARIABLE qolm_commit_time
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE qolm_git_result)
    execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --git-path logs/HEAD
      WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}" OUTPUT_VARIABLE qolm_head_log
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(qolm_git_result EQUAL 0 AND qolm_commit_time MATCHES "^[0-9]+$")
      set(ENV{SOURCE_DATE_EPOCH} "${qolm_commit_time}")
      # A new commit or checkout configures again, so the date follows it.
      if(qolm_head_log)
        get_filename_component(qolm_head_log "${qolm_head_log}" ABSOLUTE BASE_DIR "${CMAKE_SOURCE_DIR}")
        if(EXISTS "${qolm_head_log}")
          set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${qolm_head_log}")
        endif()
      endif()
    endif()
  endif()
endif()
# string(TIMESTAMP) takes SOURCE_DATE_EPOCH when it is set; without it and
# without git (a bare source tree) the configure time is all there is.
string(TIMESTAMP QOLM_BUILD_DATE "%d %b %Y" UTC)

set(QOLM_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
set(qolm_patch "${PROJECT_VERSION_PATCH}")
if(qolm_patch STREQUAL "")
  set(qolm_patch 0)
else()
  set(QOLM_VERSION_TEXT "${QOLM_VERSION_TEXT}.${qolm_patch}")
endif()
# VST's vendor version: 3.1 is 3100.
math(EXPR QOLM_VENDOR_VERSION "${PROJECT_VERSION_MAJOR} * 1000 + ${PROJECT_VERSION_MINOR} * 100 + ${qolm_patch}")

configure_file("${CMAKE_CURRENT_LIST_DIR}/QolmVersion.h.in" "${qolm_identity_dir}/QolmVersion.h" @ONLY)

add_library(qolm_identity INTERFACE)
target_include_directories(qolm_identity INTERFACE "${qolm_identity_dir}")
