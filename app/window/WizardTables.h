#pragma once
#include <array>
#include <cstdint>
#include <string>

// The tasks the wizard runs.
enum TaskKind : uint8_t {
    taskNone = 0,
    taskReceiveVariables = 1,
    taskReceiveBackup = 2,
    taskSendFiles = 3,
    taskScreenshot = 4,
    taskInsertFargo = 5,
    taskConvertText = 6,
    taskSendParam = 7,
};
constexpr int kTaskCount = 8;

// Page indices of pageStack.
enum PageIndex : uint8_t {
    pageMenu = 0,
    pageScreenShot = 1,
    pageScreenshotedit = 2,
    pageReceive = 3,
    pageFileSelect = 4,
    pageReceiveProgress = 5,
    pageReceivelocal = 6,
    pageSaveBackup = 7,
    pageConvertTxt = 8,
    pageFinished = 9,
    pageFargoVer = 10,
};
constexpr int kPageCount = 11;

// A task's pages in step order; 255 ends the list.
constexpr uint8_t kEndOfSteps = 255;

// The left panel's caption with no task chosen, and the idle status line.
constexpr const char* kNoTaskCaption = "Linkwise will help you do something!";
constexpr const char* kIdleStatus = "(none)";
// The file page's information panel before a file is chosen.
constexpr const char* kNoFileInfo = "(no file)";
using StepList = std::array<uint8_t, 10>;

// The constant step list of a task (taskNone: the menu alone).
const StepList& TaskSteps(TaskKind task);

// "caption|help line" of (task, step); empty for unused steps.
const std::string& TaskStepText(TaskKind task, int step);
// The parts before and after the first "|".
std::string StepCaption(TaskKind task, int step);
std::string StepHelp(TaskKind task, int step);

// Hint of each page.
const char* PageHint(int page);

// The help page of a task (in the installed help folder): "send.html"; the
// contents page for taskNone. Each step has its anchor "step-N" there.
const char* TaskHelpPage(TaskKind task);
