#include "host/project/UndoHistory.h"

#include <algorithm>

namespace strandel::host {

void UndoHistory::Begin(const std::string& name)
{
    if (depth_++ == 0) open_ = Group{name, {}};
}

bool UndoHistory::End()
{
    if (depth_ == 0) return false;
    if (--depth_ == 0) {
        done_.push_back(std::move(*open_));
        open_.reset();
    }
    return true;
}

void UndoHistory::WillChangePosition(const Layer& layer)
{
    if (!open_) return;
    auto& saved = open_->positions;
    const bool known = std::any_of(saved.begin(), saved.end(), [&](const auto& p) { return p.first == layer.id; });
    if (!known) saved.emplace_back(layer.id, layer.transform.position);
}

bool UndoHistory::UndoLast(Project& project)
{
    if (done_.empty()) return false;
    for (auto& [layerId, position] : done_.back().positions)
        if (Layer* layer = project.LayerById(layerId)) layer->transform.position = std::move(position);
    done_.pop_back();
    return true;
}

void UndoHistory::Clear()
{
    done_.clear();
    open_.reset();
    depth_ = 0;
}

} // namespace strandel::host
