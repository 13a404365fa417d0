#include "Osp/Base/Collection/ArrayList.h"

#include <cstddef>

namespace Osp::Base::Collection {

result ArrayList::Construct(int capacity) {
    if (capacity < 0) {
        return E_INVALID_ARG;
    }
    items_.reserve(static_cast<size_t>(capacity));
    return E_SUCCESS;
}

result ArrayList::Add(Object* element) {
    items_.push_back(element);
    return E_SUCCESS;
}

Object* ArrayList::GetAt(int index) const {
    if (index < 0 || index >= GetCount()) {
        SetLastResult(E_OUT_OF_RANGE);
        return nullptr;
    }
    return items_[static_cast<size_t>(index)];
}

void ArrayList::RemoveAll(bool deleteElements) {
    if (deleteElements) {
        for (Object* o : items_) {
            delete o;
        }
    }
    items_.clear();
}

}  // namespace Osp::Base::Collection
