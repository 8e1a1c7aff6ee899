// What tests can ask of the stand-in driver beyond the driver's own entry points. Tests open the
// stand-in by the driver's name, as the plug-in does, and look these functions up in it.
#pragma once
#include <cstdint>

#include "frame/Platform.h"
#include "render/TriangleKernel.h"

namespace strandel::test {

struct StandInLaunch {
    uint32_t gridX = 0, gridY = 0;
    TriangleKernelArgs<Float4> args{};
};

} // namespace strandel::test

// Forgets the call log, injected failures, launches and misuse, and sets how many devices the
// next cuInit finds. Buffers, modules and contexts still held stay counted.
STX_EXPORT void StandInReset(int devices);
// The driver call at this 0-based position of the log answers status and does nothing else, but
// for a failing release (of a buffer, module or context), which still lets go of it.
STX_EXPORT void StandInFailCall(int position, int status);
STX_EXPORT int StandInCallCount();
// The entry point the call at this position of the log went to.
STX_EXPORT const char* StandInCallName(int position);
// Calls a real driver would refuse or fault on: no current context, an address outside every
// live buffer, an unknown handle, a launch of another shape than the renderer's.
STX_EXPORT int StandInMisuse();
STX_EXPORT int StandInLiveBuffers();
STX_EXPORT int StandInLiveModules();
STX_EXPORT int StandInRetainedContexts();
STX_EXPORT int StandInLaunchCount();
// The launch at this position among those that ran; false past the last.
STX_EXPORT bool StandInGetLaunch(int index, strandel::test::StandInLaunch* launch);
