// Download of a full 16-slot key from the simulated key into dump files:
// blocks per second of the whole path (block exchange, file writing,
// progress callbacks).  USB full speed gives about 2,400 blocks/s.
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "intake/keydownload.h"
#include "intake/keymemory.h"
#include "platform/usb_simkey.h"

namespace {

constexpr std::int64_t kBlocksPerKey = std::int64_t(kSessionSlotCount) * kSessionSlotReadBlocks;

// A key image with every slot used and a pattern in every block read.
std::string MakeFullKey(const QString& folder)
{
    const std::string path = (folder + "/key.img").toStdString();
    platform::KeyImageFile image;
    image.Create(path);
    std::array<std::uint8_t, 512> block{};
    for (int k = 1; k <= kSessionSlotCount; ++k)
        block[(k - 1) * 12] = static_cast<std::uint8_t>(k);
    image.WriteBlock(kDirectoryBlock, block.data());
    for (int k = 1; k <= kSessionSlotCount; ++k)
        for (std::uint32_t b = SessionSlotFirstReadBlock(k); b <= SessionSlotLastBlock(k); ++b) {
            for (std::size_t i = 0; i < block.size(); ++i)
                block[i] = static_cast<std::uint8_t>(b + i);
            image.WriteBlock(b, block.data());
        }
    return path;
}

void BM_DownloadFullKey(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string image = MakeFullKey(dir.path());
    platform::SimKeyBackend usb({{image, {}}});
    int progress = 0;
    DownloadCallbacks callbacks;
    callbacks.setProgress = [&](int p) { progress = p; };
    callbacks.processEvents = [] {};
    for (auto _ : state) {
        if (DownloadFromKeys(usb, dir.path(), callbacks) != DownloadOutcome::Finished)
            state.SkipWithError("download failed");
        benchmark::DoNotOptimize(progress);
    }
    state.counters["blocks/s"] =
        benchmark::Counter(double(kBlocksPerKey), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DownloadFullKey)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
