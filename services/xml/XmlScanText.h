#pragma once

#include <optional>
#include <string>
#include <string_view>

// Shared by the input limits; not part of the XML service's interface.
namespace velmora::xmlscan {

// The document as a scan of its markup must read it: each character the parser will see that
// is ASCII as that byte, any other character as one or more bytes of 0x80 and above. For UTF-8
// and the single-byte encodings that keep ASCII as it is, that is the text itself; UTF-16 is
// narrowed into `storage`. Nothing when the parser would read the text in an encoding whose
// bytes below 0x80 mean something else (EBCDIC, UTF-7, UCS-4, the ISO-2022 family, ...): markup
// hidden in such bytes would escape the scan.
std::optional<std::string_view> scanText(std::string_view xml, std::string& storage);

} // namespace velmora::xmlscan
