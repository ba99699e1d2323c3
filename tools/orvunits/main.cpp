// orvunits: converts values and inspects the Orv Units catalogue from the command line.
#include "RunOrvUnits.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Unsynchronised streams read and write in large blocks, which the number streams need.
    std::ios::sync_with_stdio(false);
    // A stream of its own over standard output, so that the tool can send the library's
    // diagnostics on std::cout to standard error without moving its own results there.
    std::ostream out(std::cout.rdbuf());
    std::vector<std::string> args(argv + 1, argv + argc);
    return Orv::UnitsTool::RunOrvUnits(std::move(args), std::cin, out, std::cerr);
}
