// The console tool from a test: input written to a temporary file, output read through a pipe.
#include "cli_runner.h"

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

CliOutput CliRunWithInput(const std::string &args, const std::string &input) {
    CliOutput r;
    char name[] = "/tmp/morbivue-cli-input.XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) return r;
    bool written = write(fd, input.data(), input.size()) == (ssize_t)input.size();
    close(fd);
    std::string command = CliToolPath() + " " + args + " < " + name + " 2>/dev/null";
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
