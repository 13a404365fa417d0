#pragma once
// Files of the media folders ("/Media/", "/Storagecard/Media/") are added, renamed and deleted through the
// phone's media database, so that the phone's own applications keep seeing them. Each call may block
// its thread for about two seconds while the database answers busy. Called on the user-interface thread.

#include <string>

#include "Osp/Content/ContentManager.h"
#include "Osp/Content/ContentTypes.h"

class LocalContent {
public:
    explicit LocalContent(Osp::Content::ContentManager& manager) : manager_(manager) {}

    // Registers the file at path as the content kind its file type calls for; *id gets the identifier, or
    // the invalid one when the result is not 0.
    unsigned long DoCreateLocalContent(const std::wstring& path, Osp::Content::ContentId* id);
    // Forgets a registered content; the database deletes its file.
    unsigned long DoDeleteLocalContent(const Osp::Content::ContentId& id);
    // Moves a media file to newPath and registers it there instead of at oldPath.
    unsigned long RenameLocalFile(const std::wstring& oldPath, const std::wstring& newPath);
    // Deletes a media file, including one whose format the database refuses.
    unsigned long DeleteLocalFile(const std::wstring& path);

private:
    Osp::Content::ContentManager& manager_;
};
