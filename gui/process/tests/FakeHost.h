// The frame as the status screen and the start routine see it.
#pragma once

#include <QStringList>
#include <QWidget>

#include "process/ProcessHost.h"

class FakeHost : public CProcessHost {
 public:
  void SwitchToScreen(int nScreen, bool) override {
    screen = nScreen;
    ++switches;
  }
  int CurrentScreen() const override { return screen; }
  void SetStatusText(const QString& text) override { statusTexts << text; }
  QWidget* HostWindow() override { return &window; }
  EConstructionChoice ConstructionChoice() const override { return choice; }

  QWidget window;
  int screen = 0;
  int switches = 0;
  QStringList statusTexts;
  EConstructionChoice choice = EConstructionChoice::standard;
};
