#pragma once
#include <string>
#include <vector>

#include "files/widgets/ViewerWindow.h"

class QPlainTextEdit;

// "Textviewer": lines of a text variable or of a text file beside a
// variable file. Text is calculator bytes, shown one byte per character.
class TextViewer : public ViewerWindow {
    Q_OBJECT
public:
    explicit TextViewer(Dialogs& dialogs, QWidget* parent = nullptr);

    // Adds the lines after what the memo already holds.
    void AddLines(const std::vector<std::string>& lines);
    // Replaces the memo with a text file's lines; false when it cannot be read.
    bool LoadFromFile(const std::string& path);
    std::vector<std::string> Lines() const;

    QPlainTextEdit* textEdit;

protected:
    void onSaveAsClicked() override;
    void onCopyClicked() override;
};
