// AEGP Memory suite: handles with accounting, so a handle the plug-in never frees shows in tests.
#include "host/suites/MemorySuites.h"

#include <mutex>
#include <unordered_set>
#include <vector>

#include "host/Host.h"
#include "host/suites/SuiteTable.h"
#include "host/suites/Suites.h"

namespace strandel::host {
namespace {

struct MemBlock {
    std::vector<char> bytes;
    int locks = 0;
};

struct LiveBlocks {
    std::mutex mutex;
    std::unordered_set<MemBlock*> blocks;
};
LiveBlocks& Live()
{
    static LiveBlocks live;
    return live;
}

MemBlock* Find(AEGP_MemHandle mem)
{
    auto* block = reinterpret_cast<MemBlock*>(mem);
    auto& live = Live();
    std::lock_guard lock(live.mutex);
    return live.blocks.count(block) ? block : nullptr;
}

AEGP_MemHandle Adopt(MemBlock* block)
{
    auto& live = Live();
    {
        std::lock_guard lock(live.mutex);
        live.blocks.insert(block);
    }
    ++Host::Current().log().liveMemHandles;
    return reinterpret_cast<AEGP_MemHandle>(block);
}

A_Err NewMemHandle(AEGP_PluginID, const A_char* what, AEGP_MemSize size, AEGP_MemFlag flags, AEGP_MemHandle* mem)
{
    if (!what || !mem) return A_Err_PARAMETER;
    auto* block = new MemBlock;
    block->bytes.assign(size, '\0');
    (void)flags; // every block starts cleared
    *mem = Adopt(block);
    return A_Err_NONE;
}

A_Err FreeMemHandle(AEGP_MemHandle mem)
{
    MemBlock* block = Find(mem);
    if (!block) return A_Err_PARAMETER;
    {
        auto& live = Live();
        std::lock_guard lock(live.mutex);
        live.blocks.erase(block);
    }
    delete block;
    --Host::Current().log().liveMemHandles;
    return A_Err_NONE;
}

A_Err LockMemHandle(AEGP_MemHandle mem, void** data)
{
    MemBlock* block = Find(mem);
    if (!block || !data) return A_Err_PARAMETER;
    ++block->locks;
    *data = block->bytes.data();
    return A_Err_NONE;
}

A_Err UnlockMemHandle(AEGP_MemHandle mem)
{
    MemBlock* block = Find(mem);
    if (!block || block->locks == 0) return A_Err_PARAMETER;
    --block->locks;
    return A_Err_NONE;
}

A_Err GetMemHandleSize(AEGP_MemHandle mem, AEGP_MemSize* size)
{
    MemBlock* block = Find(mem);
    if (!block || !size) return A_Err_PARAMETER;
    *size = static_cast<AEGP_MemSize>(block->bytes.size());
    return A_Err_NONE;
}

A_Err ResizeMemHandle(const A_char* what, AEGP_MemSize size, AEGP_MemHandle mem)
{
    MemBlock* block = Find(mem);
    if (!what || !block || block->locks > 0) return A_Err_PARAMETER;
    block->bytes.resize(size, '\0');
    return A_Err_NONE;
}

const AEGP_MemorySuite1 kMemorySuite = [] {
    auto suite = TableOfTraps<AEGP_MemorySuite1>();
    suite.AEGP_NewMemHandle = NewMemHandle;
    suite.AEGP_FreeMemHandle = FreeMemHandle;
    suite.AEGP_LockMemHandle = LockMemHandle;
    suite.AEGP_UnlockMemHandle = UnlockMemHandle;
    suite.AEGP_GetMemHandleSize = GetMemHandleSize;
    suite.AEGP_ResizeMemHandle = ResizeMemHandle;
    return suite;
}();

} // namespace

AEGP_MemHandle NewTextMemHandle(std::string_view text)
{
    auto* block = new MemBlock;
    block->bytes.assign(text.begin(), text.end());
    block->bytes.push_back('\0');
    return Adopt(block);
}

void RegisterMemorySuites(SuiteRegistry& registry) { registry.Serve(kMemorySuite); }

} // namespace strandel::host
