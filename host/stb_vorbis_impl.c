// The Ogg Vorbis decoder, compiled once for the whole program. The header
// holds the whole decoder; other files include it with
// STB_VORBIS_HEADER_ONLY defined.
#include <stb/stb_vorbis.h>
