#include "common/staged_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvanti {
namespace {

namespace fs = std::filesystem;

fs::path staged(StagedFiles& files, const fs::path& name, const std::string& text) {
    std::error_code error;
    const auto temporary = files.stage(name, error);
    EXPECT_TRUE(temporary) << error.message();
    EXPECT_EQ(temporary->parent_path(), name.parent_path());
    EXPECT_TRUE(write_whole_file(*temporary, text));
    return *temporary;
}

TEST(StagedFiles, ASetAppearsOnlyWhenCommittedAndReplacesOlderFiles) {
    testing::ScratchDir dir;
    testing::write_file(dir.path() / "A.DAT", "old a\n");
    {
        StagedFiles files;
        staged(files, dir.path() / "A.DAT", "new a\n");
        staged(files, dir.path() / "B.DAT", "new b\n");
        EXPECT_EQ(testing::read_file(dir.path() / "A.DAT"), "old a\n");
        EXPECT_FALSE(fs::exists(dir.path() / "B.DAT"));
        EXPECT_FALSE(files.commit());
    }
    EXPECT_EQ(testing::read_file(dir.path() / "A.DAT"), "new a\n");
    EXPECT_EQ(testing::read_file(dir.path() / "B.DAT"), "new b\n");
    EXPECT_EQ(testing::names_in(dir.path()), (std::set<std::string>{"A.DAT", "B.DAT"}));
}

TEST(StagedFiles, AFailedSetReplacesNothingAndLeavesNoTemporaryFile) {
    testing::ScratchDir dir;
    testing::write_file(dir.path() / "A.DAT", "old a\n");
    // Not committed: the temporary files go, the older file stays.
    {
        StagedFiles files;
        staged(files, dir.path() / "A.DAT", "new a\n");
    }
    EXPECT_EQ(testing::names_in(dir.path()), (std::set<std::string>{"A.DAT"}));

    // The second name is taken by a directory: found before the first file
    // is replaced.
    fs::create_directory(dir.path() / "B.DAT");
    StagedFiles files(".yaziliyor");
    EXPECT_EQ(staged(files, dir.path() / "A.DAT", "new a\n"), dir.path() / "A.DAT.yaziliyor");
    staged(files, dir.path() / "B.DAT", "new b\n");
    const auto failure = files.commit();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->name, dir.path() / "B.DAT");
    EXPECT_EQ(failure->error, std::errc::is_a_directory);
    EXPECT_EQ(testing::read_file(dir.path() / "A.DAT"), "old a\n");
    EXPECT_EQ(testing::names_in(dir.path()), (std::set<std::string>{"A.DAT", "B.DAT"}));

    // A temporary file that cannot be made: the reason, and nothing made.
    std::error_code error;
    EXPECT_FALSE(files.stage(dir.path() / "missing" / "C.DAT", error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(files.commit());
    EXPECT_EQ(testing::names_in(dir.path()), (std::set<std::string>{"A.DAT", "B.DAT"}));
}

}  // namespace
}  // namespace korvanti
