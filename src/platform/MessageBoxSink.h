#pragma once

// The program's message boxes (AskUser) as modal Qt message boxes over the
// active window.
namespace kelvara {

void InstallMessageBoxSink();

} // namespace kelvara
