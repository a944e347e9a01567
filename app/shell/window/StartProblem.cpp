#include "app/shell/window/StartProblem.h"

#include "app/store/texts/Localized.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <cstdio>

namespace lumora::startproblem {

bool hasDisplay(const QString &platformName) {
  return !platformName.isEmpty() && platformName != QStringLiteral("offscreen") &&
         !platformName.startsWith(QStringLiteral("minimal"));
}

void report(bool alreadyRunning, const QString &detail, bool display, const Dialog &dialog) {
  std::fprintf(stderr, "%s\n", detail.toLocal8Bit().constData());
  if (!display || !dialog) {
    return;
  }
  const QString lead =
      alreadyRunning
          ? localized::string("Pindle 已经在运行，但没能把它的窗口调到前面。请在任务栏里找到它。")
          : localized::string("数据文件夹里有一个文件夹占用了 Pindle 锁文件的名字，"
                              "Pindle 因此没有启动。把它移走后再打开 Pindle。");
  dialog(localized::string("Pindle 没有启动"), lead + QStringLiteral("\n\n") + detail);
}

void reportOnScreen(bool alreadyRunning, const QString &detail) {
  report(alreadyRunning, detail, hasDisplay(QGuiApplication::platformName()),
         [](const QString &title, const QString &text) {
           QMessageBox::critical(nullptr, title, text);
         });
}

} // namespace lumora::startproblem
