// Arbitrary bytes as a parameter file: read with the standard configuration and written, four
// times over. Nothing may crash, the written form must settle (the third and the fourth writing
// are the same bytes), and Parse, which reads a file line by line, must give what reading the
// tokens of the whole text gives.
#include <KestCmdEngine.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace {

const KestCmdIoConfig& config() {
    static const KestCmdIoConfig standard;
    return standard;
}

std::string written(const KestCmdContainer& job) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&buffer, &size);
    KestCmdParOutput(L"fuzz.par", job, KestCmdDefs::get_default_cmd_names(),
                     KestCmdItemDefs::default_item_names)
        .Write(stream);
    std::fclose(stream);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

// Reads `text` as a job from its tokens and returns what the writer makes of it.
std::string read_and_write(const std::string& text) {
    static const KestParFileAdapter reader(L"fuzz.par", config());
    KestCmdContainer job;
    reader.Read(KestParFile::FromText(text), job);
    reader.Complete(job);
    return written(job);
}

// A file of this process, removed when the process ends.
struct ScratchFile {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("kest_fuzz_parfile_" + std::to_string(::getpid()) + ".par");
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

// The same through Parse, from a file.
std::string parse_and_write(const std::string& text) {
    static const ScratchFile file;
    static const KestParFileAdapter reader(file.path.wstring(), config());
    std::ofstream(file.path, std::ios::binary | std::ios::trunc) << text;
    KestCmdContainer job;
    reader.Parse(job);
    return written(job);
}

[[noreturn]] void fail(const char* what, const std::string& a, const std::string& b) {
    std::fprintf(stderr, "%s:\n--- one\n%s\n--- other\n%s\n", what, a.c_str(), b.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto quiet = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string w1;
    try {
        w1 = read_and_write(input);
    } catch (const ZUL_Failure&) {
        return 0; // an integer list too large to hold: a defined refusal, naming the line
    }
    const std::string parsed = parse_and_write(input);
    if (parsed != w1) {
        fail("Parse and Read differ", parsed, w1);
    }
    const std::string w2 = read_and_write(w1);
    const std::string w3 = read_and_write(w2);
    const std::string w4 = read_and_write(w3);
    if (w3 != w4) {
        fail("the written form did not settle", w3, w4);
    }
    return 0;
}
