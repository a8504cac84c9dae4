// The udev rule we ship: well formed, and it tags exactly the USB cable and
// the parallel ports for the user at the seat. udevadm verify checks it too
// where this udev has it.
#include <gtest/gtest.h>

#include <fnmatch.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

struct Term {
    std::string key;  // "SUBSYSTEM", "ATTR{idVendor}", "ENV{DEVTYPE}"
    std::string op;
    std::string value;
};
using Rule = std::vector<Term>;
using Device = std::map<std::string, std::string>;

// Rules as udev reads them: comments and blank lines skipped, each line a
// comma-separated list of KEY OP "VALUE". Anything else fails the test.
std::vector<Rule> ReadRules(const std::string& path)
{
    static const std::regex term(R"re(\s*([A-Z]+(\{[A-Za-z0-9_]+\})?)\s*(==|!=|\+=|-=|:=|=)\s*"([^"]*)"\s*(,|$))re");
    static const std::set<std::string> matchKeys = {"SUBSYSTEM", "KERNEL", "ACTION", "ATTR", "ATTRS", "ENV", "DRIVER"};
    static const std::set<std::string> assignKeys = {"TAG", "MODE", "GROUP", "ENV"};
    std::vector<Rule> rules;
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.find_first_not_of(" \t") == std::string::npos || line[line.find_first_not_of(" \t")] == '#')
            continue;
        Rule rule;
        for (std::sregex_iterator it(line.begin(), line.end(), term), end; it != end; ++it) {
            const std::smatch& m = *it;
            Term t{m[1], m[3], m[4]};
            const std::string base = t.key.substr(0, t.key.find('{'));
            const bool match = t.op == "==" || t.op == "!=";
            EXPECT_TRUE(match ? matchKeys.count(base) > 0 : assignKeys.count(base) > 0)
                << "line " << number << ": " << t.key << t.op;
            rule.push_back(t);
        }
        std::string rebuilt;
        for (const Term& t : rule)
            rebuilt += t.key + t.op + "\"" + t.value + "\"";
        std::string squeezed = std::regex_replace(line, std::regex(R"([\s,])"), "");
        EXPECT_EQ(squeezed, std::regex_replace(rebuilt, std::regex(R"([\s,])"), "")) << "line " << number;
        rules.push_back(rule);
    }
    return rules;
}

// The tags the rules give a device, matching as udev does (globs, ==, !=).
std::set<std::string> TagsOf(const std::vector<Rule>& rules, const Device& device)
{
    std::set<std::string> tags;
    for (const Rule& rule : rules) {
        bool matches = true;
        for (const Term& t : rule) {
            if (t.op != "==" && t.op != "!=")
                continue;
            auto it = device.find(t.key);
            const bool equal = it != device.end() && fnmatch(t.value.c_str(), it->second.c_str(), 0) == 0;
            matches = matches && (t.op == "==" ? equal : !equal);
        }
        for (const Term& t : rule)
            if (matches && t.key == "TAG" && t.op == "+=")
                tags.insert(t.value);
    }
    return tags;
}

}  // namespace

TEST(UdevRule, TagsTheUsbCableAndTheParallelPortsAndNothingElse)
{
    const std::vector<Rule> rules = ReadRules(LINKWISE_UDEV_RULE);
    ASSERT_FALSE(rules.empty());
    auto usb = [](const char* vendor, const char* product) {
        return Device{{"SUBSYSTEM", "usb"},
                      {"ENV{DEVTYPE}", "usb_device"},
                      {"ATTR{idVendor}", vendor},
                      {"ATTR{idProduct}", product},
                      {"KERNEL", "3-1"}};
    };
    struct Row {
        const char* what;
        Device device;
        bool tagged;
    };
    for (const Row& r : {Row{"the USB cable", usb("0451", "e001"), true},
                         Row{"another device of the vendor", usb("0451", "e003"), false},
                         Row{"another vendor's", usb("1234", "e001"), false},
                         Row{"parport0", {{"SUBSYSTEM", "ppdev"}, {"KERNEL", "parport0"}}, true},
                         Row{"parport3", {{"SUBSYSTEM", "ppdev"}, {"KERNEL", "parport3"}}, true},
                         Row{"a serial port", {{"SUBSYSTEM", "tty"}, {"KERNEL", "ttyS0"}}, false}}) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(TagsOf(rules, r.device).count("uaccess") > 0, r.tagged);
    }
    // The tag must be set before the seat rules (73-seat-late) act on it.
    const std::string name = std::string(LINKWISE_UDEV_RULE).substr(std::string(LINKWISE_UDEV_RULE).rfind('/') + 1);
    EXPECT_LT(std::stoi(name.substr(0, 2)), 73);
}

TEST(UdevRule, PassesUdevadmVerifyWhereItExists)
{
    if (std::system("udevadm verify --help >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "this udevadm has no verify; the rule is checked by the test above";
    EXPECT_EQ(std::system(("udevadm verify --no-style " + std::string(LINKWISE_UDEV_RULE)).c_str()), 0);
}
