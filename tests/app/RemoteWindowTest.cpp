// The "Remote control" window: Qt's keys as the calculator receives them,
// Ctrl+Z, auto-repeat, the busy link and the window's place.
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "app/dialogs/QtDialogs.h"
#include "app/dialogs/RemoteKeyboardWindow.h"
#include "tests/app/AppRig.h"

namespace {

struct RemoteWindow : ::testing::Test {
    AppRig rig;
    std::unique_ptr<RemoteKeyboardWindow> remote;

    RemoteWindow()
    {
        EXPECT_TRUE(rig.serial->OpenPort());
        rig.link.Cabletype = 2;
        rig.link.serialPort = rig.serial.get();
        remote = std::make_unique<RemoteKeyboardWindow>(rig.link, rig.settings);
        remote->ShowRemote();
    }
    // What the calculator received since the last call, as packet bytes.
    std::vector<std::string> Sent()
    {
        std::vector<std::string> packets;
        for (size_t i = fSeen; i < rig.calcLink.Received().size(); ++i)
            packets.push_back(rig.calcLink.Received()[i].Bytes());
        fSeen = rig.calcLink.Received().size();
        return packets;
    }
    std::string Key(uint16_t code) { return std::string("\x09\x87", 2) + char(code & 0xFF) + char(code >> 8); }
    void Click(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(remote.get(), key, mods); }

private:
    size_t fSeen = 0;
};

}  // namespace

TEST_F(RemoteWindow, KeysAsTheCalculatorGetsThem)
{
    EXPECT_EQ(remote->windowTitle(), "Remote control");
    EXPECT_TRUE(remote->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(remote->statusLabel->text(), "(idle)");

    Click(Qt::Key_A);
    EXPECT_EQ(Sent(), std::vector<std::string>{std::string("\x09\x87\x61\x00", 4)});
    Click(Qt::Key_Return);
    EXPECT_EQ(Sent(), std::vector<std::string>{std::string("\x09\x87\x0D\x00", 4)});
    Click(Qt::Key_F1);
    EXPECT_EQ(Sent(), std::vector<std::string>{std::string("\x09\x87\x0C\x01", 4)});
    Click(Qt::Key_Delete);
    EXPECT_EQ(Sent(), std::vector<std::string>{std::string("\x09\x87\x01\x21", 4)});
    Click(Qt::Key_Escape);
    EXPECT_EQ(Sent(), std::vector<std::string>{std::string("\x09\x87\x08\x01", 4)});
    // Shift+a types "A" (QTest leaves the text in lower case, so the events are made here).
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent e(type, Qt::Key_A, Qt::ShiftModifier, "A");
        QCoreApplication::sendEvent(remote.get(), &e);
    }
    EXPECT_EQ(Sent(), std::vector<std::string>{Key('A')});
    Click(Qt::Key_Home);
    Click(Qt::Key_PageDown);
    Click(Qt::Key_Left);
    EXPECT_EQ(Sent(), (std::vector<std::string>{Key(265), Key(263), Key(337)}));
    EXPECT_EQ(remote->statusLabel->text(), "(idle)");

    // Keys that type nothing and have no calculator key send nothing.
    Click(Qt::Key_Shift, Qt::ShiftModifier);
    Click(Qt::Key_Print);
    EXPECT_TRUE(Sent().empty());

    // A held key repeats its press but is sent once, when it is let go.
    for (bool repeat : {false, true, true}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b", repeat);
        QCoreApplication::sendEvent(remote.get(), &press);
        if (repeat) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, "b", true);
            QCoreApplication::sendEvent(remote.get(), &release);
        }
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, "b", false);
    QCoreApplication::sendEvent(remote.get(), &release);
    EXPECT_EQ(Sent(), std::vector<std::string>{Key('b')});
}

TEST_F(RemoteWindow, CtrlZHidesAndSendsNothing)
{
    Click(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(remote->isVisible()) << "Ctrl+Shift+Z is not the close key";
    EXPECT_TRUE(Sent().empty());

    // Also when Ctrl is let go before Z.
    QTest::keyPress(remote.get(), Qt::Key_Control, Qt::ControlModifier);
    QTest::keyPress(remote.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyRelease(remote.get(), Qt::Key_Control, Qt::NoModifier);
    QTest::keyRelease(remote.get(), Qt::Key_Z, Qt::NoModifier);
    EXPECT_FALSE(remote->isVisible());
    EXPECT_TRUE(Sent().empty());

    remote->ShowRemote();
    Click(Qt::Key_Up);
    EXPECT_EQ(Sent(), std::vector<std::string>{Key(338)}) << "nothing left over from Ctrl+Z";

    // Ctrl+W closes as well; Esc stays the calculator's ESC key.
    Click(Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(remote->isVisible());
    EXPECT_TRUE(Sent().empty());
}

TEST_F(RemoteWindow, NoKeysWhileTheWindowRunsATransfer)
{
    bool busy = true;
    remote->linkBusy = [&busy] { return busy; };
    Click(Qt::Key_A);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(remote->statusLabel->text(), "(busy: a transfer is running)");
    busy = false;
    Click(Qt::Key_C);
    EXPECT_EQ(Sent(), std::vector<std::string>{Key('c')});
    EXPECT_EQ(remote->statusLabel->text(), "(idle)");
}

TEST_F(RemoteWindow, PlaceIsKeptWhenOnTheScreen)
{
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    remote->move(40, 30);
    remote->hide();
    EXPECT_EQ(rig.settings.Read("Last", "Remote Left"), "40");
    EXPECT_EQ(RemoteKeyboardWindow(rig.link, rig.settings).pos(), QPoint(40, 30));

    rig.settings.Write("Last", "Remote Left", std::to_string(screen.width()));
    rig.settings.Write("Last", "Remote Top", "-5");
    RemoteKeyboardWindow centred(rig.link, rig.settings);
    EXPECT_EQ(centred.x(), screen.width() / 2 - centred.width() / 2);
    EXPECT_EQ(centred.y(), screen.height() / 2 - centred.height() / 2);
}

TEST_F(RemoteWindow, ItsErrorBoxesOpenOverIt)
{
    QWidget main;
    main.show();
    QtDialogs dialogs(&main);
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    EXPECT_EQ(dialogs.DialogParent(), &main);
    remote->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(remote.get()));
    EXPECT_EQ(dialogs.DialogParent(), remote.get());
}
