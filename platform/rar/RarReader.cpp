#include "rar/RarReader.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace arc {

namespace {

constexpr unsigned int kBlockSize = 256 * 1024;

// UTF-8 to UTF-16 units; a byte that does not begin a well-formed sequence stands for itself.
std::wstring Utf16FromUtf8(const char* text) {
    std::wstring out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::size_t n = std::strlen(text);
    for (std::size_t i = 0; i < n;) {
        unsigned int c = p[i];
        int extra = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
        bool wellFormed = c < 0x80 || extra > 0;
        unsigned int code = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : c & 0x1F;
        for (int k = 1; wellFormed && k <= extra; ++k) {
            wellFormed = i + k < n && (p[i + k] & 0xC0) == 0x80;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if (wellFormed && extra > 0) {
            wellFormed = !(code >= 0xD800 && code < 0xE000) && code < 0x110000 &&
                         code >= (extra == 1   ? 0x80u
                                  : extra == 2 ? 0x800u
                                               : 0x10000u);
        }
        if (!wellFormed || extra == 0) {
            out.push_back(static_cast<wchar_t>(c));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(code));
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::wstring Latin1(const char* text) {
    std::wstring out;
    for (const char* p = text; *p != 0; ++p) {
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    }
    return out;
}

}  // namespace

struct RarReader::Impl {
    struct archive* a = nullptr;
    IRarSource* source = nullptr;
    std::vector<unsigned char> buffer;
    bool sourceFailed = false;

    static la_ssize_t ReadCallback(struct archive*, void* self, const void** block) {
        auto* impl = static_cast<Impl*>(self);
        *block = impl->buffer.data();
        long long got = impl->source->Read(impl->buffer.data(), kBlockSize);
        if (got < 0) {
            impl->sourceFailed = true;
            return -1;
        }
        return static_cast<la_ssize_t>(got);
    }

    static la_int64_t SeekCallback(struct archive*, void* self, la_int64_t offset, int whence) {
        auto* impl = static_cast<Impl*>(self);
        int origin = whence == SEEK_CUR ? 1 : whence == SEEK_END ? 2 : 0;
        long long position = impl->source->Seek(offset, origin);
        if (position < 0) {
            impl->sourceFailed = true;
            return ARCHIVE_FATAL;
        }
        return position;
    }

    static la_int64_t SkipCallback(struct archive* a, void* self, la_int64_t request) {
        auto* impl = static_cast<Impl*>(self);
        long long before = impl->source->Seek(0, 1);
        long long after = before < 0 ? -1 : impl->source->Seek(request, 1);
        if (after < 0) {
            impl->sourceFailed = true;
            return 0;
        }
        return after - before;
    }
};

RarReader::RarReader() : impl_(std::make_unique<Impl>()) {}

RarReader::~RarReader() {
    Close();
}

void RarReader::Close() {
    if (impl_->a != nullptr) {
        archive_read_free(impl_->a);
        impl_->a = nullptr;
    }
}

RarReader::TStatus RarReader::Failure(int code) const {
    struct archive* a = impl_->a;
    if (impl_->sourceFailed) {
        return STATUS_STOPPED;
    }
    if (a != nullptr && archive_errno(a) == ENOMEM) {
        return STATUS_NO_MEMORY;
    }
    const char* text = a != nullptr ? archive_error_string(a) : nullptr;
    // The library says so only in its message: encrypted headers and data, and methods it lacks.
    if (text != nullptr &&
        (std::strstr(text, "ncrypt") != nullptr || std::strstr(text, "nsupported") != nullptr ||
         std::strstr(text, "not supported") != nullptr)) {
        return STATUS_UNSUPPORTED;
    }
    return code == ARCHIVE_EOF ? STATUS_END : STATUS_CORRUPT;
}

RarReader::TStatus RarReader::Open(IRarSource* source) {
    Close();
    impl_->source = source;
    impl_->sourceFailed = false;
    if (impl_->buffer.empty()) {
        impl_->buffer.resize(kBlockSize);
    }
    if (source->Seek(0, 0) != 0) {
        return STATUS_STOPPED;
    }
    struct archive* a = archive_read_new();
    if (a == nullptr) {
        return STATUS_NO_MEMORY;
    }
    impl_->a = a;
    archive_read_support_format_rar(a);
    archive_read_support_format_rar5(a);
    archive_read_set_callback_data(a, impl_.get());
    archive_read_set_read_callback(a, &Impl::ReadCallback);
    archive_read_set_seek_callback(a, &Impl::SeekCallback);
    archive_read_set_skip_callback(a, &Impl::SkipCallback);
    int r = archive_read_open1(a);
    return r == ARCHIVE_OK ? STATUS_OK : Failure(r);
}

RarReader::TStatus RarReader::Next(RarItem* item) {
    if (impl_->a == nullptr) {
        return STATUS_CORRUPT;
    }
    struct archive_entry* entry = nullptr;
    int r = archive_read_next_header(impl_->a, &entry);
    if (r == ARCHIVE_EOF) {
        return STATUS_END;
    }
    if (r < ARCHIVE_WARN || entry == nullptr) {
        return Failure(r);
    }
    *item = RarItem();
    const char* utf8 = archive_entry_pathname_utf8(entry);
    const char* raw = archive_entry_pathname(entry);
    item->path = utf8 != nullptr ? Utf16FromUtf8(utf8) : raw != nullptr ? Latin1(raw) : std::wstring();
    unsigned int type = archive_entry_filetype(entry);
    item->isLink = type == AE_IFLNK || archive_entry_hardlink(entry) != nullptr;
    item->isDir = type == AE_IFDIR && !item->isLink;
    item->sizeKnown = archive_entry_size_is_set(entry) != 0 && archive_entry_size(entry) >= 0;
    item->size = item->sizeKnown ? static_cast<unsigned long long>(archive_entry_size(entry)) : 0;
    item->timeKnown = archive_entry_mtime_is_set(entry) != 0;
    item->mtime = archive_entry_mtime(entry);
    item->mtimeNsec = archive_entry_mtime_nsec(entry);
    item->encrypted = archive_entry_is_encrypted(entry) != 0;
    return STATUS_OK;
}

RarReader::TStatus RarReader::ReadData(void* data, unsigned int size, unsigned int* got) {
    *got = 0;
    if (impl_->a == nullptr) {
        return STATUS_CORRUPT;
    }
    la_ssize_t r = archive_read_data(impl_->a, data, size);
    if (r < 0) {
        return Failure(static_cast<int>(r));
    }
    *got = static_cast<unsigned int>(r);
    return r == 0 ? STATUS_END : STATUS_OK;
}

long long RarReader::HeaderPosition() const {
    return impl_->a != nullptr ? archive_read_header_position(impl_->a) : -1;
}

}  // namespace arc
