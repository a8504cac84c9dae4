// The file page: listing, the information panel, the folder history, the
// resize layout and the viewers.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/dialogs/FileFilterDialog.h"
#include "app/window/FileBrowserPanel.h"
#include "files/FileBrowser.h"
#include "files/widgets/PictureViewer.h"
#include "files/widgets/TextViewer.h"
#include "tests/app/AppRig.h"
#include "tests/support/TI92FileBuilder.h"

namespace {
class FilePage : public ::testing::Test {
protected:
    // The folder's files and the settings that list it, before the window exists.
    std::string Prepare()
    {
        const std::string folder = files.path().toStdString();
        WriteBytes(folder + "/note.92t",
                   VariableFileBytes("main", "a note", {{"note", 0x0B, TextVariableData({"ab", "c"})}}));
        WriteBytes(folder + "/note.txt", "side text");
        WriteBytes(folder + "/two.92g",
                   VariableFileBytes("", "", {{"a", 0x0B, TextVariableData({"x"})}, {"b", 0x10, "\0\1\0\1\x80\xDF"}}));
        WriteBytes(folder + "/game.92p",
                   VariableFileBytes("main", "", {{"game", 0x12, Fargo1ProgramData({"util", "flib"}, "Space game")}}));
        rig.Set("Last", "Last directory history item #1", folder);
        for (int k = 2; k <= 5; ++k)
            rig.Set("Last", "Last directory history item #" + std::to_string(k), "/h" + std::to_string(k));
        return folder;
    }
    void SetUp() override
    {
        f.sendButton->click();
        f.onNextClicked(f.nextButton);
    }
    void Click(const std::string& caption)
    {
        f.fileList->clearSelection();
        for (int i = 0; i < f.fileList->topLevelItemCount(); ++i)
            if (f.fileList->topLevelItem(i)->text(0).toStdString() == caption)
                f.fileList->topLevelItem(i)->setSelected(true);
        f.fileBrowser->onFileListClicked();
    }
    std::vector<std::string> History()
    {
        std::vector<std::string> h;
        for (int i = 0; i < f.folderBox->count(); ++i)
            h.push_back(f.folderBox->itemText(i).toStdString());
        return h;
    }

    QTemporaryDir files;
    AppRig rig;
    std::string folder = Prepare();
    WizardWindow& f = rig.Create();
};
}  // namespace

TEST_F(FilePage, ListsTheFolderAndDescribesTheClickedFile)
{
    ASSERT_EQ(f.PageShown(), pageFileSelect);
    ASSERT_EQ(f.fileList->topLevelItemCount(), 4);
    EXPECT_EQ(f.fileList->topLevelItem(0)->text(0), "game.92p");
    EXPECT_EQ(f.fileList->topLevelItem(0)->text(1), "Space game *");

    Click("game.92p");
    EXPECT_EQ(f.fileTitleLabel->text(), "File info of game.92p");
    EXPECT_EQ(f.fileKindLabel->text(), "Fargo v1.x program");
    EXPECT_EQ(f.commentMemo->toPlainText(), "Fargo: Space game");
    EXPECT_TRUE(f.commentMemo->isReadOnly());
    EXPECT_FALSE(f.librariesEdit->isHidden());
    EXPECT_EQ(f.librariesEdit->text(), "util, flib");
    EXPECT_FALSE(f.textViewerButton->isEnabled());

    // A side text opens in the viewer; "&View" shows the variable alone.
    Click("note.92t");
    EXPECT_TRUE(f.librariesEdit->isHidden());
    EXPECT_TRUE(f.textViewerButton->isEnabled());
    EXPECT_TRUE(f.fileBrowser->textViewer->isVisible());
    EXPECT_EQ(f.fileBrowser->textViewer->Status(),
              "Viewing " + QString::fromStdString(folder).toLower().toStdString() + "/note.txt");
    f.viewVariableButton->click();
    EXPECT_EQ(f.fileBrowser->textViewer->Lines(), (std::vector<std::string>{" ab", " c"}));
    EXPECT_EQ(f.fileBrowser->textViewer->Status(), "Viewing note (12 bytes)");

    Click("two.92g");
    EXPECT_FALSE(f.fileBrowser->textViewer->isVisible());
    f.viewVariableButton->click();
    EXPECT_EQ(rig.dialogs.Messages().back(), "You can only view single-text- or single-imagefiles!");

    f.fileList->clearSelection();
    f.fileBrowser->onFileListClicked();
    EXPECT_EQ(f.fileTitleLabel->text(), "No file selected.");
    std::filesystem::remove(folder + "/two.92g");
    Click("two.92g");
    EXPECT_EQ(f.fileTitleLabel->text(), "File not found!") << "a file gone since the listing";

    // The size column sorts by length.
    f.fileBrowser->onFileListHeaderClicked(3);
    EXPECT_EQ(f.fileList->topLevelItem(0)->text(0), "note.txt");
}

