#include "Options.h"
#include "Verbs.h"

#include "content/SettingsWriter.h"
#include "movie/MovieStartup.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const char* const kMakeHelp =
    "usage: saverkit make --out DIR --name NAME [options]\n"
    "Writes DIR/<file name>.dat and, when given, DIR/FILE0000.SWF and DIR/<file name>.scr.\n"
    "Nothing is written when a value does not fit its field.\n"
    "\n"
    "  --out DIR              folder to write (created when missing)\n"
    "  --name TEXT            the saver's name, at most 255 characters\n"
    "  --file-name NAME       base name of the .dat and .scr (default: the name)\n"
    "  --description TEXT     at most 4,095 characters\n"
    "  --url URL              play the movie from URL (at most 512 characters)\n"
    "  --movie FILE           copy FILE as FILE0000.SWF (the movie when no URL is set)\n"
    "  --scr FILE             copy the saver executable as <file name>.scr\n"
    "  --scale-mode N         0 movie's size, 1 fit keeping proportions, 2 window (default 1)\n"
    "  --size-percent N       0 to 255 (default 100)\n"
    "  --loop N               0 plays once, other values loop (default 1)\n"
    "  --mouse-ends-saver N   0 lets the movie keep the mouse (default 1)\n"
    "  --key-mode N           0 every key ends the saver, 1 keys 0x30-0x6F end it,\n"
    "                         2 only keys typed by --keys go to the movie (default 0)\n"
    "  --keys CHARS           at most 31 characters\n"
    "  --link-text TEXT       stored, not shown (at most 255 characters)\n"
    "  --link-url TEXT        stored, not used (at most 255 characters)\n";

bool Fail(const std::string& message)
{
    std::fprintf(stderr, "saverkit make: %s\n", message.c_str());
    return false;
}

// A name that is used as a file name beside the saver's other files.
bool ValidFileName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

bool WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        return Fail("cannot write " + path.string());
    return true;
}

} // namespace

int RunMake(int argc, char** argv)
{
    COptions options;
    std::string error;
    if (!options.Parse(argc, argv,
                       {"out", "name", "file-name", "description", "url", "movie", "scr", "scale-mode",
                        "size-percent", "loop", "mouse-ends-saver", "key-mode", "keys", "link-text", "link-url"},
                       {"help"}, error)) {
        Fail(error);
        return 2;
    }
    if (options.Has("help")) {
        std::fputs(kMakeHelp, stdout);
        return 0;
    }
    if (!options.m_positional.empty()) {
        Fail("unexpected argument \"" + options.m_positional.front() + "\"");
        return 2;
    }
    if (!options.Has("out") || !options.Has("name")) {
        Fail("--out and --name are required (saverkit make --help)");
        return 2;
    }

    SaverSettings settings;
    settings.strName = options.Get("name");
    settings.strDescription = options.Get("description");
    settings.strMovie = options.Get("url");
    settings.strKeys = options.Get("keys");
    settings.strLinkText = options.Get("link-text");
    settings.strLinkUrl = options.Get("link-url");
    const std::string fileName = options.Get("file-name", settings.strName);
    if (!options.GetByte("scale-mode", settings.nScaleMode, settings.nScaleMode, error) ||
        !options.GetByte("size-percent", settings.nSizePercent, settings.nSizePercent, error) ||
        !options.GetByte("loop", settings.bLoop, settings.bLoop, error) ||
        !options.GetByte("mouse-ends-saver", settings.bMouseEndsSaver, settings.bMouseEndsSaver, error) ||
        !options.GetByte("key-mode", settings.nKeyMode, settings.nKeyMode, error)) {
        Fail(error);
        return 1;
    }
    if (!ValidFileName(fileName)) {
        Fail("\"" + fileName + "\" cannot be a file name; give --file-name");
        return 1;
    }
    if (options.Has("url") && settings.strMovie.empty()) {
        Fail("--url is empty; leave it out to play FILE0000.SWF");
        return 1;
    }

    MovieHeader header;
    SaverTexts texts;
    if (!EncodeSettings(settings, header, texts, error)) {
        Fail(error);
        return 1;
    }

    // Everything is read before anything is written, so that a refusal leaves no trace.
    std::vector<std::uint8_t> movie;
    if (options.Has("movie") && !ReadWholeFile(options.Get("movie"), movie)) {
        Fail("cannot read the movie " + options.Get("movie"));
        return 1;
    }
    std::vector<std::uint8_t> executable;
    if (options.Has("scr") && !ReadWholeFile(options.Get("scr"), executable)) {
        Fail("cannot read the saver executable " + options.Get("scr"));
        return 1;
    }

    const fs::path out = fs::path(options.Get("out"));
    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec) {
        Fail("cannot create " + out.string() + ": " + ec.message());
        return 1;
    }
    if (!WriteFile(out / fs::path(fileName + SETTINGS_FILE_EXTENSION), SettingsFileBytes(header, texts)))
        return 1;
    if (options.Has("movie") && !WriteFile(out / DEFAULT_MOVIE_FILE, movie))
        return 1;
    if (options.Has("scr") && !WriteFile(out / fs::path(fileName + ".scr"), executable))
        return 1;
    return 0;
}
