#include "filelayer/output_file.h"
#include "filelayer/file_text.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <limits>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "filelayer/errors.h"
#include "support/test_support.h"

namespace korvanti {
namespace {

namespace fs = std::filesystem;

// Names in the directory other than the given ones (temporary files left over).
std::vector<std::string> other_entries(const fs::path& dir,
                                       std::initializer_list<std::string> expected) {
    std::vector<std::string> others;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end())
            others.push_back(name);
    }
    return others;
}

std::string error_text(const std::string& name, const std::string& text) {
    try {
        write_output_file(name, text);
    } catch (const InputError& error) {
        return error.what();
    }
    return "";
}

TEST(OutputFile, WritesTheWholeTextAndLeavesNoTemporaryFile) {
    testing::ScratchDir dir;
    std::string text = "  1  2.5000\r\n\nlast line without newline";
    text += std::string(1, '\0') + std::string(200000, 'x');
    write_output_file("PEROF.SON", text);
    EXPECT_EQ(testing::read_file(dir.path() / "PEROF.SON"), text);
    EXPECT_TRUE(other_entries(dir.path(), {"PEROF.SON"}).empty());

    write_output_file("EMPTY.DAT", "");
    EXPECT_TRUE(fs::exists(dir.path() / "EMPTY.DAT"));
    EXPECT_EQ(fs::file_size(dir.path() / "EMPTY.DAT"), 0u);
}

TEST(OutputFile, ReplacesAnOlderFileCompletely) {
    testing::ScratchDir dir;
    testing::write_file(dir.path() / "PERVDAT", std::string(5000, 'o') + "\nold tail\n");
    write_output_file("PERVDAT", "new\n");
    EXPECT_EQ(testing::read_file(dir.path() / "PERVDAT"), "new\n");
    EXPECT_TRUE(other_entries(dir.path(), {"PERVDAT"}).empty());

    // As a rename would: a second link to the older file keeps the older
    // text, and a symbolic link of that name is replaced, not followed.
    testing::write_file(dir.path() / "PEROF.SON", "old offsets\n");
    fs::create_hard_link(dir.path() / "PEROF.SON", dir.path() / "kept.SON");
    testing::write_file(dir.path() / "target.txt", "target\n");
    fs::create_symlink("target.txt", dir.path() / "SEHAM.DAT");
    write_output_file("PEROF.SON", "new offsets\n");
    write_output_file("SEHAM.DAT", "new summary\n");
    EXPECT_EQ(testing::read_file(dir.path() / "PEROF.SON"), "new offsets\n");
    EXPECT_EQ(testing::read_file(dir.path() / "kept.SON"), "old offsets\n");
    EXPECT_FALSE(fs::is_symlink(dir.path() / "SEHAM.DAT"));
    EXPECT_EQ(testing::read_file(dir.path() / "SEHAM.DAT"), "new summary\n");
    EXPECT_EQ(testing::read_file(dir.path() / "target.txt"), "target\n");
    EXPECT_TRUE(
        other_entries(dir.path(), {"PERVDAT", "PEROF.SON", "kept.SON", "SEHAM.DAT", "target.txt"})
            .empty());
}

TEST(OutputFile, AFileThatCannotBeWrittenIsAnInputErrorNamingItAndKeepsTheOldOne) {
    testing::ScratchDir dir;
    // The name is taken by a directory: the text is written aside, but it
    // cannot take the name.
    fs::create_directory(dir.path() / "PEROF2.SON");
    testing::write_file(dir.path() / "PEROF2.SON" / "inside", "kept\n");
    EXPECT_EQ(error_text("PEROF2.SON", "text\n"),
              " HATA: PEROF2.SON dosyasi calisma dizinine yazilamadi");
    EXPECT_TRUE(fs::is_directory(dir.path() / "PEROF2.SON"));
    EXPECT_EQ(testing::read_file(dir.path() / "PEROF2.SON" / "inside"), "kept\n");
    EXPECT_TRUE(other_entries(dir.path(), {"PEROF2.SON"}).empty());

    // Its folder does not exist: nothing can be written at all.
    EXPECT_EQ(error_text("missing/SEHAM.DAT", "text\n"),
              " HATA: missing/SEHAM.DAT dosyasi calisma dizinine yazilamadi");
    EXPECT_TRUE(other_entries(dir.path(), {"PEROF2.SON"}).empty());

    // A folder where the temporary file should go: the old file stays, and
    // the folder (not the writer's own) too.
    testing::write_file(dir.path() / "SEHAM.DAT", "old\n");
    fs::create_directory(dir.path() / "SEHAM.DAT.yaziliyor");
    EXPECT_EQ(error_text("SEHAM.DAT", "new\n"),
              " HATA: SEHAM.DAT dosyasi calisma dizinine yazilamadi");
    EXPECT_EQ(testing::read_file(dir.path() / "SEHAM.DAT"), "old\n");
    EXPECT_TRUE(fs::is_directory(dir.path() / "SEHAM.DAT.yaziliyor"));
}

