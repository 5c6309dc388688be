// SPDX-License-Identifier: GPL-2.0-or-later
#include "testkit.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "fake_eztw32.h"
#include "mainview.h"
#include "messages.h"
#include "sorrelby.h"

namespace testkit {

QStringList& messages() {
  static QStringList m;
  return m;
}

void recordMessages(std::function<void()> also) {
  sorrelby::installMessageSink([also](const std::string& text, const std::string& title) {
    QString entry = QString::fromStdString(text);
    if (!title.empty()) entry += " [" + QString::fromStdString(title) + "]";
    messages() << entry;
    if (also) also();
  });
}

QStringList calls() {
  const std::int32_t hwnd = sorrelby::mainWindowHandle();
  const sorrelby::MainView* view = sorrelby::mainView();
  const std::string held = view ? view->heldImageFile().toStdString() : std::string();
  QStringList out;
  for (const fake::Call& c : fake::calls()) {
    // The acquisitions take the window handle first.
    const bool takesWindow = c.name.find("Acquire") != std::string::npos;
    QStringList args;
    for (const fake::Arg& a : c.args) {
      switch (a.kind) {
        case fake::Arg::Int:
          args << (takesWindow && args.isEmpty() && a.i == hwnd ? QStringLiteral("$hwnd")
                                                                : QString::number(a.i));
          break;
        case fake::Arg::Real:
          args << QString::number(a.d);
          break;
        case fake::Arg::Text: {
          const std::string text = a.bytes.substr(0, a.bytes.size() - 1);
          if (!held.empty() && text == held)
            args << QStringLiteral("$held");
          else if (!text.empty() && text.find_first_not_of(' ') == std::string::npos)
            args << QStringLiteral("%1 blanks").arg(text.size());
          else
            args << '"' + QString::fromStdString(text) + '"';
          break;
        }
        case fake::Arg::NullText:
        case fake::Arg::NullAddress:
          args << QStringLiteral("null");
          break;
        case fake::Arg::Address:
          args << QStringLiteral("buffer");
          break;
      }
    }
    out << QString::fromStdString(c.name) + '(' + args.join(',') + ')';
  }
  return out;
}

QAction* menuItem(const QString& caption) {
  QString text = caption;
  text.replace('~', '&');
  if (!oDlg) return nullptr;
  for (QAction* menu : oDlg->menuBar()->actions())
    for (QAction* item : menu->menu()->actions())
      if (item->text() == text) return item;
  return nullptr;
}

}  // namespace testkit
