#include "app/window/ConvertSteps.h"

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "app/window/ReceiveSteps.h"
#include "files/TempStore.h"
#include "app/window/TForm1.h"
#include "files/CommentPrompt.h"
#include "files/TextConversion.h"
#include "link/Dialogs.h"
#include "link/Exceptions.h"

namespace {

// The target named on the command line may be an existing file: it is
// replaced only after a Yes. (The save dialog asks on its own.)
bool MayReplace(TForm1& form, Dialogs& dialogs, const std::string& target)
{
    std::error_code ec;
    if (!std::filesystem::exists(target, ec))
        return true;
    if (dialogs.MessageBox(target + " already exists.\rDo you want to replace it?", "Convert", MsgIcon::Question,
                           MsgButtons::YesNo) == MsgResult::Yes)
        return true;
    form.StatusMemoAdd(target + " was kept; nothing was converted.");
    form.RecordStepResult(false);
    form.NextBtn->setEnabled(true);
    form.PreviousBtn->setEnabled(true);
    return false;
}

void Convert(TForm1& form, Dialogs& dialogs)
{
    const std::string source = form.ConvertFile->text().toStdString();
    const std::string target = form.ConvertTo->text().toStdString();
    const std::string comment = PromptComment(dialogs, target);
    Txtto92g(form, dialogs, FormStore(form), form.Settings.StoreFolders, source, target, true, comment);
}

}  // namespace

void InstallConvertSteps(TForm1& form, Dialogs& dialogs)
{
    form.SetStepAction(taskConvertText, 1, [&form, &dialogs] {
        if (!form.ConvertTo->text().isEmpty()) {
            if (MayReplace(form, dialogs, form.ConvertTo->text().toStdString()))
                Convert(form, dialogs);
            return;
        }
        const std::filesystem::path source = form.ConvertFile->text().toStdString();
        FileDialogRequest request;
        request.title = "Convert to";
        request.initialDir = source.parent_path().string();
        request.fileName = source.stem().string() + ".92t";
        request.filter = "TI92-Textfiles (*.92t)";
        request.defaultExtension = "92t";
        const auto chosen = dialogs.SaveFileName(request);
        if (!chosen) {
            // Nothing converted: the user may still go on to the end or back.
            form.NextBtn->setEnabled(true);
            form.PreviousBtn->setEnabled(true);
            return;
        }
        try {
            form.ConvertTo->setText(QString::fromStdString(*chosen));
            Convert(form, dialogs);
        } catch (const std::exception& e) {
            form.ErrorDialog(ErrorDialogText("converting text", e));
        }
    });
}
