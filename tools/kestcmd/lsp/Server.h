// The language server: JSON-RPC messages in, responses and notifications out, with the open
// documents in between. Every malformed message gets the protocol's error response and the
// server goes on; only the exit notification ends it.
#pragma once

#include "OpenDocument.h"
#include "Protocol.h"

#include <functional>
#include <istream>
#include <map>
#include <ostream>
#include <string>
#include <string_view>

namespace kestcmd::lsp {

class Server {
  public:
    /// Takes the content of each message the server sends.
    using Sink = std::function<void(const std::string&)>;
    explicit Server(Sink send);

    /// Handles the content of one message (released once read, so that a large document is not
    /// held as message text and as document text at once).
    void Receive(std::string content);
    /// Answers a message whose header had no valid Content-Length.
    void ReceiveBadHeader();

    /// Whether the exit notification came; then the process ends with ExitCode().
    bool Exited() const { return _exited; }
    /// 0 when shutdown came before exit (or before the end of the input), 1 otherwise.
    int ExitCode() const { return _shut_down ? 0 : 1; }

  private:
    struct Entry {
        Entry(std::string text, KestParCheckSettings settings)
            : document(std::move(text), std::move(settings)) {}
        OpenDocument document;
        json version;
    };

    json Request(const std::string& method, const json& params);
    /// Handles a notification; takes texts out of `params`.
    void Notify(const std::string& method, json& params);
    const OpenDocument& Find(const json& params) const;
    void Publish(const std::string& uri, const Entry& entry);
    /// Check's settings for the document `uri`: those of the settings file found from its
    /// folder (for a file: URI), with the initialization options laid over them.
    KestParCheckSettings SettingsFor(const std::string& uri);
    /// Shows `message` to the user as an error.
    void ShowError(const std::string& message);
    void Reply(const json& id, json result);
    void Fail(const json& id, ErrorCode code, const std::string& message);
    void Send(const json& message);

    Sink _send;
    std::map<std::string, Entry> _documents;
    /// The initialization options' "schema" and "ignore" as JSON text, or empty.
    std::string _check_options;
    bool _initialized = false;
    bool _shut_down = false;
    bool _exited = false;
};

/// Serves the framed messages of `in`, writing to `out`, until exit or the end of the input;
/// returns the exit code.
int serve(std::istream& in, std::ostream& out);

} // namespace kestcmd::lsp
