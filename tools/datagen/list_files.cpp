// Prints the generator's file list, one path a line. The build compiles and
// runs it while configuring, to know every file the generator will write.
#include <cstdio>

#include "tools/datagen/data_files.h"

int main() {
    for (const std::string& file : DataFiles()) std::printf("%s\n", file.c_str());
    return 0;
}
