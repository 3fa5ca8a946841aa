#pragma once
// The verbs' command lines: "--name value" or "--name=value", flags, and positional words.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

class COptions {
public:
    // valued: the options that take a value; flags: those that do not. False, with a message
    // in error, for an unknown option or a missing value.
    bool Parse(int argc, char** argv, const std::set<std::string>& valued, const std::set<std::string>& flags,
               std::string& error);

    bool Has(const std::string& name) const;
    std::string Get(const std::string& name, const std::string& fallback = std::string()) const;
    // Every value given to a repeatable option, in order.
    std::vector<std::string> All(const std::string& name) const;
    // A byte 0..255 in decimal; false with a message naming the option otherwise.
    bool GetByte(const std::string& name, std::uint8_t fallback, std::uint8_t& value, std::string& error) const;

    std::vector<std::string> m_positional;

private:
    std::multimap<std::string, std::string> m_values;
};

// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);
