// tolvan-make-samples DIR: writes a demo folder of device recordings into DIR
// (made if missing). The output is the same on every run.

#include <cstdio>

#include "tools/SampleFolder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tolvan-make-samples DIR\n");
        return 1;
    }
    if (!WriteSampleFolder(argv[1])) {
        std::fprintf(stderr, "tolvan-make-samples: cannot write the recordings into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
