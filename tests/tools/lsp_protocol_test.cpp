// The language server driven in-process: messages in, the exact messages out.
#include "lsp/Framing.h"
#include "lsp/Server.h"

#include <gtest/gtest.h>

#include <sstream>

using kestcmd::lsp::json;

namespace {

const std::string uri = "file:///job.par";

// A server and what it sent in answer to the last message.
class Session {
  public:
    Session()
        : _server([this](const std::string& content) { sent.push_back(json::parse(content)); }) {}

    std::vector<json> Raw(const std::string& content) {
        sent.clear();
        _server.Receive(content);
        return sent;
    }
    std::vector<json> Send(const json& message) { return Raw(message.dump()); }
    json Request(const std::string& method, json params) {
        const std::vector<json> answer =
            Send({{"jsonrpc", "2.0"}, {"id", 7}, {"method", method}, {"params", params}});
        EXPECT_EQ(answer.size(), 1u);
        EXPECT_FALSE(answer.at(0).contains("error")) << answer.at(0);
        return answer.at(0).value("result", json());
    }
    void Notify(const std::string& method, json params) {
        Send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
    }
    /// Initializes the server and opens `text`; returns the diagnostics published for it.
    json Open(const std::string& text) {
        Request("initialize", {{"capabilities", json::object()}});
        Notify("textDocument/didOpen",
               {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", text}}}});
        return sent.at(0)["params"]["diagnostics"];
    }
    /// A request about a place of the open document.
    json At(const std::string& method, std::size_t line, std::size_t character,
            json extra = json::object()) {
        extra["textDocument"] = {{"uri", uri}};
        extra["position"] = {{"line", line}, {"character", character}};
        return Request(method, extra);
    }

    std::vector<json> sent;

  private:
    kestcmd::lsp::Server _server;
};

json range(std::size_t l1, std::size_t c1, std::size_t l2, std::size_t c2) {
    return {{"start", {{"line", l1}, {"character", c1}}},
            {"end", {{"line", l2}, {"character", c2}}}};
}

json error(json id, int code, const std::string& message) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

const std::string job = "DRESP\n"
                        "  ID_NAME = vol\n"
                        "  TYPE = VOLUME\n"
                        "END_\n"
                        "CONSTRAINT\n"
                        "  ID_NAME = limit\n"
                        "  DRESP = Vol\n"
                        "  GROUP = 1-100:2,300\n"
                        "END_\n"
                        "OPERATOR\n"
                        "  ID_NAME = sum\n"
                        "  REFERENCE = DRESP, vol, 0.5\n"
                        "END_\n";

} // namespace

TEST(LspProtocol, MalformedMessagesGetErrorsAndTheServerGoesOn) {
    Session session;
    const struct {
        std::string content;
        json answer;
    } cases[] = {
        {"{\"jsonrpc\":", error(nullptr, -32700, "the message is no JSON text")},
        {"[1,2]", error(nullptr, -32600, "the message is no JSON object")},
        {R"({"id":true,"method":"shutdown"})",
         error(nullptr, -32600, "the id is no integer or string")},
        {R"({"id":"a"})", error("a", -32600, "the message has no method")},
        {R"({"id":1,"method":3})", error(1, -32600, "the method is no string")},
        {R"({"id":2,"method":"textDocument/hover","params":{}})",
         error(2, -32002, "initialize comes first")},
        {R"({"id":3,"method":"initialize"})", json()},
        {R"({"id":4,"method":"initialize"})",
         error(4, -32600, "the server is initialized already")},
        {R"({"id":5,"method":"workspace/symbol","params":{}})",
         error(5, -32601, "unknown method 'workspace/symbol'")},
        {R"({"id":6,"method":"textDocument/hover","params":{"textDocument":{}}})",
         error(6, -32602, "missing 'uri'")},
        {R"({"id":7,"method":"textDocument/hover","params":{"textDocument":{"uri":"x"}}})",
         error(7, -32602, "the document 'x' is not open")},
        {R"({"method":"textDocument/didOpen","params":{"textDocument":{"uri":3}}})", json()},
        {R"({"method":"$/cancelRequest","params":{"id":1}})", json()},
        {R"({"id":8,"result":null})", json()},
        {R"({"id":9,"method":"shutdown"})", {{"jsonrpc", "2.0"}, {"id", 9}, {"result", nullptr}}},
        {R"({"id":10,"method":"shutdown"})", error(10, -32600, "the server is shut down")},
    };
    for (const auto& c : cases) {
        const std::vector<json> answer = session.Raw(c.content);
        if (c.answer.is_null()) {
            EXPECT_TRUE(answer.empty() || answer[0]["id"] == 3) << c.content;
        } else {
            EXPECT_EQ(answer, std::vector<json>{c.answer}) << c.content;
        }
    }
}

TEST(LspProtocol, FramedStreamsEndWithTheExitCode) {
    const auto frame = [](const std::string& content) {
        return "Content-Length: " + std::to_string(content.size()) + "\r\n\r\n" + content;
    };
    const std::string initialize = frame(R"({"id":1,"method":"initialize"})");
    const std::string shutdown = frame(R"({"id":2,"method":"shutdown"})");
    const std::string exit = frame(R"({"method":"exit"})");
    const struct {
        std::string in;
        int code;
        std::size_t answers;
    } cases[] = {
        {initialize + shutdown + exit + initialize, 0, 2}, // nothing is read after exit
        {initialize + exit, 1, 1},
        {initialize + shutdown, 0, 2}, // the input ends
        {"Content-Type: x\r\n\r\n" + initialize + "Content-Length: 1x\r\n\r\n" + exit, 1, 3},
        {"Content-Length: 99999999999\r\n\r\n{}", 1, 0},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.in);
        std::ostringstream out;
        EXPECT_EQ(kestcmd::lsp::serve(in, out), c.code) << c.in;
        std::istringstream answers(out.str());
        std::size_t count = 0;
        while (kestcmd::lsp::read_frame(answers).status == kestcmd::lsp::Frame::message) {
            ++count;
        }
        EXPECT_EQ(count, c.answers) << c.in;
    }
}

TEST(LspProtocol, DiagnosticsCountUtf16UnitsAndProtocolLines) {
    // A lone CR ends a line for the protocol, not for the reader; é is one unit, 𝄞 two.
    const struct {
        std::string text;
        json range;
    } cases[] = {
        {"DV\n  ID_NAME = d\n  DRESP = x\nEND_\n", range(2, 10, 2, 11)},
        {"\xEF\xBB\xBF"
         "DV\r\n  ID_NAME = d\r\n  DRESP = x\r\nEND_\r\n",
         range(2, 10, 2, 11)},
        {"DV\n  # \xC3\xA9\r\xC3\xA9\n  ID_NAME = d\n  DRESP = x\nEND_\n", range(4, 10, 4, 11)},
        {"DV\n  ID_NAME = d\n  DESCRIPTION = \xC3\xA9\xF0\x9D\x84\x9E\r!\n  DRESP = x\nEND_\n",
         range(4, 10, 4, 11)},
        {"DV\n  ID_NAME = d\n  DRESP = \xF0\x9D\x84\x9E x\nEND_\n", range(2, 10, 2, 14)},
    };
    for (const auto& c : cases) {
        Session session;
        const json found = session.Open(c.text);
        ASSERT_EQ(found.size(), 1u) << c.text;
        EXPECT_EQ(found[0]["range"], c.range) << c.text;
        EXPECT_EQ(found[0]["code"], "unknown-name");
        EXPECT_EQ(found[0]["severity"], 1);
    }
}

TEST(LspProtocol, ChangesApplyInOrderAndRepublish) {
    Session session;
    EXPECT_EQ(session.Open(job).size(), 0u);
    const auto change = [&](json changes) {
        session.Notify("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", 2}}},
                                                  {"contentChanges", changes}});
        EXPECT_EQ(session.sent.at(0)["params"]["version"], 2);
        return session.sent.at(0)["params"]["diagnostics"];
    };
    // "Vol" becomes "Vox"; then "vol" again, the name "ume" (a range past the end of its line)
    // and a block past the end of the text.
    json found = change({{{"range", range(6, 12, 6, 13)}, {"text", "x"}}});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]["message"], "DRESP = Vox names no command of the job; did you mean 'VOL'?");
    found = change({{{"range", range(6, 10, 6, 13)}, {"text", "vol"}},
                    {{"range", range(1, 12, 1, 99)}, {"text", "ume"}},
                    {{"range", range(99, 0, 99, 0)}, {"text", "DV\n"}}});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0]["range"], range(6, 10, 6, 13));
    EXPECT_EQ(found[1]["code"], "missing-name");
    EXPECT_EQ(found[1]["range"], range(13, 0, 13, 2));
    found = change({{{"text", job + job}}});
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0]["relatedInformation"],
              json::array({{{"location", {{"uri", uri}, {"range", range(1, 12, 1, 15)}}},
                            {"message", "the name is first given here"}}}));
    session.Notify("textDocument/didClose", {{"textDocument", {{"uri", uri}}}});
    EXPECT_EQ(session.sent.at(0)["params"]["diagnostics"], json::array());
}

