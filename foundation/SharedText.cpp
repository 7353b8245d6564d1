#include "foundation/SharedText.h"

#include <array>
#include <cstring>

namespace {

// The texts set last on this thread, the newest at next - 1.
constexpr size_t recentKept = 8;
thread_local std::array<std::shared_ptr<const std::string>, recentKept> recent;
thread_local size_t next = 0;

}  // namespace

void SharedText::set(const char* text)
{
    if (!text) {
        text_.reset();
        return;
    }
    for (const auto& candidate : recent) {
        if (candidate && std::strcmp(candidate->c_str(), text) == 0) {
            text_ = candidate;
            return;
        }
    }
    auto made = std::make_shared<const std::string>(text);
    recent[next++ % recentKept] = made;
    text_ = std::move(made);
}
