#pragma once

namespace kelvara {

// `kelvara find ...` and `kelvara replace ...` without any window. Returns the
// exit status: 0 something found or replaced, 1 nothing, 2 an error.
int RunCommandLine(int argc, char** argv);

} // namespace kelvara
