#pragma once
// The one private keyring of the test process, made on first use (see PrivateKeyring.h for why there is
// only one).

#include "PrivateKeyring.h"

inline PrivateKeyring& SharedKeyring() {
    static PrivateKeyring keyring;
    keyring.UseBus();
    return keyring;
}
