// grab-window WINDOW-ID FILE: writes a picture of one X window, for
// make-screenshot.sh (no window manager runs there, so the window is all).
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <string>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) return 2;
  const auto window = static_cast<WId>(std::stoul(argv[1], nullptr, 0));
  return app.primaryScreen()->grabWindow(window).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
