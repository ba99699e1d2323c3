// Small helpers around Xerces-C for the catalogue data tests.
#pragma once

#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/TransService.hpp>

#include <string>
#include <vector>

namespace CatalogueData {

// Keeps Xerces initialised while it lives; Xerces counts nested initialisations.
class XercesSession {
public:
    XercesSession() { xercesc::XMLPlatformUtils::Initialize(); }
    ~XercesSession() { xercesc::XMLPlatformUtils::Terminate(); }
    XercesSession(const XercesSession&) = delete;
    XercesSession& operator=(const XercesSession&) = delete;
};

inline std::string Utf8(const XMLCh* text) {
    if (text == nullptr || *text == 0) {
        return {};
    }
    xercesc::TranscodeToStr narrow(text, "UTF-8");
    return std::string(reinterpret_cast<const char*>(narrow.str()), narrow.length());
}

inline std::basic_string<XMLCh> Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    xercesc::TranscodeFromStr wide(reinterpret_cast<const XMLByte*>(utf8.data()), utf8.size(),
                                   "UTF-8");
    return std::basic_string<XMLCh>(wide.str(), wide.length());
}

// Collects every warning and error as "line:column: message" instead of throwing.
class CollectingErrorHandler : public xercesc::ErrorHandler {
public:
    std::vector<std::string> messages;

    void warning(const xercesc::SAXParseException&) override {}
    void error(const xercesc::SAXParseException& e) override { Add(e); }
    void fatalError(const xercesc::SAXParseException& e) override { Add(e); }
    void resetErrors() override { messages.clear(); }

private:
    void Add(const xercesc::SAXParseException& e) {
        messages.push_back(std::to_string(e.getLineNumber()) + ":" +
                           std::to_string(e.getColumnNumber()) + ": " + Utf8(e.getMessage()));
    }
};

} // namespace CatalogueData
