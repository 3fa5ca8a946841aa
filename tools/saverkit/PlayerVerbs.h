#pragma once
// saverkit's movie verbs: render a movie's frame to PNG with the player core, and write the
// demo movie.

int RunRenderVerb(int argc, char** argv);
int RunDemoVerb(int argc, char** argv);
