#include "engine/imaging/ImageLoader.h"
#include "tests/engine/imaging/ImagingFixtures.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumora;
using fixtures::diagnosticsLog;
using fixtures::urlOf;
namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kMin = 8192;

/// Writes `size` bytes to `name` and sets its modification time to `mtime` seconds.
fs::path put(const testsupport::TempDir &dir, const std::string &name, std::size_t size = kMin,
             double mtime = 1'000'000) {
  const fs::path path = dir.write(name, std::string(size, 'x'));
  testsupport::setModified(path, mtime);
  return path;
}

std::vector<std::string> names(const EnumerateResult &result, const fs::path &root) {
  std::vector<std::string> out;
  for (const auto &file : result.files) {
    out.push_back(fs::path(file.path).lexically_relative(root).string());
  }
  return out;
}

EnumerateResult listFolder(const fs::path &root, bool includeHidden = false) {
  ScanOptions options;
  options.includeHidden = includeHidden;
  return ImageLoader::enumerate({urlOf(root)}, options);
}

/// Runs `body` in a child process without the capabilities that let root read any file, so
/// that permission tests mean the same for root as for a normal user. Returns the child's
/// exit status, or -1 when it could not run that way.
int withoutFileCapabilities(const std::function<int()> &body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0) {
      ::_exit(100);
    }
    for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
      data[cap / 32].effective &= ~(1u << (cap % 32));
    }
    if (::syscall(SYS_capset, &header, data) != 0) {
      ::_exit(100);
    }
    ::_exit(body());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) == 100) {
    return -1;
  }
  return WEXITSTATUS(status);
}

} // namespace

TEST(Enumerate, acceptsTheTenExtensionsInAnyCaseAndTheMinimumSize) {
  testsupport::TempDir dir;
  put(dir, "a.JPG");
  put(dir, "b.webp");
  put(dir, "c.txt");
  put(dir, "d.raw");
  put(dir, "e.png", 100);
  put(dir, "f.Heic");
  put(dir, "exact.tiff", kMin);
  put(dir, "short.tif", kMin - 1);
  put(dir, "jpg");
  put(dir, "g.jpeg.dng");
  auto listed = names(listFolder(dir.path()), dir.path());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"a.JPG", "b.webp", "exact.tiff", "f.Heic"}));
  EXPECT_EQ(ImageLoader::supportedExtensions().size(), 10u);
  EXPECT_EQ(ImageLoader::lowercaseExtension(".jpg"), "");
  EXPECT_EQ(ImageLoader::lowercaseExtension("a.B.JpEg"), "jpeg");
}

TEST(Enumerate, hiddenEntriesOnlyWhenAskedButAHiddenRootIsWalked) {
  testsupport::TempDir dir;
  put(dir, "shown.jpg", kMin, 1);
  put(dir, ".hidden.jpg", kMin, 2);
  put(dir, ".cache/inner.jpg", kMin, 3);
  put(dir, ".root/photo.jpg", kMin, 4);
  EXPECT_EQ(names(listFolder(dir.path()), dir.path()), (std::vector<std::string>{"shown.jpg"}));
  EXPECT_EQ(names(listFolder(dir.path(), true), dir.path()),
            (std::vector<std::string>{"shown.jpg", ".hidden.jpg", ".cache/inner.jpg",
                                      ".root/photo.jpg"}));
  EXPECT_EQ(listFolder(dir.file(".root")).files.size(), 1u);
}

TEST(Enumerate, packageFoldersAreNotEnteredExceptAsTheRoot) {
  testsupport::TempDir dir;
  put(dir, "Trip.photoslibrary/a.jpg");
  put(dir, "Tool.APP/b.jpg");
  put(dir, "x.bundle/c.jpg");
  put(dir, "Album.pages/d.jpg");
  EXPECT_EQ(names(listFolder(dir.path()), dir.path()),
            (std::vector<std::string>{"Album.pages/d.jpg"}));
  EXPECT_EQ(listFolder(dir.file("Trip.photoslibrary")).files.size(), 1u);
}

