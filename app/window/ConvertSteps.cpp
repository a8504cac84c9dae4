#include "app/window/ConvertSteps.h"

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

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

// The report names the cause of a failure; the step records it.
void Convert(WizardWindow& form, Dialogs& dialogs)
{
    const std::string source = form.convertFromEdit->text().toStdString();
    const std::string target = form.convertToEdit->text().toStdString();
    // No comment given: the conversion asks for it.
    if (!Txtto92g(form, dialogs, FormStore(form), form.settings.StoreFolders, source, target, true, std::string()))
        ConvertFailed(form);
}

}  // namespace

void InstallConvertSteps(WizardWindow& form, Dialogs& dialogs)
{
    form.SetStepAction(taskConvertText, 1, [&form, &dialogs] {
        if (!form.convertToEdit->text().isEmpty()) {
            if (MayReplace(form, dialogs, form.convertToEdit->text().toStdString()))
                Convert(form, dialogs);
            return;
        }
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
            form.previousButton->setEnabled(true);
            return;
        }
        try {
            form.convertToEdit->setText(QString::fromStdString(*chosen));
            Convert(form, dialogs);
        } catch (const std::exception& e) {
            form.ErrorDialog(ErrorDialogText("converting text", e));
        }
    });
}
