/* Duktape's configuration as Debian ships it, plus errors as C++ exceptions (so that the host's
   natives unwind cleanly) and the execution timeout the host needs to stop a runaway script. */
#ifndef STRANDEL_DUK_CONFIG_H
#define STRANDEL_DUK_CONFIG_H
#include "duk_config_base.h"
#define DUK_USE_CPP_EXCEPTIONS
#include <exception>
#include <stdexcept>
#define DUK_USE_INTERRUPT_COUNTER
#define DUK_USE_EXEC_TIMEOUT_CHECK(udata) StxScriptTimedOut(udata)
#if defined(__cplusplus)
extern "C"
#endif
    duk_bool_t
    StxScriptTimedOut(void* udata);
#endif
