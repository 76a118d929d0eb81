#pragma once
// The 30 chassis and engine set-up values every vehicle profile (POJAZDY)
// and every session header (NAGLOWKI) carries, in one table: the edit that
// shows a value (IntEdit1 .. IntEdit30), its caption, its column, the
// 16-bit word of the logger's session header record it comes from, and
// where the edit sits in the set-up windows.
#include <array>
#include <cstddef>
#include <string_view>

enum class SetupGroup { Chassis, Engine };

struct SetupColumn {
    int control;            // n of IntEditn
    const char* caption;
    const char* column;     // the same name in POJAZDY and NAGLOWKI
    int headerOffset;       // offset of the word in the session header record
    SetupGroup group;
    int row;                // 1 = top row of its group
    int col;                // 0 left, 1 middle, 2 right
};

inline constexpr std::size_t kSetupColumnCount = 30;

// In control order: kSetupColumns[i].control == i + 1.
inline constexpr std::array<SetupColumn, kSetupColumnCount> kSetupColumns = {{
    {1, "Track of wheels,front", "RAMA_RZOSTAW_KOL", 76, SetupGroup::Chassis, 1, 0},
    {2, "Slope front,back", "RAMA_POCHYLENIE_PRZOD_TYL", 78, SetupGroup::Chassis, 3, 0},
    {3, "Slope right,left", "RAMA_POCHYLENIE_PRAWO_LEWO", 80, SetupGroup::Chassis, 4, 0},
    {4, "Toe", "RAMA_ZBIEZNOSC", 82, SetupGroup::Chassis, 5, 0},
    {5, "Suspension height,front", "RAMA_WYS_ZAW_PRZOD", 84, SetupGroup::Chassis, 6, 0},
    {6, "Track of wheels,back", "RAMA_ROZSTAW_KOL_TYL", 86, SetupGroup::Chassis, 2, 0},
    {7, "Axis stiffness", "RAMA_SZTYWNOSC_OSI", 88, SetupGroup::Chassis, 1, 1},
    {8, "Axis stiffness,grip", "RAMA_SZTYW_MOC_OSI", 90, SetupGroup::Chassis, 2, 1},
    {9, "Left back wheel pressure", "RAMA_CIS_TL", 98, SetupGroup::Chassis, 5, 1},
    {10, "Right front wheel pressure", "RAMA_CIS_PP", 96, SetupGroup::Chassis, 4, 1},
    {11, "Left front wheel pressure", "RAMA_CIS_PL", 94, SetupGroup::Chassis, 3, 1},
    {12, "Suspension height,back", "RAMA_WYS_ZAW_TYL", 92, SetupGroup::Chassis, 1, 2},
    {13, "Right back wheel pressure", "RAMA_CIS_TP", 100, SetupGroup::Chassis, 6, 1},
    {14, "Stiffness of chassis", "RAMA_SZTYWNOSC_RAMY", 102, SetupGroup::Chassis, 2, 2},
    {15, "Front stabilizer", "RAMA_STAB_PRZOD", 104, SetupGroup::Chassis, 3, 2},
    {16, "Back stabilizer", "RAMA_STAB_TYL", 106, SetupGroup::Chassis, 4, 2},
    {17, "Additional stiff.back", "RAMA_DOD_SZTYW_TYL", 110, SetupGroup::Chassis, 5, 2},
    {18, "Additional stiff.front", "RAMA_DOD_SZTYW_PRZOD", 108, SetupGroup::Chassis, 6, 2},
    {19, "Front rack", "RAMA_ZEBATKA_PRZOD", 112, SetupGroup::Chassis, 7, 0},
    {20, "Back rack", "RAMA_ZEBATKA_TYL", 114, SetupGroup::Chassis, 7, 1},
    {21, "Diameter of the rear wheel", "RAMA_SREDNICA_KOLA_TYL", 116, SetupGroup::Chassis, 7, 2},
    {22, "Engine number", "SILNIK_NR_SILNIKA", 14, SetupGroup::Engine, 1, 0},
    {23, "Operating counter", "SILNIK_LICZNIK_GODZ", 12, SetupGroup::Engine, 2, 0},
    {24, "Carburetor type", "SILNIK_RODZAJ_GAZNIKA", 16, SetupGroup::Engine, 2, 1},
    {25, "Idle jet", "SILNIK_WIELKOSZC_DYSZY_GLOW", 18, SetupGroup::Engine, 2, 2},
    {26, "Main jet", "SILNIK_WIELKOSZC_DYSZY_REG", 20, SetupGroup::Engine, 3, 0},
    {27, "Needle clip", "SILNIK_POLOZENIE_IGLICY", 22, SetupGroup::Engine, 3, 1},
    {28, "Float", "SILNIK_RODZAJ_PLYWAK", 24, SetupGroup::Engine, 3, 2},
    {29, "Level of fuel", "SILNIK_POZIOM_PALIWA", 26, SetupGroup::Engine, 4, 0},
    {30, "Power valve", "SILNIK_ZAWOR_PRZYS", 28, SetupGroup::Engine, 4, 1},
}};

// The order in which the profile statements (and the session header
// insert) name the 30 columns.
inline constexpr std::array<const char*, kSetupColumnCount> kSetupStatementOrder = {
    "RAMA_CIS_PL",
    "RAMA_CIS_PP",
    "RAMA_CIS_TL",
    "RAMA_CIS_TP",
    "RAMA_DOD_SZTYW_PRZOD",
    "RAMA_DOD_SZTYW_TYL",
    "RAMA_POCHYLENIE_PRAWO_LEWO",
    "RAMA_POCHYLENIE_PRZOD_TYL",
    "RAMA_ROZSTAW_KOL_TYL",
    "RAMA_RZOSTAW_KOL",
    "RAMA_SREDNICA_KOLA_TYL",
    "RAMA_STAB_PRZOD",
    "RAMA_STAB_TYL",
    "RAMA_SZTYW_MOC_OSI",
    "RAMA_SZTYWNOSC_OSI",
    "RAMA_SZTYWNOSC_RAMY",
    "RAMA_WYS_ZAW_PRZOD",
    "RAMA_WYS_ZAW_TYL",
    "RAMA_ZBIEZNOSC",
    "RAMA_ZEBATKA_PRZOD",
    "RAMA_ZEBATKA_TYL",
    "SILNIK_LICZNIK_GODZ",
    "SILNIK_NR_SILNIKA",
    "SILNIK_POLOZENIE_IGLICY",
    "SILNIK_POZIOM_PALIWA",
    "SILNIK_RODZAJ_GAZNIKA",
    "SILNIK_RODZAJ_PLYWAK",
    "SILNIK_WIELKOSZC_DYSZY_GLOW",
    "SILNIK_WIELKOSZC_DYSZY_REG",
    "SILNIK_ZAWOR_PRZYS",
};

// Index into kSetupColumns of a column name (exact), or -1.
constexpr int SetupColumnIndex(std::string_view column)
{
    for (std::size_t i = 0; i < kSetupColumns.size(); ++i)
        if (column == kSetupColumns[i].column)
            return static_cast<int>(i);
    return -1;
}

// The 30 set-up values, indexed like kSetupColumns (value of IntEditn at n - 1).
using SetupValues = std::array<int, kSetupColumnCount>;
