// Asset names to data paths.
#pragma once
#include "runtime/string.h"

// A plain relative name becomes "quarlo://data/" + name; a URL with a
// scheme, or a path beginning with "./" or "/", is used as given.
String orv_data_FixDataPath(String path);
