"""Oil, gas and process engineering: flows, standard volumes, fluid properties, chemistry."""

from .base_units import (BAR, BBL, BTU, CAL, DAY, FT, FT2, FT3, GAL_UK, GAL_US, H, LB, MI, MIN, PI,
                         PSI, YEAR)
from .exact import E


def add(cat):
    relative_density(cat)
    volume_flow_rate(cat)
    mass_flow_rate(cat)
    standard_volume(cat)
    standard_volume_flow_rate(cat)
    gas_oil_ratio(cat)
    productivity_index(cat)
    volume_per_length(cat)
    mass_flux(cat)
    angle_per_length(cat)
    amount_of_substance(cat)
    molar_mass(cat)
    molar_concentration(cat)
    molar_volume(cat)
    molar_energy(cat)
    molar_flow_rate(cat)


def relative_density(cat):
    d = cat.dimension("Relative Density", "SG", "specific gravity (relative to water)",
                      aliases=["sg"], signature="")
    # API gravity: SG = 141.5 / (131.5 + API). Heavy-liquid Baume: SG = 145 / (145 - x).
    d.unit_abcd("API", "degree API", A="141.5", B="0", C="131.5", D="1",
                aliases=["degAPI"])
    d.unit_abcd("degBe", "degree Baume (heavier than water)", A="145", B="0", C="145",
                D="-1", aliases=["Baume"])
    d.measurement("Relative Density", "SG API degBe")
    d.measurement("Specific Gravity", "SG")
    d.measurement("API Gravity", "API SG", metric="API", si="SG", imperial="API")
    d.measurement("Gas Gravity", "SG")


def volume_flow_rate(cat):
    d = cat.dimension("Volume Flow Rate", "m3/s", "cubic metre per second", signature="L3 T-1")
    d.unit("m3/min", "cubic metre per minute", E(1) / MIN)
    d.unit("m3/h", "cubic metre per hour", E(1) / H)
    d.unit("m3/d", "cubic metre per day", E(1) / DAY)
    d.unit("L/s", "litre per second", E("0.001"))
    d.unit("L/min", "litre per minute", E("0.001") / MIN, aliases=["lpm"])
    d.unit("L/h", "litre per hour", E("0.001") / H)
    d.unit("mL/min", "millilitre per minute", E("0.000001") / MIN, aliases=["cm3/min"])
    d.unit("ft3/s", "cubic foot per second", FT3, aliases=["cfs"])
    d.unit("ft3/min", "cubic foot per minute", FT3 / MIN, aliases=["cfm"])
    d.unit("ft3/h", "cubic foot per hour", FT3 / H)
    d.unit("ft3/d", "cubic foot per day", FT3 / DAY)
    d.unit("galUS/min", "U.S. gallon per minute", GAL_US / MIN, aliases=["gpm"])
    d.unit("galUS/h", "U.S. gallon per hour", GAL_US / H, aliases=["gph"])
    d.unit("galUS/d", "U.S. gallon per day", GAL_US / DAY, aliases=["gpd"])
    d.unit("MGD", "million U.S. gallons per day", GAL_US * 1000000 / DAY)
    d.unit("galUK/min", "imperial gallon per minute", GAL_UK / MIN)
    d.unit("galUK/h", "imperial gallon per hour", GAL_UK / H)
    d.unit("galUK/d", "imperial gallon per day", GAL_UK / DAY)
    d.unit("bbl/d", "barrel per day", BBL / DAY, aliases=["bpd", "BPD"])
    d.unit("bbl/h", "barrel per hour", BBL / H)
    d.unit("bbl/min", "barrel per minute", BBL / MIN, aliases=["bpm"])
    d.unit("Mbbl/d", "thousand barrels per day", BBL * 1000 / DAY)
    d.measurement("Volume Flow Rate", "m3/h m3/s m3/min m3/d L/s L/min ft3/s ft3/min galUS/min "
                  "galUK/min bbl/d", metric="m3/h", imperial="galUK/min", us="galUS/min")
    d.measurement("Liquid Flow Rate", "L/min L/s m3/h galUK/min galUS/min", metric="L/min", si="L/s",
                  imperial="galUK/min", us="galUS/min")
    d.measurement("Oil Flow Rate", "m3/d m3/h bbl/d Mbbl/d bbl/h", metric="m3/d", si="m3/d",
                  imperial="bbl/d")
    d.measurement("Water Injection Rate", "m3/d m3/h bbl/d bbl/h", metric="m3/d", si="m3/d",
                  imperial="bbl/d")
    d.measurement("Pump Rate", "m3/min L/min bbl/min galUS/min", metric="m3/min", si="m3/min",
                  imperial="bbl/min")
    d.measurement("Air Flow Rate", "m3/h m3/s L/s ft3/min ft3/h", metric="m3/h",
                  imperial="ft3/min")
    d.measurement("River Discharge", "m3/s L/s ft3/s", imperial="ft3/s")
    d.measurement("Water Supply Rate", "m3/d m3/h MGD galUK/d galUS/d",
                  metric="m3/d", si="m3/d", imperial="galUK/d", us="MGD")
    d.measurement("Fuel Flow Rate", "L/h m3/h galUK/h galUS/h", metric="L/h", si="L/h",
                  imperial="galUK/h", us="galUS/h")
    d.measurement("Laboratory Flow Rate", "mL/min L/min L/h", metric="mL/min", si="mL/min")


