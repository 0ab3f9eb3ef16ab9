#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <dlfcn.h>
#include <unistd.h>

#include "cli/CommandLine.h"
#include "cli/RunCommandLine.h"
#include "cli/UndoCommand.h"
#include "common/AppPaths.h"

// The program: the command line runs here, without the toolkit. The window
// part, and the toolkit with it, is a module loaded only to open the window,
// so that `kelvara find` starts in 2 ms instead of 10.
namespace {

// Where the window part lies: beside the program in the build folder, in the
// library folder once installed (KELVARA_WINDOW_MODULE, relative to the
// program's folder).
constexpr const char* kWindowModule = "kelvara-window.so";

bool IsOption(std::string_view argument) { return argument.size() > 1 && argument[0] == '-'; }

// Without a display the window cannot open; say so instead of letting the
// toolkit abort.
bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

int OpenWindow(int argc, char** argv) {
    const std::string folder = kelvara::ExeDirectory();
    for (const std::string& path : {folder + kWindowModule, folder + KELVARA_WINDOW_MODULE}) {
        if (access(path.c_str(), F_OK) != 0) continue;
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        void* entry = module != nullptr ? dlsym(module, "KelvaraWindowMain") : nullptr;
        if (entry == nullptr) {
            std::fprintf(stderr, "kelvara: cannot load the window part: %s\n", dlerror());
            return 2;
        }
        return reinterpret_cast<int (*)(int, char**)>(entry)(argc, argv);
    }
    std::fprintf(stderr, "kelvara: the window part (%s) is missing beside %s\n", kWindowModule,
                 folder.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::string_view command = argv[1];
        if (command == "find" || command == "replace") return kelvara::RunCommandLine(argc, argv);
        if (command == "undo") return kelvara::RunUndoCommand(argc, argv);
        if (IsOption(command)) {
            std::fputs(kelvara::CommandLineUsage(), command == "--help" ? stdout : stderr);
            return command == "--help" ? 0 : 2;
        }
    }
    if (!HasDisplay()) {
        std::fputs("kelvara: no display to open the window on\n", stderr);
        std::fputs(kelvara::CommandLineUsage(), stderr);
        return 2;
    }
    return OpenWindow(argc, argv);
}
