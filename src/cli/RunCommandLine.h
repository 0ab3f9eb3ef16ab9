#pragma once

namespace kelvara {

// `kelvara find ...` and `kelvara replace ...` without any window. The exit
// status: 0 something found or replaced, 1 nothing, 2 an error. A run that
// got as far as searching ends the process with it; otherwise it is returned.
int RunCommandLine(int argc, char** argv);

} // namespace kelvara
