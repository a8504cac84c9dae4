// What reaches the terminal from the calculator: nothing that could steer it.
#include <gtest/gtest.h>

#include "app/cli/PrintableText.h"

TEST(PrintableText, NamesAndMessagesCarryNoControlCharacters)
{
    struct Case {
        std::string in;
        std::string utf8;     // PrintableUtf8
        std::string message;  // PrintableMessage
    };
    const std::vector<Case> cases = {
        {"main\\abc", "main\\abc", "main\\abc"},
        {"\x1b]0;owned\x07", " ]0;owned ", " ]0;owned "},
        {"a\tb\nc\x7f", "a b c ", "a b\nc "},
        // U+009B, the one-character CSI, is a control too.
        {"\xc2\x9b"
         "2J",
         " 2J", " 2J"},
        // A file path in UTF-8 stays readable in a message.
        {"/home/j\xc3\xb6rg/x", "/home/j\xc3\xb6rg/x", "/home/j\xc3\xb6rg/x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PrintableUtf8(c.in), c.utf8) << c.in;
        EXPECT_EQ(PrintableMessage(c.in), c.message) << c.in;
    }
    // Calculator bytes inside a message are shown as in a listing.
    EXPECT_EQ(PrintableMessage("Not received: main\\\x8Cr\x1b"), "Not received: main\\" + Printable("\x8Cr\x1b"));
    EXPECT_EQ(Printable("\x1b[2J\n"), " [2J ");
}
