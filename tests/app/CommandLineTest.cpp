// The application's command line: what it asks for, and setup opened on a folder.

#include "FakeAuthenticator.h"
#include "Files.h"
#include "TestHome.h"
#include "Waiting.h"
#include "app/setup/DiskSetup.h"
#include "app/shell/CommandLine.h"
#include "app/shell/TallyroomApp.h"

#include <QMessageBox>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

CommandLine parsed(const QStringList& arguments)
{
    QStringList all {QStringLiteral("tallyroom")};
    all.append(arguments);
    return CommandLine::parse(all, QStringLiteral("/work/here"));
}

}

TEST(CommandLine, HelpAndVersionWinOverEverythingBeforeThem)
{
    EXPECT_EQ(parsed({"--help"}).action, CommandLine::Action::help);
    EXPECT_EQ(parsed({"/tmp", "-h"}).action, CommandLine::Action::help);
    EXPECT_EQ(parsed({"--version"}).action, CommandLine::Action::version);
    EXPECT_TRUE(CommandLine::usage().startsWith("Usage: tallyroom [FOLDER]\n"));
    EXPECT_TRUE(CommandLine::version().startsWith("tallyroom "));
    EXPECT_EQ(parsed({"--", "--help"}).action, CommandLine::Action::run) << "after -- it is a folder";
    EXPECT_EQ(parsed({"--", "--help"}).folder, "/work/here/--help");
}

TEST(CommandLine, FoldersArePathsOrLocalFileUris)
{
    EXPECT_EQ(parsed({}).folder, std::nullopt);
    EXPECT_EQ(parsed({"/home/u/Downloads/"}).folder, "/home/u/Downloads");
    EXPECT_EQ(parsed({"Downloads"}).folder, "/work/here/Downloads");
    EXPECT_EQ(parsed({"./a/../b"}).folder, "/work/here/b");
    EXPECT_EQ(parsed({"file:///home/u/My%20Files"}).folder, "/home/u/My Files");
    EXPECT_EQ(parsed({"file://localhost/srv"}).folder, "/srv");
    EXPECT_EQ(parsed({"-"}).folder, "/work/here/-");
}

TEST(CommandLine, UsageErrorsAreOneLineNamingTheProblemAndHelp)
{
    const struct {
        QStringList arguments;
        QString error;
    } cases[] = {
        {{"--bogus"}, "tallyroom: unknown option '--bogus'; see 'tallyroom --help'."},
        {{"/tmp", "-x"}, "tallyroom: unknown option '-x'; see 'tallyroom --help'."},
        {{"/a", "/b"}, "tallyroom: only one folder can be opened at a time; see 'tallyroom --help'."},
        {{""}, "tallyroom: the folder name is empty; see 'tallyroom --help'."},
        {{"sftp://host/srv"}, "tallyroom: 'sftp://host/srv' is not a local folder; see 'tallyroom --help'."},
        {{"file://elsewhere/srv"}, "tallyroom: 'file://elsewhere/srv' is not a local folder; see 'tallyroom --help'."},
    };
    for (const auto& c : cases) {
        const CommandLine command = parsed(c.arguments);
        EXPECT_EQ(command.action, CommandLine::Action::usageError) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(command.error, c.error);
        EXPECT_FALSE(command.error.contains('\n'));
    }
}

TEST(CommandLine, SelectedDiskTakesTheNextArgumentOfItsFirstOccurrence)
{
    EXPECT_EQ(parsed({"--selected-disk", "QUJD"}).selectedDisk, "QUJD");
    EXPECT_EQ(parsed({"--selected-disk", "--help"}).action, CommandLine::Action::run) << "the value is never an option";
    EXPECT_EQ(parsed({"--selected-disk", "--help"}).selectedDisk, "--help");
    EXPECT_EQ(parsed({"--selected-disk", "A", "--selected-disk", "B"}).selectedDisk, "A");
    const CommandLine missing = parsed({"--selected-disk"});
    EXPECT_EQ(missing.action, CommandLine::Action::run);
    EXPECT_EQ(missing.selectedDisk, std::nullopt);
    EXPECT_EQ(parsed({"/srv", "--selected-disk", "A"}).folder, "/srv");
}

TEST(CommandLine, AFolderOpensSetupWithItChosenAndAMissingOneGetsSetupsMessage)
{
    FakeAuthenticator authenticator;
    const std::string tree = TestHome::path() + "/opened-" + std::to_string(getpid());
    Files::makeFolder(tree);
    {
        TallyroomApp app(authenticator, DELVER);
        app.launch({"tallyroom", "file://" + QString::fromStdString(tree)});
        EXPECT_FALSE(app.ready());
        auto* setup = app.window("main")->findChild<DiskSetup*>();
        ASSERT_NE(setup, nullptr);
        EXPECT_EQ(setup->target(), QString::fromStdString(tree));
        EXPECT_TRUE(setup->readOnly());
        EXPECT_TRUE(waitUntil([&] { return setup->selectedDiskName().has_value(); }));
    }

    TallyroomApp app(authenticator, DELVER);
    app.launch({"tallyroom", QString::fromStdString(tree + "/missing")});
    auto* setup = app.window("main")->findChild<DiskSetup*>();
    ASSERT_NE(setup, nullptr);
    setup->begin();
    ASSERT_TRUE(waitUntil([&] { return setup->stoppedAlert() != nullptr; }));
    EXPECT_EQ(setup->stoppedAlert()->informativeText(), setup->error());
    EXPECT_TRUE(setup->error().contains("No such file or directory")) << setup->error().toStdString();
    EXPECT_FALSE(app.ready());
}
