// Memory of `kestcmd lsp` holding one open job: starts the server, opens a generated job of the
// given number of commands (default 100k, about 10 MB), waits for its diagnostics and prints the
// server's peak and current resident memory against the job's size.
//   lsp_memory [COMMANDS]
#include "job_text.h"

#include <nlohmann/json.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// A field of /proc/PID/status ("VmHWM:", "VmRSS:") in kB.
long status_kb(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stol(line.substr(field.size()));
        }
    }
    return 0;
}

void send(int fd, const nlohmann::json& message) {
    const std::string content = message.dump();
    const std::string framed =
        "Content-Length: " + std::to_string(content.size()) + "\r\n\r\n" + content;
    for (std::size_t done = 0; done < framed.size();) {
        const ssize_t n = write(fd, framed.data() + done, framed.size() - done);
        if (n <= 0) {
            std::perror("write");
            std::exit(1);
        }
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

int main(int argc, char** argv) {
    const int commands = argc > 1 ? std::stoi(argv[1]) : 100000;
    const std::string text = bench::to_par(bench::make_job(commands, 2024));
    int to_server[2];
    int from_server[2];
    if (pipe(to_server) != 0 || pipe(from_server) != 0) {
        std::perror("pipe");
        return 1;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(to_server[0], 0);
        dup2(from_server[1], 1);
        close(to_server[1]);
        close(from_server[0]);
        execl(KESTCMD, KESTCMD, "lsp", static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    close(to_server[0]);
    close(from_server[1]);
    send(to_server[1], {{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", {}}});
    send(to_server[1],
         {{"jsonrpc", "2.0"},
          {"method", "textDocument/didOpen"},
          {"params",
           {{"textDocument", {{"uri", "file:///job.par"}, {"version", 1}, {"text", text}}}}}});
    std::string received;
    char buffer[4096];
    while (received.find("publishDiagnostics") == std::string::npos) {
        const ssize_t n = read(from_server[0], buffer, sizeof buffer);
        if (n <= 0) {
            std::fprintf(stderr, "the server ended before it published diagnostics\n");
            return 1;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
    const long peak = status_kb(pid, "VmHWM:");
    const long now = status_kb(pid, "VmRSS:");
    send(to_server[1], {{"jsonrpc", "2.0"}, {"id", 2}, {"method", "shutdown"}});
    send(to_server[1], {{"jsonrpc", "2.0"}, {"method", "exit"}});
    close(to_server[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    std::printf("job %.1f MB (%d commands): server peak resident %.1f MB (%.2f times the job), "
                "%.1f MB (%.2f times) while open\n",
                text.size() / 1e6, commands, peak / 1e3, peak * 1e3 / text.size(), now / 1e3,
                now * 1e3 / text.size());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
