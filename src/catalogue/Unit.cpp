#include "catalogue/CacheMaps.h"
#include "frame/RegisteredReader.h"

#include <units/Dimension.h>
#include <units/Unit.h>
#include <units/UnitException.h>
#include <units/interfaces/Reader.h>

#include <cmath>

namespace Orv::Pim::Core::Service::Units {

namespace {

/// Orders two sort keys that differ by more than the tolerance; 0 when they are that close.
int CompareSortKeys(float mine, float theirs) {
    const float difference = mine - theirs; // in single precision, as the keys were made
    if (std::fabs(static_cast<double>(difference)) > 1e-5) {
        return theirs > mine ? -1 : 1;
    }
    return 0;
}

} // namespace

UnitCacheHashMap& Unit::GetUnitCacheHashMap() {
    static UnitCacheHashMap map;
    return map;
}

Unit* Unit::GetUnit(const std::string& symbol) {
    if (Unit* cached = GetUnitCacheHashMap().Find(symbol)) {
        return cached;
    }
    if (Unit* created = CreateAndCache(RegisteredReader().GetUnitSpec(symbol))) {
        return created;
    }
    throw UnitException("Could not find a Unit with symbol '" + symbol + "'!");
}

Unit* Unit::CreateAndCache(const Reader::UnitSpec* record) {
    if (record == nullptr || !record->IsValid()) {
        return nullptr;
    }
    // The dimension is looked up even for a cached unit, so an unknown dimension is reported
    // the same way whatever the cache holds.
    Dimension* dimension = Dimension::GetDimension(record->dimensionName);
    if (Unit* cached = GetUnitCacheHashMap().Find(record->symbol)) {
        return cached;
    }
    return new Unit(dimension, record->symbol, record->name, record->standardFormSymbol,
                    record->converter->Clone());
}

Unit::Unit(Dimension* dimension, const std::string& symbol, const std::string& name,
           const std::string& standardFormSymbol,
           std::unique_ptr<Converter::IUnitConverterEngine> converter)
    : m_pDimension(nullptr), m_symbol(symbol), m_name(name),
      m_standardFormSymbol(standardFormSymbol.empty() ? symbol : standardFormSymbol),
      m_pStandardForm(nullptr), m_pConverter(nullptr), m_scale(0.0f), m_scaleMantissa(0.0f),
      m_formRank(0) {
    UnitCacheHashMap& map = GetUnitCacheHashMap();
    if (map.Contains(symbol)) {
        throw UnitException("Attempting to add duplicate \"" + symbol + "\" unit");
    }
    m_pDimension = dimension;

    // Sort keys, in exactly these precisions: CompareTo's order depends on them.
    const float atOne = converter->Convert(1.0f);
    const float atZero = converter->Convert(0.0f);
    m_scale = std::fabs(atOne - atZero);
    const float logScale = log10f(m_scale);
    const double logDouble = static_cast<double>(logScale);
    double mantissa = std::pow(10.0, logDouble - std::floor(logDouble));
    if (mantissa < 1.0 || mantissa > 9.999999) {
        mantissa = 1.0;
    }
    if (std::fabs(mantissa - 1.0) < 1e-06 &&
        std::fabs(static_cast<double>(m_scale) - 1.0) < 1e-06) {
        mantissa = 0.5; // scale 1 sorts before every other scale of the dimension
    }
    m_scaleMantissa = static_cast<float>(mantissa);
    m_formRank = m_standardFormSymbol == m_symbol ? 1 : 2;

    map.Insert(m_symbol, this);
    // The engine is taken over only once the unit is filed, so a failure above frees it.
    m_pConverter = converter.release();
}

Unit::~Unit() {
    m_pDimension = nullptr;
    m_pStandardForm = nullptr;
    GetUnitCacheHashMap().RemoveIfSelf(m_symbol, this);
    delete m_pConverter;
}

const Dimension* Unit::GetDimension() const {
    return m_pDimension;
}

const std::string& Unit::Symbol() const {
    return m_symbol;
}

const std::string& Unit::Name() const {
    return m_name;
}

const std::string& Unit::ToString() const {
    return m_symbol;
}

Converter::IUnitConverterEngine* Unit::Converter() const {
    return m_pConverter;
}

int Unit::CompareTo(void* other) const {
    if (other == nullptr) {
        return 1;
    }
    const Unit* that = static_cast<const Unit*>(other);
    if (const int byDimension = m_pDimension->CompareTo(that->m_pDimension)) {
        return byDimension;
    }
    if (const int byMantissa = CompareSortKeys(m_scaleMantissa, that->m_scaleMantissa)) {
        return byMantissa;
    }
    if (const int byScale = CompareSortKeys(m_scale, that->m_scale)) {
        return byScale;
    }
    if (m_standardFormSymbol != that->m_standardFormSymbol) {
        return CompareCStrings(m_standardFormSymbol.c_str(), that->m_standardFormSymbol.c_str());
    }
    if (m_formRank != that->m_formRank) {
        return m_formRank < that->m_formRank ? -1 : 1;
    }
    return CompareCStrings(m_name.c_str(), that->m_name.c_str());
}

std::string* Unit::GetDimensionNameOfUnit(const std::string& symbol) {
    if (symbol.empty()) {
        return nullptr;
    }
    if (const Unit* unit = GetUnitCacheHashMap().Find(symbol)) {
        if (unit->m_pDimension == nullptr) {
            throw UnitException("Null Dimension for Unit" + symbol + ".");
        }
        return new std::string(unit->m_pDimension->Name());
    }
    const Reader::UnitSpec* record = RegisteredReader().GetUnitSpec(symbol);
    if (record == nullptr || !record->IsValid()) {
        return nullptr;
    }
    return new std::string(record->dimensionName);
}

} // namespace Orv::Pim::Core::Service::Units
