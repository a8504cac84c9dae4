#include "files/FileExtensions.h"

std::string ExtensionForType(int type)
{
    switch (type) {
    case 0x00:
        return "92e";
    case 0x04:
        return "92l";
    case 0x06:
        return "92m";
    case 0x0A:
        return "92c";
    case 0x0B:
        return "92t";
    case 0x0C:
        return "92s";
    case 0x0D:
        return "92d";
    case 0x0E:
        return "92a";
    case 0x10:
        return "92i";
    case 0x12:
        return "92p";
    case 0x13:
        return "92f";
    case 0x14:
        return "92x";
    default:
        return "92g";
    }
}
