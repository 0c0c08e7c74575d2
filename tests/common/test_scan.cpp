// The directory scan on real temporary trees: order, extension list rules,
// hidden entries, links, deep trees and listing failures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>

#include "TestSupport.h"
#include "common/DirectoryScan.h"
#include "common/PathHelpers.h"
#include "platform/FileSystem.h"
#include "common/RunError.h"

namespace tbx {
namespace {

class ScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    root_ = dir_.path() + QLatin1Char('/');
  }
  void TearDown() override { ClearInjectedFileSystemErrors(); }

  void Files(const QStringList& relativePaths) {
    for (const QString& p : relativePaths) ASSERT_TRUE(test::WriteTextFile(root_ + p, "x")) << p.toStdString();
  }
  void Folder(const QString& relative) { ASSERT_TRUE(QDir().mkpath(root_ + relative)); }
  void Link(const QString& target, const QString& relative) {
    ASSERT_EQ(::symlink(target.toLocal8Bit().constData(), (root_ + relative).toLocal8Bit().constData()), 0);
  }
  // The scan of folder with a pool of helpers.
  QStringList Collect(const QString& folder, const QString& extensions, int helpers) {
    WorkerPool pool(helpers);
    RunLog log;
    return CollectFiles(log, TheProgress(), pool, folder, extensions).Paths();
  }
  // The scan's result relative to the root.
  QStringList Scan(const QString& extensions, int helpers = 0) {
    QStringList relative;
    for (const QString& p : Collect(root_, extensions, helpers)) {
      EXPECT_TRUE(p.startsWith(root_)) << p.toStdString();
      relative << p.mid(root_.size());
    }
    return relative;
  }

  QTemporaryDir dir_;
  QString root_;
  test::FakeProgress progress_;
};

TEST_F(ScanTest, OwnMatchesFirstThenEachSubFolderDepthFirst) {
  Files({"B/y.par", "A/x.par", "x.par", "A/C/z.par", "A/w.par"});
  EXPECT_EQ(Scan("par"), (QStringList{"x.par", "A/w.par", "A/x.par", "A/C/z.par", "B/y.par"}));
  // Every folder entered shows in the status line, in walk order.
  EXPECT_EQ(progress_.statuses, (QStringList{root_, root_ + "A/", root_ + "A/C/", root_ + "B/"}));
  EXPECT_GE(progress_.eventRounds, 8);  // once per listed entry
  EXPECT_EQ(Scan("par", 3), (QStringList{"x.par", "A/w.par", "A/x.par", "A/C/z.par", "B/y.par"}));
}

TEST_F(ScanTest, NamesSortLikeAnNtfsListing) {
  // Upper-case forms first ("_" after the letters, "Ä" after ASCII), the
  // exact form breaks ties ("A" before "a").
  // Code points, not UTF-16 units: U+1D538 comes after U+FF21.
  Files({"b.par", "_.par", "a.par", "A.par", "Ä.par", "ä.par", "\U0001D538.par", "\uFF21.par", "sub2/1.par",
         "Sub1/2.par"});
  EXPECT_EQ(Scan("par"), (QStringList{"A.par", "a.par", "b.par", "_.par", "Ä.par", "ä.par", "\uFF21.par",
                                      "\U0001D538.par", "Sub1/2.par", "sub2/1.par"}));
}

struct PatternCase {
  const char* list;
  QStringList found;
};

TEST_F(ScanTest, ExtensionListRules) {
  Files({"Bau.psm", "Ohne", "Teil.PAR", "Teil.par", "Teil.par.bak", "Zeichnung.dft"});
  const PatternCase cases[] = {
      {"par psm", {"Bau.psm", "Teil.par"}},                  // case-sensitive, last extension only
      {"*", {"Bau.psm", "Ohne", "Teil.PAR", "Teil.par", "Teil.par.bak", "Zeichnung.dft"}},
      {"* par", {"Teil.par"}},                               // "*" means all only when alone
      {"par  psm", {"Bau.psm", "Ohne", "Teil.par"}},         // two blanks: the empty extension
      {" *", {"Ohne"}},                                      // padded to "  * ": not all, but two blanks
      {"", {"Ohne"}},
      {"xls", {}},
      {"xpar parx ar", {}},                                  // whole extensions only
  };
  for (const PatternCase& c : cases) EXPECT_EQ(Scan(QString::fromUtf8(c.list)), c.found) << c.list;
}

TEST_F(ScanTest, HiddenEntriesAreNeitherFoundNorEntered) {
  Files({".versteckt.par", ".svn/a.par", "sichtbar.par"});
  EXPECT_EQ(Scan("par"), QStringList{"sichtbar.par"});
  EXPECT_EQ(Scan("*"), QStringList{"sichtbar.par"});
}

TEST_F(ScanTest, DottedFolderNamesAreWalkedNotMatched) {
  Files({"Rev.2.par/Teil.psm", "Projekt.v1/Bau.par"});
  EXPECT_EQ(Scan("par psm"), (QStringList{"Projekt.v1/Bau.par", "Rev.2.par/Teil.psm"}));
}

