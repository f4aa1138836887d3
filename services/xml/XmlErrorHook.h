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
