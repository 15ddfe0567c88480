// Runs the morbivue-cli built beside the test program, with text on its standard input.
#pragma once
#include <string>

struct CliOutput {
    int status = -1;  // exit code, -1 when it did not exit
    std::string out;  // standard output
};

// The tool's path; empty when it is not built next to this test.
std::string CliToolPath();
// Runs "morbivue-cli ARGS" with input on stdin (stderr dropped).
CliOutput CliRunWithInput(const std::string &args, const std::string &input);