def mass_flow_rate(cat):
    d = cat.dimension("Mass Flow Rate", "kg/s", "kilogram per second", signature="M T-1")
    d.unit("kg/min", "kilogram per minute", E(1) / MIN)
    d.unit("kg/h", "kilogram per hour", E(1) / H)
    d.unit("kg/d", "kilogram per day", E(1) / DAY)
    d.unit("g/s", "gram per second", E("0.001"))
    d.unit("g/min", "gram per minute", E("0.001") / MIN)
    d.unit("t/h", "tonne per hour", E(1000) / H)
    d.unit("t/d", "tonne per day", E(1000) / DAY)
    d.unit("t/yr", "tonne per year", E(1000) / YEAR, aliases=["tpa"])
    d.unit("lbm/s", "pound per second", LB)
    d.unit("lbm/min", "pound per minute", LB / MIN)
    d.unit("lbm/h", "pound per hour", LB / H, aliases=["pph"])
    d.unit("lbm/d", "pound per day", LB / DAY)
    d.unit("klbm/h", "thousand pounds per hour", LB * 1000 / H, aliases=["kpph"])
    d.unit("ston/h", "short ton per hour", LB * 2000 / H)
    d.unit("ston/d", "short ton per day", LB * 2000 / DAY)
    d.unit("lton/h", "long ton per hour", LB * 2240 / H)
    d.unit("lton/d", "long ton per day", LB * 2240 / DAY)
    d.measurement("Mass Flow Rate", "kg/s kg/h kg/min g/s t/h lbm/s lbm/h lbm/min", metric="kg/h",
                  imperial="lbm/h")
    d.measurement("Steam Flow Rate", "t/h kg/h kg/s klbm/h lbm/h", metric="t/h",
                  imperial="klbm/h")
    d.measurement("Production Mass Rate", "t/d t/h kg/d ston/d lton/d", metric="t/d", si="t/d",
                  imperial="lton/d", us="ston/d")
    d.measurement("Annual Production", "t/yr t/d kg/s lton/d ston/d", metric="t/yr", si="t/yr",
                  imperial="lton/d", us="ston/d")
    d.measurement("Emission Rate", "kg/h g/s kg/d lbm/h lbm/d", metric="kg/h", si="g/s", imperial="lbm/h")
    d.measurement("Conveyor Rate", "t/h kg/s ston/h lton/h", metric="t/h", imperial="lton/h",
                  us="ston/h")
    d.measurement("Dosing Rate", "g/min kg/h g/s lbm/d", metric="g/min", si="g/s",
                  imperial="lbm/d")


def standard_volume(cat):
    # Volumes of gas and oil at standard (reference) conditions. A standard cubic metre is not a
    # cubic metre of the fluid as it is, so these form a dimension of their own.
    d = cat.dimension("Standard Volume", "sm3", "standard cubic metre", aliases=["Sm3", "scm"],
                      signature="StdVol")
    d.unit("ksm3", "thousand standard cubic metres", 1000, aliases=["E3sm3"])
    d.unit("Msm3", "million standard cubic metres", 1000000, aliases=["E6sm3"])
    d.unit("Gsm3", "billion standard cubic metres", 1000000000, aliases=["E9sm3", "bcm"])
    d.unit("scf", "standard cubic foot", FT3, aliases=["SCF"])
    d.unit("Mscf", "thousand standard cubic feet", FT3 * 1000, aliases=["Mcf", "MSCF"])
    d.unit("MMscf", "million standard cubic feet", FT3 * 1000000, aliases=["MMcf", "MMSCF"])
    d.unit("Bscf", "billion standard cubic feet", FT3 * 1000000000, aliases=["Bcf"])
    d.unit("Tscf", "trillion standard cubic feet", FT3 * 1000000000000, aliases=["Tcf"])
    d.unit("stb", "stock tank barrel", BBL, aliases=["STB"])
    d.unit("Mstb", "thousand stock tank barrels", BBL * 1000)
    d.unit("MMstb", "million stock tank barrels", BBL * 1000000)
    d.measurement("Standard Volume", "sm3 ksm3 Msm3 scf Mscf MMscf stb", imperial="scf")
    d.measurement("Standard Gas Volume", "ksm3 sm3 Msm3 Mscf MMscf scf", metric="ksm3",
                  si="sm3", imperial="Mscf")
    d.measurement("Stock Tank Oil Volume", "sm3 ksm3 stb Mstb MMstb", imperial="stb")
    d.measurement("Gas Reserves", "Gsm3 Msm3 Bscf Tscf MMscf", metric="Gsm3", si="Gsm3",
                  imperial="Bscf")
    d.measurement("Oil Reserves", "Msm3 ksm3 MMstb Mstb", metric="Msm3", si="Msm3",
                  imperial="MMstb")


