#include "Options.h"
#include "Verbs.h"

#include "content/SettingsFile.h"
#include "content/SwfHeader.h"
#include "movie/ControlRect.h"
#include "movie/MovieStartup.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kInspectHelp =
    "usage: saverkit inspect PATH [--screen WxH]... [--movie FILE]\n"
    "Prints every field of the settings file as the saver reads it, the movie's frame size\n"
    "from its first 32 bytes, and the Flash control's rectangle for each screen size.\n"
    "\n"
    "  PATH            a settings file (.dat), or a saver folder holding exactly one\n"
    "  --screen WxH    a window size, such as 1024x768 or 152x112 (repeatable)\n"
    "  --movie FILE    probe FILE instead of FILE0000.SWF beside the settings file\n";

int Fail(const std::string& message, int code = 1)
{
    std::fprintf(stderr, "saverkit inspect: %s\n", message.c_str());
    return code;
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

template <std::size_t N>
void PrintText(const char* name, const char (&field)[N], const char* note = nullptr)
{
    std::printf("  %-16s %s", name, Quoted(FieldText(field)).c_str());
    if (!FieldTerminated(field))
        std::printf("  (no NUL inside its %zu bytes: taken to the field's end)", N);
    if (note)
        std::printf("  (%s)", note);
    std::printf("\n");
}

const char* ScaleModeMeaning(std::uint8_t mode)
{
    switch (mode) {
    case 0: return "the movie's own frame size";
    case 1: return "fit the window, keeping the movie's proportions";
    case 2: return "the window's size";
    default: return "acts as 2, the window's size";
    }
}

const char* KeyModeMeaning(std::uint8_t mode)
{
    switch (mode) {
    case 1: return "keys 0x30 to 0x6F end the saver, others go to the movie";
    case 2: return "keys typed by szKeys and keys outside 0x30 to 0x6F go to the movie";
    case 0: return "every key ends the saver";
    default: return "acts as 0, every key ends the saver";
    }
}

bool FindSettingsFile(const fs::path& path, fs::path& settings, std::string& error)
{
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
        settings = path;
        return true;
    }
    std::vector<fs::path> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, ec)) {
        std::string extension = entry.path().extension().string();
        for (char& c : extension)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (extension == SETTINGS_FILE_EXTENSION && entry.is_regular_file(ec))
            found.push_back(entry.path());
    }
    if (found.size() != 1) {
        error = path.string() + " holds " + std::to_string(found.size()) + " settings files; name one";
        return false;
    }
    settings = found.front();
    return true;
}

bool ParseScreen(const std::string& text, std::int32_t& width, std::int32_t& height)
{
    unsigned long w = 0, h = 0;
    char x = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%lu%c%lu%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X'))
        return false;
    if (w > 1000000 || h > 1000000)
        return false;
    width = static_cast<std::int32_t>(w);
    height = static_cast<std::int32_t>(h);
    return true;
}

struct MovieProbe {
    bool probed = false;     // false: a URL, fetched only by the saver itself
    bool passes = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

MovieProbe ProbeMovie(const fs::path& path)
{
    MovieProbe probe;
    probe.probed = true;
    std::printf("movie %s\n", path.string().c_str());
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path.string(), bytes)) {
        std::printf("  probe fails: the file cannot be read (the saver shows the missing-content notice)\n");
        return probe;
    }
    // The saver reads at most 32 bytes into a zeroed buffer; the rest it never sees.
    std::uint8_t buffer[SWF_PROBE_BYTES] = {};
    const std::size_t count = std::min(bytes.size(), SWF_PROBE_BYTES);
    std::memcpy(buffer, bytes.data(), count);
    switch (ClassifySwfSignature(buffer, count)) {
    case SwfSignature::Compressed:
        std::printf("  probe fails: a compressed SWF movie (CWS); only uncompressed (FWS) movies play\n");
        return probe;
    case SwfSignature::NotSwf:
        if (bytes.size() < 3)
            std::printf("  probe fails: too short (%zu bytes) to hold a signature\n", bytes.size());
        else
            std::printf("  probe fails: not an SWF movie (first bytes %02X %02X %02X)\n", buffer[0], buffer[1],
                        buffer[2]);
        return probe;
    case SwfSignature::Uncompressed:
        break;
    }
    const std::size_t needed = SwfHeaderBytesNeeded(buffer);
    probe.passes = ProbeSwfHeader(buffer, probe.width, probe.height) == 1;
    std::printf("  frame size       %u x %u pixels\n", probe.width, probe.height);
    if (bytes.size() < needed)
        std::printf("  note: only %zu bytes, the frame rectangle needs %zu; the rest reads as zero\n",
                    bytes.size(), needed);
    return probe;
}

} // namespace

