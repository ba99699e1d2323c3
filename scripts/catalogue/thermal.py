"""Temperature and heat."""

from .base_units import BTU, CAL, DEG_F, FT, FT2, FT3, GAL_US, H, IN, LB
from .exact import E


def add(cat):
    temperature(cat)
    temperature_difference(cat)
    temperature_gradient(cat)
    thermal_expansion(cat)
    heat_flux(cat)
    thermal_conductivity(cat)
    heat_transfer_coefficient(cat)
    thermal_insulance(cat)
    heat_capacity(cat)
    specific_heat_capacity(cat)
    specific_energy(cat)
    energy_density(cat)


def temperature(cat):
    d = cat.dimension("Temperature", "K", "kelvin", aliases=["kelvin"],
                      signature="Θ", preferred=True)
    # Absolute scales with an offset: K = x + 273.15, K = (5 x + 2298.35) / 9.
    d.unit_abcd("degC", "degree Celsius", A="273.15", aliases=["celsius"])
    d.unit_abcd("degF", "degree Fahrenheit", A="2298.35", B="5", C="9", aliases=["fahrenheit"])
    d.unit("degR", "degree Rankine", DEG_F, aliases=["rankine"])
    d.alias("degC", "°C", "degree Celsius")
    d.alias("degC", "℃", "degree Celsius")
    d.alias("degF", "°F", "degree Fahrenheit")
    d.alias("degF", "℉", "degree Fahrenheit")
    d.alias("degR", "°R", "degree Rankine")
    d.takes_prefixes("K")
    every = "degC K degF degR"
    d.measurement("Temperature", every, metric="degC", imperial="degF")
    for name in ["Reservoir Temperature", "Ambient Temperature", "Process Temperature",
                 "Fluid Temperature"]:
        d.measurement(name, every, metric="degC", imperial="degF")
    d.measurement("Absolute Temperature", "K degR", imperial="degR")


def temperature_difference(cat):
    d = cat.dimension("Temperature Difference", "deltaK", "kelvin (temperature difference)",
                      signature="Θ")
    d.unit("deltaC", "degree Celsius (temperature difference)", 1)
    d.unit("deltaF", "degree Fahrenheit (temperature difference)", DEG_F,
           aliases=[("deltaR", "degree Rankine (temperature difference)")])
    every = "deltaC deltaK deltaF"
    for name in ["Temperature Difference", "Temperature Rise", "Approach Temperature",
                 "Superheat"]:
        d.measurement(name, every, metric="deltaC", imperial="deltaF")


def temperature_gradient(cat):
    d = cat.dimension("Temperature Gradient", "K/m", "kelvin per metre", aliases=["degC/m"],
                      signature="L-1 Θ")
    d.unit("K/km", "kelvin per kilometre", E("0.001"), aliases=["degC/km"])
    d.unit("degC/100m", "degree Celsius per hundred metres", E("0.01"), aliases=["K/100m"])
    d.unit("degF/ft", "degree Fahrenheit per foot", DEG_F / FT)
    d.unit("degF/100ft", "degree Fahrenheit per hundred feet", DEG_F / (FT * 100))
    d.measurement("Temperature Gradient", "K/m K/km degC/100m degF/ft degF/100ft",
                  imperial="degF/ft")
    d.measurement("Geothermal Gradient", "degC/100m K/km K/m degF/100ft", metric="degC/100m",
                  si="K/km", imperial="degF/100ft")


def thermal_expansion(cat):
    d = cat.dimension("Thermal Expansion", "1/K", "per kelvin", aliases=["1/degC"], signature="Θ-1")
    d.unit("1/degF", "per degree Fahrenheit", E(1) / DEG_F, aliases=["1/degR"])
    d.unit("ppm/K", "part per million per kelvin", E("0.000001"), aliases=["ppm/degC"])
    d.unit("ppm/degF", "part per million per degree Fahrenheit", E("0.000001") / DEG_F)
    d.measurement("Thermal Expansion Coefficient", "1/K 1/degF ppm/K ppm/degF",
                  imperial="1/degF")
    d.measurement("Linear Expansion Coefficient", "ppm/K ppm/degF 1/K 1/degF", metric="ppm/K",
                  si="ppm/K", imperial="ppm/degF")
    d.measurement("Thermal Expansion", "1/K 1/degF ppm/K", imperial="1/degF")


