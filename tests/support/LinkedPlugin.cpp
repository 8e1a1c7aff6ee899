#include "frame/Dispatch.h"
#include "frame/Registration.h"
#include "support/PluginUnderTest.h"

namespace {

PF_Err LinkedDataEntry(void* host, PF_PluginDataCB2 callback, SPBasicSuite*, const char*, const char*)
{
    return strandel::RegisterPlugin(host, callback);
}

} // namespace

strandel::host::HostOptions strandel::test::PluginUnderTest()
{
    host::HostOptions options;
    options.linked = host::LinkedPlugin{LinkedDataEntry, strandel::DispatchCommand};
    return options;
}
