#pragma once
// A settings file that is there but could not be read at start. Starting over with empty settings must
// not cost the user what the file holds (network folders, their passwords, the private-files password),
// so the file is moved aside under a free name beside it before anything can be saved, and the user is
// told once, after the start, where it went. Should the move fail, the file stays where it is and the
// settings file refuses every save over it; the user is told that too.
//
// User-interface thread only. Corvane owns the object for the run.

#include <string>

#include "app/IUserEventHandler.h"

class DamagedSettings : public IUserEventHandler {
public:
    // Moves the file at path (a "/Home/" path ending in ".reg") to the first free name of
    // "<stem>-damaged-<n>.reg" in its folder.
    void KeepAside(const std::wstring& path);
    // The name the file was kept under, or empty when it could not be moved.
    const std::wstring& GetKeptName() const { return keptName_; }

    // Tells the user, once: posted by Corvane so that it shows over the main form.
    void OnUserEvent(int code) override;
    void OnUserEventEx(UserEvent*) override {}

private:
    std::wstring keptName_;
};
