#include "RecordSet.h"
#include "Signature.h"

#include <units/converter/Engines.h>
#include <units/reader/InMemoryUnitReader.h>

#include <cmath>
#include <stdexcept>
#include <utility>

namespace Orv::Pim::Core::Service::Units::Reader {

DimensionSpec& InMemoryUnitReader::AddDimension(const std::string& name,
                                                const std::string& baseUnitSymbol) {
    return Records().dimensions.Add({name, baseUnitSymbol});
}

UnitSpec& InMemoryUnitReader::AddUnit(const std::string& symbol, const std::string& name,
                                      const std::string& dimensionName,
                                      std::unique_ptr<Converter::IUnitConverterEngine> engine,
                                      const std::string& standardFormSymbol) {
    // What the catalogue file reader refuses is refused here too, when the host adds it rather
    // than when a conversion meets it.
    const auto refuse = [&](const std::string& why) {
        return std::invalid_argument("The unit \"" + symbol + "\" " + why);
    };
    if (engine == nullptr) {
        throw refuse("has no engine");
    }
    if (engine->m_eType == Converter::e_LinearEngine) {
        double scale = 0.0, offset = 0.0;
        static_cast<Converter::LinearUnitConverter&>(*engine).GetScaleAndOffset(scale, offset);
        if (!std::isfinite(scale) || !std::isfinite(offset)) {
            throw refuse("has a scale or offset that is not a finite number");
        }
    }
    if (!engine->IsInvertible()) {
        throw refuse("has an engine that cannot be inverted");
    }
    return Records().units.Add(
        {symbol, name, dimensionName, standardFormSymbol, Records().Keep(std::move(engine))});
}

UnitSpec& InMemoryUnitReader::AddUnit(const std::string& symbol, const std::string& name,
                                      const std::string& dimensionName, double scale, double offset,
                                      const std::string& standardFormSymbol) {
    return AddUnit(symbol, name, dimensionName,
                   std::make_unique<Converter::LinearUnitConverter>(scale, offset),
                   standardFormSymbol);
}

MeasurementSpec& InMemoryUnitReader::AddMeasurement(const std::string& name,
                                                    const std::string& dimensionName,
                                                    std::vector<std::string> unitSymbols) {
    return Records().measurements.Add({name, dimensionName, std::move(unitSymbols)});
}

UnitSystemSpec& InMemoryUnitReader::AddUnitSystem(const std::string& name) {
    return Records().systems.Add({name});
}

bool InMemoryUnitReader::SetUnitOfMeasurement(const std::string& unitSystemName,
                                              const std::string& measurementName,
                                              const std::string& unitSymbol) {
    const UnitSpec* unit = Records().units.Find(unitSymbol);
    if (unit == nullptr) {
        return false;
    }
    Records().mappings[{unitSystemName, measurementName}] = unit;
    return true;
}

} // namespace Orv::Pim::Core::Service::Units::Reader

namespace Orv::Pim::Core::Service::Units::Reader {

bool InMemoryUnitReader::SetSignature(const std::string& dimensionName,
                                      const std::string& signature, bool preferred) {
    std::string why;
    const auto terms = Detail::ParseSignatureText(signature, why);
    if (!terms) {
        return false;
    }
    // A quantity named twice would not say which exponent holds.
    for (std::size_t i = 0; i < terms->size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if ((*terms)[i].quantity == (*terms)[j].quantity) {
                return false;
            }
        }
    }
    Records().signatures[dimensionName] = {signature, preferred};
    return true;
}

void InMemoryUnitReader::SetTakesPrefixes(const std::string& symbol) {
    Records().prefixed.insert(symbol);
}

} // namespace Orv::Pim::Core::Service::Units::Reader
