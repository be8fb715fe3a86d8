// Message boxes as tests meet them: each step records the box and presses
// one of its buttons.
#pragma once

#include <QAbstractButton>
#include <QMessageBox>

#include "ModalScript.h"

struct SeenMessage {
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  unsigned helpId = 0;
  int count = 0;
};

inline bool IsMessage(QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; }

inline ModalStep Answer(QMessageBox::StandardButton button, SeenMessage* seen = nullptr) {
  return {IsMessage, [button, seen](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (seen != nullptr) {
              seen->text = box->text();
              seen->icon = box->icon();
              seen->buttons = box->standardButtons();
              seen->helpId = box->property("mvrHelpId").toUInt();
              ++seen->count;
            }
            if (QAbstractButton* b = box->button(button)) {
              b->click();
            } else {
              box->reject();
            }
          }};
}
