// Asked between units of work whether the user cancelled; a default check never aborts.
#pragma once
#include <functional>
#include <utility>

namespace strandel {

class AbortCheck {
public:
    AbortCheck() = default;
    explicit AbortCheck(std::function<bool()> check) : check_(std::move(check)) {}

    bool operator()() const { return check_ && check_(); }

private:
    std::function<bool()> check_;
};

} // namespace strandel
