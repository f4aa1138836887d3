#include "services/Error.h"
#include "services/files/WholeFile.h"
#include "services/xml/XmlDocument.h"
#include "services/xml/XmlErrorHook.h"
#include "services/xml/XmlSerializer.h"

#include <exception>
#include <optional>
#include <stdexcept>

namespace velmora {

namespace {

// The serializer's sink writes into the draft; the draft's own error, which says what the system
// said, is kept to be thrown once libxml2 has returned (no exception may cross its C code).
class DraftSink {
public:
    explicit DraftSink(FileDraft& draft)
        : sink_([this, &draft](std::string_view bytes) {
              try {
                  draft.write(bytes);
                  return true;
              } catch (...) {
                  failure_ = std::current_exception();
                  return false;
              }
          }) {}

    const xmlsave::ByteSink& sink() const { return sink_; }

    // After a serializer that returned false: the draft's error, or one of the save's own.
    [[noreturn]] void fail(const FileDraft& draft) const {
        if (failure_) {
            std::rethrow_exception(failure_);
        }
        throw Error(ErrorKind::ResultNotSaved, {.file = draft.target()});
    }

private:
    std::exception_ptr failure_;
    xmlsave::ByteSink sink_;
};

} // namespace

void XmlDocument::save(const std::filesystem::path& file) const {
    FileDraft draft(file, ErrorKind::ResultNotSaved);
    saveInto(draft);
    draft.finish();
    draft.putInPlace();
}

void XmlDocument::saveInto(FileDraft& draft) const {
    if (!doc_) {
        throw std::logic_error("a moved-from document cannot be saved");
    }
    const DraftSink sink(draft);
    const xmlhook::QuietGlobalErrors quiet;
    if (!xmlsave::writeDocument(doc_.get(), sink.sink())) {
        sink.fail(draft);
    }
}

void XmlDocument::saveStreaming(const std::filesystem::path& file, XmlNode element,
                                const std::function<void(XmlContentStream&)>& writeContent) {
    FileDraft draft(file, ErrorKind::ResultNotSaved);
    saveStreamingInto(draft, element, writeContent);
    draft.finish();
    draft.putInPlace();
}

void XmlDocument::saveStreamingInto(FileDraft& draft, XmlNode element,
                                    const std::function<void(XmlContentStream&)>& writeContent) {
    if (!doc_) {
        throw std::logic_error("a moved-from document cannot be saved");
    }
    const xmlhook::QuietGlobalErrors quiet;
    const std::optional<xmlsave::Surroundings> around =
        xmlsave::surroundingsOf(doc_.get(), element.raw());
    if (!around) {
        throw Error(ErrorKind::ResultNotSaved, {.file = draft.target()});
    }
    _xmlNode* detached = detachedHolder();
    const DraftSink sink(draft);
    if (!xmlsave::writeAround(doc_.get(), detached, sink.sink(), *around, writeContent)) {
        sink.fail(draft);
    }
}

} // namespace velmora
