// Failures of the emulated host itself (bad library, bad scene, bad arguments): one clear line.
#pragma once
#include <stdexcept>
#include <string>

namespace strandel::host {

struct HostError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The host SDK name of a plug-in error code, for messages ("PF_Err_OUT_OF_MEMORY (4)").
std::string ErrorName(int err);

} // namespace strandel::host
