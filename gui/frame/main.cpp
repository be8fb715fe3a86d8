// Qorvex: the interactive program of Mendivar.
#include "MainInterfaceScreen.h"
#include "Tarvo2App.h"

int main(int argc, char** argv) {
  CTarvo2App app(argc, argv);
  if (!app.InitInstance([](CMainFrame* frame, QWidget* parent) { return CreateMainInterface(frame, parent); },
                        app.arguments())) {
    return 1;
  }
  return app.Run();
}
