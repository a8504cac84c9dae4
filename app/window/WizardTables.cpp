#include "app/window/WizardTables.h"

namespace {

constexpr uint8_t E = kEndOfSteps;

const StepList kSteps[kTaskCount] = {
    {0, E, E, E, E, E, E, E, E, E},   // taskNone
    {0, 3, 5, 6, 9, E, E, E, E, E},   // taskReceiveVariables
    {0, 3, 5, 7, 9, E, E, E, E, E},   // taskReceiveBackup
    {0, 4, 5, 9, E, E, E, E, E, E},   // taskSendFiles
    {0, 1, 2, 9, E, E, E, E, E, E},   // taskScreenshot
    {0, 10, 5, 5, 5, 9, E, E, E, E},  // taskInsertFargo
    {0, 8, 9, E, E, E, E, E, E, E},   // taskConvertText
    {0, 4, 5, 9, E, E, E, E, E, E},   // taskSendParam
};

const char* const kMenuStep = "Choose what to do|Choose what you want to do. Then click next!";

const char* const kSendTexts[] = {
    kMenuStep,
    "Select file(s)|Select the file(s) you want to send to the calculator. When you are ready, "
    "click next to send them. (Select more than one file by holding down CTRL)",
    "Send file(s)|The selected variables are being transferred to the calculator. Please wait! To "
    "interupt the transfer click Abort!",
    "Finish|The sending-task is finished. Read the status report down. If you want to do another "
    "task, click restart. If you want to exit, click Exit!",
};

std::array<std::array<std::string, 10>, kTaskCount> BuildTexts()
{
    std::array<std::array<std::string, 10>, kTaskCount> t;
    for (auto& task : t)
        task[0] = kMenuStep;

    auto& rv = t[taskReceiveVariables];
    rv[1] = "Select var(s)|Select the variable(s) you want to receive from your calculator. To "
            "select more than one, simply hold down the CTRL-key and select what you want! Click "
            "Next to receive!";
    rv[2] = "Receive var(s)|The selected variables are being received from your calculator. "
            "Please wait! To interupt the transfer click Abort!";
    rv[3] = "Save received|These variables were received from the calculator. Select the "
            "variable(s) you want to save and click Save. If you want to view a text- or "
            "picturevariable click View. When you are ready click finished!";
    rv[4] = "Finished|The receiving-task is finished. Read the status report down. If you want to "
            "do another task, click restart. If you want to exit, click Exit!";

    auto& rb = t[taskReceiveBackup];
    rb[1] = "Select what to get|Select the variable(s) you want to receive from your calculator. "
            "To select more than one, simply hold down the CTRL-key and select what you want! "
            "Click Next to receive!";
    rb[2] = "Receive backup|The memorybackup is being received from your calculator. Please wait! "
            "To interupt the transfer click Abort!";
    rb[3] = "Save backup|Just wait until the backupfile is saved. When ready, click Next!";
    rb[4] = "Finish|The backupreceive-task is finished. Read the status report down. If you want "
            "to do another task, click restart. If you want to exit, click Exit!";

    for (int i = 0; i < 4; ++i) {
        t[taskSendFiles][i] = kSendTexts[i];
        t[taskSendParam][i] = kSendTexts[i];
    }

    auto& sc = t[taskScreenshot];
    sc[1] = "Grab screenshot|This feature will receive a screenshot from the current screen of "
            "your calculator. Click Grab! to get the picture you want! When you are happy, click "
            "next.";
    sc[2] = "Copy or Save|Now, choose what you want to do with your screenshot. To copy it to "
            "the clipboard click Copy, to save it to a file, click Save. When you are done, "
            "click finish!";
    sc[3] = "Finish|The screenshot-task is finished. Read the status report down. If you want to "
            "do another task, click restart. If you want to exit, click Exit!";

    auto& fa = t[taskInsertFargo];
    fa[1] = "Choose F-Version|This feature will help you insert Fargo to the calculator. First of "
            "all, select which Fargo-version you want to send. When you are ready - click next!";
    fa[2] = "Receive content|Linkwise is receiving all variables on the calculator for later use. "
            "To interupt the transfer, click abort!";
    fa[3] = "Send Fargobackup|The preinstalled Fargo-backup is now being sent to the calculator. "
            "To interupt the transfer, click abort!";
    fa[4] = "Send old content|Linkwise is now sending all variables back to the calculator. To "
            "interupt the transfer, click abort!";
    fa[5] = "Finish|The Insert Fargo-task is finished. Read the status report down. If you want "
            "to do another task, click restart. If you want to exit, click Exit!";

    auto& cv = t[taskConvertText];
    cv[1] = "Select and Convert|Check the file to convert to and the comment of the file. When you "
            "are ready, click Convert.";
    cv[2] = "Finish|The convertion is finished. Read the status report down. If you want to do "
            "another task, click restart. If you want to exit, click Exit!";
    return t;
}

const std::string kEmpty;

}  // namespace

const StepList& TaskSteps(TaskKind task)
{
    return kSteps[task < kTaskCount ? task : taskNone];
}

const std::string& TaskStepText(TaskKind task, int step)
{
    static const auto texts = BuildTexts();
    if (task >= kTaskCount || step < 0 || step >= 10)
        return kEmpty;
    return texts[task][step];
}

std::string StepCaption(TaskKind task, int step)
{
    const std::string& s = TaskStepText(task, step);
    return s.substr(0, s.find('|'));
}

std::string StepHelp(TaskKind task, int step)
{
    const std::string& s = TaskStepText(task, step);
    auto bar = s.find('|');
    return bar == std::string::npos ? std::string() : s.substr(bar + 1);
}

const char* TaskHelpPage(TaskKind task)
{
    static const char* const pages[kTaskCount] = {
        "index.html",      "receive.html", "backup.html",  "send.html",
        "screenshot.html", "fargo.html",   "convert.html", "send.html",
    };
    return task < kTaskCount ? pages[task] : pages[taskNone];
}

const char* PageHint(int page)
{
    static const char* const hints[kPageCount] = {
        "Choose what to do", "Grab screenshot", "Save / Copy",      "Select variable(s)",
        "Select file(s)",    "Transfer",        "Save variable(s)", "Save backup",
        "Convert text",      "Finish",          "Select version",
    };
    return page >= 0 && page < kPageCount ? hints[page] : "";
}
