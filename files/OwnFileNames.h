#pragma once
#include <filesystem>
#include <vector>

#include "files/TempStore.h"

// The files a run that saves one file per variable writes, planned before
// the first is written so that no two variables share a file: a variable
// whose file name another variable of another folder has too goes into its
// folder's subfolder (with `byFolder` every variable does), and a file or
// folder name that is still taken gets a suffix before its extension
// (a_b~2.92t). Used by `get -o DIR`.
struct OwnFileName {
    std::filesystem::path path;     // relative to the chosen folder
    std::filesystem::path natural;  // where the variable's names alone put it
};

std::vector<OwnFileName> PlanOwnFileNames(const std::vector<IndexRecord>& records, bool byFolder);