TEST_F(ScanTest, LinksToFoldersAreNotEnteredLinksToFilesCount) {
  Files({"A/x.par"});
  Link(root_, "A/zurueck");           // a cycle back to the root
  Link(root_ + "A/x.par", "y.par");   // a link to a file
  Link(root_ + "fehlt.par", "z.par"); // a dangling link names nothing to read
  EXPECT_EQ(Scan("par"), (QStringList{"y.par", "A/x.par"}));
}

TEST_F(ScanTest, EmptyFolderGivesEmptyResult) { EXPECT_TRUE(Scan("*").isEmpty()); }

TEST_F(ScanTest, StartFolderWithoutSeparatorIsTheFolderMeant) {
  Files({"A/x.par"});
  EXPECT_EQ(Collect(root_ + "A", "par", 0), QStringList{root_ + "A/x.par"});
}

TEST_F(ScanTest, DeepTreeIsWalkedWithoutRecursion) {
  QString deep;
  for (int i = 0; i < 300; ++i) deep += QStringLiteral("d/");
  Files({deep + "tief.par", "oben.par"});
  const QStringList found = Scan("par");
  EXPECT_EQ(found, (QStringList{"oben.par", deep + "tief.par"}));
  EXPECT_EQ(progress_.statuses.size(), 301);
  EXPECT_EQ(Scan("par", 3), found);
}

// A stop asked for while the folders are listed ends the walk there, with
// or without helpers, instead of once the whole tree is listed.
TEST_F(ScanTest, CancelStopsTheWalk) {
  // Holds every helper until the walk has seen the stop: otherwise a fast
  // machine lists all folders before the run's thread looks.
  struct Gate : PoolJob {
    std::promise<void> open;
    std::shared_future<void> opened = open.get_future().share();
    bool isOpen = false;
    void Run(qsizetype, int) override { opened.wait(); }
    void Failed(qsizetype, std::exception_ptr) noexcept override {}
  };
  struct StopAtFirstFolder : test::FakeProgress {
    Gate* gate = nullptr;
    void SetStatus(const QString& text) override {
      FakeProgress::SetStatus(text);
      cancelled = true;
    }
    bool Cancelled() const override {
      if (cancelled && !gate->isOpen) {
        gate->isOpen = true;
        gate->open.set_value();
      }
      return cancelled;
    }
  };
  const int folders = 2000;
  for (int i = 0; i < folders; ++i) Files({QStringLiteral("f%1/x.par").arg(i)});
  for (int helpers : {0, 3}) {
    WorkerPool pool(helpers);
    Gate gate;
    pool.Submit(gate, 0, pool.Size());
    StopAtFirstFolder stopping;
    stopping.gate = &gate;
    RunLog log;
    bool cancelled = false;
    const qsizetype found = CollectFiles(log, stopping, pool, root_, "par", &cancelled).Paths().size();
    EXPECT_TRUE(cancelled) << helpers;
    EXPECT_LT(found, folders) << helpers;
  }
}

TEST_F(ScanTest, ListingFailureEndsTheScanWithARunError) {
  Files({"a.par"});
  InjectFileSystemErrorForTests(FsCall::List, EACCES);
  try {
    Collect(root_, "par", 3);
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(e.number(), kErrPermissionDenied);
    EXPECT_TRUE(e.description().endsWith(root_)) << e.description().toStdString();
  }
  InjectFileSystemErrorForTests(FsCall::List, 0);
  EXPECT_THROW(Collect(root_ + "fehlt/", "par", 3), RunError);
}

}  // namespace
}  // namespace tbx

namespace tbx {
namespace {

// Names from old file servers: a folder and a file in Latin-1 are found under
// their Windows-1252 text and opened by their own bytes; a folder whose path
// is longer than the system allows is skipped, and the scan goes on.
TEST_F(ScanTest, ForeignNamesAreFoundAndUnlistableFoldersSkipped) {
  Files({"a.par"});
  const QByteArray root = QFile::encodeName(root_);
  ASSERT_EQ(::mkdir((root + "M\xFCller").constData(), 0755), 0);
  const int made = ::open((root + "M\xFCller/Teil\xE9.par").constData(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(made, 0);
  ::close(made);
  int fd = ::open(root.constData(), O_DIRECTORY);
  const std::string name(200, 'x');
  for (int depth = 0; depth < 25 && fd >= 0; ++depth) {
    ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
    const int next = ::openat(fd, name.c_str(), O_DIRECTORY);
    ::close(fd);
    fd = next;
  }
  ASSERT_GE(fd, 0);
  ::close(::openat(fd, "tief.par", O_CREAT | O_WRONLY, 0644));
  ::close(fd);
  // Folders listed on one thread or on several give the same list.
  for (const int helpers : {0, 3}) {
    const QStringList found = Scan("par", helpers);
    EXPECT_EQ(found, (QStringList{"a.par", QString::fromUtf8("Müller/Teilé.par")})) << helpers;
    EXPECT_TRUE(IsRegularFile(root_ + found.value(1)));
  }
  // QTemporaryDir cannot remove a path longer than the system allows.
  EXPECT_EQ(std::system(("rm -rf '" + root + QByteArray::fromStdString(name) + "'").constData()), 0);
}

}  // namespace
}  // namespace tbx