TEST(LspProtocol, NamesLeadToTheirCommands) {
    Session session;
    session.Open(job);
    const json definition = {{"uri", uri}, {"range", range(1, 12, 1, 15)}};
    EXPECT_EQ(session.At("textDocument/definition", 6, 11), definition);
    EXPECT_EQ(session.At("textDocument/definition", 11, 22), definition);
    EXPECT_EQ(session.At("textDocument/definition", 2, 10), json());

    const json references =
        session.At("textDocument/references", 0, 1, {{"context", {{"includeDeclaration", true}}}});
    EXPECT_EQ(references, json::array({definition,
                                       {{"uri", uri}, {"range", range(6, 10, 6, 13)}},
                                       {{"uri", uri}, {"range", range(11, 21, 11, 24)}}}));

    EXPECT_EQ(session.At("textDocument/prepareRename", 11, 22),
              json({{"range", range(11, 21, 11, 24)}, {"placeholder", "vol"}}));
    const json edits = session.At("textDocument/rename", 6, 11, {{"newName", "volume"}});
    EXPECT_EQ(edits, json({{"changes",
                            {{uri,
                              {{{"range", range(1, 15, 1, 15)}, {"newText", "ume"}},
                               {{"range", range(6, 10, 6, 13)}, {"newText", "volume"}},
                               {{"range", range(11, 24, 11, 24)}, {"newText", "ume"}}}}}}}));
    const std::vector<json> refused =
        session.Send({{"id", 1},
                      {"method", "textDocument/rename"},
                      {"params",
                       {{"textDocument", {{"uri", uri}}},
                        {"position", {{"line", 1}, {"character", 12}}},
                        {"newName", "a,b"}}}});
    EXPECT_EQ(refused.at(0)["error"]["code"], -32602);
}

