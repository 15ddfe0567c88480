// Status names: every listed code has its own name, everything else is ERR_UNLISTED.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "foundation/status.h"

TEST(StatusName, NamesListedCodes) {
    EXPECT_STREQ(StatusName(ERR_NULLPTR), "ERR_NULLPTR");
    EXPECT_STREQ(StatusName(-2), "ERR_NULLPTR");
    EXPECT_STREQ(StatusName(-1), "ERR_ERROR");
    EXPECT_STREQ(StatusName(-20), "ERR_ALLOC");
    EXPECT_STREQ(StatusName(-33), "ERR_CHECKSUM");
    EXPECT_STREQ(StatusName(-61), "ERR_TOOMANY");
    EXPECT_STREQ(StatusName(-65), "ERR_TOOLONG");
    EXPECT_STREQ(StatusName(-92), "ERR_OPENGL");
}

TEST(StatusName, UnlistedForSuccessGapsAndBeyondTheTable) {
    for (int32_t code :
         {0, 5, 1, -18, -21, -29, -36, -39, -48, -59, -66, -89, -93, -100, INT32_MIN, INT32_MAX}) {
        EXPECT_STREQ(StatusName(code), "ERR_UNLISTED") << code;
    }
}

TEST(StatusName, FortyTwoDistinctNamesNoneLongerThan18) {
    std::set<std::string> names;
    for (int32_t code = -200; code <= 10; code++) {
        const char *name = StatusName(code);
        ASSERT_NE(name, nullptr);
        if (strcmp(name, "ERR_UNLISTED") == 0) continue;
        EXPECT_EQ(strncmp(name, "ERR_", 4), 0) << name;
        EXPECT_LE(strlen(name), 18u) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 42u);
}
