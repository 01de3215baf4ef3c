// Writes the benchmark form of N pages as NAME.zent and NAME.ps:
//     make_form N NAME
#include "formgen.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 3 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: make_form PAGES NAME   (writes NAME.zent and NAME.ps)\n");
        return 2;
    }
    const int pages = std::atoi(argv[1]);
    const std::string name = argv[2];
    std::ofstream(name + ".zent", std::ios::binary) << formgen::CommandText(pages);
    std::ofstream(name + ".ps", std::ios::binary) << formgen::PostScript(pages);
    return 0;
}