// A keyword value that reads like a name is no name: not a reference, not renamed.
TEST(LspProtocol, KeywordValuesAreNoNames) {
    Session session;
    session.Open("DRESP\n  ID_NAME = volume\n  TYPE = VOLUME\nEND_\n"
                 "OBJ_FUNC\n  DRESP = volume\nEND_\n");
    EXPECT_EQ(session.At("textDocument/references", 1, 12),
              json::array({{{"uri", uri}, {"range", range(5, 10, 5, 16)}}}));
    EXPECT_EQ(session.At("textDocument/definition", 2, 12), json());
    const json edits = session.At("textDocument/rename", 1, 12, {{"newName", "vol"}});
    EXPECT_EQ(edits["changes"][uri].size(), 2u);
    EXPECT_EQ(edits.dump().find("\"range\":{\"end\":{\"character\":15,\"line\":2}"),
              std::string::npos);
}

TEST(LspProtocol, CompletionFollowsThePlace) {
    Session session;
    session.Open(job + "GROUP_DEF\n  \nEND_\n\n");
    const auto labels = [&](std::size_t line, std::size_t character) {
        std::vector<std::string> out;
        for (const json& item : session.At("textDocument/completion", line, character)) {
            out.push_back(item["label"]);
        }
        return out;
    };
    const std::vector<std::string> keywords = labels(17, 0);
    EXPECT_EQ(keywords.front(), "MODEL_INPUT");
    EXPECT_EQ(keywords, labels(0, 2));
    const std::vector<std::string> keys = labels(14, 2);
    EXPECT_EQ(keys.front(), "ID_NAME");
    EXPECT_EQ(keys.back(), "END_");
    EXPECT_EQ(labels(6, 10), std::vector<std::string>{"vol"});
    const std::vector<std::string> values = labels(2, 9);
    EXPECT_NE(std::find(values.begin(), values.end(), "VOLUME"), values.end());
}

TEST(LspProtocol, HoverSymbolsQuickFixAndFormatting) {
    Session session;
    session.Open(job + "DV\n  ID_NAME = d\n  DRESP = vok\nEND_\n");
    EXPECT_EQ(session.At("textDocument/hover", 7, 12)["contents"]["value"],
              "`GROUP` = `1-100:2,300`\n\n- list of pieces: 2\n"
              "- integer list: 51 values, first 1, last 300, 2 runs\n");
    const std::string named = session.At("textDocument/hover", 6, 11)["contents"]["value"];
    EXPECT_NE(named.find("names DRESP `vol`:\n\n```\nDRESP\n  ID_NAME = vol\n  TYPE = "
                         "VOLUME\nEND_\n```\n"),
              std::string::npos)
        << named;

    const json symbols =
        session.Request("textDocument/documentSymbol", {{"textDocument", {{"uri", uri}}}});
    ASSERT_EQ(symbols.size(), 4u);
    EXPECT_EQ(symbols[0]["name"], "vol");
    EXPECT_EQ(symbols[0]["range"], range(0, 0, 3, 4));
    EXPECT_EQ(symbols[0]["children"][1], json({{"name", "TYPE"},
                                               {"detail", "VOLUME"},
                                               {"kind", 8},
                                               {"range", range(2, 2, 2, 15)},
                                               {"selectionRange", range(2, 2, 2, 6)}}));

    const json actions =
        session.Request("textDocument/codeAction", {{"textDocument", {{"uri", uri}}},
                                                    {"range", range(15, 11, 15, 11)},
                                                    {"context", {{"diagnostics", json::array()}}}});
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0]["title"], "Replace with 'vol'");
    EXPECT_EQ(
        actions[0]["edit"],
        json({{"changes", {{uri, {{{"range", range(15, 10, 15, 13)}, {"newText", "vol"}}}}}}}));

    const json format = {{"textDocument", {{"uri", uri}}}};
    const auto formatted = [&](const std::string& text) {
        session.Notify("textDocument/didChange",
                       {{"textDocument", {{"uri", uri}}}, {"contentChanges", {{{"text", text}}}}});
        return session.Request("textDocument/formatting", format);
    };
    const std::string laid_out = "DV\n  ID_NAME = d\nEND_\n";
    EXPECT_EQ(formatted("dv\n ID_NAME=d\n"),
              json::array({{{"range", range(0, 0, 2, 0)}, {"newText", laid_out}}}));
    EXPECT_EQ(formatted(laid_out), json::array());
}

