#pragma once
// What the asynchronous and the synchronous local file share: how a request opens the platform file, the
// read loop, and the seek origins. Any thread may call these for a file it holds.

#include <string>

#include "Osp/Base/String.h"
#include "Osp/Io/File.h"
#include "fs/FsTypes.h"

// Opens file at path for mode and disposition. FILE_DISP_CREATE_NEW fails with 0xA0000642 for a file
// that is already there, before anything is opened; an invalid mode or disposition gets the platform's
// answer to an empty open mode.
unsigned long OpenLocalFile(Osp::Io::File& file, const std::wstring& path, TFileMode mode, TFileDisp disp);

// Reads until size bytes are in or the platform gives nothing more. *count gets what was read in any
// case; the end of the file is not a failure.
unsigned long ReadLocalFile(Osp::Io::File& file, void* buffer, unsigned int size, unsigned int* count);

// One platform write; *count is size on success and 0 on failure.
unsigned long WriteLocalFile(Osp::Io::File& file, const void* buffer, unsigned int size, unsigned int* count);

unsigned long SeekLocalFile(Osp::Io::File& file, TPosition origin, int offset);

// The position, or 0 when the platform cannot tell.
unsigned long long TellLocalFile(const Osp::Io::File& file);
