#include "device/simulated/SimulatedMicrophone.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/SoundCheck.h"
#include "tests/support/ScratchFolder.h"

namespace orvane {
namespace {

// Reads the next Frames of 16-bit mono samples from the pipe, as the sound server would.
TSoundLevels Listen(int pipe, size_t frames) {
  std::vector<int16_t> samples(frames);
  auto* bytes = reinterpret_cast<char*>(samples.data());
  size_t got = 0;
  while (got < frames * 2) {
    const ssize_t n = read(pipe, bytes + got, frames * 2 - got);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  TSoundCheck check;
  check.Feed(TSoundBlock{samples.data(), got / 2, {TSampleType::Int16, 1, 48000}});
  return check.Levels();
}

TEST(SimulatedMicrophone, WritesItsToneAtTheLevelTheWindowSets) {
  testing::ScratchFolder folder;
  const std::string path = folder / "speechmike.fifo";
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  // The server's end is open before the microphone's, as a pipe source keeps it.
  const int pipe = open(path.c_str(), O_RDWR);
  ASSERT_GE(pipe, 0);
  {
    TSimulatedMicrophone microphone(path);
    EXPECT_NEAR(Listen(pipe, 4800).peakDb, -20, 0.2);
    // What was written before a change may still be in the pipe: the new level comes after it.
    const auto reaches = [&](double db) {
      for (int window = 0; window < 2000; ++window)
        if (std::abs(Listen(pipe, 2400).peakDb - db) < 0.2) return true;
      return false;
    };
    microphone.SetLevel(-6);
    EXPECT_TRUE(reaches(-6));
    microphone.SetLevel(TSimulatedMicrophone::kSilentDb);
    EXPECT_TRUE(reaches(kFloorDb));
    EXPECT_EQ(Listen(pipe, 4800).peakDb, kFloorDb);
  }
  close(pipe);
}

}  // namespace
}  // namespace orvane
