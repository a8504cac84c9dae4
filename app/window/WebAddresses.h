#pragma once

// The maker's pages; the help address gets the page index appended.
constexpr const char* kInformationAddress = "https://linkwise.example/";
constexpr const char* kHelpAddress = "https://linkwise.example/help/";
constexpr const char* kFargoAddress = "https://linkwise.example/fargo/";
