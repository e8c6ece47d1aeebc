#include "engine/io/KestCmdOutput.h"
#include "utilities/ZUL_Exception.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>

using namespace KestCmdItemDefs;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

// Each test writes into a directory of its own, removed afterwards.
class Writer : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        _dir = fs::temp_directory_path() / (std::string("kest_writer_") + info->name() + "_" +
                                            std::to_string(std::random_device{}()));
        fs::create_directories(_dir);
    }
    void TearDown() override { fs::remove_all(_dir); }

    fs::path path() const { return _dir / "job.par"; }

    KestCmdParOutput writer(const std::wstring& file) const {
        return KestCmdParOutput(file, container, KestCmdDefs::get_default_cmd_names(),
                                default_item_names);
    }

    // Writes the container with the standard names and returns the file's bytes.
    std::string write(const std::wstring& mode = L"w") const {
        writer(path().wstring()).Write(mode);
        std::ifstream in(path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
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

  private:
    fs::path _dir;
};

// A writer of a caller's own: its header, footer, command and item lines.
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
        return std::to_string(kind) + ":" + item.GetString();
    }
};

} // namespace

TEST_F(Writer, ACallersOwnWriterGivesEveryLine) {
    container.CreateCommand(KestCmdDefs::STOP).AddStringItem(ITER_MAX, "10");
    container.CreateCommand(KestCmdDefs::DV);
    Listing(path().wstring(), container).Write(L"w");
    std::ifstream in(path(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "<job>\n<2>\n</>\n\n<11>\n  21:10\n</>\n\n</job>\n");
}

TEST_F(Writer, EmptyContainerAndEmptyCommand) {
    EXPECT_EQ(write(), "\n\n"); // the empty header and footer lines
    container.CreateCommand(KestCmdDefs::OPT_PARAM);
    EXPECT_EQ(write(), "\nOPT_PARAM\nEND_\n\n\n");
}

TEST_F(Writer, ItemsFollowKindOrderAndListOrder) {
    KestCmd& dv = container.CreateCommand(KestCmdDefs::DV);
    dv.AddStringItem(GROUP, "g1");
    dv.AddStringItem(TYPE, "TOPO");
    dv.AddStringItem(ID_NAME, "dv1");
    dv.AddStringItem(GROUP, "g2");
    dv.AddAutoItem(GROUP, "g3", create_enum_map());
    dv.AddStringItem(ADD_FILE, "a.inp");
    EXPECT_EQ(write(), "\nDV\n"
                       "  ID_NAME = dv1\n"
                       "  TYPE = TOPO\n"
                       "  ADD_FILE = a.inp\n"
                       "  GROUP = g1\n"
                       "  GROUP = g2\n"
                       "  GROUP = g3\n"
                       "END_\n\n\n");
}

TEST_F(Writer, CommandsFollowTypeOrderAndReferencesPrintTheirTargetsName) {
    // Created against type order: the writer must not follow creation order.
    KestCmd& optimize = container.CreateCommand(KestCmdDefs::OPTIMIZE);
    KestCmd& unnamed = container.CreateCommand(KestCmdDefs::DV);
    KestCmd& named = container.CreateCommand(KestCmdDefs::DV);
    named.AddStringItem(ID_NAME, "dv2");
    container.CreateCommand(KestCmdDefs::MODEL_INPUT).AddStringItem(KestCmdItemDefs::FILE, "m.inp");
    optimize.AddItem(DV, unnamed);
    optimize.AddItem(DV, named);
    EXPECT_EQ(write(), "\nMODEL_INPUT\n  FILE = m.inp\nEND_\n\n"
                       "DV\nEND_\n\n"
                       "DV\n  ID_NAME = dv2\nEND_\n\n"
                       "OPTIMIZE\n  DV = \n  DV = dv2\nEND_\n\n\n");
}

TEST_F(Writer, TextsAreWrittenVerbatim) {
    KestCmd& unknown = container.CreateCommand(KestCmdDefs::CMD_PLACEHOLDER);
    unknown.AddStringItem(PLACEHOLDER, "kept as read");
    KestCmd& dresp = container.CreateCommand(KestCmdDefs::DRESP);
    dresp.AddStringItem(LIST_BEGIN, "1, 2,\n  3, 4");
    // The whole value, zero byte included: cutting it there would lose the rest of the text.
    dresp.AddStringItem(VALUE, "a\0b"s);
    EXPECT_EQ(write(), "\nDRESP\n"
                       "  VALUE = a\0b\n"
                       "  LIST_BEGIN = 1, 2,\n  3, 4\n"
                       "END_\n\n"
                       "CMD_PLACEHOLDER\n  PLACEHOLDER = kept as read\nEND_\n\n\n"s);
}

TEST_F(Writer, ModeReplacesOrAppends) {
    container.CreateCommand(KestCmdDefs::STOP);
    const std::string once = "\nSTOP\nEND_\n\n\n";
    EXPECT_EQ(write(), once);
    EXPECT_EQ(write(), once);
    EXPECT_EQ(write(L"a"), once + once);

    // Deleted through the base: the sanitizer build reports a destructor that is not virtual.
    std::unique_ptr<KestCmdOutput> base = std::make_unique<KestCmdParOutput>(writer(L"unused"));
    base.reset();
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

    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    writer(L"named in messages").Write(stream);
    std::rewind(stream);
    std::string streamed(expected.size() + 1, '\0');
    streamed.resize(std::fread(&streamed[0], 1, streamed.size(), stream));
    std::fclose(stream);
    EXPECT_EQ(streamed, expected);
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
