#pragma once

#include "app/operations/AppTermination.h"

#include <vector>

// Records what the controller asked of the application.
class FakeApplication : public AppTermination {
public:
    std::vector<bool> replies;
    int terminations = 0;

    void replyToApplicationShouldTerminate(bool terminate) override { replies.push_back(terminate); }
    void terminate() override { ++terminations; }
};
