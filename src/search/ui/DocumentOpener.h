#pragma once

#include <string>

namespace kelvara {

class TMemoComponent;

// How the batch window reaches the documents of the frame to open a hit.
class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    // Opens the file as a document window, or activates the window that
    // already shows it, with its plain page in front and its plain view
    // focused. Returns that plain view, or nullptr when the file could not be
    // opened (the frame has told the user why).
    virtual TMemoComponent* OpenPlainView(const std::string& path) = 0;
};

} // namespace kelvara
