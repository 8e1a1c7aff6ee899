#include "host/project/ImageSequence.h"

#include <string>

namespace strandel::host {
namespace {

struct HashRun {
    std::size_t open = std::string::npos; // index of '['
    std::size_t digits = 0;
};

HashRun FindHashRun(std::string_view name)
{
    for (std::size_t open = name.find('['); open != std::string_view::npos; open = name.find('[', open + 1)) {
        std::size_t end = open + 1;
        while (end < name.size() && name[end] == '#') ++end;
        if (end > open + 1 && end < name.size() && name[end] == ']') return {open, end - open - 1};
    }
    return {};
}

} // namespace

bool IsSequencePattern(std::string_view file)
{
    return FindHashRun(std::filesystem::path(file).filename().string()).open != std::string::npos;
}

std::filesystem::path SequenceFramePath(const std::filesystem::path& pattern, std::int64_t frame)
{
    std::string name = pattern.filename().string();
    const HashRun run = FindHashRun(name);
    if (run.open == std::string::npos) return pattern;
    std::string number = std::to_string(frame);
    if (number.size() < run.digits) number.insert(0, run.digits - number.size(), '0');
    name.replace(run.open, run.digits + 2, number);
    return pattern.parent_path() / name;
}

int CountSequenceFrames(const std::filesystem::path& pattern)
{
    int count = 0;
    std::error_code ec;
    while (std::filesystem::is_regular_file(SequenceFramePath(pattern, count), ec)) ++count;
    return count;
}

} // namespace strandel::host
