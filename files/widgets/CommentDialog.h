#pragma once
#include <optional>
#include <string>

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Enter a comment!": the comment of a file being saved, 34 characters at most.
class CommentDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 34;

    explicit CommentDialog(QWidget* parent = nullptr);

    // Shows the form modally; the edited text after OK, nothing after Cancel.
    std::optional<std::string> Ask(const std::string& headlineText, const std::string& proposed);

    QLabel* headline;
    QLineEdit* commentEdit;
    QPushButton* okButton;
    QPushButton* cancelButton;

protected:
    void showEvent(QShowEvent* event) override;
};
