// After WarmUpCatalogue, read-only use of the catalogue builds nothing more, so threads may share
// it. The first test checks that single-threaded (a warmed-up catalogue never needs the reader for
// what it has built); the second runs eight threads over it, which the ThreadSanitizer stage
// checks for data races.
#include <units/Dimension.h>
#include <units/LocalUnitSystem.h>
#include <units/Measurement.h>
#include <units/UCDouble.h>
#include <units/Unit.h>
#include <units/UnitConverter.h>
#include <units/UnitException.h>
#include <units/UnitService.h>
#include <units/UnitSystem.h>
#include <units/UnitSystemArray.h>
#include <units/WarmUp.h>
#include <units/reader/XmlUnitReader.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace Units = Orv::Pim::Core::Service::Units;
namespace Reader = Orv::Pim::Core::Service::Units::Reader;
using Units::Dimension;
using Units::LocalUnitSystem;
using Units::Measurement;
using Units::UCDouble;
using Units::Unit;
using Units::UnitConverter;
using Units::UnitException;
using Units::UnitService;
using Units::UnitSystem;

/// Answers from another reader and counts the calls that fetch records the catalogue keeps once
/// it has built them. The list of unit systems and a measurement's offered units are not kept:
/// the library asks for them on every call, so they are not counted.
class KeptRecordCounter : public Reader::IUnitReader {
public:
    explicit KeptRecordCounter(Reader::IUnitReader& records) : m_records(records) {}

    const Reader::DimensionSpec* GetDimensionSpec(const std::string& name) override {
        Note("dimension " + name);
        return m_records.GetDimensionSpec(name);
    }
    const Reader::UnitSpec* GetUnitSpec(const std::string& symbol) override {
        Note("unit " + symbol);
        return m_records.GetUnitSpec(symbol);
    }
    std::vector<const Reader::UnitSpec*> GetAllUnitSpecs() override {
        Note("all units");
        return m_records.GetAllUnitSpecs();
    }
    const Reader::MeasurementSpec* GetMeasurementSpec(const std::string& name) override {
        return m_records.GetMeasurementSpec(name);
    }
    std::vector<const Reader::MeasurementSpec*> GetAllMeasurementSpecs() override {
        Note("all measurements");
        return m_records.GetAllMeasurementSpecs();
    }
    std::vector<const Reader::UnitSystemSpec*> GetAllUnitSystemSpecs() override {
        return m_records.GetAllUnitSystemSpecs();
    }
    const Reader::UnitSpec* GetUnitSpecOfMeasurement(const std::string& unitSystemName,
                                                     const std::string& measurementName) override {
        Note("mapping " + unitSystemName + "." + measurementName);
        return m_records.GetUnitSpecOfMeasurement(unitSystemName, measurementName);
    }

    const std::vector<std::string>& Calls() const { return m_calls; }

private:
    void Note(const std::string& call) { m_calls.push_back(call); }

    Reader::IUnitReader& m_records;
    std::vector<std::string> m_calls;
};

/// The default catalogue, registered and warmed up; lives until the process ends.
Reader::XmlUnitReader& WarmDefaultCatalogue() {
    static const std::unique_ptr<Reader::XmlUnitReader> reader = [] {
        auto made = Reader::XmlUnitReader::Default();
        UnitService::UnitReader(made.get());
        Units::WarmUpCatalogue();
        return made;
    }();
    return *reader;
}

std::vector<UnitSystem*> RegisteredSystems() {
    const Units::UnitSystemArray systems = UnitSystem::UnitSystems();
    return std::vector<UnitSystem*>(systems.begin(), systems.end());
}

std::string Text(double value) {
    std::ostringstream text;
    text.precision(17);
    text << value;
    return text.str();
}

/// A result as text, or the refusal's message: two runs of one operation must give the same.
std::string Outcome(const std::function<std::string()>& operation) {
    try {
        return operation();
    } catch (const UnitException& error) {
        return std::string("refused: ") + error.what();
    }
}

std::string Name(const void* object) {
    std::ostringstream text;
    text << object;
    return text.str();
}

