// vecstudio: makes a water picture file by painting its areas over a photo, with the show's
// water engine moving as it is painted.

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "studio/StudioWindow.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("vecsaver");
  QApplication::setApplicationName("vecstudio");
  QApplication::setApplicationDisplayName("vecstudio");
  QApplication::setDesktopFileName("vecstudio");
  QApplication::setWindowIcon(QIcon::fromTheme("vecstudio", QIcon(":/vecstudio.svg")));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Make a water picture file: paint the water areas over a photo and tune their waves.");
  parser.addHelpOption();
  parser.addPositionalArgument("file", "a picture file (.vep) or a photo to start from");
  parser.process(app);

  vec::studio::StudioWindow window;
  window.resize(1280, 800);
  window.show();
  if (!parser.positionalArguments().isEmpty())
    window.OpenPath(parser.positionalArguments().first());
  return QApplication::exec();
}
