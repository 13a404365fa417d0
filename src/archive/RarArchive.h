#pragma once
// The archive library's handler interface over the RAR reader of the platform, so that RAR volumes share
// everything else with the other formats. Opening lists every item once; extracting an item reads the
// archive again from its start up to that item. The reader cannot decrypt: an encrypted item ends with
// "unsupported method", an archive with encrypted headers fails to open the same way, and no password is
// ever asked. Every read must make progress: item headers must move forward in the file, and the item
// count is bounded. One thread at a time; reference counted.

#include <atomic>
#include <memory>
#include <vector>

#include "archive/ArcInterfaces.h"
#include "rar/RarReader.h"

class RarArchive final : public arclib::IInArchive {
public:
    RarArchive();

    arclib::HRESULT QueryInterface(const arclib::GUID& iid, void** out) override;
    arclib::ULONG AddRef() override;
    arclib::ULONG Release() override;
    arclib::HRESULT Open(arclib::IInStream* stream, const std::uint64_t* maxCheckStartPosition,
                         arclib::IArchiveOpenCallback* openCallback) override;
    arclib::HRESULT Close() override;
    arclib::HRESULT GetNumberOfItems(std::uint32_t* numItems) override;
    arclib::HRESULT GetProperty(std::uint32_t index, arclib::PROPID propId,
                                arclib::PROPVARIANT* value) override;
    arclib::HRESULT Extract(const std::uint32_t* indices, std::uint32_t numItems, std::int32_t testMode,
                            arclib::IArchiveExtractCallback* extractCallback) override;
    arclib::HRESULT GetArchiveProperty(arclib::PROPID propId, arclib::PROPVARIANT* value) override;
    arclib::HRESULT GetNumberOfProperties(std::uint32_t* numProps) override;
    arclib::HRESULT GetPropertyInfo(std::uint32_t index, arclib::BSTR* name, arclib::PROPID* propId,
                                    arclib::VARTYPE* varType) override;
    arclib::HRESULT GetNumberOfArchiveProperties(std::uint32_t* numProps) override;
    arclib::HRESULT GetArchivePropertyInfo(std::uint32_t index, arclib::BSTR* name, arclib::PROPID* propId,
                                           arclib::VARTYPE* varType) override;

private:
    class Source;
    ~RarArchive();
    arclib::HRESULT ReadItems();
    arclib::HRESULT ExtractOne(std::uint32_t index, arclib::IArchiveExtractCallback* callback);
    arclib::HRESULT CopyData(arclib::ISequentialOutStream* out, arclib::IArchiveExtractCallback* callback,
                             std::int32_t* opRes);

    std::atomic<arclib::ULONG> refCount_{1};
    arclib::IInStream* stream_ = nullptr;
    std::unique_ptr<Source> source_;
    arc::RarReader reader_;
    std::vector<arc::RarItem> items_;
    std::vector<unsigned char> buffer_;
};