/// Read-only operations of every kind over the whole catalogue: look-ups (found and not),
/// standard forms, base units, the units of measurements in every system and the current one,
/// conversions, Parse in its forms, ToString, arithmetic and listings.
std::vector<std::function<std::string()>> ReadOnlyOperations() {
    std::vector<std::function<std::string()>> operations;
    const std::vector<Unit*> units = Unit::GetAllUnits();
    const std::vector<Measurement*> measurements = Measurement::GetAllMeasurements();
    const std::vector<UnitSystem*> systems = RegisteredSystems();
    // A local system that the threads share and nobody changes: one override over "Imperial".
    static LocalUnitSystem site("Site", UnitSystem::GetUnitSystem("Imperial"));
    site.SetUnitOfMeasurement(Measurement::GetMeasurement("Depth"), Unit::GetUnit("m"));

    for (std::size_t i = 0; i < units.size(); ++i) {
        Unit* unit = units[i];
        const std::string symbol = unit->Symbol();
        const std::string dimension = unit->GetDimension()->Name();
        Unit* other = units[(i * 7 + 3) % units.size()];
        operations.push_back([symbol] { return Name(Unit::GetUnit(symbol)); });
        operations.push_back([unit] { return Name(unit->StandardForm()); });
        operations.push_back([dimension] {
            Dimension* found = Dimension::GetDimension(dimension);
            return Name(found->BaseUnit()) + found->ToString();
        });
        operations.push_back([unit, other] {
            return Text(UnitConverter::Convert(1.5, unit, other)) + " " +
                   Text(UnitConverter::Convert(-40.0, unit, unit));
        });
        operations.push_back([unit, other] {
            UnitConverter converter(unit, other);
            std::vector<double> values{0.0, 2.5, -7.0};
            converter.Convert(values);
            const std::unique_ptr<UnitConverter> inverse(converter.GetInverse());
            return Text(values[1]) + " " + Text(inverse->Convert(values[2]));
        });
        operations.push_back([symbol] {
            const std::unique_ptr<UCDouble> value(&UCDouble::Parse("2.25 " + symbol));
            return Name(value->GetMeasurement()) + " " + value->ToString();
        });
        operations.push_back(
            [symbol] { return Name(Unit::GetUnit(symbol + "?")); }); // unknown: refused
    }

    for (std::size_t i = 0; i < measurements.size(); ++i) {
        Measurement* measurement = measurements[i];
        const std::string name = measurement->Name();
        UnitSystem* system = systems[i % systems.size()];
        operations.push_back([name] { return Name(Measurement::GetMeasurement(name)); });
        operations.push_back([measurement, system] {
            return Name(measurement->CurrentUnit()) + " " +
                   Name(system->GetUnitOfMeasurement(measurement)) + " " +
                   Name(site.GetUnitOfMeasurement(measurement)) + " " +
                   Name(measurement->BaseUnit()) + " " +
                   Text(UnitConverter::ConvertToBase(2.0, measurement)) + " " +
                   Text(UnitConverter::ConvertFromBase(2.0, measurement));
        });
        operations.push_back([measurement, system] {
            const std::unique_ptr<UCDouble> value(&UCDouble::Parse("12.5", measurement));
            const std::unique_ptr<UCDouble> inSystem(&UCDouble::Parse("3", measurement, system));
            const std::unique_ptr<UCDouble> scaled(&(*value * 4.0));
            const std::unique_ptr<UCDouble> sum(&(*value + *inSystem));
            return value->ToString() + " " + inSystem->ToString(system) + " " +
                   Text(scaled->Convert()) + " " + sum->ToString(measurement->BaseUnit());
        });
        operations.push_back([measurement] {
            // A sum of values of two measurements is refused.
            const std::unique_ptr<UCDouble> value(&UCDouble::Parse("1", measurement));
            const UCDouble unitless(2.0);
            const std::unique_ptr<UCDouble> quotient(&(*value / unitless));
            const std::unique_ptr<UCDouble> sum(&(*value + unitless));
            return quotient->ToString() + sum->ToString();
        });
        // With aliases, the offered units are widened through the whole unit list: a few only.
        const bool withAliases = i % 16 == 0;
        operations.push_back([measurement, withAliases] {
            return std::to_string(Unit::GetAllUnits(*measurement, withAliases).size());
        });
    }

    for (UnitSystem* system : systems) {
        const std::string name = system->Name();
        operations.push_back([name] {
            return Name(UnitSystem::GetUnitSystem(name)) + " " +
                   std::to_string(UnitSystem::UnitSystems().size());
        });
        operations.push_back([] { return Name(UnitService::GetUnitSystem()); });
    }

    // Listings of the whole catalogue are long: a few among the thousands of operations.
    for (int i = 0; i < 4; ++i) {
        operations.push_back([] { return std::to_string(Unit::GetAllUnits().size()); });
        operations.push_back(
            [] { return std::to_string(Measurement::GetAllMeasurements().size()); });
        operations.push_back([units] {
            return std::to_string(Unit::GetAllUnits(Dimension::GetDimension("Length")).size()) +
                   " " + std::to_string(Unit::GetAllUnits(units.front()).size());
        });
    }
    return operations;
}

