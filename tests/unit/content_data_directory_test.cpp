#include "content/DataDirectory.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The platform as a table: what exists, what the registry holds, what each call answers.
struct FakePlatform : CContentPlatform {
    bool exeAvailable = true;
    std::string exePath = "C:\\Saver\\Wald.scr";
    std::map<std::string, std::string> longNames = {{"C:\\Saver\\Wald.scr", "Wald.scr"}};
    bool commonAnswers = true;
    std::string commonFolder = "C:\\ProgramData";
    bool windowsAnswers = true;
    std::string windowsFolder = "C:\\WINDOWS";
    std::set<std::string> existing;
    bool keyOpens = true;
    std::map<std::string, std::string> installLocations;
    std::map<std::string, std::pair<std::size_t, std::string>> shortForms;

    std::vector<std::string> existenceQueries;
    std::vector<std::string> subkeysOpened;

    bool GetExecutablePath(std::string& path) override
    {
        if (!exeAvailable) return false;
        path = exePath;
        return true;
    }
    bool FindLongFileName(const std::string& path, std::string& longName) override
    {
        auto it = longNames.find(path);
        if (it == longNames.end()) return false;
        longName = it->second;
        return true;
    }
    bool GetCommonAppDataFolder(std::string& folder) override
    {
        if (!commonAnswers) return false;
        folder = commonFolder;
        return true;
    }
    bool GetWindowsFolder(std::string& directory) override
    {
        if (!windowsAnswers) return false;
        directory = windowsFolder;
        return true;
    }
    bool PathExists(const std::string& path) override
    {
        existenceQueries.push_back(path);
        return existing.count(path) != 0;
    }
    bool ReadInstallLocation(const std::string& subkeyPath, std::string& location) override
    {
        if (!keyOpens) return false;
        subkeysOpened.push_back(subkeyPath);
        auto it = installLocations.find(subkeyPath);
        if (it == installLocations.end()) return false;
        location = it->second;
        return true;
    }
    std::size_t GetShortForm(const std::string& path, std::string& shortPath) override
    {
        auto it = shortForms.find(path);
        if (it == shortForms.end()) return 0;
        shortPath = it->second.second;
        return it->second.first;
    }
};

const std::string kPerSaver = "C:\\ProgramData\\Brindlewick LLC\\Velliform\\Wald";
const std::string kSubkey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Wald";

struct Situation {
    const char* what;
    void (*arrange)(FakePlatform&);
    std::string expected;
};

