// The listing and the receive against a calculator whose bytes are damaged
// at random: at every rate each run either gives exactly the right result or
// fails saying what went wrong; nothing damaged is ever shown or stored.
#include <gtest/gtest.h>

#include "tests/transfers/TransferRig.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"

namespace {

std::vector<std::string> Captions(const std::vector<ListItem>& rows)
{
    std::vector<std::string> captions;
    for (const ListItem& row : rows)
        captions.push_back(row.caption + " " + row.subItems.at(0) + " " + row.subItems.at(1));
    return captions;
}

}  // namespace

TEST(LineDamage, EveryRunIsRightOrSaysWhatWentWrong)
{
    long damaged = 0;
    int listed = 0, received = 0;
    for (uint32_t perMillion : {300u, 2000u, 10000u, 50000u}) {
        for (uint32_t seed = 1; seed <= 25; ++seed) {
            SCOPED_TRACE("damage " + std::to_string(perMillion) + " per million, seed " + std::to_string(seed));
            SimRig rig;
            rig.calc.AddVariable("main", "prog", 0x12, std::string(300, 'p'));
            rig.calc.AddVariable("main", "text", kTypeText, std::string(120, 't'));
            rig.calc.AddVariable("games", "x", 0x00, "12345");
            SimRig clean;
            clean.calc = rig.calc;
            ASSERT_TRUE(FetchDirectoryList(clean.link, clean.view, ListViewId::Calculator));
            const auto expected = Captions(clean.view.listViews[ListViewId::Calculator]);

            rig.calculator.faults.damagePerMillion = perMillion;
            rig.calculator.faults.damageSeed = seed;
            const bool listing = FetchDirectoryList(rig.link, rig.view, ListViewId::Calculator);
            const long damagedInListing = rig.calculator.DamagedBytes();
            damaged += damagedInListing;
            if (listing) {
                ++listed;
                EXPECT_EQ(Captions(rig.view.listViews[ListViewId::Calculator]), expected);
                EXPECT_TRUE(rig.view.errorDialogs.empty());
            } else {
                ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
                EXPECT_NE(rig.view.errorDialogs[0].find("Message: \r"), std::string::npos);
                // Every row shown was one the calculator has.
                for (const auto& row : Captions(rig.view.listViews[ListViewId::Calculator]))
                    EXPECT_NE(std::find(expected.begin(), expected.end(), row), expected.end()) << row;
                continue;
            }

            for (auto& row : rig.view.listViews[ListViewId::Calculator])
                row.selected = true;
            rig.view.errorDialogs.clear();
            const bool ok = ReceiveAll(rig.link, rig.view, rig.store, false);
            damaged += rig.calculator.DamagedBytes() - damagedInListing;
            const auto records = rig.store.ReadIndex();
            for (const IndexRecord& r : records)
                EXPECT_EQ(rig.store.ReadItem(r), rig.calc.FindVariable(r.name)->bytes) << r.name;
            if (ok) {
                ++received;
                EXPECT_EQ(records.size(), 3u);
                EXPECT_TRUE(rig.view.errorDialogs.empty());
            } else {
                // One dialog, and a report line for each variable missing.
                EXPECT_EQ(rig.view.errorDialogs.size(), 1u);
                size_t named = 0;
                for (const std::string& line : rig.view.memo)
                    named += line.rfind(" Not received: ", 0) == 0;
                EXPECT_EQ(named, 3 - records.size());
            }
        }
    }
    // The sweep did meet damage, and the low rates mostly get through.
    EXPECT_GT(damaged, 100);
    EXPECT_GT(listed, 25);
    EXPECT_GT(received, 12);
}
