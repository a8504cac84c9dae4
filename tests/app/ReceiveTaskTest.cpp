// The receive task against the virtual TI-92: received variables are not
// thrown away unasked.
#include <QCheckBox>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>

#include "tests/app/AppRig.h"

namespace {

struct LeaveRow {
    const char* name;
    bool byClose;          // closing the window instead of Finish
    MsgResult answer;      // to "N received variables are not saved."
    bool saveFirst;        // "Save to file" before Finish: no question
    bool staysOnSavePage;  // the wizard (or window) stays
    bool fileWritten;
};

class UnsavedReceive : public ::testing::TestWithParam<LeaveRow> {
protected:
    AppRig rig;
    WizardWindow& f = rig.Create();

    // Receives the first two variables the calculator lists; ends on the save page.
    void ReceiveTwo()
    {
        f.autoNextBox->setChecked(true);
        f.getButton->click();
        ASSERT_EQ(f.Step(), 1);
        ASSERT_GE(f.calculatorList->topLevelItemCount(), 2);
        f.calculatorList->topLevelItem(0)->setSelected(true);
        f.calculatorList->topLevelItem(1)->setSelected(true);
        f.nextButton->click();
        ASSERT_EQ(f.PageShown(), pageReceivelocal);
    }
    std::string Target() const { return rig.folder + "kept.92g"; }
};

}  // namespace

TEST_P(UnsavedReceive, FinishOrCloseAsksFirst)
{
    const LeaveRow& r = GetParam();
    ReceiveTwo();
    if (r.saveFirst) {
        rig.dialogs.ExpectFile(Target());
        f.saveToFileButton->click();
        ASSERT_TRUE(std::filesystem::exists(Target()));
        std::filesystem::remove(Target());
        f.autoNextBox->setChecked(false);
        if (f.PageShown() != pageReceivelocal)
            return;  // the save moved on by itself: nothing was left to ask about
    } else {
        rig.dialogs.ExpectMessage(r.answer);
        if (r.answer == MsgResult::Save) {
            rig.dialogs.ExpectFile(Target());
        }
    }
    const size_t shownBefore = rig.dialogs.shown.size();
    if (r.byClose)
        f.close();
    else
        f.nextButton->click();

    if (!r.saveFirst) {
        ASSERT_GT(rig.dialogs.shown.size(), shownBefore);
        const auto& question = rig.dialogs.shown[shownBefore];
        EXPECT_EQ(question.buttons, MsgButtons::SaveDiscardCancel);
        EXPECT_EQ(question.text.substr(0, question.text.find('\r')), "2 received variables are not saved.");
    } else {
        for (size_t i = shownBefore; i < rig.dialogs.shown.size(); ++i)
            EXPECT_NE(rig.dialogs.shown[i].buttons, MsgButtons::SaveDiscardCancel) << "all were saved";
    }
    EXPECT_TRUE(rig.dialogs.AllAnswered());
    if (!r.byClose)
        EXPECT_EQ(f.PageShown() == pageReceivelocal, r.staysOnSavePage);
    EXPECT_EQ(std::filesystem::exists(Target()), r.fileWritten);
}

INSTANTIATE_TEST_SUITE_P(Answers, UnsavedReceive,
                         ::testing::Values(LeaveRow{"SaveThem", false, MsgResult::Save, false, false, true},
                                           LeaveRow{"Discard", false, MsgResult::Discard, false, false, false},
                                           LeaveRow{"Cancel", false, MsgResult::Cancel, false, true, false},
                                           LeaveRow{"AlreadySaved", false, MsgResult::Ok, true, false, false},
                                           LeaveRow{"CloseAndCancel", true, MsgResult::Cancel, false, true, false},
                                           LeaveRow{"CloseAndSave", true, MsgResult::Save, false, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UnsavedReceiveClose, CancelKeepsTheWindowOpen)
{
    AppRig rig;
    WizardWindow& f = rig.Create();
    f.show();
    f.autoNextBox->setChecked(true);
    f.getButton->click();
    ASSERT_GE(f.calculatorList->topLevelItemCount(), 1);
    f.calculatorList->topLevelItem(0)->setSelected(true);
    f.nextButton->click();
    rig.dialogs.ExpectMessage(MsgResult::Cancel);
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(rig.dialogs.shown.back().text.substr(0, rig.dialogs.shown.back().text.find('\r')),
              "1 received variable is not saved.");
}
