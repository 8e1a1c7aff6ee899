#include "support/PluginUnderTest.h"
#include "support/TestPaths.h"

strandel::host::HostOptions strandel::test::PluginUnderTest() { return host::HostOptions{PluginPath()}; }
