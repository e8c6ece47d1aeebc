// What the tool needs of the system it runs on: its arguments as UTF-8, and standard streams
// that pass bytes as they are.
#pragma once

#include <string>
#include <vector>

namespace kestcmd {

/// The program's arguments as UTF-8. On Windows they come from the wide command line, so that
/// file names outside the ANSI code page arrive whole; elsewhere they are argv as given.
class Arguments {
  public:
    Arguments(int argc, char** argv);
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    int count() const { return static_cast<int>(_texts.size()); }
    const char* const* values() const { return _values.data(); }

  private:
    std::vector<std::string> _texts;
    std::vector<const char*> _values;
};

/// Sets standard input and output to binary where the C runtime would otherwise turn LF into
/// CR LF and stop reading at Ctrl-Z (Windows): the tool writes the same bytes on every system,
/// and the language server's Content-Length framing counts the bytes that are sent.
void use_binary_standard_streams();

} // namespace kestcmd
