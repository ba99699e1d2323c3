"""Force, pressure, energy, power and the properties of fluids and solids."""

from .base_units import (ATM, BAR, BBL, BTU, CAL, CAL_IT, DAY, FT, FT2, FT3, FT_LBF, GAL_UK, GAL_US,
                         GN, H, HP, IN, IN2, KGF, LB, LBF, PSI)
from .exact import E


def add(cat):
    force(cat)
    pressure(cat)
    energy(cat)
    power(cat)
    torque(cat)
    density(cat)
    dynamic_viscosity(cat)
    kinematic_viscosity(cat)
    force_per_length(cat)
    pressure_gradient(cat)
    compressibility(cat)
    specific_volume(cat)


def force(cat):
    d = cat.dimension("Force", "N", "newton", aliases=["newton"], signature="L M T-2")
    d.prefixed("N", "newton", 1, "k M m da")
    d.unit("dyn", "dyne", E("0.00001"), aliases=["dyne"])
    d.unit("kgf", "kilogram-force", KGF, aliases=["kp"])
    d.unit("gf", "gram-force", KGF / 1000)
    d.unit("tf", "tonne-force", KGF * 1000)
    d.unit("lbf", "pound-force", LBF)
    d.unit("klbf", "kilopound-force", LBF * 1000, aliases=["kip"])
    d.unit("ozf", "ounce-force", LBF / 16)
    d.unit("pdl", "poundal", LB * FT, aliases=["poundal"])
    d.unit("tonfUS", "short ton-force", LBF * 2000, aliases=["tonf"])
    d.takes_prefixes("N")
    d.measurement("Force", "N kN mN daN kgf lbf klbf dyn", imperial="lbf")
    d.measurement("Load", "kN N MN tf lbf klbf tonfUS", metric="kN", imperial="lbf")
    d.measurement("Hook Load", "kN daN tf klbf lbf", metric="kN", si="kN", imperial="klbf")
    d.measurement("Weight on Bit", "kN daN tf klbf lbf", metric="kN", si="kN", imperial="klbf")
    d.measurement("Tension", "kN N lbf klbf", metric="kN", imperial="lbf")
    d.measurement("Thrust", "kN N MN lbf klbf", metric="kN", imperial="lbf")
    d.measurement("Small Force", "mN N gf ozf dyn", metric="mN", si="mN", imperial="ozf")


