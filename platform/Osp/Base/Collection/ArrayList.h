#pragma once

#include <vector>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"

namespace Osp::Base::Collection {

// An ordered list of object pointers. The list does not own its elements unless RemoveAll(true) is
// called, which deletes them.
class IList {
public:
    virtual ~IList() = default;
    virtual int GetCount() const = 0;
    virtual Object* GetAt(int index) const = 0;
};

class ArrayList : public IList, public Object {
public:
    ArrayList() = default;
    ~ArrayList() override = default;
    result Construct(int capacity = 10);
    result Add(Object* element);
    int GetCount() const override { return static_cast<int>(items_.size()); }
    Object* GetAt(int index) const override;
    void RemoveAll(bool deleteElements);

private:
    std::vector<Object*> items_;
};

}  // namespace Osp::Base::Collection
