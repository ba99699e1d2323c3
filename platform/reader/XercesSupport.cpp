#include "XercesSupport.h"

#include <xercesc/util/TransService.hpp>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

std::string ToUtf8(const XMLCh* text) {
    if (text == nullptr || *text == 0) {
        return std::string();
    }
    const xercesc::TranscodeToStr utf8(text, "UTF-8");
    return std::string(reinterpret_cast<const char*>(utf8.str()), utf8.length());
}

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
