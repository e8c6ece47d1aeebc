#include "engine/io/KestCmdOutput.h"
#include "utilities/ZUL_Exception.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace KestCmdItemDefs;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

class Writer : public test_support::TempDirTest {
  protected:
    fs::path path() const { return dir / "job.par"; }

    KestCmdParOutput writer(const std::wstring& file) const {
        return KestCmdParOutput(file, container, KestCmdDefs::get_default_cmd_names(),
                                default_item_names);
    }

    // Writes the container with the standard names and returns the file's bytes.
    std::string write(const std::wstring& mode = L"wb") const {
        writer(path().wstring()).Write(mode);
        return test_support::slurp(path());
    }

    // Writes to `file`, which must fail with a message that names the file.
    void expect_failure(const fs::path& file) const {
        try {
            writer(file.wstring()).Write(L"w");
            ADD_FAILURE() << file << " was written";
        } catch (const ZUL_Failure& failure) {
            const std::string message = failure.what();
            EXPECT_NE(message.find("'" + file.string() + "'"), std::string::npos) << message;
        }
    }

    KestCmdContainer container;
};

// A writer of a caller's own: its header, footer, command and item lines. Items whose text is
// "bad" throw.
struct BadItem {};
class Listing : public KestCmdOutput {
  public:
    Listing(const std::wstring& file, const KestCmdContainer& job) : KestCmdOutput(file, job) {}

  protected:
    std::string GetHeader() const override { return "<job>"; }
    std::string GetFooter() const override { return "</job>"; }
    std::array<std::string, 2> GetCommand(const KestCmd& cmd) const override {
        return {"<" + std::to_string(cmd.GetType()) + ">", "</>"};
    }
    std::string GetItem(CmdItem kind, const KestCmdItem& item) const override {
        if (item.GetString() == "bad") {
            throw BadItem();
        }
        return std::to_string(kind) + ":" + item.GetString();
    }
};

} // namespace

TEST_F(Writer, ACallersOwnWriterGivesEveryLine) {
    container.CreateCommand(KestCmdDefs::STOP).AddStringItem(ITER_MAX, "10");
    container.CreateCommand(KestCmdDefs::DV);
    const Listing listing(path().wstring(), container);
    listing.Write(L"wb");
    EXPECT_EQ(test_support::slurp(path()), "<job>\n<2>\n</>\n\n<11>\n  21:10\n</>\n\n</job>\n");

    // A throwing item: the exception reaches the caller as thrown, and the lines before it are
    // written although the job is far smaller than one piece of gathered output.
    container.CreateCommand(KestCmdDefs::STOP).AddStringItem(ITER_MAX, "bad");
    const std::string before = "<job>\n<2>\n</>\n\n<11>\n  21:10\n</>\n\n<11>\n";
    EXPECT_THROW(listing.Write(L"wb"), BadItem);
    EXPECT_EQ(test_support::slurp(path()), before);
    const test_support::CapturedStream stream;
    EXPECT_THROW(listing.Write(stream.get()), BadItem);
    EXPECT_EQ(stream.text(), before);
}

// Commands in type order, each type in creation order; items in kind order, each kind in list
// order; texts whole, zero bytes and line breaks included; a reference as its target's name.
// Mode "wb" replaces the file, "ab" appends to it.
TEST_F(Writer, WritesCommandsAndItemsInOrderAndTextsVerbatim) {
    EXPECT_EQ(write(), "\n\n"); // the empty header and footer lines
    KestCmd& optimize = container.CreateCommand(KestCmdDefs::OPTIMIZE);
    KestCmd& unnamed = container.CreateCommand(KestCmdDefs::DV);
    KestCmd& dv = container.CreateCommand(KestCmdDefs::DV);
    dv.AddStringItem(GROUP, "g1");
    dv.AddStringItem(TYPE, "TOPO");
    dv.AddStringItem(ID_NAME, "dv1");
    dv.AddAutoItem(GROUP, "g2", create_enum_map());
    container.CreateCommand(KestCmdDefs::CMD_PLACEHOLDER).AddStringItem(PLACEHOLDER, "as read");
    KestCmd& dresp = container.CreateCommand(KestCmdDefs::DRESP);
    dresp.AddStringItem(LIST_BEGIN, "1, 2,\n  3, 4");
    dresp.AddStringItem(VALUE, "a\0b"s);
    optimize.AddItem(DV, unnamed);
    optimize.AddItem(DV, dv);
    const std::string expected =
        "\nDV\nEND_\n\n"
        "DV\n  ID_NAME = dv1\n  TYPE = TOPO\n  GROUP = g1\n  GROUP = g2\nEND_\n\n"
        "DRESP\n  VALUE = a\0b\n  LIST_BEGIN = 1, 2,\n  3, 4\nEND_\n\n"
        "OPTIMIZE\n  DV = \n  DV = dv1\nEND_\n\n"
        "CMD_PLACEHOLDER\n  PLACEHOLDER = as read\nEND_\n\n\n"s;
    EXPECT_EQ(write(), expected);
    EXPECT_EQ(write(L"ab"), expected + expected);

    // Deleted through the base: the sanitizer build reports a destructor that is not virtual.
    std::unique_ptr<KestCmdOutput> base = std::make_unique<KestCmdParOutput>(writer(L"unused"));
    base.reset();
}

// The mode reaches the system as given: text mode ("w", "a") ends lines as the system does (CR LF
// on Windows), binary mode ("wb") with LF alone; the reader reads both as the same job.
TEST_F(Writer, LinesEndAsTheModeSays) {
    KestCmd& stop = container.CreateCommand(KestCmdDefs::STOP);
    stop.AddStringItem(ID_NAME, "s");
    stop.AddStringItem(ITER_MAX, "10");
    const std::string lines = "\nSTOP\n  ID_NAME = s\n  ITER_MAX = 10\nEND_\n\n\n";
    const std::string binary = write(L"wb");
    EXPECT_EQ(binary, lines);
    const std::string text = write(L"w");
    EXPECT_EQ(text, test_support::in_text_mode(lines));
    EXPECT_EQ(write(L"a"), text + text);
    EXPECT_EQ(test_support::job_of(text), test_support::job_of(binary));
}

// A job of many pieces of output comes out whole and in order, to a file as to a stream.
TEST_F(Writer, LargeJobsComeOutWholeToFilesAndStreams) {
    std::string expected = "\n";
    for (int i = 0; i < 20000; ++i) {
        container.CreateCommand(KestCmdDefs::DV).AddStringItem(ID_NAME, "dv" + std::to_string(i));
        expected += "DV\n  ID_NAME = dv" + std::to_string(i) + "\nEND_\n\n";
    }
    expected += "\n";
    EXPECT_EQ(write(), expected);

    EXPECT_EQ(test_support::written(container), expected); // to a stream
    EXPECT_THROW(writer(L"no stream").Write(static_cast<std::FILE*>(nullptr)), ZUL_Failure);
}

TEST_F(Writer, FailuresToOpenOrWriteAreReported) {
    expect_failure(path().parent_path() / "missing" / "job.par");
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    // Every byte is refused. A short file stays in the stream's buffer until the file is
    // closed; a long one fails while it is written. Neither may report success.
    expect_failure("/dev/full");
    container.CreateCommand(KestCmdDefs::DV).AddStringItem(ID_NAME, std::string(1 << 16, 'x'));
    expect_failure("/dev/full");
}
