#include "content/DataDirectory.h"

namespace {

constexpr char SEPARATOR = '\\';

// Cuts at the last "."; a name without one is the base name whole.
std::string WithoutExtension(const std::string& fileName)
{
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

// A candidate qualifies only with its trailing separator inside the path limit; a longer one
// could not be held in the 260-character space the system builds paths in, so it falls
// through to the next step instead.
bool FitsAsDirectory(const std::string& pathWithoutSeparator)
{
    return pathWithoutSeparator.size() + 1 <= MAX_PATH_CHARS;
}

std::string PerSaverFolder(CContentPlatform& platform, const std::string& baseName)
{
    std::string base;
    if (!platform.GetCommonAppDataFolder(base) || base.empty()) {
        if (!platform.GetWindowsFolder(base) || base.empty())
            return std::string();
        if (base.back() != SEPARATOR)
            base += SEPARATOR;
        base += COMMON_APPDATA_FALLBACK;
    }
    std::string candidate = base;
    candidate += SEPARATOR;
    candidate += MAKER_FOLDER;
    candidate += SEPARATOR;
    candidate += PRODUCT_FOLDER;
    candidate += SEPARATOR;
    candidate += baseName;
    if (!FitsAsDirectory(candidate) || !platform.PathExists(candidate))
        return std::string();
    return candidate + SEPARATOR;
}

std::string InstallLocation(CContentPlatform& platform, const std::string& baseName)
{
    const std::string subkey = std::string(UNINSTALL_KEY) + SEPARATOR + baseName;
    std::string location;
    if (!platform.ReadInstallLocation(subkey, location) || location.empty())
        return std::string();
    if (!FitsAsDirectory(location) || !platform.PathExists(location))
        return std::string();
    return location + SEPARATOR;
}

std::string ExecutableFolder(CContentPlatform& platform)
{
    std::string path;
    if (!platform.GetExecutablePath(path))
        return std::string();
    // A path without any separator is not one the platform gives; taking it as naming no
    // folder keeps the result empty rather than inventing one.
    const std::size_t last = path.rfind(SEPARATOR);
    if (last == std::string::npos)
        return std::string();
    return path.substr(0, last + 1);
}

} // namespace

std::string GetSaverBaseName(CContentPlatform& platform)
{
    std::string path;
    if (!platform.GetExecutablePath(path) || path.empty())
        return std::string();
    std::string longName;
    if (platform.FindLongFileName(path, longName) && !longName.empty())
        return WithoutExtension(longName);
    // No directory entry found: the file-name part of the path as started, so that callers
    // still get a bare name to append to a directory, never a full path.
    const std::size_t last = path.rfind(SEPARATOR);
    return WithoutExtension(last == std::string::npos ? path : path.substr(last + 1));
}

std::string GetDataDirectory(CContentPlatform& platform)
{
    std::string executable;
    if (!platform.GetExecutablePath(executable) || executable.empty())
        return std::string();
    const std::string baseName = GetSaverBaseName(platform);

    std::string result = PerSaverFolder(platform, baseName);
    if (result.empty())
        result = InstallLocation(platform, baseName);
    if (result.empty())
        result = ExecutableFolder(platform);
    if (result.empty())
        return result;

    std::string shortForm;
    const std::size_t length = platform.GetShortForm(result, shortForm);
    if (length >= 1 && length <= MAX_PATH_CHARS + 1 && !shortForm.empty())
        result = shortForm;
    return result;
}
