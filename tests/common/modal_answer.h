#pragma once
// Answers the modal dialogs a step of a test opens, as a user would, while the step runs.
#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace testsupport {

// Runs `step`; every 5 ms while it runs, the modal dialog standing then (if any) is handed
// to `answer`.
inline void AnsweringModals(const std::function<void(QWidget* modal)>& answer, const std::function<void()>& step)
{
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) answer(modal);
    });
    timer.start();
    step();
    timer.stop();
}

}  // namespace testsupport
