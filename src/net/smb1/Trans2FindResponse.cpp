#include "net/smb1/Trans2FindResponse.h"

#include "app/Results.h"
#include "net/WireReader.h"
#include "net/smb1/Trans2FindFirst2.h"
#include "net/smb1/Trans2FindNext2.h"

namespace {

// The fixed part of a both-directory entry; the name follows it.
const std::size_t kEntryFixedLength = 94;
const std::size_t kEntryNameLength = 60;

bool IsHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Reads the entry at `offset`, which must end within `limit` bytes of data; false when it does not.
bool ReadEntry(const unsigned char* data, std::size_t offset, std::size_t limit, SSmbFileInfo* info) {
    WireReader reader(data + offset, limit - offset);
    reader.Skip(8);  // next entry offset, file index
    info->creationTime = reader.ReadUint64();
    info->accessTime = reader.ReadUint64();
    info->writeTime = reader.ReadUint64();
    info->changeTime = reader.ReadUint64();
    info->endOfFile = reader.ReadUint64();
    info->allocationSize = reader.ReadUint64();
    info->attributes = reader.ReadUint32();
    unsigned int nameBytes = reader.ReadUint32();
    reader.SeekTo(kEntryFixedLength);
    if (nameBytes % 2 != 0) {
        reader.Fail();
    }
    info->name = reader.ReadUtf16(nameBytes / 2);
    return !reader.Failed();
}

// The name of the entry at `offset`, from which the next page resumes.
bool ReadResumeName(const unsigned char* data, std::size_t count, std::size_t offset, std::wstring* name) {
    if (offset > count) {
        return false;
    }
    WireReader reader(data + offset, count - offset);
    reader.SeekTo(kEntryNameLength);
    unsigned int nameBytes = reader.ReadUint32();
    reader.SeekTo(kEntryFixedLength);
    if (nameBytes % 2 != 0) {
        reader.Fail();
    }
    *name = reader.ReadUtf16(nameBytes / 2);
    return !reader.Failed();
}

}  // namespace

bool IsUsableEntryName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        wchar_t unit = name[i];
        if (unit == L'\\' || unit == L'/' || unit == 0) {
            return false;
        }
        if (IsHighSurrogate(unit)) {
            if (i + 1 == name.size() || !IsLowSurrogate(name[i + 1])) {
                return false;
            }
            ++i;
        } else if (IsLowSurrogate(unit)) {
            return false;
        }
    }
    return true;
}

unsigned int ParseFindResponse(const Trans2Resp& resp, TFindKind kind, SFindResponse* out) {
    unsigned short expected = kind == FIND_FIRST ? kFindFirst2ResponseParams : kFindNext2ResponseParams;
    if (resp.GetParamCount() != expected) {
        return RES_BAD_RESPONSE;
    }
    WireReader params(resp.GetParams(), resp.GetParamCount());
    out->sid = kind == FIND_FIRST ? params.ReadUint16() : 0;
    unsigned short count = params.ReadUint16();
    out->endOfSearch = params.ReadUint16() != 0;
    params.Skip(2);  // EA error offset
    unsigned short lastNameOffset = params.ReadUint16();
    if (params.Failed()) {
        return RES_BAD_RESPONSE;
    }

    const unsigned char* data = resp.GetData();
    std::size_t dataCount = resp.GetDataCount();
    out->entries.clear();
    std::size_t offset = 0;
    for (unsigned int i = 0; i < count && offset < dataCount; ++i) {
        WireReader head(data + offset, dataCount - offset);
        std::size_t next = head.ReadUint32();
        if (head.Failed() || next > dataCount - offset) {
            return RES_BAD_RESPONSE;
        }
        // An entry must end where the next one begins, so every step moves forward by a whole entry.
        std::size_t limit = next != 0 ? offset + next : dataCount;
        SSmbFileInfo info;
        if (!ReadEntry(data, offset, limit, &info)) {
            return RES_BAD_RESPONSE;
        }
        if (IsUsableEntryName(info.name)) {
            out->entries.push_back(std::move(info));
        }
        if (next == 0) {
            break;
        }
        offset += next;
    }

    out->canResume = !out->endOfSearch && lastNameOffset != 0;
    out->resumeName.clear();
    if (out->canResume && !ReadResumeName(data, dataCount, lastNameOffset, &out->resumeName)) {
        return RES_BAD_RESPONSE;
    }
    return RES_OK;
}
