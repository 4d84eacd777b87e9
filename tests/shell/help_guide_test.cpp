// The illustrated guide: the stored first page, the eleven pages rendered from the real
// windows, and the help window paging through them as files.
#include <set>

#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

#include "shell/help_guide.h"
#include "shell/help_window.h"
#include "shell/pictures.h"
#include "shell/shell_test_support.h"
#include "shell/window_captures.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

QString Samples() { return QString::fromStdString((test::SourceDir() / "samples").string()); }
QString Path(const test::TTempDir& dir) { return QString::fromStdString(dir.Path().string()); }

QByteArray Digest(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  return QCryptographicHash::hash(QByteArrayView(rgb.constBits(), rgb.sizeInBytes()), QCryptographicHash::Sha1);
}

TEST(HelpGuide, StoredFirstPageIsTheCoverOfTheHelpArea) {
  const QImage stored = HelpPage1Picture();
  ASSERT_FALSE(stored.isNull());
  EXPECT_EQ(stored.size(), QSize(kHelpPageWidth, kHelpPageHeight));
  test::TRecordingMessageBox box;
  TForm_Help help(box);
  EXPECT_EQ(Digest(help.Picture()), Digest(stored));
  EXPECT_EQ(PaintHelpCover().size(), stored.size());
}

TEST(HelpGuide, OnePageTextForEachPageAfterTheCover) {
  const auto& texts = HelpPageTexts();
  ASSERT_EQ(texts.size(), static_cast<size_t>(kHelpPages - 1));
  std::set<QString> titles;
  for (const THelpPageText& text : texts) {
    EXPECT_FALSE(text.Paragraphs.isEmpty()) << text.Title.toStdString();
    titles.insert(text.Title);
  }
  EXPECT_EQ(titles.size(), texts.size());
}

struct GuideFixture : ::testing::Test {
  test::TTempDir work;
  test::TTempDir pages;
};

TEST_F(GuideFixture, ElevenDistinctPagesFromTheRealWindowsThatTheHelpWindowPagesThrough) {
  std::vector<QImage> guide;
  {
    TCaptureScene scene(Path(work), Samples());
    EXPECT_EQ(scene.MainWindow(false).width(), 632);
    EXPECT_EQ(scene.MainWindow(true).width(), 998);
    EXPECT_FALSE(scene.SheetWindow().isNull());
    guide = RenderHelpGuide(scene);
  }
  ASSERT_EQ(guide.size(), static_cast<size_t>(kHelpPages));
  std::set<QByteArray> digests;
  for (const QImage& page : guide) {
    EXPECT_EQ(page.size(), QSize(kHelpPageWidth, kHelpPageHeight));
    digests.insert(Digest(page));
  }
  EXPECT_EQ(digests.size(), guide.size());
  EXPECT_EQ(Digest(guide[0]), Digest(HelpPage1Picture()));
  // The ship list of the scene was exported beside the settings, not anywhere else.
  EXPECT_TRUE(std::filesystem::exists(work.Path() / "Mappe_SD.xls"));

  for (int n = 1; n <= kHelpPages; ++n)
    ASSERT_TRUE(guide[static_cast<size_t>(n - 1)].save(QDir(Path(pages)).filePath(TForm_Help::PageFileName(n)), "BMP"));
  test::TRecordingMessageBox box;
  TForm_Help help(box, Path(pages));
  for (int n = 2; n <= kHelpPages; ++n) {
    help.BitBtn_NextClick();
    EXPECT_EQ(help.PictureSource(), TForm_Help::PageFileName(n));
    EXPECT_EQ(Digest(help.Picture()), Digest(guide[static_cast<size_t>(n - 1)])) << n;
  }
  EXPECT_TRUE(box.Shown.empty());
}

}  // namespace
}  // namespace pelorin
