#include "worker/Policy.h"
#include "worker/Ranking.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Entry = Ranking::Entry;

void offer(Ranking& ranking, const std::string& path, int64_t size, std::string_view policy = Worker::Policy::normal)
{
    const unsigned accepting = ranking.accepting(Ranking::isMedia(path), size, path);
    if (accepting)
        ranking.add(accepting, Entry {path, size, {}, policy});
}

std::vector<std::string> paths(const std::vector<Entry>& group)
{
    std::vector<std::string> out;
    for (const Entry& entry : group)
        out.push_back(entry.path);
    return out;
}

}

TEST(Ranking, MediaIsDecidedByTheLastExtensionInAnyCase)
{
    EXPECT_TRUE(Ranking::isMedia("CLIP.MOV"));
    EXPECT_TRUE(Ranking::isMedia("song.Flac"));
    EXPECT_TRUE(Ranking::isMedia("a.3g2"));
    EXPECT_FALSE(Ranking::isMedia("clip.mov.txt"));
    EXPECT_FALSE(Ranking::isMedia("mov"));
    EXPECT_FALSE(Ranking::isMedia("x.movie"));
    EXPECT_FALSE(Ranking::isMedia("x."));
}

TEST(Ranking, KeepsTheTenLargestWithTiesBrokenByPath)
{
    Ranking ranking;
    for (int i = 1; i <= 25; ++i)
        offer(ranking, "/d/f" + std::to_string(100 + i), i * 10);
    const auto& all = ranking.group(0);
    ASSERT_EQ(all.size(), 10u);
    EXPECT_EQ(all.front().size, 250);
    EXPECT_EQ(all.back().size, 160);
    EXPECT_TRUE(ranking.group(1).empty());
    EXPECT_EQ(ranking.group(2).size(), 10u);

    EXPECT_FALSE(ranking.accepting(false, 160, "/d/z")) << "equal size, later path";
    EXPECT_TRUE(ranking.accepting(false, 160, "/d/a")) << "equal size, earlier path";
    offer(ranking, "/d/a", 160);
    EXPECT_EQ(paths(all).back(), "/d/a");
    EXPECT_EQ(paths(all)[8], "/d/f117");
    EXPECT_FALSE(ranking.accepting(false, 159, "/"));
}

TEST(Ranking, ProtectedFilesNeverEnterTheSelectableGroups)
{
    Ranking ranking;
    offer(ranking, "/d/locked.mp4", 500, Worker::Policy::isProtected);
    offer(ranking, "/d/mine.mp4", 100);
    offer(ranking, "/d/ask.txt", 300, Worker::Policy::challenge);
    EXPECT_EQ(paths(ranking.group(0)), (std::vector<std::string> {"/d/locked.mp4", "/d/ask.txt", "/d/mine.mp4"}));
    EXPECT_EQ(paths(ranking.group(1)), (std::vector<std::string> {"/d/locked.mp4", "/d/mine.mp4"}));
    EXPECT_EQ(paths(ranking.group(2)), (std::vector<std::string> {"/d/ask.txt", "/d/mine.mp4"}));
    EXPECT_EQ(paths(ranking.group(3)), (std::vector<std::string> {"/d/mine.mp4"}));
}

TEST(Ranking, RankingsOfPartsAbsorbedTogetherEqualTheRankingOfTheWhole)
{
    // Many ties, media and protected files, dealt out to three parts in an uneven way.
    Ranking whole;
    std::array<Ranking, 3> parts;
    for (int i = 0; i < 300; ++i) {
        const std::string path = "/d/" + std::to_string((i * 7919) % 300) + (i % 3 ? ".bin" : ".mov");
        const int64_t size = (i * 31) % 17;
        const std::string_view policy = i % 5 ? Worker::Policy::normal : Worker::Policy::isProtected;
        offer(whole, path, size, policy);
        offer(parts[size_t(i * i) % parts.size()], path, size, policy);
    }
    Ranking merged;
    for (const Ranking& part : parts)
        merged.absorb(part);
    for (size_t index = 0; index < Ranking::groupCount; ++index) {
        EXPECT_EQ(merged.group(index).size(), 10u) << index;
        EXPECT_EQ(paths(merged.group(index)), paths(whole.group(index))) << index;
    }
}
