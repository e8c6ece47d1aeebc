#include "utilities/ZUL_LogMacros.h"

#include <ctime>
#include <iostream>
#include <mutex>

#if defined(_WIN32)
#include <process.h>
#define KEST_GETPID _getpid
#else
#include <unistd.h>
#define KEST_GETPID ::getpid
#endif

namespace {

std::mutex& sink_mutex() {
    static std::mutex m;
    return m;
}

ZUL_LogMacros::Sink& current_sink() {
    static ZUL_LogMacros::Sink sink;
    return sink;
}

// The messages of the thread's innermost HeldMessages, or null.
thread_local std::vector<ZUL_LogMacros::LogRecord>* held = nullptr;

std::string local_time_text() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
#if defined(_WIN32)
    localtime_s(&parts, &now);
#else
    localtime_r(&now, &parts);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

} // namespace

namespace ZUL_LogMacros {

std::string format_line(const LogRecord& record) {
    std::string line;
    for (std::size_t i = 0; i < record.prefix.size(); ++i) {
        const char c = record.prefix[i];
        const char next = i + 1 < record.prefix.size() ? record.prefix[i + 1] : '\0';
        if (c == '%' && next == 'T') {
            line += local_time_text();
        } else if (c == '%' && next == 'n') {
            line += record.severity;
        } else if (c == '%' && next == 'P') {
            line += std::to_string(KEST_GETPID());
        } else {
            line += c;
            continue;
        }
        ++i;
    }
    for (char c : record.message) {
        line += (c == '\n' || c == '\r') ? ' ' : c;
    }
    line += " (" + record.file + ":" + std::to_string(record.line) + ")";
    return line;
}

HeldMessages::HeldMessages() : _outer(held) {
    held = &_records;
}

HeldMessages::~HeldMessages() {
    held = _outer;
}

std::vector<LogRecord> HeldMessages::Take() {
    std::vector<LogRecord> taken;
    taken.swap(_records);
    return taken;
}

void warning(const char* file, int line, const char* prefix, const char* message) {
    emit(LogRecord{"WARNING", file, line, prefix, message});
}

void emit(const LogRecord& record) {
    if (held != nullptr) {
        held->push_back(record);
        return;
    }
    std::lock_guard<std::mutex> lock(sink_mutex());
    if (current_sink()) {
        current_sink()(record);
    } else {
        std::cerr << format_line(record) << '\n';
    }
}

Sink set_sink(Sink sink) {
    std::lock_guard<std::mutex> lock(sink_mutex());
    Sink previous = std::move(current_sink());
    current_sink() = std::move(sink);
    return previous;
}

} // namespace ZUL_LogMacros
