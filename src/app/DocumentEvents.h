#pragma once

#include "common/ProcessValues.h"

namespace kelvara {

// Turns the document windows' activation and change events off for a scope,
// and back to what they were on every way out of it.
class DocumentEventsOff {
public:
    DocumentEventsOff() noexcept : previous_(DocumentEventsEnabled) {
        DocumentEventsEnabled = false;
    }
    ~DocumentEventsOff() { DocumentEventsEnabled = previous_; }
    DocumentEventsOff(const DocumentEventsOff&) = delete;
    DocumentEventsOff& operator=(const DocumentEventsOff&) = delete;

private:
    bool previous_;
};

} // namespace kelvara
