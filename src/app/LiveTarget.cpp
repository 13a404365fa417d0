#include "app/LiveTarget.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace {

struct LiveTable {
    std::mutex lock;
    std::unordered_map<const LiveTarget*, LiveTarget::Token> tokens;  // guarded by lock
};

LiveTable& Table() {
    // Never destroyed: targets with static storage may outlive any ordinary static object.
    static LiveTable* table = new LiveTable;
    return *table;
}

LiveTarget::Token NextToken() {
    static std::atomic<LiveTarget::Token> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

LiveTarget::LiveTarget() : token_(NextToken()) {
    LiveTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.tokens[this] = token_;
}

LiveTarget::LiveTarget(const LiveTarget&) : LiveTarget() {}

LiveTarget::~LiveTarget() {
    LiveTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.tokens.erase(this);
}

bool LiveTarget::IsAlive(const LiveTarget* target, Token token) {
    LiveTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.tokens.find(target);
    return it != table.tokens.end() && it->second == token;
}
