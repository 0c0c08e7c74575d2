#pragma once
// Drives a modal dialog from a test: act runs once, inside the dialog's own
// event loop, as soon as a visible modal widget of type T is up. Record values
// in act and assert after the dialog returns, so a failing check never leaves
// the dialog open.
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace tbx::test {

template <typename T, typename Act>
void WhenModal(Act act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act]() mutable {
    auto* widget = dynamic_cast<T*>(QApplication::activeModalWidget());
    if (!widget || !widget->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(widget);
  });
  timer->start();
}

}  // namespace tbx::test
