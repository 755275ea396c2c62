// The image decoder, compiled once for the whole program. The game's images
// are all PNG, so the other formats stay out, and absurd dimensions in a
// damaged header are refused before any allocation.
#include <stdlib.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS 8192

// No block a PNG within those dimensions needs is larger than its inflated
// rows at four channels of 16 bits. A damaged or hostile file that asks for
// more (a chunk claiming gigabytes of data, a compression bomb) is refused
// as out of memory, before the system is asked for the memory.
#define ORV_STBI_MAX_BLOCK ((size_t)STBI_MAX_DIMENSIONS * ((size_t)STBI_MAX_DIMENSIONS * 8 + 1))
static void* orv_stbi_malloc(size_t n) { return n > ORV_STBI_MAX_BLOCK ? NULL : malloc(n); }
static void* orv_stbi_realloc(void* p, size_t n) { return n > ORV_STBI_MAX_BLOCK ? NULL : realloc(p, n); }
#define STBI_MALLOC(n) orv_stbi_malloc(n)
#define STBI_REALLOC(p, n) orv_stbi_realloc(p, n)
#define STBI_FREE(p) free(p)

#include <stb/stb_image.h>
