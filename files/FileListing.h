#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "files/ByteSource.h"
#include "link/TransferView.h"

// "<n> b", "<n> kb" from 1024 bytes, "<n> mb" from 1 048 580 bytes.
std::string SizeText(int64_t length);

// Order of two rows of the file list by sort key (0 name, 1 comment,
// 2 kind text, 3 size): -1 or 1, never 0, ascending.
int FileListCompare(const ListItem& item1, const ListItem& item2, int sortKey);

// The variables of a variable file, one row each: caption folder\name,
// sub-item the type's name. Nothing for files that are not variable files;
// the entries a damaged file still holds.
std::vector<ListItem> ListIncludedVariables(const ByteSource& file);
// Throws EFileError when the file cannot be opened.
std::vector<ListItem> ListIncludedVariables(const std::string& path);