def standard_volume_flow_rate(cat):
    d = cat.dimension("Standard Volume Flow Rate", "sm3/s", "standard cubic metre per second",
                      signature="T-1 StdVol")
    d.unit("sm3/h", "standard cubic metre per hour", E(1) / H)
    d.unit("sm3/d", "standard cubic metre per day", E(1) / DAY)
    d.unit("ksm3/d", "thousand standard cubic metres per day", E(1000) / DAY)
    d.unit("Msm3/d", "million standard cubic metres per day", E(1000000) / DAY)
    d.unit("scf/min", "standard cubic foot per minute", FT3 / MIN, aliases=["scfm"])
    d.unit("scf/h", "standard cubic foot per hour", FT3 / H, aliases=["scfh"])
    d.unit("scf/d", "standard cubic foot per day", FT3 / DAY)
    d.unit("Mscf/d", "thousand standard cubic feet per day", FT3 * 1000 / DAY,
           aliases=["Mcf/d", "MSCFD"])
    d.unit("MMscf/d", "million standard cubic feet per day", FT3 * 1000000 / DAY,
           aliases=["MMcf/d", "MMSCFD"])
    d.unit("Bscf/d", "billion standard cubic feet per day", FT3 * 1000000000 / DAY)
    d.unit("stb/d", "stock tank barrel per day", BBL / DAY, aliases=["STB/d", "BOPD"])
    d.unit("Mstb/d", "thousand stock tank barrels per day", BBL * 1000 / DAY)
    d.measurement("Standard Volume Flow Rate", "sm3/d sm3/s sm3/h ksm3/d scf/d Mscf/d stb/d",
                  metric="sm3/d", imperial="scf/d")
    d.measurement("Gas Production Rate", "ksm3/d Msm3/d sm3/d Mscf/d MMscf/d Bscf/d",
                  metric="ksm3/d", si="ksm3/d", imperial="Mscf/d")
    d.measurement("Oil Production Rate", "sm3/d stb/d Mstb/d", metric="sm3/d", si="sm3/d", imperial="stb/d")
    d.measurement("Gas Injection Rate", "ksm3/d sm3/d Mscf/d MMscf/d", metric="ksm3/d", si="ksm3/d",
                  imperial="Mscf/d")
    d.measurement("Compressor Capacity", "sm3/h sm3/d scf/min MMscf/d", metric="sm3/h", si="sm3/h",
                  imperial="scf/min")


def gas_oil_ratio(cat):
    d = cat.dimension("Gas Oil Ratio", "sm3/sm3", "standard cubic metre per standard cubic metre",
                      signature="")
    d.unit("scf/stb", "standard cubic foot per stock tank barrel", FT3 / BBL,
           aliases=["scf/bbl"])
    d.unit("Mscf/stb", "thousand standard cubic feet per stock tank barrel", FT3 * 1000 / BBL)
    d.unit("ksm3/sm3", "thousand standard cubic metres per standard cubic metre", 1000)
    d.measurement("Gas Oil Ratio", "sm3/sm3 scf/stb Mscf/stb ksm3/sm3", imperial="scf/stb")
    d.measurement("Solution Gas Oil Ratio", "sm3/sm3 scf/stb", imperial="scf/stb")
    d.measurement("Gas Liquid Ratio", "sm3/sm3 scf/stb Mscf/stb", imperial="scf/stb")


