#pragma once
// Where a saver's files live. The search is plain C++ over the few platform operations it
// needs (CContentPlatform); the Windows build supplies the real ones (DataDirectoryWin.cpp).

#include <cstddef>
#include <string>

// The platform's path limit: 259 characters and the terminating zero.
constexpr std::size_t MAX_PATH_CHARS = 259;

constexpr const char* COMMON_APPDATA_FALLBACK = "All Users\\Application Data";
constexpr const char* MAKER_FOLDER = "Brindlewick LLC";
constexpr const char* PRODUCT_FOLDER = "Velliform";
constexpr const char* UNINSTALL_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* INSTALL_LOCATION_VALUE = "InstallLocation";

class CContentPlatform {
public:
    virtual ~CContentPlatform() = default;

    // The executable's full path as the process was started; false when it cannot be had.
    virtual bool GetExecutablePath(std::string& path) = 0;
    // The long file name of the directory entry that path names; false when none is found.
    virtual bool FindLongFileName(const std::string& path, std::string& longName) = 0;
    // The common application-data folder; false when the platform gives no answer.
    virtual bool GetCommonAppDataFolder(std::string& folder) = 0;
    virtual bool GetWindowsFolder(std::string& directory) = 0;
    // True when the path, made absolute, names an entry of any kind.
    virtual bool PathExists(const std::string& path) = 0;
    // The text of InstallLocation below the uninstall subkey (created when missing); false
    // when the subkey cannot be opened or the value is missing or longer than 260 bytes.
    virtual bool ReadInstallLocation(const std::string& subkeyPath, std::string& location) = 0;
    // The short form of path: the platform's returned length (0 on failure, above 260 when
    // the form does not fit), and the text when it fits.
    virtual std::size_t GetShortForm(const std::string& path, std::string& shortPath) = 0;
};

std::string GetSaverBaseName(CContentPlatform& platform);
std::string GetDataDirectory(CContentPlatform& platform);

// The same over the real platform (Windows build only).
std::string GetSaverBaseName();
std::string GetDataDirectory();
