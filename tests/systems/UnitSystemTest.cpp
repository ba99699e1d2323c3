// Unit systems: the registry, filled from the reader and owned by its last handle; the unit a
// system gives a measurement; the current unit system with its event; and local unit systems,
// overrides over a parent or over whatever system is current.
#include "OrvTesting.h"

#include <cstdlib>
#include <iostream>
#include <map>

using namespace Orv::Pim::Core::Service::Units;
using namespace orv_testing;

namespace {

UnitSystem* System(const char* name) {
    Catalogue();
    return UnitSystem::GetUnitSystem(name);
}

/// A host's own unit system, which calls `onDeletion` when deleted. One still registered at exit
/// is deleted then, so its action must not use the test's locals.
class HostUnitSystem : public UnitSystem {
public:
    explicit HostUnitSystem(const std::string& name, std::function<void()> onDeletion = {})
        : UnitSystem(name), m_onDeletion(std::move(onDeletion)) {}
    ~HostUnitSystem() override {
        if (m_onDeletion) {
            m_onDeletion();
        }
    }

private:
    std::function<void()> m_onDeletion;
};

// The reader's list is asked for on every call, also once the registry is filled.
TEST(UnitSystemRegistry, FillsFromTheReaderInItsOrderSkippingNullAndInvalidRecords) {
    SpyReader& reader = Catalogue();
    reader.nullFirst = true;
    reader.records.AddUnitSystem("Broken").valid = false;
    reader.records.AddUnitSystem("Imperial");

    const UnitSystemArray systems = UnitSystem::UnitSystems();

    EXPECT_EQ(Keys(systems), "Metric Imperial Imperial ");
    EXPECT_EQ(UnitSystem::GetUnitSystem("Imperial"), systems[1]);
    EXPECT_EQ(reader.Calls("GetAllUnitSystemSpecs"), 2);
}

// Every handle sees the one registry as it is now; a system that a host deletes leaves it, every
// entry of it.
TEST(UnitSystemRegistry, IsNotFilledOnceAHostHasAppendedASystem) {
    Catalogue();
    UnitSystemArray host;
    auto* mine = new HostUnitSystem("Mine");
    host.push_back(mine);
    const UnitSystemArray systems = UnitSystem::UnitSystems();
    host.push_back(new HostUnitSystem("Yours"));
    host.push_back(mine);
    EXPECT_EQ(Keys(systems), "Mine Yours Mine ");

    delete mine;

    EXPECT_EQ(Keys(systems), "Yours ");
}

// Entries pushed by a host need not be well formed: a null entry deletes nothing, and a system
// appended twice is deleted once.
TEST(UnitSystemRegistry, TheLastHandleDeletesEachRegisteredSystemOnce) {
    int deletions = 0;
    {
        UnitSystemArray outer;
        {
            UnitSystemArray inner(outer);
            auto* twice = new HostUnitSystem("Twice", [&] { ++deletions; });
            inner.push_back(new HostUnitSystem("Once", [&] { ++deletions; }));
            inner.push_back(nullptr);
            inner.push_back(twice);
            inner.push_back(twice);
        }
        EXPECT_EQ(deletions, 0);
    }
    EXPECT_EQ(deletions, 2);
    EXPECT_EQ(UnitSystemArray().size(), 0u);
}

TEST(UnitSystemRegistry, TheLibrarysOwnHandleReleasesItAtExit) {
    EXPECT_EXIT(
        {
            Catalogue();
            UnitSystem::UnitSystems().push_back(new HostUnitSystem("Exits", [] { std::_Exit(3); }));
            std::exit(0);
        },
        testing::ExitedWithCode(3), "");
}

// The exit handler is registered before the library's own handle exists, so it runs after that
// handle is destroyed, and ends the process before a leak check would report the systems that
// are never released: exit code 0 comes from it alone.
TEST(UnitSystemRegistry, AnAssignedHandleStopsTheReleaseAtExit) {
    EXPECT_EXIT(
        {
            std::atexit([] { std::_Exit(0); });
            Catalogue();
            {
                UnitSystemArray systems = UnitSystem::UnitSystems();
                systems = UnitSystem::UnitSystems();
                systems.push_back(new HostUnitSystem("Exits", [] { std::_Exit(3); }));
            }
            std::exit(1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(UnitSystem, SortsMetricFirstThenByNameInByteOrder) {
    HostUnitSystem metric("Metric"), field("Field"), lower("metric");

    EXPECT_EQ(metric.CompareTo(nullptr), 1);
    EXPECT_EQ(metric.CompareTo(&metric), 0);
    EXPECT_EQ(metric.CompareTo(&field), -1);
    EXPECT_EQ(lower.CompareTo(&field), 1); // not the system named Metric: it sorts by name
}

// A unit is asked for once and remembered; a missing definition falls back to the base unit once
// and for all, as does a null that a caller stored; a unit of another dimension is returned but
// never remembered, so it is asked for and reported on every call.
TEST(UnitSystem, RemembersGoodAnswersAndReportsInconsistentDataOnStandardOutput) {
    SpyReader& reader = Catalogue();
    reader.records.SetUnitOfMeasurement("Imperial", "Temperature", "lb");
    UnitSystem* imperial = System("Imperial");
    Measurement *depth = M("Depth"), *length = M("Length"), *mass = M("Mass"),
                *temperature = M("Temperature");
    Unit *ft = U("ft"), *kg = U("kg"), *lb = U("lb"), *m = U("m");
    imperial->GetMeasurementUnitHashMap()[length] = nullptr;
    std::ostringstream out;
    std::streambuf* const console = std::cout.rdbuf(out.rdbuf());

    for (int call = 0; call < 2; ++call) {
        EXPECT_EQ(imperial->GetUnitOfMeasurement(depth), ft);
        EXPECT_EQ(imperial->GetUnitOfMeasurement(mass), kg);
        EXPECT_EQ(imperial->GetUnitOfMeasurement(temperature), lb);
        EXPECT_EQ(imperial->GetUnitOfMeasurement(length), m);
        EXPECT_EQ(imperial->GetUnitOfMeasurement(nullptr), nullptr);
    }

    std::cout.rdbuf(console);
    const std::string wrong = "The unit 'lb' for Imperial.Temperature has the wrong Dimension.\n";
    EXPECT_EQ(out.str(), "Unit system Imperial has no definition for Mass\n" + wrong + wrong);
    EXPECT_EQ(reader.Calls("GetUnitSpecOfMeasurement"), 4);
    EXPECT_EQ(imperial->GetMeasurementUnitHashMap(),
              (std::map<const Measurement*, Unit*>{{depth, ft}, {mass, kg}, {length, nullptr}}));
}

/// Records, while it lives, the systems that the current-unit-system event carries, and whether
/// each one was already current when the handlers ran.
struct CurrentChanges {
    CurrentChanges()
        : token(UnitService::m_CurrentUnitSystemChanged.Subscribe(
              [this](const UnitSystem::UnitSystemEventArgs& args) {
                  carried.push_back(args.GetUnitSystem());
                  alreadyCurrent &=
                      !args.GetUnitSystem() || UnitService::GetUnitSystem() == args.GetUnitSystem();
              })) {}
    ~CurrentChanges() { UnitService::m_CurrentUnitSystemChanged.Unsubscribe(token); }

    std::vector<UnitSystem*> carried;
    bool alreadyCurrent = true;
    std::size_t token;
};

// Working out the default is not a change: it raises no event, also when it comes back after
// null.
TEST(CurrentUnitSystem, IsMetricUntilSetAndRaisesItsEventOnEverySet) {
    UnitSystem* imperial = System("Imperial");
    LocalUnitSystem site("Site", imperial);
    CurrentChanges changes;

    EXPECT_EQ(M("Depth")->CurrentUnit(), U("m"));
    UnitService::SetUnitSystem(imperial);
    UnitService::SetUnitSystem(imperial);
    EXPECT_EQ(M("Depth")->CurrentUnit(), U("ft"));
    UnitService::SetUnitSystem(&site);
    UnitService::SetUnitSystem(nullptr);
    EXPECT_EQ(UnitService::GetUnitSystem(), System("Metric"));

    EXPECT_EQ(changes.carried, (std::vector<UnitSystem*>{imperial, imperial, &site, nullptr}));
    EXPECT_TRUE(changes.alreadyCurrent);
}

// A failed look-up of the default is not remembered.
TEST(CurrentUnitSystem, IsMissingUntilSetWhenTheRegistryLacksMetric) {
    delete System("Metric");
    const std::string notFound = "Could not find a UnitSystem named 'Metric'!";
    EXPECT_EQ(MessageOf([] { M("Depth")->CurrentUnit(); }), notFound);
    EXPECT_EQ(MessageOf([] { UnitService::GetUnitSystem(); }), notFound);

    UnitService::SetUnitSystem(System("Imperial"));
    EXPECT_EQ(M("Depth")->CurrentUnit(), U("ft"));
}

// A local system made over another takes that one's parent and a copy of its overrides, so later
// overrides of it are not seen; one without a parent follows the current system.
TEST(LocalUnitSystem, AnswersFromItsOverridesThenItsParentOrTheCurrentSystem) {
    UnitSystem* imperial = System("Imperial");
    Measurement *depth = M("Depth"), *length = M("Length"), *temperature = M("Temperature");
    LocalUnitSystem site("Site", imperial);
    site.SetUnitOfMeasurement(depth, U("m"));
    LocalUnitSystem overSite("Over site", &site);
    site.SetUnitOfMeasurement(length, U("km"));
    LocalUnitSystem floating("Floating"), nullParent("Null parent", nullptr);
    floating.SetUnitOfMeasurement(temperature, U("K"));
    LocalUnitSystem overFloating("Over floating", &floating);

    EXPECT_EQ(site.GetUnitOfMeasurement(temperature), U("degF"));
    EXPECT_EQ(site.GetUnitOfMeasurement(nullptr), nullptr);
    EXPECT_EQ(site.GetMeasurementUnitHashMap().size(), 2u); // the parent's answers are not kept
    EXPECT_EQ(overSite.GetUnitOfMeasurement(depth), U("m"));
    EXPECT_EQ(overSite.GetUnitOfMeasurement(length), U("ft"));
    EXPECT_FALSE(site.UsesCurrentContext());
    EXPECT_TRUE(overFloating.UsesCurrentContext() && nullParent.UsesCurrentContext());
    EXPECT_EQ(nullParent.GetUnitOfMeasurement(depth), U("m"));
    UnitService::SetUnitSystem(imperial);
    EXPECT_EQ(nullParent.GetUnitOfMeasurement(depth), U("ft"));
    EXPECT_EQ(overFloating.GetUnitOfMeasurement(depth), U("ft"));
    EXPECT_EQ(overFloating.GetUnitOfMeasurement(temperature), U("K"));
}

// Each handler notes the unit it was told of, the unit the system then gives (the override is
// stored first) and how many current-system events were raised before it ran.
TEST(LocalUnitSystem, RaisesItsOwnEventThenTheCurrentEventWhenItIsCurrent) {
    Measurement* depth = M("Depth");
    LocalUnitSystem site("Site", System("Imperial")), other("Other", System("Imperial"));
    UnitService::SetUnitSystem(&site);
    CurrentChanges changes;
    std::vector<std::string> log;
    const auto note = [&](const LocalUnitSystem::ChangeDetails& change) {
        log.push_back(change.GetLocalUnitSystem()->Name() + " " + change.GetMeasurement()->Name() +
                      " " + change.GetUnit()->Symbol() + " " +
                      change.GetLocalUnitSystem()->GetUnitOfMeasurement(depth)->Symbol() +
                      " after " + std::to_string(changes.carried.size()));
    };
    site.m_LocalUnitSystemChanged.Subscribe(note);
    other.m_LocalUnitSystemChanged.Subscribe(note);

    site.SetUnitOfMeasurement(depth, U("m"));
    site.SetUnitOfMeasurement(depth, U("m"));
    other.SetUnitOfMeasurement(depth, U("km"));

    EXPECT_EQ(log, (std::vector<std::string>{"Site Depth m m after 0", "Site Depth m m after 1",
                                             "Other Depth km km after 2"}));
    EXPECT_EQ(changes.carried, (std::vector<UnitSystem*>{&site, &site}));
}

// A host that fills the registry itself can make a parentless local system the default "Metric",
// which SetUnitSystem would have refused: it must not ask itself for units.
TEST(LocalUnitSystem, RefusesEveryLookUpWhenParentlessAndCurrent) {
    Measurement *depth = M("Depth"), *length = M("Length");
    UnitSystemArray systems = UnitSystem::UnitSystems();
    while (systems.size() != 0) {
        delete systems[0];
    }
    auto* rogue = new LocalUnitSystem("Metric");
    systems.push_back(rogue);
    rogue->GetMeasurementUnitHashMap()[depth] = U("ft");
    ASSERT_EQ(UnitService::GetUnitSystem(), rogue);

    const std::string refusal = "Current unit system refers to self";
    EXPECT_EQ(MessageOf([&] { rogue->GetUnitOfMeasurement(depth); }), refusal);
    EXPECT_EQ(MessageOf([&] { length->CurrentUnit(); }), refusal);
    // The override is stored, and installing the system again as current is then refused.
    EXPECT_EQ(MessageOf([&] { rogue->SetUnitOfMeasurement(length, U("km")); }),
              "Current unit system must not refer to self");
    EXPECT_EQ(rogue->GetMeasurementUnitHashMap().at(length), U("km"));
}

TEST(LocalUnitSystem, ClonesItsNameParentAndOverridesButNotItsHandlers) {
    Measurement *depth = M("Depth"), *temperature = M("Temperature");
    LocalUnitSystem site("Site", System("Imperial"));
    int raises = 0;
    site.m_LocalUnitSystemChanged.Subscribe([&](const auto&) { ++raises; });
    site.SetUnitOfMeasurement(depth, U("m"));
    std::unique_ptr<LocalUnitSystem> clone(static_cast<LocalUnitSystem*>(site.Clone()));
    LocalUnitSystem copy(site);

    EXPECT_EQ(clone->Name(), "Site");
    EXPECT_EQ(clone->GetMeasurementUnitHashMap(), site.GetMeasurementUnitHashMap());
    EXPECT_EQ(clone->GetUnitOfMeasurement(M("Length")), U("ft"));
    clone->SetUnitOfMeasurement(temperature, U("K"));
    EXPECT_EQ(site.GetUnitOfMeasurement(temperature), U("degF"));
    copy.SetUnitOfMeasurement(temperature, U("K")); // a copy, unlike a clone, keeps the handlers
    EXPECT_EQ(raises, 2);
}

} // namespace
