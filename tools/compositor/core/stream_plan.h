// Which streams a compression run hands to the writer, in which order, and how
// the typed output name becomes a path. No platform calls: the window program
// asks these rules and does the AVIFile work itself.
#pragma once

#include <string>
#include <vector>

namespace compositor {

// Index of the set option button.
enum class AudioOperation { kAdd = 0, kReplace = 1, kNoOperation = 2, kDelete = 3 };

// Slot 0 holds the video stream, slots 1..100 the audio streams.
constexpr int kStreamSlots = 101;

enum class SourceFile { kVideo, kAudio };
enum class StreamKind { kVideo, kAudio };

// One gathering step: take streams of `kind` from `file`. `all` means index 0, 1, 2...
// until a request fails; otherwise only index 0. `required` means a failing first request
// stops the run with a message.
struct GatherStep {
    SourceFile file;
    StreamKind kind;
    bool all;
    bool required;
};

bool needsAudioFile(AudioOperation op);

// The gathering steps of an operation, in the order the streams are written.
std::vector<GatherStep> gatherSteps(AudioOperation op);

// The fixed stream table's bookkeeping: slots are filled in order; a stream that finds
// the table full is counted as left out instead of being stored.
class StreamTable {
  public:
    // The slot the next stream goes into, or -1 when the table is full.
    int nextSlot() const { return count_ < kStreamSlots ? count_ : -1; }
    // Records the stream just stored in nextSlot().
    void filled() { ++count_; }
    // Records a stream that found no slot.
    void leftOut() { ++leftOut_; }
    int count() const { return count_; }
    int leftOutCount() const { return leftOut_; }

  private:
    int count_ = 0;
    int leftOut_ = 0;
};

// Appends ".avi" unless the name already holds ".avi" anywhere, in any letter case.
std::wstring completeOutputName(const std::wstring& answer);

// True when the completed answer names the same file as a bare source name
// (letter case ignored).
bool sameFileName(const std::wstring& answer, const std::wstring& sourceName);

// The caption shown while the save runs, e.g. "Tamsel - 42%".
std::wstring progressCaption(const std::wstring& title, int percent);

} // namespace compositor

namespace compositor {

// Told before the compression dialog when the table could not take every audio stream.
std::wstring leftOutMessage(int leftOut);

} // namespace compositor
