#pragma once
// The illustrated guide behind "How To": eleven pages, each a title, a few short
// paragraphs and a picture of the real windows. Page 1 is the cover stored with the help
// window; pages 1 to 11 are also rendered as "Help_GE<n>.bmp" at build time.
#include <vector>

#include <QImage>
#include <QString>
#include <QStringList>

namespace pelorin {

class TCaptureScene;

inline constexpr int kHelpPageWidth = 629;  // Image_Help's area
inline constexpr int kHelpPageHeight = 454;
inline constexpr int kHelpPages = 11;

struct THelpPageText {
  QString Title;
  QStringList Paragraphs;
};

// Title and paragraphs of pages 2 to 11 (index 0 is page 2).
const std::vector<THelpPageText>& HelpPageTexts();

// The cover: the guide's title and its contents.
QImage PaintHelpCover();

// One page: the title band, the paragraphs and `picture` scaled to fit beside or below
// them, and the page number.
QImage ComposeHelpPage(int number, const THelpPageText& text, const QImage& picture);

// All eleven pages, the pictures taken from `scene`; element 0 is page 1 (the stored
// cover as the help window shows it).
std::vector<QImage> RenderHelpGuide(TCaptureScene& scene);

}  // namespace pelorin
