#pragma once

#include "conversion/FrameChooser.h"
#include "formats/ServiceSections.h"
#include "services/Error.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What the time-frame choice reads from a Sauce document and how a selection of frames becomes
// the `resultado` text. The window's dialog, the command line's --frames and the tests all go
// through here, so that each of them offers and answers exactly the same thing.
namespace velmora {

// A slot's line in the dialog: order, name, start and end joined by "-", at most 20 characters.
std::string slotLine(const std::string& order, const std::string& name, const std::string& start,
                     const std::string& end);

// What the dialog shows for its current frame.
struct FrameDetails {
    std::string name = "-";        // LabelNombre
    std::string dateLabel = "-";   // LabelPlanFec1
    std::string secondLabel = "-"; // LabelPlanFec2, always "-"
    // The slot lines of the frame; nothing when the document has fewer than two slots, in
    // which case the slot list keeps what it showed before.
    std::optional<std::vector<std::string>> slotLines;
};

// The frames and slots of one document, with their values as they stand (untrimmed): the
// dialog shows and matches keys exactly as the document writes them.
class FrameListing {
public:
    // Reads the document at path. A file that is missing or does not parse gives an empty
    // listing whose problem() says why; it never throws for that.
    static FrameListing load(const std::filesystem::path& document);
    static FrameListing fromSections(const ServiceSections& sections);
    static FrameListing fromRecords(const std::vector<SauceRecord>& jornadas,
                                    const std::vector<SauceRecord>& intervalos);

    // The frame keys offered for choice, in document order. Only a document with two or more
    // frames offers any.
    const std::vector<std::string>& listedKeys() const { return listedKeys_; }

    // The name, label and slot lines of the frame with this key (the last frame record of that
    // key wins, as the dialog fills its labels one matching record after the other).
    FrameDetails details(const std::string& key) const;

    // Why nothing could be read; nothing when the document was read.
    const std::optional<Error>& problem() const { return problem_; }

private:
    struct Frame {
        std::string key;
        std::string name;
        std::string dateLabel;
    };
    struct Slot {
        std::string frameKey;
        std::string line;
    };

    std::vector<Frame> frames_;
    std::vector<Slot> slots_;
    std::vector<std::string> listedKeys_;
    std::optional<Error> problem_;
};

// Why a selection is refused: the user is told, and asked again.
enum class SelectionProblem { None, TooManyFrames, NoFrame };

// The verdict on the lines selected when the dialog closes.
struct FrameSelection {
    bool resultMH = false;
    // The selected keys in list order, each padded with blanks or cut to 10 characters, joined.
    std::string resultado;
    SelectionProblem problem = SelectionProblem::None;
};

// selectedKeys: the selected lines of the frame list, in list order (not click order).
FrameSelection closeSelection(const std::vector<std::string>& selectedKeys);

// `resultado` as if the lines of these keys had been selected in the dialog: each typed key,
// trimmed, names the first listed frame whose key, trimmed, equals it; the frames are taken in
// the document's list order whatever the order typed, and a key typed twice counts once.
// Throws an Error for no key (FramesNotChosen), an unknown key (UnknownFrame) or more than two
// frames (TooManyFrames), each with the frames that can be chosen; and when the document cannot
// be read (FramesUnreadable) or offers no frames to choose from (FramesNotOffered).
std::string chooseFramesByKeys(const std::filesystem::path& document,
                               const std::vector<std::string>& typedKeys);
// The same, from the listing of a document already read.
std::string chooseFramesByKeys(const std::filesystem::path& document, const FrameListing& listing,
                               const std::vector<std::string>& typedKeys);

// Answers the conversion's frame question with keys given in advance (velmora-cli --frames).
class TypedFrameChooser : public FrameChooser {
public:
    explicit TypedFrameChooser(std::vector<std::string> typedKeys)
        : typedKeys_(std::move(typedKeys)) {}
    std::string chooseFrames(const std::filesystem::path& document,
                             const FrameListing& listing) override {
        return chooseFramesByKeys(document, listing, typedKeys_);
    }

private:
    std::vector<std::string> typedKeys_;
};

} // namespace velmora
