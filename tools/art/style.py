"""The one palette every picture of the game is painted from: a lantern-lit
warehouse of slate brick, sandstone floors, oak crates with iron fittings and
teal target marks."""

SAND = (206, 178, 132)
SAND_LIGHT = (232, 210, 168)
SAND_DARK = (140, 112, 78)
GROUT = (112, 90, 64)
SLATE = (74, 82, 98)
SLATE_LIGHT = (118, 128, 146)
SLATE_DARK = (44, 49, 60)
MORTAR = (30, 33, 41)
WOOD = (176, 116, 60)
WOOD_LIGHT = (214, 156, 92)
WOOD_DARK = (104, 62, 30)
WOOD_EDGE = (52, 30, 14)
IRON = (66, 70, 80)
IRON_LIGHT = (150, 156, 168)
TEAL = (44, 170, 166)
TEAL_DARK = (20, 92, 96)
TEAL_GLOW = (130, 240, 226)
LANTERN = (255, 200, 112)
CREAM = (240, 232, 214)
INK = (26, 28, 34)
