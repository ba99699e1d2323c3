// Symbol visibility of the Orv libraries. Every library is built with hidden symbols; only the
// classes and functions marked with its macro are exported, as a Windows DLL exports them.
#pragma once

#if defined(_WIN32)
#define ORV_DLL_EXPORT __declspec(dllexport)
#define ORV_DLL_IMPORT __declspec(dllimport)
#else
#define ORV_DLL_EXPORT __attribute__((visibility("default")))
#define ORV_DLL_IMPORT __attribute__((visibility("default")))
#endif

#if defined(ORV_UNITS_BUILDING)
#define ORV_UNITS_API ORV_DLL_EXPORT
#else
#define ORV_UNITS_API ORV_DLL_IMPORT
#endif

#if defined(ORV_UNITS_CONVERTER_BUILDING)
#define ORV_UNITS_CONVERTER_API ORV_DLL_EXPORT
#else
#define ORV_UNITS_CONVERTER_API ORV_DLL_IMPORT
#endif

#if defined(ORV_UNITS_READER_BUILDING)
#define ORV_UNITS_READER_API ORV_DLL_EXPORT
#else
#define ORV_UNITS_READER_API ORV_DLL_IMPORT
#endif

#if defined(ORV_SERVICE_BUILDING)
#define ORV_SERVICE_API ORV_DLL_EXPORT
#else
#define ORV_SERVICE_API ORV_DLL_IMPORT
#endif

#if defined(ORV_XML_BUILDING)
#define ORV_XML_API ORV_DLL_EXPORT
#else
#define ORV_XML_API ORV_DLL_IMPORT
#endif
