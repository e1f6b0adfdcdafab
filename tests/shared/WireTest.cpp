// The worker's records on the wire: exact paths, strict parsing.

#include "shared/Base64.h"
#include "shared/DecodingError.h"
#include "shared/Wire.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

using nlohmann::json;

namespace {

const std::string invalid = "/home/a/clip\xff.bin";
const std::string alsoInvalid = "/home/a/clip\xfe.bin";
const std::string shown = "/home/a/clip\xef\xbf\xbd.bin";

Row rowOf(const std::string& raw)
{
    return {raw, Wire::readable(raw), 10, {"1", "2", "3", "4", "5", "6", "7"}, true, false, {"All files"}};
}

json wire(const json& value)
{
    return json::parse(Wire::serialize(value));
}

}

TEST(Wire, PathsThatAreNotUtf8TravelExactlyBesideTheirReadableText)
{
    const json first = wire(rowOf(invalid));
    EXPECT_EQ(first.at("raw"), shown);
    EXPECT_EQ(first.at("path"), shown);
    EXPECT_EQ(first.at("rawBase64"), Base64::encode(invalid));
    EXPECT_EQ(first.get<Row>(), rowOf(invalid));
    EXPECT_NE(wire(rowOf(alsoInvalid)).get<Row>(), first.get<Row>()) << "two names stay two rows";
    EXPECT_FALSE(wire(rowOf("/home/a/plain.bin")).contains("rawBase64"));

    const Deletion deletion {"/r/Disk scan x.txt", {rowOf(invalid), rowOf("/home/a/plain.bin")}, {invalid, "/home/a/plain.bin"}};
    const json request = wire(deletion);
    EXPECT_EQ(request.at("approved"), json::array({shown, "/home/a/plain.bin"}));
    EXPECT_EQ(request.at("approvedBase64"), json::array({Base64::encode(invalid), Base64::encode("/home/a/plain.bin")}));
    const Deletion back = request.get<Deletion>();
    ASSERT_EQ(back.rows.size(), 2u);
    for (size_t i = 0; i < back.rows.size(); ++i) {
        EXPECT_EQ(back.rows[i].raw, deletion.rows[i].raw);
        EXPECT_EQ(back.rows[i].signature, deletion.rows[i].signature);
    }
    EXPECT_EQ(back.approved, deletion.approved);

    ResultInfo info;
    info.removed = {alsoInvalid};
    info.deleted = 1;
    const ResultInfo decoded = wire(info).get<ResultInfo>();
    EXPECT_EQ(decoded.removed, info.removed);
    EXPECT_EQ(decoded.reportIncomplete, "");
    info.reportIncomplete = "No space.";
    EXPECT_EQ(wire(info).get<ResultInfo>().reportIncomplete, "No space.");
}

