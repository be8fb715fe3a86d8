// What the status screen and the start of a session need from the frame.
#pragma once

#include <QString>

#include "process/ConstructionChoice.h"

class QWidget;

class CProcessHost {
 public:
  virtual ~CProcessHost() = default;
  // 0 = Main Interface, 1 = File Processing Status.
  virtual void SwitchToScreen(int nScreen, bool bForce) = 0;
  virtual int CurrentScreen() const = 0;
  virtual void SetStatusText(const QString& text) = 0;
  // The owner of message boxes.
  virtual QWidget* HostWindow() = 0;
  // How the constructions started now are to be built.
  virtual EConstructionChoice ConstructionChoice() const = 0;
};
