#pragma once
// Drives a modal dialog from a test: act runs once, inside the dialog's own
// event loop, as soon as a visible modal widget of type T is up. Record values
// in act and assert after the dialog returns, so a failing check never leaves
// the dialog open. Showing a file dialog can itself process events; an answer
// given then, before the dialog's event loop runs, would be lost, so act waits
// for that loop.
#include <QApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>

namespace tbx::test {

template <typename T, typename Act>
void WhenModal(Act act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act]() mutable {
    auto* widget = dynamic_cast<T*>(QApplication::activeModalWidget());
    if (!widget || !widget->isVisible() || QThread::currentThread()->loopLevel() == 0) return;
    timer->stop();
    timer->deleteLater();
    act(widget);
  });
  timer->start();
}

}  // namespace tbx::test
