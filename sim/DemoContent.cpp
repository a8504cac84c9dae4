// The content the virtual TI-92 starts with when no file is given: a few
// folders with one variable of each common kind, and a drawn home screen.
#include "sim/VirtualTI92.h"

namespace {

std::string Bytes(std::initializer_list<int> list)
{
    std::string s;
    for (int b : list)
        s += static_cast<char>(b);
    return s;
}

// Text variables: cursor word, lines each starting with a command byte
// (here a space) and separated by CR, then NUL and the text tag.
std::string TextData(std::initializer_list<const char*> lines)
{
    std::string s = Bytes({0x00, 0x01});
    bool first = true;
    for (const char* line : lines) {
        if (!first)
            s += '\r';
        s += ' ';
        s += line;
        first = false;
    }
    s += Bytes({0x00, 0xE0});
    return s;
}

std::string StringData(const std::string& text)
{
    return std::string(1, '\0') + text + Bytes({0x00, 0x2D});
}

// A program: its source lines between the header and the program tag.
std::string ProgramData(std::initializer_list<const char*> lines)
{
    std::string s = Bytes({0x00, 0x00, 0x00, 0x00, 0xE9});
    for (const char* line : lines) {
        s += line;
        s += Bytes({0x00, 0xE8});
    }
    s += Bytes({0x00, 0xE5, 0x00, 0x00, 0x08, 0xDC});
    return s;
}

// A picture: height and width (big-endian), rows of bits, picture tag.
std::string PictureData(int width, int height, bool (*black)(int x, int y))
{
    std::string s = Bytes({height >> 8, height & 0xFF, width >> 8, width & 0xFF});
    const int rowBytes = (width + 7) / 8;
    for (int y = 0; y < height; ++y)
        for (int bx = 0; bx < rowBytes; ++bx) {
            int byte = 0;
            for (int k = 0; k < 8; ++k)
                if (bx * 8 + k < width && black(bx * 8 + k, y))
                    byte |= 0x80 >> k;
            s += static_cast<char>(byte);
        }
    s += static_cast<char>(0xDF);
    return s;
}

bool Smiley(int x, int y)
{
    const int dx = x - 15, dy = y - 15;
    const int r2 = dx * dx + dy * dy;
    if (r2 >= 13 * 13 && r2 <= 15 * 15)
        return true;  // face
    if ((dx == -5 || dx == 5) && dy >= -7 && dy <= -3)
        return true;                                          // eyes
    return dy >= 4 && dy <= 7 && r2 >= 8 * 8 && r2 <= 9 * 9;  // smile
}

bool Checker(int x, int y)
{
    return ((x / 4) + (y / 4)) % 2 == 0;
}

}  // namespace

void VirtualTI92::LoadDemoContent()
{
    Clear();
    AddVariable("main", "notes", 0x0B,
                TextData({"Welcome to the virtual TI-92.", "Receive me with Linkwise,",
                          "edit me on the PC, send me back."}));
    AddVariable("main", "hello", 0x12,
                ProgramData({"hello()", "Prgm", "ClrIO", "Disp \"Hello from the TI-92!\"", "Pause", "EndPrgm"}));
    AddVariable("main", "x", 0x00, Bytes({0x2A, 0x01, 0x1F}));  // 42
    AddVariable("main", "msg", 0x0C, StringData("Hello, PC!"));
    AddVariable("main", "smiley", 0x10, PictureData(31, 31, Smiley));
    AddVariable("math", "pi1", 0x00, Bytes({0x40, 0x00, 0x31, 0x41, 0x59, 0x26, 0x53, 0x58, 0x97, 0x93, 0x23}));
    AddVariable("math", "quad", 0x12,
                ProgramData({"quad(a,b,c)", "Prgm", "Local d", "b^2-4*a*c->d", "Disp (-b+sqrt(d))/(2*a)",
                             "Disp (-b-sqrt(d))/(2*a)", "EndPrgm"}));
    AddVariable("math", "formulas", 0x0B, TextData({"Area of a circle: pi*r^2", "Sphere volume: 4/3*pi*r^3"}));
    AddVariable("games", "board", 0x10, PictureData(40, 24, Checker));
    AddVariable("games", "hiscore", 0x0C, StringData("ANNA 1200"));

    // The home screen with a few sums worked out.
    home = HomeScreen{};
    for (const char* input : {"6*7", "(1+2)/4", "2^10", "x+1"})
        home.Enter(input);
    home.Draw(*this);
}
