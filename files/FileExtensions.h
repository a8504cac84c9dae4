#pragma once
#include <string>

// Extension (without the dot) that a single variable of this type is saved
// under; types without one of their own use "92g".
std::string ExtensionForType(int type);

// The file browser's default extension filter.
inline constexpr const char* kBrowserExtensionFilter =
    ".92G;.92E;.92L;.92M;.92C;.92T;.92S;.92D;.92A;.92I;.92P;.92F;.92X;.92B;";
// The extensions registered with the desktop.
inline constexpr const char* kShellExtensions = "92g;92e;92l;92m;92c;92t;92s;92d;92a;92i;92p;92f;92x;92b;";
