// An exception that escapes an event handler is shown, and the program runs on.
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

#include "app/startup/GuardedApplication.h"
#include "link/Exceptions.h"
#include "tests/support/ScriptedDialogs.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
// Qt's event delivery is not exception-safe: an exception unwinding through
// it leaves the delivery's own bookkeeping behind. That is the price of
// keeping the program alive, not a leak of ours, so the leak checker is told
// to ignore what is allocated while the faulty handlers run.
struct IgnoreQtUnwindLeaks {
    IgnoreQtUnwindLeaks() { __lsan_disable(); }
    ~IgnoreQtUnwindLeaks() { __lsan_enable(); }
};
#else
struct IgnoreQtUnwindLeaks {};
#endif

TEST(GuardedApplication, ErrorFromAButtonHandlerIsShownAndTheLoopGoesOn)
{
    auto* app = dynamic_cast<GuardedApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    ScriptedDialogs dialogs;
    app->SetDialogs(&dialogs);
    struct Row {
        std::function<void()> fault;
        const char* text;
    };
    const Row rows[] = {
        {[] { throw EFileError("Cannot open /gone/x.92p: no such file."); },
         "EFileError: Cannot open /gone/x.92p: no such file."},
        {[] { throw std::out_of_range("vector index"); }, "Exception: vector index"},
        {[] { throw 42; }, "Unknown error: the action was stopped."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        [[maybe_unused]] IgnoreQtUnwindLeaks ignore;
        QPushButton button("Go");
        button.show();
        int clicks = 0;
        QObject::connect(&button, &QPushButton::clicked, [&] {
            ++clicks;
            r.fault();
        });
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::mouseClick(&button, Qt::LeftButton);
        EXPECT_EQ(clicks, 2) << "the button still works after the error";
        ASSERT_EQ(dialogs.shown.size(), 2u);
        EXPECT_EQ(dialogs.shown[0].text, r.text);
        EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Error);
        dialogs.shown.clear();
    }
    app->SetDialogs(nullptr);
}
