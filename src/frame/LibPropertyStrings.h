// The texts of the library's seven properties. Plain macros, because the Windows version resource
// includes this file too and the resource compiler understands nothing else; the C++ side wraps
// them in a table (LibProperties.cpp).
#pragma once

#define ORV_UNITS_PROP_COMPANY_NAME "Tarnwell"
#define ORV_UNITS_PROP_FILE_VERSION "5.2017.0.0"
#define ORV_UNITS_PROP_FILE_DESCRIPTION "Tarnwell Simulation Support Library"
#define ORV_UNITS_PROP_PRODUCT_VERSION "Main/0"
#define ORV_UNITS_PROP_INTERNAL_NAME "Orv.Pim.Core.Service.Units"
#define ORV_UNITS_PROP_LEGAL_COPYRIGHT "Copyright (C) 2026 Orv Units contributors"
// The original file name is the internal name, without a file extension.
#define ORV_UNITS_PROP_ORIGINAL_FILENAME ORV_UNITS_PROP_INTERNAL_NAME

// The numeric versions of the resource's fixed part.
#define ORV_UNITS_FILE_VERSION_NUMBERS 5, 2017, 0, 0
#define ORV_UNITS_PRODUCT_VERSION_NUMBERS 0, 0, 0, 0
