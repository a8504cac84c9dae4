#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

// The question whether to send the libraries a Fargo program needs. The
// "&Advanced" part offers to stop asking; its choice stays for the run.
class FargoLibraryDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSmallHeight = 192;
    static constexpr int kAdvancedHeight = 252;

    explicit FargoLibraryDialog(QWidget* parent = nullptr);

    // 1 Yes or 2 No, + 10 with "always say Yes", + 20 with "always say No";
    // closing the window by its frame gives 2.
    int Ask(const QString& caption);
    void onAdvancedClicked();
    // The result the dialog closes with for a button.
    int ResultFor(bool yes) const;
    bool AdvancedShown() const;

    QLabel* headline;
    QLabel* questionLabel;
    QLabel* yesHintLabel;
    QLabel* noHintLabel;
    QPushButton* yesButton;
    QPushButton* noButton;
    QPushButton* advancedButton;
    QRadioButton* alwaysYesRadio;
    QRadioButton* alwaysNoRadio;
    QRadioButton* alwaysAskRadio;

private:
    QWidget* fAdvanced;
};
