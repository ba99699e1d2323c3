// The default catalogue's reader. Each record is made from the tables compiled into the library
// when it is first asked for, so that registering the default catalogue costs next to nothing and
// a process pays only for the records it uses.
#include "RecordSet.h"
#include "StaticCatalogue.h"

#include <units/converter/ExactEngines.h>
#include <units/reader/XmlUnitReader.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string_view>

namespace Orv::Pim::Core::Service::Units::Reader {

namespace {

using Detail::StaticCatalogue;
using Detail::StaticText;
using Engine = std::unique_ptr<Converter::IUnitConverterEngine>;

/// Things made once each, on first use, and kept at their addresses. A slot is read without the
/// lock and filled under it, so that threads asking at once make a thing once and all see it
/// whole.
template <typename Thing>
class Slots {
public:
    explicit Slots(std::size_t count) : m_slots(count) {}

    /// The thing at `index`, made by `make()` when it is not made yet.
    template <typename Make>
    const Thing* Get(std::size_t index, Make make) {
        if (const Thing* made = m_slots[index].load(std::memory_order_acquire)) {
            return made;
        }
        const std::lock_guard<std::mutex> guard(m_lock);
        if (const Thing* made = m_slots[index].load(std::memory_order_relaxed)) {
            return made;
        }
        m_things.push_back(make());
        const Thing* made = &m_things.back();
        m_slots[index].store(made, std::memory_order_release);
        return made;
    }

private:
    std::mutex m_lock;
    std::vector<std::atomic<const Thing*>> m_slots;
    std::deque<Thing> m_things; // a deque never moves what it holds
};

/// One kind of record of a compiled catalogue: the compiled items, the field that is their key,
/// the order that sorts them by key (none for the few unit systems, which are scanned), and how a
/// record is made from an item.
template <typename Record, typename Item>
class StaticTable final : public Detail::RecordMaker<Record> {
public:
    using Make = std::function<Record(const Item&)>;

    StaticTable(const StaticCatalogue& data, const Item* items, std::size_t count,
                StaticText Item::*key, const std::uint32_t* order, std::size_t orderCount,
                Make make)
        : m_data(data), m_items(items), m_count(count), m_key(key), m_order(order),
          m_orderCount(orderCount), m_make(std::move(make)), m_made(count) {}

    const Record* Find(std::string_view key) override {
        if (m_order == nullptr) {
            for (std::size_t i = 0; i < m_count; ++i) {
                if (KeyAt(i) == key) {
                    return At(i);
                }
            }
            return nullptr;
        }
        const std::uint32_t* const end = m_order + m_orderCount;
        const std::uint32_t* found =
            std::lower_bound(m_order, end, key, [&](std::uint32_t index, std::string_view wanted) {
                return KeyAt(index) < wanted;
            });
        return found == end || KeyAt(*found) != key ? nullptr : At(*found);
    }

    std::vector<const Record*> List() override {
        std::vector<const Record*> all;
        all.reserve(m_count);
        for (std::size_t i = 0; i < m_count; ++i) {
            all.push_back(At(i));
        }
        return all;
    }

    /// The record of the item at `index`.
    const Record* At(std::size_t index) {
        return m_made.Get(index, [&] { return m_make(m_items[index]); });
    }

private:
    std::string_view KeyAt(std::size_t index) const { return m_data.View(m_items[index].*m_key); }

    const StaticCatalogue& m_data;
    const Item* m_items;
    std::size_t m_count;
    StaticText Item::*m_key;
    const std::uint32_t* m_order;
    std::size_t m_orderCount;
    Make m_make;
    Slots<Record> m_made;
};

/// The records of a compiled catalogue, made when asked for.
class StaticRecords final : public Detail::RecordSource {
public:
    explicit StaticRecords(const StaticCatalogue& data)
        : m_data(data), m_engines(data.engineCount),
          m_dimensions(
              data, data.dimensions, data.dimensionCount, &Detail::StaticDimension::name,
              data.dimensionOrder, data.dimensionOrderCount,
              [this](const Detail::StaticDimension& dimension) {
                  return DimensionSpec{Text(dimension.name), Text(dimension.baseUnitSymbol)};
              }),
          m_units(data, data.units, data.unitCount, &Detail::StaticUnit::symbol, data.unitOrder,
                  data.unitOrderCount,
                  [this](const Detail::StaticUnit& unit) {
                      return UnitSpec{Text(unit.symbol), Text(unit.name), Text(unit.dimensionName),
                                      Text(unit.standardFormSymbol), EngineOf(unit.engine)};
                  }),
          m_measurements(
              data, data.measurements, data.measurementCount, &Detail::StaticMeasurement::name,
              data.measurementOrder, data.measurementOrderCount,
              [this](const Detail::StaticMeasurement& measurement) {
                  std::vector<std::string> symbols;
                  symbols.reserve(measurement.unitCount);
                  for (std::uint32_t i = 0; i < measurement.unitCount; ++i) {
                      symbols.push_back(Text(m_data.unitSymbols[measurement.firstUnitSymbol + i]));
                  }
                  return MeasurementSpec{Text(measurement.name), Text(measurement.dimensionName),
                                         std::move(symbols)};
              }),
          m_systems(data, data.systems, data.systemCount, &Detail::StaticSystem::name, nullptr, 0,
                    [this](const Detail::StaticSystem& system) {
                        return UnitSystemSpec{Text(system.name)};
                    }) {}

