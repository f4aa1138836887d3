#pragma once

#include <libxml/xmlerror.h>
#include <libxml/xmlversion.h>

// Shared by the XML service's files; not part of its interface.
namespace velmora::xmlhook {

// What libxml2 passes to a structured error handler: constant from 2.12 on.
#if LIBXML_VERSION >= 21200
using ErrorPointer = const xmlError*;
#else
using ErrorPointer = xmlError*;
#endif

} // namespace velmora::xmlhook

namespace velmora::xmlhook {

// While it lives, what libxml2 reports through the thread's own handlers (input and output
// failures such as "I/O error : write error") goes nowhere instead of to the standard error
// stream: the failures themselves are known from the calls' results. The default handlers are
// put back after.
class QuietGlobalErrors {
public:
    QuietGlobalErrors() {
        xmlSetGenericErrorFunc(nullptr, ignoreMessage);
        xmlSetStructuredErrorFunc(nullptr, ignoreError);
    }
    ~QuietGlobalErrors() {
        xmlSetGenericErrorFunc(nullptr, nullptr);
        xmlSetStructuredErrorFunc(nullptr, nullptr);
    }
    QuietGlobalErrors(const QuietGlobalErrors&) = delete;
    QuietGlobalErrors& operator=(const QuietGlobalErrors&) = delete;

private:
    static void ignoreMessage(void*, const char*, ...) {}
    static void ignoreError(void*, ErrorPointer) {}
};

} // namespace velmora::xmlhook
