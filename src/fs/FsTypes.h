#pragma once
// Values shared by every storage kind: the browser kinds, the capability bits a browser answers through
// CapableOf, the type flags of a directory entry, and how files are opened and positioned.

enum TBrowserKind {
    BROWSER_LOCAL = 1,
    BROWSER_SMB = 2,
    BROWSER_ARCHIVE = 3,
};

// A browser has a capability when every bit of the asked mask is among its bits.
enum TBrowserCapability {
    CAP_ENUM_TIMES = 0x01,     // enumerations can report modification times worth copying
    CAP_WRITE = 0x02,          // entries can be created, renamed, deleted and written
    CAP_CREATE_FOLDER = 0x04,  // with CAP_WRITE: the user may make new folders here
    CAP_FILE_IO = 0x08,        // CreateFileA works: files can be copied block by block
    CAP_SYNC_FILE = 0x10,      // CreateSyncFileN works
    CAP_STREAM = 0x20,         // files are read as a stream with ExtractFileA
};

// Flags of IFsDirEntry::GetType; they combine.
enum TEntryType {
    ENTRY_DIRECTORY = 0x01,
    ENTRY_HIDDEN = 0x02,  // hidden by the storage's attribute, or by the browser itself
    ENTRY_READONLY = 0x04,
    ENTRY_LINK = 0x08,     // a symbolic link: shown as what it points to, never entered by a walk
    ENTRY_SPECIAL = 0x10,  // neither a regular file nor a folder (a pipe, socket or device): never opened
};

// How a file is opened. 0 is not a valid request; a browser answers it with its platform's error.
enum TFileMode {
    FILE_MODE_READ = 1,    // read only; the file must exist
    FILE_MODE_WRITE = 2,   // read and write; TFileDisp decides about creation
    FILE_MODE_APPEND = 3,  // read and append at the end; created when missing
};

// What FILE_MODE_WRITE does with an existing or missing file; the other modes ignore it.
enum TFileDisp {
    FILE_DISP_OPEN_EXISTING = 1,  // the file must exist; position 0
    FILE_DISP_CREATE_NEW = 2,     // the file must not exist
    FILE_DISP_CREATE_ALWAYS = 3,  // created, or truncated to length 0
};

// The origin of a seek; any other value counts as POS_BEGIN.
enum TPosition {
    POS_BEGIN = 0,
    POS_CURRENT = 1,
    POS_END = 2,
};
