// Arbitrary bytes as a parameter file: read with the standard configuration and written, four
// times over. Nothing may crash, and the written form must settle: the third and the fourth
// writing are the same bytes.
#include <KestCmdEngine.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Reads `text` as a job and returns what the writer makes of it.
std::string read_and_write(const std::string& text) {
    static const KestParFileAdapter reader(L"fuzz.par", KestCmdIoConfig());
    KestCmdContainer job;
    reader.Read(KestParFile::FromText(text), job);
    reader.Complete(job);

    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&buffer, &size);
    KestCmdParOutput(L"fuzz.par", job, KestCmdDefs::get_default_cmd_names(),
                     KestCmdItemDefs::default_item_names)
        .Write(stream);
    std::fclose(stream);
    std::string written(buffer, size);
    std::free(buffer);
    return written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto quiet = ZUL_LogMacros::set_sink([](const ZUL_LogMacros::LogRecord&) {});
    std::string w1;
    try {
        w1 = read_and_write(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const ZUL_Failure&) {
        return 0; // an integer list too large to hold: a defined refusal, naming the line
    }
    const std::string w2 = read_and_write(w1);
    const std::string w3 = read_and_write(w2);
    const std::string w4 = read_and_write(w3);
    if (w3 != w4) {
        std::fprintf(stderr, "the written form did not settle:\n--- w3\n%s\n--- w4\n%s\n",
                     w3.c_str(), w4.c_str());
        std::abort();
    }
    return 0;
}
