// The page preloads the images at the design size, which a 640 x 480 canvas
// loads, with the sounds and music. The twice and four times larger ones
// are served as files of their own (site/data/...) and fetched only when a
// larger canvas makes the loader name them: its list comes before its
// loads, so they are there when it loads them.
#include "host/web_data.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "host/files.h"
#include "host/image_files.h"
#include "runtime/diagnostics.h"

namespace {

std::set<std::string> onTheirWay;  // files, stable in the set until they land

void Landed(void* arg, void* bytes, int size) {
    const std::string& file = *static_cast<const std::string*>(arg);
    for (std::size_t slash = file.find('/', 1); slash != std::string::npos; slash = file.find('/', slash + 1)) {
        mkdir(file.substr(0, slash).c_str(), 0755);  // its folders, if not there yet
    }
    std::FILE* out = std::fopen((file + ".part").c_str(), "wb");
    const std::size_t count = static_cast<std::size_t>(size);
    const bool written = out && std::fwrite(bytes, 1, count, out) == count;
    if (out && std::fclose(out) == 0 && written) std::rename((file + ".part").c_str(), file.c_str());
    onTheirWay.erase(file);
}

// Its load fails as a missing file's does: the game goes on without it.
void Failed(void* arg) {
    const std::string& file = *static_cast<const std::string*>(arg);
    orvPrint(String("The file ") + String(file.c_str()) + String(" cannot be downloaded"));
    onTheirWay.erase(file);
}

void FetchMissing(const std::vector<String>& paths) {
    for (const String& path : paths) {
        std::string file = orvDesktopFilePath(path).ToUtf8();
        if (file.empty() || access(file.c_str(), F_OK) == 0 || onTheirWay.count(file)) continue;
        const std::string& pending = *onTheirWay.insert(file).first;
        // The site holds data/... beside the page as the file system holds
        // ./data/... in the page's folder.
        const std::string url = file.compare(0, 2, "./") == 0 ? file.substr(2) : file;
        emscripten_async_wget_data(url.c_str(), const_cast<std::string*>(&pending), Landed, Failed);
    }
}

}  // namespace

void orvFetchMissingImages() { orvImagesWanted = FetchMissing; }

bool orvImagesOnTheirWay() { return !onTheirWay.empty(); }