def productivity_index(cat):
    d = cat.dimension("Productivity Index", "m3/(s.Pa)", "cubic metre per second pascal",
                      signature="L4 M-1 T")
    d.unit("m3/(d.bar)", "cubic metre per day bar", E(1) / (DAY * BAR))
    d.unit("m3/(d.kPa)", "cubic metre per day kilopascal", E(1) / (DAY * 1000))
    d.unit("L/(min.bar)", "litre per minute bar", E("0.001") / (MIN * BAR))
    d.unit("bbl/(d.psi)", "barrel per day psi", BBL / (DAY * PSI))
    d.measurement("Productivity Index", "m3/(d.bar) m3/(d.kPa) m3/(s.Pa) bbl/(d.psi)",
                  metric="m3/(d.bar)", imperial="bbl/(d.psi)")
    d.measurement("Injectivity Index", "m3/(d.bar) m3/(d.kPa) bbl/(d.psi)",
                  metric="m3/(d.bar)", si="m3/(d.kPa)", imperial="bbl/(d.psi)")
    d.measurement("Flow Coefficient", "L/(min.bar) m3/(d.bar) m3/(s.Pa)", metric="L/(min.bar)")


def volume_per_length(cat):
    # Volume per distance covers pipe and annulus capacity and fuel consumption. Fuel economy
    # units (distance per volume) are reciprocal: base = A / (D x).
    d = cat.dimension("Volume per Length", "m3/m", "cubic metre per metre", signature="L2")
    d.unit("L/m", "litre per metre", E("0.001"))
    d.unit("L/km", "litre per kilometre", E("0.000001"))
    d.unit("L/100km", "litre per hundred kilometres", E("0.00000001"))
    d.unit("galUS/mi", "U.S. gallon per mile", GAL_US / MI)
    d.unit("bbl/ft", "barrel per foot", BBL / FT)
    d.unit("galUS/ft", "U.S. gallon per foot", GAL_US / FT)
    d.unit("ft3/ft", "cubic foot per foot", FT2)
    d.unit_abcd("km/L", "kilometre per litre", A="0.001", B="0", C="0", D="1000")
    d.unit_abcd("mpg", "mile per U.S. gallon", A=str(GAL_US.value()), B="0", C="0",
                D=str(MI.value()), aliases=["mpgUS", "mi/galUS"])
    d.unit_abcd("mpgUK", "mile per imperial gallon", A=str(GAL_UK.value()), B="0", C="0",
                D=str(MI.value()), aliases=["mpgImp", "mi/galUK"])
    d.measurement("Volume per Length", "m3/m L/m bbl/ft galUS/ft ft3/ft", imperial="ft3/ft")
    d.measurement("Fuel Consumption", "L/100km L/km km/L mpg mpgUK galUS/mi m3/m",
                  metric="L/100km", si="m3/m", imperial="mpgUK", us="mpg")
    d.measurement("Fuel Economy", "km/L mpg mpgUK L/100km", metric="km/L", si="km/L",
                  imperial="mpgUK", us="mpg")
    d.measurement("Annular Capacity", "m3/m L/m bbl/ft galUS/ft", imperial="bbl/ft")
    d.measurement("Pipe Capacity", "L/m m3/m bbl/ft galUS/ft ft3/ft", metric="L/m", si="m3/m",
                  imperial="bbl/ft")


def mass_flux(cat):
    d = cat.dimension("Mass Flux", "kg/(m2.s)", "kilogram per square metre second",
                      signature="L-2 M T-1")
    d.unit("kg/(m2.h)", "kilogram per square metre hour", E(1) / H)
    d.unit("g/(m2.d)", "gram per square metre day", E("0.001") / DAY)
    d.unit("lbm/(ft2.s)", "pound per square foot second", LB / FT2)
    d.unit("lbm/(ft2.h)", "pound per square foot hour", LB / (FT2 * H))
    d.measurement("Mass Flux", "kg/(m2.s) kg/(m2.h) lbm/(ft2.s) lbm/(ft2.h)",
                  imperial="lbm/(ft2.h)")
    d.measurement("Vapour Transmission Rate", "g/(m2.d) kg/(m2.h)", metric="g/(m2.d)",
                  si="g/(m2.d)")


def angle_per_length(cat):
    d = cat.dimension("Angle per Length", "rad/m", "radian per metre", signature="L-1 Angle")
    d.unit("deg/m", "degree per metre", PI / 180)
    d.unit("deg/30m", "degree per thirty metres", PI / 5400)
    d.unit("deg/100ft", "degree per hundred feet", PI / (FT * 18000))
    d.unit("rad/ft", "radian per foot", E(1) / FT)
    d.measurement("Angle per Length", "rad/m deg/m rad/ft deg/100ft", metric="deg/m",
                  imperial="deg/100ft")
    for name in ["Dogleg Severity", "Build Rate", "Walk Rate"]:
        d.measurement(name, "deg/30m deg/100ft deg/m rad/m", metric="deg/30m", si="deg/30m",
                      imperial="deg/100ft")


