// Numbered image sequences: "[####]" in a file name stands for the zero-padded frame number.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace strandel::host {

bool IsSequencePattern(std::string_view file);
// The pattern with its "[#...#]" replaced by the frame number, padded to as many digits.
std::filesystem::path SequenceFramePath(const std::filesystem::path& pattern, std::int64_t frame);
// How many files exist from frame 0 on without a gap.
int CountSequenceFrames(const std::filesystem::path& pattern);

} // namespace strandel::host
