#pragma once
// Opening and reading the settings file on the real platform.

#include "content/SettingsFile.h"
#include "framework/File.h"

#include <string>

// Opens <dataDir><saver base name>.dat for reading while no process may write it. False for
// an empty directory or base name, a missing file, or one another process has open for writing.
bool OpenSettingsFile(const std::string& dataDir, CFile& file);

// Each reads its record from the open file; the bytes a short file lacks read as zero.
MovieHeader ReadMovieHeader(CFile& file);
SaverTexts ReadSaverTexts(CFile& file);
