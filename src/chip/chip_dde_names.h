// Where chips are poked: the reminder application's DDE service and topic,
// and the two items (" /D": delete the reminder once it is done).
#pragma once

inline constexpr char kChipDdeService[] = "Zuri";
inline constexpr char kChipDdeTopic[] = "ZuriServer";
inline constexpr char kChipDdeItem[] = "ChipBinary /R";
inline constexpr char kChipDdeItemDeleteWhenDone[] = "ChipBinary /R /D";