def pressure(cat):
    d = cat.dimension("Pressure", "Pa", "pascal", aliases=["pascal", "N/m2"],
                      signature="L-1 M T-2", preferred=True)
    d.prefixed("Pa", "pascal", 1, "h k M G")
    d.alias("kPa", "kN/m2", "kilonewton per square metre")
    d.alias("MPa", "N/mm2", "newton per square millimetre")
    d.unit("bar", "bar", BAR)
    d.prefixed("bar", "bar", BAR, "m")
    d.unit("atm", "standard atmosphere", ATM)
    d.unit("at", "technical atmosphere", KGF * 10000, aliases=["kgf/cm2"])
    d.unit("torr", "torr", ATM / 760, aliases=["Torr"])
    # Conventional mercury and water columns: 13.5951 g/cm^3 and 1 g/cm^3 under standard gravity.
    d.unit("mmHg", "millimetre of mercury", GN * E("13.5951"))
    d.unit("inHg", "inch of mercury", GN * E("13.5951") * E("25.4"))
    d.unit("mmH2O", "millimetre of water", GN)
    d.unit("cmH2O", "centimetre of water", GN * 10)
    d.unit("inH2O", "inch of water", GN * E("25.4"))
    d.unit("ftH2O", "foot of water", GN * E("304.8"))
    d.unit("psi", "pound-force per square inch", PSI, aliases=["psia", "lbf/in2"])
    d.unit("ksi", "kilopound-force per square inch", PSI * 1000)
    d.unit("lbf/ft2", "pound-force per square foot", LBF / FT2, aliases=["psf"])
    d.unit("lbf/100ft2", "pound-force per hundred square feet", LBF / (FT2 * 100))
    d.unit("dyn/cm2", "dyne per square centimetre", E("0.1"), aliases=["barye"])
    # Gauge pressures read relative to one standard atmosphere: base = 101325 Pa + x units.
    d.unit_abcd("psig", "pound-force per square inch gauge", A=str((ATM * IN2).value()),
                B=str(LBF.value()), C=str(IN2.value()))
    d.unit_abcd("barg", "bar gauge", A="101325", B="100000")
    d.unit_abcd("kPag", "kilopascal gauge", A="101325", B="1000")
    d.takes_prefixes("Pa", "bar")
    d.measurement("Pressure", "kPa Pa MPa bar mbar psi atm", metric="kPa", imperial="psi")
    d.measurement("Absolute Pressure", "bar kPa MPa Pa atm psi", metric="bar", imperial="psi")
    d.measurement("Gauge Pressure", "barg kPag psig", metric="barg", si="kPag", imperial="psig")
    d.measurement("Reservoir Pressure", "bar kPa MPa psi", metric="bar", si="MPa", imperial="psi")
    d.measurement("Differential Pressure", "kPa bar mbar Pa psi inH2O", metric="kPa",
                  imperial="psi")
    d.measurement("Atmospheric Pressure", "hPa mbar kPa Pa atm inHg mmHg psi", metric="hPa",
                  imperial="inHg")
    d.measurement("Vacuum", "mbar Pa kPa torr mmHg inHg", metric="mbar", imperial="inHg")
    d.measurement("Draft Pressure", "Pa mmH2O inH2O cmH2O", metric="Pa", imperial="inH2O")
    d.measurement("Blood Pressure", "mmHg kPa Pa", metric="mmHg", si="kPa")
    d.measurement("Stress", "MPa kPa Pa GPa psi ksi", metric="MPa", imperial="psi")
    d.measurement("Elastic Modulus", "GPa MPa psi ksi", metric="GPa", si="GPa", imperial="ksi")
    d.measurement("Yield Point", "Pa lbf/100ft2 dyn/cm2", imperial="lbf/100ft2")
    d.measurement("Gel Strength", "Pa lbf/100ft2", imperial="lbf/100ft2")
    d.measurement("Wind Load", "kPa Pa lbf/ft2", metric="kPa", imperial="lbf/ft2")
    d.measurement("Hydraulic Head Pressure", "kPa mmH2O ftH2O at psi", metric="kPa", si="kPa",
                  imperial="ftH2O")


def energy(cat):
    d = cat.dimension("Energy", "J", "joule", aliases=["joule", "W.s"],
                      signature="L2 M T-2", preferred=True)
    d.prefixed("J", "joule", 1, "k M G T m")
    d.unit("Wh", "watt hour", H)
    d.prefixed("Wh", "watt hour", H, "k M G T")
    d.unit("eV", "electronvolt", E("1.602176634e-19"), aliases=["electronvolt"])
    d.prefixed("eV", "electronvolt", E("1.602176634e-19"), "k M G")
    d.unit("cal", "calorie (thermochemical)", CAL, aliases=["calth"])
    d.unit("kcal", "kilocalorie (thermochemical)", CAL * 1000, aliases=[("Cal", "food calorie")])
    d.unit("calIT", "calorie (International Table)", CAL_IT)
    d.unit("kcalIT", "kilocalorie (International Table)", CAL_IT * 1000)
    d.unit("Btu", "British thermal unit (International Table)", BTU, aliases=["BTU", "btu"])
    d.unit("kBtu", "thousand British thermal units", BTU * 1000, aliases=["MBtu"])
    d.unit("MMBtu", "million British thermal units", BTU * 1000000, aliases=["MMBTU"])
    d.unit("therm", "therm (U.S.)", E(105480400), aliases=["thm"])
    d.unit("quad", "quad (10^15 Btu)", BTU * E("1e15"))
    d.unit("ft.lbf", "foot pound-force", FT_LBF, aliases=["ft-lbf"])
    d.unit("erg", "erg", E("0.0000001"))
    d.unit("hp.h", "horsepower hour", HP * H)
    d.unit("toe", "tonne of oil equivalent", CAL_IT * E("1e10"))
    d.unit("tce", "tonne of coal equivalent", CAL_IT * E("7e9"))
    d.unit("boe", "barrel of oil equivalent", BTU * 5800000)
    d.takes_prefixes("J", "Wh", "eV", "cal")
    general = "J kJ MJ GJ kWh Btu MMBtu cal kcal ft.lbf"
    d.measurement("Energy", general, metric="kJ", imperial="Btu")
    d.measurement("Heat", "kJ J MJ kcal Btu kBtu MMBtu therm", metric="kJ", imperial="Btu")
    d.measurement("Work", "J kJ ft.lbf Wh hp.h", imperial="ft.lbf")
    d.measurement("Electrical Energy", "kWh Wh MWh GWh TWh MJ GJ", metric="kWh", si="MJ",
                  imperial="kWh")
    d.measurement("Fuel Energy", "GJ MJ TJ MMBtu therm toe tce boe quad", metric="GJ", si="GJ",
                  imperial="MMBtu")
    d.measurement("Particle Energy", "eV keV MeV GeV J", metric="eV", si="J")
    d.measurement("Food Energy", "kcal kJ", metric="kcal", si="kJ")
    d.measurement("Small Energy", "mJ J erg calIT cal", metric="mJ", si="mJ", imperial="erg")
    d.measurement("Heat Content", "kJ MJ kcalIT Btu kBtu", metric="kJ", si="kJ", imperial="Btu")


