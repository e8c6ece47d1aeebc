#include "engine/io/KestCmdOutput.h"

#include "utilities/KestFileUtil.h"
#include "utilities/ZUL_Exception.h"

#include <cerrno>
#include <system_error>

using namespace KestCmdItemDefs;

namespace {

[[noreturn]] void fail(const std::wstring& path, const char* what, int reason) {
    reason = reason != 0 ? reason : EIO;
    throw ZUL_Failure(ZUL_Code(reason), "[KestCmdOutput] ",
                      std::string(what) + " '" + KestFileUtil::display_path(path) +
                          "': " + std::generic_category().message(reason));
}

// Appends `indent`, `text` whole (zero bytes included) and a line feed.
void append_line(std::string& out, const char* indent, const std::string& text) {
    out += indent;
    out += text;
    out += '\n';
}

// Writes `text` whole to `file`.
void put(std::FILE* file, const std::wstring& path, const std::string& text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) {
        fail(path, "cannot write", errno);
    }
}

// Runs `gather`, which appends lines to `text` through the virtuals of a subclass. When it
// throws, the lines gathered so far are written to `stream` before the exception goes on
// unchanged: they would have been in the file, had every line been written at once. A failure
// to write them gives way to that exception.
template <class Gather>
void gather_or_keep(std::FILE* stream, const std::string& text, Gather gather) {
    try {
        gather();
    } catch (...) {
        std::fwrite(text.data(), 1, text.size(), stream);
        std::fflush(stream);
        throw;
    }
}

// Owns the open file: writes text whole (zero bytes included) and turns every failure of the
// runtime library into a ZUL_Failure that names the file.
class OutputFile {
  public:
    OutputFile(const std::wstring& path, const std::wstring& mode)
        : _path(path), _file(KestFileUtil::wfopen(path, mode)) {}
    ~OutputFile() {
        if (_file != nullptr) {
            std::fclose(_file);
        }
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    std::FILE* get() const { return _file; }

    // Closes the file; buffered output that cannot be written out fails here.
    void close() {
        errno = 0;
        const bool flushed = std::fflush(_file) == 0 && !std::ferror(_file);
        const int flush_reason = errno;
        const bool closed = std::fclose(_file) == 0;
        _file = nullptr;
        if (!flushed || !closed) {
            fail(_path, "cannot write", flush_reason != 0 ? flush_reason : errno);
        }
    }

  private:
    std::wstring _path;
    std::FILE* _file;
};

} // namespace

KestCmdOutput::KestCmdOutput(const std::wstring& file_name, const KestCmdContainer& container)
    : _container(&container), _file_name(file_name) {}
KestCmdOutput::KestCmdOutput(const KestCmdOutput& other) = default;
KestCmdOutput::KestCmdOutput(KestCmdOutput&& other)
    : _container(other._container), _file_name(other._file_name) {}
KestCmdOutput::~KestCmdOutput() = default;

std::string KestCmdOutput::GetHeader() const {
    return {};
}
std::string KestCmdOutput::GetFooter() const {
    return {};
}

void KestCmdOutput::Write(const std::wstring& mode) const {
    OutputFile file(_file_name, mode);
    Write(file.get());
    file.close();
}

void KestCmdOutput::Write(std::FILE* stream) const {
    if (stream == nullptr) {
        fail(_file_name, "cannot write", EBADF);
    }
    // Lines are gathered and written in pieces of about 64 KiB: one call to the runtime library
    // per piece instead of three per line.
    constexpr std::size_t piece = std::size_t{1} << 16;
    std::string text;
    text.reserve(2 * piece);
    gather_or_keep(stream, text, [&] { append_line(text, "", GetHeader()); });
    for (const KestCmd& cmd : *_container) {
        gather_or_keep(stream, text, [&] {
            const std::array<std::string, 2> lines = GetCommand(cmd);
            append_line(text, "", lines[0]);
            WriteItems(cmd, text);
            append_line(text, "", lines[1]);
            append_line(text, "", std::string());
        });
        if (text.size() >= piece) {
            put(stream, _file_name, text);
            text.clear();
        }
    }
    gather_or_keep(stream, text, [&] { append_line(text, "", GetFooter()); });
    put(stream, _file_name, text);
    errno = 0;
    if (std::fflush(stream) != 0) {
        fail(_file_name, "cannot write", errno);
    }
}

void KestCmdOutput::WriteItems(const KestCmd& cmd, std::string& text) const {
    for (int kind = 0; kind < item_kind_count; ++kind) {
        const auto item_kind = static_cast<CmdItem>(kind);
        for (auto item = cmd.begin(item_kind); item != cmd.end(item_kind); ++item) {
            if (*item) {
                append_line(text, "  ", GetItem(item_kind, **item));
            }
        }
    }
}

KestCmdParOutput::KestCmdParOutput(
    const std::wstring& file_name, const KestCmdContainer& container,
    std::array<std::string, KestCmdDefs::cmd_type_count> cmd_names,
    std::array<std::string, KestCmdItemDefs::item_kind_count> item_names)
    : KestCmdOutput(file_name, container), _cmd_names(std::move(cmd_names)),
      _item_names(std::move(item_names)) {}
KestCmdParOutput::KestCmdParOutput(const KestCmdParOutput& other) = default;
KestCmdParOutput::KestCmdParOutput(KestCmdParOutput&& other)
    : KestCmdOutput(other), _cmd_names(std::move(other._cmd_names)),
      _item_names(std::move(other._item_names)) {}
KestCmdParOutput::~KestCmdParOutput() = default;

std::array<std::string, 2> KestCmdParOutput::GetCommand(const KestCmd& cmd) const {
    return {_cmd_names[cmd.GetType()], "END_"};
}

std::string KestCmdParOutput::GetItem(CmdItem item, const KestCmdItem& value) const {
    return _item_names[item] + " = " + value.GetString();
}
