#pragma once
// The two picture lists, indexed by card number: full-size cards for the own hand and the
// table, small ones for the spectator and replay views (43..48 are the replay arrows).
// Drawn by the program once, on first use, at the screen's pixel density.

#include <QPixmap>
#include <QSize>

constexpr QSize RealCardSize(114, 204);
constexpr QSize SmallCardSize(26, 15);
constexpr int RealCardCount = 43;
constexpr int SmallCardCount = 49;

// Picture `index` (0 = the empty place); an index outside the list gives picture 0.
const QPixmap &RealCardImage(int index);
const QPixmap &SmallCardImage(int index);
