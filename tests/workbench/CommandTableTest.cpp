// The menu tree as data, and how commands are looked up and refused.

#include "workbench/CommandTable.h"

#include "support/RecordingUserPort.h"
#include "workbench/Workbench.h"

#include <gtest/gtest.h>
#include <cctype>
#include <map>
#include <set>

namespace tessaly {
namespace {

void collectNames(const std::vector<MenuItem>& items, std::vector<std::string>& names) {
    for (const MenuItem& it : items) {
        names.push_back(it.name);
        collectNames(it.children, names);
    }
}

TEST(CommandTable, TopLevelMenusInOrder) {
    std::vector<std::string> captions;
    for (const MenuItem& m : mainMenu())
        captions.push_back(m.caption);
    const std::vector<std::string> expected = {"&File", "&Input", "&Run", "&Plot", "&Analyze", "&Help"};
    EXPECT_EQ(captions, expected);
}

TEST(CommandTable, EveryNameIsUniqueAndEveryItemHasACaption) {
    std::vector<std::string> names;
    collectNames(mainMenu(), names);
    EXPECT_EQ(names.size(), std::set<std::string>(names.begin(), names.end()).size());
    EXPECT_EQ(names.size(), 95u); // menus, submenus, separators and commands of the main window
    for (const std::string& n : names) {
        const MenuItem* item = findMenuItem(n);
        if (item) { // separators are not looked up
            EXPECT_FALSE(item->caption.empty()) << n;
        }
    }
}

TEST(CommandTable, SubmenusHoldTheirCommandsInOrder) {
    struct Case {
        const char* submenu;
        std::vector<std::string> captions;
    };
    const Case cases[] = {
        {"mnuOpen", {"&Parameter", "&Waveform", "&Current"}},
        {"mnuSave", {"&Parameter", "&Waveform", "&Current", "&Graph", "C&urves (CSV)"}},
        {"mnuRun", {"&Simulate", "-", "&Manual Fit", "&Auto Fit", "-", "Ma&nual Separate", "Auto S&eparate"}},
        {"mnuXData", {"t as X-axis", "E as X-axis", "-", "0.001X", "0.1X", "10X", "1000X", "Reverse"}},
        {"mnuAnalyze",
         {"&Find Peak", "Find &Halfwave E", "&Theoretical Peak", "-", "Curve Number", "&Next Curve Number",
          "-", "T&ime"}},
        {"mnuHelp", {"&Homepage", "&Manual", "&About..."}},
    };
    for (const Case& c : cases) {
        const MenuItem* menu = findMenuItem(c.submenu);
        ASSERT_NE(menu, nullptr) << c.submenu;
        std::vector<std::string> captions;
        for (const MenuItem& it : menu->children)
            captions.push_back(it.caption);
        EXPECT_EQ(captions, c.captions) << c.submenu;
    }
}

// Within one menu no two captions share an accelerator letter, so Alt+letter always reaches one item;
// across the whole tree no two commands share a shortcut key.
void checkAccelerators(const std::vector<MenuItem>& items, const std::string& menu,
                       std::map<std::string, std::string>& shortcuts) {
    std::map<char, std::string> letters;
    for (const MenuItem& it : items) {
        const auto amp = it.caption.find('&');
        if (amp != std::string::npos && amp + 1 < it.caption.size()) {
            const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(it.caption[amp + 1])));
            const auto [at, fresh] = letters.emplace(letter, it.caption);
            EXPECT_TRUE(fresh) << menu << ": \"" << it.caption << "\" and \"" << at->second << "\"";
        }
        if (!it.shortcut.empty()) {
            const auto [at, fresh] = shortcuts.emplace(it.shortcut, it.name);
            EXPECT_TRUE(fresh) << it.shortcut << ": " << it.name << " and " << at->second;
        }
        checkAccelerators(it.children, it.name, shortcuts);
    }
}

TEST(CommandTable, AcceleratorsAndShortcutsDoNotClash) {
    std::map<std::string, std::string> shortcuts;
    checkAccelerators(mainMenu(), "menu bar", shortcuts);
    const std::pair<const char*, const char*> expected[] = {
        {"Ctrl+O", "mnuOpenParameter"}, {"Ctrl+S", "mnuSaveParameter"}, {"F5", "mnuSimulate"},
        {"Ctrl+P", "mnuPrint"},         {"Ctrl+Q", "mnuExit"},          {"F1", "mnuManual"},
    };
    for (const auto& [key, name] : expected)
        EXPECT_EQ(shortcuts[key], name) << key;
}

TEST(CommandTable, LookUpWithOrWithoutThePrefixIgnoringCase) {
    ASSERT_NE(findMenuItem("Simulate"), nullptr);
    EXPECT_EQ(findMenuItem("simulate")->name, "mnuSimulate");
    EXPECT_EQ(findMenuItem("MNUSIMULATE")->name, "mnuSimulate");
    EXPECT_EQ(findMenuItem("0001X")->caption, "0.001X");
    EXPECT_EQ(findMenuItem("mnuCo0toi8")->caption, "Co0 to i8 for EC' mechanism 8");
    EXPECT_EQ(findMenuItem("Frobnicate"), nullptr);
    const auto path = menuPath("mnuit");
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path[0]->name, "mnuPlot");
    EXPECT_EQ(path[1]->name, "mnuXData");
}

TEST(CommandTable, RunCommandRefusesUnknownUnavailableAndSubmenus) {
    RecordingUserPort port;
    Workbench wb(port);
    EXPECT_EQ(runCommand(wb, "Frobnicate"), CommandStatus::Unknown);
    EXPECT_EQ(runCommand(wb, "mnuPlot"), CommandStatus::Unknown);      // a submenu is no command
    EXPECT_EQ(runCommand(wb, "FindPeak"), CommandStatus::Unavailable); // Analyze waits for a curve
    EXPECT_EQ(runCommand(wb, "Simulate"), CommandStatus::Ran);
    EXPECT_EQ(runCommand(wb, "CurveNumber"), CommandStatus::Ran);
}

} // namespace
} // namespace tessaly
