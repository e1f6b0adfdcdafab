// Black-box tests of delver's command line and protocol.

#include "DelverHarness.h"

using namespace harness;

namespace {

std::string base64Of(const std::string& text) { return Base64::encode(text); }

}

TEST(DelverEntry, MissingOrMalformedScopeTextAsksForATargetDisk)
{
    Case c;
    const std::string scope = c.scope();
    // A scope JSON whose Base64 ends in padding, so that dropping it is a real change.
    json padded = c.scopeJson();
    padded["name"] = "n";
    std::string paddedText = encode(padded);
    for (std::string extra; paddedText.back() != '='; paddedText = Base64::encode(padded.dump() + extra))
        extra += ' ';
    std::string unpadded = paddedText;
    unpadded.erase(unpadded.find('='));

    const std::vector<std::vector<std::string>> commands = {
        {},
        {"scan"},
        {"verify"},
        {"scan", "not base64!"},
        {"scan", scope + "\n"},
        {"scan", " " + scope},
        {"scan", scope.substr(0, 8) + "\n" + scope.substr(8)},
        {"scan", unpadded},
        {"scan", "=" + scope.substr(1)},
        {"delete", "QUJD*A=="},
    };
    ASSERT_EQ(run("scan", paddedText).status, 0) << "the padded form itself is valid";
    for (const auto& arguments : commands) {
        SCOPED_TRACE(arguments.empty() ? "(no arguments)" : arguments.back());
        expectFailure(WorkerRun::of(DELVER, arguments), "Choose a target disk first.");
    }
}

TEST(DelverEntry, ScopeThatDoesNotDecodeFailsWithTheDecoderDescription)
{
    Case c;
    const json good = c.scopeJson();
    std::vector<std::string> texts = {base64Of(""), base64Of("hello"), base64Of("[]"), base64Of("{}"),
                                      base64Of("{\"root\":"), base64Of(good.dump() + "x")};
    const auto changed = [&](const std::string& key, const json& value) {
        json scope = good;
        if (value.is_discarded())
            scope.erase(key);
        else
            scope[key] = value;
        texts.push_back(encode(scope));
    };
    const json missing = json::value_t::discarded;
    for (const char* key : {"readOnly", "root", "name", "cloud", "data", "device", "inode"})
        changed(key, missing);
    changed("readOnly", "false");
    changed("cloud", 0);
    changed("root", nullptr);
    changed("name", 5);
    changed("data", json::array());
    changed("device", "1");
    changed("device", 4294967296LL);
    changed("device", 1.5);
    changed("inode", -1);
    changed("startupDataDevice", "7");
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        expectOwnDescription(run("scan", text));
    }
}

TEST(DelverEntry, AbsentOptionalKeyAndUnknownKeysAreAccepted)
{
    Case c;
    json scope = c.scopeJson();
    scope.erase("startupDataDevice");
    scope["somethingElse"] = {{"nested", true}};
    const json result = succeeded(run("scan", encode(scope)));
    EXPECT_EQ(result.at("count"), 0);
    // Any further arguments are ignored.
    const WorkerRun more = WorkerRun::of(DELVER, {"scan", c.scope(), "verify", "--extra"});
    EXPECT_EQ(more.status, 0) << more.err;
}

TEST(DelverEntry, ReplacedOrVanishedRootFailsBeforeAnyOperation)
{
    Case c;
    const std::string active = c.scope();
    const std::string readOnly = c.scope(true);
    std::filesystem::rename(c.root, c.base + "/old-root");
    Files::makeFolder(c.root);
    const std::string request = R"({"report":"x","rows":[]})";
    for (const std::string operation : {"scan", "delete", "verify", "bogus"}) {
        SCOPED_TRACE(operation);
        expectFailure(run(operation, active, request), "Target disk is unavailable or has changed.");
        // The root check comes before the Read-Only check.
        expectFailure(run(operation, readOnly, request), "Target disk is unavailable or has changed.");
    }
    std::filesystem::remove(c.root);
    expectFailure(run("scan", active), "Target disk is unavailable or has changed.");
    expectFailure(run("verify", active, {}, DELVER_FAKECHECK), "Target disk is unavailable or has changed.");
    EXPECT_FALSE(Files::exists(c.reports()));
}

