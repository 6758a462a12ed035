// Drives a modal form from a test. A test cannot block on exec(), so the
// test's actions are queued on the event loop first; they run once the form's
// own loop is spinning, and the wait for the form to finish is bounded.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

// Runs fnAction on the first visible modal widget of type T once it is shown,
// waiting at most nTimeoutMs for it to appear. Call before the code that
// opens the form; returns at once. *pbRan (when given) becomes true when the
// action ran.
template <typename T>
void OnNextModal(std::function<void(T*)> fnAction, bool* pbRan = nullptr, int nTimeoutMs = 5000) {
    auto* pTimer = new QTimer();
    auto* pClock = new QElapsedTimer();
    pClock->start();
    pTimer->setInterval(5);
    QObject::connect(pTimer, &QTimer::timeout, [pTimer, pClock, fnAction, pbRan, nTimeoutMs]() {
        T* pForm = qobject_cast<T*>(QApplication::activeModalWidget());
        if (pForm == nullptr) {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                T* p = qobject_cast<T*>(w);
                if (p && p->isVisible() && p->isModal()) pForm = p;
            }
        }
        if (pForm != nullptr || pClock->elapsed() > nTimeoutMs) {
            pTimer->stop();
            pTimer->deleteLater();
            delete pClock;
            if (pForm != nullptr) {
                fnAction(pForm);
                if (pbRan) *pbRan = true;
            }
        }
    });
    pTimer->start();
}
