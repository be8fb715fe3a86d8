// Qorvex: the interactive program of Mendivar.
#include "MainScreenPlaceholder.h"
#include "Tarvo2App.h"

int main(int argc, char** argv) {
  CTarvo2App app(argc, argv);
  if (!app.InitInstance([](CMainFrame*, QWidget* parent) { return new CMainScreenPlaceholder(parent); })) return 1;
  return app.Run();
}
