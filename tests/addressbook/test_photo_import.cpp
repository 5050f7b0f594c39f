// Importing a picture into the photo folder: copies, canonical folder comparison, typed paths, failures.
#include "addressbook/photo_import.h"
#include "common/safe_write.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {
std::string text(const fs::path& p) {
    return p.string();
}
} // namespace

TEST(PhotoImport, PathBoxJoinsFolderAndFile) {
    EXPECT_EQ(pickerPathText("/home/zs/pics", "a.jpg"), "/home/zs/pics/a.jpg");
    EXPECT_EQ(pickerPathText("/home/zs/pics", ""), "/home/zs/pics/");
    EXPECT_EQ(pickerPathText("/", ""), "/"); // a root folder keeps one separator
    EXPECT_EQ(pickerPathText("/", "a.jpg"), "/a.jpg");
    EXPECT_TRUE(pathTextNamesFolder("/home/zs/"));
    EXPECT_TRUE(pathTextNamesFolder(""));
    EXPECT_FALSE(pathTextNamesFolder("/home/zs/a.jpg"));
}

TEST(PhotoImport, AFileElsewhereIsCopiedReplacingOneOfTheSameName) {
    TempWorkDir dir;
    dir.write("pics/a.jpg", "new picture");
    dir.write("txl/txlphoto/a.jpg", "old picture");
    PhotoImport r = importPhoto(dir / "txl/txlphoto", dir / "pics", text(dir / "pics/a.jpg"));
    ASSERT_FALSE(r.failure);
    EXPECT_EQ(r.name, "a.jpg");
    EXPECT_TRUE(r.copied);
    EXPECT_EQ(dir.read("txl/txlphoto/a.jpg"), "new picture");
    EXPECT_EQ(dir.read("pics/a.jpg"), "new picture");
}

TEST(PhotoImport, AFileAlreadyInThePhotoFolderIsNotCopied) {
    TempWorkDir dir;
    dir.write("txl/txlphoto/b.gif", "picture");
    const fs::path folder = dir / "txl/txlphoto";
    // The same folder written with a trailing separator, through "..", or through a link.
    fs::create_directory_symlink(folder, dir / "link");
    for (const std::string& typed : {text(folder / "b.gif"), text(dir / "txl/txlphoto/./b.gif"),
                                     text(dir / "txl/../txl/txlphoto/b.gif"), text(dir / "link/b.gif")}) {
        setSafeWriteFaultForTests([](std::string_view, const fs::path&) { return std::string("must not write"); });
        PhotoImport r = importPhoto(text(folder) + "/", dir.path(), typed);
        setSafeWriteFaultForTests(nullptr);
        EXPECT_FALSE(r.failure) << typed;
        EXPECT_FALSE(r.copied) << typed;
        EXPECT_EQ(r.name, "b.gif");
    }
    EXPECT_EQ(dir.read("txl/txlphoto/b.gif"), "picture");
}

TEST(PhotoImport, TypedPathMustNameAnExistingFileAndNamesTheCopy) {
    TempWorkDir dir;
    dir.write("pics/real.jpg", "x");
    PhotoImport missing = importPhoto(dir / "txl/txlphoto", dir / "pics", text(dir / "pics/none.jpg"));
    ASSERT_TRUE(missing.failure);
    EXPECT_EQ(missing.failure->title, "警告");
    PhotoImport folder = importPhoto(dir / "txl/txlphoto", dir / "pics", text(dir / "pics"));
    EXPECT_TRUE(folder.failure);
    // A relative path is taken inside the folder shown; the photo folder is created at the first copy.
    PhotoImport relative = importPhoto(dir / "txl/txlphoto", dir / "pics", "real.jpg");
    ASSERT_FALSE(relative.failure);
    EXPECT_EQ(relative.name, "real.jpg");
    EXPECT_EQ(dir.read("txl/txlphoto/real.jpg"), "x");
}

TEST(PhotoImport, NamesACardCannotHoldAreRefused) {
    TempWorkDir dir;
    dir.write("pics/50%.jpg", "x");
    PhotoImport r = importPhoto(dir / "txl/txlphoto", dir / "pics", text(dir / "pics/50%.jpg"));
    ASSERT_TRUE(r.failure);
    EXPECT_FALSE(dir.exists("txl/txlphoto/50%.jpg"));
}

TEST(PhotoImport, AFailedCopyChangesNothing) {
    TempWorkDir dir;
    dir.write("pics/a.jpg", "new");
    dir.write("txl/txlphoto/a.jpg", "old");
    setSafeWriteFaultForTests([](std::string_view step, const fs::path&) {
        return step == "fsync" ? std::string("input/output error") : std::string();
    });
    PhotoImport r = importPhoto(dir / "txl/txlphoto", dir / "pics", text(dir / "pics/a.jpg"));
    setSafeWriteFaultForTests(nullptr);
    ASSERT_TRUE(r.failure);
    EXPECT_NE(r.failure->text.find("input/output error"), std::string::npos);
    EXPECT_FALSE(r.copied);
    EXPECT_EQ(dir.read("txl/txlphoto/a.jpg"), "old");
}
