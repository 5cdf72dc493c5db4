#include "net/download_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using namespace download_status;

namespace {

// Statuses of entries 1..n, and what the walk over them decides.
struct FinishCase {
    std::vector<std::uint8_t> statuses;
    std::optional<std::vector<std::string>> failed;
};

TEST(DownloadListTest, FinishesOnlyWhenNoEntryIsRunning) {
    using Names = std::vector<std::string>;
    const FinishCase cases[] = {
        {{kAllData}, Names{""}},
        {{kAllData, kAllData}, Names{""}},
        {{kAllData, kError}, Names{"", "f2"}},
        {{kError, kAllData, kError}, Names{"", "f1", "f3"}},
        {{kAllData, kStarted}, std::nullopt},
        {{kStarted, kError}, std::nullopt},
        // Any other code counts as not finished, as the walk stops there.
        {{kAllData, 3}, std::nullopt},
    };
    for (const FinishCase& c : cases) {
        const std::string names[] = {"f1", "f2", "f3"};
        DownloadList list;
        for (std::size_t i = 0; i < c.statuses.size(); ++i) list.Add(names[i]);
        for (std::size_t i = 0; i < c.statuses.size(); ++i)
            if (c.statuses[i] != kStarted) list.Record(names[i], c.statuses[i]);
        EXPECT_EQ(list.FailedIfAllFinished(), c.failed) << "case with " << c.statuses.size();
    }
}

TEST(DownloadListTest, RecordNeedsARunningEntryOfExactlyThatName) {
    DownloadList list;
    list.Add("C:\\Temp\\setup.exe");
    EXPECT_FALSE(list.Record("c:\\temp\\setup.exe", kAllData)) << "exact comparison";
    EXPECT_TRUE(list.Record("C:\\Temp\\setup.exe", kAllData));
    EXPECT_FALSE(list.Record("C:\\Temp\\setup.exe", kError)) << "already ended";
    EXPECT_THAT(list.Statuses(), ElementsAre(kError, kAllData));
    list.Reset();
    EXPECT_FALSE(list.Record("C:\\Temp\\setup.exe", kAllData)) << "forgotten after a reset";
}

TEST(DownloadListTest, TwoDownloadsToOneFileEachGetTheirOwnStatus) {
    DownloadList list;
    list.Add("same");
    list.Add("same");
    EXPECT_TRUE(list.Record("same", kAllData));
    EXPECT_EQ(list.FailedIfAllFinished(), std::nullopt);
    EXPECT_TRUE(list.Record("same", kError));
    EXPECT_EQ(list.FailedIfAllFinished(), (std::vector<std::string>{"", "same"}));
}

}  // namespace
