#pragma once
// The user's data home: $XDG_DATA_HOME when it is an absolute path, else ~/.local/share (host bytes). It
// holds the private files' folder on the user's storage and the home trash. Any thread.

#include <string>

namespace host {

std::string DataHome();

}  // namespace host
