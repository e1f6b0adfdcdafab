#include "TestHome.h"

#include <cstdlib>
#include <stdexcept>

namespace TestHome {

const std::string& path()
{
    static const std::string home = [] {
        char pattern[] = "/tmp/tallyroom-home-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("mkdtemp failed");
        setenv("HOME", pattern, 1);
        return std::string(pattern);
    }();
    return home;
}

}
