// The console tool from a test: input written to a temporary file, the kept stream read through
// a pipe, so that no run waits on the terminal or mixes its two streams.
#include "host/support/cli_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

std::string CliToolPath() {
    char self[PATH_MAX] = {0};
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, n > 0 ? (size_t)n : 0);
    path = path.substr(0, path.rfind('/')) + "/../tools/morbivue-cli";
    return access(path.c_str(), X_OK) == 0 ? path : "";
}

// Runs the tool with redirect appended to its command line, which says the stream the pipe reads.
static CliOutput Run(const std::string &args, const std::string &input, const char *redirect) {
    CliOutput r;
    char name[] = "/tmp/morbivue-cli-input.XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) return r;
    bool written = write(fd, input.data(), input.size()) == (ssize_t)input.size();
    close(fd);
    std::string command = CliToolPath() + " " + args + " < " + name + redirect;
    FILE *pipe = written ? popen(command.c_str(), "r") : nullptr;
    if (pipe != nullptr) {
        char buffer[65536];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, got);
        int raw = pclose(pipe);
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    unlink(name);
    return r;
}

CliOutput CliRun(const std::string &args, const std::string &input) {
    return Run(args, input, " 2>/dev/null");
}

CliOutput CliRunErrors(const std::string &args, const std::string &input) {
    return Run(args, input, " 2>&1 >/dev/null");
}

void CliTest::SetUp() {
    if (CliToolPath().empty()) GTEST_SKIP() << "morbivue-cli is not built next to this test";
}
