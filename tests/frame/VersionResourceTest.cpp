// The Windows version resource of the library's DLL carries the seven properties that
// getLibProperty gives, in the same order, and the fixed file and product versions.
#include <units/LibProperties.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>
#include <windows.h>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;

// The bytes of the version resource of the DLL that holds getLibProperty.
std::vector<char> VersionResource() {
    HMODULE library = nullptr;
    char path[MAX_PATH];
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&Units::getLibProperty), &library) == 0 ||
        GetModuleFileNameA(library, path, MAX_PATH) == 0) {
        return {};
    }
    DWORD ignored = 0;
    std::vector<char> resource(GetFileVersionInfoSizeA(path, &ignored));
    if (resource.empty() ||
        GetFileVersionInfoA(path, 0, static_cast<DWORD>(resource.size()), resource.data()) == 0) {
        return {};
    }
    return resource;
}

// The UTF-16 text of `text` as it lies in the resource, without its terminating zero.
std::string Utf16Bytes(const std::string& text) {
    std::string bytes;
    for (const char c : text) {
        bytes += {c, '\0'};
    }
    return bytes;
}

TEST(VersionResource, CarriesTheLibraryPropertiesInTheirOrder) {
    std::vector<char> resource = VersionResource();
    ASSERT_FALSE(resource.empty()) << "the DLL has no version resource";

    auto searchFrom = resource.begin();
    for (int index = 0; index < Units::getNumLibProperties(); ++index) {
        char const* key = nullptr;
        char const* value = nullptr;
        Units::getLibProperty(index, key, value);
        char* found = nullptr;
        UINT length = 0;
        const std::string query = std::string("\\StringFileInfo\\040904b0\\") + key;
        ASSERT_NE(VerQueryValueA(resource.data(), query.c_str(), reinterpret_cast<void**>(&found),
                                 &length),
                  0)
            << key;
        EXPECT_EQ(std::string(found), value) << key;
        // Each key lies after the one before it.
        const std::string keyBytes = Utf16Bytes(key);
        const auto at = std::search(searchFrom, resource.end(), keyBytes.begin(), keyBytes.end());
        EXPECT_NE(at, resource.end()) << key << " is out of order";
        searchFrom = at;
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_NE(VerQueryValueA(resource.data(), "\\", reinterpret_cast<void**>(&fixed), &length), 0);
    EXPECT_EQ(fixed->dwFileVersionMS, (5u << 16) | 2017u); // 5.2017
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);                 // .0.0
    EXPECT_EQ(fixed->dwProductVersionMS, 0u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

} // namespace
