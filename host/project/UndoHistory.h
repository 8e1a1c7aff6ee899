// Undo groups as the compositor keeps them: while a group is open, every property a change
// touches is remembered as it was before the group's first change to it, and undoing the last
// group puts all of them back.
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/project/Project.h"

namespace strandel::host {

class UndoHistory {
public:
    // Groups nest; only the outermost one is recorded.
    void Begin(const std::string& name);
    // False when no group is open.
    bool End();
    bool IsOpen() const { return depth_ > 0; }
    // Called before every change to a layer's Position.
    void WillChangePosition(const Layer& layer);

    std::size_t GroupCount() const { return done_.size(); }
    const std::string& LastGroupName() const { return done_.back().name; }
    // Restores the last closed group; false when there is none.
    bool UndoLast(Project& project);
    void Clear();

private:
    struct Group {
        std::string name;
        std::vector<std::pair<A_long, AnimatedProperty>> positions; // layer ID, Position before
    };
    std::vector<Group> done_;
    std::optional<Group> open_;
    int depth_ = 0;
};

} // namespace strandel::host