def power(cat):
    d = cat.dimension("Power", "W", "watt", aliases=["watt", "J/s"], signature="L2 M T-3")
    d.prefixed("W", "watt", 1, "k M G T m u")
    d.unit("hp", "horsepower (mechanical)", HP, aliases=["bhp"])
    d.unit("hpM", "metric horsepower", KGF * 75, aliases=["PS", "CV"])
    d.unit("hpE", "electrical horsepower", 746)
    d.unit("Btu/h", "Btu per hour", BTU / H, aliases=["Btuh"])
    d.unit("kBtu/h", "thousand Btu per hour", BTU * 1000 / H, aliases=["MBH"])
    d.unit("MMBtu/h", "million Btu per hour", BTU * 1000000 / H)
    d.unit("TR", "ton of refrigeration (12000 Btu/h)", BTU * 12000 / H, aliases=["tonref"])
    d.unit("ft.lbf/s", "foot pound-force per second", FT_LBF)
    d.unit("kcal/h", "kilocalorie per hour", CAL * 1000 / H)
    d.unit("erg/s", "erg per second", E("0.0000001"))
    d.alias("uW", "µW", "microwatt")
    d.takes_prefixes("W")
    d.measurement("Power", "kW W MW hp hpM Btu/h", metric="kW", imperial="hp")
    d.measurement("Electrical Power", "kW W MW GW mW", metric="kW", imperial="kW")
    d.measurement("Power Plant Output", "MW GW kW", metric="MW", si="MW", imperial="MW")
    d.measurement("Engine Power", "kW hp hpM W", metric="kW", imperial="hp")
    d.measurement("Pump Power", "kW hp W", metric="kW", imperial="hp")
    d.measurement("Heat Duty", "kW MW W Btu/h kBtu/h MMBtu/h kcal/h", metric="kW",
                  imperial="MMBtu/h")
    d.measurement("Cooling Capacity", "kW TR Btu/h kBtu/h", metric="kW", si="kW", imperial="TR")
    d.measurement("Signal Power", "mW uW W", metric="mW", si="mW")


def torque(cat):
    d = cat.dimension("Torque", "N.m", "newton metre", aliases=["Nm"], signature="L2 M T-2")
    d.prefixed("N.m", "newton metre", 1, "k m da")
    d.unit("lbf.ft", "pound-force foot", LBF * FT)
    d.unit("lbf.in", "pound-force inch", LBF * IN)
    d.unit("klbf.ft", "kilopound-force foot", LBF * FT * 1000, aliases=["kip.ft"])
    d.unit("kgf.m", "kilogram-force metre", KGF)
    d.unit("ozf.in", "ounce-force inch", LBF / 16 * IN)
    d.unit("dyn.cm", "dyne centimetre", E("0.0000001"))
    d.measurement("Torque", "N.m kN.m daN.m kgf.m lbf.ft lbf.in", imperial="lbf.ft")
    d.measurement("Bending Moment", "kN.m N.m lbf.ft klbf.ft", metric="kN.m", imperial="klbf.ft")
    d.measurement("Make-up Torque", "kN.m N.m daN.m lbf.ft klbf.ft", metric="kN.m",
                  imperial="lbf.ft")
    d.measurement("Tightening Torque", "N.m mN.m lbf.in lbf.ft ozf.in", imperial="lbf.in")