TEST(DelverEntry, ReadOnlyModeRefusesEverythingButScan)
{
    Case c;
    Files::make(c.at("file.bin"), 10);
    const std::string scope = c.scope(true);
    for (const std::string operation : {"verify", "delete", "bogus", "Scan", "SCAN", "scan ", ""}) {
        SCOPED_TRACE(operation);
        expectFailure(run(operation, scope, R"({"report":"x","rows":[]})", DELVER_FAKECHECK),
                      "This action requires Active Mode.");
    }
    EXPECT_FALSE(Files::exists(c.reports())) << "a refused operation writes nothing";
    EXPECT_TRUE(Files::exists(c.at("file.bin")));
    EXPECT_EQ(succeeded(run("scan", scope)).at("report"), "");
}

TEST(DelverEntry, UnknownOperationInActiveMode)
{
    Case c;
    for (const std::string operation : {"bogus", "Scan", "DELETE", "verify ", "", "remove"}) {
        SCOPED_TRACE(operation);
        expectFailure(run(operation, c.scope()), "Unknown operation.");
    }
    EXPECT_FALSE(Files::exists(c.reports()));
}

TEST(DelverEntry, ResultIsOneCompactObjectWithoutLineFeed)
{
    Case c;
    Files::make(c.at("a/file.bin"), 100);
    const WorkerRun scan = run("scan", c.scope());
    ASSERT_EQ(scan.status, 0) << scan.err;
    EXPECT_EQ(scan.err, "");
    ASSERT_FALSE(scan.out.empty());
    EXPECT_NE(scan.out.back(), '\n');
    EXPECT_EQ(scan.out.back(), '}');
    for (const std::string& line : progressLines(scan.out))
        EXPECT_TRUE(json::parse(line).contains("entries")) << line;
    const json result = json::parse(resultText(scan.out));
    EXPECT_EQ(result.at("rows").size(), 1u);

    // Only "scan" writes progress lines: a deletion writes exactly one object.
    const WorkerRun deletion
        = run("delete", c.scope(), json {{"report", result.at("report")}, {"rows", json::array()}}.dump());
    ASSERT_EQ(deletion.status, 0) << deletion.err;
    EXPECT_EQ(deletion.err, "");
    EXPECT_EQ(deletion.out.find('\n'), std::string::npos) << deletion.out;
    const json info = json::parse(deletion.out);
    EXPECT_EQ(info.at("deleted"), 0);
}

TEST(DelverEntry, FailedScanKeepsItsProgressLinesAndEndsWithTheFailureText)
{
    Case c;
    Files::make(c.at("file.bin"), 10);
    // A data folder that the initializer would refuse: inside the home's Library.
    json scope = c.scopeJson();
    scope["data"] = TestHome::path() + "/Library/Other";
    const WorkerRun failed = run("scan", encode(scope));
    expectFailure(failed, placementRefused);
    const std::vector<std::string> lines = progressLines(failed.out);
    ASSERT_EQ(lines.size(), 1u) << failed.out;
    const json tick = json::parse(lines[0]);
    EXPECT_EQ(tick.at("entries"), 1);
    EXPECT_EQ(tick.at("folder"), c.root);
    EXPECT_FALSE(Files::exists(TestHome::path() + "/Library/Other"));
}

TEST(DelverEntry, HelpAndVersionGoToStandardOutputAndUnknownOptionsExitTwo)
{
    for (const char* option : {"--help", "-h"}) {
        const WorkerRun help = WorkerRun::of(DELVER, {option});
        EXPECT_EQ(help.status, 0) << option;
        EXPECT_EQ(help.out.rfind("Usage: delver OPERATION SCOPE\n", 0), 0u) << help.out;
        EXPECT_EQ(help.err, "");
    }
    const WorkerRun version = WorkerRun::of(DELVER, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("delver ", 0), 0u);
    EXPECT_EQ(version.out.back(), '\n');

    Case c;
    const WorkerRun unknown = WorkerRun::of(DELVER, {"--bogus", c.scope()});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "delver: unknown option '--bogus'; see 'delver --help'.\n");
    // Options only replace the operation: the application's two-argument form is unchanged.
    expectFailure(WorkerRun::of(DELVER, {"scan", "--help"}), "Choose a target disk first.");
    EXPECT_EQ(run("scan", c.scope()).status, 0);
}
