// The host's basic suite: the one door through which every other suite is acquired.
#pragma once
#include <cstddef>
#include <cstdint>

#include "A.h"

typedef A_long SPErr;
typedef A_long SPBoolean;

#define kSPBasicSuite "SP Basic Suite"
constexpr A_long kSPBasicSuiteVersion = 4;

enum : SPErr {
    kSPNoError = 0,
    kSPOutOfMemoryError = -148,
    kSPSuiteNotFoundError = AEErrorCode('S', '!', 'F', 'd'),
    kSPUnimplementedError = AEErrorCode('!', 'I', 'M', 'P'),
    kSPUserCanceledError = AEErrorCode('s', 't', 'o', 'p'),
    kSPOperationInterrupted = AEErrorCode('i', 'n', 't', 'r'),
    kSPLogicError = AEErrorCode('f', 'b', 'a', 'r'),
    kSPBadParameterError = AEErrorCode('P', 'a', 'r', 'm'),
    kSPCantAcquirePluginError = AEErrorCode('!', 'A', 'c', 'q'),
    kSPCantReleasePluginError = AEErrorCode('!', 'R', 'e', 'l'),
    kSPPluginAlreadyReleasedError = AEErrorCode('A', 'l', 'R', 'l'),
    kSPAdapterAlreadyExistsError = AEErrorCode('A', 'd', 'E', 'x'),
    kSPBadAdapterListIteratorError = AEErrorCode('B', 'd', 'A', 'L'),
    kSPUnknownAdapterError = AEErrorCode('?', 'A', 'd', 'p'),
    kSPCantChangeBlockDebugNowError = AEErrorCode('!', 'N', 'o', 'w'),
    kSPBlockDebugNotEnabledError = AEErrorCode('!', 'N', 'b', 'l'),
    kSPBlockSizeOutOfRangeError = AEErrorCode('B', 'k', 'R', 'g'),
    kSPPluginCachesFlushResponse = AEErrorCode('p', 'F', 'l', 's'),
    kSPTroubleAddingFilesError = AEErrorCode('T', 'A', 'd', 'd'),
    kSPBadFileListIteratorError = AEErrorCode('B', 'F', 'I', 't'),
    kSPTroubleInitializingError = AEErrorCode('T', 'I', 'n', 'i'),
    kSPNotASweetPeaPluginError = AEErrorCode('N', 'S', 'P', 'P'),
    kSPAlreadyInSPCallerError = AEErrorCode('A', 'I', 'S', 'C'),
    kSPBadPluginListIteratorError = AEErrorCode('P', 'i', 'L', 'I'),
    kSPBadPluginHost = AEErrorCode('P', 'i', 'H', '0'),
    kSPCantAddHostPluginError = AEErrorCode('A', 'd', 'H', 'o'),
    kSPPluginNotFound = AEErrorCode('P', '!', 'F', 'd'),
    kSPCorruptPiPLError = AEErrorCode('C', 'P', 'P', 'L'),
    kSPBadPropertyListIteratorError = AEErrorCode('B', 'P', 'r', 'I'),
    kSPSuiteAlreadyExistsError = AEErrorCode('S', 'E', 'x', 'i'),
    kSPSuiteAlreadyReleasedError = AEErrorCode('S', 'R', 'e', 'l'),
    kSPBadSuiteListIteratorError = AEErrorCode('S', 'L', 'I', 't'),
    kSPBadSuiteInternalVersionError = AEErrorCode('S', 'I', 'V', 's'),
};

struct SPBasicSuite {
    SPErr (*AcquireSuite)(const char* name, A_long version, const void** suite);
    SPErr (*ReleaseSuite)(const char* name, A_long version);
    SPBoolean (*IsEqual)(const char* token1, const char* token2);
    SPErr (*AllocateBlock)(size_t size, void** block);
    SPErr (*FreeBlock)(void* block);
    SPErr (*ReallocateBlock)(void* block, size_t new_size, void** new_block);
    SPErr (*Undefined)(void);
};

// The (name, version) pair under which the host serves a suite struct. Acquiring through it
// ties the struct a caller reads to the pair it asked for; the build checks each against the
// host's table.
template <class Suite>
struct SPSuiteId;

#define SP_SUITE_ID(Struct, NameString, Version)                                                                       \
    template <>                                                                                                        \
    struct SPSuiteId<Struct> {                                                                                         \
        static constexpr const char* name = NameString;                                                                \
        static constexpr A_long version = Version;                                                                     \
    }
