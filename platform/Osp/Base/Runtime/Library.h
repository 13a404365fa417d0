#pragma once
// A shared library loaded at run time. Construct loads it (E_FILE_NOT_FOUND when it is missing or cannot
// be loaded); GetProcAddress finds an exported symbol, null when there is none. The library stays loaded
// until the object is destroyed. Any thread may use a constructed object.

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"

namespace Osp::Base::Runtime {

class Library : public Object {
public:
    Library() = default;
    ~Library() override;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    result Construct(const String& path);
    void* GetProcAddress(const String& name) const;

private:
    void* handle_ = nullptr;
};

}  // namespace Osp::Base::Runtime
