// The library's property table: seven key/value pairs, the same as its version resource.
#include "frame/LibPropertyStrings.h"

#include <units/LibProperties.h>

namespace Orv::Pim::Core::Service::Units {

namespace {

struct LibProperty {
    char const* key;
    char const* value;
};

// Index 6 shares the string of index 4 rather than holding an equal copy.
char const kInternalName[] = ORV_UNITS_PROP_INTERNAL_NAME;

constexpr LibProperty kLibProperties[] = {
    {"CompanyName", ORV_UNITS_PROP_COMPANY_NAME},
    {"FileVersion", ORV_UNITS_PROP_FILE_VERSION},
    {"FileDescription", ORV_UNITS_PROP_FILE_DESCRIPTION},
    {"ProductVersion", ORV_UNITS_PROP_PRODUCT_VERSION},
    {"InternalName", kInternalName},
    {"LegalCopyright", ORV_UNITS_PROP_LEGAL_COPYRIGHT},
    {"OriginalFilename", kInternalName},
};

constexpr int kNumLibProperties =
    static_cast<int>(sizeof kLibProperties / sizeof kLibProperties[0]);
static_assert(kNumLibProperties == 7, "the version resource carries exactly seven pairs");

char const kEmpty[] = "";

} // namespace

int getNumLibProperties() {
    return kNumLibProperties;
}

void getLibProperty(int index, char const*& key, char const*& value) {
    // Taken as unsigned, a negative index becomes huge, so one comparison refuses both ends.
    if (static_cast<unsigned int>(index) > 6u) {
        key = kEmpty;
        value = kEmpty;
        return;
    }
    key = kLibProperties[index].key;
    value = kLibProperties[index].value;
}

} // namespace Orv::Pim::Core::Service::Units
