# Builds the atlas page from its files and writes it as C++ source (run by the
# build: cmake -DATLAS_DIR=<atlas> -DOUTPUT=<file.cpp> -P embed_atlas.cmake).
#
# page.html names the files it takes in, each where it stands:
#   /*@embed FILE*/   the file as it is (style sheets, the libraries' scripts);
#   /*@module FILE*/  one of the page's own modules: its import lines are dropped
#                     and "export " is removed from the starts of its lines, so
#                     that all modules share the one module script of the page,
#                     as they import each other when they run under node;
#   /*@data*/         where the run writes its data: the page is cut there.
# Nothing taken in may hold "</script" or "<!--", which would end or upset the
# script element it stands in.
cmake_minimum_required(VERSION 3.16)

file(READ "${ATLAS_DIR}/page.html" page)
string(REGEX MATCHALL "/\\*@(embed|module) [^*]+\\*/" markers "${page}")
foreach(marker IN LISTS markers)
  string(REGEX REPLACE "^/\\*@(embed|module) ([^*]+)\\*/$" "\\1" kind "${marker}")
  string(REGEX REPLACE "^/\\*@(embed|module) ([^*]+)\\*/$" "\\2" name "${marker}")
  file(READ "${ATLAS_DIR}/${name}" text)
  if(kind STREQUAL "module")
    string(REGEX REPLACE "(^|\n)import [^\n]*" "\\1" text "${text}")
    string(REGEX REPLACE "(^|\n)export " "\\1" text "${text}")
  endif()
  string(TOLOWER "${text}" lower)
  string(FIND "${lower}" "</script" closing)
  string(FIND "${text}" "<!--" comment)
  if(NOT closing EQUAL -1 OR NOT comment EQUAL -1)
    message(FATAL_ERROR "${name} holds \"</script\" or \"<!--\"")
  endif()
  string(REPLACE "${marker}" "${text}" page "${page}")
endforeach()

string(FIND "${page}" "/*@data*/" at)
if(at EQUAL -1)
  message(FATAL_ERROR "page.html has no /*@data*/")
endif()
string(SUBSTRING "${page}" 0 ${at} head)
math(EXPR tailAt "${at} + 9")
string(SUBSTRING "${page}" ${tailAt} -1 tail)

# Each part as an array of bytes, which keeps every byte as it is. The parts stay
# beside the source as atlas_head.bin and atlas_tail.bin: scripts/update-goldens.sh
# cuts a page's data block out from between them.
get_filename_component(outDir "${OUTPUT}" DIRECTORY)
set(source "// Generated from atlas/ by cmake/embed_atlas.cmake: do not edit.\n")
string(APPEND source "#include \"atlas/atlas_page.h\"\n\nnamespace {\n")
foreach(part head tail)
  file(WRITE "${outDir}/atlas_${part}.bin" "${${part}}")
  file(READ "${outDir}/atlas_${part}.bin" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])"
         "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  string(APPEND source "const unsigned char k_${part}[] = {\n${hex}};\n")
endforeach()
string(APPEND source "}  // namespace\n\n"
  "std::string_view AtlasPageHead() {\n"
  "  return {reinterpret_cast<const char*>(k_head), sizeof k_head};\n}\n\n"
  "std::string_view AtlasPageTail() {\n"
  "  return {reinterpret_cast<const char*>(k_tail), sizeof k_tail};\n}\n")
# Rewritten only when it changes, so that an unchanged page compiles nothing.
file(WRITE "${OUTPUT}.new" "${source}")
configure_file("${OUTPUT}.new" "${OUTPUT}" COPYONLY)
file(REMOVE "${OUTPUT}.new")
