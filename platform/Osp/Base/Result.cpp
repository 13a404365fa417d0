#include "Osp/Base/Result.h"

namespace Osp::Base {
namespace {
thread_local result t_lastResult = E_SUCCESS;
}

result GetLastResult() {
    return t_lastResult;
}
void SetLastResult(result r) {
    t_lastResult = r;
}

}  // namespace Osp::Base
