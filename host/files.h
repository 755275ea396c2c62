// Files of the desktop host, reachable without a host object: the mapping of
// data paths onto the folders beside the program, whole-file reads, and the
// stored-state file. Images and sounds are decoded by image_files.h and
// sound_files.h, so a device can be built and load files on its own.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/string.h"

// "quarlo://data/" and the other areas as folders of the current directory;
// an unknown area gives the empty string (no file), anything else is kept.
String orvDesktopFilePath(String path);

// Opens the file a desktop path names (UTF-8 on this system); null for an
// empty name, like for a missing file.
std::FILE* orvOpenFile(const String& file_path, const char* mode);

// Appends the rest of an open file. False on a read error (a directory, for
// one: it must not pass for a complete, shorter file) or beyond INT_MAX bytes.
bool orvReadWhole(std::FILE* file, std::vector<unsigned char>* bytes);

// The folder that holds the stored-state file ".quarlostate": "." (the
// current directory) unless the program chose the user's data folder at
// start; the first save creates a missing folder. Empty means nowhere: the
// state reads as empty and saves fail.
void orvSetStateFolder(const std::string& folder);

// The state file's full path, for messages; empty when there is none.
std::string orvStateFilePath();
