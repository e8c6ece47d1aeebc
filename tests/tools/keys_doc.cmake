# Fails when docs/keys.md differs from what `kestcmd schema --format markdown` makes of the
# built-in schema.   cmake -DKESTCMD=... -DEXPECTED=.../docs/keys.md -P keys_doc.cmake
# (KESTCMD may be a list: an emulator and the tool.)
execute_process(COMMAND ${KESTCMD} schema --format markdown OUTPUT_VARIABLE made
                RESULT_VARIABLE status)
file(READ "${EXPECTED}" expected)
if(NOT status EQUAL 0 OR NOT made STREQUAL expected)
  message(FATAL_ERROR "${EXPECTED} is stale: make it again with\n"
                      "  kestcmd schema --format markdown > docs/keys.md")
endif()
