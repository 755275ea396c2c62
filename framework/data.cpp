#include "framework/data.h"

String orv_data_FixDataPath(String path) {
    // A scheme is a name followed directly by ":/"; "c/d:/e" has a "/"
    // earlier and so is a relative name.
    const int colon = path.Find(String(":/"));
    if (colon != -1 && path.Find(String("/")) == colon + 1) return path;
    if (path.Length() >= 1 && path[0] == u'/') return path;
    if (path.Length() >= 2 && path[0] == u'.' && path[1] == u'/') return path;
    return String("quarlo://data/") + path;
}
