#include "link/TypeNames.h"

const TypeNameTable& DefaultTypeNames()
{
    static const TypeNameTable table = [] {
        TypeNameTable t;
        t[0x00] = "expression";
        t[0x04] = "list";
        t[0x06] = "matrix";
        t[0x0A] = "data";
        t[0x0B] = "text";
        t[0x0C] = "string";
        t[0x0D] = "gdb";
        t[0x0E] = "figure";
        t[0x10] = "picture";
        t[0x12] = "program";
        t[0x13] = "function";
        t[0x14] = "macro";
        t[0x1D] = "backup";
        t[0x1F] = "folder";
        return t;
    }();
    return table;
}

std::string TypeName(int code)
{
    if (code < 0 || code >= 32)
        return "";
    return DefaultTypeNames()[static_cast<size_t>(code)];
}
