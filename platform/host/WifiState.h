#pragma once
// The Wi-Fi state that the platform reports; on by default. Tests switch it to see the system ask.

namespace host {

struct WifiState {
    bool activated = true;
    bool connected = true;
};

WifiState& Wifi();

}  // namespace host
