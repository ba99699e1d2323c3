// After WarmUpCatalogue, read-only use of the catalogue builds nothing more, so threads may share
// it. The first test checks that on one thread; the second runs eight threads over it, which the
// ThreadSanitizer stage of .ci/run checks for data races.
#include "OrvTesting.h"

#include <units/WarmUp.h>
#include <units/reader/XmlUnitReader.h>

#include <atomic>
#include <thread>

using namespace Orv::Pim::Core::Service::Units;
using namespace orv_testing;

namespace {

using Operation = std::function<std::string()>;

/// The default catalogue, registered and warmed up; lives until the process ends.
Reader::XmlUnitReader& WarmDefaultCatalogue() {
    static const std::unique_ptr<Reader::XmlUnitReader> reader = [] {
        auto made = Reader::XmlUnitReader::Default();
        UnitService::UnitReader(made.get());
        WarmUpCatalogue();
        return made;
    }();
    return *reader;
}

/// A value as text, a number with every digit and an object by its address, then a blank.
template <typename Value>
std::string Text(Value value) {
    std::ostringstream text;
    text.precision(17);
    text << value << ' ';
    return text.str();
}

/// A result as text, or the refusal's message: two runs of one operation must give the same.
std::string Outcome(const Operation& operation) {
    try {
        return operation();
    } catch (const UnitException& error) {
        return std::string("refused: ") + error.what();
    }
}

/// Read-only operations of every kind over the whole catalogue: look-ups (found and not),
/// standard forms, base units, the units of measurements in every system, a shared local system
/// and the current one, conversions, Parse in its forms, ToString, arithmetic and listings.
std::vector<Operation> ReadOnlyOperations() {
    std::vector<Operation> operations;
    const std::vector<Unit*> units = Unit::GetAllUnits();
    const std::vector<Measurement*> measurements = Measurement::GetAllMeasurements();
    const UnitSystemArray registry = UnitSystem::UnitSystems();
    const std::vector<UnitSystem*> systems(registry.begin(), registry.end());
    static LocalUnitSystem site("Site", UnitSystem::GetUnitSystem("Imperial"));
    site.SetUnitOfMeasurement(Measurement::GetMeasurement("Depth"), Unit::GetUnit("m"));

    for (Unit* unit : units) {
        const std::string symbol = unit->Symbol();
        Dimension* dimension = Dimension::GetDimension(unit->GetDimension()->Name());
        Unit* base = dimension->BaseUnit();
        operations.push_back([=] {
            return Text(Unit::GetUnit(symbol)) + Text(unit->StandardForm()) +
                   Text(Dimension::GetDimension(dimension->Name())->BaseUnit()) +
                   Text(dimension->ToString());
        });
        operations.push_back([=] {
            UnitConverter converter(unit, base);
            std::vector<double> values{0.0, 2.5, -7.0};
            converter.Convert(values);
            const std::unique_ptr<UnitConverter> inverse(converter.GetInverse());
            return Text(UnitConverter::Convert(1.5, unit, base)) + Text(values[1]) +
                   Text(inverse->Convert(values[2]));
        });
        operations.push_back([=] {
            const std::unique_ptr<UCDouble> value(&UCDouble::Parse("2.25 " + symbol));
            return Text(value->GetMeasurement()) + Text(value->ToString());
        });
        operations.push_back([=] { return Text(Unit::GetUnit(symbol + "?")); }); // refused
    }

    for (std::size_t i = 0; i < measurements.size(); ++i) {
        Measurement* measurement = measurements[i];
        UnitSystem* system = systems[i % systems.size()];
        const std::string name = measurement->Name();
        operations.push_back([=] {
            return Text(Measurement::GetMeasurement(name)) + Text(measurement->CurrentUnit()) +
                   Text(system->GetUnitOfMeasurement(measurement)) +
                   Text(site.GetUnitOfMeasurement(measurement)) + Text(measurement->BaseUnit()) +
                   Text(UnitConverter::ConvertToBase(2.0, measurement)) +
                   Text(UnitConverter::ConvertFromBase(2.0, measurement));
        });
        operations.push_back([=] {
            const std::unique_ptr<UCDouble> value(&UCDouble::Parse("12.5", measurement));
            const std::unique_ptr<UCDouble> inSystem(&UCDouble::Parse("3", measurement, system));
            const std::unique_ptr<UCDouble> scaled(&(*value * 4.0));
            const std::unique_ptr<UCDouble> quotient(&(*value / UCDouble(2.0)));
            const std::unique_ptr<UCDouble> sum(&(*value + *inSystem));
            return Text(value->ToString()) + Text(inSystem->ToString(system)) +
                   Text(scaled->Convert()) + Text(quotient->ToString()) +
                   Text(sum->ToString(measurement->BaseUnit()));
        });
        // With aliases, the offered units are widened through the whole unit list: a few only.
        const bool withAliases = i % 16 == 0;
        operations.push_back(
            [=] { return Text(Unit::GetAllUnits(*measurement, withAliases).size()); });
    }

    for (UnitSystem* system : systems) {
        const std::string name = system->Name();
        operations.push_back([name] {
            return Text(UnitSystem::GetUnitSystem(name)) + Text(UnitService::GetUnitSystem()) +
                   Text(UnitSystem::UnitSystems().size());
        });
    }
    // Listings of the whole catalogue are long: a few among the thousands of operations.
    for (int i = 0; i < 4; ++i) {
        operations.push_back([units] {
            return Text(Unit::GetAllUnits().size()) +
                   Text(Measurement::GetAllMeasurements().size()) +
                   Text(Unit::GetAllUnits(Dimension::GetDimension("Length")).size()) +
                   Text(Unit::GetAllUnits(units.front()).size());
        });
    }
    return operations;
}

// A dimension shows its base unit once it has resolved it. The library asks for a measurement's
// offered units and for the list of unit systems on every call, and for the symbols it lacks;
// any other call fetches a record that the warm-up should have built from.
TEST(WarmUp, LeavesNothingForReadOnlyUseToBuildOrFetch) {
    Reader::XmlUnitReader& records = WarmDefaultCatalogue();
    for (Unit* unit : Unit::GetAllUnits()) {
        const std::string dimension =
            Dimension::GetDimension(unit->GetDimension()->Name())->ToString();
        ASSERT_NE(dimension.find(", base unit "), std::string::npos) << dimension;
    }
    SpyReader spy(records);
    UnitService::UnitReader(&spy);

    for (const Operation& operation : ReadOnlyOperations()) {
        Outcome(operation);
    }

    std::string unexpected;
    for (const std::string& call : spy.calls) {
        if (call.rfind("GetMeasurementSpec ", 0) != 0 && call != "GetAllUnitSystemSpecs" &&
            call.back() != '?') {
            unexpected += call + "\n";
        }
    }
    EXPECT_EQ(unexpected, "");
    UnitService::UnitReader(&records);
}

// Nothing runs an operation before the threads do, so whatever an operation would build on first
// use is built, if the warm-up missed it, while the others read. Each thread walks the operations
// from its own start with its own stride, so that different threads run different operations on
// the same objects at once.
TEST(WarmUp, LetsEightThreadsShareTheCatalogueForAMillionReadOnlyOperations) {
    WarmDefaultCatalogue();
    const std::vector<Operation> operations = ReadOnlyOperations();
    const std::size_t count = operations.size();
    constexpr std::size_t kThreads = 8, kOperationsPerThread = 1000000 / kThreads;
    std::vector<std::vector<std::string>> outcomes(kThreads, std::vector<std::string>(count));
    std::atomic<std::size_t> changed{0};
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            std::vector<std::string>& seen = outcomes[t];
            std::size_t index = t * count / kThreads;
            for (std::size_t i = 0; i < kOperationsPerThread; ++i) {
                index = (index + 1 + 2 * t) % count;
                std::string outcome = Outcome(operations[index]);
                if (seen[index].empty()) {
                    seen[index] = std::move(outcome);
                } else if (outcome != seen[index]) {
                    ++changed;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(changed.load(), 0u);
}

} // namespace
