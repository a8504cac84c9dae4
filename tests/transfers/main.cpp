// The wizard tests need a QApplication; they run on the offscreen platform.
#include <QApplication>
#include <gtest/gtest.h>

#include "tests/support/OwnFolders.h"

int main(int argc, char** argv)
{
    const OwnFolders folders;  // before Qt reads the environment
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
