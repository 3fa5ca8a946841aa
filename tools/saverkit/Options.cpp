#include "Options.h"

#include <fstream>
#include <iterator>

bool COptions::Parse(int argc, char** argv, const std::set<std::string>& valued,
                     const std::set<std::string>& flags, std::string& error)
{
    for (int i = 0; i < argc; ++i) {
        std::string word = argv[i];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            m_positional.push_back(word);
            continue;
        }
        std::string name = word.substr(2);
        std::string value;
        bool inlineValue = false;
        const std::size_t equals = name.find('=');
        if (equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            inlineValue = true;
        }
        if (flags.count(name)) {
            if (inlineValue) {
                error = "--" + name + " takes no value";
                return false;
            }
            m_values.emplace(name, std::string());
        } else if (valued.count(name)) {
            if (!inlineValue) {
                if (i + 1 >= argc) {
                    error = "--" + name + " needs a value";
                    return false;
                }
                value = argv[++i];
            }
            m_values.emplace(name, value);
        } else {
            error = "unknown option --" + name;
            return false;
        }
    }
    return true;
}

bool COptions::Has(const std::string& name) const
{
    return m_values.count(name) != 0;
}

std::string COptions::Get(const std::string& name, const std::string& fallback) const
{
    // The last of repeated values wins, as in most command-line tools.
    auto range = m_values.equal_range(name);
    if (range.first == range.second)
        return fallback;
    return std::prev(range.second)->second;
}

std::vector<std::string> COptions::All(const std::string& name) const
{
    std::vector<std::string> values;
    auto range = m_values.equal_range(name);
    for (auto it = range.first; it != range.second; ++it)
        values.push_back(it->second);
    return values;
}

bool COptions::GetByte(const std::string& name, std::uint8_t fallback, std::uint8_t& value, std::string& error) const
{
    if (!Has(name)) {
        value = fallback;
        return true;
    }
    const std::string text = Get(name);
    unsigned number = 0;
    bool valid = !text.empty() && text.size() <= 3;
    for (char c : text) {
        if (c < '0' || c > '9') {
            valid = false;
            break;
        }
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (!valid || number > 255) {
        error = "--" + name + " must be a number from 0 to 255, not \"" + text + "\"";
        return false;
    }
    value = static_cast<std::uint8_t>(number);
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}
