#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "files/TextConversion.h"

class Dialogs;
class TempStore;
class Ti92Link;
class TransferView;

// Where the Fargo libraries live and whether libraries that pass through a
// job are copied there. The folders end with "/".
struct FargoLibrarySettings {
    std::string fargo1Dir;
    std::string fargo2Dir;
    bool autoCollect = true;
};

// Whether to send a Fargo program's libraries: asked per program, or
// decided for the rest of the job.
enum class LibraryChoice { Ask, AlwaysYes, AlwaysNo };

// What a job does with a variable the calculator already holds under the
// same name: replace it silently, ask (Yes, No, Yes to all, No to all,
// Cancel, which sends nothing), or send nothing and name the variables.
enum class ReplacePolicy { Replace, Ask, Refuse };

// Everything a file-list send works with.
struct FileListSendJob {
    Ti92Link& link;
    TransferView& view;
    Dialogs& dialogs;
    const TempStore& store;    // where a text file is converted
    std::string tempTextFile;  // the converted text file, "~tmp.92t" in the program folder
    bool storeFolders = true;
    FargoLibrarySettings libraries;
    LibraryChoice choice = LibraryChoice::Ask;  // at the start of the job
    TextVariableNaming textNaming{};            // for the text files of the list
    ReplacePolicy replace = ReplacePolicy::Replace;
    bool confirmBackup = false;  // ask before a backup replaces the whole memory
    // Runs when every file was sent, before the automatic Next (which may
    // start the next step inside this job).
    std::function<void()> whenSent{};
};

// A file that went to the calculator, as the user named it, and where its
// variables landed (with their folder when the job read the calculator's
// list, else as the file names them).
struct SentFile {
    std::string file;
    std::vector<std::string> variables;
    bool library = false;  // a Fargo library a program needed
    bool backup = false;   // the calculator's whole memory
};

struct FileListSendResult {
    int filesSent = 0;
    int files = 0;
    int librariesSent = 0;
    bool failed = false;                // the job ended with an error
    std::string errorClass;             // of that error
    std::string summary;                // the job's last report line
    bool declined = false;              // the user said No to a backup: nothing was sent
    bool cancelled = false;             // the user cancelled at a question: nothing was sent
    std::vector<std::string> existing;  // refused: these would have been replaced
    std::vector<std::string> repeated;  // refused: the files give these more than once
    std::vector<SentFile> sent;         // in the order they went
    bool Complete() const { return !failed && filesSent == files; }
};

// Sends the files (full paths) as one job: text files converted on the way,
// variable files and their Fargo libraries (each library once per job),
// backups. Every file is checked (kind, entry table, backup checksum and
// size, text conversion) and every question asked before the first byte
// goes out, so a bad file, a No to a backup or a Cancel sends nothing. Fills the transfer page,
// ends with one summary line in the status report and moves on by itself
// when every file was sent. Errors end the job with an error dialog and an
// error summary line; nothing is thrown.
FileListSendResult SendFileList(const FileListSendJob& job, const std::vector<std::string>& paths);

// The files to send from the browser: folder + each selected caption. Throws
// std::runtime_error "File does not exists:\r<path>" for a missing file.
std::vector<std::string> SelectedFilePaths(const std::string& directory,
                                           const std::vector<std::string>& selectedCaptions);

// The send step of the wizard: the command line's file when there is one,
// else the browser's selection (nothing selected: nothing happens). Throws
// std::runtime_error "No files to send!" for an empty list and the
// missing-file error above, before anything is sent.
FileListSendResult SendFiles(const FileListSendJob& job, const std::optional<std::string>& commandLineFile,
                             const std::string& directory, const std::vector<std::string>& selectedCaptions);
