// The data-directory search over a platform whose answers come from the input: any lengths,
// any separators, any failures.
#include "content/DataDirectory.h"

#include <cstdlib>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

class CInputPlatform : public CContentPlatform {
public:
    CInputPlatform(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool GetExecutablePath(std::string& path) override
    {
        if (!m_exeRead) {
            m_exeAvailable = Answer(m_exePath);
            // The platform's own limit: the path comes in a space of 260 characters.
            if (m_exePath.size() > MAX_PATH_CHARS)
                m_exePath.resize(MAX_PATH_CHARS);
            m_exeRead = true;
        }
        path = m_exePath;
        return m_exeAvailable;
    }
    bool FindLongFileName(const std::string&, std::string& longName) override { return Answer(longName); }
    bool GetCommonAppDataFolder(std::string& folder) override { return Answer(folder); }
    bool GetWindowsFolder(std::string& directory) override { return Answer(directory); }
    bool PathExists(const std::string& path) override
    {
        Check(!path.empty() && path.size() < MAX_PATH_CHARS);
        return Byte() & 1;
    }
    bool ReadInstallLocation(const std::string&, std::string& location) override { return Answer(location); }
    std::size_t GetShortForm(const std::string& path, std::string& shortPath) override
    {
        Check(!path.empty() && path.size() <= MAX_PATH_CHARS && path.back() == '\\');
        const bool ok = Answer(shortPath);
        m_shortFormTaken = ok && !shortPath.empty() && shortPath.size() <= MAX_PATH_CHARS + 1;
        return ok ? shortPath.size() : 0;
    }

    bool m_shortFormTaken = false;

private:
    std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // A flag byte, a length byte (times a small factor, to reach past the path limit), the text.
    bool Answer(std::string& text)
    {
        const std::uint8_t flag = Byte();
        const std::size_t length = static_cast<std::size_t>(Byte()) * ((flag >> 1) % 3 + 1);
        text.clear();
        for (std::size_t i = 0; i < length && m_pos < m_size; ++i) {
            const std::uint8_t c = Byte();
            text += (c % 4 == 0) ? '\\' : static_cast<char>(c);
        }
        return flag & 1;
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_exeRead = false;
    bool m_exeAvailable = false;
    std::string m_exePath;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CInputPlatform platform(data, size);
    const std::string directory = GetDataDirectory(platform);
    std::string exe;
    const bool exeAvailable = platform.GetExecutablePath(exe) && !exe.empty();
    if (!exeAvailable)
        Check(directory.empty());
    else if (exe.find('\\') != std::string::npos)
        Check(!directory.empty());
    if (!directory.empty() && !platform.m_shortFormTaken)
        Check(directory.back() == '\\' && directory.size() <= MAX_PATH_CHARS);
    return 0;
}
