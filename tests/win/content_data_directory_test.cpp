// The data-directory search and the settings file against the real platform.
#include "content/DataDirectory.h"
#include "content/SettingsFileWin.h"
#include "content/SettingsWriter.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string ShortForm(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    const DWORD length = ::GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return (length > 0 && length < MAX_PATH) ? std::string(buffer, length) : path;
}

std::string ExecutableFolder()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string CommonAppData()
{
    char path[MAX_PATH] = {};
    if (::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, path) != S_OK)
        return std::string();
    return path;
}

bool KeyExists(const std::string& subkey)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

// What a test creates on disk or in the registry, removed again in reverse order, so that the
// next test (and the next run in the same prefix) finds the platform as it was.
class CCleanup {
public:
    ~CCleanup()
    {
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
            if (it->kind == Kind::File) ::DeleteFileA(it->path.c_str());
            else if (it->kind == Kind::Folder) ::RemoveDirectoryA(it->path.c_str());
            else ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, it->path.c_str());
        }
    }
    // Creates each missing folder along path; only those created here are removed.
    void Folders(const std::string& path)
    {
        for (std::size_t sep = path.find('\\', 3); ; sep = path.find('\\', sep + 1)) {
            const std::string part = path.substr(0, sep);
            if (::CreateDirectoryA(part.c_str(), nullptr))
                m_items.push_back({Kind::Folder, part});
            if (sep == std::string::npos)
                break;
        }
    }
    void File(const std::string& path, const std::vector<std::uint8_t>& bytes)
    {
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        DWORD written = 0;
        if (!bytes.empty())
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
        Adopt(path);
    }
    // A file made by other means, removed with the rest.
    void Adopt(const std::string& path) { m_items.push_back({Kind::File, path}); }
    // Removes the uninstall subkey afterwards unless it was there before.
    void Subkey(const std::string& subkey)
    {
        if (!KeyExists(subkey))
            m_items.push_back({Kind::Key, subkey});
    }

private:
    enum class Kind { File, Folder, Key };
    struct Item {
        Kind kind;
        std::string path;
    };
    std::vector<Item> m_items;
};

std::string TempFolder(const char* name)
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + name + " " + std::to_string(::GetCurrentProcessId());
}

std::vector<std::uint8_t> SettingsFile(const std::string& name)
{
    SaverSettings settings;
    settings.strName = name;
    settings.strDescription = "Beschreibung";
    settings.nScaleMode = 0;
    settings.nSizePercent = 150;
    settings.nKeyMode = 2;
    settings.strKeys = "wasd";
    MovieHeader header;
    SaverTexts texts;
    std::string error;
    EXPECT_TRUE(EncodeSettings(settings, header, texts, error)) << error;
    return SettingsFileBytes(header, texts);
}

TEST(DataDirectoryWin, BaseNameOfThisProgram)
{
    EXPECT_EQ(GetSaverBaseName(), "win_tests");
}

TEST(DataDirectoryWin, PerSaverFolderUnderCommonAppDataWinsInShortForm)
{
    const std::string common = CommonAppData();
    ASSERT_FALSE(common.empty());
    const std::string folder = common + "\\Brindlewick LLC\\Velliform\\" + GetSaverBaseName();
    CCleanup cleanup;
    cleanup.Subkey(kUninstall + GetSaverBaseName());
    cleanup.Folders(folder);

    const std::string result = GetDataDirectory();
    EXPECT_EQ(result, ShortForm(folder + "\\"));
    ASSERT_FALSE(result.empty());
    EXPECT_EQ(result.back(), '\\');
    // The maker's folder has a long name, so the short form must differ from the long one.
    EXPECT_EQ(result.find("Brindlewick LLC"), std::string::npos) << result;
}

TEST(DataDirectoryWin, OrdinaryFileOfTheFoldersNamePasses)
{
    const std::string common = CommonAppData();
    const std::string parent = common + "\\Brindlewick LLC\\Velliform";
    CCleanup cleanup;
    cleanup.Subkey(kUninstall + GetSaverBaseName());
    cleanup.Folders(parent);
    cleanup.File(parent + "\\" + GetSaverBaseName(), {});
    EXPECT_EQ(GetDataDirectory(), ShortForm(parent + "\\" + GetSaverBaseName()) + "\\");
}

