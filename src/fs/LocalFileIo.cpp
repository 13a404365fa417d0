#include "fs/LocalFileIo.h"

#include <climits>

#include "app/Results.h"

namespace {

const wchar_t* OpenModeFor(TFileMode mode, TFileDisp disp) {
    if (mode == FILE_MODE_READ) {
        return L"r";
    }
    if (mode >= FILE_MODE_APPEND) {
        return L"a+";
    }
    if (mode != FILE_MODE_WRITE || disp < FILE_DISP_OPEN_EXISTING) {
        return L"";
    }
    return disp == FILE_DISP_OPEN_EXISTING ? L"r+" : L"w+";
}

}  // namespace

unsigned long OpenLocalFile(Osp::Io::File& file, const std::wstring& path, TFileMode mode, TFileDisp disp) {
    Osp::Base::String platformPath(path);
    if (mode == FILE_MODE_WRITE && disp == FILE_DISP_CREATE_NEW && Osp::Io::File::IsFileExist(platformPath)) {
        return RES_ALREADY_EXISTS;
    }
    return file.Construct(platformPath, OpenModeFor(mode, disp));
}

unsigned long ReadLocalFile(Osp::Io::File& file, void* buffer, unsigned int size, unsigned int* count) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    unsigned int total = 0;
    unsigned long r = RES_OK;
    while (total < size) {
        unsigned int want = size - total;
        int got = file.Read(bytes + total, want > INT_MAX ? INT_MAX : static_cast<int>(want));
        r = Osp::Base::GetLastResult();
        if (got <= 0) {
            break;
        }
        total += static_cast<unsigned int>(got);
    }
    *count = total;
    return r == RES_END_OF_FILE ? RES_OK : r;
}

unsigned long WriteLocalFile(Osp::Io::File& file, const void* buffer, unsigned int size,
                             unsigned int* count) {
    unsigned long r = size > INT_MAX ? RES_FAILURE : file.Write(buffer, static_cast<int>(size));
    *count = r == RES_OK ? size : 0;
    return r;
}

unsigned long SeekLocalFile(Osp::Io::File& file, TPosition origin, int offset) {
    Osp::Io::FileSeekPosition position = origin == POS_CURRENT ? Osp::Io::FILESEEKPOSITION_CURRENT
                                         : origin == POS_END   ? Osp::Io::FILESEEKPOSITION_END
                                                               : Osp::Io::FILESEEKPOSITION_BEGIN;
    return file.Seek(position, offset);
}

unsigned long long TellLocalFile(const Osp::Io::File& file) {
    long long position = file.Tell();
    return position < 0 ? 0 : static_cast<unsigned long long>(position);
}
