// Runs the morbivue-cli built beside the test program, for every test of the console tool: its
// standard input from a string, its exit code and one of its output streams kept.
#pragma once
#include <string>

#include <gtest/gtest.h>

// What one run of the tool gave.
struct CliOutput {
    int status = -1;  // exit code, -1 when it did not exit
    std::string out;  // standard output (CliRun) or standard error (CliRunErrors)
};

// The tool's path; empty when it is not built next to this test.
std::string CliToolPath();

// Runs "morbivue-cli ARGS" (args as a shell reads them) with input on its standard input; keeps
// standard output and drops standard error.
CliOutput CliRun(const std::string &args, const std::string &input = "");

// The same, keeping standard error and dropping standard output.
CliOutput CliRunErrors(const std::string &args, const std::string &input = "");

// Fixture of the console tool's tests: skips them when the tool is not built next to the test.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override;
};
