#include <gtest/gtest.h>

#include "cut/audio_check.h"
#include "support/temp_dir.h"

namespace varnix {
namespace {

// The audio lists and `varnix split` take a file by these checks, in this order; the durations
// list makes only the first two (a file that can be read, a ".wav" that is PCM).
TEST(AudioListRefusal, FilesAreCheckedBeforeTheyJoinAList) {
    const struct {
        const char* data;
        const char* as;
        ListRefusal audio;
        ListRefusal durations;
    } cases[] = {
        {"ac3-stereo-192k.ac3", "a.ac3", ListRefusal::None, ListRefusal::None},
        {"wav-s16-list.wav", "a.wav", ListRefusal::None, ListRefusal::None},
        {"wav-s16-plain.wav", "a.ac3", ListRefusal::None, ListRefusal::None},
        {"wav-float.wav", "a.wav", ListRefusal::NotPCMWave, ListRefusal::NotPCMWave},
        {"wav-float.wav", "a.mp2", ListRefusal::NotPCMWave, ListRefusal::NotPCMWave},
        {"ac3-stereo-192k.ac3", "a.wav", ListRefusal::NotPCMWave, ListRefusal::NotPCMWave},
        // Letter case counts in the names.
        {"ac3-stereo-192k.ac3", "a.WAV", ListRefusal::None, ListRefusal::None},
        {"ac3-stereo-192k.ac3", "a.m2v", ListRefusal::Video, ListRefusal::None},
        {"mp2-crc.mp2", "a.mpg", ListRefusal::Video, ListRefusal::None},
        {"video/pal_mpeg2.m2v", "a.ac3", ListRefusal::Video, ListRefusal::None},
        {"README.md", "a.ac3", ListRefusal::UnknownFormat, ListRefusal::None},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        const std::string file = dir.copyData(c.data, c.as);
        EXPECT_EQ(AudioListRefusal(file), c.audio) << c.data << " as " << c.as;
        EXPECT_EQ(AudioListRefusal(file, false), ListRefusal::None) << c.data << " as " << c.as;
        EXPECT_EQ(DurationListRefusal(file), c.durations) << c.data << " as " << c.as;
    }
    const std::string gone = dir.file("gone.ac3");
    EXPECT_EQ(AudioListRefusal(gone, false), ListRefusal::Missing);
    EXPECT_EQ(DurationListRefusal(dir.path().string()), ListRefusal::Missing);  // a folder
    EXPECT_EQ(ListRefusalText(ListRefusal::Missing), "no such file, or it cannot be opened");
    EXPECT_EQ(FileNotExistText(gone),
              "gone.ac3 file not exist or it is opened by another application!");
}

}  // namespace
}  // namespace varnix
