"""Exact factors that the definitions are built from (SI Brochure, 9th edition; NIST SP 811)."""

from .exact import E, PI as PI_TEXT

PI = E(PI_TEXT)
PI_SQUARED = E("9.86960440108935861883449099988")  # pi^2 to 30 significant digits

# Length
IN = E("0.0254")  # international inch
FT = E("0.3048")  # international foot
YD = E("0.9144")
MI = E("1609.344")  # international (statute) mile
FT_US = E(1200, 3937)  # U.S. survey foot

# Mass and force
LB = E("0.45359237")  # avoirdupois pound
GN = E("9.80665")  # standard acceleration of gravity
LBF = LB * GN  # 4.4482216152605 N
KGF = GN

# Volume
GAL_US = E("0.003785411784")  # 231 in^3
GAL_UK = E("0.00454609")
BBL = GAL_US * 42  # petroleum barrel
FT3 = FT**3
FT2 = FT**2
IN2 = IN**2

# Time
MIN = E(60)
H = E(3600)
DAY = E(86400)
YEAR = E(31557600)  # Julian year, 365.25 d

# Pressure and energy
ATM = E(101325)
BAR = E(100000)
PSI = LBF / IN2
BTU = E("1055.05585262")  # International Table Btu
CAL = E("4.184")  # thermochemical calorie
CAL_IT = E("4.1868")  # International Table calorie
FT_LBF = FT * LBF
HP = FT_LBF * 550  # mechanical horsepower

# Temperature difference: one degree Fahrenheit (or Rankine) is 5/9 K.
DEG_F = E(5, 9)
