// The host's basic suite: the one door through which every other suite is acquired.
#pragma once
#include <cstddef>
#include <cstdint>

typedef int32_t SPErr;
typedef uint8_t SPBoolean;
enum { kSPNoError = 0 };
// What AcquireSuite answers for a name or version the host does not serve.
constexpr SPErr kSPSuiteNotFoundError = 0x53244e46; // 'S$NF'

struct SPBasicSuite {
    SPErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);
    SPErr (*ReleaseSuite)(const char* name, int32_t version);
    SPBoolean (*IsEqual)(const char* token1, const char* token2);
    SPErr (*AllocateBlock)(size_t size, void** block);
    SPErr (*FreeBlock)(void* block);
    SPErr (*ReallocateBlock)(void* block, size_t newSize, void** newblock);
    SPErr (*Undefined)(void);
};