TEST(DataDirectory, Resolution)
{
    const Situation situations[] = {
        {"the per-saver folder wins, even empty, in short form",
         [](FakePlatform& p) {
             p.existing.insert(kPerSaver);
             p.shortForms[kPerSaver + "\\"] = {28, "C:\\PROGRA~1\\BRINDL~1\\VELLIF~1\\WALD\\"};
             p.installLocations[kSubkey] = "D:\\Wald";
             p.existing.insert("D:\\Wald");
         },
         "C:\\PROGRA~1\\BRINDL~1\\VELLIF~1\\WALD\\"},
        {"an ordinary file of the folder's name passes", [](FakePlatform& p) { p.existing.insert(kPerSaver); },
         kPerSaver + "\\"},
        {"no common folder: the Windows directory, no doubled separator after C:\\",
         [](FakePlatform& p) {
             p.commonAnswers = false;
             p.windowsFolder = "C:\\";
             p.existing.insert("C:\\All Users\\Application Data\\Brindlewick LLC\\Velliform\\Wald");
         },
         "C:\\All Users\\Application Data\\Brindlewick LLC\\Velliform\\Wald\\"},
        {"no common folder: a Windows directory without a trailing separator gets one",
         [](FakePlatform& p) {
             p.commonAnswers = false;
             p.existing.insert("C:\\WINDOWS\\All Users\\Application Data\\Brindlewick LLC\\Velliform\\Wald");
         },
         "C:\\WINDOWS\\All Users\\Application Data\\Brindlewick LLC\\Velliform\\Wald\\"},
        {"an empty answer counts as none",
         [](FakePlatform& p) {
             p.commonFolder = "";
             p.existing.insert("C:\\WINDOWS\\All Users\\Application Data\\Brindlewick LLC\\Velliform\\Wald");
         },
         "C:\\WINDOWS\\All Users\\Application Data\\Brindlewick LLC\\Velliform\\Wald\\"},
        {"the common folder's own trailing separator is not looked at",
         [](FakePlatform& p) {
             p.commonFolder = "C:\\ProgramData\\";
             p.existing.insert("C:\\ProgramData\\\\Brindlewick LLC\\Velliform\\Wald");
         },
         "C:\\ProgramData\\\\Brindlewick LLC\\Velliform\\Wald\\"},
        {"no Windows directory either: on to the uninstall key",
         [](FakePlatform& p) {
             p.commonAnswers = false;
             p.windowsAnswers = false;
             p.installLocations[kSubkey] = "D:\\Wald";
             p.existing.insert("D:\\Wald");
         },
         "D:\\Wald\\"},
        {"InstallLocation naming a folder",
         [](FakePlatform& p) {
             p.installLocations[kSubkey] = "D:\\Spiele\\Wald";
             p.existing.insert("D:\\Spiele\\Wald");
         },
         "D:\\Spiele\\Wald\\"},
        {"InstallLocation naming nothing: the executable's folder",
         [](FakePlatform& p) { p.installLocations[kSubkey] = "D:\\Weg"; }, "C:\\Saver\\"},
        {"InstallLocation with its own separator is tested as it is, and fails",
         [](FakePlatform& p) { p.installLocations[kSubkey] = "D:\\Wald\\"; }, "C:\\Saver\\"},
        {"an uninstall key that cannot be opened is skipped",
         [](FakePlatform& p) {
             p.keyOpens = false;
             p.installLocations[kSubkey] = "D:\\Wald";
             p.existing.insert("D:\\Wald");
         },
         "C:\\Saver\\"},
        {"nothing found: the executable's folder, in short form",
         [](FakePlatform& p) { p.shortForms["C:\\Saver\\"] = {9, "C:\\SAVER\\"}; }, "C:\\SAVER\\"},
        {"an executable in a drive's root", [](FakePlatform& p) { p.exePath = "C:\\X.SCR"; }, "C:\\"},
        {"no executable path, no result",
         [](FakePlatform& p) {
             p.exeAvailable = false;
             p.existing.insert(kPerSaver);
         },
         ""},
        {"a short form that does not fit leaves the long one",
         [](FakePlatform& p) { p.shortForms["C:\\Saver\\"] = {261, ""}; }, "C:\\Saver\\"},
        {"a per-saver folder past the path limit falls through",
         [](FakePlatform& p) {
             p.commonFolder = "C:\\" + std::string(230, 'c');
             p.existing.insert(p.commonFolder + "\\Brindlewick LLC\\Velliform\\Wald");
         },
         "C:\\Saver\\"},
        {"an InstallLocation that leaves no room for its separator falls through",
         [](FakePlatform& p) {
             const std::string location = "D:\\" + std::string(256, 'l');  // 259 characters
             p.installLocations[kSubkey] = location;
             p.existing.insert(location);
         },
         "C:\\Saver\\"},
        {"an InstallLocation of 258 characters still fits",
         [](FakePlatform& p) {
             const std::string location = "D:\\" + std::string(255, 'l');
             p.installLocations[kSubkey] = location;
             p.existing.insert(location);
         },
         "D:\\" + std::string(255, 'l') + "\\"},
    };
    for (const Situation& s : situations) {
        FakePlatform platform;
        s.arrange(platform);
        EXPECT_EQ(GetDataDirectory(platform), s.expected) << s.what;
    }
}

TEST(DataDirectory, AsksTheUninstallKeyOfTheBaseNameAndTestsPathsWithoutSeparator)
{
    FakePlatform platform;
    platform.exePath = "C:\\Saver\\MEINSC~1.SCR";
    platform.longNames = {{"C:\\Saver\\MEINSC~1.SCR", "Mein Schoner.scr"}};
    EXPECT_EQ(GetDataDirectory(platform), "C:\\Saver\\");
    const std::vector<std::string> queries = {"C:\\ProgramData\\Brindlewick LLC\\Velliform\\Mein Schoner"};
    EXPECT_EQ(platform.existenceQueries, queries);
    const std::vector<std::string> subkeys = {
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mein Schoner"};
    EXPECT_EQ(platform.subkeysOpened, subkeys);
}

TEST(DataDirectory, RepeatedCallsAskAgain)
{
    FakePlatform platform;
    EXPECT_EQ(GetDataDirectory(platform), "C:\\Saver\\");
    platform.existing.insert(kPerSaver);
    EXPECT_EQ(GetDataDirectory(platform), kPerSaver + "\\");
}

struct NameCase {
    const char* exePath;
    const char* longName;  // nullptr: the lookup finds nothing
    const char* expected;
};

TEST(SaverBaseName, FromTheDirectoryEntry)
{
    const NameCase cases[] = {
        {"C:\\Saver\\MEINSC~1.SCR", "Mein Schoner.scr", "Mein Schoner"},
        {"C:\\Saver\\Wald.und.See.scr", "Wald.und.See.scr", "Wald.und.See"},
        {"C:\\Saver\\Wald", "Wald", "Wald"},
        {"C:\\Saver\\MEINSC~1.SCR", nullptr, "MEINSC~1"},
        {"C:\\Saver.d\\Wald", nullptr, "Wald"},
    };
    for (const NameCase& c : cases) {
        FakePlatform platform;
        platform.exePath = c.exePath;
        platform.longNames.clear();
        if (c.longName)
            platform.longNames[c.exePath] = c.longName;
        EXPECT_EQ(GetSaverBaseName(platform), c.expected) << c.exePath;
    }
    FakePlatform none;
    none.exeAvailable = false;
    EXPECT_EQ(GetSaverBaseName(none), "");
}

} // namespace
