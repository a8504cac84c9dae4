#include "sim/ScreenFont.h"

#include "sim/VirtualTI92.h"

namespace {

// Glyphs of the characters 32..126: five rows of three pixels each, one
// octal digit a row, 4 = the left pixel.
const char* const kGlyphs[95] = {
    "00000", "22202", "55000", "57575", "36236", "51245", "25253", "22000",  //  !"#$%&'
    "12221", "42224", "05250", "02720", "00024", "00700", "00002", "11244",  // ()*+,-./
    "75557", "26227", "71747", "71317", "55711", "74717", "74757", "71122",  // 01234567
    "75757", "75717", "02020", "02024", "12421", "07070", "42124", "71302",  // 89:;<=>?
    "75747", "25755", "65656", "34443", "65556", "74647", "74644", "34553",  // @ABCDEFG
    "55755", "72227", "11152", "55655", "44447", "57755", "65555", "25552",  // HIJKLMNO
    "65644", "25563", "65655", "34216", "72222", "55557", "55552", "55775",  // PQRSTUVW
    "55255", "55222", "71247", "64446", "44211", "31113", "25000", "00007",  // XYZ[\]^_
    "42000", "03553", "46556", "03443", "13553", "02743", "12722", "35316",  // `abcdefg
    "46555", "20222", "10152", "45655", "62227", "07755", "06555", "02552",  // hijklmno
    "06564", "03531", "05644", "03616", "27221", "05553", "05552", "05577",  // pqrstuvw
    "05225", "05316", "07127", "32623", "22222", "62326", "03600",           // xyz{|}~
};

const char* const kBox = "77777";

}  // namespace

namespace ScreenFont {

int DrawText(VirtualTI92& calc, int x, int y, const std::string& text)
{
    for (unsigned char c : text) {
        const char* glyph = c >= 32 && c <= 126 ? kGlyphs[c - 32] : kBox;
        for (int row = 0; row < kHeight; ++row) {
            const int bits = glyph[row] - '0';
            for (int col = 0; col < 3; ++col)
                if (bits & (4 >> col))
                    calc.SetPixel(x + col, y + row, true);
        }
        x += kAdvance;
    }
    return x;
}

int TextWidth(const std::string& text)
{
    return static_cast<int>(text.size()) * kAdvance;
}

}  // namespace ScreenFont
