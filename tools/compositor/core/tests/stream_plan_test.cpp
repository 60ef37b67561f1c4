#include "stream_plan.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace compositor;

namespace {

// Simulates a run: each file holds `video_audio` / `audio_audio` audio streams; returns the
// written streams as "V", "v0", "a1" ... (file letter + audio index) and the left-out count.
struct Simulated {
    std::vector<std::string> written;
    int leftOut = 0;
};

Simulated simulate(AudioOperation op, int video_audio, int audio_audio) {
    Simulated out;
    StreamTable table;
    for (const auto& step : gatherSteps(op)) {
        if (step.kind == StreamKind::kVideo) {
            EXPECT_EQ(table.nextSlot(), 0);
            table.filled();
            out.written.push_back("V");
            continue;
        }
        int available = step.file == SourceFile::kVideo ? video_audio : audio_audio;
        for (int i = 0; i < (step.all ? available : std::min(available, 1)); ++i) {
            if (table.nextSlot() < 0) {
                table.leftOut();
                continue;
            }
            table.filled();
            out.written.push_back((step.file == SourceFile::kVideo ? "v" : "a") +
                                  std::to_string(i));
        }
    }
    EXPECT_EQ(table.count(), static_cast<int>(out.written.size()));
    out.leftOut = table.leftOutCount();
    return out;
}

} // namespace

TEST(StreamPlan, OrderOfEachOperation) {
    using V = std::vector<std::string>;
    EXPECT_EQ(simulate(AudioOperation::kAdd, 1, 2).written, (V{"V", "v0", "a0", "a1"}));
    EXPECT_EQ(simulate(AudioOperation::kReplace, 1, 2).written, (V{"V", "a0", "a1"}));
    EXPECT_EQ(simulate(AudioOperation::kNoOperation, 2, 3).written, (V{"V", "v0", "v1"}));
    EXPECT_EQ(simulate(AudioOperation::kDelete, 2, 3).written, (V{"V"}));
}

TEST(StreamPlan, OnlyAddAndReplaceNeedTheAudioFile) {
    EXPECT_TRUE(needsAudioFile(AudioOperation::kAdd));
    EXPECT_TRUE(needsAudioFile(AudioOperation::kReplace));
    EXPECT_FALSE(needsAudioFile(AudioOperation::kNoOperation));
    EXPECT_FALSE(needsAudioFile(AudioOperation::kDelete));
    for (auto op : {AudioOperation::kNoOperation, AudioOperation::kDelete})
        for (const auto& step : gatherSteps(op))
            EXPECT_EQ(step.file, SourceFile::kVideo);
}

TEST(StreamPlan, VideoAndTheAudioFilesFirstStreamAreRequired) {
    auto steps = gatherSteps(AudioOperation::kAdd);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_TRUE(steps[0].required);
    EXPECT_FALSE(steps[0].all);
    EXPECT_FALSE(steps[1].required); // a video file without audio adds nothing
    EXPECT_TRUE(steps[1].all);
    EXPECT_TRUE(steps[2].required); // an audio file without audio is refused
    EXPECT_TRUE(steps[2].all);
}

TEST(StreamTable, FillsAllHundredAndOneSlotsThenCountsTheRest) {
    auto full = simulate(AudioOperation::kAdd, 60, 40);
    EXPECT_EQ(full.written.size(), 101u);
    EXPECT_EQ(full.leftOut, 0);

    auto over = simulate(AudioOperation::kAdd, 60, 45);
    EXPECT_EQ(over.written.size(), 101u);
    EXPECT_EQ(over.written.back(), "a39");
    EXPECT_EQ(over.leftOut, 5);

    StreamTable table;
    for (int i = 0; i < kStreamSlots; ++i) {
        EXPECT_EQ(table.nextSlot(), i);
        table.filled();
    }
    EXPECT_EQ(table.nextSlot(), -1);
}

TEST(OutputName, CompletionOnlyWithoutAviAnywhere) {
    EXPECT_EQ(completeOutputName(L"clip"), L"clip.avi");
    EXPECT_EQ(completeOutputName(L"Clip.AVI"), L"Clip.AVI");
    EXPECT_EQ(completeOutputName(L"my.avi.old"), L"my.avi.old");
    EXPECT_EQ(completeOutputName(L"D:\\out\\clip"), L"D:\\out\\clip.avi");
    EXPECT_EQ(completeOutputName(L"clip.av"), L"clip.av.avi");
    EXPECT_EQ(completeOutputName(L"動画"), L"動画.avi");
}

TEST(OutputName, SameNameIgnoresCaseWithOrWithoutExtension) {
    EXPECT_TRUE(sameFileName(completeOutputName(L"CLIP"), L"clip.avi"));
    EXPECT_TRUE(sameFileName(completeOutputName(L"Clip.Avi"), L"clip.avi"));
    EXPECT_TRUE(sameFileName(L"ｃｌｉｐ.avi", L"ＣＬＩＰ.AVI"));
    EXPECT_FALSE(sameFileName(completeOutputName(L"clip2"), L"clip.avi"));
    // Only the bare name is compared; a folder part is left to the identity check.
    EXPECT_FALSE(sameFileName(L"sub\\..\\clip.avi", L"clip.avi"));
}

TEST(ProgressCaption, ShowsClampedPercentage) {
    EXPECT_EQ(progressCaption(L"Tamsel", 42), L"Tamsel - 42%");
    EXPECT_EQ(progressCaption(L"Tamsel", 130), L"Tamsel - 100%");
    EXPECT_EQ(progressCaption(L"Tamsel", -1), L"Tamsel - 0%");
}
