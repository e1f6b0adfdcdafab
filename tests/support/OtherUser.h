#pragma once

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

// A second ordinary account, for what another person sharing a folder can do. Only root can
// make one; tests skip with the reason otherwise.
class OtherUser {
public:
    // The account `name`, created with its own group when missing; none, with the reason in
    // `why`, when that cannot be done here.
    static std::optional<OtherUser> make(const std::string& name, std::string& why);

    uid_t uid() const { return uid_; }
    gid_t gid() const { return gid_; }
    const std::string& name() const { return name_; }

    // Runs `work` in a child process as this user (its own group only, HOME unchanged) and
    // returns what it returned; an exception's text is returned as "threw: " + text.
    std::string run(const std::function<std::string()>& work) const;

private:
    std::string name_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};
