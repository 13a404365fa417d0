#pragma once
// The fixed English texts that show counts, sizes and durations on screen. Any thread may call these; the
// numbers never depend on the host's locale.

#include "Osp/Base/String.h"
#include "Osp/Base/TimeSpan.h"

// "999999", "1.0 mln", "2.5 bln".
Osp::Base::String FormatCount64(unsigned long long n);
// "1023 bytes", "1.00 KB", "1.50 MB", "2.00 GB".
Osp::Base::String FormatSize64(unsigned long long n);
// FormatSize64, followed by the exact count, as in "1.00 KB (1025 bytes)", for sizes above 1 KB.
void FormatFileSize(Osp::Base::String* out, unsigned long long n);
// "3 files, 2 folders", "1 files", "2 folders", or empty when both are 0.
Osp::Base::String FilesAndFoldersToStr(unsigned int files, unsigned int folders);
// "1 day 2 h 0 m 5 s ", "1 m 30 s ", "7 s ": leading parts that are 0 are left out; seconds always show;
// every text ends in a space.
Osp::Base::String TimeSpanToString(const Osp::Base::TimeSpan& span);
