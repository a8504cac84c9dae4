#include "app/window/ConvertSteps.h"

#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <memory>

#include "app/window/ReceiveSteps.h"
#include "app/window/WizardWindow.h"
#include "files/CommentPrompt.h"
#include "files/TempStore.h"
#include "files/TextConversion.h"
#include "link/Dialogs.h"
#include "link/Exceptions.h"

namespace {

// A step that wrote no file failed; the user goes on by hand.
void ConvertFailed(WizardWindow& form)
{
    form.RecordStepResult(false);
    form.nextButton->setEnabled(true);
    form.previousButton->setEnabled(true);
}

// The target named on the command line may be an existing file: it is
// replaced only after a Yes. (The save dialog asks on its own.)
bool MayReplace(WizardWindow& form, Dialogs& dialogs, const std::string& target)
{
    std::error_code ec;
    if (!std::filesystem::exists(target, ec))
        return true;
    if (dialogs.MessageBox(target + " already exists.\rDo you want to replace it?", "Convert", MsgIcon::Question,
                           MsgButtons::YesNo) == MsgResult::Yes)
        return true;
    form.StatusMemoAdd(target + " was kept; nothing was converted.");
    ConvertFailed(form);
    return false;
}

// The comment of the page goes into the file; what did not come through
// whole is told in the report. The report names the cause of a failure; the
// step records it.
void Convert(WizardWindow& form, Dialogs& dialogs)
{
    const std::string source = form.convertFromEdit->text().toStdString();
    const std::string target = form.convertToEdit->text().toStdString();
    const FileComment comment = CommentFromUtf8(form.convertCommentEdit->text().toStdString());
    for (const std::string& note : CommentNotes(comment))
        form.StatusMemoAdd(" Note: " + note + ".");
    form.convertButton->setEnabled(false);
    if (!Txtto92g(form, dialogs, FormStore(form), form.settings.StoreFolders, source, target, true, comment.bytes)) {
        ConvertFailed(form);
        return;
    }
    // Without the automatic Next the user goes on by hand.
    form.nextButton->setEnabled(true);
}

}  // namespace

void InstallConvertSteps(WizardWindow& form, Dialogs& dialogs)
{
    // The name the save dialog gave: that dialog asked about replacing it already.
    auto chosenTarget = std::make_shared<std::string>();
    QObject::connect(form.convertButton, &QPushButton::clicked, &form, [&form, &dialogs, chosenTarget] {
        const std::string target = form.convertToEdit->text().toStdString();
        if (target != *chosenTarget && !MayReplace(form, dialogs, target))
            return;
        try {
            Convert(form, dialogs);
        } catch (const std::exception& e) {
            form.ErrorDialog(ErrorDialogText("converting text", e));
        }
        // A failed command-line task that was to end the program shows its report instead.
        if (!form.TaskSucceeded() && form.paramCommands.ParamMode && form.paramCommands.Has(cmdEXIT))
            form.nextButton->click();
    });
    form.SetStepAction(taskConvertText, 1, [&form, &dialogs, chosenTarget] {
        chosenTarget->clear();
        // Proposed as the comment dialog proposes it; the conversion waits for Convert.
        form.convertCommentEdit->setText(QString::fromStdString(CommentProposal(QDateTime::currentDateTime())));
        if (form.convertToEdit->text().isEmpty()) {
            const std::filesystem::path source = form.convertFromEdit->text().toStdString();
            FileDialogRequest request;
            request.title = "Convert to";
            request.initialDir = source.parent_path().string();
            request.fileName = source.stem().string() + ".92t";
            request.filter = "TI92-Textfiles (*.92t)";
            request.defaultExtension = "92t";
            const auto chosen = dialogs.SaveFileName(request);
            if (!chosen) {
                // Nothing converted: the user may still go on to the end or back.
                form.nextButton->setEnabled(true);
                return;
            }
            *chosenTarget = *chosen;
            form.convertToEdit->setText(QString::fromStdString(*chosen));
        }
        form.convertButton->setEnabled(true);
        form.convertButton->setDefault(true);
        form.convertCommentEdit->setFocus();
    });
}