def heat_flux(cat):
    d = cat.dimension("Heat Flux", "W/m2", "watt per square metre", signature="M T-3")
    d.unit("kW/m2", "kilowatt per square metre", 1000)
    d.unit("mW/m2", "milliwatt per square metre", E("0.001"))
    d.unit("W/cm2", "watt per square centimetre", 10000)
    d.unit("Btu/(h.ft2)", "Btu per hour square foot", BTU / (H * FT2))
    d.unit("kcal/(h.m2)", "kilocalorie per hour square metre", CAL * 1000 / H)
    d.measurement("Heat Flux", "W/m2 kW/m2 W/cm2 Btu/(h.ft2) kcal/(h.m2)",
                  imperial="Btu/(h.ft2)")
    d.measurement("Irradiance", "W/m2 kW/m2 mW/m2 Btu/(h.ft2)", imperial="Btu/(h.ft2)")
    d.measurement("Geothermal Heat Flow", "mW/m2 W/m2", metric="mW/m2", si="mW/m2")


def thermal_conductivity(cat):
    d = cat.dimension("Thermal Conductivity", "W/(m.K)", "watt per metre kelvin",
                      aliases=["W/(m.degC)"], signature="L M T-3 Θ-1")
    d.unit("mW/(m.K)", "milliwatt per metre kelvin", E("0.001"))
    d.unit("Btu/(h.ft.degF)", "Btu per hour foot degree Fahrenheit", BTU / (H * FT * DEG_F))
    d.unit("Btu.in/(h.ft2.degF)", "Btu inch per hour square foot degree Fahrenheit",
           BTU * IN / (H * FT2 * DEG_F))
    d.unit("kcal/(h.m.K)", "kilocalorie per hour metre kelvin", CAL * 1000 / H,
           aliases=["kcal/(h.m.degC)"])
    d.unit("cal/(s.cm.K)", "calorie per second centimetre kelvin", CAL * 100,
           aliases=["cal/(s.cm.degC)"])
    d.measurement("Thermal Conductivity",
                  "W/(m.K) mW/(m.K) Btu/(h.ft.degF) kcal/(h.m.K) cal/(s.cm.K)",
                  imperial="Btu/(h.ft.degF)")
    d.measurement("Insulation Conductivity", "mW/(m.K) W/(m.K) Btu.in/(h.ft2.degF)",
                  metric="mW/(m.K)", imperial="Btu.in/(h.ft2.degF)")


def heat_transfer_coefficient(cat):
    d = cat.dimension("Heat Transfer Coefficient", "W/(m2.K)", "watt per square metre kelvin",
                      aliases=["W/(m2.degC)"], signature="M T-3 Θ-1")
    d.unit("kW/(m2.K)", "kilowatt per square metre kelvin", 1000)
    d.unit("Btu/(h.ft2.degF)", "Btu per hour square foot degree Fahrenheit",
           BTU / (H * FT2 * DEG_F))
    d.unit("kcal/(h.m2.K)", "kilocalorie per hour square metre kelvin", CAL * 1000 / H,
           aliases=["kcal/(h.m2.degC)"])
    d.unit("cal/(s.cm2.K)", "calorie per second square centimetre kelvin", CAL * 10000)
    every = "W/(m2.K) kW/(m2.K) Btu/(h.ft2.degF) kcal/(h.m2.K) cal/(s.cm2.K)"
    d.measurement("Heat Transfer Coefficient", every, imperial="Btu/(h.ft2.degF)")
    d.measurement("Thermal Transmittance", "W/(m2.K) Btu/(h.ft2.degF)",
                  imperial="Btu/(h.ft2.degF)")


def thermal_insulance(cat):
    d = cat.dimension("Thermal Insulance", "m2.K/W", "square metre kelvin per watt",
                      aliases=["RSI"], signature="M-1 T3 Θ")
    d.unit("m2.K/kW", "square metre kelvin per kilowatt", E("0.001"))
    d.unit("ft2.h.degF/Btu", "square foot hour degree Fahrenheit per Btu",
           FT2 * H * DEG_F / BTU)
    d.unit("clo", "clo", E("0.155"))
    d.unit("tog", "tog", E("0.1"))
    d.measurement("Thermal Insulance", "m2.K/W m2.K/kW ft2.h.degF/Btu clo tog",
                  imperial="ft2.h.degF/Btu")
    d.measurement("Thermal Resistance Value", "m2.K/W ft2.h.degF/Btu",
                  imperial="ft2.h.degF/Btu")
    d.measurement("Clothing Insulation", "clo tog m2.K/W", metric="clo", imperial="clo")