def density(cat):
    d = cat.dimension("Density", "kg/m3", "kilogram per cubic metre",
                      aliases=["g/L", "g/dm3", "mg/cm3"], signature="L-3 M")
    d.unit("g/cm3", "gram per cubic centimetre", 1000,
           aliases=["g/cc", "g/mL", "kg/L", "kg/dm3", "t/m3"])
    d.unit("mg/L", "milligram per litre", E("0.001"), aliases=["g/m3"])
    d.unit("mg/m3", "milligram per cubic metre", E("0.000001"))
    d.unit("ug/m3", "microgram per cubic metre", E("0.000000001"))
    d.unit("lbm/ft3", "pound per cubic foot", LB / FT3, aliases=["pcf"])
    d.unit("lbm/in3", "pound per cubic inch", LB / IN**3)
    d.unit("lbm/galUS", "pound per U.S. gallon", LB / GAL_US, aliases=["ppg"])
    d.unit("lbm/galUK", "pound per imperial gallon", LB / GAL_UK)
    d.unit("lbm/bbl", "pound per barrel", LB / BBL)
    d.unit("slug/ft3", "slug per cubic foot", LBF / FT / FT3)
    d.measurement("Density", "kg/m3 g/cm3 lbm/ft3 lbm/galUS", imperial="lbm/ft3")
    d.measurement("Fluid Density", "kg/m3 g/cm3 lbm/ft3 lbm/galUS lbm/galUK", metric="g/cm3",
                  imperial="lbm/ft3")
    d.measurement("Gas Density", "kg/m3 g/cm3 lbm/ft3", imperial="lbm/ft3")
    d.measurement("Mud Weight", "g/cm3 kg/m3 lbm/galUS lbm/ft3", metric="g/cm3",
                  imperial="lbm/galUS")
    d.measurement("Bulk Density", "g/cm3 kg/m3 lbm/ft3", metric="g/cm3", imperial="lbm/ft3")
    d.measurement("Mass Concentration", "mg/L kg/m3 g/cm3 lbm/galUS lbm/bbl", metric="mg/L",
                  imperial="lbm/galUS")
    d.measurement("Solids Content", "kg/m3 lbm/bbl", imperial="lbm/bbl")
    d.measurement("Air Pollutant Concentration", "ug/m3 mg/m3", metric="ug/m3", si="ug/m3")


def dynamic_viscosity(cat):
    d = cat.dimension("Dynamic Viscosity", "Pa.s", "pascal second",
                      aliases=["N.s/m2", "kg/(m.s)"], signature="L-1 M T-1")
    d.unit("cP", "centipoise", E("0.001"), aliases=["cp", "mPa.s"])
    d.unit("P", "poise", E("0.1"), aliases=["poise"])
    d.unit("uPa.s", "micropascal second", E("0.000001"))
    d.unit("lbf.s/ft2", "pound-force second per square foot", LBF / FT2)
    d.unit("lbf.s/in2", "pound-force second per square inch", PSI, aliases=["reyn"])
    d.unit("lbm/(ft.s)", "pound per foot second", LB / FT)
    d.unit("lbm/(ft.h)", "pound per foot hour", LB / FT / H)
    d.unit("kgf.s/m2", "kilogram-force second per square metre", KGF)
    general = "cP Pa.s P lbf.s/ft2 lbm/(ft.s) lbm/(ft.h)"
    d.measurement("Dynamic Viscosity", general, metric="cP", imperial="cP")
    d.measurement("Oil Viscosity", "cP Pa.s P", metric="cP", imperial="cP")
    d.measurement("Gas Viscosity", "cP uPa.s Pa.s", metric="cP", si="uPa.s", imperial="cP")
    d.measurement("Plastic Viscosity", "cP Pa.s lbf.s/ft2", metric="cP", imperial="cP")


def kinematic_viscosity(cat):
    d = cat.dimension("Kinematic Viscosity", "m2/s", "square metre per second", signature="L2 T-1")
    d.unit("St", "stokes", E("0.0001"), aliases=["cm2/s", "stokes"])
    d.unit("cSt", "centistokes", E("0.000001"), aliases=["mm2/s", "centistokes"])
    d.unit("m2/h", "square metre per hour", E(1) / H)
    d.unit("m2/d", "square metre per day", E(1) / DAY)
    d.unit("ft2/s", "square foot per second", FT2)
    d.unit("ft2/h", "square foot per hour", FT2 / H)
    d.unit("ft2/d", "square foot per day", FT2 / DAY)
    d.unit("in2/s", "square inch per second", IN2)
    d.measurement("Kinematic Viscosity", "cSt m2/s St ft2/s in2/s", metric="cSt",
                  imperial="cSt")
    d.measurement("Thermal Diffusivity", "m2/s m2/h ft2/h ft2/s", imperial="ft2/h")
    d.measurement("Diffusion Coefficient", "m2/s St cSt ft2/s", imperial="ft2/s")
    d.measurement("Hydraulic Diffusivity", "m2/d m2/s ft2/d", metric="m2/d", imperial="ft2/d")


