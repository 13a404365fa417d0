#include "Osp/Base/Runtime/Mutex.h"

namespace Osp::Base::Runtime {

result Mutex::Create() {
    return E_SUCCESS;
}

result Mutex::Acquire() {
    m_.lock();
    return E_SUCCESS;
}

result Mutex::Release() {
    m_.unlock();
    return E_SUCCESS;
}

}  // namespace Osp::Base::Runtime
