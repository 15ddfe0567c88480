// Test program entry: "--hold-mutex NAME MS release|abandon" makes this program the second
// process of the named mutex tests; otherwise it runs the tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "child_process.h"

int main(int argc, char **argv) {
    if (argc == 5 && strcmp(argv[1], "--hold-mutex") == 0) {
        return HoldMutexMain(argv[2], atoi(argv[3]), strcmp(argv[4], "abandon") == 0);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
