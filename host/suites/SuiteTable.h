// Function tables as the host serves them: every slot starts out answering "unimplemented" and
// recording the call, so a plug-in reaching a slot the emulated host does not serve is caught by
// the tests instead of being silently ignored; the host then sets the slots it implements.
#pragma once
#include <cstddef>
#include <cstring>
#include <utility>

#include "SPBasic.h"

namespace strandel::host {

// Names the table in the record of an unexpected call.
template <class Table>
struct TableLabel {
    static constexpr const char* name = SPSuiteId<Table>::name;
    static constexpr A_long version = SPSuiteId<Table>::version;
};

// Records the call with the host's log; defined with the host.
void RecordUnimplementedCall(const char* table, A_long version, std::size_t slot);

template <class Table, std::size_t Slot>
A_Err UnimplementedSlot()
{
    RecordUnimplementedCall(TableLabel<Table>::name, TableLabel<Table>::version, Slot);
    return A_Err_GENERIC;
}

template <class Table, std::size_t... Slots>
Table TableOfTraps(std::index_sequence<Slots...>)
{
    // Every slot is pointer-sized; the trap's signature differs from the slot's, which the x64
    // calling conventions tolerate for a function that reads no arguments.
    using Trap = A_Err (*)();
    const Trap traps[] = {&UnimplementedSlot<Table, Slots>...};
    static_assert(sizeof(traps) == sizeof(Table));
    Table table;
    std::memcpy(static_cast<void*>(&table), traps, sizeof(table));
    return table;
}

template <class Table>
Table TableOfTraps()
{
    static_assert(sizeof(Table) % sizeof(void*) == 0, "a function table is a row of pointers");
    return TableOfTraps<Table>(std::make_index_sequence<sizeof(Table) / sizeof(void*)>());
}

} // namespace strandel::host
