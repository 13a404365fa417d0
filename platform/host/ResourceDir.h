#pragma once
// Where the running program finds what it sees as "/Res/": beside its own binary, so that an installed
// copy reads only its own share folder and never the folder it was built in. Called on the main thread
// before the event loop starts; the functions hold no state.

#include <string>

namespace host {

// The resource folder of the running binary: "<binary's folder>/../share/corvane" when it exists (an
// installed copy), else "<binary's folder>/res" (the build folder, where the binary lies beside it).
// When neither exists, the installed place, so that a message can name it.
std::string ResourceDirBesideBinary();

// What keeps the resource folder from serving, as a sentence for the user, or empty when it serves.
std::string ResourceProblem(const std::string& dir);

}  // namespace host
