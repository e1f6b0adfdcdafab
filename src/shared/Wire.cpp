#include "Wire.h"

namespace Wire {

std::string serialize(const nlohmann::json& json)
{
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}