TEST_F(FilePage, FolderHistoryAndLayout)
{
    rig.dialogs.ExpectFile(std::nullopt);
    f.browseButton->click();
    EXPECT_EQ(History(), (std::vector<std::string>{folder, "/h2", "/h3", "/h4", "/h5"}));

    rig.dialogs.ExpectFile(std::string("/elsewhere"));
    f.browseButton->click();
    EXPECT_EQ(History(), (std::vector<std::string>{"/elsewhere", folder, "/h2", "/h3", "/h4"}));
    EXPECT_EQ(f.fileList->topLevelItemCount(), 0);  // the folder does not exist
    EXPECT_EQ(rig.dialogs.Messages().back(), "ESoftwareError: Error while listing directory!");

    f.fileBrowser->onFolderPicked(1);
    EXPECT_EQ(History(), (std::vector<std::string>{folder, "/elsewhere", "/h2", "/h3", "/h4"}));
    EXPECT_EQ(f.fileList->topLevelItemCount(), 4);
    EXPECT_EQ(f.folderBox->toolTip().toStdString(), folder);

    f.show();
    f.resize(400, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.fileInfoPanel->width(), 135);  // laid out as for 550 pixels
    EXPECT_EQ(f.variablesGroup->width(), 124);
    f.resize(1000, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.fileInfoPanel->width(), 245);
}

TEST_F(FilePage, TheNoFilesRowIsNotAFile)
{
    const std::string empty = folder + "/empty";
    std::filesystem::create_directory(empty);
    rig.dialogs.ExpectFile(empty);
    f.browseButton->click();
    ASSERT_EQ(f.fileList->topLevelItemCount(), 1);
    const size_t messages = rig.dialogs.Messages().size();
    Click(kNoFilesToShow);
    EXPECT_EQ(f.fileTitleLabel->text(), "No file selected.");
    EXPECT_EQ(f.fileKindLabel->text(), "-");
    EXPECT_EQ(rig.dialogs.Messages().size(), messages) << "no error box";
}

TEST_F(FilePage, UpdateOnARemovedFolderNamesItAndKeepsRunning)
{
    const std::string gone = folder + "/sub";
    std::filesystem::create_directory(gone);
    rig.dialogs.ExpectFile(gone);
    f.browseButton->click();
    std::filesystem::remove(gone);
    QTest::mouseClick(f.updateFilesButton, Qt::LeftButton);
    ASSERT_FALSE(rig.dialogs.Messages().empty());
    EXPECT_EQ(rig.dialogs.Messages().back().rfind("Cannot read the folder " + gone + ": ", 0), 0u)
        << rig.dialogs.Messages().back();
    EXPECT_EQ(rig.dialogs.shown.back().icon, MsgIcon::Error);
    EXPECT_EQ(f.fileList->topLevelItemCount(), 0);
}

TEST_F(FilePage, TextFilesAreListedFromTheFirstStartAndClosingTheFilterListsAgain)
{
    const auto names = [this] {
        std::vector<std::string> n;
        for (int i = 0; i < f.fileList->topLevelItemCount(); ++i)
            n.push_back(f.fileList->topLevelItem(i)->text(0).toStdString());
        return n;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"game.92p", "note.92t", "note.txt", "two.92g"}));
    rig.answerModal = [](QDialog& d) {
        auto& form = dynamic_cast<FileFilterDialog&>(d);
        form.textFilesBox->click();  // off
        return static_cast<int>(QDialog::Accepted);
    };
    f.showFilesButton->click();
    EXPECT_EQ(names(), (std::vector<std::string>{"game.92p", "note.92t", "two.92g"}));
}
