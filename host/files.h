// Asset files of the desktop host, reachable without a host object: the
// mapping of data paths onto the folders beside the program, and whole image
// and sound files decoded to memory. The host's own loading operations and
// the devices use these, so a device can be built and load files on its own.
#pragma once
#include <string>

#include "runtime/string.h"

// "quarlo://data/" and the other areas as folders of the current directory;
// an unknown area gives the empty string (no file), anything else is kept.
String orvDesktopFilePath(String path);

// The pixels of a PNG file as stored (depth bytes per pixel, rows top
// first), or null. The caller frees the block with free().
unsigned char* orvLoadImageFile(String path, int* width, int* height, int* depth);

// A whole ".wav" or ".ogg" file (by its name, any case) as interleaved
// samples: length in sample frames, format in bytes per sample. Null when
// the file is missing, of another kind or damaged, and for an Ogg stream of
// more than two channels (the audio device takes no more) or of more than
// 2^25 frames. The caller frees the block with free().
unsigned char* orvLoadAudioFile(String path, int* length, int* channels, int* format, int* hertz);

// The size and modification time of the file a path names, as one text;
// empty when there is no such file. The same stamp twice means the file was
// not replaced in between.
std::string orvFileStamp(String path);

// The folder that holds the stored-state file ".quarlostate": "." (the
// current directory) unless the program chose the user's data folder at
// start; the first save creates a missing folder. Empty means nowhere: the
// state reads as empty and saves fail.
void orvSetStateFolder(const std::string& folder);

// The state file's full path, for messages; empty when there is none.
std::string orvStateFilePath();
