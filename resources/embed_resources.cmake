# Writes a C++ source that holds the resource script SCRIPT and every file it
# names (BITMAP, ICON and RCDATA lines) that exists, as byte arrays. A named
# file that does not exist is left out: the program then finds no such
# resource at run time.
#   cmake -DSCRIPT=<path of the .rc> -DOUTPUT=<generated .cpp> -P embed_resources.cmake

cmake_minimum_required(VERSION 3.25)

get_filename_component(script_folder "${SCRIPT}" DIRECTORY)
get_filename_component(script_name "${SCRIPT}" NAME)
file(STRINGS "${SCRIPT}" script_lines)

set(embedded_names "${script_name}")
set(embedded_paths "${SCRIPT}")
foreach(line IN LISTS script_lines)
  if(line MATCHES "^[ \t]*[A-Za-z0-9_]+[ \t]+(BITMAP|ICON|RCDATA)[ \t]+\"([^\"]+)\"")
    set(file_name "${CMAKE_MATCH_2}")
    string(REPLACE "\\\\" "/" file_name "${file_name}")
    if(EXISTS "${script_folder}/${file_name}" AND NOT file_name IN_LIST embedded_names)
      list(APPEND embedded_names "${file_name}")
      list(APPEND embedded_paths "${script_folder}/${file_name}")
    endif()
  endif()
endforeach()

set(source "// Generated from ${script_name} by embed_resources.cmake; do not edit.\n")
string(APPEND source "#include \"platform/machine/resources_embedded.h\"\n\nnamespace {\n")
set(table "")
list(LENGTH embedded_names count)
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
  list(GET embedded_names ${index} name)
  list(GET embedded_paths ${index} path)
  file(READ "${path}" bytes HEX)
  string(LENGTH "${bytes}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
  # A terminating zero keeps empty files legal and the script a C string.
  string(APPEND source "const unsigned char File${index}[] = {${bytes}0x00};\n")
  string(APPEND table "    {\"${name}\", File${index}, ${size}},\n")
endforeach()
string(APPEND source "} // namespace\n\n")
string(APPEND source "const EmbeddedResourceFile EmbeddedResourceFiles[] = {\n${table}};\n")
string(APPEND source "const std::size_t EmbeddedResourceFileCount = ${count};\n")

# Rewritten only when it changes, so an unchanged script recompiles nothing.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
endif()
if(NOT previous STREQUAL source)
  file(WRITE "${OUTPUT}" "${source}")
endif()
