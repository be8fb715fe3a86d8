#include "help/HelpWindow.h"

#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QHBoxLayout>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "help/HelpTexts.h"

namespace htext = qorvex::help::text;

// The page lives in this static library; its resource must be registered by hand.
static void InitHelpResource() { Q_INIT_RESOURCE(help); }

namespace {

const QString kPage = QStringLiteral("qrc:/QorvexHelp/help.html");
const QString kContents = QStringLiteral("contents");

QPointer<CHelpWindow>& TheWindow() {
  static QPointer<CHelpWindow> window;
  return window;
}

const QString& PageText() {
  static const QString text = [] {
    InitHelpResource();
    QFile file(QStringLiteral(":/QorvexHelp/help.html"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }();
  return text;
}

QString AnchorOf(unsigned context) { return QStringLiteral("h%1").arg(context); }

}  // namespace

CHelpWindow::CHelpWindow() : QWidget(nullptr, Qt::Window) {
  PageText();  // registers the page
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(htext::Tr(htext::kTitle));
  m_pBrowser = new QTextBrowser(this);
  m_pBrowser->setOpenLinks(true);
  m_pBrowser->setSource(QUrl(kPage));

  auto* contents = new QPushButton(htext::Tr(htext::kContents), this);
  auto* back = new QPushButton(htext::Tr(htext::kBack), this);
  auto* forward = new QPushButton(htext::Tr(htext::kForward), this);
  connect(contents, &QPushButton::clicked, this, [this] { Open(kContents); });
  connect(back, &QPushButton::clicked, m_pBrowser, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, m_pBrowser, &QTextBrowser::forward);
  connect(m_pBrowser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(m_pBrowser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
  back->setEnabled(false);
  forward->setEnabled(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(contents);
  buttons->addWidget(back);
  buttons->addWidget(forward);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(m_pBrowser);
  resize(560, 600);
}

CHelpWindow::~CHelpWindow() = default;

CHelpWindow* CHelpWindow::Instance() { return TheWindow(); }

bool CHelpWindow::HasTopic(unsigned context) {
  return PageText().contains(QStringLiteral("id=\"%1\"").arg(AnchorOf(context)));
}

void CHelpWindow::Open(const QString& anchor) {
  m_strAnchor = anchor;
  m_pBrowser->scrollToAnchor(anchor);
  show();
  raise();
  activateWindow();
}

CHelpWindow* CHelpWindow::ShowContext(unsigned context) {
  if (!HasTopic(context)) return ShowContents();
  if (!TheWindow()) TheWindow() = new CHelpWindow;
  TheWindow()->Open(AnchorOf(context));
  return TheWindow();
}

CHelpWindow* CHelpWindow::ShowContents() {
  if (!TheWindow()) TheWindow() = new CHelpWindow;
  TheWindow()->Open(kContents);
  return TheWindow();
}

CHelpWindow* CHelpWindow::ShowHelpOnHelp() {
  if (!TheWindow()) TheWindow() = new CHelpWindow;
  TheWindow()->Open(QStringLiteral("helponhelp"));
  return TheWindow();
}

void CHelpWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}