    /// Gives `records`' tables their makers.
    void Serve(Detail::RecordSet& records) {
        records.dimensions.MadeBy(m_dimensions);
        records.units.MadeBy(m_units);
        records.measurements.MadeBy(m_measurements);
        records.systems.MadeBy(m_systems);
    }

    const UnitSpec* GetUnitSpecOfMeasurement(std::string_view unitSystemName,
                                             std::string_view measurementName) override {
        // The first system of the name, then its mappings, which are sorted by measurement name.
        std::uint32_t system = 0;
        while (system < m_data.systemCount && View(m_data.systems[system].name) != unitSystemName) {
            ++system;
        }
        using Detail::StaticMapping;
        const StaticMapping* const end = m_data.mappings + m_data.mappingCount;
        const auto [first, last] =
            std::equal_range(m_data.mappings, end, StaticMapping{system, 0, 0},
                             [](const StaticMapping& left, const StaticMapping& right) {
                                 return left.system < right.system;
                             });
        const auto nameOf = [&](const StaticMapping& mapping) {
            return View(m_data.measurements[mapping.measurement].name);
        };
        const StaticMapping* found =
            std::lower_bound(first, last, measurementName,
                             [&](const StaticMapping& mapping, std::string_view wanted) {
                                 return nameOf(mapping) < wanted;
                             });
        return found != last && nameOf(*found) == measurementName ? m_units.At(found->unit)
                                                                  : nullptr;
    }

private:
    std::string_view View(StaticText at) const { return m_data.View(at); }
    std::string Text(StaticText at) const { return std::string(m_data.View(at)); }

    Converter::IUnitConverterEngine* EngineOf(std::size_t index) {
        const Detail::StaticEngine& engine = m_data.engines[index];
        return m_engines
            .Get(index,
                 [&]() -> Engine {
                     // Small definitions, most of them, need no text to be parsed nor big
                     // integers.
                     if (engine.small) {
                         return Converter::MakeExactLinear(engine.a, engine.b, engine.c);
                     }
                     return Converter::MakeExactEngine(
                         {Text(engine.A), Text(engine.B), Text(engine.C), Text(engine.D)});
                 })
            ->get();
    }

    const StaticCatalogue& m_data;
    Slots<Engine> m_engines;
    StaticTable<DimensionSpec, Detail::StaticDimension> m_dimensions;
    StaticTable<UnitSpec, Detail::StaticUnit> m_units;
    StaticTable<MeasurementSpec, Detail::StaticMeasurement> m_measurements;
    StaticTable<UnitSystemSpec, Detail::StaticSystem> m_systems;
};

} // namespace

std::unique_ptr<XmlUnitReader> XmlUnitReader::Default() {
    const StaticCatalogue& data = Detail::kDefaultRecords;
    auto records = std::make_unique<Detail::RecordSet>();
    auto source = std::make_unique<StaticRecords>(data);
    source->Serve(*records);
    records->source = std::move(source);
    // Unit expressions read these; they are small and made at once.
    for (std::size_t i = 0; i < data.dimensionCount; ++i) {
        const Detail::StaticDimension& dimension = data.dimensions[i];
        if (dimension.hasSignature) {
            records->signatures.emplace(
                data.View(dimension.name),
                Detail::DimensionSignature{std::string(data.View(dimension.signature)),
                                           dimension.preferred});
        }
    }
    for (std::size_t i = 0; i < data.unitCount; ++i) {
        if (data.units[i].prefixes) {
            records->prefixed.emplace(data.View(data.units[i].symbol));
        }
    }
    std::vector<CatalogueProblem> warnings;
    for (std::size_t i = 0; i < data.warningCount; ++i) {
        const Detail::StaticProblem& problem = data.warnings[i];
        warnings.push_back({std::string(data.View(problem.source)), problem.line, problem.column,
                            std::string(data.View(problem.message)), problem.warning});
    }
    return std::unique_ptr<XmlUnitReader>(
        new XmlUnitReader(std::move(records), std::move(warnings)));
}

} // namespace Orv::Pim::Core::Service::Units::Reader
