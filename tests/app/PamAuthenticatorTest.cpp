#include "OtherUser.h"
#include "app/auth/PamAuthenticator.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

bool run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

}

// A real account checked through the system's login stack: the password alone is not enough.
TEST(PamAuthenticator, AnExpiredAccountOrAPasswordDueForChangeIsRefused)
{
    std::string why;
    const auto user = OtherUser::make("tallyroom-pam", why);
    if (!user)
        GTEST_SKIP() << why;
    const QByteArray name = QByteArray::fromStdString(user->name());
    const QByteArray password = "Seven-Lamps-41";
    if (!run("echo '" + user->name() + ":" + password.toStdString() + "' | chpasswd")
        || !run("chage -E -1 -M -1 " + user->name()))
        GTEST_SKIP() << "chpasswd and chage cannot set the account up here";

    EXPECT_EQ(PamAuthenticator::refusal(name, password), std::nullopt);
    EXPECT_EQ(PamAuthenticator::refusal(name, "not the password"), "Authentication failed.");

    ASSERT_TRUE(run("chage -E 1 " + user->name()));
    // Debian's account stack answers a plain refusal and explains it in a message.
    const auto expired = PamAuthenticator::refusal(name, password);
    ASSERT_TRUE(expired);
    EXPECT_TRUE(*expired == "Your account has expired. Ask your administrator to renew it."
                || (expired->startsWith("Your account may not sign in at this time: ") && expired->contains("expired")))
        << expired->toStdString();

    ASSERT_TRUE(run("chage -E -1 -d 0 " + user->name()));
    EXPECT_EQ(PamAuthenticator::refusal(name, password), "Your password has expired. Change it, then try again.");
    run("chage -d $(date +%F) " + user->name());
}
