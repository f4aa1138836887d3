#pragma once

#include <filesystem>
#include <string>

namespace velmora {

class FrameListing;

// What the conversion must ask the user when the document describes two or more time frames.
// The window answers with its dialog, the command line with --frames, a test with a stub.
class FrameChooser {
public:
    virtual ~FrameChooser() = default;

    // Returns the chosen frame keys in the order the dialog lists them, each padded with blanks
    // or cut to exactly 10 characters, joined: 10 characters for one frame, 20 for two. Only
    // returns a valid choice; throws an Error when no choice can be made. `listing` holds the
    // frames of the document as the run read it, for choosers that answer from it; the
    // window's dialog reads the file once more itself.
    virtual std::string chooseFrames(const std::filesystem::path& document,
                                     const FrameListing& listing) = 0;
};

} // namespace velmora
