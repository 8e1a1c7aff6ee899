// The pixels of a layer's source at a time, before its transform: what a layer checkout sees.
#pragma once
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "host/image/Image.h"
#include "host/project/Project.h"

namespace strandel::host {

// Decoded image files, read once and shared by the threads that render frames.
class ImageFileCache {
public:
    std::shared_ptr<const Image> Get(const std::filesystem::path& file);

private:
    std::mutex mutex_;
    std::map<std::filesystem::path, std::shared_ptr<const Image>> images_;
};

// Renders a composition flat at a time; the render loop supplies it for precomp layers.
using PrecompRenderHook = std::function<Image(const Composition& comp, double seconds, PixelDepth depth)>;

// The image file a layer shows at a time: a sequence's frame for the comp frame, held at both ends.
std::filesystem::path ImageFileAt(const Composition& comp, const Layer& layer, double seconds);

// An image layer its file, a solid its colour at its size, a shape layer its shape drawn into
// its bounds, a null a transparent image of its size, a precomp what `renderPrecomp` draws.
// None for cameras, and for precomps without a hook.
std::optional<Image> LayerSourcePixels(const Project& project, const Layer& layer, double seconds, PixelDepth depth,
                                       ImageFileCache& files, const PrecompRenderHook& renderPrecomp);

} // namespace strandel::host
