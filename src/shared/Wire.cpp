#include "shared/Wire.h"

#include "shared/Base64.h"
#include "shared/DecodingError.h"
#include "shared/JsonFields.h"

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

bool isUtf8(const std::string& bytes)
{
    try {
        json(bytes).dump();
        return true;
    } catch (const json::type_error&) {
        return false;
    }
}

std::string companion(const std::string& key)
{
    return key + "Base64";
}

void refuseNul(std::string_view text, const std::string& key)
{
    if (text.find('\0') != std::string_view::npos)
        throw DecodingError("The value for key “" + key + "” holds a NUL character.");
}

// The exact bytes that a Base64 companion carries for the readable text.
std::string exactBytes(const json& encoded, const std::string& text, const std::string& key)
{
    const auto bytes = encoded.is_string() ? Base64::decode(encoded.get<std::string>()) : std::nullopt;
    if (!bytes || Wire::readable(*bytes) != text)
        throw DecodingError("The value for key “" + key + "” does not match the text it carries.");
    refuseNul(*bytes, key);
    return *bytes;
}

bool allStrings(const json& value)
{
    if (!value.is_array())
        return false;
    for (const json& item : value)
        if (!item.is_string())
            return false;
    return true;
}

// Of a reviewed row only its path and stamp are read back; none for a row without them.
std::optional<Row> reviewedRow(const json& row)
{
    const std::optional<std::string> raw = Wire::path(row, "raw");
    const auto signature = row.find("signature");
    if (!raw || signature == row.end() || !allStrings(*signature))
        return std::nullopt;
    std::vector<std::string> parts;
    for (const json& part : *signature) {
        refuseNul(part.get_ref<const std::string&>(), "signature");
        parts.push_back(part.get<std::string>());
    }
    Row reviewed;
    reviewed.raw = *raw;
    reviewed.signature = Stamp::fromParts(parts);
    return reviewed;
}

}

void to_json(json& out, const Tick& tick)
{
    out = {{"folder", tick.folder}, {"entries", tick.entries}, {"files", tick.files}, {"errors", tick.errors},
           {"percent", tick.percent}};
}

void from_json(const json& in, Tick& tick)
{
    using namespace JsonFields;
    object(in);
    tick.folder = string(in, "folder");
    tick.entries = integer<int64_t>(in, "entries");
    tick.files = integer<int64_t>(in, "files");
    tick.errors = integer<int64_t>(in, "errors");
    tick.percent = integer<int64_t>(in, "percent");
    if (tick.percent < 0 || tick.percent > 99)
        throw DecodingError("The value for key “percent” is not between 0 and 99.");
}

void to_json(json& out, const Usage& usage)
{
    out = {{"capacity", usage.capacity}, {"used", usage.used}, {"free", usage.free}};
}

void from_json(const json& in, Usage& usage)
{
    using namespace JsonFields;
    object(in);
    usage.capacity = integer<uint64_t>(in, "capacity");
    usage.used = integer<uint64_t>(in, "used");
    usage.free = integer<uint64_t>(in, "free");
}

void to_json(json& out, const Scan& scan)
{
    out = {{"rows", scan.rows}, {"count", scan.count}, {"errors", scan.errors}, {"usage", scan.usage},
           {"report", scan.report}};
}

void from_json(const json& in, Scan& scan)
{
    using namespace JsonFields;
    object(in);
    const json& rows = required(in, "rows");
    if (!rows.is_array())
        throw DecodingError("The value for key “rows” is not a list.");
    scan.rows.clear();
    for (const json& row : rows)
        scan.rows.push_back(row.get<Row>());
    scan.count = integer<int64_t>(in, "count");
    scan.errors = integer<int64_t>(in, "errors");
    scan.usage = required(in, "usage").get<Usage>();
    scan.report = string(in, "report");
}

void to_json(json& out, const Verification& verification)
{
    out = {{"ok", verification.ok},
           {"report", verification.report},
           {"checked", verification.checked},
           {"summary", verification.summary}};
}

void from_json(const json& in, Verification& verification)
{
    using namespace JsonFields;
    object(in);
    verification.ok = JsonFields::boolean(in, "ok");
    verification.report = string(in, "report");
    verification.checked = optional(in, "checked") ? JsonFields::boolean(in, "checked") : true;
    verification.summary = optional(in, "summary") ? string(in, "summary") : std::string();
    if (verification.ok && !verification.checked)
        throw DecodingError("The value for key “ok” is true for a verification that checked nothing.");
}

void to_json(json& out, const Row& row)
{
    out = json::object();
    Wire::putPath(out, "raw", row.raw);
    out["path"] = row.path;
    out["bytes"] = row.bytes;
    out["signature"] = row.signature.parts();
    out["allowed"] = row.allowed;
    out["unlockable"] = row.unlockable;
    out["groups"] = row.groups;
}

