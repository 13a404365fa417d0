#pragma once
// What was copied or cut, and from where: a source browser and folder, files with their listed sizes and
// times, links (to a file or to a folder, never followed), and folder names. The clipboard holds a reference
// to its browser while it lives; the browsers of network folders ignore references, so the application
// empties the clipboard before a folder's browser that it rests on goes (app/FolderTies.h). Used on the
// user-interface thread only.

#include <string>
#include <vector>

#include "Osp/Base/DateTime.h"

class IFsBrowser;

class Clipboard {
public:
    enum TMode {
        MODE_OPEN = 1,  // fetch into local storage for viewing
        MODE_COPY = 2,
        MODE_CUT = 3,
    };

    struct SFile {
        std::wstring name;
        std::wstring dstName;  // the name at the destination; empty for the same name
        unsigned long long size = 0;
        Osp::Base::DateTime date;
        bool link = false;  // a link, transferred as a link
    };

    // dir is the source folder as its GetName(false) gives it, beginning with the browser's separator.
    Clipboard(int mode, IFsBrowser* browser, const std::wstring& dir);
    ~Clipboard();
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;

    void AddFile(const std::wstring& name, unsigned long long size, const Osp::Base::DateTime& date,
                 const std::wstring& dstName);
    void AddLink(const std::wstring& name, const Osp::Base::DateTime& date);
    // Kept with the separator appended.
    void AddFolder(const std::wstring& name);

    int GetMode() const { return mode_; }
    IFsBrowser* GetBrowser() const { return browser_; }
    const std::wstring& GetDir() const { return dir_; }
    unsigned long long GetTotalSize() const { return totalSize_; }
    const std::vector<SFile>& GetFiles() const { return files_; }
    const std::vector<std::wstring>& GetFolders() const { return folders_; }
    bool IsEmpty() const { return files_.empty() && folders_.empty(); }

private:
    int mode_;
    IFsBrowser* browser_;
    std::wstring dir_;
    unsigned long long totalSize_ = 0;
    std::vector<SFile> files_;
    std::vector<std::wstring> folders_;
};
