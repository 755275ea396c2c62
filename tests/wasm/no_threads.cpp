// The browser's machine has no threads: the host's workers are off, as the
// browser's start leaves them.
#include "host/audio_device.h"
#include "host/image_files.h"

namespace {
const bool kNoThreads = (orvImageWorkers = 0, gxtkAudio::musicThread = false, true);
}  // namespace
