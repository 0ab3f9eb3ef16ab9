#include <cstdlib>

// Qt test programs draw on the offscreen platform unless the runner chose
// another one, so they never need a display. Set before main, ahead of any
// QApplication a test creates.
namespace {

[[maybe_unused]] const int kOffscreen = setenv("QT_QPA_PLATFORM", "offscreen", 0);

} // namespace
