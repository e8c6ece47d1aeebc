// Reading a text in parts, on several threads or a file a piece at a time, gives exactly the job
// that one thread reading the whole text gives: the same commands, items, links and defaults, the
// same positions, the same warnings in the same order, and the same failure, raised by the first
// failing line of the text with the commands before it kept.
#include "engine/io/KestParFileAdapter.h"
#include "engine/model/KestItemMemory.h"
#include "utilities/ZUL_LogMacros.h"

#include "support/random_job_text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

using namespace KestCmdItemDefs;

namespace {

std::ostream& operator<<(std::ostream& out, const KestTextPosition& p) {
    return out << p.line << ':' << p.column;
}

// Everything that read(job, created, positions) gives, as text: the failure, the warnings, each
// command read with its position (and whether it is the one `created` lists, when it lists any)
// and those of its items, the links (by the place of their target among the commands) and the
// written job, completed when nothing failed.
template <class Read>
std::string reading(Read read) {
    std::ostringstream out;
    const ZUL_LogMacros::Sink previous =
        ZUL_LogMacros::set_sink([&out](const ZUL_LogMacros::LogRecord& record) {
            out << "warning: " << record.message << '\n';
        });
    KestCmdContainer job;
    std::vector<KestCmd*> created;
    KestSourceMap positions;
    try {
        read(job, created, positions);
    } catch (const ZUL_Failure& failure) {
        out << "failed: " << failure.what() << '\n';
    }
    ZUL_LogMacros::set_sink(previous);
    std::map<const KestCmd*, std::size_t> place;
    for (const KestCmd& cmd : job) {
        place.emplace(&cmd, place.size());
    }
    for (std::size_t i = 0; i < positions.CommandCount(); ++i) {
        const KestCmd& cmd = positions.Command(i);
        const auto span = positions.Find(cmd);
        out << "command " << place.at(&cmd)
            << (created.empty() || &cmd == created.at(i) ? "" : " not as created") << " at "
            << span->keyword << " to " << span->end_line << '\n';
        for (const KestSourceMap::ItemPlace& item : positions.Items(i)) {
            out << "  " << item.kind << '.' << item.index << " at " << item.span.key << ' '
                << item.span.value << ' ' << item.span.value_end << '\n';
        }
    }
    for (const KestCmd& cmd : job) {
        for (int kind = 0; kind < item_kind_count; ++kind) {
            for (const auto& item : cmd.Items(static_cast<CmdItem>(kind))) {
                if (item->GetReference() != nullptr) {
                    out << place.at(&cmd) << " -> " << place.at(item->GetReference()) << '\n';
                }
            }
        }
    }
    return out.str() + test_support::written(job);
}

// Reading `text` on `threads` threads.
std::string reading(const std::string& text, std::size_t threads) {
    KestCmdIoConfig config;
    config.threads = threads;
    config.bytes_per_thread = 1; // even a small text is split at every END_ line
    const KestParFileAdapter reader(L"job.par", config);
    return reading(
        [&](KestCmdContainer& job, std::vector<KestCmd*>& created, KestSourceMap& positions) {
            reader.ReadText(text, job, &created, &positions);
            reader.Complete(job);
        });
}

// Random jobs one after the other, with lines that warn (a step of 0) planted at random and
// `failures` lines too large to type (scattered ranges, slow to refuse) at random places.
std::string planted_jobs(unsigned seed, std::size_t jobs, std::size_t failures) {
    std::mt19937 rng(seed);
    std::string text;
    for (std::size_t j = 0; j < jobs; ++j) {
        text += test_support::JobText(seed * 1000 + static_cast<unsigned>(j), false).Make();
    }
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (rng() % 100 < 4) {
            lines.push_back("  GROUP = 1-10:0");
        }
        lines.push_back(line);
    }
    for (std::size_t f = 0; f < failures; ++f) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(rng() % (lines.size() + 1)),
                     "  GROUP = 1-2000000000:3,2-2000000000:3");
    }
    std::string out;
    for (const std::string& line : lines) {
        out += line + '\n';
    }
    return out;
}

} // namespace

TEST(ParallelRead, RandomJobsReadAsOnOneThread) {
    std::size_t failed = 0;
    std::size_t warned = 0;
    for (unsigned seed = 0; seed < 120; ++seed) {
        const std::string text = planted_jobs(seed, 1 + seed % 6, seed % 20 == 3 ? 2 : 0);
        const std::string one = reading(text, 1);
        failed += one.find("failed: ") != std::string::npos ? 1 : 0;
        warned += one.find("warning: ") != std::string::npos ? 1 : 0;
        for (std::size_t threads : {2, 7}) {
            EXPECT_EQ(reading(text, threads), one) << "seed " << seed << ", threads " << threads;
        }
    }
    // The planted lines did fail and warn often enough to be compared.
    EXPECT_GE(failed, 3u);
    EXPECT_GE(warned, 60u);
}

