#include <gtest/gtest.h>

#include "link/Exceptions.h"
#include "link/TypeNames.h"

TEST(Exceptions, DialogTextNamesClassAndMessage)
{
    ELinkError e("Timeout occured when receiving byte.");
    EXPECT_EQ(ErrorDialogText("listing", e), "Some error occured while listing!\r\rMore info:\rErrorclass: ELinkError\r"
                                             "Message: \rTimeout occured when receiving byte.");
    EXPECT_EQ(ErrorClassName(std::runtime_error("x")), "Exception");
}

TEST(TypeNames, TableCoversEveryCode)
{
    EXPECT_EQ(TypeName(0x0B), "text");
    EXPECT_EQ(TypeName(0x19), "");
    EXPECT_EQ(TypeName(0x1F), "folder");
    EXPECT_EQ(TypeName(0x1D), "backup");
    EXPECT_EQ(TypeName(32), "");
    EXPECT_EQ(TypeName(-1), "");
}
