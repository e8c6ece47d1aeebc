#include "Server.h"

#include "Features.h"
#include "Framing.h"
#include "LenientJson.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kestcmd::lsp {

namespace {

using Feature = json (*)(const OpenDocument&, const json&);

// The deepest message the server takes: the protocol's own go about eight levels deep, and the
// code that copies, prints and compares messages recurses once per level.
constexpr std::size_t max_nesting = 64;

const std::map<std::string, Feature, std::less<>>& features() {
    static const std::map<std::string, Feature, std::less<>> table{
        {"textDocument/completion", completion},
        {"textDocument/hover", hover},
        {"textDocument/definition", definition},
        {"textDocument/references", references},
        {"textDocument/prepareRename", prepare_rename},
        {"textDocument/rename", rename},
        {"textDocument/documentSymbol", document_symbols},
        {"textDocument/codeAction", code_actions},
        {"textDocument/formatting", formatting},
    };
    return table;
}

json capabilities() {
    return {{"positionEncoding", "utf-16"},
            {"textDocumentSync", {{"openClose", true}, {"change", 2}}},
            {"completionProvider", {{"triggerCharacters", {"="}}}},
            {"hoverProvider", true},
            {"definitionProvider", true},
            {"referencesProvider", true},
            {"renameProvider", {{"prepareProvider", true}}},
            {"documentSymbolProvider", true},
            {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
            {"documentFormattingProvider", true}};
}

// Takes the text `name` out of `object`.
std::string take_text(json& object, const char* name) {
    if (!object.is_object() || !object.contains(name) || !object[name].is_string()) {
        throw ProtocolError(invalid_params, std::string("missing '") + name + "'");
    }
    return std::move(object[name].get_ref<std::string&>());
}

} // namespace

Server::Server(Sink send) : _send(std::move(send)) {}

void Server::Send(const json& message) {
    _send(message.dump(-1, ' ', false, json::error_handler_t::replace));
}

void Server::Reply(const json& id, json result) {
    Send({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

void Server::Fail(const json& id, ErrorCode code, const std::string& message) {
    Send({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

void Server::ReceiveBadHeader() {
    Fail(nullptr, parse_error, "message header without a valid Content-Length");
}

void Server::Receive(std::string content) {
    json message = parse_lenient(content);
    std::string().swap(content);
    if (message.is_discarded()) {
        Fail(nullptr, parse_error, "the message is no JSON text");
        return;
    }
    if (!message.is_object()) {
        Fail(nullptr, invalid_request, "the message is no JSON object");
        return;
    }
    if (nested_deeper_than(message, max_nesting)) {
        Fail(nullptr, invalid_request,
             "the message nests deeper than " + std::to_string(max_nesting) + " levels");
        return;
    }
    const bool request = message.contains("id");
    const json id = request ? message["id"] : json();
    if (request && !id.is_number_integer() && !id.is_string()) {
        Fail(nullptr, invalid_request, "the id is no integer or string");
        return;
    }
    if (!message.contains("method")) {
        // A response to a request of the server's (it sends none) is dropped.
        if (!request || !(message.contains("result") || message.contains("error"))) {
            Fail(id, invalid_request, "the message has no method");
        }
        return;
    }
    if (!message["method"].is_string()) {
        Fail(id, invalid_request, "the method is no string");
        return;
    }
    const std::string method = message["method"].get<std::string>();
    json params = message.contains("params") ? std::move(message["params"]) : json::object();
    try {
        if (request) {
            Reply(id, Request(method, params));
        } else {
            Notify(method, params);
        }
    } catch (const ProtocolError& error) {
        if (request) {
            Fail(id, error.code, error.what());
        }
    } catch (const json::exception& error) {
        if (request) {
            Fail(id, invalid_params, error.what());
        }
    } catch (const std::exception& error) {
        if (request) {
            Fail(id, internal_error, error.what());
        }
    }
}

json Server::Request(const std::string& method, const json& params) {
    if (_shut_down) {
        throw ProtocolError(invalid_request, "the server is shut down");
    }
    if (method == "initialize") {
        if (_initialized) {
            throw ProtocolError(invalid_request, "the server is initialized already");
        }
        _initialized = true;
        return {{"capabilities", capabilities()},
                {"serverInfo", {{"name", "kestcmd"}, {"version", KEST_VERSION}}}};
    }
    if (!_initialized) {
        throw ProtocolError(server_not_initialized, "initialize comes first");
    }
    if (method == "shutdown") {
        _shut_down = true;
        return nullptr;
    }
    const auto feature = features().find(method);
    if (feature == features().end()) {
        throw ProtocolError(method_not_found, "unknown method '" + method + "'");
    }
    return feature->second(Find(params), params);
}

const OpenDocument& Server::Find(const json& params) const {
    const std::string uri = uri_param(params);
    const auto found = _documents.find(uri);
    if (found == _documents.end()) {
        throw ProtocolError(invalid_params, "the document '" + uri + "' is not open");
    }
    return found->second.document;
}

void Server::Notify(const std::string& method, json& params) {
    if (method == "exit") {
        _exited = true;
        return;
    }
    if (!_initialized || _shut_down) {
        return;
    }
    if (method == "textDocument/didOpen") {
        json& item = params.at("textDocument");
        const std::string uri = take_text(item, "uri");
        std::string text = take_text(item, "text");
        _documents.erase(uri);
        Entry& entry = _documents.try_emplace(uri, std::move(text)).first->second;
        entry.version = item.value("version", json());
        Publish(uri, entry);
    } else if (method == "textDocument/didChange") {
        const auto found = _documents.find(uri_param(params));
        if (found == _documents.end()) {
            return;
        }
        std::vector<TextChange> changes;
        for (json& change : params.at("contentChanges")) {
            TextChange made{std::nullopt, take_text(change, "text")};
            if (change.contains("range")) {
                made.range = range_param(change);
            }
            changes.push_back(std::move(made));
        }
        found->second.document.Change(std::move(changes));
        found->second.version = params.at("textDocument").value("version", json());
        Publish(found->first, found->second);
    } else if (method == "textDocument/didClose") {
        const std::string uri = uri_param(params);
        if (_documents.erase(uri) > 0) {
            Send({{"jsonrpc", "2.0"},
                  {"method", "textDocument/publishDiagnostics"},
                  {"params", {{"uri", uri}, {"diagnostics", json::array()}}}});
        }
    }
}

void Server::Publish(const std::string& uri, const Entry& entry) {
    json params = diagnostics(entry.document, uri);
    if (entry.version.is_number_integer()) {
        params["version"] = entry.version;
    }
    Send({{"jsonrpc", "2.0"},
          {"method", "textDocument/publishDiagnostics"},
          {"params", std::move(params)}});
}

int serve(std::istream& in, std::ostream& out) {
#if defined(__GLIBC__)
    // Texts of megabytes come and go with every change: their buffers go back to the system when
    // freed, instead of staying in the heap beside the jobs read from them.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
    Server server([&out](const std::string& content) { write_frame(out, content); });
    while (!server.Exited()) {
        Frame frame = read_frame(in);
        if (frame.status == Frame::end_of_input) {
            break;
        }
        if (frame.status == Frame::bad_header) {
            server.ReceiveBadHeader();
        } else {
            server.Receive(std::move(frame.content));
        }
    }
    return server.ExitCode();
}

} // namespace kestcmd::lsp