TEST(DataDirectoryWin, UninstallSubkeyIsCreatedEmptyAndFoundAgain)
{
    const std::string subkey = kUninstall + GetSaverBaseName();
    CCleanup cleanup;
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, subkey.c_str());
    cleanup.Subkey(subkey);

    EXPECT_EQ(GetDataDirectory(), ShortForm(ExecutableFolder()));
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD values = 99, subkeys = 99;
    EXPECT_EQ(::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                 nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(values, 0u);
    EXPECT_EQ(subkeys, 0u);

    EXPECT_EQ(GetDataDirectory(), ShortForm(ExecutableFolder()));
}

TEST(DataDirectoryWin, InstallLocationNamingAFolder)
{
    const std::string subkey = kUninstall + GetSaverBaseName();
    const std::string folder = TempFolder("vf install location");
    CCleanup cleanup;
    cleanup.Subkey(subkey);
    cleanup.Folders(folder);
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, "InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>(folder.size() + 1));

    EXPECT_EQ(GetDataDirectory(), ShortForm(folder + "\\"));

    // The same value with its own separator names nothing to the existence test.
    const std::string withSeparator = folder + "\\";
    ::RegSetValueExA(key, "InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(withSeparator.c_str()),
                     static_cast<DWORD>(withSeparator.size() + 1));
    EXPECT_EQ(GetDataDirectory(), ShortForm(ExecutableFolder()));

    // Without a NUL of its own the value is taken as far as the registry delivered it.
    ::RegSetValueExA(key, "InstallLocation", 0, REG_BINARY, reinterpret_cast<const BYTE*>(folder.data()),
                     static_cast<DWORD>(folder.size()));
    EXPECT_EQ(GetDataDirectory(), ShortForm(folder + "\\"));
    ::RegCloseKey(key);
}