void from_json(const json& in, Row& row)
{
    using namespace JsonFields;
    object(in);
    string(in, "raw");
    row.raw = *Wire::path(in, "raw");
    row.path = string(in, "path");
    row.bytes = integer<int64_t>(in, "bytes");
    row.signature = Stamp::fromParts(strings(in, "signature"));
    if (!row.signature.wellFormed())
        throw DecodingError("The value for key “signature” is not a file stamp.");
    row.allowed = boolean(in, "allowed");
    row.unlockable = boolean(in, "unlockable");
    row.groups = strings(in, "groups");
}

void to_json(json& out, const Deletion& deletion)
{
    out = {{"report", deletion.report}, {"rows", deletion.rows}};
    Wire::putPaths(out, "approved", deletion.approved);
}

void from_json(const json& in, Deletion& deletion)
{
    using namespace JsonFields;
    object(in);
    deletion.report = string(in, "report");
    const json& rows = required(in, "rows");
    if (!rows.is_array())
        throw DecodingError("The value for key “rows” is not a list.");
    deletion.rows.clear();
    for (const json& row : rows)
        if (const auto reviewed = reviewedRow(object(row)))
            deletion.rows.push_back(*reviewed);
    deletion.approved = Wire::paths(in, "approved").value_or(std::vector<std::string>());
}

void to_json(json& out, const ResultInfo& info)
{
    out = {{"before", info.before}, {"after", info.after}, {"deleted", info.deleted}, {"messages", info.messages}};
    Wire::putPaths(out, "removed", info.removed);
    if (!info.reportIncomplete.empty())
        out["reportIncomplete"] = info.reportIncomplete;
}

void from_json(const json& in, ResultInfo& info)
{
    using namespace JsonFields;
    object(in);
    info.before = required(in, "before").get<Usage>();
    info.after = required(in, "after").get<Usage>();
    const auto removed = Wire::paths(in, "removed");
    if (!removed)
        throw DecodingError("The value for key “removed” is not a list of texts.");
    info.removed = *removed;
    info.deleted = integer<int64_t>(in, "deleted");
    info.messages = strings(in, "messages");
    info.reportIncomplete = optional(in, "reportIncomplete") ? string(in, "reportIncomplete") : std::string();
}

namespace Wire {

std::string serialize(const json& value)
{
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

json parse(std::string_view text)
{
    // The parser takes a NUL byte for the end of its input and would accept what follows.
    if (text.find('\0') != std::string_view::npos)
        throw DecodingError("The text holds a NUL byte.");
    try {
        return json::parse(text);
    } catch (const json::exception& error) {
        throw DecodingError(error.what());
    }
}

std::string readable(std::string_view bytes)
{
    return json::parse(serialize(json(std::string(bytes)))).get<std::string>();
}

void putPath(json& object, const std::string& key, const std::string& bytes)
{
    object[key] = bytes;
    if (!isUtf8(bytes))
        object[companion(key)] = Base64::encode(bytes);
}

std::optional<std::string> path(const json& object, const std::string& key)
{
    const auto text = object.find(key);
    if (text == object.end() || !text->is_string())
        return std::nullopt;
    refuseNul(text->get_ref<const std::string&>(), key);
    const auto exact = object.find(companion(key));
    if (exact == object.end())
        return text->get<std::string>();
    return exactBytes(*exact, text->get<std::string>(), companion(key));
}

void putPaths(json& object, const std::string& key, const std::vector<std::string>& paths)
{
    object[key] = paths;
    bool exact = false;
    for (const std::string& path : paths)
        exact = exact || !isUtf8(path);
    if (!exact)
        return;
    json& encoded = object[companion(key)] = json::array();
    for (const std::string& path : paths)
        encoded.push_back(Base64::encode(path));
}

std::optional<std::vector<std::string>> paths(const json& object, const std::string& key)
{
    const auto texts = object.find(key);
    if (texts == object.end() || !allStrings(*texts))
        return std::nullopt;
    std::vector<std::string> paths;
    for (const json& text : *texts) {
        refuseNul(text.get_ref<const std::string&>(), key);
        paths.push_back(text.get<std::string>());
    }
    const auto exact = object.find(companion(key));
    if (exact == object.end())
        return paths;
    if (!exact->is_array() || exact->size() != paths.size())
        throw DecodingError("The value for key “" + companion(key) + "” does not match the texts it carries.");
    for (size_t i = 0; i < paths.size(); ++i)
        paths[i] = exactBytes((*exact)[i], paths[i], companion(key));
    return paths;
}

}
