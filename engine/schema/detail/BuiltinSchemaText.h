// The text of the built-in schema, compiled into the library from
// engine/schema/kestcmd-schema.json (cmake/EmbedText.cmake), so that the library needs no file
// at run time.
#pragma once

#include <string_view>

namespace KestSchemaText {

std::string_view builtin();

} // namespace KestSchemaText
