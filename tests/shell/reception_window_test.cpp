// "View" > "Reception Range" after a run on the sample card, and its "Save Picture…".
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "shell/main_window.h"
#include "shell/reception_window.h"
#include "shell/shell_test_support.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

// Pixels of the first day's colour (0x0072B2) and of the second's (0xD55E00), roughly.
bool HasColour(const QImage& image, QRgb colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = image.pixel(x, y);
      if (std::abs(qRed(c) - qRed(colour)) + std::abs(qGreen(c) - qGreen(colour)) + std::abs(qBlue(c) - qBlue(colour)) < 30)
        return true;
    }
  return false;
}

TEST(ReceptionWindow, OpensAfterARunAndSavesThePicture) {
  test::TTempDir workDir;
  workDir.Write("Pelorin.ini", "HINT=FALSE\r\nINTRO=FALSE\r\nTILES=off\r\n");
  test::TRecordingMessageBox box;
  test::TFakeOpener opener;
  std::optional<QString> chosen;
  TFormMainOptions options;
  options.WorkingDir = workDir.Path().string();
  options.Messages = &box;
  options.Opener = &opener;
  options.ChoosePicturePath = [&chosen](QWidget*, const QString&) { return chosen; };
  TFormMain window(std::move(options));
  window.show();
  window.OpenDirectory(QString::fromStdString((test::SourceDir() / "samples").string()));
  window.MonthCalendar_End->setSelectedDate(QDate(2011, 4, 8));
  emit window.MonthCalendar_End->clicked(QDate(2011, 4, 8));
  EXPECT_FALSE(window.ReceptionRange1->isEnabled());
  window.BitBtn_GoogleClick();
  ASSERT_TRUE(window.ReceptionRange1->isEnabled());
  window.ReceptionRange1->trigger();
  QApplication::processEvents();
  ASSERT_NE(window.Form_ReceptionRange, nullptr);
  TReceptionWindow& range = *window.Form_ReceptionRange;
  EXPECT_TRUE(range.isVisible());
  EXPECT_EQ(range.windowTitle(), "Reception Range");
  ASSERT_EQ(range.Ranges().Days.size(), 2u);  // the card runs past midnight
  const TRangeBin* farthest = FarthestBin(range.Ranges().Whole);
  ASSERT_NE(farthest, nullptr);
  EXPECT_TRUE(range.Label_Farthest->text().contains(QString::fromStdString((*window.ReplayShips())[farthest->Entry].MMSI)));
  EXPECT_TRUE(range.Label_Farthest->text().contains(QString::number(farthest->MaxNM, 'f', 2) + " NM"));

  range.Button_SavePicture->click();  // cancelled: nothing written
  chosen = QString::fromStdString((workDir.Path() / "range").string());
  range.Button_SavePicture->click();
  const QImage saved(chosen.value() + ".png");
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), range.Diagram->size());
  EXPECT_TRUE(HasColour(saved, 0x0072B2));
  EXPECT_TRUE(HasColour(saved, 0xD55E00));
  EXPECT_TRUE(box.Shown.empty());
  chosen = QString::fromStdString((workDir.Path() / "missing" / "range.png").string());
  range.Button_SavePicture->click();
  ASSERT_EQ(box.Shown.size(), 1u);
  EXPECT_EQ(box.Shown[0].Text.rfind("Cannot write " + chosen->toStdString() + ": ", 0), 0u) << box.Shown[0].Text;
}

}  // namespace
}  // namespace pelorin
