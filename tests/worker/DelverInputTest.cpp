// Black-box tests of what delver accepts as a scope and as a delete request: exactly one JSON
// value, no NUL anywhere, and paths that are not UTF-8 carried and removed exactly.

#include "DelverHarness.h"

using namespace harness;

namespace {

json requestFor(const json& scan, const json& rows)
{
    return {{"report", scan.at("report")}, {"rows", rows}};
}

std::vector<json> rowsNamed(const json& scan, const std::string& text)
{
    std::vector<json> rows;
    for (const json& row : scan.at("rows"))
        if (row.at("raw") == text)
            rows.push_back(row);
    return rows;
}

}

TEST(DelverInput, ScopeWithNulOrAnythingAfterItsValueIsRefused)
{
    Case c;
    const json good = c.scopeJson();
    std::vector<std::string> texts = {good.dump() + std::string(1, '\0'), good.dump() + std::string("\0{}", 3),
                                      good.dump() + " {}", std::string("\0", 1) + good.dump()};
    for (const char* key : {"root", "name", "data"}) {
        json scope = good;
        scope[key] = scope[key].get<std::string>() + std::string("\0/elsewhere", 11);
        texts.push_back(scope.dump());
    }
    for (const std::string& text : texts) {
        SCOPED_TRACE(json(text).dump(-1, ' ', true));
        expectOwnDescription(run("scan", Base64::encode(text)));
    }
    const WorkerRun spaced = run("scan", Base64::encode(" \n\t" + good.dump() + "\r\n "));
    EXPECT_EQ(spaced.status, 0) << "whitespace around the one value is fine: " << spaced.err;
}

TEST(DelverInput, RequestWithNulOrAnythingAfterItsValueIsRefused)
{
    Case c;
    Files::make(c.at("keep.bin"), 100);
    const json scan = scanned(c);
    const std::string logBefore = Files::read(scan.at("report"));
    const json row = *rowOf(scan, c.at("keep.bin"));
    const std::string body = requestFor(scan, json::array({row})).dump();

    for (const std::string& input : {body + std::string(1, '\0'), body + std::string("\0garbage", 8), body + " []",
                                     body + "}"}) {
        SCOPED_TRACE(json(input).dump(-1, ' ', true));
        expectOwnDescription(run("delete", c.scope(), input));
    }
    const std::string nul("\0", 1);
    json hidden = row;
    hidden["raw"] = row.at("raw").get<std::string>() + nul + "/other";
    json stamped = row;
    stamped["signature"][2] = "100" + nul;
    json inReport = requestFor(scan, json::array({row}));
    inReport["report"] = scan.at("report").get<std::string>() + nul + ".txt";
    json inApproved = requestFor(scan, json::array({row}));
    inApproved["approved"] = json::array({row.at("raw").get<std::string>() + nul});
    for (const json& request : {requestFor(scan, json::array({hidden})), requestFor(scan, json::array({stamped})),
                                inReport, inApproved}) {
        SCOPED_TRACE(request.dump());
        expectFailure(run("delete", c.scope(), request.dump()), "Invalid request.");
    }
    EXPECT_TRUE(Files::exists(c.at("keep.bin")));
    EXPECT_EQ(Files::read(scan.at("report")), logBefore);
    EXPECT_EQ(succeeded(run("delete", c.scope(), "\n " + body + " \n")).at("deleted"), 1);
}

TEST(DelverInput, NamesThatDifferOnlyInBytesThatAreNotUtf8AreRankedAndRemovedExactly)
{
    Case c;
    const std::string first = c.at("clip\xff.bin");
    const std::string second = c.at("clip\xfe.bin");
    Files::make(first, 2000);
    Files::make(second, 1000);
    Files::make(c.at("plain.bin"), 500);
    const json scan = scanned(c);
    const std::string shown = c.at("clip\xef\xbf\xbd.bin");

    const std::vector<json> rows = rowsNamed(scan, shown);
    ASSERT_EQ(rows.size(), 2u) << scan.dump();
    std::set<std::string> exact;
    for (const json& row : rows) {
        EXPECT_EQ(row.at("path"), shown);
        const auto bytes = Base64::decode(row.at("rawBase64").get<std::string>());
        ASSERT_TRUE(bytes);
        EXPECT_EQ(row.at("signature").get<std::vector<std::string>>(), stampOf(*bytes));
        exact.insert(*bytes);
    }
    EXPECT_EQ(exact, (std::set<std::string> {first, second}));
    EXPECT_FALSE(rowOf(scan, c.at("plain.bin"))->contains("rawBase64")) << "UTF-8 names travel as before";

    const json& smaller = Base64::decode(rows[0].at("rawBase64").get<std::string>()) == second ? rows[0] : rows[1];
    json mismatched = smaller;
    mismatched["raw"] = c.at("other.bin");
    json notBase64 = smaller;
    notBase64["rawBase64"] = "not base64";
    for (const json& row : {mismatched, notBase64})
        expectFailure(run("delete", c.scope(), requestFor(scan, json::array({row})).dump()), "Invalid request.");

    // The row exactly as the scan gave it back: the second file goes, the first stays.
    const json info = succeeded(run("delete", c.scope(), requestFor(scan, json::array({smaller})).dump()));
    EXPECT_EQ(info.at("deleted"), 1);
    EXPECT_EQ(info.at("removed"), json::array({shown}));
    EXPECT_EQ(info.at("removedBase64"), json::array({Base64::encode(second)}));
    EXPECT_EQ(info.at("messages"), json::array({"Deleted: " + shown}));
    EXPECT_FALSE(Files::exists(second));
    EXPECT_TRUE(Files::exists(first));

    // Without its exact bytes the readable text names no file at all.
    json readableOnly = rowsNamed(scan, shown)[0];
    readableOnly.erase("rawBase64");
    const json unaddressed = succeeded(run("delete", c.scope(), requestFor(scan, json::array({readableOnly})).dump()));
    EXPECT_EQ(unaddressed.at("deleted"), 0);
    EXPECT_TRUE(Files::exists(first));
}