TEST(Wire, TheDeleteRequestKeepsOnlyReviewedPathsAndStamps)
{
    const json request = json::parse(R"({"report":"/r/Disk scan x.txt","extra":1,"approved":"all","rows":[
        {"raw":"/a/one","signature":["1","2","3","4","5","6","7"],"bytes":"ignored"},
        {"raw":"/a/no-stamp"},
        {"signature":["1","2","3","4","5","6","7"]},
        {"raw":"/a/odd-stamp","signature":[1,2,3,4,5,6,7]},
        {"raw":"/a/short-stamp","signature":["1","2"]}]})");
    const Deletion deletion = request.get<Deletion>();
    ASSERT_EQ(deletion.rows.size(), 2u) << "rows without a path or a list of texts are passed over";
    EXPECT_EQ(deletion.rows[0].raw, "/a/one");
    EXPECT_EQ(deletion.rows[0].signature, (Stamp {"1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(deletion.rows[1].raw, "/a/short-stamp");
    EXPECT_EQ(deletion.rows[1].signature, Stamp()) << "a stamp of another length matches no file";
    EXPECT_TRUE(deletion.approved.empty());

    for (const char* broken : {R"({"report":"r","rows":0})", R"({"report":"r","rows":[1]})", R"({"rows":[]})",
                               R"([])", R"({"report":"r","rows":[{"raw":"/a","signature":["a\u0000"]}]})",
                               R"({"report":"r","rows":[],"approved":["/a\u0000"]})"}) {
        SCOPED_TRACE(broken);
        EXPECT_THROW(json::parse(broken).get<Deletion>(), DecodingError);
    }
}

TEST(Wire, AScanRowCarriesAWholeStamp)
{
    json row = wire(rowOf("/home/a/plain.bin"));
    for (const json& stamp : {json::array({"1", "2"}), json::array({"1", "2", "3", "4", "5", "6", "x"}),
                              json::array({"1", "2", "3", "4", "5", "6", ""})}) {
        SCOPED_TRACE(stamp.dump());
        row["signature"] = stamp;
        EXPECT_THROW(row.get<Row>(), DecodingError);
    }
    row["signature"] = json::array({"-1", "2", "3", "-4", "5", "6", "7"});
    EXPECT_EQ(row.get<Row>().signature.mtimeSeconds, "-4") << "files older than 1970 keep their stamp";
}

TEST(Wire, CompanionsThatDoNotMatchTheirTextAreRefused)
{
    json row = wire(rowOf(invalid));
    const std::vector<std::pair<const char*, json>> broken = {
        {"rawBase64", "not base64"},
        {"rawBase64", Base64::encode(alsoInvalid + "x")},
        {"rawBase64", 12},
        {"rawBase64", Base64::encode(std::string("/home/a/clip\xff", 13) + std::string(1, '\0') + ".bin")},
        {"raw", std::string("/home/a/x\0y", 11)},
        {"path", std::string("/home/a/x\0y", 11)},
    };
    for (const auto& [key, value] : broken) {
        SCOPED_TRACE(key + (" = " + value.dump()));
        json changed = row;
        changed[key] = value;
        EXPECT_THROW(changed.get<Row>(), DecodingError);
    }
    json info = wire(ResultInfo {{}, {}, {invalid, alsoInvalid}, 2, {}, {}});
    info["removedBase64"].erase(0);
    EXPECT_THROW(info.get<ResultInfo>(), DecodingError);
}

TEST(Wire, ParseTakesExactlyOneValueAndNoNul)
{
    EXPECT_EQ(Wire::parse(" \n{\"a\": [1]}\t\r\n"), json({{"a", {1}}}));
    EXPECT_EQ(Wire::parse("\"x\""), "x");
    for (const std::string text : {std::string("{}\0", 3), std::string("{}\0{\"a\":1}", 10), std::string("{} {}"),
                                   std::string("[1]]"), std::string(""), std::string(" "), std::string("\0{}", 3),
                                   std::string("{\"a\":\"b\0\"}", 10)}) {
        SCOPED_TRACE(json(text).dump(-1, ' ', true));
        EXPECT_THROW(Wire::parse(text), DecodingError);
    }
    // The reason for the guard: the library takes a NUL byte for the end of its input.
    EXPECT_EQ(json::parse(std::string("{}\0 tail", 8)), json::object());
}

TEST(Wire, RecordsRoundTripAndRefuseNumbersThatAreNotTheirIntegers)
{
    const Row row {"/d/a.bin", "/d/a.bin", 4096, {"1", "2", "3", "4", "5", "6", "7"}, true, false, {"Top 10 files"}};
    const Scan scan {{row}, 12, 1, {1000, 600, 400}, "/r/Disk scan.txt"};
    const Scan back = Wire::parse(Wire::serialize(scan)).get<Scan>();
    EXPECT_EQ(back.rows, scan.rows);
    EXPECT_EQ(back.count, 12);
    EXPECT_EQ(back.usage, scan.usage);
    const Tick tick {"/d", 10, 8, 1, 42};
    EXPECT_EQ(Wire::parse(Wire::serialize(tick)).get<Tick>(), tick);

    const auto refused = [](const std::string& text, auto record) {
        try {
            record = Wire::parse(text).get<decltype(record)>();
            return false;
        } catch (const DecodingError&) {
            return true;
        }
    };
    const std::string usage = R"("usage":{"capacity":1,"used":1,"free":0})";
    EXPECT_TRUE(refused(R"({"rows":[],"count":1.5,"errors":0,)" + usage + R"(,"report":""})", Scan {}));
    EXPECT_TRUE(refused(R"({"rows":[],"count":3.3e93,"errors":0,)" + usage + R"(,"report":""})", Scan {}));
    EXPECT_TRUE(refused(R"({"rows":[],"count":1,"errors":"0",)" + usage + R"(,"report":""})", Scan {}));
    EXPECT_TRUE(refused(R"({"rows":{},"count":1,"errors":0,)" + usage + R"(,"report":""})", Scan {}));
    EXPECT_FALSE(refused(R"({"rows":[],"count":1,"errors":0,)" + usage + R"(,"report":""})", Scan {}));
    EXPECT_TRUE(refused(R"({"capacity":-1,"used":0,"free":0})", Usage {}));
    EXPECT_TRUE(refused(R"({"capacity":18446744073709551616,"used":0,"free":0})", Usage {}));
    EXPECT_TRUE(refused(R"({"folder":"/d","entries":1,"files":1,"errors":0,"percent":100})", Tick {}));
    EXPECT_TRUE(refused(R"({"folder":"/d","entries":1e3,"files":1,"errors":0,"percent":1})", Tick {}));
    EXPECT_TRUE(refused(R"({"ok":1,"report":"/r"})", Verification {}));
    EXPECT_FALSE(refused(R"({"ok":true,"report":"/r"})", Verification {}));
    EXPECT_FALSE(refused(R"({"ok":false,"report":"/r","checked":false,"summary":"s"})", Verification {}));
    EXPECT_TRUE(refused(R"({"ok":true,"report":"/r","checked":false,"summary":""})", Verification {}));
    EXPECT_TRUE(refused(R"({"ok":false,"report":"/r","checked":0})", Verification {}));
    EXPECT_TRUE(refused(R"({"ok":false,"report":"/r","summary":"a\u0000b"})", Verification {}));
}
