#include "core/audio/AudioRenderer.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

AudioPlayer::Buffer ramp(int size, float base) {
    auto b = std::make_shared<std::vector<float>>(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
        (*b)[static_cast<std::size_t>(i)] = base + static_cast<float>(i);
    return b;
}

std::vector<float> renderBlocks(AudioRenderer& r, int total, int block) {
    std::vector<float> out(static_cast<std::size_t>(total));
    for (int done = 0; done < total; done += block)
        r.render(out.data() + done, std::min(block, total - done));
    return out;
}

} // namespace

// Buffers land on their sample whatever the block size and add up where they overlap; a dropped
// voice goes, queued or playing, and leaves the others.
TEST(AudioRenderer, PlacesBuffersBySampleAndDroppingAVoiceLeavesTheOthers) {
    AudioRenderer r;
    r.schedule(1, ramp(100, 1.0f), 0);
    r.schedule(2, ramp(100, 1000.0f), 7);
    const auto mixed = renderBlocks(r, 10, 3);
    for (int t = 0; t < 10; ++t)
        EXPECT_EQ(mixed[static_cast<std::size_t>(t)], 1.0f + t + (t < 7 ? 0 : 1000.0f + t - 7));
    r.schedule(1, ramp(10, 1.0f), 50); // still queued when the drop comes
    r.dropVoice(1);
    const auto out = renderBlocks(r, 90, 16);
    for (int t = 0; t < 90; ++t)
        EXPECT_EQ(out[static_cast<std::size_t>(t)], 1000.0f + static_cast<float>(t + 3));
}

// A render thread running flat out while the control thread schedules and drops: every buffer
// must come back, and the timeline must be exactly the frames rendered.
TEST(AudioRenderer, SharesWithARenderThreadWithoutLosingBuffers) {
    AudioRenderer r;
    const auto b = ramp(64, 0.0f);
    std::atomic<bool> done{false};
    std::atomic<qint64> rendered{0};
    std::thread audio([&] {
        std::vector<float> block(128);
        while (!done.load()) {
            r.render(block.data(), 128);
            rendered += 128;
        }
    });
    for (int i = 0; i < 20000; ++i) {
        r.schedule(i % 3, b, r.frames() + i % 200);
        if (i % 7 == 0)
            r.dropVoice(i % 3);
    }
    r.dropVoice(AudioRenderer::anyVoice);
    while (b.use_count() > 1 && rendered.load() < (qint64(1) << 40))
        r.collect();
    done = true;
    audio.join();
    r.collect();
    EXPECT_EQ(b.use_count(), 1);
    EXPECT_EQ(r.frames(), rendered.load());
}
