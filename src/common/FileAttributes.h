#pragma once

#include <string>

namespace kelvara {

// Extended attributes of a file that is being replaced by a new one. ACLs are
// the system.posix_acl_* attributes, so copying every attribute keeps them
// too. On systems without extended attributes these keep nothing and succeed.

// Gives the open file `toFd` exactly the attributes of `fromPath` (not a
// link): copies each one and removes those `toFd` got elsewhere (an ACL
// inherited from the folder's default ACL). The file capability is left out:
// writing the content would drop it again (CopyFileCapability). False, with
// errno set, when an attribute cannot be kept.
bool CopyExtendedAttributes(const std::string& fromPath, int toFd);

// Sets the file capability (security.capability) of `fromPath` on `toFd`,
// when it has one; to be called after the content is written.
bool CopyFileCapability(const std::string& fromPath, int toFd);

} // namespace kelvara