// A child process whose standard input and output are pipes to this one.
class CChild {
public:
    explicit CChild(const std::string& commandLine)
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE childOut = nullptr, childIn = nullptr;
        ::CreatePipe(&m_out, &childOut, &inherit, 0);
        ::CreatePipe(&childIn, &m_in, &inherit, 0);
        ::SetHandleInformation(m_out, HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(m_in, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childIn;
        startup.hStdOutput = childOut;
        startup.hStdError = childOut;
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        PROCESS_INFORMATION info = {};
        m_started = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                     &info) != FALSE;
        ::CloseHandle(childOut);
        ::CloseHandle(childIn);
        if (m_started) {
            m_process = info.hProcess;
            ::CloseHandle(info.hThread);
        }
    }
    ~CChild()
    {
        CloseInput();
        if (m_process) {
            if (::WaitForSingleObject(m_process, 30000) != WAIT_OBJECT_0)
                ::TerminateProcess(m_process, 1);
            ::CloseHandle(m_process);
        }
        ::CloseHandle(m_out);
    }
    bool Started() const { return m_started; }
    // Reads until the output holds text or ends; the pipe's end bounds the wait.
    std::string ReadUntil(const std::string& text)
    {
        std::string output;
        char buffer[256];
        DWORD read = 0;
        while (output.find(text) == std::string::npos && ::ReadFile(m_out, buffer, sizeof buffer, &read, nullptr) &&
               read != 0)
            output.append(buffer, read);
        return output;
    }
    void CloseInput()
    {
        if (m_in) {
            ::CloseHandle(m_in);
            m_in = nullptr;
        }
    }
    DWORD WaitForExit()
    {
        CloseInput();
        DWORD code = 259;
        if (m_process && ::WaitForSingleObject(m_process, 30000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(m_process, &code);
        return code;
    }

private:
    bool m_started = false;
    HANDLE m_process = nullptr;
    HANDLE m_out = nullptr;
    HANDLE m_in = nullptr;
};

TEST(DataDirectoryWin, SaverStartedByItsShortNameReadsItsLongNamedSettings)
{
    const std::string folder = TempFolder("vf saver");
    const std::string scr = folder + "\\Mein Schoner.scr";
    CCleanup cleanup;
    cleanup.Subkey(kUninstall + "Mein Schoner");
    cleanup.Folders(folder);
    ASSERT_TRUE(::CopyFileA((ExecutableFolder() + "content_probe.exe").c_str(), scr.c_str(), FALSE));
    cleanup.Adopt(scr);
    cleanup.File(folder + "\\Mein Schoner.dat", SettingsFile("Wald im Regen"));

    const std::string shortScr = ShortForm(scr);
    const std::string shortName = shortScr.substr(shortScr.rfind('\\') + 1);
    ASSERT_NE(shortName, "Mein Schoner.scr");
    EXPECT_EQ(shortName.find(' '), std::string::npos) << shortName;

    CChild child("\"" + shortScr + "\" report");
    ASSERT_TRUE(child.Started());
    const std::string output = child.ReadUntil("\nname=");
    EXPECT_EQ(child.WaitForExit(), 0u);
    EXPECT_NE(output.find("base=Mein Schoner\r\n"), std::string::npos) << output;
    EXPECT_NE(output.find("dir=" + ShortForm(folder + "\\") + "\r\n"), std::string::npos) << output;
    EXPECT_NE(output.find("name=Wald im Regen"), std::string::npos) << output;
}

TEST(SettingsFileWin, HeldOpenForWritingCountsAsMissing)
{
    const std::string folder = TempFolder("vf held");
    const std::string dataDir = folder + "\\";
    const std::string path = dataDir + GetSaverBaseName() + ".dat";
    CCleanup cleanup;
    cleanup.Folders(folder);
    cleanup.File(path, SettingsFile("Gehalten"));

    {
        CFile file;
        EXPECT_TRUE(OpenSettingsFile(dataDir, file));
        // While the saver reads, nobody may open the file for writing.
        HANDLE writer = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
        if (writer != INVALID_HANDLE_VALUE)
            ::CloseHandle(writer);
        // Others may still read it meanwhile.
        CFile second;
        EXPECT_TRUE(OpenSettingsFile(dataDir, second));
    }

    CChild holder("\"" + ExecutableFolder() + "content_probe.exe\" hold \"" + path + "\"");
    ASSERT_TRUE(holder.Started());
    ASSERT_NE(holder.ReadUntil("held").find("held"), std::string::npos);
    CFile file;
    EXPECT_FALSE(OpenSettingsFile(dataDir, file));
    EXPECT_EQ(holder.WaitForExit(), 0u);
    EXPECT_TRUE(OpenSettingsFile(dataDir, file));
}

TEST(SettingsFileWin, OpenFailsWithoutDirectoryOrFile)
{
    CFile file;
    EXPECT_FALSE(OpenSettingsFile("", file));
    EXPECT_FALSE(OpenSettingsFile(TempFolder("vf nowhere") + "\\", file));
    EXPECT_FALSE(file.IsOpen());
}

TEST(SettingsFileWin, ReadersTakeWhatTheFileHoldsAndZerosForTheRest)
{
    const std::string folder = TempFolder("vf records");
    const std::string dataDir = folder + "\\";
    const std::vector<std::uint8_t> full = SettingsFile("Wald");
    struct Length {
        std::size_t bytes;
        bool headerWhole;
        const char* name;
    };
    const Length lengths[] = {
        {0, false, ""}, {300, false, ""}, {552, true, ""}, {554, true, "Wa"}, {11048, true, "Wald"}, {20000, true, "Wald"},
    };
    for (const Length& l : lengths) {
        std::vector<std::uint8_t> bytes = full;
        bytes.resize(l.bytes, 0xEE);
        CCleanup cleanup;
        cleanup.Folders(folder);
        cleanup.File(dataDir + GetSaverBaseName() + ".dat", bytes);
        CFile file;
        ASSERT_TRUE(OpenSettingsFile(dataDir, file)) << l.bytes;
        const MovieHeader header = ReadMovieHeader(file);
        const SaverTexts texts = ReadSaverTexts(file);
        EXPECT_EQ(header.nSizePercent, l.headerWhole ? 150 : (l.bytes > 3 ? 150 : 0)) << l.bytes;
        EXPECT_EQ(FieldText(header.szKeys), l.bytes > 42 ? "wasd" : "") << l.bytes;
        EXPECT_EQ(header.nKeyMode, l.bytes > 6 ? 2 : 0) << l.bytes;
        EXPECT_EQ(FieldText(texts.szName), l.name) << l.bytes;
        EXPECT_EQ(FieldText(texts.szDescription), l.bytes >= 11048 ? "Beschreibung" : "") << l.bytes;
        EXPECT_EQ(texts.reserved[sizeof texts.reserved - 1], 0) << l.bytes;
    }
}

} // namespace
