// Writes the default skin that the game paints at its first start into a program folder
// of its own, so that a folder installed read-only has it as well.
//
//   make_default_skin FILE.bmp
#include "app/bitmap.h"
#include "app/defaultskin.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_default_skin FILE.bmp\n");
        return 2;
    }
    if (!lumor::writeBmp(argv[1], lumor::composeDefaultSkin())) {
        std::fprintf(stderr, "make_default_skin: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
