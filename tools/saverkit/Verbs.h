#pragma once
// saverkit's verbs. Each takes the arguments after its own name and returns the exit code.

struct Verb {
    const char* name;
    const char* summary;
    int (*run)(int argc, char** argv);
};

int RunMake(int argc, char** argv);
int RunInspect(int argc, char** argv);
