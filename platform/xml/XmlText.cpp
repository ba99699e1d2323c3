#include "XmlText.h"

#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLChar.hpp>
#include <xercesc/util/XMLException.hpp>

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace Orv::Pim::Core::Service::XML::Detail {

XmlString FromUtf8(char const* text, std::string const& what) {
    if (text == nullptr) {
        throw std::runtime_error(what + " is a null pointer");
    }
    const std::size_t length = std::strlen(text);
    if (length == 0) {
        return XmlString();
    }
    try {
        // Always UTF-8, whatever the local code page of the process.
        xercesc::TranscodeFromStr wide(reinterpret_cast<XMLByte const*>(text), length, "UTF-8");
        return XmlString(wide.str(), wide.length());
    } catch (const xercesc::XMLException& e) {
        throw std::runtime_error(what + " is not valid UTF-8: " + MessageOf(e));
    }
}

std::string ToUtf8(XMLCh const* text) {
    if (text == nullptr || *text == 0) {
        return std::string();
    }
    try {
        xercesc::TranscodeToStr narrow(text, "UTF-8");
        return std::string(reinterpret_cast<char const*>(narrow.str()), narrow.length());
    } catch (const xercesc::XMLException&) {
        return "(text that cannot be shown)";
    }
}

XmlString NameFromUtf8(char const* name, char const* what) {
    const std::string kind = std::string("XML ") + what + " name";
    XmlString result = FromUtf8(name, kind);
    if (!xercesc::XMLChar1_0::isValidName(result.c_str(), result.size())) {
        throw std::runtime_error("'" + std::string(name) + "' is not a valid " + kind);
    }
    return result;
}

std::size_t FindInvalidCharacter(XmlString const& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character; a lone surrogate is none.
        if (i + 1 < text.size() && xercesc::XMLChar1_0::isXMLChar(text[i], text[i + 1])) {
            ++i;
        } else if (!xercesc::XMLChar1_0::isXMLChar(text[i])) {
            return i;
        }
    }
    return XmlString::npos;
}

std::string DescribeCharacter(XmlString const& text, std::size_t position) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(text.at(position)));
    return buffer;
}

} // namespace Orv::Pim::Core::Service::XML::Detail
