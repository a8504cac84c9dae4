#include "sim/HomeArithmetic.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Recursive descent over the entry; `ok` turns false at the first fault.
struct Parser {
    const std::string& s;
    size_t i = 0;
    bool ok = true;

    void Space()
    {
        while (i < s.size() && s[i] == ' ')
            ++i;
    }
    bool Take(char c)
    {
        Space();
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    double Sum()
    {
        double v = Product();
        for (;;) {
            if (Take('+'))
                v += Product();
            else if (Take('-'))
                v -= Product();
            else
                return v;
        }
    }
    double Product()
    {
        double v = Power();
        for (;;) {
            if (Take('*'))
                v *= Power();
            else if (Take('/'))
                v /= Power();
            else
                return v;
        }
    }
    double Power()
    {
        const double base = Unary();
        return Take('^') ? std::pow(base, Power()) : base;
    }
    double Unary() { return Take('-') ? -Unary() : Atom(); }
    double Atom()
    {
        if (Take('(')) {
            const double v = Sum();
            ok = ok && Take(')');
            return v;
        }
        Space();
        const char* start = s.c_str() + i;
        char* end = nullptr;
        const double v = std::strtod(start, &end);
        if (end == start || !(std::isdigit(static_cast<unsigned char>(*start)) || *start == '.')) {
            ok = false;
            return 0;
        }
        i += static_cast<size_t>(end - start);
        return v;
    }
};

}  // namespace

std::optional<std::string> EvaluateEntry(const std::string& entry)
{
    Parser p{entry};
    const double v = p.Sum();
    p.Space();
    if (!p.ok || p.i != entry.size() || !std::isfinite(v))
        return std::nullopt;
    char text[32];
    if (std::fabs(v) < 1e12 && v == std::floor(v))
        std::snprintf(text, sizeof text, "%.0f", v);
    else
        std::snprintf(text, sizeof text, "%.10g", v);
    return std::string(text);
}
