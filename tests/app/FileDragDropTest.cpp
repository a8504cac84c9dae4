// Files dropped or pasted on the window are sent; variables drag and copy out as files.
#include <QApplication>
#include <QComboBox>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <gtest/gtest.h>

#include "app/window/FileBrowserPanel.h"
#include "app/window/FileDragDrop.h"
#include "files/GroupFile.h"
#include "tests/app/AppRig.h"
#include "tests/support/TI92FileBuilder.h"

namespace {

class Drops : public ::testing::Test {
protected:
    std::string File(const std::string& name, const std::string& bytes)
    {
        const std::string path = rig.dir.path().toStdString() + "/" + name;
        WriteBytes(path, bytes);
        return path;
    }
    // A drop of these paths as a file manager makes it, on the window.
    bool Drop(const std::vector<std::string>& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& p : paths)
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(p)));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f, &drop);
        return enter.isAccepted() && drop.isAccepted();
    }

    AppRig rig;
    WizardWindow& f = rig.Create();
};

}  // namespace

TEST_F(Drops, DroppedFilesAreSentAndATextFileIsConverted)
{
    const std::string game = File("drop.92p", VariableFileBytes("main", "", {{"dropped", 0x12, "\1\2"}}));
    const std::string text = File("Jotting.txt", "hello");
    ASSERT_TRUE(Drop({game, text}));
    EXPECT_TRUE(f.TaskSucceeded());
    ASSERT_TRUE(rig.calc.FindVariable("main\\dropped"));
    EXPECT_TRUE(rig.calc.FindVariable("main\\jotting"));

    // Paste does the same with files copied in a file manager.
    const std::string other = File("other.92p", VariableFileBytes("main", "", {{"pasted", 0x12, "\3"}}));
    auto* copied = new QMimeData;
    copied->setUrls({QUrl::fromLocalFile(QString::fromStdString(other))});
    QApplication::clipboard()->setMimeData(copied);
    f.fileBrowser->dragDrop->PasteFiles();
    EXPECT_TRUE(rig.calc.FindVariable("main\\pasted"));
    EXPECT_TRUE(rig.dialogs.AllAnswered());
}

TEST_F(Drops, ADropDuringATransferIsRefusedInTheStatusLine)
{
    const std::string game = File("drop.92p", VariableFileBytes("main", "", {{"dropped", 0x12, "\1\2"}}));
    f.TransferMode(true);
    Drop({game});
    f.TransferMode(false);
    EXPECT_EQ(f.statusLabel->toolTip().toStdString(),
              "Busy: the files were not taken; give them again when the transfer has ended");
    EXPECT_FALSE(rig.calc.FindVariable("main\\dropped"));
    // Anything but local files is not taken.
    QMimeData web;
    web.setUrls({QUrl("https://example.org/game.92p")});
    EXPECT_TRUE(FileDragDrop::LocalFiles(&web).empty());
}

TEST_F(Drops, AGroupsVariablesCopyOutAsSingleVariableFiles)
{
    // The window is made already: point its file page at the test's folder.
    f.folderBox->setItemText(0, rig.dir.path() + "/");
    File("two.92g", VariableFileBytes("", "", {BuiltEntry::Folder("main"), {"a", 0x0C, "A"}, {"b", 0x12, "B"}}));
    f.sendButton->click();
    f.onNextClicked(f.nextButton);
    f.fileList->topLevelItem(0)->setSelected(true);
    f.fileBrowser->onFileListClicked();
    f.includedVariableList->topLevelItem(1)->setSelected(true);

    f.fileBrowser->dragDrop->CopySelected(f.includedVariableList);
    const std::vector<std::string> files = FileDragDrop::LocalFiles(QApplication::clipboard()->mimeData());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(std::filesystem::path(files[0]).filename(), "b.92p");
    const FileVariables read = ReadFileVariables(files[0]);
    EXPECT_EQ(read.variables.at(0).FullName(), "main\\b");

    // The next copy's files replace the last one's.
    f.includedVariableList->topLevelItem(0)->setSelected(true);
    std::unique_ptr<QMimeData> offer(f.fileBrowser->dragDrop->Offer(f.includedVariableList));
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->urls().size(), 2);
    EXPECT_FALSE(std::filesystem::exists(files[0]));
}
