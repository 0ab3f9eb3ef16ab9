#pragma once

namespace kelvara {

// `kelvara undo [--list] [RUN]`: takes back a batch replace from its journal,
// or lists the runs the journal holds. Returns the exit status.
int RunUndoCommand(int argc, char** argv);

} // namespace kelvara
