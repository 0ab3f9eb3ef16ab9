#include <cstdlib>

// The tests keep the replace journal, and all else that goes to the user's
// state folder, in the build folder, never in the home folder. Set before
// main; programs the tests start inherit it.
namespace {

[[maybe_unused]] const int kStateHome = setenv("XDG_STATE_HOME", KELVARA_TEST_STATE_HOME, 1);

} // namespace
