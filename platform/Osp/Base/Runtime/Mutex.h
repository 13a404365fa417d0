#pragma once

#include <memory>
#include <mutex>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"

namespace Osp::Base::Runtime {

// A non-recursive lock for any thread.
class Mutex : public Object {
public:
    result Create();
    result Acquire();
    result Release();

private:
    std::mutex m_;
};

}  // namespace Osp::Base::Runtime
