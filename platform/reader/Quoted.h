// How the reader's messages quote a name, a symbol or a text: in double quotes, as written.
#pragma once

#include <string>
#include <string_view>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

inline std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
