#include "shell/GuiThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <exception>
#include <thread>

namespace quenterra {

bool OnGuiThread() { return QThread::currentThread() == QCoreApplication::instance()->thread(); }

void RunOnGuiThread(const std::function<void()>& fn) {
  if (OnGuiThread()) {
    fn();
    return;
  }
  QMetaObject::invokeMethod(QCoreApplication::instance(), fn, Qt::BlockingQueuedConnection);
}

void PostToGuiThread(std::function<void()> fn) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(fn), Qt::QueuedConnection);
}

void RunOnWorker(const std::function<void()>& work) {
  std::exception_ptr error;
  QEventLoop loop;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace quenterra
