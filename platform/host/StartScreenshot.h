#pragma once
// A picture of the window shortly after start, for checks of an installed copy and for documentation:
// `--screenshot FILE` saves what the window shows once the first screen has settled, then ends the run.
// Both functions run on the main thread; the second after the frame is shown, inside the event loop's
// setup.

#include <string>

namespace host {

// Remembers where the picture goes; an empty path asks for none.
void AskStartScreenshot(const std::string& hostPath);
// Takes the picture asked for, if any, once the event loop has run a while, and quits the loop.
void ArrangeStartScreenshot();

}  // namespace host
