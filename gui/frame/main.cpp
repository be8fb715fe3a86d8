// Qorvex: the interactive program of Mendivar.
#include "frame/MainInterfaceScreen.h"
#include "frame/Tarvo2App.h"

#include <csignal>

int main(int argc, char** argv) {
  // Over a file-size limit a write fails and its session reports the write
  // error with the usual clean-up, instead of the whole program being killed.
  std::signal(SIGXFSZ, SIG_IGN);
  CTarvo2App app(argc, argv);
  if (!app.InitInstance([](CMainFrame* frame, QWidget* parent) { return CreateMainInterface(frame, parent); },
                        app.arguments())) {
    return 1;
  }
  return app.Run();
}
