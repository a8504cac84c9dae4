// The ready lamp against the virtual TI-92, and leaving the program.
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

#include <QTreeWidget>

#include "app/window/ReadyLampShape.h"
#include "tests/app/AppRig.h"

TEST(ReadyLamp, GreenWhenTheCalculatorAnswers)
{
    AppRig rig;
    WizardWindow& f = rig.Create();
    EXPECT_EQ(f.readyLamp->BrushColor(), kLampGrey);
    QTest::mouseClick(f.readyLamp, Qt::LeftButton);
    EXPECT_EQ(f.readyLamp->BrushColor(), kLampGreen);
    EXPECT_TRUE(rig.dialogs.shown.empty());
    EXPECT_FALSE(rig.calcLink.Received().empty()) << "a readiness check reached the calculator";
}

TEST(ReadyLamp, RedAndAMessageWhenNobodyAnswers)
{
    AppRig rig;
    rig.calcLink.faults.silent = true;
    WizardWindow& f = rig.Create();
    f.onReadyLampClicked();
    EXPECT_EQ(f.readyLamp->BrushColor(), kLampRed);
    ASSERT_EQ(rig.dialogs.Messages().size(), 1u);
    EXPECT_EQ(rig.dialogs.Messages()[0].rfind("Calculator is not ready!", 0), 0u) << rig.dialogs.Messages()[0];
    EXPECT_EQ(rig.dialogs.shown[0].icon, MsgIcon::Error);
}

TEST(ReadyLamp, MissingDeviceShowsTheComPortError)
{
    AppRig rig;
    rig.device->openable = false;
    rig.Create();
    ASSERT_EQ(rig.dialogs.Messages().size(), 1u);
    EXPECT_EQ(rig.dialogs.Messages()[0],
              "An error occurred while opening the cable's device!\r/dev/ttyS0: no such device");
}

TEST(Leaving, ExitSavesClosesTheLinkAndEnds)
{
    AppRig rig;
    WizardWindow& f = rig.Create();
    ASSERT_TRUE(rig.device->IsOpen());
    f.autoNextBox->setChecked(true);
    rig.settings.writes.clear();
    f.cancelButton->click();
    EXPECT_TRUE(f.TerminateRequested());
    EXPECT_FALSE(rig.device->IsOpen());
    EXPECT_EQ(rig.link.serialPort, nullptr);
    EXPECT_EQ(rig.settings.Read("Settings", "Autoclick Next"), "1");
}

TEST(Leaving, CloseQueryDeletesTheTemporaryStore)
{
    AppRig rig;
    WizardWindow& f = rig.Create();
    for (const std::string& name : {f.settings.IndexFile, f.settings.DataFile}) {
        QFile file(QString::fromStdString(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    f.close();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(f.settings.IndexFile)));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(f.settings.DataFile)));
    EXPECT_FALSE(rig.settings.writes.empty());
    EXPECT_FALSE(rig.device->IsOpen());
}

TEST(TransferViewOfTheWindow, ShowsWhatRoutinesWrite)
{
    AppRig rig;
    WizardWindow& f = rig.Create();
    f.SetLabel(LabelId::VariablesHeading, "Thing to get");
    EXPECT_EQ(f.Label(LabelId::VariablesHeading), "Thing to get");
    f.SetBarMax(ProgressBarId::Total, 200);
    f.SetBarPosition(ProgressBarId::Total, 150);
    EXPECT_EQ(f.BarPosition(ProgressBarId::Total), 150);
    f.SetBarPosition(ProgressBarId::Total, 999);
    EXPECT_EQ(f.BarPosition(ProgressBarId::Total), 200);
    f.VarListAdd("memory-backup");
    f.VarListSelect(0);
    EXPECT_EQ(f.VarListSelected(), 0);

    // Names are calculator bytes: shown in its characters, back unchanged.
    const std::string name("main\\\x8C\xA9\x95", 8);
    f.ListViewAdd(ListViewId::Calculator, ListItem{name, {"EXPR", "42"}, 0x00, true});
    f.ListViewAdd(ListViewId::Calculator, ListItem{"main\\y", {"LIST", "7"}, 0x04, false});
    EXPECT_EQ(f.calculatorList->topLevelItem(0)->text(0).toStdString(), "main\\\xCF\x80\xC2\xA9\xF0\x9D\x96\xA4");
    auto items = f.ListViewItems(ListViewId::Calculator);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].caption, name);
    EXPECT_TRUE(items[0].selected);
    EXPECT_EQ(items[1].data, 0x04);
    EXPECT_EQ(items[1].subItems, (std::vector<std::string>{"LIST", "7"}));
    f.ListViewClear(ListViewId::Calculator);
    EXPECT_TRUE(f.ListViewItems(ListViewId::Calculator).empty());

    f.ErrorDialog("Some error occured while receiving!");
    EXPECT_EQ(rig.dialogs.shown.back().icon, MsgIcon::Error);
}

TEST(ReadyLamp, ShowsTheOutcomeOfTheLastConversation)
{
    struct Row {
        const char* name;
        std::function<void(AppRig&)> fault;
        bool readyCheckFirst;
        uint32_t after;
    };
    const Row rows[] = {
        {"screenshot received", [](AppRig&) {}, false, kLampGreen},
        {"calculator stops answering", [](AppRig& r) { r.calcLink.faults.silentAfterBytes = 10; }, true, kLampRed},
        {"cable pulled", [](AppRig& r) { r.device->broken = true, r.device->openable = false; }, true, kLampRed},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        AppRig rig;
        WizardWindow& f = rig.Create();
        EXPECT_EQ(f.readyLamp->BrushColor(), kLampGrey) << "no conversation yet";
        if (r.readyCheckFirst) {
            f.onReadyLampClicked();
            ASSERT_EQ(f.readyLamp->BrushColor(), kLampGreen);
        }
        r.fault(rig);
        f.screenshotButton->click();
        f.grabButton->click();
        EXPECT_EQ(f.readyLamp->BrushColor(), r.after);
        if (r.after == kLampRed) {
            // A ready check that finds the device gone is red too, not the old green.
            f.readyLamp->SetBrushColor(kLampGreen);
            f.onReadyLampClicked();
            EXPECT_EQ(f.readyLamp->BrushColor(), kLampRed);
        }
    }
}
