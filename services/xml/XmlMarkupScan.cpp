#include "services/xml/XmlMarkupScan.h"

#include "services/xml/XmlInputLimits.h"

#include <algorithm>

namespace velmora::xmlscan {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class MarkupScan {
public:
    explicit MarkupScan(std::string_view text) : text_(text) {}

    std::optional<MarkupExcess> run() {
        for (;;) {
            const std::size_t next = text_.find('<', pos_);
            if (std::min(next, text_.size()) - pos_ > xmllimits::kMaxTextBytes) {
                return MarkupExcess{MarkupExcess::What::Text, ErrorReason::None, line_,
                                    xmllimits::kMaxTextBytes};
            }
            if (!moveTo(next)) {
                break;
            }
            std::optional<MarkupExcess> excess;
            if (text_.substr(pos_, 9) == "<!ATTLIST") {
                excess = attributeListDeclaration();
            } else if (pos_ + 1 < text_.size() && text_[pos_ + 1] != '!' &&
                       text_[pos_ + 1] != '?' && text_[pos_ + 1] != '/') {
                excess = startTag();
            } else {
                ++pos_;
            }
            if (excess) {
                return excess;
            }
        }
        return std::nullopt;
    }

private:
    // Moves forward to `to` (the end when npos), counting the lines passed.
    bool moveTo(std::size_t to) {
        const std::size_t end = std::min(to, text_.size());
        line_ += static_cast<std::size_t>(std::count(text_.begin() + static_cast<long>(pos_),
                                                     text_.begin() + static_cast<long>(end), '\n'));
        pos_ = end;
        return pos_ < text_.size();
    }

    // From an opening quote to just past its closing one; false when a '<' comes first, which
    // ends the tag or declaration (the parser stops the value there too).
    bool skipQuoted() {
        const char quote[] = {text_[pos_], '<', '\0'};
        moveTo(text_.find_first_of(quote, pos_ + 1));
        if (pos_ >= text_.size() || text_[pos_] == '<') {
            return false;
        }
        ++pos_;
        return true;
    }

    std::optional<MarkupExcess> startTag() {
        const std::size_t tagLine = line_;
        std::uint64_t attributes = 0;
        bool afterEquals = false;
        std::size_t nameStart = std::string_view::npos;
        std::string_view name; // the last whole word, the attribute's name when '=' follows
        for (++pos_; pos_ < text_.size();) {
            const char c = text_[pos_];
            if (c == '<') {
                return std::nullopt;
            }
            if (c == '>') {
                ++pos_;
                return std::nullopt;
            }
            if (nameStart != std::string_view::npos && (isBlank(c) || c == '=')) {
                name = text_.substr(nameStart, pos_ - nameStart);
                nameStart = std::string_view::npos;
            }
            if (c == '=') {
                if (++attributes > xmllimits::kMaxAttributesPerElement) {
                    return MarkupExcess{MarkupExcess::What::Markup, ErrorReason::TooManyAttributes,
                                        tagLine, xmllimits::kMaxAttributesPerElement};
                }
                if (name.rfind("xmlns", 0) == 0 &&
                    ++namespaces_ > xmllimits::kMaxNamespaceDeclarations) {
                    return MarkupExcess{MarkupExcess::What::Markup, ErrorReason::TooManyNamespaces,
                                        tagLine, xmllimits::kMaxNamespaceDeclarations};
                }
                name = {};
                afterEquals = true;
                ++pos_;
            } else if ((c == '"' || c == '\'') && afterEquals) {
                afterEquals = false;
                if (!skipQuoted()) {
                    return std::nullopt;
                }
            } else if (isBlank(c)) {
                line_ += c == '\n' ? 1 : 0;
                ++pos_;
            } else {
                afterEquals = false;
                if (nameStart == std::string_view::npos) {
                    nameStart = pos_;
                }
                ++pos_;
            }
        }
        return std::nullopt;
    }

    // Only a quoted default puts an attribute on every element of the type; each quote that
    // opens a literal is counted as one.
    std::optional<MarkupExcess> attributeListDeclaration() {
        for (pos_ += 9; pos_ < text_.size();) {
            const char c = text_[pos_];
            if (c == '<') {
                return std::nullopt;
            }
            if (c == '>') {
                ++pos_;
                return std::nullopt;
            }
            if (c == '"' || c == '\'') {
                if (++defaults_ > xmllimits::kMaxAttributeDefaults) {
                    return MarkupExcess{MarkupExcess::What::Markup,
                                        ErrorReason::TooManyAttributeDefaults, line_,
                                        xmllimits::kMaxAttributeDefaults};
                }
                if (!skipQuoted()) {
                    return std::nullopt;
                }
            } else {
                line_ += c == '\n' ? 1 : 0;
                ++pos_;
            }
        }
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::uint64_t namespaces_ = 0;
    std::uint64_t defaults_ = 0;
};

} // namespace

std::optional<MarkupExcess> findExcessiveMarkup(std::string_view text) {
    return MarkupScan(text).run();
}

} // namespace velmora::xmlscan
