// The platform operations of the data-directory search, over Win32.
#include "content/DataDirectory.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr DWORD PATH_SPACE = MAX_PATH;  // 260
constexpr int CSIDL_COMMON_APPDATA_FOLDER = 0x23;

typedef HRESULT(WINAPI* SHGetFolderPathAProc)(HWND, int, HANDLE, DWORD, LPSTR);

class CWin32ContentPlatform : public CContentPlatform {
public:
    bool GetExecutablePath(std::string& path) override
    {
        char buffer[PATH_SPACE] = {};
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer, PATH_SPACE);
        if (length == 0)
            return false;
        path.assign(buffer, strnlen(buffer, PATH_SPACE));
        return true;
    }

    bool FindLongFileName(const std::string& path, std::string& longName) override
    {
        WIN32_FIND_DATAA entry;
        HANDLE find = ::FindFirstFileA(path.c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        ::FindClose(find);
        longName.assign(entry.cFileName, strnlen(entry.cFileName, sizeof entry.cFileName));
        return true;
    }

    bool GetCommonAppDataFolder(std::string& folder) override
    {
        // Bound at run time, as older systems may lack the library; it is released at once.
        HMODULE library = ::LoadLibraryA("SHFOLDER.DLL");
        if (library == nullptr)
            return false;
        bool answered = false;
        auto getFolderPath = reinterpret_cast<SHGetFolderPathAProc>(
            reinterpret_cast<void*>(::GetProcAddress(library, "SHGetFolderPathA")));
        if (getFolderPath != nullptr) {
            char buffer[PATH_SPACE] = {};
            // S_FALSE (1) means the folder does not exist: only S_OK is an answer.
            if (getFolderPath(nullptr, CSIDL_COMMON_APPDATA_FOLDER, nullptr, 0, buffer) == 0) {
                folder.assign(buffer, strnlen(buffer, PATH_SPACE));
                answered = true;
            }
        }
        ::FreeLibrary(library);
        return answered;
    }

    bool GetWindowsFolder(std::string& directory) override
    {
        char buffer[PATH_SPACE] = {};
        const UINT length = ::GetWindowsDirectoryA(buffer, PATH_SPACE);
        // A length of the space or more is the size the text would need: it was not copied.
        if (length == 0 || length >= PATH_SPACE)
            return false;
        directory.assign(buffer, length);
        return true;
    }

    bool PathExists(const std::string& path) override
    {
        char full[PATH_SPACE] = {};
        const DWORD length = ::GetFullPathNameA(path.c_str(), PATH_SPACE, full, nullptr);
        if (length == 0 || length >= PATH_SPACE)
            return false;
        WIN32_FIND_DATAA entry;
        HANDLE find = ::FindFirstFileA(full, &entry);
        if (find == INVALID_HANDLE_VALUE)
            return false;
        ::FindClose(find);
        return true;
    }

    bool ReadInstallLocation(const std::string& subkeyPath, std::string& location) override
    {
        // Create-or-open with full access: an installer-less saver leaves an empty subkey
        // behind, and a process without the right to full access skips this step entirely.
        HKEY key = nullptr;
        char emptyClass[] = "";
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkeyPath.c_str(), 0, emptyClass,
                              REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr)
            != ERROR_SUCCESS)
            return false;
        BYTE buffer[PATH_SPACE] = {};
        DWORD size = sizeof buffer;
        const LONG status = ::RegQueryValueExA(key, INSTALL_LOCATION_VALUE, nullptr, nullptr, buffer, &size);
        ::RegCloseKey(key);
        if (status != ERROR_SUCCESS)
            return false;
        // The type is not examined and a value need not end in a NUL: only the bytes the
        // registry delivered count, up to the first NUL among them.
        const char* text = reinterpret_cast<const char*>(buffer);
        location.assign(text, strnlen(text, size < sizeof buffer ? size : sizeof buffer));
        return true;
    }

    std::size_t GetShortForm(const std::string& path, std::string& shortPath) override
    {
        char buffer[PATH_SPACE] = {};
        if (path.size() >= PATH_SPACE)
            return 0;
        std::memcpy(buffer, path.data(), path.size());
        const DWORD length = ::GetShortPathNameA(buffer, buffer, PATH_SPACE);
        if (length >= 1 && length < PATH_SPACE)
            shortPath.assign(buffer, length);
        return length;
    }
};

} // namespace

std::string GetSaverBaseName()
{
    CWin32ContentPlatform platform;
    return GetSaverBaseName(platform);
}

std::string GetDataDirectory()
{
    CWin32ContentPlatform platform;
    return GetDataDirectory(platform);
}
