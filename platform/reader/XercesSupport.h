// Small helpers over Xerces-C shared by the reader's parser.
#pragma once

#include <xercesc/util/XercesDefs.hpp>

#include <string>

namespace Orv::Pim::Core::Service::Units::Reader::Detail {

/// `text` (UTF-16, null-terminated; null for none) as UTF-8.
std::string ToUtf8(const XMLCh* text);

} // namespace Orv::Pim::Core::Service::Units::Reader::Detail
