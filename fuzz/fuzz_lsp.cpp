// Arbitrary bytes as the input of the language server, twice: as a framed stream, header and
// all, and cut at zero bytes into message contents that go to the server one by one (so that
// mutations inside a message reach its handling instead of breaking the framing). Nothing may
// crash, and every message the server sends must be JSON.
#include "lsp/Framing.h"
#include "lsp/Server.h"

#include <KestCmdEngine.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

using kestcmd::lsp::json;

void check_sent(const std::string& content) {
    if (json::parse(content, nullptr, false).is_discarded()) {
        std::fprintf(stderr, "the server sent no JSON text:\n%s\n", content.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto quiet = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    const std::string input(reinterpret_cast<const char*>(data), size);

    std::istringstream in(input);
    std::ostringstream out;
    kestcmd::lsp::serve(in, out);
    std::istringstream sent(out.str());
    for (auto frame = kestcmd::lsp::read_frame(sent); frame.status == kestcmd::lsp::Frame::message;
         frame = kestcmd::lsp::read_frame(sent)) {
        check_sent(frame.content);
    }

    kestcmd::lsp::Server server(check_sent);
    for (std::size_t start = 0; start <= input.size() && !server.Exited();) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        server.Receive(input.substr(start, end - start));
        start = end + 1;
    }
    return 0;
}
