// A scene that cannot be used: every problem found, each naming the file, the JSON path and
// what was expected there.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

namespace strandel::host {

class SceneError : public std::runtime_error {
public:
    explicit SceneError(std::vector<std::string> problems);
    const std::vector<std::string>& Problems() const { return problems_; }

private:
    std::vector<std::string> problems_;
};

} // namespace strandel::host
