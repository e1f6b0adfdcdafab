#pragma once

#include <QtConcurrent>

#include <utility>

// Runs work on the shared thread pool without waiting for it; the work posts its result back
// to the main thread itself.
template <typename Work>
void inBackground(Work&& work)
{
    static_cast<void>(QtConcurrent::run(std::forward<Work>(work)));
}
