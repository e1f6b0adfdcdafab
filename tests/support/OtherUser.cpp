#include "OtherUser.h"

#include <cstdlib>
#include <exception>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

std::optional<OtherUser> OtherUser::make(const std::string& name, std::string& why)
{
    if (geteuid() != 0) {
        why = "a second user can only be created as root";
        return std::nullopt;
    }
    if (!getpwnam(name.c_str())) {
        const std::string command = "useradd --no-create-home --shell /usr/sbin/nologin --user-group '" + name
                                    + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) {
            why = "useradd could not create the user " + name;
            return std::nullopt;
        }
    }
    const passwd* entry = getpwnam(name.c_str());
    if (!entry) {
        why = "the user " + name + " is not known after useradd";
        return std::nullopt;
    }
    OtherUser user;
    user.name_ = name;
    user.uid_ = entry->pw_uid;
    user.gid_ = entry->pw_gid;
    return user;
}

std::string OtherUser::run(const std::function<std::string()>& work) const
{
    int channel[2];
    if (pipe(channel) != 0)
        return "threw: pipe failed";
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return "threw: fork failed";
    }
    if (child == 0) {
        close(channel[0]);
        std::string result;
        if (setgroups(0, nullptr) != 0 || setgid(gid_) != 0 || setuid(uid_) != 0) {
            result = "threw: cannot become " + name_;
        } else {
            try {
                result = work();
            } catch (const std::exception& error) {
                result = std::string("threw: ") + error.what();
            }
        }
        for (size_t done = 0; done < result.size();) {
            const ssize_t wrote = write(channel[1], result.data() + done, result.size() - done);
            if (wrote <= 0)
                break;
            done += static_cast<size_t>(wrote);
        }
        _exit(0);
    }
    close(channel[1]);
    std::string result;
    char buffer[4096];
    ssize_t got;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, static_cast<size_t>(got));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return result;
}
