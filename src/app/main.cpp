#include <cstdio>
#include <string_view>

#include "cli/CommandLine.h"
#include "cli/RunCommandLine.h"

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::string_view command = argv[1];
        if (command == "find" || command == "replace") return kelvara::RunCommandLine(argc, argv);
    }
    std::fputs(kelvara::CommandLineUsage(), stderr);
    return 2;
}
