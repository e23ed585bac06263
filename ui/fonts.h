#pragma once

#include <QFont>

// The windows' Armenian face: "Arial Armenian" where it is installed, else a font
// that has the Armenian letters.
QFont armenianFont(qreal pointSize);