// Lets this process write files of at most `bytes`; a longer write fails
// (instead of raising SIGXFSZ) until the object goes.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        saved_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, saved_handler_);
    }
    bool active() const { return active_; }

private:
    rlimit saved_{};
    void (*saved_handler_)(int) = SIG_DFL;
    bool active_ = false;
};

TEST(OutputFile, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
    testing::ScratchDir dir;
    const std::string old_text = "old and complete\n";
    testing::write_file(dir.path() / "PERVDAT", old_text);
    std::string error;
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        error = error_text("PERVDAT", std::string(100000, 'n'));
    }
    EXPECT_EQ(error, " HATA: PERVDAT dosyasi calisma dizinine yazilamadi");
    EXPECT_EQ(testing::read_file(dir.path() / "PERVDAT"), old_text);
    EXPECT_TRUE(other_entries(dir.path(), {"PERVDAT"}).empty());
}

TEST(OutputFile, ASinkInPlaceReceivesTheFilesAndNothingReachesTheDisk) {
    testing::ScratchDir dir;
    testing::write_file(dir.path() / "PEROF.SON", "on disk\n");
    MemoryOutput memory;
    {
        OutputRedirect redirect(memory);
        write_output_file("PEROF.SON", "first\n");
        write_output_file("PEROF.SON", "second\n");
        write_output_file("PERVDAT", "panels\n");
        // A name the disk could not take is no error for the sink.
        write_output_file("missing/SEHAM.DAT", "radial\n");
    }
    EXPECT_EQ(memory.files().size(), 3u);
    EXPECT_EQ(memory.files().at("PEROF.SON"), "second\n");
    EXPECT_EQ(memory.files().at("PERVDAT"), "panels\n");
    EXPECT_EQ(memory.files().at("missing/SEHAM.DAT"), "radial\n");
    EXPECT_EQ(testing::read_file(dir.path() / "PEROF.SON"), "on disk\n");
    EXPECT_FALSE(fs::exists(dir.path() / "PERVDAT"));

    // The redirect ended: files go to the disk again.
    write_output_file("PERVDAT", "on disk too\n");
    EXPECT_EQ(testing::read_file(dir.path() / "PERVDAT"), "on disk too\n");
    EXPECT_EQ(memory.files().at("PERVDAT"), "panels\n");
}

TEST(OutputFile, RedirectsNestAndRestoreTheOuterSink) {
    testing::ScratchDir dir;
    MemoryOutput outer;
    MemoryOutput inner;
    OutputRedirect to_outer(outer);
    {
        OutputRedirect to_inner(inner);
        write_output_file("A", "inner\n");
    }
    write_output_file("B", "outer\n");
    EXPECT_EQ(inner.files().size(), 1u);
    EXPECT_EQ(inner.files().at("A"), "inner\n");
    EXPECT_EQ(outer.files().size(), 1u);
    EXPECT_EQ(outer.files().at("B"), "outer\n");
    EXPECT_TRUE(other_entries(dir.path(), {}).empty());
}

TEST(FileText, HoldsExactlyWhatWasWrittenWithinAndBeyondItsRoom) {
    for (std::size_t room : {std::size_t{0}, std::size_t{8}, std::size_t{100000}}) {
        FileText out("PERVDAT", room);
        std::string expected;
        for (int i = 0; i < 2000; ++i) {
            out.line("line " + std::to_string(i));
            expected += "line " + std::to_string(i) + "\n";
        }
        EXPECT_EQ(std::move(out).finish(), expected) << room;
    }
    EXPECT_EQ(FileText("PERVDAT", 64).finish(), "");
}

// A NaN or an infinite value refuses the whole file, whether it goes in
// through a record or as a number text; finite values, however large or
// small, and integers never do.
TEST(FileText, ANonFiniteValueRefusesTheFileByName) {
    FileText fine("SEHAM.DAT");
    fine.record("(F5.1,I4,E12.4)", {3.4e38f, 2147483647, -1e-38f});
    fine.check(-3.4e38f);
    EXPECT_EQ(std::move(fine).finish(),
              format_record("(F5.1,I4,E12.4)", {3.4e38f, 2147483647, -1e-38f}));
    const float inf = std::numeric_limits<float>::infinity();
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), inf, -inf}) {
        FileText in_record("PERVDAT");
        in_record.record("(2F10.5)", {1.0f, bad});
        in_record.line(" after the value");
        try {
            std::move(in_record).finish();
            ADD_FAILURE() << bad << " was written";
        } catch (const InputError& error) {
            EXPECT_STREQ(error.what(),
                         " HATA: hesaplanan degerlerde sayi olmayan (NaN) ya da sonsuz deger "
                         "cikti; PERVDAT yazilmadi. Ear, P/D ve D degerlerini denetleyin");
        }
        FileText as_text("Korvanti3D_Rhino3_4_Macro.TXT");
        as_text.check(bad);
        EXPECT_THROW(std::move(as_text).finish(), InputError) << bad;
    }
}

}  // namespace
}  // namespace korvanti
