// The memory a job read from a file takes, per command and per item: the heap in use after Parse
// (on one thread) less the heap in use before, with the sizes of a command and an auto item.
//   job_bytes JOB.par
#include <KestCmdEngine.h>

#include <malloc.h>

#include <cstdio>

namespace {

std::size_t heap_in_use() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: job_bytes JOB.par\n");
        return 2;
    }
    KestCmdIoConfig config;
    config.threads = 1;
    const KestParFileAdapter reader(KestFileUtil::path_from_utf8(argv[1]), config);
    const std::size_t before = heap_in_use();
    KestCmdContainer job;
    reader.Parse(job);
    const double bytes = static_cast<double>(heap_in_use() - before);
    std::size_t commands = 0;
    std::size_t items = 0;
    for (const KestCmd& cmd : job) {
        ++commands;
        for (int kind = 0; kind < KestCmdItemDefs::item_kind_count; ++kind) {
            items += cmd.ItemCount(static_cast<KestCmdItemDefs::CmdItem>(kind));
        }
    }
    std::printf("%zu commands, %zu items: %.1f MB, %.1f bytes a command, %.1f bytes an item "
                "(a command object %zu bytes, an auto item %zu)\n",
                commands, items, bytes / 1e6, bytes / static_cast<double>(commands),
                bytes / static_cast<double>(items), sizeof(KestCmd), sizeof(KestCmdAutoItem));
    return 0;
}
