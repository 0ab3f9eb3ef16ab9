#include "common/ProcessValues.h"

namespace kelvara {

std::string FileFilter;
std::vector<std::string> ExtensionList;
std::vector<std::string> FilterEntries;
std::string LastFindText;
std::string LastReplaceText;
bool DocumentEventsEnabled = false;

} // namespace kelvara