TEST(Enumerate, linksAreNotFollowedAndLoopsEnd) {
  testsupport::TempDir dir;
  const fs::path photo = put(dir, "real/photo.jpg");
  fs::create_symlink(photo, dir.file("real/link.jpg"));
  fs::create_directory_symlink(dir.path(), dir.file("real/loop"));
  fs::create_directory_symlink(dir.file("real"), dir.file("real/self"));
  EXPECT_EQ(names(listFolder(dir.path()), dir.path()),
            (std::vector<std::string>{"real/photo.jpg"}));
  // A root that is itself a link to a folder is walked.
  EXPECT_EQ(listFolder(dir.file("real/self")).files.size(), 1u);
}

TEST(Enumerate, oneFolderGivesOneSetOfIdsHoweverItsRootIsWritten) {
  testsupport::TempDir dir;
  put(dir, "a/photos/p.jpg");
  fs::create_directories(dir.file("a/x"));
  fs::create_directories(dir.file("b/inner"));
  put(dir, "b/photos/q.jpg");
  fs::create_directory_symlink(dir.file("b/inner"), dir.file("a/link"));
  const std::vector<std::string> ids{fs::canonical(dir.file("a/photos/p.jpg")).string()};
  for (const char *root : {"a/photos", "a/./photos", "a/x/../photos", "a/photos/", "a//photos/."}) {
    const auto result = listFolder(dir.path().string() + "/" + root);
    ASSERT_EQ(result.files.size(), 1u) << root;
    EXPECT_EQ(result.files[0].path, ids[0]) << root;
    EXPECT_EQ(result.files[0].url, urlOf(ids[0])) << root;
  }
  // ".." after a link leaves the folder the link points to, as the file system reads it.
  const auto throughLink = listFolder(dir.path().string() + "/a/link/../photos");
  ASSERT_EQ(throughLink.files.size(), 1u);
  EXPECT_EQ(throughLink.files[0].path, fs::canonical(dir.file("b/photos/q.jpg")).string());
}

TEST(Enumerate, aFileRootIsListedWhateverItIs) {
  testsupport::TempDir dir;
  const fs::path notes = put(dir, "notes.txt", 3, 5);
  const auto result = ImageLoader::enumerate({urlOf(notes)}, ScanOptions{});
  ASSERT_EQ(result.files.size(), 1u);
  EXPECT_EQ(result.files[0].path, notes.string());
  EXPECT_EQ(result.files[0].url, urlOf(notes));
  EXPECT_EQ(result.files[0].fileSize, 3);
  EXPECT_EQ(result.files[0].modified, Date{5});
}

TEST(Enumerate, missingRootsAddNothingAndUnreadableRootsAreReported) {
  testsupport::TempDir dir;
  put(dir, "open/a.jpg");
  put(dir, "open/locked/b.jpg");
  put(dir, "closed/c.jpg");
  fs::permissions(dir.file("closed"), fs::perms::none);
  fs::permissions(dir.file("open/locked"), fs::perms::none);
  const QUrl missing = urlOf(dir.file("missing"));
  const QUrl closed = urlOf(dir.file("closed"));
  const QUrl open = urlOf(dir.file("open"));
  const int status = withoutFileCapabilities([&] {
    const auto result = ImageLoader::enumerate({missing, closed, open}, ScanOptions{});
    const bool right = result.unreadableRoots == std::vector<QUrl>{closed} &&
                       result.files.size() == 1 && result.files[0].path.ends_with("open/a.jpg");
    return right ? 0 : 1;
  });
  if (status < 0) {
    GTEST_SKIP() << "cannot drop the capability to read every file";
  }
  EXPECT_EQ(status, 0);
}

