// A file name in a field of the viewer: when the field is too narrow the
// name is shown with its middle replaced by an ellipsis, so that both the
// folder and the file name stay in sight; a click, a selection key or the
// context menu bring the whole name back to be selected and copied.
#pragma once

#include <QLineEdit>

class CNameField : public QLineEdit {
  Q_OBJECT
  Q_PROPERTY(QString fullName READ FullName)

 public:
  explicit CNameField(QWidget* parent = nullptr);

  void SetFullName(const QString& name);
  const QString& FullName() const { return m_strFullName; }
  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void ShowName();
  void ShowWhole();

  QString m_strFullName;
};
