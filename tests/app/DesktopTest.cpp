// Desktop integration written into a temporary data folder and read back,
// and the private store folders of running windows.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/desktop/DesktopFiles.h"
#include "app/desktop/FreedesktopRegistration.h"
#include "app/desktop/ProcessStoreFolder.h"
#include "app/settings/IniSettingsStore.h"
#include "files/FileExtensions.h"
#include "link/Exceptions.h"

namespace fs = std::filesystem;

namespace {

QString Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}  // namespace

TEST(Desktop, RegistrationWritesEntriesTypesAndDefaultsIntoTheUserFolders)
{
    QTemporaryDir dir;
    const DesktopFolders folders{dir.path().toStdString() + "/data", dir.path().toStdString() + "/config"};
    QDir().mkpath(QString::fromStdString(folders.configHome));
    QFile other(QString::fromStdString(folders.configHome) + "/mimeapps.list");
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("[Default Applications]\napplication/x-ti92-program=other.desktop;\ntext/plain=edit.desktop;\n");
    other.close();

    const std::string program = "/opt/link wise/bin/linkwise";
    RegisterFileTypes(folders, program);
    const QString data = QString::fromStdString(folders.dataHome);

    const QString send = Read(data + "/applications/linkwise.desktop");
    EXPECT_TRUE(send.contains("\nExec=\"/opt/link wise/bin/linkwise\" %f\n")) << "no file: a plain start";
    EXPECT_TRUE(
        send.contains("[Desktop Action Send]\nName=Send to calculator\nExec=\"/opt/link wise/bin/linkwise\" SEND %f\n"))
        << send.toStdString();
    EXPECT_TRUE(send.contains("Name=Send to calculator"));
    EXPECT_TRUE(send.contains("application/x-ti92-program;"));
    const QString convert = Read(data + "/applications/linkwise-convert.desktop");
    EXPECT_TRUE(convert.contains("Name=Linkwise converter\n"));
    EXPECT_TRUE(convert.contains("CONVERT %f\n"));
    EXPECT_TRUE(convert.contains("NoDisplay=true\n"));
    EXPECT_FALSE(convert.contains("MimeType")) << "never a handler, so never the default, of text files";
    const QString package = Read(data + "/mime/packages/linkwise.xml");
    EXPECT_EQ(package.count("<mime-type "), 14);
    EXPECT_TRUE(package.contains("\"*.92b\"") && package.contains("\"*.92B\""));

    // The other program's default for TI-92 programs is replaced; text files keep theirs.
    const QString mimeapps = Read(QString::fromStdString(folders.configHome) + "/mimeapps.list");
    EXPECT_TRUE(mimeapps.contains("application/x-ti92-program=linkwise.desktop;\n"));
    EXPECT_TRUE(mimeapps.contains("text/plain=edit.desktop;\n"));
    EXPECT_EQ(mimeapps.count("application/x-ti92-"), 14);
    EXPECT_EQ(DefaultApplication(folders, kProgramMimeType), kSendEntryId);

    if (!QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
        EXPECT_TRUE(Read(data + "/mime/globs2").contains("application/x-ti92-program:*.92P"));
    }
    if (QStandardPaths::findExecutable("desktop-file-validate").isEmpty())
        return;
    for (const char* entry : {"linkwise.desktop", "linkwise-convert.desktop"}) {
        QProcess validate;
        validate.start("desktop-file-validate", {data + "/applications/" + entry});
        ASSERT_TRUE(validate.waitForFinished());
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
    }
}

TEST(Desktop, TypesFollowTheShellExtensionListAndExecArgumentsAreQuoted)
{
    std::string list;
    for (const Ti92MimeType& m : Ti92MimeTypes())
        list += m.extension + ";";
    EXPECT_EQ(list, kShellExtensions);
    struct Row {
        const char* path;
        const char* exec;
    };
    for (const Row& r : {Row{"/usr/bin/linkwise", "\"/usr/bin/linkwise\""}, Row{"/a b/$x\"y", "\"/a b/\\\\$x\\\\\"y\""},
                         Row{"/opt/100%/linkwise", "\"/opt/100%%/linkwise\""}}) {
        SCOPED_TRACE(r.path);
        EXPECT_EQ(ExecArgument(r.path), r.exec);
    }
}

// Registration changes only the lines it owns: another program's lines stay
// byte for byte, in whatever encoding; a path with a line break is refused
// rather than adding lines to an entry.
TEST(Desktop, RegistrationKeepsTheUsersBytesAndRefusesControlCharacters)
{
    QTemporaryDir dir;
    const DesktopFolders folders{dir.path().toStdString() + "/data", dir.path().toStdString() + "/config"};
    fs::create_directories(folders.configHome);
    const std::string mimeapps = folders.configHome + "/mimeapps.list";
    const std::string theirs = "# caf\xE9 \xFF\xFE\r\n[Added Associations]\nimage/png=\xC3(bad.desktop;\n";
    std::ofstream(mimeapps, std::ios::binary) << theirs;
    RegisterFileTypes(folders, "/usr/bin/linkwise");
    std::ifstream in(mimeapps, std::ios::binary);
    const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after.substr(0, theirs.size()), theirs);
    EXPECT_NE(after.find("application/x-ti92-program=linkwise.desktop;"), std::string::npos) << after;
    for (const char* path : {"/opt/a\nExec=evil", "/opt/a\rb", "/opt/\x1b[2J"})
        EXPECT_THROW(ExecArgument(path), EFileError) << path;
}

// A settings file that is no regular file (a FIFO would block every read) is refused.
TEST(Desktop, ASettingsPathThatIsNoRegularFileIsRefused)
{
    QTemporaryDir dir;
    const std::string fifo = dir.path().toStdString() + "/settings.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(IniSettingsStore{fifo}, EFileError);
    EXPECT_NO_THROW(IniSettingsStore::CheckPath(dir.path().toStdString() + "/missing.ini"));
}