TEST(LspProtocol, AnUnreadableTextKeepsItsText) {
    // Interleaved steps kept value by value need more runs than a list may hold.
    Session session;
    const json found =
        session.Open("GROUP_DEF\n  ID_NAME = g\n  GROUP = 1-99999999:3,2-99999999:3\nEND_\n");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]["code"], "unreadable");
    EXPECT_EQ(session.At("textDocument/hover", 2, 12), json());
    // The change applies to the text as the client holds it: the second range goes, the job reads.
    session.Notify("textDocument/didChange",
                   {{"textDocument", {{"uri", uri}}},
                    {"contentChanges", {{{"range", range(2, 22, 2, 35)}, {"text", ""}}}}});
    EXPECT_EQ(session.sent.at(0)["params"]["diagnostics"], json::array());
}

TEST(LspProtocol, BytesThatAreNoUtf8ComeThroughAsThey) {
    // A client may send a Latin-1 byte as it is; a private-use character beside it stays itself.
    Session session;
    session.Request("initialize", json::object());
    const std::string text = "# \xF4\x8F\xBC\x80\\ndv\\n  ID_NAME = d\\n  DRESP = \xE9x\\nEND_\\n";
    session.Raw(R"({"method":"textDocument/didOpen","params":{"textDocument":{"uri":")" + uri +
                R"(","text":")" + text + "\"}}}");
    const json found = session.sent.at(0)["params"]["diagnostics"];
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]["range"], range(3, 10, 3, 12));
    EXPECT_EQ(session.Request("textDocument/formatting", {{"textDocument", {{"uri", uri}}}}),
              json::array({{{"range", range(0, 0, 5, 0)},
                            {"newText", "# \xF4\x8F\xBC\x80\nDV\n  ID_NAME = d\n  DRESP = "
                                        "\xEF\xBF\xBDx\nEND_\n"}}}));
}

TEST(LspProtocol, DeeplyNestedMessagesAreRefusedWithoutExhaustingTheStack) {
    Session session;
    session.Open(job);
    const auto nested = [](std::size_t levels, const std::string& inside) {
        return std::string(levels, '[') + inside + std::string(levels, ']');
    };
    const std::string deep = nested(300000, "\"\xE9\"");
    const std::string too_deep = "the message nests deeper than 64 levels";
    const json shown = session.At("textDocument/hover", 1, 12);
    const auto hover = [](int id, const std::string& extra) {
        return R"({"jsonrpc":"2.0","id":)" + std::to_string(id) +
               R"(,"method":"textDocument/hover","params":{"textDocument":{"uri":")" + uri +
               R"("},"position":{"line":1,"character":12},"extra":)" + extra + "}}";
    };
    const struct {
        std::string content;
        json answer;
    } cases[] = {
        {"[" + deep, error(nullptr, -32700, "the message is no JSON text")},
        {R"({"jsonrpc":"2.0","method":"m","params":)" + deep + "}",
         error(nullptr, -32600, too_deep)},
        {R"({"jsonrpc":"2.0","id":)" + deep + R"(,"method":"shutdown"})",
         error(nullptr, -32600, too_deep)},
        {R"({"method":"textDocument/didOpen","params":{"textDocument":{"uri":"b","text":"",)"
         R"("version":)" +
             deep + "}}}",
         error(nullptr, -32600, too_deep)},
        // The message is one level, its params a second: 62 arrays more are the most it takes.
        {hover(1, nested(62, "")), {{"jsonrpc", "2.0"}, {"id", 1}, {"result", shown}}},
        {hover(2, nested(63, "")), error(nullptr, -32600, too_deep)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(session.Raw(c.content), std::vector<json>{c.answer}) << c.content.substr(0, 80);
    }
}