TEST(WarmUp, LeavesNothingForReadOnlyUseToBuildOrFetch) {
    Reader::XmlUnitReader& records = WarmDefaultCatalogue();
    // A dimension shows its base unit once it has resolved it.
    for (Unit* unit : Unit::GetAllUnits()) {
        const std::string dimension =
            Dimension::GetDimension(unit->GetDimension()->Name())->ToString();
        ASSERT_NE(dimension.find(", base unit "), std::string::npos) << dimension;
    }
    KeptRecordCounter counter(records);
    UnitService::UnitReader(&counter);

    const std::vector<std::function<std::string()>> operations = ReadOnlyOperations();
    for (const auto& operation : operations) {
        Outcome(operation);
    }

    // Only the look-ups of symbols that are not in the catalogue may ask.
    std::set<std::string> unexpected;
    for (const std::string& call : counter.Calls()) {
        if (call.empty() || call.back() != '?') {
            unexpected.insert(call);
        }
    }
    EXPECT_TRUE(unexpected.empty())
        << "first of " << unexpected.size() << ": " << *unexpected.begin();
    UnitService::UnitReader(&records);
}

TEST(WarmUp, LetsEightThreadsShareTheCatalogueForAMillionReadOnlyOperations) {
    WarmDefaultCatalogue();
    const std::vector<std::function<std::string()>> operations = ReadOnlyOperations();
    const std::size_t count = operations.size();

    // Nothing runs an operation before the threads do, so whatever an operation would build on
    // first use is built, if the warm-up missed it, while the others read.
    constexpr int kThreads = 8;
    constexpr std::size_t kOperationsPerThread = 1000000 / kThreads;
    std::vector<std::vector<std::string>> outcomes(kThreads, std::vector<std::string>(count));
    std::atomic<std::size_t> changed{0};
    std::atomic<std::size_t> done{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // Each thread walks the operations from its own start with its own stride, so that
            // different threads run different operations on the same objects at once.
            std::vector<std::string>& seen = outcomes[static_cast<std::size_t>(t)];
            std::size_t index = static_cast<std::size_t>(t) * count / kThreads;
            const std::size_t stride = 1 + 2 * static_cast<std::size_t>(t);
            for (std::size_t i = 0; i < kOperationsPerThread; ++i) {
                index = (index + stride) % count;
                std::string outcome = Outcome(operations[index]);
                if (seen[index].empty()) {
                    seen[index] = std::move(outcome);
                } else if (outcome != seen[index]) {
                    ++changed;
                }
            }
            done += kOperationsPerThread;
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(done.load(), 1000000u);
    EXPECT_EQ(changed.load(), 0u);

    // Every thread got what the operation gives when it runs alone.
    std::size_t differing = 0;
    for (std::size_t index = 0; index < count; ++index) {
        const std::string alone = Outcome(operations[index]);
        for (const std::vector<std::string>& seen : outcomes) {
            if (!seen[index].empty() && seen[index] != alone) {
                ++differing;
            }
        }
    }
    EXPECT_EQ(differing, 0u);
}

} // namespace
