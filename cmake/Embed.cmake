# Carries the plug-in's images, fonts, skin script and preset file inside the
# library: every file becomes a generated C++ unit holding its bytes and a
# static EmbeddedFile record, and one more unit registers all records, in the
# order below, while the library loads. Defines the OBJECT library
# qolm_resources.
#
# The same file is also the generator, run at build time as
#   cmake -DQOLM_EMBED_NAME=... -DQOLM_EMBED_SOURCE=... -DQOLM_EMBED_SYMBOL=...
#         -DQOLM_EMBED_OUTPUT=... [-DQOLM_EMBED_MISSING=...] -P Embed.cmake
# so the build needs nothing but CMake itself, for either target architecture.

if(CMAKE_SCRIPT_MODE_FILE)
  if(QOLM_EMBED_MISSING)
    message(FATAL_ERROR "Cannot embed ${QOLM_EMBED_NAME}: ${QOLM_EMBED_MISSING}")
  endif()
  if(NOT EXISTS "${QOLM_EMBED_SOURCE}" OR IS_DIRECTORY "${QOLM_EMBED_SOURCE}")
    message(FATAL_ERROR "Cannot embed ${QOLM_EMBED_NAME}: the file ${QOLM_EMBED_SOURCE} is missing")
  endif()
  file(SIZE "${QOLM_EMBED_SOURCE}" size)
  if(size GREATER 2147483647)
    message(FATAL_ERROR "Cannot embed ${QOLM_EMBED_NAME}: ${QOLM_EMBED_SOURCE} is larger than 2 GiB")
  endif()
  if(size EQUAL 0)
    # C++ has no empty arrays; the record's size keeps the dummy byte unreachable.
    set(bytes "0x00,")
    set(extent 1)
  else()
    file(READ "${QOLM_EMBED_SOURCE}" hex HEX)
    # Sixteen bytes to a line keep the generated unit readable in a diff.
    string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])"
           "\\1\n" hex "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    set(extent ${size})
  endif()
  file(WRITE "${QOLM_EMBED_OUTPUT}.part"
"// Generated from ${QOLM_EMBED_SOURCE} by cmake/Embed.cmake; edits are lost.
#include \"io/EmbeddedFile.h\"

// Exactly the file's bytes: no terminating zero is added to text files.
static const unsigned char kBytes[${extent}] = {
${bytes}
};

namespace qolm_embedded {
constinit EmbeddedFile ${QOLM_EMBED_SYMBOL} = {\"${QOLM_EMBED_NAME}\", ${size}, kBytes};
}
")
  # Renamed only when complete, so a failed run never leaves a unit behind
  # that the next build would take as up to date.
  file(RENAME "${QOLM_EMBED_OUTPUT}.part" "${QOLM_EMBED_OUTPUT}")
  return()
endif()

set(QOLM_RESOURCE_DIR "${CMAKE_SOURCE_DIR}/resources" CACHE PATH
  "Folder with the images, the skin script, the preset file and fonts.cmake to embed")

# The fonts come from Debian's packages; fonts.cmake says which files they are.
set(qolm_fonts_file "${QOLM_RESOURCE_DIR}/fonts.cmake")
if(EXISTS "${qolm_fonts_file}")
  include("${qolm_fonts_file}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${qolm_fonts_file}")
endif()
# Files that appear later (artwork, fonts.cmake) must reach the build rules.
file(GLOB qolm_resource_listing CONFIGURE_DEPENDS "${QOLM_RESOURCE_DIR}/*")

# name | source path | what to say when the source is not known. Registration
# follows this order.
set(qolm_embedded_entries
  "Dial060.png|${QOLM_RESOURCE_DIR}/Dial060.png"
  "Donate85x30.png|${QOLM_RESOURCE_DIR}/Donate85x30.png"
  "ZFont1.ttf|${QOLM_FONT_ZFONT1}|QOLM_FONT_ZFONT1"
  "Qolm.png|${QOLM_RESOURCE_DIR}/Qolm.png"
  "QolmPreset.txt|${QOLM_RESOURCE_DIR}/QolmPreset.txt"
  "QolmSkin.txt|${QOLM_RESOURCE_DIR}/QolmSkin.txt"
  "QolmTitle.png|${QOLM_RESOURCE_DIR}/QolmTitle.png"
  "ZSans.ttf|${QOLM_FONT_ZSANS}|QOLM_FONT_ZSANS"
  "RedLed.png|${QOLM_RESOURCE_DIR}/RedLed.png"
  "TabTopInfo50x20.png|${QOLM_RESOURCE_DIR}/TabTopInfo50x20.png"
  "TabTopMain50x20.png|${QOLM_RESOURCE_DIR}/TabTopMain50x20.png"
  "ValBg60x15.png|${QOLM_RESOURCE_DIR}/ValBg60x15.png"
  # The images' HiDPI twins (tools/artgen draws both), found by their own
  # names when the editor draws at 2x.
  "Dial060@2x.png|${QOLM_RESOURCE_DIR}/Dial060@2x.png"
  "Donate85x30@2x.png|${QOLM_RESOURCE_DIR}/Donate85x30@2x.png"
  "Qolm@2x.png|${QOLM_RESOURCE_DIR}/Qolm@2x.png"
  "QolmTitle@2x.png|${QOLM_RESOURCE_DIR}/QolmTitle@2x.png"
  "RedLed@2x.png|${QOLM_RESOURCE_DIR}/RedLed@2x.png"
  "TabTopInfo50x20@2x.png|${QOLM_RESOURCE_DIR}/TabTopInfo50x20@2x.png"
  "TabTopMain50x20@2x.png|${QOLM_RESOURCE_DIR}/TabTopMain50x20@2x.png"
  "ValBg60x15@2x.png|${QOLM_RESOURCE_DIR}/ValBg60x15@2x.png")

set(qolm_embed_dir "${CMAKE_BINARY_DIR}/generated/embedded")
file(MAKE_DIRECTORY "${qolm_embed_dir}")

set(QOLM_EMBEDDED_NAMES)
set(QOLM_EMBEDDED_SOURCES)
set(qolm_embedded_units)
set(qolm_declarations "")
set(qolm_registrations "")
set(qolm_index 0)
foreach(entry IN LISTS qolm_embedded_entries)
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 name)
  list(GET fields 1 source)
  list(LENGTH fields field_count)
  set(missing "")
  if(field_count GREATER 2)
    list(GET fields 2 variable)
    if(source STREQUAL "")
      set(missing "${variable} is not set; ${qolm_fonts_file} must set it to the path of the font file")
    elseif(NOT IS_ABSOLUTE "${source}")
      set(source "${QOLM_RESOURCE_DIR}/${source}")
    endif()
  endif()

  if(qolm_index LESS 10)
    set(symbol "file_0${qolm_index}")
  else()
    set(symbol "file_${qolm_index}")
  endif()
  set(output "${qolm_embed_dir}/${name}.cpp")
  set(depends "${CMAKE_CURRENT_LIST_FILE}")
  # A missing source is reported by the generator when the build runs; the
  # glob above reconfigures once it exists, and then it becomes a dependency.
  if(NOT missing AND EXISTS "${source}")
    list(APPEND depends "${source}")
  endif()
  add_custom_command(OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}"
      "-DQOLM_EMBED_NAME=${name}" "-DQOLM_EMBED_SOURCE=${source}"
      "-DQOLM_EMBED_SYMBOL=${symbol}" "-DQOLM_EMBED_OUTPUT=${output}"
      "-DQOLM_EMBED_MISSING=${missing}"
      -P "${CMAKE_CURRENT_LIST_FILE}"
    DEPENDS ${depends}
    COMMENT "Embedding ${name}"
    VERBATIM)

  list(APPEND qolm_embedded_units "${output}")
  list(APPEND QOLM_EMBEDDED_NAMES "${name}")
  list(APPEND QOLM_EMBEDDED_SOURCES "${source}")
  string(APPEND qolm_declarations "extern EmbeddedFile ${symbol};  // ${name}\n")
  string(APPEND qolm_registrations "        registerEmbeddedFile(&qolm_embedded::${symbol});\n")
  math(EXPR qolm_index "${qolm_index} + 1")
endforeach()

# C++ leaves the order of initialisation across units open, so one unit
# registers every record and the table keeps the listed order.
set(qolm_registry "${qolm_embed_dir}/EmbeddedRegistry.cpp")
file(GENERATE OUTPUT "${qolm_registry}" CONTENT
"// Generated by cmake/Embed.cmake; edits are lost.
#include \"io/EmbeddedFile.h\"

namespace qolm_embedded {
${qolm_declarations}}

namespace {

struct Registration {
    Registration() {
${qolm_registrations}    }
};

const Registration registration;

}  // namespace
")

add_library(qolm_resources OBJECT ${qolm_embedded_units} "${qolm_registry}")
target_link_libraries(qolm_resources PRIVATE qolm_io)
