#pragma once

// What the controller may ask of the application when a quit waits on a running scan.
class AppTermination {
public:
    virtual ~AppTermination() = default;

    // Answers a quit request that was held back until the scan stopped.
    virtual void replyToApplicationShouldTerminate(bool terminate) = 0;
    // Asks the application to quit.
    virtual void terminate() = 0;
};
