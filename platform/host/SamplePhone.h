#pragma once
// The places' folders at start. A data root (--root) that does not exist yet gets a sample phone: "Home" and
// "Media" (and, unless the card is left out, "Storagecard/Media") with a few files, so that the program
// starts on a usable phone. On the user's real storage only the private folder is made, when missing.

namespace host {

struct SampleOptions {
    bool card = true;
};

void PrepareDataRoot(const SampleOptions& options);

}  // namespace host
