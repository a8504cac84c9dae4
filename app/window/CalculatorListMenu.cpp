#include "app/window/CalculatorListMenu.h"

#include <QMenu>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "app/window/WizardWindow.h"
#include "link/Dialogs.h"
#include "transfers/CalculatorChange.h"
#include "transfers/DirectoryListing.h"

namespace {

std::vector<std::string> SelectedNames(const WizardWindow& form)
{
    std::vector<std::string> names;
    for (const ListItem& row : form.ListViewItems(ListViewId::Calculator))
        if (row.selected)
            names.push_back(row.caption);
    return names;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string FolderOf(const std::string& fullName)
{
    return fullName.substr(0, fullName.find('\\'));
}

std::string BareName(const std::string& fullName)
{
    return fullName.substr(fullName.find('\\') + 1);
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string all;
    for (const std::string& n : names)
        all += (all.empty() ? "" : ", ") + n;
    return all;
}

bool Confirmed(Dialogs& dialogs, const std::string& question)
{
    return dialogs.MessageBox(question, "Linkwise", MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes;
}

std::string Capitalized(std::string text)
{
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// Runs the changes in order: each typed command and its result go into the
// report; what was refused or failed is shown in one box; then the list is
// read again, so it shows the calculator as it is.
void Apply(WizardWindow& form, Ti92Link& link, Dialogs& dialogs, const std::vector<CalculatorChange>& changes)
{
    std::string failures;
    for (const CalculatorChange& change : changes) {
        const ChangeResult result = ApplyChange(link, form, change);
        if (!result.typed.empty())
            form.StatusMemoAdd("Typed on the calculator: " + result.typed);
        form.StatusMemoAdd(Capitalized(result.message));
        if (result.outcome == ChangeOutcome::Done)
            continue;
        failures += Capitalized(result.message) + "\r";
        if (result.outcome == ChangeOutcome::LinkError || result.outcome == ChangeOutcome::Aborted)
            break;
    }
    if (!failures.empty())
        ShowMessage(dialogs, failures.substr(0, failures.size() - 1), MsgIcon::Error);
    FetchDirectoryList(link, form, ListViewId::Calculator);
}

void OnDelete(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
{
    const std::vector<std::string> names = SelectedNames(form);
    const std::string question = names.size() == 1 ? "Delete " + names[0] + " from the calculator?"
                                                   : "Delete these " + std::to_string(names.size()) +
                                                         " variables from the calculator?\r" + Joined(names);
    if (!Confirmed(dialogs, question))
        return;
    std::vector<CalculatorChange> changes;
    for (const std::string& n : names)
        changes.push_back({ChangeKind::Delete, n, {}});
    Apply(form, link, dialogs, changes);
}

void OnLock(WizardWindow& form, Ti92Link& link, Dialogs& dialogs, bool lock)
{
    const std::vector<std::string> names = SelectedNames(form);
    if (!Confirmed(dialogs, std::string(lock ? "Lock " : "Unlock ") + Joined(names) + " on the calculator?"))
        return;
    std::vector<CalculatorChange> changes;
    for (const std::string& n : names)
        changes.push_back({lock ? ChangeKind::Lock : ChangeKind::Unlock, n, {}});
    Apply(form, link, dialogs, changes);
}

void OnRename(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
{
    const std::string name = SelectedNames(form).at(0);
    const auto answer = dialogs.AskText("Rename", "New name for " + name + " (NAME, or FOLDER\\NAME):", BareName(name));
    if (!answer || answer->empty())
        return;
    std::string target = Lower(*answer);
    const size_t slash = target.find_first_of("\\/");
    target = slash == std::string::npos ? FolderOf(name) + "\\" + target
                                        : target.substr(0, slash) + "\\" + target.substr(slash + 1);
    if (!Confirmed(dialogs, "Rename " + name + " to " + target + " on the calculator?"))
        return;
    Apply(form, link, dialogs, {{ChangeKind::Rename, name, target}});
}

void OnMove(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
{
    const std::string name = SelectedNames(form).at(0);
    const auto answer = dialogs.AskText("Move to folder", "The folder to move " + name + " into:", "");
    if (!answer || answer->empty())
        return;
    const std::string folder = Lower(*answer);
    if (!Confirmed(dialogs, "Move " + name + " into the folder " + folder + " on the calculator?"))
        return;
    Apply(form, link, dialogs, {{ChangeKind::Move, name, folder}});
}

void OnNewFolder(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
{
    const auto answer = dialogs.AskText("New folder", "The new folder's name:", "");
    if (!answer || answer->empty())
        return;
    const std::string folder = Lower(*answer);
    if (!Confirmed(dialogs, "Make the folder " + folder + " on the calculator?"))
        return;
    Apply(form, link, dialogs, {{ChangeKind::NewFolder, folder, {}}});
}

}  // namespace

QMenu* CalculatorListMenu(WizardWindow& form, Ti92Link& link, Dialogs& dialogs, QWidget* parent)
{
    const size_t selected = SelectedNames(form).size();
    auto* menu = new QMenu(parent);
    menu->setObjectName("calculatorListMenu");
    auto add = [&](const char* text, bool enabled, auto action) {
        QAction* a = menu->addAction(QString::fromUtf8(text));
        a->setEnabled(enabled);
        QObject::connect(a, &QAction::triggered, menu, action);
    };
    add("Delete…", selected > 0, [&form, &link, &dialogs] { OnDelete(form, link, dialogs); });
    add("Rename…", selected == 1, [&form, &link, &dialogs] { OnRename(form, link, dialogs); });
    add("Move to folder…", selected == 1, [&form, &link, &dialogs] { OnMove(form, link, dialogs); });
    add("New folder…", true, [&form, &link, &dialogs] { OnNewFolder(form, link, dialogs); });
    menu->addSeparator();
    add("Lock", selected > 0, [&form, &link, &dialogs] { OnLock(form, link, dialogs, true); });
    add("Unlock", selected > 0, [&form, &link, &dialogs] { OnLock(form, link, dialogs, false); });
    return menu;
}

void InstallCalculatorListMenu(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
{
    QTreeWidget* list = form.calculatorList;
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QWidget::customContextMenuRequested, &form, [&form, &link, &dialogs, list](QPoint at) {
        QMenu* menu = CalculatorListMenu(form, link, dialogs, list);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(list->viewport()->mapToGlobal(at));
    });
}
