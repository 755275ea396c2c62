// Images decoded to memory.
#pragma once
#include <string>
#include <vector>

#include "runtime/string.h"

// The pixels of a PNG file as stored (depth bytes per pixel, rows top
// first), or null. The caller frees the block with free().
unsigned char* orvLoadImageFile(String path, int* width, int* height, int* depth);

// Multiplies colour by alpha in place (depth 2 and 4; other depths have no
// alpha), as the renderer keeps every texture.
void orvPremultiply(unsigned char* pixels, int width, int height, int depth);

// Images about to be loaded, in the order they will be: worker threads
// decode and premultiply them a few ahead of their loads. A new list
// replaces the one before (what was decoded for it is thrown away) unless it
// is the same list: true when it was new.
bool orvDecodeImagesAhead(const std::vector<String>& paths);
// How many worker threads decode ahead: 2, and 0 on a platform without
// threads, where no list is taken and every load decodes its own image.
extern int orvImageWorkers;
// Told each list first, where files may still be on their way (the browser
// downloads the larger images only when a larger canvas asks for them);
// null where all the data is there from the start.
extern void (*orvImagesWanted)(const std::vector<String>& paths);

// The decoded, premultiplied pixels of the next image of that list when
// `path` is that image, waiting for the workers if it is not done yet;
// *pixels is null when the file could not be decoded. False when `path` is
// not the next image decoded ahead: the caller decodes it itself.
bool orvTakeImageDecodedAhead(String path, unsigned char** pixels, int* width, int* height, int* depth);

// The same for the next image of the list, only if it is decoded already;
// *file names it as orvDecodedAheadFile does.
bool orvTakeImageIfDecoded(std::string* file, unsigned char** pixels, int* width, int* height, int* depth);

// Pixels taken count against the workers' memory until they are freed here
// (null frees nothing).
void orvFreeImageDecodedAhead(unsigned char* pixels, int width, int height, int depth);

// The file that a path names for the list (the same path in another
// working folder is another file).
std::string orvDecodedAheadFile(String path);
