// Units such as m or ft: each has a symbol, a descriptive name, a dimension, a standard form and
// an engine that converts its values into the base unit of its dimension. Made only by the
// catalogue, on the first look-up of a symbol, from the registered reader's record.
#pragma once

#include <units/UnitsExport.h>
#include <units/interfaces/ConverterEngine.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Orv::Pim::Core::Service::Units {

class Dimension;
class Measurement;
class UnitCacheHashMap;

namespace Reader {
struct UnitSpec;
}

/// A unit of one dimension. Catalogue units live until the library is unloaded.
class ORV_UNITS_API Unit {
public:
    /// The catalogue's unit with symbol `symbol` (exact, case-sensitive); never null. Throws
    /// UnitException when neither the catalogue nor the reader knows it or its record is refused.
    static Unit* GetUnit(const std::string& symbol);

    /// Every unit, in unsigned byte order of symbols; the first call reads all unit records.
    static std::vector<Unit*> GetAllUnits();
    /// The units of `dimension` (pointer identity), in symbol order; empty for null.
    static std::vector<Unit*> GetAllUnits(Dimension* dimension);
    /// The units sharing `unit`'s standard form, `unit` included, in symbol order; empty for null.
    static std::vector<Unit*> GetAllUnits(Unit* unit);
    /// The units the reader offers for `measurement` (all of its dimension when it lists none);
    /// with `withAliases`, each widened to the units of its standard form.
    static std::vector<Unit*> GetAllUnits(const Measurement& measurement, bool withAliases);

    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;
    /// Removes this unit's catalogue entry and deletes its engine.
    ~Unit();

    /// The unit's dimension.
    const Dimension* GetDimension() const;
    /// The symbol; the catalogue key.
    const std::string& Symbol() const;
    /// The descriptive name.
    const std::string& Name() const;
    /// The symbol, the same reference as Symbol().
    const std::string& ToString() const;
    /// The engine from this unit into the base unit; still owned by the unit.
    Converter::IUnitConverterEngine* Converter() const;
    /// The catalogue's sort order of units: dimension, scale mantissa, scale, standard form,
    /// standard form before aliases, name. `other` is a Unit*; null gives 1.
    int CompareTo(void* other) const;
    /// The unit that is this unit's standard form, resolved on first use. Throws UnitException.
    Unit* StandardForm();

private:
    friend class Dimension;
    friend class UnitCacheHashMap;

    Unit(Dimension* dimension, const std::string& symbol, const std::string& name,
         const std::string& standardFormSymbol,
         std::unique_ptr<Converter::IUnitConverterEngine> converter);
    static Unit* CreateAndCache(const Reader::UnitSpec* record);
    static std::string* GetDimensionNameOfUnit(const std::string& symbol);
    static UnitCacheHashMap& GetUnitCacheHashMap();

    Dimension* m_pDimension;
    std::string m_symbol;
    std::string m_name;
    std::string m_standardFormSymbol;
    Unit* m_pStandardForm;
    Converter::IUnitConverterEngine* m_pConverter;
    float m_scale;
    float m_scaleMantissa;
    std::int32_t m_formRank;

    static bool m_bHasReadAll;
};

} // namespace Orv::Pim::Core::Service::Units
