#include "host/ui/MessageBoxHooks.h"

namespace host {

std::deque<int>& PlannedMessageBoxAnswers() {
    static std::deque<int> answers;
    return answers;
}

std::vector<MessageBoxRecord>& MessageBoxLog() {
    static std::vector<MessageBoxRecord> log;
    return log;
}

}  // namespace host
