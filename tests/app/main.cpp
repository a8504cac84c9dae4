// The window tests need the window program's application object; they run on
// the offscreen platform.
#include <gtest/gtest.h>

#include "tests/support/OwnFolders.h"

#include "app/startup/GuardedApplication.h"

int main(int argc, char** argv)
{
    const OwnFolders folders;  // before Qt reads the environment
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
