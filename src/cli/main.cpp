#include <iostream>

#include "cli/app.h"

#ifdef _WIN32
#include <io.h>
#define VARNIX_ISATTY _isatty
#else
#include <unistd.h>
#define VARNIX_ISATTY isatty
#endif

int main(int argc, char** argv) {
    varnix::cli::Streams streams{std::cout, std::cerr, std::cin, VARNIX_ISATTY(2) != 0,
                                 VARNIX_ISATTY(0) != 0};
    return varnix::cli::RunVarnix(argc, argv, streams);
}
