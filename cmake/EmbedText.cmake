# Writes a C++ source that defines `std::string_view NAMESPACE::FUNCTION()` returning the bytes of
# INPUT, as an array of byte values (any size, any compiler).
#   cmake -DINPUT=... -DOUTPUT=... -DNAMESPACE=... -DFUNCTION=... -DHEADER=... -P EmbedText.cmake
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${bytes}")
string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Made from ${INPUT} by cmake/EmbedText.cmake; do not edit.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace ${NAMESPACE} {\n\n"
  "std::string_view ${FUNCTION}() {\n"
  "    static const char bytes[] = {\n    ${bytes}'\\0'};\n"
  "    return std::string_view(bytes, ${size});\n"
  "}\n\n"
  "} // namespace ${NAMESPACE}\n")
configure_file("${OUTPUT}.tmp" "${OUTPUT}" COPYONLY)
