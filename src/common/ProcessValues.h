#pragma once

#include <string>
#include <vector>

// Values the windows of one process share. Texts are in the text code page.
namespace kelvara {

// The open and save dialogs' filter: "description|pattern" pairs joined by "|".
extern std::string FileFilter;
// The extensions of extention.txt, such as ".txt".
extern std::vector<std::string> ExtensionList;
// Per extention.txt entry its display text followed by its extension.
extern std::vector<std::string> FilterEntries;
// The last search and replacement texts of the current-document dialog, as
// typed (UTF-8): each search encodes them in its document's code page.
extern std::string LastFindText;
extern std::string LastReplaceText;
// False while the frame opens a document or switches windows, so document
// windows ignore their activation and change events meanwhile.
extern bool DocumentEventsEnabled;

} // namespace kelvara
