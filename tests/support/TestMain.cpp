// The main of the test executables that need no Qt application.
#include <gtest/gtest.h>

#include "tests/support/OwnFolders.h"

int main(int argc, char** argv)
{
    const OwnFolders folders;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