def heat_capacity(cat):
    d = cat.dimension("Heat Capacity", "J/K", "joule per kelvin", aliases=["J/degC"],
                      signature="L2 M T-2 Θ-1")
    d.unit("kJ/K", "kilojoule per kelvin", 1000, aliases=["kJ/degC"])
    d.unit("Btu/degF", "Btu per degree Fahrenheit", BTU / DEG_F, aliases=["Btu/degR"])
    d.unit("cal/K", "calorie per kelvin", CAL, aliases=["cal/degC"])
    d.measurement("Heat Capacity", "J/K kJ/K Btu/degF cal/K", metric="kJ/K", imperial="Btu/degF")
    d.measurement("Entropy", "J/K kJ/K Btu/degF", imperial="Btu/degF")


def specific_heat_capacity(cat):
    d = cat.dimension("Specific Heat Capacity", "J/(kg.K)", "joule per kilogram kelvin",
                      aliases=["J/(kg.degC)"], signature="L2 T-2 Θ-1")
    d.unit("kJ/(kg.K)", "kilojoule per kilogram kelvin", 1000,
           aliases=["J/(g.K)", "kJ/(kg.degC)"])
    d.unit("Btu/(lbm.degF)", "Btu per pound degree Fahrenheit", BTU / (LB * DEG_F),
           aliases=["Btu/(lbm.degR)"])
    d.unit("cal/(g.K)", "calorie per gram kelvin", CAL * 1000,
           aliases=["cal/(g.degC)", "kcal/(kg.K)"])
    every = "kJ/(kg.K) J/(kg.K) Btu/(lbm.degF) cal/(g.K)"
    d.measurement("Specific Heat Capacity", every, metric="kJ/(kg.K)", imperial="Btu/(lbm.degF)")
    d.measurement("Specific Entropy", every, metric="kJ/(kg.K)", imperial="Btu/(lbm.degF)")
    d.measurement("Specific Gas Constant", "J/(kg.K) kJ/(kg.K) Btu/(lbm.degF)",
                  imperial="Btu/(lbm.degF)")


def specific_energy(cat):
    d = cat.dimension("Specific Energy", "J/kg", "joule per kilogram",
                      signature="L2 T-2", preferred=True)
    d.unit("kJ/kg", "kilojoule per kilogram", 1000)
    d.unit("MJ/kg", "megajoule per kilogram", 1000000, aliases=["GJ/t"])
    d.unit("Btu/lbm", "Btu per pound", BTU / LB)
    d.unit("cal/g", "calorie per gram", CAL * 1000, aliases=["kcal/kg"])
    d.unit("kWh/kg", "kilowatt hour per kilogram", 3600000)
    d.unit("kWh/t", "kilowatt hour per tonne", 3600)
    d.measurement("Specific Energy", "J/kg kJ/kg MJ/kg Btu/lbm kWh/kg", imperial="Btu/lbm")
    d.measurement("Specific Enthalpy", "kJ/kg J/kg Btu/lbm cal/g", metric="kJ/kg",
                  imperial="Btu/lbm")
    d.measurement("Latent Heat", "kJ/kg J/kg Btu/lbm cal/g", metric="kJ/kg", imperial="Btu/lbm")
    d.measurement("Heating Value", "MJ/kg kJ/kg Btu/lbm kWh/kg", metric="MJ/kg", si="MJ/kg",
                  imperial="Btu/lbm")
    d.measurement("Specific Energy Consumption", "kWh/t kWh/kg MJ/kg kJ/kg", metric="kWh/t", si="kJ/kg",
                  imperial="kWh/t")


def energy_density(cat):
    d = cat.dimension("Energy Density", "J/m3", "joule per cubic metre", signature="L-1 M T-2")
    d.unit("kJ/m3", "kilojoule per cubic metre", 1000)
    d.unit("MJ/m3", "megajoule per cubic metre", 1000000, aliases=["kJ/L"])
    d.unit("GJ/m3", "gigajoule per cubic metre", 1000000000, aliases=["MJ/L"])
    d.unit("kWh/m3", "kilowatt hour per cubic metre", 3600000)
    d.unit("Btu/ft3", "Btu per cubic foot", BTU / FT3)
    d.unit("Btu/galUS", "Btu per U.S. gallon", BTU / GAL_US)
    d.unit("kcal/m3", "kilocalorie per cubic metre", CAL * 1000)
    d.measurement("Energy Density", "J/m3 kJ/m3 MJ/m3 GJ/m3 Btu/ft3 Btu/galUS", imperial="Btu/ft3")
    d.measurement("Volumetric Heating Value", "MJ/m3 kJ/m3 kcal/m3 Btu/ft3 Btu/galUS",
                  metric="MJ/m3", si="MJ/m3", imperial="Btu/ft3")
    d.measurement("Volumetric Energy Consumption", "kWh/m3 MJ/m3", metric="kWh/m3", si="MJ/m3",
                  imperial="kWh/m3")
