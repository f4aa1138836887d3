#include "services/xml/XmlInputLimits.h"

#include "services/Error.h"
#include "services/xml/XmlMarkupScan.h"
#include "services/xml/XmlScanText.h"

#include <string>

namespace velmora::xmllimits {

void requireWithinLimits(std::string_view xml, const std::filesystem::path& file) {
    if (xml.size() > kMaxDocumentBytes) {
        throw Error(ErrorKind::DocumentTooLarge, {.file = file, .limit = kMaxDocumentBytes});
    }
    std::string storage;
    const std::optional<std::string_view> text = xmlscan::scanText(xml, storage);
    if (!text) {
        throw Error(ErrorKind::DocumentNotWellFormed,
                    {.file = file, .reason = ErrorReason::UnsupportedEncoding});
    }
    if (const auto excess = xmlscan::findExcessiveMarkup(*text)) {
        if (excess->what == xmlscan::MarkupExcess::What::Text) {
            throw Error(ErrorKind::DocumentTextTooLong,
                        {.file = file, .line = excess->line, .limit = excess->limit});
        }
        throw Error(
            ErrorKind::DocumentTooComplex,
            {.file = file, .line = excess->line, .reason = excess->reason, .limit = excess->limit});
    }
}

} // namespace velmora::xmllimits
