# Turns a file into a C++ source that returns its bytes, so the program carries the file inside
# itself and never looks for it on disk.
#
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DFUNCTION=<name> -DHEADER=<include path> -P embed_file.cmake
#
# The generated source includes HEADER, which declares `EmbeddedFile FUNCTION();`.
foreach(var INPUT OUTPUT FUNCTION HEADER)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "embed_file.cmake: ${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${INPUT}")
  message(FATAL_ERROR "embed_file.cmake: ${INPUT} does not exist")
endif()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
if(hex_length EQUAL 0)
  message(FATAL_ERROR "embed_file.cmake: ${INPUT} is empty")
endif()

# Sixteen bytes (32 hex digits) a line keeps the generated file readable in a diff or an editor.
set(body "")
set(offset 0)
while(offset LESS hex_length)
  string(SUBSTRING "${hex}" ${offset} 32 chunk)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," line "${chunk}")
  string(APPEND body "    ${line}\n")
  math(EXPR offset "${offset} + 32")
endwhile()

get_filename_component(input_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from ${input_name} by embed_file.cmake. Do not edit.
#include \"${HEADER}\"

namespace {
const unsigned char embedded_bytes[] = {
${body}};
}  // namespace

EmbeddedFile ${FUNCTION}() { return EmbeddedFile{embedded_bytes, sizeof embedded_bytes}; }
")
# Replace only when the content changed, so an unchanged picture recompiles nothing.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
