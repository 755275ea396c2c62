// The image decoder, compiled once for the whole program. The game's images
// are all PNG, so the other formats stay out, and absurd dimensions in a
// damaged header are refused before any allocation.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS 8192
#include <stb/stb_image.h>
