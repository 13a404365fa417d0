#pragma once
// Receives what a FileWalker finds, on the user-interface thread, in walk order: a folder is announced,
// then every entry of it, then its sub-folders one by one, then it is left. The listener may hold the walk
// at a folder boundary by answering false and resume it later with FileWalker::ContinueA.

#include <string>

class IFsDirEntry;

class IWalkerListener {
public:
    // A folder (path ends in the separator) is about to be opened; false holds the walk before it.
    virtual bool OnEnterFolder(const std::wstring& path) = 0;
    // One entry of the folder being listed, the root excepted; the listener owns and deletes it, and
    // must copy what it keeps, since the entry may read its enumerator's current position.
    virtual void OnItemFound(const IFsDirEntry* entry) = 0;
    // The folder and everything below it have been visited; false holds the walk after it.
    virtual bool OnExitFolder(const std::wstring& path) = 0;
    // The walk is over: 0, RES_CANCELLED after StopA, or the failing operation's result. The listener
    // may delete the walker inside this call.
    virtual void OnFsWalkFinished(unsigned long result) = 0;

protected:
    ~IWalkerListener() = default;
};
