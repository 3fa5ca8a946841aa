// saverkit: makes and inspects saver folders (the settings file, the movie, the .scr).
#include "PlayerVerbs.h"
#include "Verbs.h"

#include <cstdio>
#include <cstring>

namespace {

// One line per verb.
const Verb kVerbs[] = {
    {"make", "write a saver folder: settings file, movie and .scr", RunMake},
    {"inspect", "show what a saver reads from its settings file and movie", RunInspect},
    {"render", "render a movie's stage after N frames to a PNG, with the built-in player", RunRenderVerb},
    {"demo", "write the demo movie (1024 x 768, a four-second loop)", RunDemoVerb},
};

void PrintUsage(std::FILE* out)
{
    std::fprintf(out, "usage: saverkit <verb> [options]   (saverkit <verb> --help for its options)\n\nverbs:\n");
    for (const Verb& verb : kVerbs)
        std::fprintf(out, "  %-10s %s\n", verb.name, verb.summary);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
        PrintUsage(stdout);
        return 0;
    }
    for (const Verb& verb : kVerbs) {
        if (std::strcmp(argv[1], verb.name) == 0)
            return verb.run(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "saverkit: unknown verb \"%s\"\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
