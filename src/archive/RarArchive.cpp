#include "archive/RarArchive.h"

#include <new>

#include "archive/ArcValue.h"

namespace {

using namespace arclib;

// More items than the folder tree can index are refused.
constexpr std::size_t kMaxItems = 0xF0000000;
constexpr unsigned int kBlockSize = 256 * 1024;
// Seconds between 1601 and 1970, the two epochs of file times.
constexpr long long kEpochDelta = 11644473600LL;

HRESULT Failure(arc::RarReader::TStatus status) {
    switch (status) {
        case arc::RarReader::STATUS_UNSUPPORTED:
            return E_NOTIMPL;
        case arc::RarReader::STATUS_NO_MEMORY:
            return E_OUTOFMEMORY;
        case arc::RarReader::STATUS_STOPPED:
            return E_ABORT;
        default:
            return S_FALSE;
    }
}

}  // namespace

class RarArchive::Source : public arc::IRarSource {
public:
    explicit Source(IInStream* stream) : stream_(stream) {}

    long long Read(void* data, unsigned int size) override {
        std::uint32_t got = 0;
        return stream_->Read(data, size, &got) == S_OK && got <= size ? static_cast<long long>(got) : -1;
    }
    long long Seek(long long offset, int origin) override {
        std::uint64_t position = 0;
        if (stream_->Seek(offset, static_cast<std::uint32_t>(origin), &position) != S_OK ||
            position > static_cast<std::uint64_t>(INT64_MAX)) {
            return -1;
        }
        return static_cast<long long>(position);
    }

private:
    IInStream* stream_;
};

RarArchive::RarArchive() = default;

RarArchive::~RarArchive() {
    Close();
}