TEST(Desktop, TheConverterNeverBecomesTheDefaultForTextFiles)
{
    struct Row {
        const char* before;  // the user's mimeapps.list
        const char* textDefault;
    };
    // The editor's entry sorts before and after the converter's in one folder.
    for (const Row& r : {Row{"[Default Applications]\ntext/plain=edit.desktop;\n", "edit.desktop"},
                         Row{"[Default Applications]\ntext/plain=linkwise-convert.desktop;\n", ""},
                         Row{"", "a-edit.desktop"}, Row{"", "z-edit.desktop"}}) {
        SCOPED_TRACE(r.before);
        QTemporaryDir dir;
        const DesktopFolders folders{dir.path().toStdString() + "/data", dir.path().toStdString() + "/config"};
        const QString mimeapps = QString::fromStdString(folders.configHome) + "/mimeapps.list";
        QDir().mkpath(QString::fromStdString(folders.configHome));
        QFile list(mimeapps);
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(r.before);
        list.close();
        // The editor the user chose is installed.
        const QString applications = QString::fromStdString(folders.dataHome) + "/applications";
        QDir().mkpath(applications);
        QFile editor(applications + "/" + (*r.before ? "edit.desktop" : r.textDefault));
        ASSERT_TRUE(editor.open(QIODevice::WriteOnly));
        editor.write("[Desktop Entry]\nType=Application\nName=Edit\nExec=edit %f\nMimeType=text/plain;\n");
        editor.close();
        RegisterFileTypes(folders, "/usr/bin/linkwise");
        RegisterFileTypes(folders, "/usr/bin/linkwise");  // again, as a user may
        EXPECT_FALSE(Read(mimeapps).contains("text/plain=linkwise-convert")) << Read(mimeapps).toStdString();
        EXPECT_NE(DefaultApplication(folders, kTextMimeType), kConvertEntryId);
        if (*r.before && *r.textDefault)
            EXPECT_EQ(DefaultApplication(folders, kTextMimeType), r.textDefault);
    }
}

// Unregistering takes back what registering wrote and nothing the user set.
TEST(Desktop, UnregisteringRemovesWhatRegisteringWroteAndKeepsTheUsersChoices)
{
    QTemporaryDir dir;
    const DesktopFolders folders{dir.path().toStdString() + "/data", dir.path().toStdString() + "/config"};
    const QString mimeapps = QString::fromStdString(folders.configHome) + "/mimeapps.list";
    const QString data = QString::fromStdString(folders.dataHome);
    QDir().mkpath(QString::fromStdString(folders.configHome));
    QFile list(mimeapps);
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("[Default Applications]\ntext/plain=edit.desktop;\nimage/png=view.desktop;\n");
    list.close();
    RegisterFileTypes(folders, "/usr/bin/linkwise");
    ASSERT_TRUE(UserRegistrationFound(folders));
    // The user picks another program for TI-92 pictures since.
    QString changed = Read(mimeapps);
    changed.replace("application/x-ti92-picture=linkwise.desktop;", "application/x-ti92-picture=paint.desktop;");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly | QIODevice::Truncate));
    list.write(changed.toUtf8());
    list.close();

    UnregisterFileTypes(folders);
    EXPECT_FALSE(UserRegistrationFound(folders));
    for (const char* file :
         {"/applications/linkwise.desktop", "/applications/linkwise-convert.desktop", "/mime/packages/linkwise.xml"})
        EXPECT_FALSE(QFile::exists(data + file)) << file;
    EXPECT_EQ(Read(mimeapps), "[Default Applications]\ntext/plain=edit.desktop;\nimage/png=view.desktop;\n"
                              "application/x-ti92-picture=paint.desktop;\n");
    if (!QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
        EXPECT_FALSE(Read(data + "/mime/globs2").contains("x-ti92")) << "the MIME database forgets the types";
    }
    UnregisterFileTypes(folders);  // nothing left to remove is no failure
}

TEST(Desktop, NoDefaultWhenNothingIsRegistered)
{
    // The tests' own folders: an installed Linkwise's entries are out of reach.
    for (const QString& d : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        EXPECT_FALSE(d.startsWith("/usr/")) << d.toStdString();
    QTemporaryDir dir;
    const DesktopFolders folders{dir.path().toStdString() + "/data", dir.path().toStdString() + "/config"};
    EXPECT_NE(DefaultApplication(folders, kProgramMimeType), kSendEntryId);
}

TEST(ProcessStore, RunningCopiesKeepTheirOwnFoldersAndStaleOnesAreCleaned)
{
    QTemporaryDir dir;
    const fs::path parent = dir.path().toStdString();
    fs::path first;
    {
        ProcessStoreFolder a(parent);
        ProcessStoreFolder b(parent);
        first = a.Path();
        EXPECT_NE(a.Path(), b.Path());
        EXPECT_TRUE(fs::is_directory(a.Path()) && fs::is_directory(b.Path())) << "a live one is never cleaned";
        // A crashed run leaves a folder whose lock nobody holds.
        fs::create_directories(parent / "stores/store-crashed");
        std::ofstream(parent / "stores/store-crashed/.lock");
        std::ofstream(parent / "stores/store-crashed/~data.~92") << "old";
        ProcessStoreFolder c(parent);
        EXPECT_FALSE(fs::exists(parent / "stores/store-crashed"));
        EXPECT_TRUE(fs::exists(a.Path()) && fs::exists(b.Path()));
    }
    EXPECT_FALSE(fs::exists(first)) << "removed when the program ends";
}