int RunInspect(int argc, char** argv)
{
    COptions options;
    std::string error;
    if (!options.Parse(argc, argv, {"screen", "movie"}, {"help"}, error))
        return Fail(error, 2);
    if (options.Has("help")) {
        std::fputs(kInspectHelp, stdout);
        return 0;
    }
    if (options.m_positional.size() != 1)
        return Fail("give one settings file or saver folder (saverkit inspect --help)", 2);

    std::vector<std::pair<std::int32_t, std::int32_t>> screens;
    for (const std::string& text : options.All("screen")) {
        std::int32_t w = 0, h = 0;
        if (!ParseScreen(text, w, h))
            return Fail("--screen takes WIDTHxHEIGHT, such as 1024x768, not \"" + text + "\"", 2);
        screens.emplace_back(w, h);
    }

    fs::path settingsPath;
    if (!FindSettingsFile(fs::path(options.m_positional.front()), settingsPath, error))
        return Fail(error);
    std::vector<std::uint8_t> file;
    if (!ReadWholeFile(settingsPath.string(), file))
        return Fail("cannot read " + settingsPath.string());

    const MovieHeader header = DecodeMovieHeader(file.data(), file.size());
    const SaverTexts texts = file.size() > SAVER_TEXTS_OFFSET
                                 ? DecodeSaverTexts(file.data() + SAVER_TEXTS_OFFSET, file.size() - SAVER_TEXTS_OFFSET)
                                 : DecodeSaverTexts(nullptr, 0);

    std::printf("settings file %s (%zu bytes)\n", settingsPath.string().c_str(), file.size());
    if (file.size() < SETTINGS_FILE_SIZE)
        std::printf("  note: shorter than %zu bytes; the missing bytes read as zero\n", SETTINGS_FILE_SIZE);
    std::printf("MovieHeader\n");
    std::printf("  %-16s %02X %02X  (not interpreted)\n", "bytes 0-1", header.reserved[0], header.reserved[1]);
    std::printf("  %-16s %u  (%s)\n", "nScaleMode", header.nScaleMode, ScaleModeMeaning(header.nScaleMode));
    std::printf("  %-16s %u\n", "nSizePercent", header.nSizePercent);
    std::printf("  %-16s %u  (%s)\n", "bLoop", header.bLoop, header.bLoop ? "loops" : "plays once");
    std::printf("  %-16s %u  (%s)\n", "bMouseEndsSaver", header.bMouseEndsSaver,
                header.bMouseEndsSaver ? "mouse movement ends the saver; cursor hidden"
                                       : "the movie keeps the mouse; cursor shown");
    std::printf("  %-16s %u  (%s)\n", "nKeyMode", header.nKeyMode, KeyModeMeaning(header.nKeyMode));
    PrintText("szKeys", header.szKeys);
    const std::string movieLocation = FieldText(header.szMovie);
    PrintText("szMovie", header.szMovie, movieLocation.empty() ? "FILE0000.SWF in the data directory" : "a URL");
    std::printf("SaverTexts\n");
    PrintText("szName", texts.szName);
    PrintText("szDescription", texts.szDescription);
    PrintText("szLinkText", texts.szLinkText, "not shown by the saver");
    PrintText("szLinkUrl", texts.szLinkUrl, "not used by the saver");

    MovieProbe probe;
    if (options.Has("movie"))
        probe = ProbeMovie(fs::path(options.Get("movie")));
    else if (movieLocation.empty())
        probe = ProbeMovie(settingsPath.parent_path() / DEFAULT_MOVIE_FILE);
    else
        std::printf("movie %s\n  not probed: the saver fetches its first 32 bytes itself (give --movie to probe a copy)\n",
                    Quoted(movieLocation).c_str());

    for (const auto& screen : screens) {
        std::printf("control on %d x %d: ", screen.first, screen.second);
        if (probe.probed && !probe.passes) {
            std::printf("none; the saver shows the missing-content notice\n");
            continue;
        }
        const ControlRect r = ComputeControlRect(screen.first, screen.second, header.nSizePercent,
                                                 header.nScaleMode, probe.width, probe.height);
        std::printf("left %d, top %d, right %d, bottom %d (%lld x %lld)%s\n", r.left, r.top, r.right, r.bottom,
                    static_cast<long long>(r.right) - r.left, static_cast<long long>(r.bottom) - r.top, probe.probed ? "" : ", frame size unknown, taken as 0 x 0");
    }
    return 0;
}
