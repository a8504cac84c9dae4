#include "files/OwnFileNames.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Planned(const std::vector<std::string>& names, bool byFolder)
{
    std::vector<IndexRecord> records;
    for (const std::string& n : names)
        records.push_back({n, 0, 0, 0, 0x0B});
    std::vector<std::string> paths;
    for (const OwnFileName& f : PlanOwnFileNames(records, byFolder))
        paths.push_back(f.path.string());
    return paths;
}

}  // namespace

// No two variables of one run share a file: a name shared across folders
// keeps each in its folder's subfolder, what still collides gets a suffix.
TEST(OwnFileNames, NoTwoVariablesShareAFile)
{
    struct Row {
        std::vector<std::string> names;
        bool byFolder;
        std::vector<std::string> paths;
    };
    const std::vector<Row> rows = {
        {{"math\\notes", "games\\notes", "main\\x"}, false, {"math/notes.92t", "games/notes.92t", "x.92t"}},
        {{"main\\a", "main\\b"}, false, {"a.92t", "b.92t"}},
        {{"main\\a/b", "main\\a\nb", "main\\a\rb"}, false, {"a_b.92t", "a_b~2.92t", "a_b~3.92t"}},
        {{"main\\..", "main\\."}, true, {"main/_.92t", "main/_~2.92t"}},
        {{"/\\x", ".\\x", "_\\x", "\\y"}, true, {"_/x.92t", "_~2/x.92t", "_~3/x.92t", "main/y.92t"}},
        // A suffixed name that a later variable has by itself is taken too.
        {{"main\\a/b", "main\\a_b", "main\\a_b~2"}, false, {"a_b.92t", "a_b~2.92t", "a_b~2~2.92t"}},
        // A file never takes the name of a folder the run makes.
        {{"x.92t\\v", "y\\v", "main\\x"}, false, {"x.92t/v.92t", "y/v.92t", "x~2.92t"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.names.front());
        EXPECT_EQ(Planned(r.names, r.byFolder), r.paths);
    }
}