def amount_of_substance(cat):
    d = cat.dimension("Amount of Substance", "mol", "mole", aliases=["mole"], signature="N")
    d.unit("kmol", "kilomole", 1000, aliases=["kgmol"])
    d.prefixed("mol", "mole", 1, "m u n")
    d.unit("lbmol", "pound-mole", LB * 1000)
    d.alias("umol", "µmol", "micromole")
    d.takes_prefixes("mol")
    d.measurement("Amount of Substance", "mol kmol mmol umol lbmol", metric="kmol",
                  imperial="lbmol")
    d.measurement("Laboratory Amount", "mmol umol nmol mol", metric="mmol", si="mmol")


def molar_mass(cat):
    d = cat.dimension("Molar Mass", "kg/mol", "kilogram per mole", signature="M N-1")
    d.unit("g/mol", "gram per mole", E("0.001"), aliases=["kg/kmol", "lbm/lbmol"])
    d.measurement("Molar Mass", "g/mol kg/mol", metric="g/mol", imperial="g/mol")
    d.measurement("Molecular Weight", "g/mol kg/mol", metric="g/mol", si="g/mol")


def molar_concentration(cat):
    d = cat.dimension("Molar Concentration", "mol/m3", "mole per cubic metre",
                      aliases=["mmol/L", "mM"], signature="L-3 N")
    d.unit("mol/L", "mole per litre", 1000, aliases=["M", "kmol/m3", "mol/dm3"])
    d.unit("umol/L", "micromole per litre", E("0.001"), aliases=["uM"])
    d.unit("nmol/L", "nanomole per litre", E("0.000001"), aliases=["nM"])
    d.unit("lbmol/ft3", "pound-mole per cubic foot", LB * 1000 / FT3)
    d.measurement("Molar Concentration", "mol/m3 mol/L umol/L nmol/L lbmol/ft3", metric="mol/L",
                  imperial="lbmol/ft3")
    d.measurement("Molarity", "mol/L mol/m3 umol/L", metric="mol/L")


def molar_volume(cat):
    d = cat.dimension("Molar Volume", "m3/mol", "cubic metre per mole", signature="L3 N-1")
    d.unit("L/mol", "litre per mole", E("0.001"), aliases=["dm3/mol", "m3/kmol"])
    d.unit("cm3/mol", "cubic centimetre per mole", E("0.000001"))
    d.unit("ft3/lbmol", "cubic foot per pound-mole", FT3 / (LB * 1000))
    d.measurement("Molar Volume", "m3/mol L/mol cm3/mol ft3/lbmol", metric="L/mol",
                  imperial="ft3/lbmol")


def molar_energy(cat):
    d = cat.dimension("Molar Energy", "J/mol", "joule per mole", signature="L2 M T-2 N-1")
    d.unit("kJ/mol", "kilojoule per mole", 1000, aliases=["J/mmol"])
    d.unit("kcal/mol", "kilocalorie per mole", CAL * 1000)
    d.unit("Btu/lbmol", "Btu per pound-mole", BTU / (LB * 1000))
    d.measurement("Molar Energy", "J/mol kJ/mol kcal/mol Btu/lbmol", metric="kJ/mol",
                  imperial="Btu/lbmol")
    d.measurement("Molar Enthalpy", "kJ/mol J/mol kcal/mol Btu/lbmol", metric="kJ/mol",
                  imperial="Btu/lbmol")


def molar_flow_rate(cat):
    d = cat.dimension("Molar Flow Rate", "mol/s", "mole per second",
                      signature="T-1 N", preferred=True)
    d.unit("mol/h", "mole per hour", E(1) / H)
    d.unit("kmol/s", "kilomole per second", 1000)
    d.unit("kmol/h", "kilomole per hour", E(1000) / H)
    d.unit("kmol/d", "kilomole per day", E(1000) / DAY)
    d.unit("lbmol/h", "pound-mole per hour", LB * 1000 / H)
    d.unit("lbmol/d", "pound-mole per day", LB * 1000 / DAY)
    d.measurement("Molar Flow Rate", "kmol/h mol/s kmol/s kmol/d mol/h lbmol/h lbmol/d",
                  metric="kmol/h", imperial="lbmol/h")
