#pragma once
// Asked by a volume, on the thread that reads the archive, when the archive needs a password.

#include <string>

class IPasswordListener {
public:
    // The password; empty when the user gave none or cancelled.
    virtual std::wstring OnGetPassword() = 0;

protected:
    ~IPasswordListener() = default;
};
