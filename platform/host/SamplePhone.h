#pragma once
// The data root's folders. A root that does not exist yet gets "Home" and "Media" (and, unless the card is
// left out, "Storagecard/Media") so that the program starts on a usable phone.

namespace host {

struct SampleOptions {
    bool card = true;
};

void PrepareDataRoot(const SampleOptions& options);

}  // namespace host