def force_per_length(cat):
    d = cat.dimension("Force per Length", "N/m", "newton per metre", signature="M T-2")
    d.unit("mN/m", "millinewton per metre", E("0.001"), aliases=["dyn/cm"])
    d.unit("kN/m", "kilonewton per metre", 1000)
    d.unit("lbf/in", "pound-force per inch", LBF / IN)
    d.unit("lbf/ft", "pound-force per foot", LBF / FT)
    d.unit("kgf/m", "kilogram-force per metre", KGF)
    d.measurement("Force per Length", "N/m kN/m mN/m lbf/in lbf/ft", imperial="lbf/ft")
    d.measurement("Surface Tension", "mN/m N/m lbf/in", metric="mN/m", imperial="mN/m")
    d.measurement("Interfacial Tension", "mN/m N/m", metric="mN/m")
    d.measurement("Spring Rate", "kN/m N/m lbf/in", metric="kN/m", imperial="lbf/in")
    d.measurement("Line Load", "kN/m N/m kgf/m lbf/ft", metric="kN/m", imperial="lbf/ft")


def pressure_gradient(cat):
    d = cat.dimension("Pressure Gradient", "Pa/m", "pascal per metre", signature="L-2 M T-2")
    d.unit("kPa/m", "kilopascal per metre", 1000, aliases=["MPa/km"])
    d.unit("bar/m", "bar per metre", BAR)
    d.unit("kPa/100m", "kilopascal per hundred metres", 10)
    d.unit("psi/ft", "psi per foot", PSI / FT)
    d.unit("psi/100ft", "psi per hundred feet", PSI / (FT * 100))
    d.measurement("Pressure Gradient", "kPa/m Pa/m bar/m psi/ft", metric="kPa/m",
                  imperial="psi/ft")
    d.measurement("Fracture Gradient", "kPa/m bar/m psi/ft", metric="kPa/m", si="kPa/m", imperial="psi/ft")
    d.measurement("Pore Pressure Gradient", "kPa/m bar/m psi/ft", metric="kPa/m", si="kPa/m",
                  imperial="psi/ft")
    d.measurement("Friction Loss Gradient", "kPa/100m Pa/m kPa/m psi/100ft psi/ft",
                  metric="kPa/100m", imperial="psi/100ft")


def compressibility(cat):
    d = cat.dimension("Compressibility", "1/Pa", "per pascal", signature="L M-1 T2")
    d.unit("1/kPa", "per kilopascal", E("0.001"))
    d.unit("1/MPa", "per megapascal", E("0.000001"))
    d.unit("1/GPa", "per gigapascal", E("0.000000001"))
    d.unit("1/bar", "per bar", E("0.00001"))
    d.unit("1/psi", "per psi", E(1) / PSI)
    d.measurement("Compressibility", "1/kPa 1/Pa 1/MPa 1/bar 1/psi", metric="1/kPa",
                  imperial="1/psi")
    d.measurement("Rock Compressibility", "1/GPa 1/MPa 1/bar 1/psi", metric="1/MPa",
                  si="1/GPa", imperial="1/psi")
    d.measurement("Fluid Compressibility", "1/MPa 1/kPa 1/bar 1/psi", metric="1/bar",
                  si="1/MPa", imperial="1/psi")


def specific_volume(cat):
    d = cat.dimension("Specific Volume", "m3/kg", "cubic metre per kilogram", signature="L3 M-1")
    d.unit("L/kg", "litre per kilogram", E("0.001"), aliases=["dm3/kg", "cm3/g"])
    d.unit("ft3/lbm", "cubic foot per pound", FT3 / LB)
    d.unit("galUS/lbm", "U.S. gallon per pound", GAL_US / LB)
    d.measurement("Specific Volume", "m3/kg L/kg ft3/lbm galUS/lbm", imperial="ft3/lbm")

