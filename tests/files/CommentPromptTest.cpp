#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "files/CommentPrompt.h"
#include "files/widgets/CommentDialog.h"

namespace {
QApplication& App()
{
    static int argc = 1;
    static char name[] = "test_files";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}
}  // namespace

TEST(CommentPromptTest, ProposalAndHeadline)
{
    std::string proposal = CommentProposal(QDateTime(QDate(1999, 12, 31), QTime(15, 3)));
    EXPECT_EQ(proposal.rfind("File dated ", 0), 0u);
    EXPECT_EQ(proposal.back(), '.');
    EXPECT_NE(proposal.find("31"), std::string::npos);
    EXPECT_LE(proposal.size(), 34u);
    EXPECT_EQ(CommentHeadline("/home/u/calc/x.92e"), "Enter a comment for \"x.92e\":");
}

TEST(CommentPromptTest, FormLimitsTheCommentAndReturnsItOnOk)
{
    App();
    CommentDialog form;
    EXPECT_EQ(form.windowTitle(), "Enter a comment!");
    EXPECT_EQ(form.headline->text(), "Please enter a comment:");
    EXPECT_EQ(form.commentEdit->maxLength(), 34);
    EXPECT_TRUE(form.okButton->isDefault());

    QTimer::singleShot(0, &form, [&] {
        EXPECT_EQ(form.headline->text(), "Enter a comment for \"a.92g\":");
        form.commentEdit->setText(QString(40, 'x'));
        form.okButton->click();
    });
    EXPECT_EQ(form.Ask("Enter a comment for \"a.92g\":", "File dated now."), std::string(34, 'x'));

    // Cancel (or closing the form) cancels the save: no comment at all.
    QTimer::singleShot(0, &form, [&] { form.cancelButton->click(); });
    EXPECT_EQ(form.Ask("h", "File dated now."), std::nullopt);
    QTimer::singleShot(0, &form, [&] { form.reject(); });
    EXPECT_EQ(form.Ask("h", "File dated now."), std::nullopt);
}

TEST(CommentPromptTest, CommentsInCalculatorCodesCutToWhatAFileKeeps)
{
    struct Row {
        std::string given, bytes;
        size_t missing;
        bool cut;
        size_t notes;
    };
    for (const Row& r : {Row{"Gr\xC3\xBC\xC3\x9F"
                             "e \xCF\x80",
                             "Gr\xFC\xDF"
                             "e \x8C",
                             0, false, 0},
                         Row{std::string(41, 'x'), std::string(34, 'x'), 0, true, 1},
                         Row{std::string(33, 'x') + "\xCF\x80\xCF\x80", std::string(33, 'x') + "\x8C", 0, true, 1},
                         Row{"5 \xE2\x82\xAC", "5 ?", 1, false, 1}}) {
        SCOPED_TRACE(r.given);
        const FileComment c = CommentFromUtf8(r.given);
        EXPECT_EQ(c.bytes, r.bytes);
        EXPECT_EQ(c.missing, r.missing);
        EXPECT_EQ(c.cut, r.cut);
        EXPECT_EQ(CommentNotes(c).size(), r.notes);
    }
}