TEST(ParallelRead, ALargeJobReadInPartsIsTheJobOfOneThread) {
    // Enough commands, named apart, that the text is read in parts and linked by the pipeline.
    std::string text = planted_jobs(7, 20, 0);
    for (int i = 0; i < 12000; ++i) {
        const std::string n = std::to_string(i);
        text += "GROUP_DEF\n  ID_NAME = g" + n + "\n  GROUP = " + n + "-" + n + "0\nEND_\nDV\n" +
                "  ID_NAME = dv" + n + "\n  GROUP = g" + std::to_string(i * 7 % 12000) +
                "\nEND_\nDRESP\n  ID_NAME = r" + n + "\n  GROUP = g" + std::to_string(i / 2) +
                "\nEND_\n";
    }
    EXPECT_TRUE(reading(text, 3) == reading(text, 1));
}

class ParallelReadOfAFile : public test_support::TempDirTest {};

TEST_F(ParallelReadOfAFile, AJobReadOnThreadsIsLinkedAndDestroyedWhole) {
    // Enough commands that the file is read in parts on threads, whose items this thread then
    // links and destroys.
    std::string text;
    for (int i = 0; i < 70000; ++i) {
        text += "DV\n  ID_NAME = d" + std::to_string(i) + "\n  GROUP = d" + std::to_string(i / 2) +
                "\nEND_\n";
    }
    KestCmdIoConfig config;
    config.threads = 2;
    config.bytes_per_thread = 1;
    const KestParFileAdapter reader(Write("job.par", text).wstring(), config);
    // This thread keeps the slabs it fills; an auto item (in a slab of blocks aligned to 16) and
    // its list (aligned to 8) make sure that it has them before too.
    KestCmd(KestCmdDefs::DV).AddAutoItem(ID_NAME, "x", KestCmdIoConfig().enum_map);
    const std::size_t before = KestItemMemory::slabs_in_use();
    {
        KestCmdContainer job;
        reader.Parse(job);
        ASSERT_EQ(job.GetNumberOfCommands(KestCmdDefs::DV), 70000u);
        for (std::size_t i : {0, 34999, 35000, 69999}) {
            EXPECT_EQ(job.GetCommand(KestCmdDefs::DV, i).Item(GROUP, 0).GetReference(),
                      &job.GetCommand(KestCmdDefs::DV, i / 2));
        }
    }
    // Every item went back to its slab, and every slab was given back.
    EXPECT_EQ(KestItemMemory::slabs_in_use(), before);
}

// The text of `path` read whole, and the file read a piece at a time, by one reader.
void expect_read_in_pieces_as_whole(const std::filesystem::path& path) {
    KestCmdIoConfig config;
    config.threads = 1;
    const KestParFileAdapter reader(path.wstring(), config);
    const std::string text = test_support::slurp(path);
    const auto whole = [&](KestCmdContainer& job, std::vector<KestCmd*>&, KestSourceMap& at) {
        reader.ParseText(text, job, &at);
    };
    const auto in_pieces = [&](KestCmdContainer& job, std::vector<KestCmd*>&, KestSourceMap& at) {
        reader.Parse(job, &at);
    };
    EXPECT_TRUE(reading(in_pieces) == reading(whole)) << path;
}

TEST_F(ParallelReadOfAFile, AFileReadInPiecesIsTheJobOfItsText) {
    const std::size_t piece = KestParFileAdapter::file_piece;
    // Jobs over two pieces, with CR LF line ends, a byte-order mark and no line end at the end.
    std::string crlf = "\xEF\xBB\xBF";
    for (unsigned seed = 0; crlf.size() < piece + piece / 8; ++seed) {
        for (char c : planted_jobs(seed, 6, 0)) {
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
    }
    crlf.resize(crlf.size() - 2);
    expect_read_in_pieces_as_whole(Write("crlf.par", crlf));

    // The first piece ends inside an END_ line, at its line end or right after it, and the
    // next line starts with the bytes of a byte-order mark, which only the file's first bytes
    // are.
    const std::string block = "DV\n  ID_NAME = a\nEND_DV\r\n"; // END_ at 17, CR at 23
    for (std::size_t in_first_piece : {18, 21, 23, 24, 25}) {
        const std::string comment = "#" + std::string(piece - in_first_piece - 2, 'x') + "\n";
        expect_read_in_pieces_as_whole(
            Write("cut.par", comment + block + "\xEF\xBB\xBF" + "DV\n  ID_NAME = b\nEND_\n"));
    }

    // A block longer than a piece, continued values included, then a line without a line end.
    std::string long_block = "OPTIMIZE\n  ID_NAME = opt\n";
    for (int i = 0; long_block.size() < 3 * piece / 2; ++i) {
        long_block += "  DV = d" + std::to_string(i) + (i % 7 == 0 ? ",\n    " : "\n");
    }
    expect_read_in_pieces_as_whole(Write("long.par", long_block + "END_\nDV\n  ID_NAME = d1"));
}
