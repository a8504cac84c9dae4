#pragma once

// The maker's pages; the Fargo job appends a ROM version's part.
constexpr const char* kInformationAddress = "https://linkwise.example/";