TEST(Enumerate, rootsMergeInModificationOrderKeepingWalkOrderForTies) {
  testsupport::TempDir dir;
  put(dir, "one/b.jpg", kMin, 30.5);
  put(dir, "one/a.jpg", kMin, 10);
  put(dir, "one/sub/c.jpg", kMin, 10);
  put(dir, "two/d.jpg", kMin, 20.25);
  put(dir, "two/e.jpg", kMin, 10);
  const auto result = ImageLoader::enumerate(
      {urlOf(dir.file("one")), urlOf(dir.file("two")), urlOf(dir.file("one/sub"))}, ScanOptions{});
  EXPECT_EQ(names(result, dir.path()),
            (std::vector<std::string>{"one/a.jpg", "one/sub/c.jpg", "two/e.jpg", "one/sub/c.jpg",
                                      "two/d.jpg", "one/b.jpg"}));
  EXPECT_EQ(result.files.back().modified, Date{30.5});
  EXPECT_EQ(result.files[4].modified, Date{20.25});
}

TEST(Enumerate, namesThatAreNotUtf8AreCountedLoggedAndLeftOut) {
  testsupport::TempDir dir;
  put(dir, "caf\xE9.jpg");
  put(dir, "overlong\xC0\xAF.jpg");
  put(dir, "bad\xFF dir/inner.jpg");
  put(dir, "bad\xFF dir/small.jpg", 10);
  put(dir, "ok # 100%20 ?.jpg");
  put(dir, "照片.png");
  const auto result = listFolder(dir.path());
  EXPECT_EQ(result.invalidNameCount, 3);
  auto listed = names(result, dir.path());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"ok # 100%20 ?.jpg", "照片.png"}));
  for (const auto &file : result.files) {
    // Id and URL name exactly the same bytes on disk.
    EXPECT_EQ(QFile::encodeName(file.url.toLocalFile()).toStdString(), file.path);
    EXPECT_TRUE(fs::exists(file.path));
  }
  const QString log = diagnosticsLog();
  // The file's name alone: the folders above it stay out of the log.
  EXPECT_TRUE(log.contains(": caf%E9.jpg\n")) << log.toStdString();
  EXPECT_TRUE(log.contains(": inner.jpg\n"));
  EXPECT_FALSE(log.contains("bad%FF dir"));
}

TEST(Enumerate, deepTreesNeedNoDescriptorPerLevel) {
  testsupport::TempDir dir;
  std::string relative;
  for (int level = 0; level < 300; ++level) {
    relative += "d/";
  }
  put(dir, relative + "deep.jpg");
  put(dir, "top.jpg");
  const QUrl root = urlOf(dir.path());
  // With at most 32 open files, a walk that kept one folder open per level would fail.
  const pid_t pid = ::fork();
  if (pid == 0) {
    const rlimit limit{32, 32};
    ::setrlimit(RLIMIT_NOFILE, &limit);
    ::_exit(ImageLoader::enumerate({root}, ScanOptions{}).files.size() == 2 ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(Enumerate, leftoversOfAKilledMoveAreResolvedAndThePhotoPutBackIsListed) {
  testsupport::TempDir dir;
  const pid_t ended = ::fork();
  if (ended == 0) {
    ::_exit(0);
  }
  ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
  const std::string owner = std::to_string(ended);
  put(dir, "album/kept.jpg", kMin, 1);
  put(dir, "album/.pindle-leaving-" + owner + "-0-back.jpg", kMin, 2);
  put(dir, "album/.pindle-partial-" + owner + "-3", kMin, 3);
  // One of this very process stays: its move may still be running.
  const std::string live = "album/.pindle-leaving-" + std::to_string(::getpid()) + "-1-live.jpg";
  put(dir, live, kMin, 4);

  EXPECT_EQ(names(listFolder(dir.path()), dir.path()),
            (std::vector<std::string>{"album/kept.jpg", "album/back.jpg"}));
  EXPECT_TRUE(fs::exists(dir.file("album/back.jpg")));
  EXPECT_FALSE(fs::exists(dir.file("album/.pindle-partial-" + owner + "-3")));
  EXPECT_TRUE(fs::exists(dir.file(live)));
}
