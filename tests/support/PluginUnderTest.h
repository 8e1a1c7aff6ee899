// The plug-in a test's (or benchmark's) hosts run, chosen by what the executable links: the
// shipped binary (LoadedPlugin.cpp), or the copy linked into executables that also call its
// internals (LinkedPlugin.cpp), so that a process never holds two copies with separate state.
#pragma once
#include "host/Host.h"

namespace strandel::test {

host::HostOptions PluginUnderTest();

} // namespace strandel::test
