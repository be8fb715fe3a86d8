// How long the file list takes to load and to sort a big folder, with the
// focused row near the end and a listener on the selection as the main
// window has one (it walks the highlighted rows on every change).
//
// Usage: bench_filelist [FILES [RUNS]]   (defaults 20000 and 5)
// Prints one line per step: the median and the slowest of the runs, in ms.
#include <sys/stat.h>
#include <utime.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "browser/DirView.h"

namespace {

bool MakeFolder(const QString& root, int files) {
  for (int i = 0; i < files; ++i) {
    // Sizes and times repeat, so that ties fall back to the names.
    const QString path = root + QStringLiteral("/file%1.%2").arg(i, 5, 10, QLatin1Char('0')).arg(i % 3 == 0 ? "mvr" : "dat");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(i % 97, 'x')) != i % 97) return false;
    file.close();
    const time_t when = 1700000000 + (i * 7919) % 5000;
    const utimbuf times{when, when};
    if (::utime(QFile::encodeName(path).constData(), &times) != 0) return false;
  }
  return true;
}

void Measure(const char* what, int runs, const std::function<void()>& step) {
  std::vector<double> ms;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer clock;
    clock.start();
    step();
    ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-34s median %8.1f ms   slowest %8.1f ms\n", what, ms[ms.size() / 2], ms.back());
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  QTemporaryDir folder;
  if (!folder.isValid() || !MakeFolder(folder.path(), files)) {
    std::fprintf(stderr, "cannot make %d files in a temporary folder\n", files);
    return 1;
  }

  CDirView view;
  if (!view.Initialize()) return 1;
  view.SetSingleSelection(false);
  view.resize(900, 600);
  view.show();
  long walks = 0;
  QObject::connect(&view, &CDirView::highlightChanged, [&] { walks += static_cast<long>(view.GetHighlighted().size()); });
  QObject::connect(&view, &CDirView::marksChanged, [&] { walks += static_cast<long>(view.GetMarks().size()); });

  std::printf("%d files, %d runs each\n", files, runs);
  Measure("load the folder", runs, [&] { view.LoadFolder(folder.path()); });
  const auto focusNearTheEnd = [&] {
    view.SetFocusedRow(view.GetItemCount() - 10);
    view.SetHighlighted(view.GetItemCount() - 10, true);
    view.setFocus();
  };
  focusNearTheEnd();
  Measure("reverse the order (by name)", runs, [&] { view.Sort(CDirView::kColName, true); });
  Measure("sort by size", runs, [&] { view.Sort(CDirView::kColSize, false); });
  Measure("sort by date", runs, [&] { view.Sort(CDirView::kColDate, false); });
  Measure("sort by type", runs, [&] { view.Sort(CDirView::kColType, false); });
  for (int i = 0; i < files; i += 50) view.ToggleMark(i);
  Measure("marked in front on and off", runs, [&] {
    view.Sort(CDirView::kColMark, false);
    view.Sort(CDirView::kColMark, false);
  });
  std::printf("(the selection listener walked %ld rows)\n", walks);
  return 0;
}
