// The calculator list's context menu on the receive page against the virtual
// TI-92: each action asks first, types its command, reports it, and lists
// the calculator again; a cancelled question changes nothing.
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

#include "app/window/CalculatorListMenu.h"
#include "tests/app/AppRig.h"

namespace {

struct ListMenu : ::testing::Test {
    ListMenu()
    {
        f.autoNextBox->setChecked(true);
        f.getButton->click();
    }
    void Select(const std::vector<std::string>& names)
    {
        for (int i = 0; i < f.calculatorList->topLevelItemCount(); ++i) {
            auto* row = f.calculatorList->topLevelItem(i);
            row->setSelected(std::find(names.begin(), names.end(), row->text(0).toStdString()) != names.end());
        }
    }
    // The menu's action of this text, enabled or not.
    QAction* Action(const QString& text)
    {
        menu.reset(CalculatorListMenu(f, rig.link, rig.dialogs, f.calculatorList));
        for (QAction* a : menu->actions())
            if (a->text() == text)
                return a;
        ADD_FAILURE() << "no action " << text.toStdString();
        return nullptr;
    }
    bool Listed(const std::string& name)
    {
        return !f.calculatorList->findItems(QString::fromStdString(name), Qt::MatchExactly).isEmpty();
    }
    std::string Report() { return f.reportMemo->toPlainText().toStdString(); }

    AppRig rig;
    WizardWindow& f = rig.Create();
    std::unique_ptr<QMenu> menu;
};

}  // namespace

TEST_F(ListMenu, DeleteAsksNamingTheVariablesThenListsAgain)
{
    Select({"main\\x", "main\\msg"});
    rig.dialogs.ExpectMessage(MsgResult::Yes);
    Action("Delete…")->trigger();
    EXPECT_EQ(rig.dialogs.shown.at(0).text, "Delete these 2 variables from the calculator?\rmain\\x, main\\msg");
    EXPECT_EQ(rig.calc.FindVariable("main\\x"), nullptr);
    EXPECT_EQ(rig.calc.FindVariable("main\\msg"), nullptr);
    EXPECT_FALSE(Listed("main\\x"));
    EXPECT_FALSE(Listed("main\\msg"));
    EXPECT_NE(Report().find("Typed on the calculator: DelVar main\\x\nMain\\x deleted"), std::string::npos) << Report();
    EXPECT_TRUE(rig.dialogs.AllAnswered());
}

TEST_F(ListMenu, NoChangeWithoutAYes)
{
    Select({"main\\x"});
    rig.dialogs.ExpectMessage(MsgResult::No);
    Action("Delete…")->trigger();
    rig.dialogs.ExpectInput(std::nullopt);
    Action("New folder…")->trigger();
    EXPECT_NE(rig.calc.FindVariable("main\\x"), nullptr);
    EXPECT_TRUE(rig.calc.keysPressed.empty());
}

TEST_F(ListMenu, RenameMoveNewFolderAndLockTypeTheirCommands)
{
    Select({"main\\x"});
    rig.dialogs.ExpectInput("Answer");
    rig.dialogs.ExpectMessage(MsgResult::Yes);
    Action("Rename…")->trigger();
    EXPECT_EQ(rig.dialogs.shown.back().text, "Rename main\\x to main\\answer on the calculator?");
    EXPECT_TRUE(Listed("main\\answer"));

    rig.dialogs.ExpectInput("work");
    rig.dialogs.ExpectMessage(MsgResult::Yes);
    Action("New folder…")->trigger();
    EXPECT_NE(rig.calc.FindFolder("work"), nullptr);

    Select({"main\\answer"});
    rig.dialogs.ExpectInput("work");
    rig.dialogs.ExpectMessage(MsgResult::Yes);
    Action("Move to folder…")->trigger();
    EXPECT_TRUE(Listed("work\\answer"));

    Select({"work\\answer"});
    rig.dialogs.ExpectMessage(MsgResult::Yes);
    Action("Lock")->trigger();
    ASSERT_NE(rig.calc.FindVariable("work\\answer"), nullptr);
    EXPECT_TRUE(rig.calc.FindVariable("work\\answer")->locked);
    EXPECT_NE(Report().find("MoveVar answer,main,work"), std::string::npos) << Report();

    // Locked now: a delete is refused before any key, and said so.
    const size_t keys = rig.calc.keysPressed.size();
    Select({"work\\answer"});
    rig.dialogs.ExpectMessage(MsgResult::Yes);
    Action("Delete…")->trigger();
    EXPECT_EQ(rig.dialogs.Messages().back(), "Could not delete work\\answer: work\\answer is locked");
    EXPECT_EQ(rig.calc.keysPressed.size(), keys);
    EXPECT_EQ(rig.calc.home.entry, "");
    EXPECT_TRUE(rig.dialogs.AllAnswered());
}

TEST_F(ListMenu, ActionsForOneVariableNeedExactlyOneSelected)
{
    Select({"main\\x", "main\\msg"});
    EXPECT_FALSE(Action("Rename…")->isEnabled());
    EXPECT_FALSE(Action("Move to folder…")->isEnabled());
    EXPECT_TRUE(Action("Delete…")->isEnabled());
    Select({});
    EXPECT_FALSE(Action("Lock")->isEnabled());
    EXPECT_TRUE(Action("New folder…")->isEnabled());
}