HRESULT RarArchive::QueryInterface(const GUID& iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IInArchive) {
        *out = this;
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG RarArchive::AddRef() {
    return ++refCount_;
}

ULONG RarArchive::Release() {
    ULONG left = --refCount_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT RarArchive::Open(IInStream* stream, const std::uint64_t*, IArchiveOpenCallback*) {
    Close();
    stream_ = stream;
    stream_->AddRef();
    source_ = std::make_unique<Source>(stream_);
    try {
        buffer_.resize(kBlockSize);
        return ReadItems();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT RarArchive::ReadItems() {
    arc::RarReader::TStatus status = reader_.Open(source_.get());
    long long last = -1;
    while (status == arc::RarReader::STATUS_OK) {
        arc::RarItem item;
        status = reader_.Next(&item);
        if (status != arc::RarReader::STATUS_OK) {
            break;
        }
        // A header that does not lie past the last one would have the listing go round for ever.
        long long position = reader_.HeaderPosition();
        if (position <= last || items_.size() >= kMaxItems) {
            return S_FALSE;
        }
        last = position;
        items_.push_back(std::move(item));
    }
    return status == arc::RarReader::STATUS_END ? S_OK : Failure(status);
}

HRESULT RarArchive::Close() {
    reader_.Close();
    items_.clear();
    source_.reset();
    if (stream_ != nullptr) {
        stream_->Release();
        stream_ = nullptr;
    }
    return S_OK;
}

HRESULT RarArchive::GetNumberOfItems(std::uint32_t* numItems) {
    *numItems = static_cast<std::uint32_t>(items_.size());
    return S_OK;
}

HRESULT RarArchive::GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) {
    value->vt = VT_EMPTY;
    if (index >= items_.size()) {
        return E_INVALIDARG;
    }
    const arc::RarItem& item = items_[index];
    switch (propId) {
        case kpidPath:
            value->bstrVal = AllocBstr(item.path);
            if (value->bstrVal == nullptr) {
                return E_OUTOFMEMORY;
            }
            value->vt = VT_BSTR;
            break;
        case kpidIsDir:
        case kpidEncrypted:
            value->vt = VT_BOOL;
            value->boolVal = (propId == kpidIsDir ? item.isDir : item.encrypted) ? -1 : 0;
            break;
        case kpidSize:
            if (item.sizeKnown) {
                value->vt = VT_UI8;
                value->uhVal = item.size;
            }
            break;
        case kpidMTime:
            if (item.timeKnown && item.mtime > -kEpochDelta) {
                unsigned long long ticks =
                    static_cast<unsigned long long>(item.mtime + kEpochDelta) * 10000000ULL +
                    static_cast<unsigned long long>(item.mtimeNsec / 100);
                value->vt = VT_FILETIME;
                value->filetime.dwLowDateTime = static_cast<std::uint32_t>(ticks);
                value->filetime.dwHighDateTime = static_cast<std::uint32_t>(ticks >> 32);
            }
            break;
        default:
            break;
    }
    return S_OK;
}

HRESULT RarArchive::Extract(const std::uint32_t* indices, std::uint32_t numItems, std::int32_t testMode,
                            IArchiveExtractCallback* extractCallback) {
    if (testMode != 0 || stream_ == nullptr) {
        return E_NOTIMPL;
    }
    for (std::uint32_t i = 0; i < numItems; ++i) {
        if (HRESULT h = ExtractOne(indices[i], extractCallback); h != S_OK) {
            return h;
        }
    }
    return S_OK;
}

HRESULT RarArchive::ExtractOne(std::uint32_t index, IArchiveExtractCallback* callback) {
    if (index >= items_.size()) {
        return E_INVALIDARG;
    }
    // The reader only goes forward: the archive is read again from its start up to the item.
    arc::RarReader::TStatus status = reader_.Open(source_.get());
    arc::RarItem item;
    for (std::uint32_t n = 0; status == arc::RarReader::STATUS_OK && n <= index; ++n) {
        status = reader_.Next(&item);
    }
    if (status != arc::RarReader::STATUS_OK) {
        HRESULT h = Failure(status);
        return h == S_FALSE ? E_FAIL : h;
    }
    ISequentialOutStream* out = nullptr;
    if (HRESULT h = callback->GetStream(index, &out, kExtract); h != S_OK) {
        return h;
    }
    if (HRESULT h = callback->PrepareOperation(kExtract); h != S_OK) {
        if (out != nullptr) {
            out->Release();
        }
        return h;
    }
    std::int32_t opRes = kOpOk;
    HRESULT h = S_OK;
    if (item.encrypted || items_[index].encrypted) {
        opRes = kOpUnsupportedMethod;
    } else if (out != nullptr) {
        h = CopyData(out, callback, &opRes);
    }
    if (out != nullptr) {
        out->Release();
    }
    return h != S_OK ? h : callback->SetOperationResult(opRes);
}

HRESULT RarArchive::CopyData(ISequentialOutStream* out, IArchiveExtractCallback* callback,
                             std::int32_t* opRes) {
    std::uint64_t done = 0;
    for (;;) {
        unsigned int got = 0;
        arc::RarReader::TStatus status = reader_.ReadData(buffer_.data(), kBlockSize, &got);
        if (status == arc::RarReader::STATUS_END) {
            return S_OK;
        }
        if (status != arc::RarReader::STATUS_OK) {
            HRESULT h = Failure(status);
            if (h == S_FALSE || h == E_NOTIMPL) {
                *opRes = h == E_NOTIMPL ? kOpUnsupportedMethod : kOpDataError;
                return S_OK;
            }
            return h;
        }
        for (unsigned int offset = 0; offset < got;) {
            std::uint32_t taken = 0;
            HRESULT h = out->Write(buffer_.data() + offset, got - offset, &taken);
            if (h != S_OK) {
                return h;
            }
            if (taken == 0 || taken > got - offset) {
                return E_FAIL;
            }
            offset += taken;
        }
        done += got;
        if (HRESULT h = callback->SetCompleted(&done); h != S_OK) {
            return h;
        }
    }
}

HRESULT RarArchive::GetArchiveProperty(PROPID, PROPVARIANT* value) {
    value->vt = VT_EMPTY;
    return S_OK;
}

HRESULT RarArchive::GetNumberOfProperties(std::uint32_t* numProps) {
    *numProps = 0;
    return S_OK;
}

HRESULT RarArchive::GetPropertyInfo(std::uint32_t, BSTR*, PROPID*, VARTYPE*) {
    return E_NOTIMPL;
}

HRESULT RarArchive::GetNumberOfArchiveProperties(std::uint32_t* numProps) {
    *numProps = 0;
    return S_OK;
}

HRESULT RarArchive::GetArchivePropertyInfo(std::uint32_t, BSTR*, PROPID*, VARTYPE*) {
    return E_NOTIMPL;
}
