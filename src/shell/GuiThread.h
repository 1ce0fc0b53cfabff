// Long work runs on a worker thread while the window's thread keeps painting. These helpers carry
// calls between the two: a call made on the worker that needs a widget runs on the window's
// thread, and the window's thread runs a worker to its end without blocking its event loop.
#pragma once

#include <functional>

namespace quenterra {

// Whether the caller is the window's (the application's) thread.
bool OnGuiThread();
// Runs fn on the window's thread and returns when it has run; at once when already there.
void RunOnGuiThread(const std::function<void()>& fn);
// Queues fn to run on the window's thread later and returns at once.
void PostToGuiThread(std::function<void()> fn);
// Runs work on a new thread and processes the window's events until it ends; then joins it and
// rethrows what the work threw. Called on the window's thread.
void RunOnWorker(const std::function<void()>& work);

}  // namespace quenterra
